// A file descriptor with the few operations the readers and writers need:
// open with an advisory lock, length, absolute seek, counted read and write.
// Errors come back as values (errno codes), never as exceptions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>

class File {
public:
    // Opens for reading and takes a shared lock, so no cooperating writer holds
    // the file meanwhile (and none can start). Fails when a writer holds it.
    static std::optional<File> OpenForReading(const std::filesystem::path& path,
                                              std::error_code& error);

    // Creates a new file that must not exist yet (O_EXCL), for writing only,
    // and takes an exclusive lock, denying other writers and readers.
    static std::optional<File> CreateExclusive(const std::filesystem::path& path,
                                               std::error_code& error);

    // Opens an existing file for writing without changing its contents and
    // takes an exclusive lock; tells whether the file could be written.
    static std::optional<File> OpenExistingForWriting(const std::filesystem::path& path,
                                                      std::error_code& error);

    // A file without a name in `folder`, for reading and writing, gone with
    // its last descriptor: scratch space that a crash cannot leave behind.
    static std::optional<File> CreateScratch(const std::filesystem::path& folder,
                                             std::error_code& error);

    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    // -1 when the length cannot be had.
    std::int64_t Length() const;
    // Reads up to `size` bytes, retrying short reads until the end of the file;
    // returns the count read, or -1 on an error.
    std::int64_t Read(void* buffer, std::size_t size);
    // Reads up to `size` bytes at an absolute position without moving the
    // file position, so several threads may read one file at once; returns
    // the count read (short only at the end of the file), or -1 on an error
    // or a negative position.
    std::int64_t ReadAt(std::int64_t position, void* buffer, std::size_t size) const;
    // Writes all `size` bytes or fails; false on any error (a full disk, a
    // file-size limit).
    bool Write(const void* buffer, std::size_t size);
    // Writes all `size` bytes at an absolute position without moving the file
    // position, so several threads may write disjoint parts of one file at
    // once; false on any error or a negative position.
    bool WriteAt(std::int64_t position, const void* buffer, std::size_t size);
    // Flushes to the device; false on an error.
    bool Sync();
    // Closes now; false when the close reported an error (a late write error).
    bool Close();

    int Descriptor() const { return fd_; }

private:
    friend struct FileOpener;
    explicit File(int fd) : fd_(fd) {}
    int fd_ = -1;
};
