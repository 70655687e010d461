// A chunk is its data length (4 bytes, big-endian, at most 2^31 - 1), its
// type, its data and the CRC-32 of type and data. The image data is the
// data of consecutive IDAT chunks joined. What follows the last row (the
// rest of the stream and its Adler-32) is not asked for; ISA-L checks the
// Adler-32 only when it lies in the input already read, as at the end of a
// single chunk.
#include "image/formats/PngImageData.h"

#include "image/formats/PngChunks.h"

#include <isa-l/igzip_lib.h>
#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kInputBytes = std::size_t{1} << 18;   // read from the file at once
constexpr std::size_t kLargestPiece = std::size_t{1} << 30; // inflated in one call
constexpr std::uint32_t kLongestChunk = 0x7FFFFFFF;

Reason Damaged(const char* what) {
    return {ReasonCode::DamagedData, 0, std::string("IDAT: ") + what};
}

const char* InflateFailure(int status) {
    switch (status) {
    case ISAL_INVALID_BLOCK:
        return "invalid block";
    case ISAL_INVALID_SYMBOL:
        return "invalid code";
    case ISAL_INVALID_LOOKBACK:
        return "invalid distance too far back";
    case ISAL_INVALID_WRAPPER:
        return "incorrect header check";
    case ISAL_UNSUPPORTED_METHOD:
        return "unknown compression method";
    case ISAL_INCORRECT_CHECKSUM: // the header's check bits or the Adler-32
        return "incorrect header or data check";
    case ISAL_NEED_DICT:
        return "a preset dictionary is not allowed";
    default:
        return "inflate failed";
    }
}

} // namespace

PngImageData::PngImageData(const ByteSource& source, std::int64_t firstChunk)
    : source_(source), position_(firstChunk), input_(kInputBytes),
      inflater_(std::make_unique<inflate_state>()) {
    isal_inflate_init(inflater_.get());
    inflater_->crc_flag = ISAL_ZLIB; // reads and checks the zlib header
}

PngImageData::~PngImageData() = default;

// The next chunk's head: an IDAT's length and the start of its CRC, or the
// end of the image data.
Reason PngImageData::NextChunk() {
    std::uint8_t head[kChunkHeadBytes];
    if (Reason failed = ReadAll(source_, position_, head, kChunkHeadBytes)) {
        return failed;
    }
    if (std::memcmp(head + kChunkLengthBytes, kImageDataType, kChunkTypeBytes) != 0) {
        dataEnded_ = true;
        return {};
    }
    const std::uint32_t length = ReadBigEndian32(head);
    if (length > kLongestChunk) {
        return Damaged("chunk length out of range");
    }
    position_ += kChunkHeadBytes;
    chunkLeft_ = length;
    chunkCrc_ = libdeflate_crc32(0, head + kChunkLengthBytes, kChunkTypeBytes);
    return {};
}

Reason PngImageData::CheckCrc() {
    std::uint8_t stored[kChunkCrcBytes];
    if (Reason failed = ReadAll(source_, position_, stored, kChunkCrcBytes)) {
        return failed;
    }
    position_ += kChunkCrcBytes;
    return ReadBigEndian32(stored) == chunkCrc_ ? Reason() : Damaged("CRC error");
}

// Refills the input from the image data, checking each chunk's CRC once
// its last bytes are read and before they are inflated.
Reason PngImageData::NextInput() {
    while (chunkLeft_ == 0) {
        if (dataEnded_) {
            return {};
        }
        if (Reason failed = NextChunk()) {
            return failed;
        }
        if (!dataEnded_ && chunkLeft_ == 0) {
            if (Reason failed = CheckCrc()) {
                return failed; // an empty IDAT chunk
            }
        }
    }
    const std::size_t size = std::min<std::size_t>(chunkLeft_, input_.size());
    if (Reason failed = ReadAll(source_, position_, input_.data(), std::int64_t(size))) {
        return failed;
    }
    position_ += std::int64_t(size);
    chunkLeft_ -= std::uint32_t(size);
    chunkCrc_ = libdeflate_crc32(chunkCrc_, input_.data(), size);
    if (chunkLeft_ == 0) {
        if (Reason failed = CheckCrc()) {
            return failed;
        }
    }
    inflater_->next_in = input_.data();
    inflater_->avail_in = std::uint32_t(size);
    return {};
}

Reason PngImageData::Read(std::uint8_t* out, std::size_t size) {
    for (std::size_t done = 0; done < size && !failed_;) {
        const std::size_t piece = std::min(size - done, kLargestPiece);
        failed_ = Inflate(out + done, piece);
        done += piece;
    }
    return failed_;
}

Reason PngImageData::Inflate(std::uint8_t* out, std::size_t size) {
    inflate_state& s = *inflater_;
    s.next_out = out;
    s.avail_out = std::uint32_t(size);
    while (s.avail_out > 0) {
        if (s.avail_in == 0) {
            if (Reason failed = NextInput()) {
                return failed;
            }
        }
        const std::uint32_t inBefore = s.avail_in;
        const std::uint32_t outBefore = s.avail_out;
        const int status = isal_inflate(&s);
        if (status != ISAL_DECOMP_OK) {
            return Damaged(InflateFailure(status));
        }
        const bool stalled = s.avail_in == inBefore && s.avail_out == outBefore;
        if (s.avail_out > 0 && (s.block_state == ISAL_BLOCK_FINISH || (stalled && dataEnded_))) {
            return Damaged("not enough image data");
        }
        if (stalled && s.avail_in > 0) {
            return Damaged("inflate stalled");
        }
    }
    return {};
}
