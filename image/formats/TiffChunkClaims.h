// Whether the strips or tiles a TIFF lists can hold the image its header
// claims, asked before any buffer is sized from that claim: a chunk's bytes
// in the file, times the most its codec can expand them, must reach the
// bytes the chunk decodes to.
#pragma once

#include "io/Reason.h"

#include <tiffio.h>

#include <cstdint>

// The most bytes one stored byte can decode to under `compression`; 0 for a
// codec the readers do not take.
std::int64_t MostBytesPerStoredByte(std::uint16_t compression);

// None when every chunk of the first `planes` sample planes (all chunks of a
// chunky image) could decode to its full size from the bytes the file holds
// for it. Otherwise Truncated when the short chunk runs past the file's end,
// DamagedData naming the chunk and both sizes when it lies inside.
Reason CheckChunkClaims(TIFF* tif, std::int32_t planes, std::int64_t fileLength);
