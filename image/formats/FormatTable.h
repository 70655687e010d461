// The one table of image formats: for each, the names it goes by, its
// reader, its writer, and what its files hold (and so the rows its writer
// takes), with the words the tool's help says of it. The window's open, the
// tool's apply and scan outputs and the window's scan save all choose
// through it.
#pragma once

#include "image/Outcome.h"
#include "image/formats/FormatNames.h"
#include "image/formats/RowWriter.h"
#include "image/rows/ByteSource.h"
#include "image/rows/StoredRows.h"

#include <memory>
#include <span>
#include <string_view>

using RowOpener = Outcome<std::unique_ptr<RowSource>> (*)(const ByteSource& source);
using PagesOpener = std::unique_ptr<PageWriter> (*)();

struct FormatEntry {
    ImageFormat Format;
    std::string_view Label; // "BMP", "PNM", ...
    std::span<const FormatName> Names;
    RowOpener Open; // null for a format only written (PDF)
    RowWriter Write;
    PagesOpener OpenPages = nullptr; // a file of several pages (PDF), else null
    // What the tool's help says of it as an output.
    std::string_view Help;
    // What a file of the format holds: grey kept as grey (else written as
    // equal red, green and blue), 16 bits per sample (else 8), the
    // resolution, an ICC profile; whether it takes a choice of compression.
    bool HoldsGrey = false;
    bool HoldsWide = false;
    bool HoldsResolution = false;
    bool HoldsProfile = false;
    bool TakesCompression = false;
    // Its writer takes 16-bit rows and rounds them to 8 bits itself (JPEG),
    // so a 16-bit input reaches it through the 65536-entry tables.
    bool RoundsWide = false;
    // It takes a quality 1..100 (JPEG; a PDF's pages are then JPEGs).
    bool TakesQuality = false;
    // How its writer takes rows: the colour order, a 16-bit sample's byte
    // order, bottom-up or not, the row alignment.
    SampleOrder Order = SampleOrder::Rgb;
    std::endian Words = std::endian::big;
    bool BottomUp = false;
    std::int32_t RowAlign = 1;
};

const FormatEntry& EntryOf(ImageFormat format);
std::span<const FormatEntry> AllFormats();

// Whether the writer takes 16-bit rows (it holds them, or rounds them).
bool TakesWideRows(ImageFormat format);

// Picks for NameList.
bool HoldsPages(const FormatEntry& entry);
bool TakesQuality(const FormatEntry& entry);

// The rows the writer of `format` takes for an image of `channels` (1 or 3)
// and `bits` (8 or 16) per sample: grey and 16 bits kept only where the
// format holds them (or, for 16 bits, rounds them).
RowShape WriterShape(ImageFormat format, std::int32_t width, std::int32_t height,
                     std::int32_t channels, std::int32_t bits);

// The rows of `source` read as `format`, upright whatever orientation the
// file gives them (OrientedRows.h), or the reader's reason
// (Refused, NotReadFormat, for a format that is only written).
// `source` must outlive the rows.
Outcome<std::unique_ptr<RowSource>> OpenRows(ImageFormat format, const ByteSource& source);

// The image written as `format` through its writer, the options cut to what
// the format holds. `shape` must be WriterShape's for the format.
Reason WriteRows(ImageFormat format, const RowShape& shape, const RowProducer& produce,
                 const Replacement& output, const WriteOptions& options);
