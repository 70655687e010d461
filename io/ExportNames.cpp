// Export file names: folder / (title + "R." + extension) and so on, where the
// title and the extension are split at the last dot of the picked name.
#include "io/ExportNames.h"

#include "io/TableChannels.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

ExportNames DeriveExportNames(const fs::path& picked) {
    const std::string name = picked.filename().string();
    const std::size_t dot = name.rfind('.');
    const std::string title = name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    ExportNames names;
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        names[channel] =
            picked.parent_path() / (title + kTableChannels[channel].suffix + extension);
    }
    return names;
}

bool ExistsAsFile(const fs::path& path) {
    if (IsDanglingLink(path)) {
        return true;
    }
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    return fs::exists(status) && !fs::is_directory(status);
}

bool IsDanglingLink(const fs::path& path) {
    std::error_code error;
    return fs::is_symlink(fs::symlink_status(path, error)) && !fs::exists(path, error);
}

bool AnyExistsAsFile(std::span<const fs::path> paths) {
    return std::any_of(paths.begin(), paths.end(),
                       [](const fs::path& path) { return ExistsAsFile(path); });
}
