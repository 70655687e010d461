// libFuzzer target: a device's options described in memory, then one
// NAME=VALUE setting as the tool takes it (split at the first '='), through
// the option layer's lookup and parsing; and the same text as the value of
// --area. Input: the setting's text up to the first NUL byte; the bytes after
// it describe the options (names and string choices from a fixed vocabulary,
// types, sizes, flags, constraints).
//
// Properties: a refusal is Unsupported and names the option; an accepted
// value passes the option's own check, has the option's word count, stays
// within a string list's entries, and, written back as text, parses to the
// same words. An accepted area is four finite numbers, the left and top at
// least 0, the width and height above 0, and written back as plain decimals
// parses to the same area; any four short plain decimals, the width and
// height not all zeros, are accepted.
#include "cli/AreaArgument.h"
#include "fuzz/FuzzCheck.h"
#include "scan/OptionValue.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kNames[] = {"resolution",  "mode",   "depth", "brightness", "custom-gamma",
                                  "gamma-table", "source", "tl-x",  "br-y",       "preview"};
constexpr const char* kChoices[] = {"Color",        "Gray", "Lineart", "Flatbed", "ADF Front",
                                    "Transparency", "",     "color",   "8",       "16"};
constexpr OptionType kTypes[] = {OptionType::Bool,   OptionType::Int,    OptionType::Fixed,
                                 OptionType::String, OptionType::Button, OptionType::Group};
constexpr int kMostOptions = 4;
constexpr int kMostWords = 8;
constexpr int kMostTextBytes = 64;
constexpr int kMostListEntries = 6;

OptionConstraint ConstraintFrom(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 1:
        return OptionRange{in.ConsumeIntegral<std::int32_t>(), in.ConsumeIntegral<std::int32_t>(),
                           in.ConsumeIntegral<std::int32_t>()};
    case 2: {
        OptionWordList words(in.ConsumeIntegralInRange<std::size_t>(0, kMostListEntries));
        for (std::int32_t& w : words) {
            w = in.ConsumeIntegral<std::int32_t>();
        }
        return words;
    }
    case 3: {
        OptionStringList strings(in.ConsumeIntegralInRange<std::size_t>(0, kMostListEntries));
        for (std::string& s : strings) {
            s = in.PickValueInArray(kChoices);
        }
        return strings;
    }
    default:
        return std::monostate{};
    }
}

OptionDescriptors DescribedOptions(FuzzedDataProvider& in) {
    OptionDescriptors options(std::size_t(in.ConsumeIntegralInRange(1, kMostOptions)));
    int index = 0;
    for (OptionDescriptor& o : options) {
        o.index = ++index;
        o.name = in.PickValueInArray(kNames);
        o.type = in.PickValueInArray(kTypes);
        o.size = o.type == OptionType::String
                     ? std::size_t(in.ConsumeIntegralInRange(1, kMostTextBytes))
                     : std::size_t(in.ConsumeIntegralInRange(1, kMostWords)) * kOptionWordSize;
        o.active = in.ConsumeIntegralInRange(0, 7) != 0;
        o.settable = in.ConsumeIntegralInRange(0, 7) != 0;
        o.constraint = ConstraintFrom(in);
    }
    return options;
}

// The words as a user would type them: Fixed values exactly (a 16.16 word
// needs at most 16 decimals after the point).
std::string TextOf(OptionType type, const std::vector<std::int32_t>& words) {
    std::string text;
    for (const std::int32_t w : words) {
        char word[64];
        if (type == OptionType::Fixed) {
            std::snprintf(word, sizeof word, "%.16f", w / 65536.0);
        } else {
            std::snprintf(word, sizeof word, "%d", w);
        }
        text += (text.empty() ? "" : ",") + std::string(word);
    }
    return text;
}

void CheckAccepted(const OptionDescriptor& option, const OptionValue& value) {
    FUZZ_CHECK(!CheckOptionValue(option, value));
    if (option.type == OptionType::String) {
        FUZZ_CHECK(value.text.size() < option.size);
        if (const auto* list = std::get_if<OptionStringList>(&option.constraint)) {
            FUZZ_CHECK(std::find(list->begin(), list->end(), value.text) != list->end());
        }
        return;
    }
    FUZZ_CHECK(value.words.size() == option.WordCount());
    const ParsedValue again = ParseOptionValue(option, TextOf(option.type, value.words));
    FUZZ_CHECK(!again.reason);
    FUZZ_CHECK(again.value.words == value.words);
}

// A field no longer than this, of digits and at most one point, is within
// a double's range whatever its digits.
constexpr std::size_t kShortField = 20;

std::vector<std::string_view> Fields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

// Digits with at most one point, and at least one digit.
bool PlainDecimal(std::string_view field) {
    const auto digits =
        std::count_if(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
    const auto points = std::count(field.begin(), field.end(), '.');
    return digits > 0 && points <= 1 && std::size_t(digits + points) == field.size();
}

std::string PlainText(double value) {
    char text[400]; // the largest double in plain digits takes 309
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    FUZZ_CHECK(error == std::errc());
    return std::string(text, end);
}

void CheckArea(std::string_view text) {
    const AreaParse parsed = ParseAreaArgument(text);
    const std::optional<ScanArea>& area = parsed.area;
    FUZZ_CHECK(area.has_value() == parsed.error.empty());
    const std::vector<std::string_view> fields = Fields(text);
    if (area) {
        FUZZ_CHECK(fields.size() == 4);
        FUZZ_CHECK(std::all_of(fields.begin(), fields.end(), PlainDecimal));
        for (const double v : {area->left, area->top, area->right, area->bottom}) {
            FUZZ_CHECK(std::isfinite(v) && v >= 0);
        }
        FUZZ_CHECK(area->Width() > 0 && area->Height() > 0);
        // Width and height back from the edges may differ in their last bits.
        const std::string again = PlainText(area->left) + "," + PlainText(area->top) + "," +
                                  PlainText(area->Width()) + "," + PlainText(area->Height());
        const std::optional<ScanArea> back = ParseAreaArgument(again).area;
        FUZZ_CHECK(back && back->left == area->left && back->top == area->top);
        for (const auto& [a, b] :
             {std::pair{back->right, area->right}, {back->bottom, area->bottom}}) {
            FUZZ_CHECK(std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b)));
        }
        return;
    }
    const auto nonZero = [](std::string_view f) {
        return f.find_first_of("123456789") != std::string_view::npos;
    };
    const bool plainAndShort =
        fields.size() == 4 && std::all_of(fields.begin(), fields.end(), [](std::string_view f) {
            return PlainDecimal(f) && f.size() <= kShortField;
        });
    if (!(plainAndShort && nonZero(fields[2]) && nonZero(fields[3]))) {
        return;
    }
    // Refused all the same: a size lost beside a far larger corner (1e19 + 1).
    const auto value = [](std::string_view f) {
        double v = 0;
        std::from_chars(f.data(), f.data() + f.size(), v);
        return v;
    };
    const double left = value(fields[0]);
    const double top = value(fields[1]);
    FUZZ_CHECK(left + value(fields[2]) == left || top + value(fields[3]) == top);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* end = std::find(data, data + size, std::uint8_t{0});
    const std::string setting(data, end);
    CheckArea(setting);
    FuzzedDataProvider rest(end == data + size ? end : end + 1,
                            std::size_t(data + size - (end == data + size ? end : end + 1)));
    const OptionDescriptors options = DescribedOptions(rest);
    const std::size_t equals = setting.find('=');
    if (equals == std::string::npos || equals == 0) {
        return 0; // the tool refuses it before any device is asked
    }
    const std::string_view name = std::string_view(setting).substr(0, equals);
    const std::optional<OptionDescriptor> option = FindOption(options, name);
    if (!option) {
        return 0;
    }
    FUZZ_CHECK(option->name == name);
    const ParsedValue parsed = ParseOptionValue(*option, setting.substr(equals + 1));
    if (parsed.reason) {
        FUZZ_CHECK(parsed.reason.Code == ReasonCode::Unsupported);
        FUZZ_CHECK(parsed.reason.Text.rfind(option->name + ": ", 0) == 0);
        return 0;
    }
    CheckAccepted(*option, parsed.value);
    return 0;
}
