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

// BMP output streams through the tables band by band; PNG needs the whole
// rendered image for Qt's encoder.
bool WriteImage(const ApplyTarget& target, const ImageBuffer& image, const GammaTableSet& tables,
                std::ostream& err) {
    WriteResult result = WriteResult::Ok;
    if (target.format == ImageFormat::Bmp) {
        const auto layout = LayoutBmp24(image.Width, image.Height);
        if (!layout) {
            err << FileError(target.output, kReasonTooLargeForBmp);
            return false;
        }
        result = WriteRenderedBmp(target.output, *layout, image, tables);
    } else {
        const std::optional<PreviewImage> preview = BuildPreview(image, tables);
        if (!preview) {
            err << FileError(target.input, kReasonNoMemory);
            return false;
        }
        result = WritePngFile(target.output, *preview);
    }
    if (result != WriteResult::Ok) {
        err << FileError(target.output, ReasonOf(result));
        return false;
    }
    return true;
}

bool ApplyOne(const ApplyTarget& target, const GammaTableSet& tables, std::ostream& err) {
    if (IsSameFile(target.input, target.output)) {
        err << FileError(target.output, kReasonIsInput);
        return false;
    }
    const std::optional<LoadedImage> loaded = ReadImage(target.input, err);
    return loaded && WriteImage(target, loaded->image, tables, err);
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
