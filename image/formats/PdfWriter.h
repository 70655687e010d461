// A PDF of image pages made and written by qpdf: each page one image
// XObject drawn over the whole page, whose size is the image's in inches
// (pixels / dots per inch) at 72 points per inch. The image is either a
// JPEG (DCTDecode, 8 bits) or deflated rows under the PNG predictor
// (FlateDecode, Predictor 15, 8 or 16 bits); its colour space ICCBased with
// the profile where there is one (pages of one profile share one stream of
// it), else DeviceRGB or DeviceGray. A page may be at most 14,400 units
// wide and high; a larger one is counted in units of several points
// (UserUnit, PDF 1.6), the fewest whole points that bring it within. The
// document information names the producer and the creation date; the file
// says PDF 1.6 where a page has such units, else 1.5 where a page has
// 16-bit samples (the first version to allow them), else 1.4.
//
// qpdf 11's headers do not compile as C++20 under clang (JSON.hh destroys a
// vector of the class it is still defining), so this header and its source
// keep to C++17, and the source is built as such.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct PdfPage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t channels = 3; // 1 or 3
    std::int32_t bits = 8;     // per sample, 8 or 16 (16 only when not a JPEG)
    bool jpeg = false;         // DCTDecode, else FlateDecode with the PNG predictor
    double dotsPerInchX = 0;   // both above 0
    double dotsPerInchY = 0;
    std::vector<std::uint8_t> profile; // ICC, of `channels` samples; empty for none
    std::int64_t offset = 0;           // where the encoded image lies in the scratch file
    std::int64_t length = 0;
};

// Reads `size` bytes of the scratch file at `offset`; false when it cannot.
using PdfScratchRead =
    std::function<bool(std::int64_t offset, std::uint8_t* bytes, std::size_t size)>;
// Takes the file's bytes in order; false stops the writing.
using PdfSink = std::function<bool(const std::uint8_t* bytes, std::size_t size)>;

enum class PdfFailure { None, OutputStopped, ScratchUnread, NoMemory, Refused };

struct PdfOutcome {
    PdfFailure failure = PdfFailure::None;
    std::string words; // qpdf's, when it refused
};

// The whole file into `sink`, `producer` named in its information.
PdfOutcome WritePdfPages(const std::vector<PdfPage>& pages, const std::string& producer,
                         const PdfScratchRead& read, const PdfSink& sink);
