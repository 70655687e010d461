// Replaces a file's whole contents at once: the new bytes go to a hidden
// temporary file beside the target, which is renamed over it only when complete.
#pragma once

#include "io/Reason.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

// What a write came to; the dialog turns it into the one message the user sees.
enum class WriteResult {
    Ok,
    CannotOpen,  // the target cannot be written (read-only, a directory, no folder, no rights)
    WriteFailed, // a write, flush or rename failed; the old file (or none) is left as it was
};

// The result with its reason: CannotCreate for CannotOpen; DiskFull,
// FileSizeLimit or WriteFailed (Value = errno) for a failed write. Converts
// to the bare result for callers that only show one of two messages.
struct WriteOutcome {
    WriteResult Result = WriteResult::Ok;
    Reason Why;

    operator WriteResult() const { return Result; } // NOLINT: kept implicit on purpose
};

// The reason for a failed write, flush or rename with this errno.
Reason WriteFailureReason(int error);

// Takes contents made in pieces, each written at its own position, in any
// order, by several threads at once if the maker likes.
class PositionedWriter {
public:
    // Writes all of `bytes` at `position`. Threads may call it at the same
    // time for disjoint ranges. False fails the whole output.
    virtual bool WriteAt(std::int64_t position, std::span<const std::uint8_t> bytes) = 0;

protected:
    ~PositionedWriter() = default;
};

// Writes the whole contents through the writer; false fails the replacement.
using PositionedContents = std::function<bool(PositionedWriter&)>;

// Writes the contents as the new contents of `target`; they must have written
// every byte of the file when they return true. An existing target must be a
// regular file that can be opened for writing; its exclusive lock is held
// until the rename, so other writers are denied, and its mode bits are
// carried over. A new file gets 0666 narrowed by the umask. Nothing is left
// behind when a write fails or the contents give up.
WriteOutcome WriteFileAtomically(const std::filesystem::path& target,
                                 const PositionedContents& contents);

// The same for pieces written in order one after the other, each with one
// write call of its own (a text file's lines, an encoded image).
WriteOutcome WriteFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::string> pieces);
WriteOutcome WriteFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::span<const std::uint8_t>> pieces);

// Makes a write beyond the file-size limit fail with EFBIG instead of killing
// the process with SIGXFSZ. Called once at start-up.
void IgnoreFileSizeSignal();
