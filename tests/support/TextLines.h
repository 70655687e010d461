// A text cut into its lines, without their line ends (a last line without
// one counts too).
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace texttest {

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace texttest
