// apply: each BMP read, rendered through the tables as the preview shows it
// (upright), and written as a 24-bit BMP or a PNG.
#include "cli/ApplyTargets.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/PngWriter.h"
#include "cli/StreamedBmp.h"
#include "image/BmpReader.h"
#include "image/PixelMemory.h"
#include "image/RenderPreview.h"
#include "io/File.h"

#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A decoded image that frees its pixels.
struct LoadedImage {
    ImageBuffer image{};
    MallocPtr<std::uint8_t> pixels;
};

// LoadBmpFile says only yes or no; a file that will not even open gets the
// plainer reason.
std::optional<LoadedImage> ReadImage(const fs::path& input, std::ostream& err) {
    std::error_code error;
    if (!File::OpenForReading(input, error)) {
        err << FileError(input, kReasonCannotOpen);
        return std::nullopt;
    }
    LoadedImage loaded;
    if (LoadBmpFile(&loaded.image, input) != kBmpLoaded) {
        err << FileError(input, kReasonNotBmp);
        return std::nullopt;
    }
    loaded.pixels.reset(loaded.image.Pixels);
    if (loaded.image.Width == 0 || loaded.image.Height == 0) {
        err << FileError(input, kReasonNoPixels);
        return std::nullopt;
    }
    return loaded;
}

// The output may not be the input itself (the same name, a link, -o onto the
// input's own folder): the scan would be lost in the rename.
bool IsSameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

// PNG needs the whole rendered image for Qt's encoder.
bool WritePng(const ApplyTarget& target, const GammaTableSet& tables, std::ostream& err) {
    const std::optional<LoadedImage> loaded = ReadImage(target.input, err);
    if (!loaded) {
        return false;
    }
    const std::optional<PreviewImage> preview = BuildPreview(loaded->image, tables);
    if (!preview) {
        err << FileError(target.input, kReasonNoMemory);
        return false;
    }
    const WriteResult result = WritePngFile(target.output, *preview);
    if (result != WriteResult::Ok) {
        err << FileError(target.output, ReasonOf(result));
        return false;
    }
    return true;
}

// The file a streamed BMP failure is about, and the reason given for it. A
// read that fails part-way is reported as the reader reports it.
void ReportStreamed(StreamedBmpResult result, const ApplyTarget& target, std::ostream& err) {
    switch (result) {
    case StreamedBmpResult::Ok:
        return;
    case StreamedBmpResult::CannotOpenInput:
        err << FileError(target.input, kReasonCannotOpen);
        return;
    case StreamedBmpResult::NotBmp:
    case StreamedBmpResult::ReadFailed:
        err << FileError(target.input, kReasonNotBmp);
        return;
    case StreamedBmpResult::NoPixels:
        err << FileError(target.input, kReasonNoPixels);
        return;
    case StreamedBmpResult::NoMemory:
        err << FileError(target.input, kReasonNoMemory);
        return;
    case StreamedBmpResult::TooLargeForBmp:
        err << FileError(target.output, kReasonTooLargeForBmp);
        return;
    case StreamedBmpResult::CannotOpenOutput:
        err << FileError(target.output, ReasonOf(WriteResult::CannotOpen));
        return;
    case StreamedBmpResult::WriteFailed:
        err << FileError(target.output, ReasonOf(WriteResult::WriteFailed));
        return;
    }
}

bool ApplyOne(const ApplyTarget& target, const GammaTableSet& tables, std::ostream& err) {
    if (IsSameFile(target.input, target.output)) {
        err << FileError(target.output, kReasonIsInput);
        return false;
    }
    // BMP to BMP never decodes the whole image: stored rows go through the
    // tables and out a chunk at a time.
    if (target.format == ImageFormat::Bmp) {
        const StreamedBmpResult result = WriteStreamedBmp(target.input, target.output, tables);
        ReportStreamed(result, target, err);
        return result == StreamedBmpResult::Ok;
    }
    return WritePng(target, tables, err);
}

} // namespace

int RunApply(const CliCommand& command, std::ostream& err) {
    const auto tables = TablesOrReport(command, err);
    if (!tables) {
        return kExitFailed;
    }
    // One failed image does not stop the others; the status still says so.
    int status = kExitOk;
    for (const ApplyTarget& target : ApplyTargets(command)) {
        if (!ApplyOne(target, *tables, err)) {
            status = kExitFailed;
        }
    }
    return status;
}
