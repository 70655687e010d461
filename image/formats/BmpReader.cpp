// BMP decoding over any byte source: header and colour table as BmpRows reads
// them, then every stored row read in one call straight into its place in the
// pixel array and widened there.
#include "image/formats/BmpReader.h"

#include "image/formats/BmpPixels.h"
#include "image/formats/BmpRows.h"
#include "image/rows/MemoryAvailable.h"
#include "image/rows/ParallelRows.h"
#include "io/File.h"

#include <mutex>
#include <system_error>

namespace {

// Stored row k (0 = first in the file) lands in array row Height-1-k, so the
// array starts with the last stored row.
Reason ReadRows(const BmpRows& rows, std::uint8_t* pixels) {
    const BmpLayout& layout = rows.Bmp();
    const BmpPalette palette = PackColours(rows.Colours());
    const std::int64_t outRowBytes = std::int64_t{layout.Width} * kImageBytesPerPixel;
    const std::int64_t storedAt = StoredRowOffset(layout.Width, layout.BytesPerPixel);
    std::mutex mutex;
    Reason failure;
    ForRowRanges(layout.Height, layout.Width, [&](std::int32_t begin, std::int32_t end) {
        for (std::int32_t k = begin; k < end; ++k) {
            std::uint8_t* row = pixels + (layout.Height - 1 - k) * outRowBytes;
            FetchedRows fetched = rows.Rows(k, 1, row + storedAt);
            if (fetched.Why) {
                const std::lock_guard lock(mutex);
                failure = std::move(fetched.Why);
                return false;
            }
            ExpandRowInPlace(row, layout.Width, layout.BytesPerPixel, palette);
        }
        return true;
    });
    return failure;
}

} // namespace

Outcome<DecodedImage> ReadBmp(const ByteSource& source) {
    const Outcome<BmpRows> rows = BmpRows::Open(source);
    if (!rows) {
        return rows.Why();
    }
    const BmpLayout& layout = rows->Bmp();
    if (Reason tooLarge = CheckMemoryFor(WindowImageBytes(layout.Width, layout.Height))) {
        return tooLarge;
    }
    const std::uint64_t count = std::uint64_t(layout.Width) * std::uint64_t(layout.Height);
    auto pixels = AllocatePixelBlock(count, kImageBytesPerPixel);
    if (!pixels) {
        return Reason(ReasonCode::NoMemory, static_cast<std::int64_t>(count * kImageBytesPerPixel));
    }
    if (layout.HasRows()) {
        if (Reason failed = ReadRows(*rows, pixels->get())) {
            return failed;
        }
    }
    std::uint8_t* const start = pixels->get();
    return DecodedImage({layout.TopDown, layout.Width, layout.Height, start}, std::move(*pixels));
}

Outcome<DecodedImage> ReadBmpFile(const std::filesystem::path& path) {
    std::error_code error;
    const std::optional<File> file = File::OpenForReading(path, error);
    if (!file) {
        return Reason(ReasonCode::CannotOpen, error.value());
    }
    return ReadBmp(FileSource(*file)); // the file closes on every path
}

namespace {

int Handed(Outcome<DecodedImage> read, ImageBuffer* image, Reason* why) {
    if (why != nullptr) {
        *why = read.Why();
    }
    if (!read) {
        return kBmpFailed;
    }
    *image = std::move(*read).Release();
    return kBmpLoaded;
}

} // namespace

int LoadBmp(ImageBuffer* image, const ByteSource& source) {
    return image == nullptr ? kBmpFailed : Handed(ReadBmp(source), image, nullptr);
}

int LoadBmpBytes(ImageBuffer* image, std::span<const std::uint8_t> bytes) {
    return LoadBmp(image, MemorySource(bytes));
}

int LoadBmpFile(ImageBuffer* image, const std::filesystem::path& path, Reason* why) {
    if (image == nullptr) {
        return kBmpFailed; // nothing is opened
    }
    return Handed(ReadBmpFile(path), image, why);
}
