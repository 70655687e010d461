// Runs the built tamrel-cli in a child process and collects its exit status,
// standard output and standard error.
#pragma once

#include "curve/ChannelStore.h"
#include "tests/io/ScratchDir.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace clitest {

// The tables a parameter set gives, as the tool computes them after a load.
inline GammaTableSet TablesOf(const ParamPositionSet& positions) {
    ChannelParamsSet channels{};
    GammaTableSet tables{};
    ApplyPositionSet(positions, channels, tables);
    return tables;
}

struct CliResult {
    int status = -1; // the exit status, or -1 when the program did not exit
    std::string out;
    std::string err;
    long peakKib = -1; // the child's peak resident size
};

struct RunOptions {
    std::string stdoutPath; // standard output goes here instead of being collected
    rlim_t fileSizeLimit = RLIM_INFINITY;
    // Sends SIGINT (Ctrl+C) once this holds (polled), e.g. once the program
    // has begun its output: a fixed delay lost the race on a loaded machine.
    std::function<bool()> interruptWhen = {};
    // Sends SIGINT once standard output (in a file) holds this many lines.
    int interruptAfterLines = -1;
};

// Waits until `ready` holds, or the child ends.
inline void Await(pid_t child, const std::function<bool()>& ready) {
    constexpr useconds_t kPollMicroseconds = 2000;
    constexpr int kPolls = 30000; // a minute at most
    for (int poll = 0; poll < kPolls; ++poll) {
        if (ready()) {
            return;
        }
        siginfo_t ended{};
        if (::waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            ended.si_pid == child) {
            return; // left to the caller's waitpid
        }
        ::usleep(kPollMicroseconds);
    }
}

// Standard output and error go to files in `scratch`, so neither can fill a
// pipe and stall the child.
// `meanwhile` runs in this process while the program runs (after any SIGINT).
inline CliResult RunCli(const ScratchDir& scratch, const std::vector<std::string>& args,
                        const RunOptions& options = {},
                        const std::function<void()>& meanwhile = {}) {
    const std::string outPath =
        options.stdoutPath.empty() ? (scratch / ".cli-stdout").string() : options.stdoutPath;
    const std::string errPath = (scratch / ".cli-stderr").string();
    std::vector<char*> argv;
    std::string program = TAMREL_CLI;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) {
            ::_exit(127);
        }
        const rlimit limit{options.fileSizeLimit, options.fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (child > 0 && options.interruptAfterLines >= 0) {
        Await(child, [&] {
            const std::string text = ReadBytes(outPath);
            return std::count(text.begin(), text.end(), '\n') >= options.interruptAfterLines;
        });
        ::kill(child, SIGINT);
    }
    if (child > 0 && options.interruptWhen) {
        Await(child, options.interruptWhen);
        ::kill(child, SIGINT);
    }
    if (child > 0 && meanwhile) {
        meanwhile();
    }
    CliResult result;
    int status = 0;
    rusage usage{};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) {
        result.status = WEXITSTATUS(status);
        result.peakKib = usage.ru_maxrss;
    }
    if (options.stdoutPath.empty()) {
        result.out = ReadBytes(outPath);
        std::filesystem::remove(outPath);
    }
    result.err = ReadBytes(errPath);
    std::filesystem::remove(errPath);
    return result;
}

} // namespace clitest
