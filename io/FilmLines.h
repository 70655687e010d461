// The film's lines of a parameter file: "KEY=VALUE" after the twelve
// positions, which a reader that knows only the twelve passes over. Values
// are decimals with a point ("0.812345"), the kind of film a word.
#pragma once

#include "curve/FilmSettings.h"
#include "io/FilmKeys.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The lines of a negative, CR LF after each; none for a positive.
std::vector<std::string> FormatFilmLines(const FilmSettings& film);

// The film of a file, or the key whose line is missing or wrong.
struct FilmRead {
    FilmSettings film;
    std::string badKey; // empty when the film (or no film) was read
};

// Collects the film's keys line by line. A later line of a key replaces an
// earlier one, as for the twelve; other keys are not its business.
class FilmLineParser {
public:
    void Take(std::string_view key, std::string_view value);
    // No film key at all is a positive. Otherwise the kind must be given,
    // and for a negative every stage value and every counted pick, each
    // within its limits.
    FilmRead Result() const;

private:
    // Each key's last value, or nullopt when that line was unreadable.
    std::array<std::optional<double>, kFilmKeyCount> values_{};
    std::array<bool, kFilmKeyCount> seen_{};
};
