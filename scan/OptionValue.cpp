// The checks a front end owes the backend: a range's limits and step, a word
// list's members, a string list's entries; the backend may refuse the rest.
#include "scan/OptionValue.h"

#include "io/Letters.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <utility>

namespace {

constexpr double kFixedOne = 65536.0; // 1.0 in 16.16 fixed point
constexpr char kVectorSeparator = ',';

Reason Refused(const OptionDescriptor& option, const std::string& why) {
    return {ReasonCode::Unsupported, 0, option.name + ": " + why};
}

std::optional<std::int32_t> BoolWord(std::string_view text) {
    for (const char* yes : {"yes", "true", "on", "1"}) {
        if (SameLetters(text, yes)) {
            return 1;
        }
    }
    for (const char* no : {"no", "false", "off", "0"}) {
        if (SameLetters(text, no)) {
            return 0;
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> IntWord(std::string_view text) {
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// A decimal number under the C locale's rules, as strtod reads "300.5",
// whose nearest 16.16 word exists: 32767.99999 rounds up to 2^31, past the
// largest word, and "nan" has none.
std::optional<std::int32_t> FixedWord(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    const double word = std::round(value * kFixedOne);
    if (!(word >= std::numeric_limits<std::int32_t>::min() &&
          word <= std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(word);
}

std::optional<std::int32_t> WordOf(OptionType type, std::string_view text) {
    switch (type) {
    case OptionType::Bool:
        return BoolWord(text);
    case OptionType::Int:
        return IntWord(text);
    case OptionType::Fixed:
        return FixedWord(text);
    default:
        return std::nullopt;
    }
}

Reason CheckWord(const OptionDescriptor& option, std::int32_t word) {
    if (const auto* range = std::get_if<OptionRange>(&option.constraint)) {
        const std::int64_t offset = std::int64_t{word} - range->min;
        if (word < range->min || word > range->max ||
            (range->quant > 0 && offset % range->quant != 0)) {
            return Refused(option, OptionWordText(option.type, word) + " is outside " +
                                       OptionWordText(option.type, range->min) + ".." +
                                       OptionWordText(option.type, range->max) +
                                       (range->quant > 1 && option.type == OptionType::Int
                                            ? " in steps of " + std::to_string(range->quant)
                                            : ""));
        }
    }
    if (const auto* list = std::get_if<OptionWordList>(&option.constraint)) {
        if (std::find(list->begin(), list->end(), word) == list->end()) {
            return Refused(option, OptionWordText(option.type, word) + " is not one of its values");
        }
    }
    if (option.type == OptionType::Bool && word != 0 && word != 1) {
        return Refused(option, "takes yes or no");
    }
    return {};
}

// A text that fits with its NUL, for an option that takes one now: the
// device's buffer is the option's size, so a longer text must never reach it.
ParsedValue Checked(const OptionDescriptor& option, std::string text) {
    OptionValue value{{}, std::move(text)};
    Reason reason = CheckOptionValue(option, value);
    return {reason, reason ? OptionValue{} : std::move(value)};
}

ParsedValue ParseString(const OptionDescriptor& option, std::string_view text) {
    const auto* list = std::get_if<OptionStringList>(&option.constraint);
    if (list == nullptr) {
        return Checked(option, std::string(text));
    }
    for (const std::string& entry : *list) {
        if (SameLetters(entry, text)) {
            return Checked(option, entry);
        }
    }
    std::string choices;
    for (const std::string& entry : *list) {
        choices += (choices.empty() ? "" : "|") + entry;
    }
    return {Refused(option, "'" + std::string(text) + "' is not one of " + choices), {}};
}

ParsedValue ParseWords(const OptionDescriptor& option, std::string_view text) {
    OptionValue value;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t stop = text.find(kVectorSeparator, start);
        stop = stop == std::string_view::npos ? text.size() : stop;
        const std::optional<std::int32_t> word =
            WordOf(option.type, text.substr(start, stop - start));
        if (!word) {
            return {Refused(option, "'" + std::string(text) + "' is not a value of its kind"), {}};
        }
        value.words.push_back(*word);
        start = stop + 1;
    }
    const Reason reason = CheckOptionValue(option, value);
    return {reason, reason ? OptionValue{} : value};
}

} // namespace

std::string OptionWordText(OptionType type, std::int32_t word) {
    if (type == OptionType::Fixed) {
        std::string text = std::to_string(word / kFixedOne);
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
        return text;
    }
    return std::to_string(word);
}

double WordsPerUnit(OptionType type) {
    return type == OptionType::Fixed ? kFixedOne : 1.0;
}

double ValueOfWord(OptionType type, std::int32_t word) {
    return word / WordsPerUnit(type);
}

std::int32_t FixedOf(double value) {
    return static_cast<std::int32_t>(std::lround(value * kFixedOne));
}

ParsedValue ParseOptionValue(const OptionDescriptor& option, std::string_view text) {
    switch (option.type) {
    case OptionType::String:
        return ParseString(option, text);
    case OptionType::Bool:
    case OptionType::Int:
    case OptionType::Fixed:
        return ParseWords(option, text);
    case OptionType::Button:
    case OptionType::Group:
        break;
    }
    return {Refused(option, "takes no value"), {}};
}

Reason CheckOptionValue(const OptionDescriptor& option, const OptionValue& value) {
    if (!option.active) {
        return Refused(option, "is not active with the other options as they are");
    }
    if (!option.settable) {
        return Refused(option, "cannot be set by a program");
    }
    if (option.type == OptionType::String) {
        return value.text.size() < option.size ? Reason{} : Refused(option, "the text is too long");
    }
    if (value.words.size() != option.WordCount()) {
        return Refused(option, "takes " + std::to_string(option.WordCount()) + " value(s), not " +
                                   std::to_string(value.words.size()));
    }
    for (const std::int32_t word : value.words) {
        if (Reason reason = CheckWord(option, word)) {
            return reason;
        }
    }
    return {};
}
