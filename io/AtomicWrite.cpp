// Whole-file replacement through a temporary file renamed over the target, so
// a failed write never leaves a file cut short where a good one stood.
#include "io/AtomicWrite.h"

#include "io/File.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <mutex>
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

// Links followed before giving up, as the system does (ELOOP past 40).
constexpr int kMaxLinkHops = 40;

// Where a symbolic link finally points, followed link by link so that a link
// to nothing gives the path it names: the new file is made there and the link
// is kept, never replaced by a regular file. Empty for a loop.
fs::path FollowLinks(const fs::path& link, std::error_code& error) {
    fs::path path = link;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        if (!fs::is_symlink(fs::symlink_status(path, error))) {
            return path;
        }
        const fs::path to = fs::read_symlink(path, error);
        if (error) {
            return {};
        }
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return {};
}

// A target must be a regular file that opens for writing, or not exist yet;
// anything else (a directory, a device, a read-only file) cannot be opened.
// `error` says why when there is none.
std::optional<Target> OpenTarget(const fs::path& requested, std::error_code& error) {
    const fs::path path = FollowLinks(requested, error);
    if (path.empty()) {
        return std::nullopt;
    }
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        return Target{path, std::nullopt, std::nullopt};
    }
    if (status.type() != fs::file_type::regular) {
        error = std::make_error_code(std::errc::is_a_directory); // or a device, a pipe: no file
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
std::optional<File> CreateTemporary(const fs::path& target, fs::path& temporary,
                                    std::error_code& error) {
    std::random_device seed;
    std::minstd_rand random(seed());
    const std::string name = target.filename().string().substr(0, kMaxNameKept);
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        temporary = target.parent_path() / (std::string(kTemporaryPrefix) + name +
                                            std::string(kTemporaryInfix) + RandomSuffix(random));
        std::optional<File> file = File::CreateExclusive(temporary, error);
        if (file || error != std::errc::file_exists) {
            return file;
        }
    }
    return std::nullopt; // `error` still says the names were all taken
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

// Writes into the temporary file and keeps the errno of the first failure,
// so that a full disk is told from a file-size limit.
class FileWriter final : public PositionedWriter {
public:
    explicit FileWriter(File& file) : file_(file) {}

    bool WriteAt(std::int64_t position, std::span<const std::uint8_t> bytes) override {
        if (!file_.WriteAt(position, bytes.data(), bytes.size())) {
            Failed(errno);
            return false;
        }
#ifdef __linux__
        // Starts putting large pieces on the device now, so that the flush
        // before the rename waits for the last ones only. Only a hint: Finish
        // flushes everything whatever it does.
        if (bytes.size() >= kWritebackMinPiece) {
            ::sync_file_range(file_.Descriptor(), position, static_cast<off_t>(bytes.size()),
                              SYNC_FILE_RANGE_WRITE);
        }
#endif
        return true;
    }

    // Only data that reached the device may replace the old file.
    bool Finish() {
        if (!file_.Sync() || !file_.Close()) {
            Failed(errno);
            return false;
        }
        return true;
    }

    Reason Why() const {
        const std::lock_guard lock(mutex_);
        return error_ == 0 ? Reason(ReasonCode::WriteFailed) : WriteFailureReason(error_);
    }

private:
    static constexpr std::size_t kWritebackMinPiece = std::size_t{64} << 10;

    void Failed(int error) {
        const std::lock_guard lock(mutex_);
        if (error_ == 0) {
            error_ = error;
        }
    }

    File& file_;
    mutable std::mutex mutex_;
    int error_ = 0;
};

WriteOutcome CannotCreate(const std::error_code& error) {
    return {WriteResult::CannotOpen, Reason(ReasonCode::CannotCreate, error.value())};
}

WriteOutcome Failed(Reason why) {
    return {WriteResult::WriteFailed, std::move(why)};
}

// Pieces one after the other, each with a write call of its own.
template <typename Piece>
WriteOutcome WriteInOrder(const fs::path& target, std::span<const Piece> pieces) {
    return WriteFileAtomically(target, [pieces](PositionedWriter& writer) {
        std::int64_t position = 0;
        for (const Piece& piece : pieces) {
            const std::span<const std::uint8_t> bytes(
                reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size());
            if (!writer.WriteAt(position, bytes)) {
                return false;
            }
            position += static_cast<std::int64_t>(bytes.size());
        }
        return true;
    });
}

} // namespace

Reason WriteFailureReason(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return {ReasonCode::DiskFull, error};
    case EFBIG:
        return {ReasonCode::FileSizeLimit, error};
    default:
        return {ReasonCode::WriteFailed, error};
    }
}

WriteOutcome WriteFileAtomically(const fs::path& target, const PositionedContents& contents) {
    std::error_code error;
    const std::optional<Target> opened = OpenTarget(target, error);
    if (!opened) {
        return CannotCreate(error);
    }
    fs::path temporaryPath;
    std::optional<File> temporary = CreateTemporary(opened->path, temporaryPath, error);
    if (!temporary) {
        return CannotCreate(error);
    }
    TemporaryPath cleanup(temporaryPath);
    if (opened->mode) {
        fs::permissions(temporaryPath, *opened->mode, fs::perm_options::replace, error);
        if (error) {
            return Failed(WriteFailureReason(error.value()));
        }
    }
    FileWriter writer(*temporary);
    if (!contents(writer) || !writer.Finish()) {
        return Failed(writer.Why());
    }
    fs::rename(temporaryPath, opened->path, error);
    if (error) {
        return Failed(WriteFailureReason(error.value()));
    }
    cleanup.Keep();
    return {};
}

WriteOutcome WriteFileAtomically(const fs::path& target, std::span<const std::string> pieces) {
    return WriteInOrder(target, pieces);
}

WriteOutcome WriteFileAtomically(const fs::path& target,
                                 std::span<const std::span<const std::uint8_t>> pieces) {
    return WriteInOrder(target, pieces);
}

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}
