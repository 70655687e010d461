// The eight numbers of the "corners: X1,Y1,...,X4,Y4" line that opens the
// tool's standard output when it found (or was given) a chart's corners;
// none when the output does not open with that line.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace clitest {

inline std::vector<double> PrintedCorners(const std::string& out) {
    const std::string head = "corners: ";
    std::vector<double> numbers;
    if (out.rfind(head, 0) != 0) {
        return numbers;
    }
    std::istringstream line(out.substr(head.size(), out.find('\n') - head.size()));
    for (std::string field; std::getline(line, field, ',');) {
        numbers.push_back(std::stod(field));
    }
    return numbers;
}

} // namespace clitest
