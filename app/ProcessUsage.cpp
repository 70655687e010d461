// /proc/self/status holds "VmRSS:    123456 kB" and "VmHWM: ..." (the peak
// of this program's own memory since its exec: a parent's rusage of a forked
// child also counts the parent's pages it held before the exec); /proc/self/fd and
// /proc/self/task hold one entry per descriptor and per thread.
#include "app/ProcessUsage.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <system_error>

namespace {

constexpr const char* kResidentKey = "VmRSS:";
constexpr const char* kPeakKey = "VmHWM:";

long StatusKb(const char* wanted) {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == wanted) {
            long kb = -1;
            status >> kb;
            return status ? kb : -1;
        }
        status.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return -1;
}

int EntriesOf(const char* folder) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) {
        return -1;
    }
    int count = 0;
    for (auto it = std::filesystem::begin(entries); it != std::filesystem::end(entries);
         it.increment(error)) {
        if (error) {
            return -1;
        }
        ++count;
    }
    return count;
}

} // namespace

ProcessUsage ReadProcessUsage() {
    ProcessUsage usage;
    usage.residentKb = StatusKb(kResidentKey);
    usage.peakKb = StatusKb(kPeakKey);
    // Listing /proc/self/fd opens one descriptor of its own while it counts.
    const int fds = EntriesOf("/proc/self/fd");
    usage.openFiles = fds > 0 ? fds - 1 : fds;
    usage.threads = EntriesOf("/proc/self/task");
    return usage;
}

std::string UsageLine(const ProcessUsage& usage) {
    return "rss_kb=" + std::to_string(usage.residentKb) +
           " fds=" + std::to_string(usage.openFiles) + " threads=" + std::to_string(usage.threads) +
           " peak_kb=" + std::to_string(usage.peakKb);
}
