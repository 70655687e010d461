// Failure reasons and the error line format.
#include "cli/Messages.h"

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

std::string FileError(const std::filesystem::path& file, std::string_view reason) {
    return std::string(kProgramName) + ": " + file.string() + ": " + std::string(reason) + "\n";
}

std::string PlainError(std::string_view text) {
    return std::string(kProgramName) + ": " + std::string(text) + "\n";
}
