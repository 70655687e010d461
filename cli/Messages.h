// The one line a failure prints on standard error, "tamrel-cli: FILE: reason",
// with the reason taken from the result value of the operation that failed.
#pragma once

#include "io/AtomicWrite.h"
#include "io/ParamFileReader.h"

#include <filesystem>
#include <string>
#include <string_view>

inline constexpr std::string_view kProgramName = "tamrel-cli";

// Reasons that no result enumeration of the core carries.
inline constexpr std::string_view kReasonCannotOpen = "cannot open";
inline constexpr std::string_view kReasonNotBmp = "not a supported BMP";
inline constexpr std::string_view kReasonNoPixels = "the image has no pixels";
inline constexpr std::string_view kReasonTooLargeForBmp = "too large for a BMP file";
inline constexpr std::string_view kReasonNoMemory = "not enough memory for the image";
inline constexpr std::string_view kReasonCannotWrite = "cannot write";
inline constexpr std::string_view kReasonExists = "exists (--force replaces it)";
inline constexpr std::string_view kReasonIsInput = "would replace its own input";

std::string_view ReasonOf(LoadResult result);
std::string_view ReasonOf(WriteResult result);

// "tamrel-cli: FILE: reason\n".
std::string FileError(const std::filesystem::path& file, std::string_view reason);

// "tamrel-cli: text\n", for usage errors that name no file.
std::string PlainError(std::string_view text);
