// The length is asked first, so a file past the limit costs no memory; a
// read shorter than that length (the file shrank meanwhile) is a failure.
#include "io/WholeFile.h"

#include "io/File.h"

#include <system_error>

WholeFile ReadWholeFile(const std::filesystem::path& path, std::int64_t mostBytes,
                        std::string_view what) {
    std::error_code error;
    const std::optional<File> file = File::OpenForReading(path, error);
    if (!file) {
        return {{}, Reason(ReasonCode::CannotOpen, error.value())};
    }
    const std::int64_t length = file->Length();
    if (length < 0) {
        return {{}, Reason(ReasonCode::ReadFailed)};
    }
    if (length > mostBytes) {
        return {{}, Reason(ReasonCode::TooLarge, length, std::string(what))};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    if (file->ReadAt(0, bytes.data(), bytes.size()) != length) {
        return {{}, Reason(ReasonCode::ReadFailed)};
    }
    return {std::move(bytes), {}};
}
