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
    Refused,       // a kind of image the reader does not take; Value = a RefusedImage, Text = the
                   // number its words name (bits, a compression)
    BadReference,  // a chart reference file that cannot be used; Value = a ReferenceProblem,
                   // Text = the line, set, patch or word its words name
    NoEndMarker,   // a warning: a JPEG ends without its end marker, its picture whole
};

// The kinds of image a reader refuses. Each has one row of words in the
// tool's and in the window's table: what is refused and what to do.
enum class RefusedImage : std::int64_t {
    JpegCmyk,
    JpegLossless,
    JpegArithmetic,
    JpegPrecision,  // Text = bits per sample
    JpegComponents, // Text = the number of components
    TiffFloat,
    TiffSigned,
    TiffPalette,
    TiffCmyk,
    TiffColours,     // Text = the photometric interpretation
    TiffSampleBits,  // Text = bits per sample
    TiffCompression, // Text = the compression tag's value
    PngSamples,
    PnmKind,       // Text = the digit after P
    NotReadFormat, // a format only written (PDF); Text = its name
};

// Why a chart reference file cannot be used, one row of words each in the
// tool's and the window's table.
enum class ReferenceProblem : std::int64_t {
    Empty,
    Includes,     // .INCLUDE of another file
    NotCgats,     // no CGATS text at all
    Profile,      // an ICC profile
    ChartLayout,  // patch positions of a chart (a recognition template, CTI2)
    TargetValues, // device values to print or show (CTI1)
    OtherKind,    // CGATS of another kind; Text = its first word (SPECT, CAL...)
    Syntax,       // Text = the line that cannot be read
    SecondTable,  // Text = the line where a second data format or table begins
    FieldCount,   // Text = the line of NUMBER_OF_FIELDS
    SetCount,     // Text = the line of NUMBER_OF_SETS
    Missing,      // Text = the keyword the file lacks
    NoColumns,    // no sample name with Lab or XYZ
    NoName,       // Text = the number of the set without a sample name
    NotNumber,    // Text = the sample whose value is not a number
};

struct Reason {
    ReasonCode Code = ReasonCode::None;
    std::int64_t Value = 0; // a number the message names (a header size, a depth, bytes)
    std::string Text;       // words from a library, or which kind is unsupported

    Reason() = default;
    Reason(ReasonCode code, std::int64_t value = 0, std::string text = {})
        : Code(code), Value(value), Text(std::move(text)) {}

    Reason(RefusedImage kind, std::string text = {})
        : Code(ReasonCode::Refused), Value(static_cast<std::int64_t>(kind)), Text(std::move(text)) {
    }
    Reason(ReferenceProblem problem, std::string text = {})
        : Code(ReasonCode::BadReference), Value(static_cast<std::int64_t>(problem)),
          Text(std::move(text)) {}

    explicit operator bool() const { return Code != ReasonCode::None; }
    friend bool operator==(const Reason&, const Reason&) = default;
};
