// The image data of a PNG file inflated as it is read: the zlib stream held
// by the consecutive IDAT chunks from a given one on, each chunk's CRC-32
// checked as its end is reached. ISA-L inflates it, about three times as
// fast as zlib.
#pragma once

#include "image/rows/ByteSource.h"
#include "io/Reason.h"

#include <cstdint>
#include <memory>
#include <vector>

struct inflate_state;

class PngImageData {
public:
    // `firstChunk` is where the first IDAT chunk starts (its length field).
    // `source` must outlive this.
    PngImageData(const ByteSource& source, std::int64_t firstChunk);
    ~PngImageData();
    PngImageData(const PngImageData&) = delete;
    PngImageData& operator=(const PngImageData&) = delete;

    // The next `size` inflated bytes into `out`: Truncated or ReadFailed as
    // reading the file fails, DamagedData (with what is wrong) for a bad CRC,
    // a bad zlib stream or one that ends, or whose image data ends, first.
    // After a failure every call fails the same way.
    Reason Read(std::uint8_t* out, std::size_t size);

private:
    Reason Inflate(std::uint8_t* out, std::size_t size);
    Reason NextInput();
    Reason NextChunk();
    Reason CheckCrc();

    const ByteSource& source_;
    std::int64_t position_;       // of the next unread byte in the file
    std::uint32_t chunkLeft_ = 0; // data bytes of the current chunk not read yet
    std::uint32_t chunkCrc_ = 0;  // over the current chunk's type and data read so far
    bool dataEnded_ = false;      // a chunk other than IDAT came next
    std::vector<std::uint8_t> input_;
    std::unique_ptr<inflate_state> inflater_;
    Reason failed_;
};
