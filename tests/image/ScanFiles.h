// Scan files made for the tests: grey or RGB pictures of 16-bit samples
// written as PNM by hand, and as PNG or TIFF through the project's writers.
#pragma once

#include "image/formats/FormatTable.h"
#include "image/formats/PngWriter.h"
#include "image/formats/PnmWriter.h"
#include "image/formats/TiffWriter.h"
#include "io/MemoryWrite.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace scantest {

// Sample c of pixel (x, y).
using SampleAt = std::function<std::uint16_t(std::int32_t x, std::int32_t y, int c)>;

// A binary PNM: P5 (1 sample) or P6 (3), maxval m, big-endian when m > 255.
inline std::vector<std::uint8_t> EncodePnm(std::int32_t w, std::int32_t h, int samples,
                                           int maxValue, const SampleAt& at,
                                           const std::string& comment = "") {
    std::string head = std::string(samples == 1 ? "P5" : "P6") + "\n" + comment +
                       std::to_string(w) + " " + std::to_string(h) + "\n" +
                       std::to_string(maxValue) + "\n";
    std::vector<std::uint8_t> bytes(head.begin(), head.end());
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            for (int c = 0; c < samples; ++c) {
                const std::uint16_t v = at(x, y, c);
                if (maxValue > 255) {
                    bytes.push_back(static_cast<std::uint8_t>(v >> 8));
                }
                bytes.push_back(static_cast<std::uint8_t>(v));
            }
        }
    }
    return bytes;
}

enum class Rgb16Format { Png, Tiff, TiffDeflate };

// An RGB 16-bit file of the picture through the project's writer.
inline std::vector<std::uint8_t> EncodeRgb16(std::int32_t w, std::int32_t h, Rgb16Format format,
                                             const SampleAt& at) {
    const RowShape shape =
        WriterShape(format == Rgb16Format::Png ? ImageFormat::Png : ImageFormat::Tiff, w, h, 3, 16);
    const bool big = format == Rgb16Format::Png;
    const RowProducer produce = [&](const RowRunSink& sink, const RunRequest&) -> Reason {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(shape.RowBytes()));
        for (std::int32_t y = 0; y < h; ++y) {
            for (std::int32_t x = 0; x < w; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const std::uint16_t v = at(x, y, c);
                    std::uint8_t* p = &row[static_cast<std::size_t>((x * 3 + c) * 2)];
                    const std::uint16_t stored =
                        big ? static_cast<std::uint16_t>(v >> 8 | v << 8) : v;
                    p[0] = static_cast<std::uint8_t>(stored);
                    p[1] = static_cast<std::uint8_t>(stored >> 8);
                }
            }
            if (!sink(y, 1, row.data())) {
                return Reason(ReasonCode::WriteFailed);
            }
        }
        return {};
    };
    MemoryFile file;
    const Replacement out = [&](const PositionedContents& c) { return file.Replace(c); };
    if (format == Rgb16Format::Png) {
        WritePng(shape, produce, out, {});
    } else {
        WriteTiff(
            shape, produce, out,
            {format == Rgb16Format::Tiff ? TiffCompression::None : TiffCompression::Deflate, {}});
    }
    return file.Bytes();
}

} // namespace scantest
