// Fixed-point figures and plain limits with a decimal point whatever the
// locale (FormatClassic): the text goes to scripts as well as to people.
#include "measure/VerdictReport.h"

#include "curve/ClassicFormat.h"

#include <algorithm>

namespace {

constexpr std::size_t kVerdictLineBytes = 512;
constexpr const char* kNotMeasured =
    "not measured (a reflective colour chart cannot show them): resolution (sampling\n"
    "  frequency, SFR/MTF), uniformity of illumination, geometry (distortion, scale,\n"
    "  skew); nor gain modulation, colour channel registration or sharpening\n";

std::string CriterionLine(const CriterionVerdict& c) {
    const std::string limit =
        FormatClassic<kVerdictLineBytes>("%s %g", c.limit.strict ? "<" : "<=", c.limit.limit);
    return FormatClassic<kVerdictLineBytes>("    %-46s %7.2f  %-7s %s\n",
                                            std::string(FigureWords(c.limit.figure)).c_str(),
                                            c.figure, limit.c_str(), c.pass ? "pass" : "fail");
}

std::string LevelText(const LevelVerdict& level) {
    std::string text = FormatClassic<kVerdictLineBytes>("  %s: %s", level.level.c_str(),
                                                        level.Passed() ? "pass" : "fail");
    for (std::size_t i = 0; i < level.noLimit.size(); ++i) {
        text += i == 0 ? " (no limit found for " : ", ";
        text += std::string(CriterionWords(level.noLimit[i]));
    }
    text += level.noLimit.empty() ? "\n" : ")\n";
    for (const CriterionVerdict& c : level.criteria) {
        text += CriterionLine(c);
    }
    return text;
}

// Each distinct source of the guideline's limits, once.
std::string SourcesText(const GuidelineVerdict& verdict) {
    std::vector<std::string> sources;
    for (const LevelVerdict& level : verdict.levels) {
        for (const CriterionVerdict& c : level.criteria) {
            if (std::find(sources.begin(), sources.end(), c.limit.source) == sources.end()) {
                sources.push_back(c.limit.source);
            }
        }
    }
    std::string text;
    for (const std::string& source : sources) {
        text += "  limits found in " + source + "\n";
    }
    return text;
}

} // namespace

std::string VerdictText(std::span<const GuidelineVerdict> verdicts) {
    std::string text;
    for (const GuidelineVerdict& verdict : verdicts) {
        const std::optional<std::string> highest = verdict.HighestPassed();
        text += verdict.guideline + ": highest level passed: " + highest.value_or("none") + "\n";
        for (const LevelVerdict& level : verdict.levels) {
            text += LevelText(level);
        }
        text += SourcesText(verdict);
    }
    return text + kNotMeasured;
}

std::string HighestLevelsText(std::span<const GuidelineVerdict> verdicts) {
    std::string text;
    for (const GuidelineVerdict& verdict : verdicts) {
        text += (text.empty() ? "" : "; ") + verdict.guideline + ": " +
                verdict.HighestPassed().value_or("none");
    }
    return text;
}
