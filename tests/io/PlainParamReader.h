// A plain reading of a parameter file — split into lines, each line walked
// once against the shape of a key line — that property tests and the fuzzer
// hold the real reader against.
#pragma once

#include "io/ParamKeys.h"

#include <algorithm>
#include <array>
#include <optional>
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

inline std::size_t SkipBlanks(const std::string& line, std::size_t at) {
    while (at < line.size() && std::string_view(" \t\v\f").find(line[at]) != std::string::npos) {
        ++at;
    }
    return at;
}

// A key line is: blanks, one of the twelve names, blanks, "=", blanks, one or
// more digits, blanks, and nothing else. The key's index, or nullopt.
inline std::optional<std::size_t> MatchKeyLine(const std::string& line, std::string& digits) {
    static const std::array<std::string, kParamKeyCount> names = {
        "BlackR", "BlackG", "BlackB", "WhiteR", "WhiteG", "WhiteB",
        "AlphaR", "AlphaG", "AlphaB", "GammaR", "GammaG", "GammaB"};
    std::size_t at = SkipBlanks(line, 0);
    const auto name = std::find_if(names.begin(), names.end(), [&](const std::string& n) {
        return line.compare(at, n.size(), n) == 0;
    });
    if (name == names.end()) {
        return std::nullopt;
    }
    at = SkipBlanks(line, at + name->size());
    if (at == line.size() || line[at] != '=') {
        return std::nullopt;
    }
    at = SkipBlanks(line, at + 1);
    const std::size_t end = line.find_first_not_of("0123456789", at);
    digits = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (digits.empty() || SkipBlanks(line, at + digits.size()) != line.size()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(name - names.begin());
}

// The positions when every key had an in-range value, the last one winning.
// Keys come in the order Black, White, Alpha, Gamma, each for R, G, B.
inline std::optional<ParamPositionSet> PlainReadParams(std::string_view bytes) {
    ParamPositionSet positions{};
    std::array<bool, kParamKeyCount> found{};
    for (const std::string& line : PlainLines(bytes)) {
        std::string digits;
        const std::optional<std::size_t> key = MatchKeyLine(line, digits);
        if (!key) {
            continue;
        }
        const ParamSpec& range = kParamSpecs[*key / kChannelCount];
        const int value = PlainNumber(digits);
        if (value >= range.minPos && value <= range.maxPos) {
            positions[*key % kChannelCount][kAllParams[*key / kChannelCount]] = value;
            found[*key] = true;
        }
    }
    if (std::find(found.begin(), found.end(), false) != found.end()) {
        return std::nullopt;
    }
    return positions;
}

} // namespace paramtest
