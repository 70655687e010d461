// The streamed apply: header and colour table read and checked as the BMP
// reader does, buffers taken before the output is touched, then the chunks
// shared out to the workers, each reading, converting and writing its own.
#include "cli/StreamedBmp.h"

#include "cli/BmpChunkPlan.h"
#include "cli/StoredRowConverter.h"
#include "cli/Workers.h"
#include "io/AtomicWrite.h"
#include "io/File.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <optional>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::int32_t kIndexedBytes = 1;

struct Input {
    File file;
    BmpLayout layout;
    std::vector<std::uint8_t> colourTable; // 8-bit files only
};

bool ReadExactly(const File& file, std::int64_t position, std::uint8_t* buffer, std::int64_t size) {
    return file.ReadAt(position, buffer, static_cast<std::size_t>(size)) == size;
}

// The same checks, in the same order, as LoadBmpFile and the apply command:
// a file that will not open, a refused header or colour table, no pixels.
StreamedBmpResult OpenInput(const fs::path& path, std::optional<Input>& input) {
    std::error_code error;
    std::optional<File> file = File::OpenForReading(path, error);
    if (!file) {
        return StreamedBmpResult::CannotOpenInput;
    }
    const std::int64_t length = file->Length();
    std::array<std::uint8_t, kBmpHeadBytes> head{};
    if (length < kBmpMinFileLength || !ReadExactly(*file, 0, head.data(), kBmpHeadBytes)) {
        return StreamedBmpResult::NotBmp;
    }
    const std::optional<BmpLayout> layout = ParseBmpHeader(head, length);
    if (!layout) {
        return StreamedBmpResult::NotBmp;
    }
    std::vector<std::uint8_t> colourTable;
    if (layout->BytesPerPixel == kIndexedBytes) {
        colourTable.resize(kBmpColourTableBytes);
        if (!ReadExactly(*file, kBmpColourTableOffset, colourTable.data(), kBmpColourTableBytes)) {
            return StreamedBmpResult::NotBmp;
        }
    }
    if (!layout->HasRows()) {
        return StreamedBmpResult::NoPixels;
    }
    input = Input{std::move(*file), *layout, std::move(colourTable)};
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
    ChunkJob(const Input& input, const BmpChunkPlan& plan, const StoredRowConverter& converter)
        : input_(input), plan_(plan), converter_(converter) {}

    bool Run(PositionedWriter& writer, std::vector<ChunkBuffers>& buffers) {
        RunWorkers(static_cast<int>(buffers.size()), [&](int worker) {
            while (!failed_) {
                const std::int64_t index = next_++;
                if (index >= plan_.Count()) {
                    return;
                }
                const BmpChunk chunk = plan_.At(static_cast<std::int32_t>(index));
                if (!DoChunk(chunk, writer, buffers[std::size_t(worker)])) {
                    failed_ = true;
                }
            }
        });
        return !failed_;
    }

    bool ReadFailed() const { return readFailed_; }

private:
    bool DoChunk(const BmpChunk& chunk, PositionedWriter& writer, ChunkBuffers& buffers) {
        if (!ReadExactly(input_.file, chunk.readAt, buffers.read.get(), chunk.readBytes)) {
            readFailed_ = true;
            return false;
        }
        const std::int64_t stride = input_.layout.Stride;
        RowBlock block;
        block.in = buffers.read.get() + (chunk.reversed ? (chunk.rows - 1) * stride : 0);
        block.inStride = chunk.reversed ? -stride : stride;
        block.out = buffers.write.get();
        block.outStride = plan_.OutputStride();
        block.rows = chunk.rows;
        converter_.Convert(block);
        return writer.WriteAt(chunk.writeAt,
                              {buffers.write.get(), static_cast<std::size_t>(chunk.writeBytes)});
    }

    const Input& input_;
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

StreamedBmpResult WriteStreamedBmp(const fs::path& inputPath, const fs::path& outputPath,
                                   const std::array<GammaTable, 3>& tables,
                                   const StreamOptions& options) {
    std::optional<Input> input;
    if (const StreamedBmpResult opened = OpenInput(inputPath, input);
        opened != StreamedBmpResult::Ok) {
        return opened;
    }
    const std::optional<Bmp24Layout> output =
        LayoutBmp24(input->layout.Width, input->layout.Height);
    if (!output) {
        return StreamedBmpResult::TooLargeForBmp;
    }
    const BmpChunkPlan plan(input->layout, *output, options.chunkBytes);
    std::optional<std::vector<ChunkBuffers>> buffers =
        AllocateBuffers(plan, WorkerCount(options, plan));
    if (!buffers) {
        return StreamedBmpResult::NoMemory;
    }
    StoredRowConverter converter(input->layout, tables, input->colourTable);
    converter.UseWideMapping(options.wideMapping);
    ChunkJob job(*input, plan, converter);
    const BmpHeaderBytes header = FormatBmp24Header(*output);
    const WriteResult written = WriteFileAtomically(outputPath, [&](PositionedWriter& writer) {
        return writer.WriteAt(0, header) && job.Run(writer, *buffers);
    });
    return ResultOf(written, job);
}
