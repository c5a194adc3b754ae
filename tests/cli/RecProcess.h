#pragma once
// drganik-rec as a child process with no display, as a user's shell or script runs it.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct RecProcess {
    pid_t pid = -1;
    int status = -1;

    // Standard output and error go to the files given (a terminal's path too); the locale is C unless lang is
    // set. The program is the built one unless another path is given.
    RecProcess(std::vector<std::string> args, const std::string& out, const std::string& err,
               const std::string& lang = "C.UTF-8", const std::string& program = DRGANIK_REC) {
        args.insert(args.begin(), program);
        pid = fork();
        if (pid == 0) {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            setenv("QT_QPA_PLATFORM", "offscreen", 1); // were anything to reach for a display, fail loudly
            unsetenv("LANGUAGE");
            setenv("LC_ALL", lang.c_str(), 1);
            const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(o, STDOUT_FILENO);
            dup2(e, STDERR_FILENO);
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        if (pid > 0) {
            pidfd = int(syscall(SYS_pidfd_open, pid, 0));
        }
    }
    ~RecProcess() {
        if (pidfd >= 0)
            close(pidfd);
        if (status == -1 && pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    // The exit status, or -1 when the process has not ended within ms (or was killed). The wait
    // is on the process itself: its pidfd turns readable when it ends.
    int Wait(int ms) {
        if (status == -1 && pidfd >= 0) {
            pollfd ended{pidfd, POLLIN, 0};
            poll(&ended, 1, ms);
        }
        int s = 0;
        if (status == -1 && waitpid(pid, &s, WNOHANG) == pid)
            status = s;
        return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int pidfd = -1;
};
