// Puts a BMP file through the gamma tables into a 24-bit BMP without
// decoding the whole image: the stored rows are read, converted and written a
// chunk at a time by two threads, each with a small pair of reused buffers.
// The output's bytes are the 24-bit bottom-up BMP of the preview that
// RenderPreview makes of the decoded image.
#pragma once

#include "cli/StreamOutput.h"
#include "curve/GammaTable.h"
#include "image/ByteSource.h"

#include <array>
#include <cstdint>
#include <filesystem>

enum class StreamedBmpResult {
    Ok,
    CannotOpenInput,  // the input does not open for reading
    NotBmp,           // the reader refuses the file
    NoPixels,         // no rows or no columns
    TooLargeForBmp,   // the output would not fit the format's 32-bit sizes
    NoMemory,         // the chunk buffers could not be had
    ReadFailed,       // the input's rows could not all be read
    CannotOpenOutput, // the output cannot be written (see WriteResult::CannotOpen)
    WriteFailed,      // a write, flush or rename failed
};

// About this many bytes of rows are read, converted and written at a time:
// small enough to stay in the cache between the three steps.
inline constexpr std::int64_t kStreamChunkBytes = std::int64_t{1} << 20;
inline constexpr int kStreamWorkers = 2;

struct StreamOptions {
    std::int64_t chunkBytes = kStreamChunkBytes;
    int workers = kStreamWorkers;
    bool wideMapping = true; // false keeps 24-bit rows on the portable loop
};

// The conversion from any byte source into any output. The input is taken as
// LoadBmp takes it (the same acceptance); the output is asked for only after
// the header was accepted and the buffers were had, so a refused input never
// touches it. Bottom-up input rows keep their order; top-down ones are
// reversed, so the output is upright. `input` must not change meanwhile.
StreamedBmpResult StreamBmp(const ByteSource& input, StreamOutput& output,
                            const std::array<GammaTable, 3>& tables,
                            const StreamOptions& options = {});

// StreamBmp from the file `input`, read under a shared lock, into `output`
// replaced safely: on any failure no output is left and an old one stays as
// it was.
StreamedBmpResult WriteStreamedBmp(const std::filesystem::path& input,
                                   const std::filesystem::path& output,
                                   const std::array<GammaTable, 3>& tables,
                                   const StreamOptions& options = {});
