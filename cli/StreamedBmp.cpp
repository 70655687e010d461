// The streamed apply: header and colour table read and checked as the BMP
// reader does, buffers taken before the output is asked for, then the chunks
// shared out to the workers, each reading, converting and writing its own.
#include "cli/StreamedBmp.h"

#include "cli/Bmp24Header.h"
#include "cli/BmpChunkPlan.h"
#include "cli/StoredRowConverter.h"
#include "cli/Workers.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <optional>
#include <thread>
#include <vector>

namespace {

constexpr std::int32_t kIndexedBytes = 1;

struct Input {
    BmpLayout layout;
    std::vector<std::uint8_t> colourTable; // 8-bit files only
};

bool ReadExactly(const ByteSource& source, std::int64_t position, std::uint8_t* buffer,
                 std::int64_t size) {
    return source.ReadAt(position, buffer, static_cast<std::size_t>(size)) == size;
}

// The same checks, in the same order, as LoadBmp and the apply command: a
// refused header or colour table, then no pixels.
StreamedBmpResult ReadInput(const ByteSource& source, Input& input) {
    const std::int64_t length = source.Length();
    std::array<std::uint8_t, kBmpHeadBytes> head{};
    if (length < kBmpMinFileLength || !ReadExactly(source, 0, head.data(), kBmpHeadBytes)) {
        return StreamedBmpResult::NotBmp;
    }
    const std::optional<BmpLayout> layout = ParseBmpHeader(head, length);
    if (!layout) {
        return StreamedBmpResult::NotBmp;
    }
    if (layout->BytesPerPixel == kIndexedBytes) {
        input.colourTable.resize(kBmpColourTableBytes);
        if (!ReadExactly(source, kBmpColourTableOffset, input.colourTable.data(),
                         kBmpColourTableBytes)) {
            return StreamedBmpResult::NotBmp;
        }
    }
    if (!layout->HasRows()) {
        return StreamedBmpResult::NoPixels;
    }
    input.layout = *layout;
    return StreamedBmpResult::Ok;
}

// One worker's buffers: the stored rows of a chunk as read, and as written.
struct ChunkBuffers {
    std::unique_ptr<std::uint8_t[]> read;
    std::unique_ptr<std::uint8_t[]> write;
};

// Uninitialised: each buffer's pages are first touched by the read or the
// conversion that fills it.
std::optional<std::vector<ChunkBuffers>> AllocateBuffers(const BmpChunkPlan& plan, int workers) {
    std::vector<ChunkBuffers> buffers(static_cast<std::size_t>(workers));
    for (ChunkBuffers& b : buffers) {
        b.read.reset(new (std::nothrow) std::uint8_t[std::size_t(plan.ReadBufferBytes())]);
        b.write.reset(new (std::nothrow) std::uint8_t[std::size_t(plan.WriteBufferBytes())]);
        if (!b.read || !b.write) {
            return std::nullopt;
        }
    }
    return buffers;
}

// The chunks, claimed one at a time by whichever worker is free; the first
// failure stops every worker before its next chunk.
class ChunkJob {
public:
    ChunkJob(const ByteSource& source, const BmpLayout& layout, const BmpChunkPlan& plan,
             const StoredRowConverter& converter)
        : source_(source), layout_(layout), plan_(plan), converter_(converter) {}

    bool Run(ChunkSink& sink, std::vector<ChunkBuffers>& buffers) {
        RunWorkers(static_cast<int>(buffers.size()), [&](int worker) {
            while (!failed_) {
                const std::int64_t index = next_++;
                if (index >= plan_.Count()) {
                    return;
                }
                const BmpChunk chunk = plan_.At(static_cast<std::int32_t>(index));
                if (!DoChunk(chunk, sink, buffers[std::size_t(worker)])) {
                    failed_ = true;
                }
            }
        });
        return !failed_;
    }

    bool ReadFailed() const { return readFailed_; }

private:
    bool DoChunk(const BmpChunk& chunk, ChunkSink& sink, ChunkBuffers& buffers) {
        if (!ReadExactly(source_, chunk.readAt, buffers.read.get(), chunk.readBytes)) {
            readFailed_ = true;
            return false;
        }
        const std::int64_t stride = layout_.Stride;
        RowBlock block;
        block.in = buffers.read.get() + (chunk.reversed ? (chunk.rows - 1) * stride : 0);
        block.inStride = chunk.reversed ? -stride : stride;
        block.out = buffers.write.get();
        block.outStride = plan_.OutputStride();
        block.rows = chunk.rows;
        converter_.Convert(block);
        return sink.WriteAt(chunk.writeAt,
                            {buffers.write.get(), static_cast<std::size_t>(chunk.writeBytes)});
    }

    const ByteSource& source_;
    const BmpLayout& layout_;
    const BmpChunkPlan& plan_;
    const StoredRowConverter& converter_;
    std::atomic<std::int64_t> next_{0}; // wide enough to pass the count once per worker
    std::atomic<bool> failed_{false};
    std::atomic<bool> readFailed_{false};
};

int WorkerCount(const StreamOptions& options, const BmpChunkPlan& plan) {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return std::clamp(std::min(options.workers, cores), 1, plan.Count());
}

StreamedBmpResult ResultOf(WriteResult written, const ChunkJob& job) {
    switch (written) {
    case WriteResult::Ok:
        return StreamedBmpResult::Ok;
    case WriteResult::CannotOpen:
        return StreamedBmpResult::CannotOpenOutput;
    case WriteResult::WriteFailed:
        break;
    }
    return job.ReadFailed() ? StreamedBmpResult::ReadFailed : StreamedBmpResult::WriteFailed;
}

} // namespace

StreamedBmpResult StreamBmp(const ByteSource& source, StreamOutput& output,
                            const std::array<GammaTable, 3>& tables, const StreamOptions& options) {
    Input input;
    if (const StreamedBmpResult read = ReadInput(source, input); read != StreamedBmpResult::Ok) {
        return read;
    }
    const std::optional<Bmp24Layout> layout = LayoutBmp24(input.layout.Width, input.layout.Height);
    if (!layout) {
        return StreamedBmpResult::TooLargeForBmp;
    }
    const BmpChunkPlan plan(input.layout, *layout, options.chunkBytes);
    std::optional<std::vector<ChunkBuffers>> buffers =
        AllocateBuffers(plan, WorkerCount(options, plan));
    if (!buffers) {
        return StreamedBmpResult::NoMemory;
    }
    StoredRowConverter converter(input.layout, tables, input.colourTable);
    converter.UseWideMapping(options.wideMapping);
    ChunkJob job(source, input.layout, plan, converter);
    const BmpHeaderBytes header = FormatBmp24Header(*layout);
    const WriteResult written = output.Write(layout->fileSize, [&](ChunkSink& sink) {
        return sink.WriteAt(0, header) && job.Run(sink, *buffers);
    });
    return ResultOf(written, job);
}
