// A file's stored rows handed to a function, the file held open and read as
// one format for as long as the function runs.
#pragma once

#include "image/Outcome.h"
#include "image/formats/FormatTable.h"
#include "io/File.h"

#include <filesystem>
#include <system_error>
#include <type_traits>

// What `use` (an Outcome of whatever it makes) makes of the rows of `path`
// read as `format`; CannotOpen (Value = errno), or the reader's reason for a
// file it cannot read as that format. `warning`, when given, takes what the
// reader went past once `use` is done (RowSource::Warning).
template <typename Use>
auto UseFileRows(const std::filesystem::path& path, ImageFormat format, Use&& use,
                 Reason* warning = nullptr) -> std::invoke_result_t<Use, const RowSource&> {
    std::error_code error;
    const std::optional<File> file = File::OpenForReading(path, error);
    if (!file) {
        return Reason(ReasonCode::CannotOpen, error.value());
    }
    const FileSource source(*file);
    const Outcome<std::unique_ptr<RowSource>> rows = OpenRows(format, source);
    if (!rows) {
        return rows.Why();
    }
    auto made = use(**rows);
    if (warning != nullptr) {
        *warning = (*rows)->Warning();
    }
    return made;
}
