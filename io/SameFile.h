// Whether two names reach one file: the same file system object (device
// and inode), however each name is spelt (another folder path to it, a
// hard or a symbolic link). An output that is its own input would be lost
// when the finished output is renamed over it.
#pragma once

#include <filesystem>

// False when either name reaches nothing or cannot be examined: a name
// that does not exist yet is never an existing input.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);
