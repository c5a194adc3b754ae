#pragma once
// The suites take the C library's locale from their environment, as the program does through Qt
// at start, so CTest can run each suite under C and under the users' locales.

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

// False, with a message, when the environment names a locale this machine does not have: a run
// meant for the Polish desktop must not quietly fall back to C.
inline bool UseEnvironmentLocale() {
    if (std::setlocale(LC_ALL, ""))
        return true;
    const char* wanted = std::getenv("LC_ALL");
    std::fprintf(stderr, "locale %s is not installed here (localedef -i pl_PL -f UTF-8 pl_PL.UTF-8)\n",
                 wanted ? wanted : "of the environment");
    return false;
}

// Switches the C library's locale for one test and back. A locale this machine lacks skips the
// test, except where DRGANIK_REQUIRE_LOCALES is set (CI), where it fails.
class ScopedCLocale {
  public:
    explicit ScopedCLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedCLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

    bool Active() const { return active_; }
    static bool Required() { return std::getenv("DRGANIK_REQUIRE_LOCALES") != nullptr; }

  private:
    std::string previous_;
    bool active_ = false;
};
