// A page of samples (a scan) written as PNM, PNG or TIFF through the same
// writers as apply's outputs, its rows taken in runs as they come.
#pragma once

#include "image/ImageMeta.h"
#include "image/formats/Bmp24Writer.h"
#include "image/formats/OutputKind.h"
#include "image/formats/TiffWriter.h"
#include "image/rows/SampleImage.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>

// Whole rows, in order, RowBytes() apart; the sink may change them in place.
using SampleRunSink = std::function<bool(std::span<std::uint8_t> rows)>;
// Hands every row to the sink: its own reason, or WriteFailed when the sink
// stopped it.
using SampleRuns = std::function<Reason(const SampleRunSink& sink)>;

// .pnm, .ppm and .pgm give PNM, .png PNG, .tif and .tiff TIFF, .bmp BMP, in
// any letter case.
std::optional<OutputKind> SampleOutputOf(const std::filesystem::path& path);

// How a page is written beside its samples: TIFF's compression, and the
// resolution and ICC profile (PNG and TIFF keep both; PNM neither). The
// profile must already suit an RGB image (see ColourProfile.h).
struct SampleFileOptions {
    TiffCompression compression = TiffCompression::None;
    ImageMeta meta;
};

// 8 and 16 bits are kept. PNM keeps a grey page grey (P5); PNG and TIFF
// are RGB, a grey sample giving equal red, green and blue. The reason of
// the runs, the writer's, or Unsupported for BMP (its 8-bit rows are
// written bottom-up, from a whole image).
Reason WriteSamples(const SampleLayout& layout, OutputKind kind, const SampleRuns& runs,
                    const Replacement& output, const SampleFileOptions& options = {});

// The runs of a whole image, a piece at a time through a copy, so the image
// itself is left as it is.
SampleRuns RunsOf(const SampleImage& image);
