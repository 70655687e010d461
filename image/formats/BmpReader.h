// Reads uncompressed BMP files (40-byte info header; 8, 24 or 32 bits per
// pixel; bottom-up or top-down) into the image the window keeps: R, G, B, 255
// per pixel.
#pragma once

#include "image/Outcome.h"
#include "image/kernels/Histogram.h"
#include "image/rows/ByteSource.h"
#include "image/rows/ImageBuffer.h"
#include "image/rows/PixelMemory.h"

#include <cstdint>
#include <filesystem>
#include <span>

// A decoded image that owns its pixels; empty (no pixels, 0 x 0) by default.
class DecodedImage {
public:
    DecodedImage() = default;
    DecodedImage(const ImageBuffer& image, MallocPtr<std::uint8_t> pixels)
        : image_(image), pixels_(std::move(pixels)) {}

    // The image; its pixels stay owned here.
    const ImageBuffer& View() const { return image_; }
    // The image with its pixels handed over, to be released with free.
    ImageBuffer Release() && {
        pixels_.release();
        return image_;
    }

private:
    ImageBuffer image_{};
    MallocPtr<std::uint8_t> pixels_;
};

// The reason is that of BmpRows::Open, or NoMemory, or a failed row read's.
Outcome<DecodedImage> ReadBmp(const ByteSource& source);

// Opens the file for reading under a shared lock (a file that a writer holds
// cannot be opened: CannotOpen, Value = errno) and reads its rows straight
// into the pixel array.
Outcome<DecodedImage> ReadBmpFile(const std::filesystem::path& path);

inline constexpr int kBmpLoaded = 0;
inline constexpr int kBmpFailed = -1;

// 0 on success: `image` then owns a new malloc'd pixel array (what it held
// before is neither read nor freed). -1 on any failure, with `image`
// untouched and nothing left allocated. A null `image` is a failure.
int LoadBmp(ImageBuffer* image, const ByteSource& source);

// The same decoding over bytes already in memory.
int LoadBmpBytes(ImageBuffer* image, std::span<const std::uint8_t> bytes);

// ReadBmpFile with the window's result: 0 or -1, and the reason in `why` when
// it is given. A null `image` fails without opening anything.
int LoadBmpFile(ImageBuffer* image, const std::filesystem::path& path, Reason* why = nullptr);
