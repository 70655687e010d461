// Film lines: "%s=%s" for the kind, "%s=%.6f" for transmissions, "%s=%.4f"
// for exponents, densities and scales, "%s=%d" for the number of picks, CR
// LF after each. A value is digits with at most one point between digits:
// no sign, no exponent, no comma, so that every locale writes and reads the
// same text.
#include "io/FilmLines.h"

#include "io/TextLine.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr const char* kWordFormat = "%s=%s\r\n";
constexpr const char* kDecimalFormat = "%s=%.*f\r\n";
constexpr const char* kCountFormat = "%s=%d\r\n";
constexpr char kPoint = '.';

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<double> ParseDecimal(std::string_view text) {
    const std::size_t point = text.find(kPoint);
    const bool wellFormed = point == std::string_view::npos ? IsDigits(text)
                                                            : IsDigits(text.substr(0, point)) &&
                                                                  IsDigits(text.substr(point + 1));
    double value = 0;
    if (!wellFormed ||
        std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc{}) {
        return std::nullopt;
    }
    return value;
}

double& FieldOf(FilmSettings& film, const FilmKey& key) {
    FilmStage& stage = film.stages[key.channel];
    switch (key.field) {
    case FilmField::Base:
        return stage.base;
    case FilmField::Exponent:
        return stage.exponent;
    case FilmField::Density:
        return stage.density;
    case FilmField::Scale:
        return stage.scale;
    default:
        break;
    }
    return film.neutrals[key.pick][key.channel];
}

// The kind's index, the count and a pick's transmissions by their ranges
// (none is below 0: no value has a sign); a stage's value by the stage's
// own check, in a stage whose other values are valid.
bool IsWithinLimits(const FilmKey& key, double value) {
    switch (key.field) {
    case FilmField::Mode:
        return value <= static_cast<double>(kFilmModeWords.size() - 1);
    case FilmField::NeutralCount:
        return value <= static_cast<double>(kMaxNeutralPicks);
    case FilmField::Neutral:
        return value >= kMinTransmission && value <= kMaxTransmission;
    default:
        break;
    }
    FilmSettings probe = UnmeasuredFilm(FilmMode::ColourNegative);
    FieldOf(probe, key) = value;
    return IsValidStage(probe.stages[key.channel]);
}

// The kind as the index of its word; the count as a whole number.
std::optional<double> ValueOf(const FilmKey& key, std::string_view text) {
    std::optional<double> value;
    if (key.field == FilmField::Mode) {
        const auto* word = std::find_if(kFilmModeWords.begin(), kFilmModeWords.end(),
                                        [text](const FilmModeWord& w) { return text == w.word; });
        if (word != kFilmModeWords.end()) {
            value = static_cast<double>(word - kFilmModeWords.begin());
        }
    } else if (key.field == FilmField::NeutralCount) {
        value = IsDigits(text) ? ParseDecimal(text) : std::nullopt;
    } else {
        value = ParseDecimal(text);
    }
    return value && IsWithinLimits(key, *value) ? value : std::nullopt;
}

int DecimalsOf(FilmField field) {
    return field == FilmField::Base || field == FilmField::Neutral ? kTransmissionDecimals
                                                                   : kFactorDecimals;
}

bool IsWritten(const FilmKey& key, const FilmSettings& film) {
    return key.field != FilmField::Neutral || key.pick < film.neutralCount;
}

std::string LineOf(const FilmKey& key, const FilmSettings& film) {
    switch (key.field) {
    case FilmField::Mode:
        return FormatLine(kWordFormat, key.name,
                          kFilmModeWords[static_cast<std::size_t>(film.mode)].word);
    case FilmField::NeutralCount:
        return FormatLine(kCountFormat, key.name, static_cast<int>(film.neutralCount));
    default:
        break;
    }
    FilmSettings copy = film;
    return FormatLine(kDecimalFormat, key.name, DecimalsOf(key.field), FieldOf(copy, key));
}

} // namespace

std::vector<std::string> FormatFilmLines(const FilmSettings& film) {
    std::vector<std::string> lines;
    if (!film.IsNegative()) {
        return lines;
    }
    for (const FilmKey& key : kFilmKeys) {
        if (IsWritten(key, film)) {
            lines.push_back(LineOf(key, film));
        }
    }
    return lines;
}

void FilmLineParser::Take(std::string_view key, std::string_view value) {
    for (std::size_t i = 0; i < kFilmKeys.size(); ++i) {
        if (key == kFilmKeys[i].name) {
            seen_[i] = true;
            values_[i] = ValueOf(kFilmKeys[i], value);
            return;
        }
    }
}

FilmRead FilmLineParser::Result() const {
    if (std::none_of(seen_.begin(), seen_.end(), [](bool seen) { return seen; })) {
        return {};
    }
    // A line seen but unreadable is wrong wherever it stands.
    for (std::size_t i = 0; i < kFilmKeys.size(); ++i) {
        if (seen_[i] && !values_[i]) {
            return {{}, kFilmKeys[i].name};
        }
    }
    FilmSettings film;
    for (std::size_t i = 0; i < kFilmKeys.size(); ++i) {
        const FilmKey& key = kFilmKeys[i];
        if (key.field == FilmField::Neutral && key.pick >= film.neutralCount) {
            continue; // beyond the picks made
        }
        if (!values_[i]) {
            return {{}, key.name};
        }
        if (key.field == FilmField::Mode) {
            film.mode = kFilmModeWords[static_cast<std::size_t>(*values_[i])].mode;
            if (!film.IsNegative()) {
                return {};
            }
        } else if (key.field == FilmField::NeutralCount) {
            film.neutralCount = static_cast<std::size_t>(*values_[i]);
        } else {
            FieldOf(film, key) = *values_[i];
        }
    }
    // Kept as a save writes them, so that a film loads back to the tables it saves.
    return {RoundedForFile(film), {}};
}
