// One file under two names, by the file system's own identity.
#include "io/SameFile.h"

#include <system_error>

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}
