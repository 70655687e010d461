// Binary PNM output: P6 for RGB, P5 for grey; maxval 255 (8-bit samples) or
// 65535 (16-bit, big-endian). The tool's apply writes rows at their places,
// several runs at once; a scan is written in order from its sample rows.
#pragma once

#include "image/Bmp24Writer.h"
#include "image/RgbOutput.h"
#include "image/SampleImage.h"
#include "io/AtomicWrite.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

// "P6\n<width> <height>\n<maxval>\n".
std::string FormatPnmHeader(const RgbShape& shape);

// The whole file through `output`: the header, then every row the producer
// makes (16-bit samples already big-endian). The producer's reason, or the
// output's.
Reason WritePnm(const RgbShape& shape, const RgbProducer& produce, const Replacement& output);

// A scan's rows.
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
