// A small file read whole into memory, for readers that parse it in one
// piece (a reference file, a colour profile), up to a size each one sets.
#pragma once

#include "io/Reason.h"

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

struct WholeFile {
    std::vector<std::uint8_t> bytes;
    Reason why; // None when the bytes were read
};

// CannotOpen (Value = errno), ReadFailed, or TooLarge (Value = its length,
// Text = `what`) for a file longer than `mostBytes`, before anything is
// allocated for it.
WholeFile ReadWholeFile(const std::filesystem::path& path, std::int64_t mostBytes,
                        std::string_view what);
