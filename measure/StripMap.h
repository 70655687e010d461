// A film strip's scan read once into a map of cells: each cell the mean of
// a square of `cell` x `cell` pixels (fewer at the right and bottom edges),
// as red, green and blue steps of 0..65535 of transmission; beside it the
// full-resolution counts of any rectangles asked for (picked bases and
// greys). The map's size is bounded whatever the scan's, so a strip of a
// gigabyte is read in runs and kept as a few megabytes.
#pragma once

#include "image/Outcome.h"
#include "measure/FilmCounts.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// At most this many cells (6 MB): a 4000-dpi 35 mm strip of six frames is
// mapped in cells of 15 x 15 pixels, 0.1 mm of film, and its frames' edges
// are placed within a cell.
inline constexpr std::int64_t kMostMapCells = std::int64_t{1} << 20;

using CellSteps = std::array<std::uint16_t, kChannelCount>;

struct StripMap {
    std::int32_t width = 0; // the image's pixels
    std::int32_t height = 0;
    std::int32_t cell = 1; // pixels along a cell's side
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::vector<CellSteps> cells;       // row by row from the top
    std::vector<ChannelCounts> regions; // in the order they were asked for

    const CellSteps& At(std::int32_t column, std::int32_t row) const {
        return cells[std::size_t(row) * std::size_t(columns) + std::size_t(column)];
    }
};

// The density of each step of 0..65535, -log10(step / 65535), a step of 0
// taken as half a step: a cell's densities by lookup.
const std::vector<float>& StepDensities();

// The least side of a square cell that keeps a width x height image within
// `mostCells` cells.
std::int32_t CellSideFor(std::int32_t width, std::int32_t height, std::int64_t mostCells);

// Every pixel of `source` read once, upright; each rectangle must fit the
// image. The read's reason when it fails.
Outcome<StripMap> MapStrip(const RowSource& source, std::span<const PixelRect> regions,
                           std::int64_t mostCells = kMostMapCells);
