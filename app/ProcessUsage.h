// What the running program holds from the system, read from /proc/self: its
// resident memory, its open file descriptors and its threads. Long sessions
// are checked against these for memory, descriptors or threads left behind.
#pragma once

#include <string>

struct ProcessUsage {
    long residentKb = -1; // VmRSS of /proc/self/status; -1 when unreadable
    long peakKb = -1;     // VmHWM: the most resident since the program began
    int openFiles = -1;   // entries of /proc/self/fd, the one that lists them not counted
    int threads = -1;     // entries of /proc/self/task
};

ProcessUsage ReadProcessUsage();

// "rss_kb=N fds=N threads=N peak_kb=N", one line as the automation prints it.
std::string UsageLine(const ProcessUsage& usage);
