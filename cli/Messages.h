// The one line a failure prints on standard error, "tamrel-cli: FILE: reason",
// with the reason taken from the result value of the operation that failed.
#pragma once

#include "io/AtomicWrite.h"
#include "io/ParamFileReader.h"
#include "io/Reason.h"

#include <filesystem>
#include <string>
#include <string_view>

inline constexpr std::string_view kProgramName = "tamrel-cli";
// What names SANE's library in an error line, where a file would stand.
inline constexpr std::string_view kLibraryName = "libsane";

// Reasons that no result enumeration of the core carries.
inline constexpr std::string_view kReasonCannotOpen = "cannot open";
inline constexpr std::string_view kReasonCannotWrite = "cannot write";
inline constexpr std::string_view kReasonExists = "exists (--force replaces it)";
inline constexpr std::string_view kReasonIsInput = "would replace its own input";
inline constexpr std::string_view kNarrowNegativeWarning =
    "warning: 8-bit tables cannot hold a dense negative's shadows; scan the film linearly at 16 "
    "bits and put the scan through 'tamrel-cli apply' with this parameter file";

std::string_view ReasonOf(LoadResult result);
std::string_view ReasonOf(WriteResult result);

// The English words for a reason of the core, with the number it carries.
std::string ReasonText(const Reason& why);

// Whether the reason is about the file being written rather than the one read.
bool IsAboutOutput(const Reason& why);

// "no resolution given; the page is sized at 300 dpi": an image made a
// page at the dots per inch its document took for it.
std::string AssumedDpiText(double dotsPerInch);

// "tamrel-cli: FILE: reason\n".
std::string FileError(const std::filesystem::path& file, std::string_view reason);

// "tamrel-cli: text\n", for usage errors that name no file.
std::string PlainError(std::string_view text);
