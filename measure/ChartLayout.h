// The charts calibration knows: where each patch lies, in units of the patch
// pitch from the top-left corner of the patch grid, which patches are the
// grey scale (white to black), and where each patch is sampled.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class ChartKind { ColorChecker24, It8 };

// An axis-aligned box in chart units (x to the right, y down).
struct ChartBox {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

struct ChartPatch {
    std::string id;  // as the reference names it, e.g. "A01", "GS07"
    ChartBox sample; // the central half of the patch, the part that is sampled
    bool grey = false;
};

struct ChartLayout {
    ChartKind kind;
    std::string_view name;  // "colorchecker", "it8": as the tool takes it
    std::string_view title; // "ColorChecker 24", "IT8.7/2": as people write it
    int columns = 0;        // the grid's size in pitches; the corners are its corners
    int rows = 0;
    std::vector<ChartPatch> patches; // the grid row by row, then the grey scale
    std::vector<std::size_t> greys;  // indices into patches, white to black
};

const ChartLayout& LayoutOf(ChartKind kind);

// The chart a name stands for ("colorchecker" or "it8", in any letter case).
std::optional<ChartKind> ChartNamed(std::string_view name);

// The smallest box holding the grid and every patch whole (a patch is its
// sampled box doubled about its centre): an IT8's grey scale reaches below
// and to the left of its grid.
ChartBox ExtentOf(const ChartLayout& layout);

// Every chart, in the order the tool and the window list them.
std::span<const ChartKind> AllCharts();
