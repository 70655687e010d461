// Splits the rows of a BMP-to-BMP conversion into chunks that are read,
// converted and written independently: where each chunk's stored rows lie in
// the input and where its output rows go.
#pragma once

#include "cli/Bmp24Header.h"
#include "image/BmpHeader.h"

#include <cstdint>

struct BmpChunk {
    std::int32_t rows = 0;
    std::int64_t readAt = 0;    // input position of the chunk's first stored row
    std::int64_t readBytes = 0; // through the last row's pixels, its padding left out
    std::int64_t writeAt = 0;   // output position of the chunk's first row
    std::int64_t writeBytes = 0;
    bool reversed = false; // the input rows come in the opposite order to the output's
};

class BmpChunkPlan {
public:
    // Chunks of about `chunkBytes` (at least one row each). `input` must have rows.
    BmpChunkPlan(const BmpLayout& input, const Bmp24Layout& output, std::int64_t chunkBytes);

    std::int32_t Count() const { return count_; }
    BmpChunk At(std::int32_t index) const;
    std::int64_t OutputStride() const { return output_.stride; }

    // The buffers one chunk needs, the largest chunk's.
    std::int64_t ReadBufferBytes() const;
    std::int64_t WriteBufferBytes() const;

private:
    BmpLayout input_;
    Bmp24Layout output_;
    std::int32_t rowsPerChunk_;
    std::int32_t count_;
};
