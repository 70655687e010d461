// POSIX file access with advisory locks standing in for share modes.
#include "io/File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

constexpr mode_t kNewFileMode = 0666; // narrowed by the umask, as for any new file

std::optional<File> Fail(std::error_code& error) {
    error = std::error_code(errno, std::generic_category());
    return std::nullopt;
}

// A file of this program that another instance holds is refused at once
// rather than waited for.
bool Lock(int fd, int operation) {
    return ::flock(fd, operation | LOCK_NB) == 0;
}

// Repeats a transfer until `size` bytes have moved, retrying interrupted
// calls; the count moved, or -1 on an error. A call that moves nothing (the
// end of a file being read) ends it early.
template <class Transfer> std::int64_t TransferAll(std::size_t size, Transfer transfer) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = transfer(done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

} // namespace

struct FileOpener {
    static std::optional<File> Open(const std::filesystem::path& path, int flags, int lock,
                                    std::error_code& error) {
        // Non-blocking, so a FIFO without a peer cannot hang the open; only
        // regular files are accepted after it (a FIFO or a device such as
        // /dev/zero could hang or never end a read), and reads and writes
        // then block as usual.
        const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, kNewFileMode);
        if (fd < 0) {
            return Fail(error);
        }
        File file(fd);
        struct stat info {};
        if (::fstat(fd, &info) != 0) {
            return Fail(error);
        }
        if (S_ISDIR(info.st_mode)) {
            error = std::make_error_code(std::errc::is_a_directory);
            return std::nullopt;
        }
        if (!S_ISREG(info.st_mode)) {
            error = std::make_error_code(std::errc::invalid_argument);
            return std::nullopt;
        }
        const int status = ::fcntl(fd, F_GETFL);
        if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0 || !Lock(fd, lock)) {
            return Fail(error);
        }
        error.clear();
        return file;
    }
};

std::optional<File> File::OpenForReading(const std::filesystem::path& path,
                                         std::error_code& error) {
    return FileOpener::Open(path, O_RDONLY, LOCK_SH, error);
}

std::optional<File> File::CreateExclusive(const std::filesystem::path& path,
                                          std::error_code& error) {
    return FileOpener::Open(path, O_WRONLY | O_CREAT | O_EXCL, LOCK_EX, error);
}

std::optional<File> File::OpenExistingForWriting(const std::filesystem::path& path,
                                                 std::error_code& error) {
    return FileOpener::Open(path, O_WRONLY, LOCK_EX, error);
}

// O_TMPFILE where the file system has it; elsewhere a named file, removed
// at once.
std::optional<File> File::CreateScratch(const std::filesystem::path& folder,
                                        std::error_code& error) {
    constexpr mode_t kPrivateMode = 0600;
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, kPrivateMode);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
        std::string name = (folder / ".tamrel-scratch-XXXXXX").string();
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0) {
            ::unlink(name.c_str());
        }
    }
    if (fd < 0) {
        return Fail(error);
    }
    error.clear();
    return File(fd);
}

File::File(File&& other) noexcept : fd_(other.fd_) {
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

File::~File() {
    Close();
}

std::int64_t File::Length() const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(info.st_size);
}

std::int64_t File::Read(void* buffer, std::size_t size) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    return TransferAll(size,
                       [&](std::size_t done) { return ::read(fd_, bytes + done, size - done); });
}

std::int64_t File::ReadAt(std::int64_t position, void* buffer, std::size_t size) const {
    if (fd_ < 0 || position < 0) {
        return -1;
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    return TransferAll(size, [&](std::size_t done) {
        return ::pread(fd_, bytes + done, size - done,
                       static_cast<off_t>(position) + static_cast<off_t>(done));
    });
}

bool File::Write(const void* buffer, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    return TransferAll(size, [&](std::size_t done) {
               return ::write(fd_, bytes + done, size - done);
           }) == static_cast<std::int64_t>(size);
}

bool File::WriteAt(std::int64_t position, const void* buffer, std::size_t size) {
    if (fd_ < 0 || position < 0) {
        return false;
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    return TransferAll(size, [&](std::size_t done) {
               return ::pwrite(fd_, bytes + done, size - done,
                               static_cast<off_t>(position) + static_cast<off_t>(done));
           }) == static_cast<std::int64_t>(size);
}

bool File::Sync() {
    return fd_ >= 0 && ::fsync(fd_) == 0;
}

bool File::Close() {
    if (fd_ < 0) {
        return true;
    }
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0; // the lock goes with the descriptor
}
