// Reads uncompressed BMP files (40-byte info header; 8, 24 or 32 bits per
// pixel; bottom-up or top-down) into an ImageBuffer.
#pragma once

#include "image/ByteSource.h"
#include "image/ImageBuffer.h"

#include <cstdint>
#include <filesystem>
#include <span>

inline constexpr int kBmpLoaded = 0;
inline constexpr int kBmpFailed = -1;

// 0 on success: `image` then owns a new malloc'd pixel array (what it held
// before is neither read nor freed). -1 on any failure, with `image`
// untouched and nothing left allocated. A null `image` is a failure.
int LoadBmp(ImageBuffer* image, const ByteSource& source);

// The same decoding over bytes already in memory.
int LoadBmpBytes(ImageBuffer* image, std::span<const std::uint8_t> bytes);

// Opens the file for reading under a shared lock (a file that a writer holds
// cannot be opened) and reads its rows straight into the pixel array.
int LoadBmpFile(ImageBuffer* image, const std::filesystem::path& path);
