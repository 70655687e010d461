// Whether an image's memory can be had now: compressed files cannot be
// checked against their length, and a sparse BMP passes that check, so a
// claimed size is held against the memory the system has available.
#pragma once

#include "io/Reason.h"

#include <cstdint>

// MemAvailable of /proc/meminfo in bytes; -1 when it cannot be read.
std::int64_t AvailableMemoryBytes();

// TooLarge (Value = bytes) when `bytes` exceed the memory available now;
// None when they fit or the amount is unknown.
Reason CheckMemoryFor(std::int64_t bytes);

// The window's bytes for an image: the picture it keeps, `keptBytesPerPixel`
// (4 for R, G, B, 255 levels; 2 or 6 for a 16-bit scan's grey or colour
// samples), and the preview, 4 bytes per pixel; held at the largest value
// past 2^63.
std::int64_t WindowImageBytes(std::int32_t width, std::int32_t height,
                              std::int32_t keptBytesPerPixel = 4);
