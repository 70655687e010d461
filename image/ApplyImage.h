// Any input the tool takes, put through the tables into any output it
// writes: BMP (24-bit), PNM, PNG, TIFF, JPEG or a PDF's page; a grey input
// through three equal tables stays grey where the output holds grey. 8-bit
// inputs and every BMP output go through the 256-entry tables, exactly as
// the window's preview; a 16-bit input to any other output goes through
// 65536-entry curves and keeps 16 bits (JPEG, and a PDF's JPEG pages,
// round them to 8).
#pragma once

#include "curve/ChannelParams.h"
#include "image/formats/FormatTable.h"
#include "image/rows/ByteSource.h"
#include "image/rows/Pipeline.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
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
    std::optional<std::int32_t> Quality; // JPEG, and a PDF's pages as JPEGs
    PipelineOptions Pipeline;
    // The output's name holds grey only (.pgm): an output that comes out in
    // colour is refused.
    bool GreyOnly = false;
};

// True when the three tables are equal, so that a grey input stays grey
// (one channel) in every output that holds grey; with unequal tables a
// grey input comes out in colour.
bool KeepsGrey(const ApplyTables& tables);

// The reader's reason, Unsupported with kNoPixels for an image without
// pixels, or the writer's. A refused input never touches the output.
Reason ApplyImage(const ByteSource& input, ImageFormat inFormat, ImageFormat outFormat,
                  const Replacement& output, const ApplyTables& tables,
                  const ApplyOptions& options = {});

// The same as the next page of a document of `outFormat` (one that holds
// pages); a failed page leaves the document as it was.
Reason ApplyImageToPage(const ByteSource& input, ImageFormat inFormat, ImageFormat outFormat,
                        PageWriter& pages, const ApplyTables& tables,
                        const ApplyOptions& options = {});
// `warning`, when given, takes what the reader went past (RowSource::Warning).
Reason ApplyFileToPage(const std::filesystem::path& input, ImageFormat outFormat, PageWriter& pages,
                       const ApplyTables& tables, const ApplyOptions& options = {},
                       Reason* warning = nullptr);

// Any row source (a crop, the window's image) through the tables into a
// file of `outFormat`, replaced safely as below.
Reason ApplyRowsFile(const RowSource& rows, const std::filesystem::path& output,
                     ImageFormat outFormat, const ApplyTables& tables,
                     const ApplyOptions& options = {});

// The same between files, the output replaced safely: on any failure no
// output is left and an old one stays as it was.
Reason ApplyImageFile(const std::filesystem::path& input, const std::filesystem::path& output,
                      ImageFormat outFormat, const ApplyTables& tables,
                      const ApplyOptions& options = {}, Reason* warning = nullptr);
