// Fields are separated by tabs; '#' at the start of a line makes a
// comment. A source line, "source KEY TEXT", comes before the limits that
// name its key. The limit is a plain decimal with a point, read whatever
// the locale.
#include "measure/GuidelineLimits.h"

#include <algorithm>
#include <array>
#include <charconv>

extern const char* const kGuidelineLimitsText; // GuidelineLimitsText.cpp, made by CMake

namespace {

constexpr std::size_t kLimitFields = 7;
constexpr std::size_t kSourceFields = 3;
constexpr std::string_view kSourceWord = "source";
constexpr char kFieldSeparator = '\t';
constexpr char kComment = '#';

struct FigureName {
    ChartFigure figure;
    std::string_view key;
    std::string_view words;
};

constexpr std::array<FigureName, 7> kFigures = {{
    {ChartFigure::MeanDeltaE, "mean-de2000", "colour, mean CIEDE2000"},
    {ChartFigure::LargestDeltaE, "largest-de2000", "colour, largest CIEDE2000"},
    {ChartFigure::MeanDeltaEUnitL, "mean-de2000-sl1", "colour, mean CIEDE2000 (S_L = 1)"},
    {ChartFigure::LargestDeltaEUnitL, "largest-de2000-sl1", "colour, largest CIEDE2000 (S_L = 1)"},
    {ChartFigure::Tone, "tone-dl", "tone, greys' largest |delta L*|"},
    {ChartFigure::WhiteBalance, "white-balance", "white balance, greys' largest delta E(a*b*)"},
    {ChartFigure::Noise, "noise-l", "noise, greys' largest L* deviation"},
}};

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t tab = line.find(kFieldSeparator); tab != std::string_view::npos;
         tab = line.find(kFieldSeparator, start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

using Sources = std::vector<std::pair<std::string, std::string>>; // key, text

std::optional<std::string> SourceNamed(const Sources& sources, std::string_view key) {
    for (const auto& [name, text] : sources) {
        if (name == key) {
            return text;
        }
    }
    return std::nullopt;
}

std::optional<GuidelineLimit> LimitOf(const std::vector<std::string_view>& f,
                                      const Sources& sources) {
    if (f.size() != kLimitFields || f[0].empty() || f[1].empty() || (f[3] != "<" && f[3] != "<=")) {
        return std::nullopt;
    }
    const std::optional<std::string> source = SourceNamed(sources, f[5]);
    GuidelineLimit limit{std::string(f[0]), std::string(f[1]),  {}, f[3] == "<", 0,
                         std::string(f[6]), source.value_or("")};
    const auto figure = std::find_if(kFigures.begin(), kFigures.end(),
                                     [&](const FigureName& n) { return n.key == f[2]; });
    const char* end = f[4].data() + f[4].size();
    const auto [stop, error] = std::from_chars(f[4].data(), end, limit.limit);
    if (!source || figure == kFigures.end() || error != std::errc() || stop != end ||
        f[4].empty()) {
        return std::nullopt;
    }
    limit.figure = figure->figure;
    return limit;
}

// One line into `parse` (a limit) or `sources`; false for a bad line.
bool TakeLine(std::string_view line, Sources& sources, LimitsParse& parse) {
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.front() == kSourceWord) {
        if (fields.size() != kSourceFields || fields[1].empty() || fields[2].empty()) {
            return false;
        }
        sources.emplace_back(fields[1], fields[2]);
        return true;
    }
    std::optional<GuidelineLimit> limit = LimitOf(fields, sources);
    if (limit) {
        parse.limits.push_back(std::move(*limit));
    }
    return limit.has_value();
}

const FigureName& NameOf(ChartFigure figure) {
    return *std::find_if(kFigures.begin(), kFigures.end(),
                         [&](const FigureName& n) { return n.figure == figure; });
}

} // namespace

std::span<const ChartFigure> AllChartFigures() {
    static const std::array<ChartFigure, kFigures.size()> all = [] {
        std::array<ChartFigure, kFigures.size()> figures{};
        for (std::size_t i = 0; i < kFigures.size(); ++i) {
            figures[i] = kFigures[i].figure;
        }
        return figures;
    }();
    return all;
}

std::string_view FigureKey(ChartFigure figure) {
    return NameOf(figure).key;
}

std::string_view FigureWords(ChartFigure figure) {
    return NameOf(figure).words;
}

LimitsParse ParseGuidelineLimits(std::string_view text) {
    LimitsParse parse;
    Sources sources;
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        ++number;
        if (line.empty() || line.front() == kComment) {
            continue;
        }
        if (!TakeLine(line, sources, parse)) {
            parse.badLine = number;
            parse.limits.clear();
            return parse;
        }
    }
    return parse;
}

const std::vector<GuidelineLimit>& GuidelineLimits() {
    static const std::vector<GuidelineLimit> limits =
        ParseGuidelineLimits(kGuidelineLimitsText).limits;
    return limits;
}
