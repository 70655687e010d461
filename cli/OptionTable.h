// Every option of tamrel-cli, declared once: its spellings, what its value
// is, the commands that take it, and where the parser keeps what was given.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The options as they stand on the line, before their values are judged.
struct GivenOptions {
    bool defaults = false;
    bool force = false;
    bool png = false;
    bool compress = false;
    std::optional<std::string_view> compressMethod;
    std::optional<std::string_view> outputDir;
    std::optional<std::string_view> size;
    std::optional<std::string_view> maxLevel;
    std::optional<std::string_view> device;
    std::optional<std::string_view> channel;
    std::optional<std::string_view> clip;
    bool linear = false;
    std::optional<std::string_view> resolution;
    std::optional<std::string_view> mode;
    std::optional<std::string_view> depth;
    std::vector<std::string_view> deviceOptions;
    std::optional<std::string_view> area;
    std::optional<std::string_view> source;
    std::optional<std::string_view> profile;
    bool batch = false;
    std::optional<std::string_view> optionsOf;
    std::optional<std::string_view> chart;
    std::optional<std::string_view> reference;
    std::optional<std::string_view> corners;
    std::optional<std::string_view> report;
    std::optional<std::string_view> diagnostic;
    std::optional<std::string_view> params;
    std::optional<std::string_view> iccVersion;
    std::optional<std::string_view> base;
    std::vector<std::string_view> neutrals;
    bool bw = false;
    std::optional<std::string_view> quality;
    std::optional<std::string_view> format;
};

// A flag, a word that may be given once, or a word that may be given again.
using OptionTarget =
    std::variant<bool GivenOptions::*, std::optional<std::string_view> GivenOptions::*,
                 std::vector<std::string_view> GivenOptions::*>;

struct OptionSpec {
    std::string_view name;     // "--size"
    std::string_view alias;    // "-o", or empty
    const char* value;         // what its word is, for errors; null for a flag
    std::string_view commands; // the commands that take it, in the order the help names them
    OptionTarget target;
    // A flag that takes the next word as its value when it is one of these
    // (and "--name=WORD" likewise), kept in `optionalValue`.
    std::span<const std::string_view> optionalWords = {};
    std::optional<std::string_view> GivenOptions::*optionalValue = nullptr;
};

std::span<const OptionSpec> AllOptions();

// The option spelled `word` ("--size", "-o", "--compress=lzw"), or null.
const OptionSpec* FindOption(std::string_view word);

// True when `command` is among those the option is for.
bool TakesOption(const OptionSpec& option, std::string_view command);

// True when the line gave the option.
bool WasGiven(const OptionSpec& option, const GivenOptions& given);

// "--size is for table, cube and sane only".
std::string OnlyForText(const OptionSpec& option);
