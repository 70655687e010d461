// Any input the tool takes, put through the tables into any output it
// writes: BMP (24-bit), PNM (P6), PNG or TIFF. 8-bit inputs and every BMP
// output go through the 256-entry tables, exactly as the window's preview;
// a 16-bit input to PNM, PNG or TIFF keeps 16 bits through 65536-entry curves.
#pragma once

#include "curve/ChannelParams.h"
#include "image/formats/FormatTable.h"
#include "image/rows/ByteSource.h"
#include "image/rows/Pipeline.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>

struct ApplyTables {
    const GammaTableSet* Levels = nullptr; // the window's tables
    // 65536 entries of 0..65535 per channel: red, green, blue.
    std::array<std::span<const std::uint16_t>, kChannelCount> Wide;
    // A negative's curves alone, as Wide, behind no film stage: its output
    // is a positive, whose profile is rewritten for these. Empty otherwise.
    std::array<std::span<const std::uint16_t>, kChannelCount> PositiveWide{};
};

struct ApplyOptions {
    TiffCompression Compression = TiffCompression::None;
    PipelineOptions Pipeline;
};

// The reader's reason, Unsupported with kNoPixels for an image without
// pixels, or the writer's. A refused input never touches the output.
Reason ApplyImage(const ByteSource& input, ImageFormat inFormat, ImageFormat outFormat,
                  const Replacement& output, const ApplyTables& tables,
                  const ApplyOptions& options = {});

// The same between files, the output replaced safely: on any failure no
// output is left and an old one stays as it was.
Reason ApplyImageFile(const std::filesystem::path& input, const std::filesystem::path& output,
                      ImageFormat outFormat, const ApplyTables& tables,
                      const ApplyOptions& options = {});
