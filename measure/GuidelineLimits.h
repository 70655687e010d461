// The imaging guidelines' limits (FADGI, ISO 19264-1, Metamorfoze) for
// what a reflective colour chart shows of a scan, read from the one data
// file measure/GuidelineLimits.tsv (built into the program): per guideline
// and level, best first, a figure, its test (< or <=), the limit, the
// document and table it comes from, and where that was found.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What is measured on the chart, as the data file names it.
enum class ChartFigure {
    MeanDeltaE,      // mean CIEDE2000 over every patch
    LargestDeltaE,   // largest CIEDE2000
    MeanDeltaEUnitL, // the same with S_L = 1
    LargestDeltaEUnitL,
    Tone,         // the greys' largest |delta L*|
    WhiteBalance, // the greys' largest delta E(a*b*)
    Noise,        // the greys' largest standard deviation of L*
};

struct GuidelineLimit {
    std::string guideline; // "FADGI 2023"
    std::string level;     // "4 stars"
    ChartFigure figure = ChartFigure::MeanDeltaE;
    bool strict = false; // the figure must stay below the limit, not reach it
    double limit = 0;
    std::string document; // the document, table and row the limit is from
    std::string source;   // where that was found

    bool Passes(double value) const { return strict ? value < limit : value <= limit; }
};

// The figures in the order reports list them, and each one's name in the
// data file and in words.
std::span<const ChartFigure> AllChartFigures();
std::string_view FigureKey(ChartFigure figure);
std::string_view FigureWords(ChartFigure figure);

// The lines of a limits table, or the 1-based number of the first line
// that is not one (a wrong field count, an unknown figure, test or source,
// a limit that is no number).
struct LimitsParse {
    std::vector<GuidelineLimit> limits;
    std::optional<std::size_t> badLine;
};
LimitsParse ParseGuidelineLimits(std::string_view text);

// The built-in table.
const std::vector<GuidelineLimit>& GuidelineLimits();
