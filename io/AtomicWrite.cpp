// Whole-file replacement through a temporary file renamed over the target, so
// a failed write never leaves a file cut short where a good one stood.
#include "io/AtomicWrite.h"

#include "io/File.h"

#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <optional>
#include <random>
#include <string_view>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryPrefix = ".";
constexpr std::string_view kTemporaryInfix = ".tmp";
constexpr std::size_t kTemporaryRandomLength = 6;
constexpr int kTemporaryNameAttempts = 100;
// Keeps prefix, name and suffix within the usual 255-byte name limit.
constexpr std::size_t kMaxNameKept = 200;
constexpr std::string_view kNameAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The file to be replaced, as far as it exists.
struct Target {
    fs::path path;            // a symbolic link followed to the file it names
    std::optional<File> held; // locked until the rename, so other writers are denied
    std::optional<fs::perms> mode;
};

// A target must be a regular file that opens for writing, or not exist yet;
// anything else (a directory, a device, a read-only file) cannot be opened.
std::optional<Target> OpenTarget(const fs::path& requested) {
    std::error_code error;
    fs::path path = requested;
    if (fs::is_symlink(fs::symlink_status(requested, error)) && fs::exists(requested, error)) {
        path = fs::canonical(requested, error);
        if (error) {
            return std::nullopt;
        }
    }
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        return Target{path, std::nullopt, std::nullopt};
    }
    if (status.type() != fs::file_type::regular) {
        return std::nullopt;
    }
    std::optional<File> held = File::OpenExistingForWriting(path, error);
    if (!held) {
        return std::nullopt;
    }
    // Only the permission bits: set-id bits are not handed to a new inode.
    return Target{path, std::move(held), status.permissions() & fs::perms::all};
}

std::string RandomSuffix(std::minstd_rand& random) {
    std::uniform_int_distribution<std::size_t> pick(0, kNameAlphabet.size() - 1);
    std::string suffix;
    for (std::size_t i = 0; i < kTemporaryRandomLength; ++i) {
        suffix += kNameAlphabet[pick(random)];
    }
    return suffix;
}

// Creates ".name.tmpXXXXXX" beside the target, exclusively, under a fresh name.
std::optional<File> CreateTemporary(const fs::path& target, fs::path& temporary) {
    std::random_device seed;
    std::minstd_rand random(seed());
    const std::string name = target.filename().string().substr(0, kMaxNameKept);
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        temporary = target.parent_path() / (std::string(kTemporaryPrefix) + name +
                                            std::string(kTemporaryInfix) + RandomSuffix(random));
        std::error_code error;
        std::optional<File> file = File::CreateExclusive(temporary, error);
        if (file || error != std::errc::file_exists) {
            return file;
        }
    }
    return std::nullopt;
}

// Removes the temporary file unless it was renamed into place.
class TemporaryPath {
public:
    explicit TemporaryPath(fs::path path) : path_(std::move(path)) {}
    TemporaryPath(const TemporaryPath&) = delete;
    TemporaryPath& operator=(const TemporaryPath&) = delete;
    ~TemporaryPath() {
        if (!kept_) {
            std::error_code ignored;
            fs::remove(path_, ignored);
        }
    }
    void Keep() { kept_ = true; }

private:
    fs::path path_;
    bool kept_ = false;
};

// Starts putting the written data on the device every few megabytes, so that
// the flush before the rename waits for the tail only, not for the whole of a
// large file, and the device works while the next pieces are made. Only a
// hint: whatever it does or fails to do, Finish still flushes everything.
class EarlyWriteback {
public:
    explicit EarlyWriteback(const File& file) : descriptor_(file.Descriptor()) {}

    void Wrote(std::size_t count) {
        written_ += static_cast<std::int64_t>(count);
        if (written_ - started_ < kWritebackChunk) {
            return;
        }
#ifdef __linux__
        ::sync_file_range(descriptor_, started_, written_ - started_, SYNC_FILE_RANGE_WRITE);
#endif
        started_ = written_;
    }

private:
    static constexpr std::int64_t kWritebackChunk = std::int64_t{4} << 20;
    int descriptor_;
    std::int64_t written_ = 0;
    std::int64_t started_ = 0;
};

// Only data that reached the device may replace the old file.
bool Finish(File& file) {
    return file.Sync() && file.Close();
}

template <typename Piece> bool WriteAll(File& file, std::span<const Piece> pieces) {
    EarlyWriteback writeback(file);
    for (const Piece& piece : pieces) {
        if (!file.Write(piece.data(), piece.size())) {
            return false;
        }
        writeback.Wrote(piece.size());
    }
    return Finish(file);
}

bool WriteAll(File& file, const ContentSource& next) {
    EarlyWriteback writeback(file);
    for (;;) {
        const std::optional<std::span<const std::uint8_t>> piece = next();
        if (!piece) {
            return false;
        }
        if (piece->empty()) {
            return Finish(file);
        }
        if (!file.Write(piece->data(), piece->size())) {
            return false;
        }
        writeback.Wrote(piece->size());
    }
}

bool WriteAll(File& file, const PositionedContents& write) {
    PositionedWriter writer(file);
    return write(writer) && Finish(file);
}

template <typename Contents>
WriteResult ReplaceFile(const fs::path& target, const Contents& contents) {
    const std::optional<Target> opened = OpenTarget(target);
    if (!opened) {
        return WriteResult::CannotOpen;
    }
    fs::path temporaryPath;
    std::optional<File> temporary = CreateTemporary(opened->path, temporaryPath);
    if (!temporary) {
        return WriteResult::CannotOpen;
    }
    TemporaryPath cleanup(temporaryPath);
    std::error_code error;
    if (opened->mode) {
        fs::permissions(temporaryPath, *opened->mode, fs::perm_options::replace, error);
    }
    if (error || !WriteAll(*temporary, contents)) {
        return WriteResult::WriteFailed;
    }
    fs::rename(temporaryPath, opened->path, error);
    if (error) {
        return WriteResult::WriteFailed;
    }
    cleanup.Keep();
    return WriteResult::Ok;
}

} // namespace

WriteResult WriteFileAtomically(const fs::path& target, std::span<const std::string> pieces) {
    return ReplaceFile(target, pieces);
}

WriteResult WriteFileAtomically(const fs::path& target,
                                std::span<const std::span<const std::uint8_t>> pieces) {
    return ReplaceFile(target, pieces);
}

WriteResult WriteFileAtomically(const fs::path& target, const ContentSource& next) {
    return ReplaceFile(target, next);
}

WriteResult WriteFileAtomically(const fs::path& target, const PositionedContents& write) {
    return ReplaceFile(target, write);
}

bool PositionedWriter::WriteAt(std::int64_t position, std::span<const std::uint8_t> bytes) {
    if (!file_.WriteAt(position, bytes.data(), bytes.size())) {
        return false;
    }
#ifdef __linux__
    // Only a hint, as in EarlyWriteback: Finish flushes everything anyway.
    ::sync_file_range(file_.Descriptor(), position, static_cast<off_t>(bytes.size()),
                      SYNC_FILE_RANGE_WRITE);
#endif
    return true;
}

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}
