// The files a numbering of names already holds on the disk: a batch's pages,
// page-001.tif, page-002.tif, ..., so that a second batch replaces the first
// only when asked to, or numbers on after it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

struct NumberedFiles {
    std::size_t count = 0;
    std::filesystem::path first; // the one of the lowest number, when there is one
    int highest = 0;             // the highest number taken; 0 when none is
};

// The file name of number n (1 for the first) in a numbering whose names all
// start with `prefix` and end with `suffix`, with n in decimal between
// (padded with zeros or blanks, or signed, as the numbering writes it).
struct Numbering {
    std::string prefix;
    std::string suffix;
    std::function<std::string(int number)> nameOf;
};

// Every file in `folder` that the numbering names, for some number of 1 or
// more. A folder that cannot be read holds none.
NumberedFiles FindNumberedFiles(const std::filesystem::path& folder, const Numbering& numbering);

// The window's page names: the chosen name with the number, three digits at
// least, before its extension: scan.tif gives scan-001.tif, scan-002.tif, ...
std::filesystem::path PageFileName(const std::filesystem::path& chosen, int number);

// The pages PageFileName gives for `chosen` that are already there.
NumberedFiles ExistingPages(const std::filesystem::path& chosen);
