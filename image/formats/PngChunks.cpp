// IHDR: width, height (4 bytes each, big-endian), bit depth, colour type 2
// (RGB) or 0 (grey), compression 0, filter 0, interlace 0. iCCP: a name of 1..79 Latin-1
// characters, a zero, compression 0, the profile as a zlib stream. pHYs: x
// and y pixels per metre, unit 1 (metre). tEXt: keyword, a zero, the text.
#include "image/formats/PngChunks.h"

#include <libdeflate.h>
#include <zlib.h>

namespace {

constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kColourTypeGrey = 0;
constexpr std::uint8_t kColourTypeRgb = 2;
constexpr std::uint8_t kDeflateMethod = 0;
constexpr std::uint8_t kUnitMetre = 1;
constexpr std::string_view kProfileName = "ICC profile";
constexpr std::string_view kSoftwareKeyword = "Software";

void PutText(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

std::vector<std::uint8_t> Header(const RowShape& shape) {
    std::vector<std::uint8_t> data;
    AppendBigEndian32(data, static_cast<std::uint32_t>(shape.Width));
    AppendBigEndian32(data, static_cast<std::uint32_t>(shape.Height));
    data.push_back(static_cast<std::uint8_t>(shape.Bits));
    data.push_back(shape.Grey() ? kColourTypeGrey : kColourTypeRgb);
    data.insert(data.end(), {kDeflateMethod, 0, 0}); // deflate, adaptive filters, no interlace
    return data;
}

bool AppendProfile(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> profile) {
    std::vector<std::uint8_t> data;
    PutText(data, kProfileName);
    data.insert(data.end(), {0, kDeflateMethod});
    uLongf size = compressBound(static_cast<uLong>(profile.size()));
    const std::size_t at = data.size();
    data.resize(at + size);
    if (compress2(data.data() + at, &size, profile.data(), static_cast<uLong>(profile.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return false;
    }
    data.resize(at + size);
    AppendChunk(out, "iCCP", data);
    return true;
}

} // namespace

void AppendBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

std::uint32_t ReadBigEndian32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
           std::uint32_t{bytes[2]} << 8 | std::uint32_t{bytes[3]};
}

std::size_t BeginChunk(std::vector<std::uint8_t>& out, std::string_view type) {
    const std::size_t start = out.size();
    out.resize(start + kChunkLengthBytes);
    PutText(out, type);
    return start;
}

void EndChunk(std::vector<std::uint8_t>& out, std::size_t start) {
    const std::size_t typeAt = start + kChunkLengthBytes;
    auto length = static_cast<std::uint32_t>(out.size() - typeAt - kChunkTypeBytes);
    for (std::size_t i = kChunkLengthBytes; i-- > 0; length >>= 8) {
        out[start + i] = static_cast<std::uint8_t>(length);
    }
    AppendBigEndian32(out, libdeflate_crc32(0, out.data() + typeAt, out.size() - typeAt));
}

void AppendChunk(std::vector<std::uint8_t>& out, std::string_view type,
                 std::span<const std::uint8_t> data) {
    const std::size_t start = BeginChunk(out, type);
    out.insert(out.end(), data.begin(), data.end());
    EndChunk(out, start);
}

bool PngHead(const RowShape& shape, const ImageMeta& meta, std::vector<std::uint8_t>& out) {
    out.assign(std::begin(kSignature), std::end(kSignature));
    AppendChunk(out, "IHDR", Header(shape));
    if (!meta.profile.empty() && !AppendProfile(out, meta.profile)) {
        return false;
    }
    if (meta.resolution) {
        std::vector<std::uint8_t> data;
        AppendBigEndian32(data, PixelsPerMetre(meta.resolution->x));
        AppendBigEndian32(data, PixelsPerMetre(meta.resolution->y));
        data.push_back(kUnitMetre);
        AppendChunk(out, "pHYs", data);
    }
    std::vector<std::uint8_t> text;
    PutText(text, kSoftwareKeyword);
    text.push_back(0);
    PutText(text, SoftwareName());
    AppendChunk(out, "tEXt", text);
    return true;
}
