// Binary PNM: P6 for RGB, P5 for grey; maxval 255 with one byte per sample or
// 65535 with two, most significant byte first.
#pragma once

#include "image/SampleImage.h"
#include "io/AtomicWrite.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

// Row y (0 at the top) of RowBytes() bytes in SampleImage's layout, valid
// until the next call.
using SampleRowSource = std::function<std::span<const std::uint8_t>(std::int32_t y)>;

// "P6\n<width> <height>\n<maxval>\n".
std::string PnmHeader(const SampleLayout& layout);

// Writes the rows in order through the safe replacement; 16-bit rows are
// turned big-endian on the way. Nothing is left when a write fails.
// An empty row from `rows` gives up: the write fails and leaves nothing.
WriteOutcome WritePnm(const std::filesystem::path& target, const SampleLayout& layout,
                      const SampleRowSource& rows);
WriteOutcome WritePnm(const std::filesystem::path& target, const SampleImage& image);
