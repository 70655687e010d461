// libFuzzer target: any bytes as a BMP file a user opens, through the reader
// and on to the preview, its readout and panning. The reader must agree with
// a plain decoder, leave the caller's buffer untouched when it refuses, fail
// cleanly when its source gives out part-way, and never allocate for rows the
// file cannot hold.
#include "fuzz/FuzzCheck.h"
#include "fuzz/PlainBmpDecoder.h"
#include "image/formats/BmpReader.h"
#include "image/preview/PreviewState.h"
#include "tests/image/GivingOutSource.h"

#include <array>
#include <cstring>

namespace {

using bmptest::GivingOutSource;

// Stands for whatever the caller held before the call: never read, never freed.
const ImageBuffer kHeld{true, 7, 9, reinterpret_cast<std::uint8_t*>(0x1234)};

bool IsHeld(const ImageBuffer& b) {
    return b.TopDown == kHeld.TopDown && b.Width == kHeld.Width && b.Height == kHeld.Height &&
           b.Pixels == kHeld.Pixels;
}

std::size_t ByteCount(const ImageBuffer& b) {
    return static_cast<std::size_t>(b.Width) * static_cast<std::size_t>(b.Height) *
           kImageBytesPerPixel;
}

bool Equals(const ImageBuffer& image, const PlainImage& plain) {
    return image.TopDown == plain.topDown && image.Width == plain.width &&
           image.Height == plain.height && ByteCount(image) == plain.pixels.size() &&
           (plain.pixels.empty() ||
            std::memcmp(image.Pixels, plain.pixels.data(), plain.pixels.size()) == 0);
}

// A failure at any one of the reads a good load makes must fail the load and
// leave the caller's buffer as it was; which read is chosen by the bytes.
void CheckFailingPartWay(std::span<const std::uint8_t> bytes) {
    GivingOutSource counting(bytes, INT64_MAX, false);
    ImageBuffer image{};
    FUZZ_CHECK(LoadBmp(&image, counting) == kBmpLoaded);
    std::free(image.Pixels);
    std::uint32_t hash = 2166136261u;
    for (const std::uint8_t b : bytes) {
        hash = (hash ^ b) * 16777619u;
    }
    const std::int64_t failAt = 1 + static_cast<std::int64_t>(hash % counting.Calls());
    GivingOutSource failing(bytes, failAt, (hash >> 16 & 1) != 0);
    ImageBuffer held = kHeld;
    FUZZ_CHECK(LoadBmp(&held, failing) == kBmpFailed);
    FUZZ_CHECK(IsHeld(held));
}

GammaTableSet IdentityTables() {
    GammaTableSet tables{};
    for (GammaTable& table : tables) {
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i] = static_cast<std::int16_t>(i);
        }
    }
    return tables;
}

// Through identity tables the preview shows the image's own colours, upright.
void CheckPreview(const PreviewState& state, const ImageBuffer& image) {
    const PreviewImage& preview = *state.PreviewBitmap;
    FUZZ_CHECK(preview.Width() == image.Width && preview.Height() == image.Height);
    if (image.Width == 0) {
        return; // no pixel in any of its rows, however many
    }
    for (std::int32_t y = 0; y < image.Height; ++y) {
        const std::int32_t k = image.TopDown ? image.Height - 1 - y : y;
        const std::uint8_t* in = image.Pixels + std::int64_t{k} * image.Width * 4;
        for (std::int32_t x = 0; x < image.Width; ++x) {
            const std::uint8_t* p = in + std::int64_t{x} * 4;
            const std::uint32_t expected = 0xFF000000u | p[0] << 16 | p[1] << 8 | p[2];
            FUZZ_CHECK(preview.At(x, y) == expected);
        }
    }
}

// Readings across the area and beyond it, before and after far pans: only
// pixels of the preview are ever read.
void ProbeReadout(PreviewState& state) {
    // Far beyond any drag a screen allows, and beyond any preview made here.
    constexpr std::int32_t kFar = 1 << 24;
    for (const Point pan : {Point{0, 0}, Point{-kFar, -kFar}, Point{kFar, kFar}}) {
        PanStep(state, pan.x, pan.y);
        for (std::int32_t y = -1; y <= state.ImageAreaHeight; y += 7) {
            for (std::int32_t x = -1; x <= state.ImageAreaWidth; x += 5) {
                if (const auto colour = PreviewColourAt(state, {x, y})) {
                    FUZZ_CHECK(*colour >> 24 == 0xFF);
                }
            }
        }
    }
}

// The image goes where a loaded file goes in the program: into the preview,
// which takes its pixels over.
void ShowAndRead(const ImageBuffer& image) {
    PreviewState state;
    state.ImageAreaWidth = 48;
    state.ImageAreaHeight = 36;
    FUZZ_CHECK(ShowLoadedImage(state,
                               KeptImage::OfLevels(image, MallocPtr<std::uint8_t>(image.Pixels)),
                               IdentityTables()));
    CheckPreview(state, image);
    ProbeReadout(state);
    ReleasePreviewState(state);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    ImageBuffer image = kHeld;
    const int result = LoadBmpBytes(&image, bytes);
    const std::optional<PlainImage> plain = DecodePlainBmp(bytes);
    FUZZ_CHECK(result == (plain ? kBmpLoaded : kBmpFailed));
    if (result != kBmpLoaded) {
        FUZZ_CHECK(IsHeld(image));
        return 0;
    }
    FUZZ_CHECK(Equals(image, *plain));
    // Every pixel of a loaded image was stored in the file, in a byte at least.
    FUZZ_CHECK(ByteCount(image) <= size * kImageBytesPerPixel);
    ShowAndRead(image);
    CheckFailingPartWay(bytes);
    return 0;
}
