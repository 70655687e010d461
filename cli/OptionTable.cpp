// The table of options: one row each, read by the parser to take an option's
// word and to refuse it on a command that does not take it.
#include "cli/OptionTable.h"

#include <array>

namespace {

using G = GivenOptions;

constexpr std::array<std::string_view, 2> kCompressions = {"deflate", "lzw"};

const std::array<OptionSpec, 32> kOptions = {{
    {"--defaults", "", nullptr, "export apply sane cube table devices auto scan film roll",
     &G::defaults},
    {"--force", "", nullptr, "export scan", &G::force},
    {"--output-dir", "-o", "a folder", "apply", &G::outputDir},
    {"--png", "", nullptr, "apply", &G::png},
    {"--compress", "", nullptr, "apply scan roll", &G::compress, kCompressions, &G::compressMethod},
    {"--size", "", "a number of entries", "table cube sane", &G::size},
    {"--max", "", "a top level", "table sane", &G::maxLevel},
    {"--device", "", "a device name", "sane scan", &G::device},
    {"--channel", "", "red, green or blue", "sane", &G::channel},
    {"--clip", "", "a percentage", "auto", &G::clip},
    {"--linear", "", nullptr, "scan", &G::linear},
    {"--resolution", "", "dots per inch", "scan", &G::resolution},
    {"--mode", "", "Color or Gray", "scan", &G::mode},
    {"--depth", "", "8 or 16", "scan", &G::depth},
    {"--option", "", "NAME=VALUE", "scan", &G::deviceOptions},
    {"--area", "", "LEFT,TOP,WIDTH,HEIGHT in millimetres", "scan", &G::area},
    {"--source", "", "a source name", "scan", &G::source},
    {"--profile", "", "an ICC profile", "scan calibrate assess", &G::profile},
    {"--batch", "", nullptr, "scan", &G::batch},
    {"--options", "", "a device name", "devices", &G::optionsOf},
    {"--chart", "", "colorchecker or it8", "calibrate assess", &G::chart},
    {"--reference", "", "a reference file", "calibrate assess", &G::reference},
    {"--corners", "", "X1,Y1,X2,Y2,X3,Y3,X4,Y4", "calibrate assess", &G::corners},
    {"--params", "", "a parameter file", "assess", &G::params},
    {"--report", "", "a file name", "calibrate", &G::report},
    {"--diagnostic", "", "an image file name", "calibrate", &G::diagnostic},
    {"--icc-version", "", "2 or 4", "calibrate", &G::iccVersion},
    {"--base", "", "LEFT,TOP,WIDTH,HEIGHT in image pixels", "film roll", &G::base},
    {"--neutral", "", "LEFT,TOP,WIDTH,HEIGHT in image pixels", "film roll", &G::neutrals},
    {"--bw", "", nullptr, "film roll", &G::bw},
    {"--quality", "", "a quality of 1..100", "apply scan roll", &G::quality},
    {"--format", "", "an image extension", "roll", &G::format},
}};

// The words of a space-separated list.
std::vector<std::string_view> Words(std::string_view list) {
    std::vector<std::string_view> words;
    while (!list.empty()) {
        const std::size_t space = list.find(' ');
        words.push_back(list.substr(0, space));
        list = space == std::string_view::npos ? std::string_view() : list.substr(space + 1);
    }
    return words;
}

} // namespace

std::span<const OptionSpec> AllOptions() {
    return kOptions;
}

const OptionSpec* FindOption(std::string_view word) {
    const std::string_view name = word.substr(0, word.find('='));
    for (const OptionSpec& option : kOptions) {
        const bool named = name == option.name || (!option.alias.empty() && name == option.alias);
        // Only a flag with optional words is spelled "--name=WORD".
        if (named && (name == word || !option.optionalWords.empty())) {
            return &option;
        }
    }
    return nullptr;
}

bool TakesOption(const OptionSpec& option, std::string_view command) {
    for (const std::string_view name : Words(option.commands)) {
        if (name == command) {
            return true;
        }
    }
    return false;
}

bool WasGiven(const OptionSpec& option, const GivenOptions& given) {
    return std::visit(
        [&](auto member) {
            const auto& value = given.*member;
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, bool>) {
                return value;
            } else if constexpr (std::is_same_v<std::decay_t<decltype(value)>,
                                                std::vector<std::string_view>>) {
                return !value.empty();
            } else {
                return value.has_value();
            }
        },
        option.target);
}

std::string OnlyForText(const OptionSpec& option) {
    const std::vector<std::string_view> names = Words(option.commands);
    std::string text = std::string(option.alias.empty() ? option.name : option.alias) + " is for ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            text += i + 1 == names.size() ? " and " : ", ";
        }
        text += names[i];
    }
    return text + " only";
}
