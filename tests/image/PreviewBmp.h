// The file the tool's BMP apply must write for an input, made the long way
// round: the window's decoded image, rendered by RenderPreview, written as a
// 24-bit bottom-up BMP by the tests' own plain encoder. For the tests and the
// fuzzer.
#pragma once

#include "image/ImageMeta.h"
#include "image/formats/BmpWriter.h"
#include "image/formats/BmpReader.h"
#include "image/preview/RenderPreview.h"
#include "tests/image/BmpWriter.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace bmptest {

inline constexpr std::uint32_t kColourMask = 0x00FFFFFF;

// Every field as the tool writes it for an input without a resolution: image
// size filled in, resolution and colour counts 0, padding bytes 0.
inline std::vector<std::uint8_t> EncodePreviewBmp(const PreviewImage& preview) {
    Picture picture{preview.Width(), preview.Height(), {}};
    for (std::int32_t y = 0; y < preview.Height(); ++y) {
        for (std::int32_t x = 0; x < preview.Width(); ++x) {
            picture.pixels.push_back(preview.At(x, y) & kColourMask);
        }
    }
    const std::size_t imageBytes =
        StrideOf(preview.Width(), 24) * static_cast<std::size_t>(preview.Height());
    return With(EncodeBmp(picture), kImageSizeField, static_cast<std::uint32_t>(imageBytes));
}

struct ExpectedApply {
    ReasonCode code = ReasonCode::None;
    std::vector<std::uint8_t> bytes; // the output, when there is no reason
};

// What the apply must give for `bmp`: the reader's refusal; the tool's own
// refusals of an image without pixels and of an output past the format's
// 4 GiB; else the preview's file.
inline ExpectedApply ExpectedApplyOf(std::span<const std::uint8_t> bmp,
                                     const GammaTableSet& tables) {
    const Outcome<DecodedImage> read = ReadBmp(MemorySource(bmp));
    if (!read) {
        return {read.Why().Code, {}};
    }
    const ImageBuffer& image = read->View();
    const std::uint64_t outputBytes =
        kHeadBytes + StrideOf(image.Width, 24) * std::uint64_t(image.Height);
    if (image.Width == 0 || image.Height == 0) {
        return {ReasonCode::Unsupported, {}};
    }
    if (outputBytes > std::numeric_limits<std::uint32_t>::max()) {
        return {ReasonCode::TooLarge, {}};
    }
    const std::optional<PreviewImage> preview = BuildPreview(image, tables);
    if (!preview) {
        return {ReasonCode::NoMemory, {}};
    }
    std::vector<std::uint8_t> bytes = EncodePreviewBmp(*preview);
    // The input's resolution is carried: both pels-per-metre fields or none,
    // through dots per inch as the reader and the writer take them. The
    // fields are signed; a negative one says nothing, as 0 does.
    const auto field = [&](std::size_t at) {
        const std::uint32_t bits = std::uint32_t(bmp[at]) | std::uint32_t(bmp[at + 1]) << 8 |
                                   std::uint32_t(bmp[at + 2]) << 16 |
                                   std::uint32_t(bmp[at + 3]) << 24;
        return static_cast<std::int32_t>(bits) < 0 ? 0u : bits;
    };
    if (const auto resolution =
            ResolutionOfPixelsPerMetre(field(kXPelsPerMetreField), field(kYPelsPerMetreField))) {
        PutU32(bytes, kXPelsPerMetreField, PixelsPerMetre(resolution->x));
        PutU32(bytes, kYPelsPerMetreField, PixelsPerMetre(resolution->y));
    }
    return {ReasonCode::None, std::move(bytes)};
}

} // namespace bmptest
