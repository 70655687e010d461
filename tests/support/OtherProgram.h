// Another program run on a file the project wrote (djpeg, qpdf, pdfimages,
// ImageMagick's identify): its exit status and what it printed, both
// streams together.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace othertest {

struct ProgramRun {
    int status = -1;
    std::string out;
};

inline ProgramRun RunProgram(const std::string& line) {
    ProgramRun run;
    FILE* pipe = ::popen((line + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    for (std::size_t got = 0; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        run.out.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

inline bool HasProgram(const std::string& name) {
    return RunProgram("command -v " + name).status == 0;
}

// The lines of `pdfimages -list` after its two lines of heading, one per image.
inline std::vector<std::string> ImageLines(const std::string& listing) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (int line = 0; at < listing.size(); ++line) {
        const std::size_t end = listing.find('\n', at);
        if (line >= 2) {
            lines.push_back(listing.substr(at, end - at));
        }
        at = end == std::string::npos ? listing.size() : end + 1;
    }
    return lines;
}

} // namespace othertest
