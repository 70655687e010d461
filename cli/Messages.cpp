// Failure reasons and the error line format.
#include "cli/Messages.h"

#include <cerrno>
#include <cmath>
#include <cstring>

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
        return "BMP info header of " + value + " bytes not supported (only 40)";
    case ReasonCode::BmpCompression:
        return "compressed BMP not supported (compression " + value + ")";
    case ReasonCode::BmpBitDepth:
        return value + " bits per pixel not supported (only 8, 24 and 32)";
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
