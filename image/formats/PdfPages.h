// A PDF of image pages made and written by qpdf: each page one image
// XObject drawn over the whole page, whose size is the image's in inches
// (pixels / dots per inch) at 72 points per inch. The image is either a
// JPEG (DCTDecode, 8 bits) or deflated rows under the PNG predictor
// (FlateDecode, Predictor 15, 8 or 16 bits); its colour space ICCBased with
// the profile where there is one, else DeviceRGB or DeviceGray. The
// document information names the producer and the creation date; the file
// says PDF 1.5 where a page has 16-bit samples (the first version to allow
// them), else 1.4.
#pragma once

#include "image/ImageMeta.h"
#include "image/formats/RowWriter.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

struct PdfPage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t channels = 3;         // 1 or 3
    std::int32_t bits = 8;             // per sample, 8 or 16 (16 only when not a JPEG)
    bool jpeg = false;                 // DCTDecode, else FlateDecode with the PNG predictor
    Resolution resolution;             // dots per inch, both above 0
    std::vector<std::uint8_t> profile; // ICC, of `channels` samples; empty for none
    std::int64_t offset = 0;           // where the encoded image lies in the scratch file
    std::int64_t length = 0;
};

// Reads `bytes.size()` bytes of the scratch file at `offset`; false when it
// cannot.
using ScratchRead = std::function<bool(std::int64_t offset, std::span<std::uint8_t> bytes)>;

// The whole file into `sink`: WriteFailed when the sink stopped, ReadFailed
// when the scratch file could not be read, DamagedData with qpdf's words
// when qpdf refused.
Reason WritePdfPages(std::span<const PdfPage> pages, const ScratchRead& read, const ByteSink& sink);
