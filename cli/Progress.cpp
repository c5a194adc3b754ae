#include "Progress.h"

#include "Messages.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace {

std::string Fixed1(double value) {
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1).ptr};
}

std::string Replace(std::string text, const std::string& value) {
    if (const auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

} // namespace

Progress::Progress(bool quiet) : shown_(!quiet && ::isatty(STDERR_FILENO)) {}

Progress::~Progress() {
    if (dirty_)
        std::fputs("\n", stderr);
}

std::string Progress::Text(const Figures& f) {
    std::string text = Replace(Tr("%s blocks"), std::to_string(f.blocks));
    if (f.seconds > 0)
        text += ", " + Replace(Tr("%s blocks/s"), Fixed1(double(f.blocks) / f.seconds));
    text += ", " + Replace(Tr("%s kB"), std::to_string(f.bytes / 1000));
    if (f.deviceMissing)
        text += std::string(" — ") + Tr("device missing");
    else if (f.waitingForTrigger)
        text += std::string(" — ") + Tr("waiting for trigger");
    return text;
}

void Progress::Show(const Figures& figures) {
    // A few times a second is all a reader follows; more would only cost the terminal.
    const auto now = std::chrono::steady_clock::now();
    if (!shown_ || now - last_ < std::chrono::milliseconds(250))
        return;
    last_ = now;
    std::fprintf(stderr, "\r\033[K%s", Text(figures).c_str());
    std::fflush(stderr);
    dirty_ = true;
}

void Progress::Say(const std::string& message) {
    if (dirty_)
        std::fputs("\r\033[K", stderr);
    dirty_ = false;
    std::fprintf(stderr, "drganik-rec: %s\n", message.c_str());
}
