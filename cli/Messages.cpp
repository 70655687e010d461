// Failure reasons and the error line format.
#include "cli/Messages.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <iterator>

std::string_view ReasonOf(LoadResult result) {
    switch (result) {
    case LoadResult::Ok:
        return "";
    case LoadResult::CannotOpen:
        return kReasonCannotOpen;
    case LoadResult::ReadFailed:
        return "read error";
    case LoadResult::Incomplete:
        return "parameter file incomplete or out of range";
    }
    return "";
}

std::string_view ReasonOf(WriteResult result) {
    switch (result) {
    case WriteResult::Ok:
        return "";
    case WriteResult::CannotOpen:
        return "cannot open for writing";
    case WriteResult::WriteFailed:
        return kReasonCannotWrite;
    }
    return "";
}

namespace {

// One row of words: what is refused (%1 stands for the reason's Text) and
// what to do about it.
struct WordsRow {
    std::string_view what;
    std::string_view todo;
};

constexpr std::string_view kResaveBmp = "save the image as a 24-bit BMP, PNG or TIFF";
constexpr std::string_view kGiveReference = "give the chart maker's file of measured values";

// Indexed by RefusedImage.
constexpr WordsRow kRefusalWords[] = {
    {"CMYK JPEGs cannot be read", "convert the file to RGB"},
    {"lossless JPEGs cannot be read", "convert the file to PNG or TIFF"},
    {"arithmetic-coded JPEGs cannot be read",
     "convert the file to a Huffman-coded JPEG (jpegtran), PNG or TIFF"},
    {"JPEGs of %1-bit samples cannot be read (only 8)", "convert the file to a 16-bit PNG or TIFF"},
    {"JPEGs of %1 components cannot be read (only grey or colour)", "convert the file to RGB"},
    {"TIFFs of floating-point samples cannot be read", "convert the file to 16-bit integers"},
    {"TIFFs of signed samples cannot be read", "convert the file to unsigned 8 or 16 bits"},
    {"palette TIFFs cannot be read", "convert the file to RGB"},
    {"CMYK TIFFs cannot be read", "convert the file to RGB"},
    {"TIFFs of photometric interpretation %1 cannot be read (only grey and RGB)",
     "convert the file to RGB"},
    {"TIFFs of %1-bit samples cannot be read (only 8 and 16)", "convert the file to 8 or 16 bits"},
    {"TIFFs of compression %1 cannot be read (only none, LZW, Deflate and PackBits)",
     "save the file uncompressed, or with LZW or Deflate"},
    {"PNGs of these samples cannot be read", "convert the file to 8- or 16-bit grey or RGB"},
    {"PNM P%1 files cannot be read (only binary P5 and P6)",
     "convert the file to binary PNM, PNG or TIFF"},
    {"%1 files are written, not read", "give a BMP, PNM, PNG, TIFF or JPEG file"},
};

// Indexed by ReferenceProblem.
constexpr WordsRow kReferenceWords[] = {
    {"the reference file is empty", kGiveReference},
    {"the reference file includes another file (.INCLUDE), which is not read",
     "copy that file's values into it"},
    {"not CGATS text", kGiveReference},
    {"an ICC profile, not a chart's measured values", kGiveReference},
    {"a chart layout, not measured values", kGiveReference},
    {"a chart's target device values, not measured values", kGiveReference},
    {"CGATS of kind %1, not a chart's measured values", kGiveReference},
    {"line %1 cannot be read as CGATS", ""},
    {"a second table begins at line %1 (a reference file holds one)",
     "keep the table of the chart's values"},
    {"NUMBER_OF_FIELDS at line %1 is not the number of fields BEGIN_DATA_FORMAT names", ""},
    {"NUMBER_OF_SETS at line %1 is not the number of sets BEGIN_DATA holds", ""},
    {"%1 is missing", ""},
    {"no table of SAMPLE_ID or SAMPLE_LOC with LAB_L, LAB_A, LAB_B or XYZ_X, XYZ_Y, XYZ_Z",
     kGiveReference},
    {"set %1 has no SAMPLE_ID or SAMPLE_LOC", ""},
    {"%1 has a value that is not a number", ""},
};

static_assert(std::size(kRefusalWords) ==
              static_cast<std::size_t>(RefusedImage::NotReadFormat) + 1);
static_assert(std::size(kReferenceWords) ==
              static_cast<std::size_t>(ReferenceProblem::NotNumber) + 1);

template <std::size_t N> std::string RowText(const WordsRow (&table)[N], const Reason& why) {
    if (why.Value < 0 || static_cast<std::size_t>(why.Value) >= N) {
        return "not a supported kind of file";
    }
    const WordsRow& row = table[static_cast<std::size_t>(why.Value)];
    std::string text(row.what);
    if (const std::size_t at = text.find("%1"); at != std::string::npos) {
        text.replace(at, 2, why.Text);
    }
    return row.todo.empty() ? text : text + ": " + std::string(row.todo);
}

// The system's words for the errno a failure to open carries, after ours
// (the tool runs in the C locale, so they are English).
std::string WithSystemWords(std::string_view ours, std::int64_t error) {
    if (error <= 0) {
        return std::string(ours);
    }
    return std::string(ours) + ": " + std::strerror(static_cast<int>(error));
}

} // namespace

std::string ReasonText(const Reason& why) {
    const std::string value = std::to_string(why.Value);
    switch (why.Code) {
    case ReasonCode::None:
        return "";
    case ReasonCode::CannotOpen:
        return WithSystemWords(kReasonCannotOpen, why.Value);
    case ReasonCode::ReadFailed:
        return "read error";
    case ReasonCode::Truncated:
        return "the file ends before the data its header promises";
    case ReasonCode::NotThisFormat:
        return "not a " + (why.Text.empty() ? std::string("BMP") : why.Text) + " file";
    case ReasonCode::Unsupported:
        return why.Text.empty() ? "not a supported kind of file" : why.Text;
    case ReasonCode::BmpInfoHeaderSize:
        return "BMP info header of " + value +
               " bytes not supported (only 40): " + std::string(kResaveBmp);
    case ReasonCode::BmpCompression:
        return "compressed BMP not supported (compression " + value +
               "): " + std::string(kResaveBmp);
    case ReasonCode::BmpBitDepth:
        return value +
               " bits per pixel not supported (only 8, 24 and 32): " + std::string(kResaveBmp);
    case ReasonCode::BadHeader:
        return "header values out of range";
    case ReasonCode::TooLarge:
        return "too large (" + value + " bytes)" + (why.Text.empty() ? "" : " for " + why.Text);
    case ReasonCode::NoMemory:
        return "not enough memory for the image";
    case ReasonCode::MissingParams: // Text names a film line's key
        return std::string(ReasonOf(LoadResult::Incomplete)) +
               (why.Text.empty() ? "" : ": film key " + why.Text + " missing or invalid");
    case ReasonCode::DamagedData:
        return "damaged data" + (why.Text.empty() ? "" : ": " + why.Text);
    case ReasonCode::CannotCreate:
        return std::string(ReasonOf(WriteResult::CannotOpen));
    case ReasonCode::DiskFull:
        return "disk full";
    case ReasonCode::FileSizeLimit:
        return "beyond the file-size limit";
    case ReasonCode::WriteFailed:
        // The temporary file or the folder went while the output was written
        // (the rename found neither): someone removed the folder.
        return why.Value == ENOENT ? "the folder was removed while writing"
                                   : std::string(kReasonCannotWrite);
    case ReasonCode::DeviceError:
        return "device error" + (why.Text.empty() ? "" : ": " + why.Text);
    case ReasonCode::Cancelled:
        return "cancelled";
    case ReasonCode::Refused:
        return RowText(kRefusalWords, why);
    case ReasonCode::BadReference:
        return RowText(kReferenceWords, why);
    case ReasonCode::NoEndMarker:
        return "warning: the JPEG file ends without its end marker; the picture was read whole";
    }
    return "";
}

bool IsAboutOutput(const Reason& why) {
    switch (why.Code) {
    case ReasonCode::CannotCreate:
    case ReasonCode::DiskFull:
    case ReasonCode::FileSizeLimit:
    case ReasonCode::WriteFailed:
    case ReasonCode::TooLarge:
        return true;
    default:
        return false;
    }
}

std::string FileError(const std::filesystem::path& file, std::string_view reason) {
    return std::string(kProgramName) + ": " + file.string() + ": " + std::string(reason) + "\n";
}

std::string PlainError(std::string_view text) {
    return std::string(kProgramName) + ": " + std::string(text) + "\n";
}

std::string AssumedDpiText(double dotsPerInch) {
    return "no resolution given; the page is sized at " + std::to_string(std::lround(dotsPerInch)) +
           " dpi";
}
