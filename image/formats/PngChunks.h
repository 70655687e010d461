// PNG's framing: the signature and chunks (length, type, data, CRC-32 of
// type and data), and the chunks written before the image data.
#pragma once

#include "image/ImageMeta.h"
#include "image/formats/RowWriter.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// A chunk's frame: its length and its type before the data, a CRC-32 after.
inline constexpr std::size_t kChunkLengthBytes = 4;
inline constexpr std::size_t kChunkTypeBytes = 4;
inline constexpr std::size_t kChunkHeadBytes = kChunkLengthBytes + kChunkTypeBytes;
inline constexpr std::size_t kChunkCrcBytes = 4;
// The types of the image data and of the end, as they stand in a chunk's head.
inline constexpr std::uint8_t kImageDataType[kChunkTypeBytes] = {'I', 'D', 'A', 'T'};
inline constexpr std::uint8_t kEndType[kChunkTypeBytes] = {'I', 'E', 'N', 'D'};

// Appends the length (left to EndChunk) and `type`, four letters, of a chunk
// whose data will follow; returns where the chunk starts.
std::size_t BeginChunk(std::vector<std::uint8_t>& out, std::string_view type);

// Fills in the length of the chunk begun at `start`, its data being all that
// follows its type, and appends the CRC-32 of type and data.
void EndChunk(std::vector<std::uint8_t>& out, std::size_t start);

// PNG's integers: four bytes, the most significant first.
void AppendBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value);
std::uint32_t ReadBigEndian32(const std::uint8_t* bytes);

// One chunk, framed, appended to `out`.
void AppendChunk(std::vector<std::uint8_t>& out, std::string_view type,
                 std::span<const std::uint8_t> data);

// The signature, IHDR (RGB or grey, no interlace), then iCCP, pHYs and the Software
// tEXt as `meta` has them. False when the profile cannot be compressed.
bool PngHead(const RowShape& shape, const ImageMeta& meta, std::vector<std::uint8_t>& out);
