#include "image/formats/TiffClient.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

// libtiff's messages are a line each; the first is what the user is told.
constexpr std::size_t kMessageBytes = 200;

TiffStream& StreamOf(thandle_t handle) {
    return *static_cast<TiffStream*>(handle);
}

// libtiff reads and writes at the stream's position, which moves past the
// bytes moved; -1 (failure) leaves it.
tmsize_t Advance(TiffStream& s, std::int64_t moved) {
    if (moved > 0) {
        s.position += moved;
    }
    return moved;
}

tmsize_t OnRead(thandle_t handle, void* buffer, tmsize_t size) {
    TiffStream& s = StreamOf(handle);
    return Advance(s, s.ReadAt(s.position, buffer, size));
}

tmsize_t OnWrite(thandle_t handle, void* buffer, tmsize_t size) {
    TiffStream& s = StreamOf(handle);
    return Advance(s, s.WriteAt(s.position, buffer, size));
}

toff_t OnSeek(thandle_t handle, toff_t offset, int whence) {
    TiffStream& s = StreamOf(handle);
    const auto off = static_cast<std::int64_t>(offset);
    s.position = whence == SEEK_SET ? off : (whence == SEEK_CUR ? s.position : s.Length()) + off;
    return static_cast<toff_t>(s.position);
}

int OnClose(thandle_t) {
    return 0;
}

toff_t OnSize(thandle_t handle) {
    return static_cast<toff_t>(std::max<std::int64_t>(StreamOf(handle).Length(), 0));
}

// No mapping: every byte comes through the stream, which bounds what is read.
int OnMap(thandle_t, void**, toff_t*) {
    return 0;
}

void OnUnmap(thandle_t, void*, toff_t) {}

int OnError(TIFF*, void* user, const char*, const char* format, va_list args) {
    TiffStream& s = StreamOf(user);
    if (s.message.empty()) {
        char text[kMessageBytes];
        std::vsnprintf(text, sizeof text, format, args);
        s.message = text;
    }
    return 1; // handled: nothing reaches the terminal
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

} // namespace

TiffHandle OpenTiffClient(TiffStream& stream, const char* mode) {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) {
        return nullptr;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, &stream);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, &stream);
    TiffHandle tif(TIFFClientOpenExt("tiff", mode, &stream, OnRead, OnWrite, OnSeek, OnClose,
                                     OnSize, OnMap, OnUnmap, options));
    TIFFOpenOptionsFree(options);
    return tif;
}
