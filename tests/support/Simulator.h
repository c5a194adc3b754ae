#pragma once
// The bundled instrument simulator as a child process, for the program tests.

#include "RunUntil.h"
#include "TempDir.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The bundled instrument simulator as a child process, linked at a path of the test's.
struct Simulator {
    pid_t pid = -1;
    std::string link, log;
    Simulator(const TempDir& dir, std::vector<std::string> args)
        : link(dir.File("com1")), log(dir.File("sim.log")) {
        args.insert(args.begin(), {DRGANIK_SIM, link, "--log", log});
        pid = fork();
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive a test run that was killed
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        RunUntil([&] { return std::filesystem::is_symlink(link); }, 3000);
    }
    ~Simulator() {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    int Count(const std::string& what) const {
        std::ifstream in(log);
        int n = 0;
        for (std::string line; std::getline(in, line);)
            n += line.find(what) != std::string::npos;
        return n;
    }
    bool LastLineHas(const std::string& what) const {
        std::ifstream in(log);
        std::string last;
        for (std::string line; std::getline(in, line);)
            last = line;
        return last.find(what) != std::string::npos;
    }
};
