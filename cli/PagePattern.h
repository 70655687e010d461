// The file names of a batch: OUT holds one printf-style %d (with optional
// flags, width and precision, e.g. page%03d.tif) that each page's number
// takes; %% stands for a percent sign.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct PagePattern {
    std::string prefix;     // the text before the conversion, %% already made %
    std::string conversion; // the checked conversion, e.g. "%03d"
    std::string suffix;     // the text after it
    friend bool operator==(const PagePattern&, const PagePattern&) = default;
};

struct PatternParse {
    std::optional<PagePattern> pattern;
    std::string error; // why `text` is no pattern, when it is none
};

// Accepts flags of "-+ 0", a width and a precision of up to two digits each,
// then 'd'; any other conversion, or none or two %d, is an error.
PatternParse ParsePagePattern(std::string_view text);

// The name of page `number` (1 for the first).
std::string PageName(const PagePattern& pattern, int number);
