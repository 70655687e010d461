// Replaces a file's whole contents at once: the new bytes go to a hidden
// temporary file beside the target, which is renamed over it only when complete.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

// What a write came to; the dialog turns it into the one message the user sees.
enum class WriteResult {
    Ok,
    CannotOpen,  // the target cannot be written (read-only, a directory, no folder, no rights)
    WriteFailed, // a write, flush or rename failed; the old file (or none) is left as it was
};

// Writes `pieces` in order, each with one write call of its own, as the new
// contents of `target`. An existing target must be a regular file that can be
// opened for writing; its exclusive lock is held until the rename, so other
// writers are denied, and its mode bits are carried over. A new file gets
// 0666 narrowed by the umask. Nothing is left behind when a write fails.
WriteResult WriteFileAtomically(const std::filesystem::path& target,
                                std::span<const std::string> pieces);

// The same replacement for large binary contents held elsewhere (an image's
// rows, say): each span is written with one write call, nothing is copied.
WriteResult WriteFileAtomically(const std::filesystem::path& target,
                                std::span<const std::span<const std::uint8_t>> pieces);

// Hands out the contents in order, one piece per call: the next bytes (valid
// until the following call), an empty span when all was handed out, or
// nullopt when the contents could not be produced.
using ContentSource = std::function<std::optional<std::span<const std::uint8_t>>()>;

// The same replacement for contents made while they are written, so that a
// large file never has to be held whole; nullopt from `next` fails the write.
WriteResult WriteFileAtomically(const std::filesystem::path& target, const ContentSource& next);

class File;

// Takes contents made in pieces, each written at its own position, in any
// order, by several threads at once if the maker likes.
class PositionedWriter {
public:
    explicit PositionedWriter(File& file) : file_(file) {}

    // Writes all of `bytes` at `position` and starts putting them on the
    // device, so that the flush before the rename waits for the last pieces
    // only. Threads may call it at the same time for disjoint ranges; pieces
    // of a few hundred KiB or more keep the device's requests large.
    bool WriteAt(std::int64_t position, std::span<const std::uint8_t> bytes);

private:
    File& file_;
};

// Writes the whole contents through the writer; false fails the replacement.
using PositionedContents = std::function<bool(PositionedWriter&)>;

// The same replacement for contents written piece by piece at chosen
// positions; `write` must have written every byte of the file when it
// returns true.
WriteResult WriteFileAtomically(const std::filesystem::path& target,
                                const PositionedContents& write);

// Makes a write beyond the file-size limit fail with EFBIG instead of killing
// the process with SIGXFSZ. Called once at start-up.
void IgnoreFileSizeSignal();
