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

// " for TEXT", ": TEXT" and the like after the words, where a reason has a text.
std::string AfterWords(std::string_view lead, const std::string& text) {
    return text.empty() ? std::string() : std::string(lead) + text;
}

// The words of each reason, one row per code in the order of ReasonCode.
struct ReasonWords {
    ReasonCode code;
    std::string (*words)(const Reason& why);
};

constexpr ReasonWords kReasonWords[] = {
    {ReasonCode::None, [](const Reason&) { return std::string(); }},
    {ReasonCode::CannotOpen,
     [](const Reason& why) { return WithSystemWords(kReasonCannotOpen, why.Value); }},
    {ReasonCode::ReadFailed, [](const Reason&) { return std::string("read error"); }},
    {ReasonCode::Truncated,
     [](const Reason&) {
         return std::string("the file ends before the data its header promises");
     }},
    {ReasonCode::NotThisFormat,
     [](const Reason& why) {
         return "not a " + (why.Text.empty() ? std::string("BMP") : why.Text) + " file";
     }},
    {ReasonCode::Unsupported,
     [](const Reason& why) {
         return why.Text.empty() ? std::string("not a supported kind of file") : why.Text;
     }},
    {ReasonCode::BmpInfoHeaderSize,
     [](const Reason& why) {
         return "BMP info header of " + std::to_string(why.Value) +
                " bytes not supported (only 40): " + std::string(kResaveBmp);
     }},
    {ReasonCode::BmpCompression,
     [](const Reason& why) {
         return "compressed BMP not supported (compression " + std::to_string(why.Value) +
                "): " + std::string(kResaveBmp);
     }},
    {ReasonCode::BmpBitDepth,
     [](const Reason& why) {
         return std::to_string(why.Value) +
                " bits per pixel not supported (only 8, 24 and 32): " + std::string(kResaveBmp);
     }},
    {ReasonCode::BadHeader,
     [](const Reason&) { return std::string("header values out of range"); }},
    {ReasonCode::TooLarge,
     [](const Reason& why) {
         return "too large (" + std::to_string(why.Value) + " bytes)" +
                AfterWords(" for ", why.Text);
     }},
    {ReasonCode::NoMemory,
     [](const Reason&) { return std::string("not enough memory for the image"); }},
    {ReasonCode::DamagedData,
     [](const Reason& why) { return "damaged data" + AfterWords(": ", why.Text); }},
    {ReasonCode::CannotCreate,
     [](const Reason&) { return std::string(ReasonOf(WriteResult::CannotOpen)); }},
    // Text names a film line's key.
    {ReasonCode::MissingParams,
     [](const Reason& why) {
         return std::string(ReasonOf(LoadResult::Incomplete)) +
                (why.Text.empty() ? "" : ": film key " + why.Text + " missing or invalid");
     }},
    {ReasonCode::DiskFull, [](const Reason&) { return std::string("disk full"); }},
    {ReasonCode::FileSizeLimit,
     [](const Reason&) { return std::string("beyond the file-size limit"); }},
    // The temporary file or the folder went while the output was written
    // (the rename found neither): someone removed the folder.
    {ReasonCode::WriteFailed,
     [](const Reason& why) {
         return why.Value == ENOENT ? std::string("the folder was removed while writing")
                                    : std::string(kReasonCannotWrite);
     }},
    {ReasonCode::DeviceError,
     [](const Reason& why) { return "device error" + AfterWords(": ", why.Text); }},
    {ReasonCode::Cancelled, [](const Reason&) { return std::string("cancelled"); }},
    {ReasonCode::Refused, [](const Reason& why) { return RowText(kRefusalWords, why); }},
    {ReasonCode::BadReference, [](const Reason& why) { return RowText(kReferenceWords, why); }},
    {ReasonCode::NoEndMarker,
     [](const Reason&) {
         return std::string(
             "warning: the JPEG file ends without its end marker; the picture was read whole");
     }},
};

constexpr bool InCodeOrder() {
    for (std::size_t i = 0; i < std::size(kReasonWords); ++i) {
        if (static_cast<std::size_t>(kReasonWords[i].code) != i) {
            return false;
        }
    }
    return std::size(kReasonWords) == static_cast<std::size_t>(ReasonCode::NoEndMarker) + 1;
}
static_assert(InCodeOrder(), "one row per reason code, in the order of ReasonCode");

} // namespace

std::string ReasonText(const Reason& why) {
    const auto row = static_cast<std::size_t>(why.Code);
    return row < std::size(kReasonWords) ? kReasonWords[row].words(why) : std::string();
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
