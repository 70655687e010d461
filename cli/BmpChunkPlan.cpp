// The output is bottom-up: its stored row j is input stored row j of a
// bottom-up file and input stored row Height-1-j of a top-down one, so every
// chunk of output rows comes from one contiguous run of input rows.
#include "cli/BmpChunkPlan.h"

#include <algorithm>

BmpChunkPlan::BmpChunkPlan(const BmpLayout& input, const Bmp24Layout& output,
                           std::int64_t chunkBytes)
    : input_(input), output_(output) {
    const std::int64_t rowBytes = std::max<std::int64_t>({input.Stride, output.stride, 1});
    const std::int64_t rows = std::clamp<std::int64_t>(chunkBytes / rowBytes, 1, input.Height);
    rowsPerChunk_ = static_cast<std::int32_t>(rows);
    count_ = static_cast<std::int32_t>((input.Height + rows - 1) / rows);
}

BmpChunk BmpChunkPlan::At(std::int32_t index) const {
    const std::int32_t firstOutputRow = index * rowsPerChunk_;
    BmpChunk chunk;
    chunk.rows = std::min(rowsPerChunk_, input_.Height - firstOutputRow);
    chunk.reversed = input_.TopDown;
    const std::int32_t firstStoredRow =
        input_.TopDown ? input_.Height - firstOutputRow - chunk.rows : firstOutputRow;
    chunk.readAt = input_.RowPosition(firstStoredRow);
    // The last stored row's padding may lie past the end of the file.
    chunk.readBytes = std::int64_t{chunk.rows - 1} * input_.Stride + input_.RowBytes;
    chunk.writeAt =
        static_cast<std::int64_t>(kBmpHeaderBytes) + std::int64_t{firstOutputRow} * output_.stride;
    chunk.writeBytes = std::int64_t{chunk.rows} * output_.stride;
    return chunk;
}

std::int64_t BmpChunkPlan::ReadBufferBytes() const {
    return std::int64_t{rowsPerChunk_ - 1} * input_.Stride + input_.RowBytes;
}

std::int64_t BmpChunkPlan::WriteBufferBytes() const {
    return std::int64_t{rowsPerChunk_} * output_.stride;
}
