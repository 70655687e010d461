// Run sizes, per-worker buffers and the fetch-then-step loop.
#include "image/rows/Pipeline.h"

#include <algorithm>
#include <mutex>
#include <new>

namespace {

std::unique_ptr<std::uint8_t[]> Uninitialised(std::int64_t bytes) {
    if (bytes <= 0) {
        return nullptr;
    }
    // The pages are first touched by the read or the kernel that fills them.
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[std::size_t(bytes)]);
}

} // namespace

Outcome<RowRuns> RowRuns::Plan(const RowSource& source, std::int64_t outRowBytes,
                               const PipelineOptions& options) {
    const RowLayout& layout = source.Layout();
    const bool split = std::int64_t{layout.Width} * layout.Height >= options.MinPixelsToSplit;
    const int workers = split && !source.Sequential() ? std::max(options.Workers, 1) : 1;
    std::int64_t rows = (std::int64_t{layout.Height} + workers - 1) / workers;
    if (outRowBytes > 0 || source.ScratchBytes(1) > 0) {
        const std::int64_t rowBytes = std::max<std::int64_t>({layout.Stride, outRowBytes, 1});
        rows = std::clamp<std::int64_t>(options.RunBytes / rowBytes, 1, layout.Height);
    }
    if (options.RowsPerRun > 0) {
        rows = std::min(options.RowsPerRun, layout.Height);
    }
    const auto rowsPerRun = static_cast<std::int32_t>(rows);
    const std::int64_t runs = (layout.Height + rows - 1) / rows;
    std::vector<Buffers> buffers(static_cast<std::size_t>(std::min<std::int64_t>(workers, runs)));
    for (Buffers& b : buffers) {
        const std::int64_t scratch = options.ReadInto ? 0 : source.ScratchBytes(rowsPerRun);
        b.scratch = Uninitialised(scratch);
        b.out = Uninitialised(outRowBytes * rowsPerRun);
        if ((scratch > 0 && !b.scratch) || (outRowBytes > 0 && !b.out)) {
            return Reason(ReasonCode::NoMemory, scratch + outRowBytes * rowsPerRun);
        }
    }
    return RowRuns(source, rowsPerRun, std::move(buffers), options.ReadInto);
}

Reason RowRuns::Run(const Step& step) const {
    std::mutex mutex;
    Reason failure;
    const auto fail = [&](Reason why) {
        const std::lock_guard lock(mutex);
        if (!failure) {
            failure = std::move(why);
        }
        return false;
    };
    const int workers = static_cast<int>(buffers_.size());
    ForRowChunks(source_->Layout().Height, rowsPerRun_, workers,
                 [&](int worker, std::int32_t begin, std::int32_t end) {
                     const Buffers& b = buffers_[static_cast<std::size_t>(worker)];
                     std::uint8_t* scratch = readInto_ ? readInto_(begin) : b.scratch.get();
                     FetchedRows fetched = source_->Rows(begin, end - begin, scratch);
                     if (fetched.Why) {
                         return fail(std::move(fetched.Why));
                     }
                     if (!step(begin, end - begin, fetched.First, b.out.get())) {
                         return fail(Reason(ReasonCode::WriteFailed));
                     }
                     return true;
                 });
    return failure;
}
