// The one libtiff client of the readers and writers: libtiff reaches the
// bytes through a TiffStream instead of a file name, and keeps its first
// error message there instead of printing it.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <memory>
#include <string>

class TiffStream {
public:
    virtual ~TiffStream() = default;

    // Bytes at `position` onwards; -1 on failure (libtiff's convention).
    virtual std::int64_t ReadAt(std::int64_t position, void* buffer, std::int64_t size) = 0;
    virtual std::int64_t WriteAt(std::int64_t position, const void* buffer, std::int64_t size) = 0;
    // The stream's length, the place SEEK_END counts from.
    virtual std::int64_t Length() const = 0;

    std::int64_t position = 0;
    std::string message; // libtiff's first error, empty while none came
};

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// libtiff over `stream` in libtiff's `mode` ("r…" or "w…"); null when libtiff
// refuses, the reason in stream.message. The stream must outlive the handle.
TiffHandle OpenTiffClient(TiffStream& stream, const char* mode);
