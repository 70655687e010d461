// WriteStreamedBmp: the streamed conversion from a locked input file into an
// output file replaced safely, each read and written at absolute positions.
#include "cli/StreamedBmp.h"

#include "io/AtomicWrite.h"
#include "io/File.h"

#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {

class WriterSink final : public ChunkSink {
public:
    explicit WriterSink(PositionedWriter& writer) : writer_(writer) {}
    bool WriteAt(std::int64_t position, std::span<const std::uint8_t> bytes) override {
        return writer_.WriteAt(position, bytes);
    }

private:
    PositionedWriter& writer_;
};

// The file grows as the pieces land, so the size is not needed up front.
class SafeFileOutput final : public StreamOutput {
public:
    explicit SafeFileOutput(const fs::path& path) : path_(path) {}
    WriteResult Write(std::int64_t, const ChunkContents& contents) override {
        return WriteFileAtomically(path_, [&contents](PositionedWriter& writer) {
            WriterSink sink(writer);
            return contents(sink);
        });
    }

private:
    const fs::path& path_;
};

} // namespace

StreamedBmpResult WriteStreamedBmp(const fs::path& input, const fs::path& output,
                                   const std::array<GammaTable, 3>& tables,
                                   const StreamOptions& options) {
    std::error_code error;
    const std::optional<File> file = File::OpenForReading(input, error);
    if (!file) {
        return StreamedBmpResult::CannotOpenInput;
    }
    FileSource source(*file);
    SafeFileOutput target(output);
    return StreamBmp(source, target, tables, options); // the input closes on every path
}
