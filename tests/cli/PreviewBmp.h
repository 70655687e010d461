// The file the streamed apply must write for an input, made the long way: the
// reader's image, rendered by RenderPreview, written as a 24-bit bottom-up BMP
// by the tests' own plain encoder. For the tests and the fuzzer.
#pragma once

#include "cli/StreamedBmp.h"
#include "image/BmpReader.h"
#include "image/RenderPreview.h"
#include "tests/image/BmpWriter.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace clitest {

inline constexpr std::uint32_t kColourMask = 0x00FFFFFF;

// Every field as the tool writes it: image size filled in, resolution and
// colour counts 0, padding bytes 0.
inline std::vector<std::uint8_t> EncodePreviewBmp(const PreviewImage& preview) {
    bmptest::Picture picture{preview.Width(), preview.Height(), {}};
    for (std::int32_t y = 0; y < preview.Height(); ++y) {
        for (std::int32_t x = 0; x < preview.Width(); ++x) {
            picture.pixels.push_back(preview.At(x, y) & kColourMask);
        }
    }
    const std::size_t imageBytes =
        bmptest::StrideOf(preview.Width(), 24) * static_cast<std::size_t>(preview.Height());
    return bmptest::With(bmptest::EncodeBmp(picture), bmptest::kImageSizeField,
                         static_cast<std::uint32_t>(imageBytes));
}

struct ExpectedApply {
    StreamedBmpResult result = StreamedBmpResult::Ok;
    std::vector<std::uint8_t> bytes; // the output, when the result is Ok
};

// What the streamed apply must give for `bmp`: NotBmp where the reader
// refuses it; the tool's own refusals of an image without pixels and of an
// output past the format's 4 GiB; else Ok and the preview's file.
inline ExpectedApply ExpectedStreamedApply(std::span<const std::uint8_t> bmp,
                                           const std::array<GammaTable, 3>& tables) {
    ImageBuffer image{};
    if (LoadBmpBytes(&image, bmp) != kBmpLoaded) {
        return {StreamedBmpResult::NotBmp, {}};
    }
    const std::uint64_t outputBytes =
        bmptest::kHeadBytes + bmptest::StrideOf(image.Width, 24) * std::uint64_t(image.Height);
    ExpectedApply expected;
    if (image.Width == 0 || image.Height == 0) {
        expected.result = StreamedBmpResult::NoPixels;
    } else if (outputBytes > std::numeric_limits<std::uint32_t>::max()) {
        expected.result = StreamedBmpResult::TooLargeForBmp;
    } else if (const std::optional<PreviewImage> preview = BuildPreview(image, tables)) {
        expected.bytes = EncodePreviewBmp(*preview);
    } else {
        expected.result = StreamedBmpResult::NoMemory;
    }
    std::free(image.Pixels);
    return expected;
}

} // namespace clitest
