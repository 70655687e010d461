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
                " bytes not supported (only 40)";
     }},
    {ReasonCode::BmpCompression,
     [](const Reason& why) {
         return "compressed BMP not supported (compression " + std::to_string(why.Value) + ")";
     }},
    {ReasonCode::BmpBitDepth,
     [](const Reason& why) {
         return std::to_string(why.Value) + " bits per pixel not supported (only 8, 24 and 32)";
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
};

constexpr bool InCodeOrder() {
    for (std::size_t i = 0; i < std::size(kReasonWords); ++i) {
        if (static_cast<std::size_t>(kReasonWords[i].code) != i) {
            return false;
        }
    }
    return std::size(kReasonWords) == static_cast<std::size_t>(ReasonCode::Cancelled) + 1;
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
