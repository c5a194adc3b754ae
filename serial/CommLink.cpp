#include "CommLink.h"

#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace commlink {

std::string Format(const std::string& pattern, int number) {
    std::string text = pattern;
    if (const auto at = text.find("%d"); at != std::string::npos)
        text.replace(at, 2, std::to_string(number));
    return text;
}

void Fail(const std::string& text) {
    throw ECommPortError(text);
}

void FailErrno(const char* pattern, int err) {
    std::string text = Format(pattern, err);
    if (const auto at = text.rfind("%s"); at != std::string::npos)
        text.replace(at, 2, std::strerror(err));
    Fail(text);
}

void Wake(int eventFd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(eventFd, &one, sizeof one);
}

void Drain(int eventFd) {
    std::uint64_t v;
    [[maybe_unused]] const auto n = ::read(eventFd, &v, sizeof v);
}

void ApplyPriority(TThreadPriority p) {
    static constexpr int nice[] = {19, 10, 5, 0, -1, -2, -10};
    setpriority(PRIO_PROCESS, 0 /* calling thread on Linux */, nice[p]);
}

} // namespace commlink
