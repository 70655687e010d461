// Why an operation on a file or a device failed, as a value. The core says
// what went wrong; the window and tamrel-cli each turn it into the one line
// their user reads (Japanese in the window, English in the tool).
#pragma once

#include <cstdint>
#include <string>
#include <utility>

enum class ReasonCode {
    None,
    CannotOpen,    // missing, not a regular file, no permission, locked; Value = errno if known
    ReadFailed,    // the system reported an error while reading
    Truncated,     // the file ends before the data its header promises
    NotThisFormat, // the bytes are not a file of the format its name says; Text = "BMP", "PNG"…
    Unsupported,   // a file of the format, but a kind the reader does not take; Text says which
    BmpInfoHeaderSize, // Value = the info header's size in bytes (only 40 is read)
    BmpCompression,    // Value = the compression field (only 0 is read)
    BmpBitDepth,       // Value = bits per pixel (only 8, 24 and 32 are read)
    BadHeader,         // header values that contradict each other or overflow
    TooLarge,          // the image would not fit in the memory available; Value = bytes needed
    NoMemory,          // an allocation failed
    DamagedData,       // the decoder found the data corrupt; Text holds its words
    CannotCreate,  // the output cannot be made (read-only, a directory, no folder); Value = errno
    MissingParams, // a parameter file lacks some key or holds a value out of range
    DiskFull,      // ENOSPC or EDQUOT while writing
    FileSizeLimit, // EFBIG: beyond the process's file-size limit
    WriteFailed,   // any other failed write, flush or rename
    DeviceError,   // a scanner or its library failed; Text holds SANE's status text
    Cancelled,     // the user stopped it
};

struct Reason {
    ReasonCode Code = ReasonCode::None;
    std::int64_t Value = 0; // a number the message names (a header size, a depth, bytes)
    std::string Text;       // words from a library, or which kind is unsupported

    Reason() = default;
    Reason(ReasonCode code, std::int64_t value = 0, std::string text = {})
        : Code(code), Value(value), Text(std::move(text)) {}

    explicit operator bool() const { return Code != ReasonCode::None; }
    friend bool operator==(const Reason&, const Reason&) = default;
};
