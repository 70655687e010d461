// Starts the built tamrel as its own process, with a script of user steps in
// its environment, and waits (bounded) for it to end.
#pragma once

#include "tests/io/ScratchDir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace apptest {

struct RunResult {
    bool exited = false; // ended by itself (not killed by the time limit or a signal)
    int status = -1;     // exit status when it exited
    int signal = 0;      // the signal that ended it, if one did
    std::string out;     // standard output
    std::string err;     // standard error
};

struct RunSetup {
    std::string script;                                   // TAMREL_AUTOMATION
    std::vector<std::pair<std::string, std::string>> env; // more variables
    std::vector<std::string> args;                        // command-line arguments
    std::chrono::seconds limit{30};
};

inline RunResult RunTamrel(const ScratchDir& scratch, const RunSetup& setup) {
    const std::string errPath = (scratch / ".tamrel-stderr").string();
    const std::string outPath = (scratch / ".tamrel-stdout").string();
    const pid_t child = ::fork();
    if (child == 0) {
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (err < 0 || out < 0 || ::dup2(err, 2) < 0 || ::dup2(out, 1) < 0) {
            ::_exit(127);
        }
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("TAMREL_AUTOMATION", setup.script.c_str(), 1);
        // The program's settings stay in the test's folder unless a test
        // points elsewhere.
        ::setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
        for (const auto& [name, value] : setup.env) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        std::string program = TAMREL_EXE;
        std::vector<std::string> copies = setup.args;
        std::vector<char*> argv{program.data()};
        for (std::string& arg : copies) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    RunResult result;
    const auto deadline = std::chrono::steady_clock::now() + setup.limit;
    int status = 0;
    pid_t done = 0;
    while ((done = ::waitpid(child, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (done == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    } else if (WIFEXITED(status)) {
        result.exited = true;
        result.status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    result.err = ReadBytes(errPath);
    result.out = ReadBytes(outPath);
    return result;
}

} // namespace apptest
