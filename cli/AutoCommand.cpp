// auto: a parameter file whose Black and White come from an image's levels
// by the window's rule, and whose Alpha and Gamma come from PARAMS. For a
// negative the levels are its positive's, and the film goes on unchanged.
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/ParamSource.h"
#include "curve/FilmTables.h"
#include "image/CountLevels.h"
#include "image/formats/BmpWriter.h"
#include "image/kernels/Histogram.h"
#include "io/ParamFileWriter.h"
#include "io/SameFile.h"

#include <ostream>

namespace fs = std::filesystem;

namespace {

// The image's level counts, taken as its rows stream past, or nullopt after
// the failure was reported.
std::optional<LevelHistogram> CountImage(const fs::path& input, std::ostream& err) {
    Reason warning;
    const Outcome<LevelHistogram> read = CountImageLevels(input, &warning);
    if (!read) {
        err << FileError(input, ReasonText(read.Why()));
        return std::nullopt;
    }
    if (warning) {
        err << FileError(input, ReasonText(warning));
    }
    const LevelHistogram& levels = *read;
    // No pixels give no levels: the rule would set Black 10 and White 200.
    if (levels.Pixels() == 0) {
        err << FileError(input, kNoPixels);
        return std::nullopt;
    }
    return levels;
}

} // namespace

int RunAuto(const CliCommand& command, std::ostream& err) {
    const auto params = ParamsOrReport(command, err);
    if (!params) {
        return kExitFailed;
    }
    const fs::path& input = command.inputs.front();
    if (IsSameFile(input, command.output)) {
        err << FileError(command.output, kReasonIsInput);
        return kExitFailed;
    }
    const auto histogram = CountImage(input, err);
    if (!histogram) {
        return kExitFailed;
    }
    const LevelHistogram positive = OutputHistogram(*histogram, FilmTables(params->channels));
    ParamPositionSet positions = params->Positions();
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        positions[ch] = WithAutoBlackWhite(positions[ch], positive.channels[ch],
                                           command.clipPercent.value_or(kDefaultClipPercent));
    }
    const WriteResult result = SaveParamFile(command.output, positions, params->film);
    if (result != WriteResult::Ok) {
        err << FileError(command.output, ReasonOf(result));
        return kExitFailed;
    }
    return kExitOk;
}
