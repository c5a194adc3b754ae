#include "FileSizeLimit.h"

#include <csignal>

void KeepRunningAtFileSizeLimit() {
    std::signal(SIGXFSZ, SIG_IGN);
}
