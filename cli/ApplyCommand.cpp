// apply: each BMP put through the tables as the preview shows it (upright)
// and written as a 24-bit BMP or a PNG.
#include "cli/ApplyTargets.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/PngWriter.h"
#include "image/ApplyFile.h"

#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The output may not be the input itself (the same name, a link, -o onto the
// input's own folder): the scan would be lost in the rename.
bool IsSameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

// PNG needs the whole rendered image for Qt's encoder.
Reason WritePng(const ApplyTarget& target, const GammaTableSet& tables) {
    const Outcome<PreviewImage> preview = RenderBmpFile(target.input, tables);
    if (!preview) {
        return preview.Why();
    }
    return WritePngFile(target.output, *preview).Why;
}

bool ApplyOne(const ApplyTarget& target, const GammaTableSet& tables, std::ostream& err) {
    if (IsSameFile(target.input, target.output)) {
        err << FileError(target.output, kReasonIsInput);
        return false;
    }
    // BMP to BMP never decodes the whole image: stored rows go through the
    // tables and out a run at a time.
    const Reason failed = target.format == ImageFormat::Bmp
                              ? ApplyToBmpFile(target.input, target.output, tables)
                              : WritePng(target, tables);
    if (failed) {
        err << FileError(IsAboutOutput(failed) ? target.output : target.input, ReasonText(failed));
    }
    return !failed;
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
