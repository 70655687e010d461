// A plain reading of a parameter file — split into lines, each line matched
// whole by one regular expression — that property tests and the fuzzer hold
// the real reader against.
#pragma once

#include "io/ParamKeys.h"

#include <algorithm>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace paramtest {

// CR and LF end a line; empty lines and an unended last line are no lines.
// A line keeps 127 bytes, and a zero byte ends what is seen of it.
inline std::vector<std::string> PlainLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : bytes) {
        if (c != '\r' && c != '\n') {
            line += c;
        } else if (!line.empty()) {
            line.resize(std::min<std::size_t>(line.size(), 127));
            lines.push_back(line.substr(0, line.find('\0')));
            line.clear();
        }
    }
    return lines;
}

// Decimal digits, leading zeros allowed; a number of ten or more significant
// digits lies outside every range (-1 stands for it).
inline int PlainNumber(const std::string& digits) {
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        return 0;
    }
    const std::string significant = digits.substr(first);
    return significant.size() > 9 ? -1 : std::stoi(significant);
}

// The positions when every key had an in-range value, the last one winning.
inline std::optional<ParamPositionSet> PlainReadParams(std::string_view bytes) {
    // Space, HT, VT and FF around the key and the value; the key one of the
    // four names with its channel letter; the value digits only.
    static const std::regex keyLine(
        R"([ \t\v\f]*(Black|White|Alpha|Gamma)([RGB])[ \t\v\f]*=[ \t\v\f]*([0-9]+)[ \t\v\f]*)");
    static const std::string names[] = {"Black", "White", "Alpha", "Gamma"};
    static const std::string letters = "RGB";
    ParamPositionSet positions{};
    std::vector<bool> found(kParamKeyCount, false);
    for (const std::string& line : PlainLines(bytes)) {
        std::smatch m;
        if (!std::regex_match(line, m, keyLine)) {
            continue;
        }
        const std::size_t param = std::find(names, names + 4, m[1].str()) - names;
        const std::size_t channel = letters.find(m[2].str());
        const int value = PlainNumber(m[3].str());
        const ParamSpec& spec = kParamSpecs[param];
        if (value >= spec.minPos && value <= spec.maxPos) {
            positions[channel][kAllParams[param]] = value;
            found[param * kChannelCount + channel] = true;
        }
    }
    if (std::find(found.begin(), found.end(), false) != found.end()) {
        return std::nullopt;
    }
    return positions;
}

} // namespace paramtest
