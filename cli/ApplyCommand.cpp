// apply: each BMP read, rendered through the tables as the preview shows it
// (upright), and written as a 24-bit BMP or a PNG.
#include "cli/ApplyTargets.h"
#include "cli/BmpWriter.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/PngWriter.h"
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

WriteResult WriteImage(const ApplyTarget& target, PreviewImage&& preview) {
    if (target.format == ImageFormat::Png) {
        return WritePngFile(target.output, preview);
    }
    const auto layout = LayoutBmp24(preview.Width(), preview.Height());
    return layout ? WriteBmp24File(target.output, *layout, std::move(preview))
                  : WriteResult::WriteFailed;
}

bool ApplyOne(const ApplyTarget& target, const GammaTableSet& tables, std::ostream& err) {
    if (IsSameFile(target.input, target.output)) {
        err << FileError(target.output, kReasonIsInput);
        return false;
    }
    std::optional<PreviewImage> preview;
    {
        const std::optional<LoadedImage> loaded = ReadImage(target.input, err);
        if (!loaded) {
            return false;
        }
        preview = BuildPreview(loaded->image, tables);
    } // the decoded image is freed before the output is written
    if (!preview) {
        err << FileError(target.input, kReasonNoMemory);
        return false;
    }
    const WriteResult result = WriteImage(target, std::move(*preview));
    if (result != WriteResult::Ok) {
        err << FileError(target.output, ReasonOf(result));
        return false;
    }
    return true;
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
