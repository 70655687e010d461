// roll: a roll of film scanned as strips, each frame found, one film for
// the roll (its base, the balance of its channels), every frame a positive
// through its own exposure. Each strip is read twice: once for the roll's
// film, once for its frames' outputs. A strip that cannot be read or shows
// no frame is named and the others go on; a pick that cannot be used
// writes nothing.
#include "cli/ApplyTargets.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/FilmProblems.h"
#include "cli/Messages.h"
#include "cli/ParamSource.h"
#include "cli/RectArgument.h"
#include "cli/RollFormat.h"
#include "image/RollOutputs.h"
#include "measure/RollStrip.h"

#include <ostream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNoFrame =
    "no frame found: a linear scan of a film strip in its holder shows its frames between "
    "lines of unexposed film";

// The picks on the strips: which strip each names, and the regions to
// count on each strip (the base first, then the neutrals in order).
struct RollPlan {
    std::optional<std::size_t> baseStrip;
    std::vector<std::size_t> neutralStrips;
    std::vector<std::vector<PixelRect>> regions; // per strip
};

std::string StripPickText(const CliCommand& command, std::size_t which) {
    const StripPick& pick = which == 0 ? *command.stripBase : command.stripNeutrals[which - 1];
    return std::string(which == 0 ? "--base " : "--neutral ") + pick.strip + ":" +
           RectArgumentText(pick.rect);
}

// Bad usage when a pick names no strip of the roll.
std::string PlanPicks(const CliCommand& command, RollPlan& plan) {
    plan.regions.assign(command.inputs.size(), {});
    if (command.stripBase) {
        plan.baseStrip = StripOfPick(*command.stripBase, command.inputs);
        if (!plan.baseStrip) {
            return StripPickText(command, 0) + ": no strip of the roll is named " +
                   command.stripBase->strip;
        }
        plan.regions[*plan.baseStrip].push_back(command.stripBase->rect);
    }
    for (std::size_t k = 0; k < command.stripNeutrals.size(); ++k) {
        const std::optional<std::size_t> strip =
            StripOfPick(command.stripNeutrals[k], command.inputs);
        if (!strip) {
            return StripPickText(command, k + 1) + ": no strip of the roll is named " +
                   command.stripNeutrals[k].strip;
        }
        plan.neutralStrips.push_back(*strip);
        plan.regions[*strip].push_back(command.stripNeutrals[k].rect);
    }
    return {};
}

// The picks' medians, read off the strips in the order the plan counted them.
RollPicks PicksOf(const RollPlan& plan, const std::vector<RollStrip>& strips) {
    RollPicks picks;
    std::vector<std::size_t> next(strips.size(), 0);
    if (plan.baseStrip) {
        picks.base = strips[*plan.baseStrip].medians[next[*plan.baseStrip]++];
        picks.baseStrip = *plan.baseStrip;
    }
    for (const std::size_t strip : plan.neutralStrips) {
        picks.neutrals.push_back(strips[strip].medians[next[strip]++]);
    }
    return picks;
}

// The pick whose region `region` of strip `strip` is, 0 the base.
std::size_t PickOfRegion(const RollPlan& plan, std::size_t strip, std::size_t region) {
    if (plan.baseStrip == strip && region == 0) {
        return 0;
    }
    std::size_t seen = plan.baseStrip == strip ? 1 : 0;
    for (std::size_t k = 0; k < plan.neutralStrips.size(); ++k) {
        if (plan.neutralStrips[k] == strip && seen++ == region) {
            return k + 1;
        }
    }
    return 0;
}

// Every strip read; false when a pick lies off its strip (said on `err`).
// A strip that cannot be read or shows no frame is said and marks `failed`.
bool ReadStrips(const CliCommand& command, const RollPlan& plan, FilmMode mode,
                std::vector<RollStrip>& strips, bool& failed, std::ostream& err) {
    for (std::size_t s = 0; s < command.inputs.size(); ++s) {
        const fs::path& scan = command.inputs[s];
        StripReading read = ReadRollStrip(scan, plan.regions[s], mode);
        if (read.offImage) {
            err << FileError(scan, StripPickText(command, PickOfRegion(plan, s, *read.offImage)) +
                                       " lies outside the strip (" +
                                       std::to_string(read.strip.width) + " x " +
                                       std::to_string(read.strip.height) + " pixels)");
            return false;
        }
        if (read.why) {
            err << FileError(scan, ReasonText(read.why));
            failed = true;
        } else if (read.strip.frames.frames.empty()) {
            err << FileError(scan, kNoFrame);
            failed = true;
        }
        strips.push_back(std::move(read.strip));
    }
    return true;
}

// The folder, made where it is missing; false after saying why.
bool MakeFolder(const fs::path& folder, std::ostream& err) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder)) {
        err << FileError(folder, error ? error.message() : "not a folder");
        return false;
    }
    return true;
}

// The roll's film, or nullopt after a pick that cannot be used was said.
std::optional<RollFit> FitOrReport(const CliCommand& command, const RollPlan& plan,
                                   const std::vector<RollStrip>& strips, std::ostream& err) {
    const FilmMode mode =
        command.blackAndWhite ? FilmMode::BlackAndWhite : FilmMode::ColourNegative;
    RollFit fit = FitStrips(mode, strips, PicksOf(plan, strips));
    if (fit.problem.fault != FilmFault::None) {
        const std::size_t which =
            fit.problem.fault == FilmFault::BaseNotClearest ? 0 : fit.problem.which;
        const std::size_t strip =
            which == 0 ? plan.baseStrip.value_or(0) : plan.neutralStrips[which - 1];
        err << FileError(command.inputs[strip],
                         FilmProblemText(
                             fit.problem, [&](std::size_t k) { return StripPickText(command, k); },
                             "the strip's frames"));
        return std::nullopt;
    }
    return fit;
}

// The file a problem is said of: the output, unless the strip could not be read.
const fs::path& FileOf(const RollProblem& problem) {
    const bool aboutStrip =
        problem.output.empty() ||
        (!problem.replacesStrip && !problem.strip.empty() && !IsAboutOutput(problem.why));
    return aboutStrip ? problem.strip : problem.output;
}

bool WriteRoll(const CliCommand& command, const ParamSet& params, const RollFit& fit,
               const std::vector<RollStrip>& strips, std::ostream& err) {
    RollTarget target{command.output, command.inputs, params.Positions(), RollFormat(command), {}};
    target.options.Compression = TiffCompressionOf(command.compression);
    target.options.Quality = command.quality;
    std::vector<std::vector<PixelRect>> rects;
    for (const RollStrip& strip : strips) {
        rects.push_back(strip.frames.frames);
    }
    const std::vector<RollFrame> frames = NumberFrames(rects, fit.frames);
    const std::vector<RollProblem> problems = WriteRoll(target, fit.roll, frames);
    for (const RollProblem& problem : problems) {
        err << FileError(FileOf(problem), problem.replacesStrip ? std::string(kReasonIsInput)
                                                                : ReasonText(problem.why));
    }
    return problems.empty();
}

} // namespace

int RunRoll(const CliCommand& command, std::ostream& err) {
    RollPlan plan;
    if (const std::string bad = PlanPicks(command, plan); !bad.empty()) {
        return ReportUsage(command, bad, err);
    }
    const std::optional<ParamSet> params = ParamsOrReport(command, err);
    if (!params) {
        return kExitFailed;
    }
    const FilmMode mode =
        command.blackAndWhite ? FilmMode::BlackAndWhite : FilmMode::ColourNegative;
    std::vector<RollStrip> strips;
    bool failed = false;
    if (!ReadStrips(command, plan, mode, strips, failed, err)) {
        return kExitFailed;
    }
    const bool anyFrame = std::any_of(strips.begin(), strips.end(), [](const RollStrip& strip) {
        return !strip.frames.frames.empty();
    });
    if (!anyFrame) {
        return kExitFailed;
    }
    const std::optional<RollFit> fit = FitOrReport(command, plan, strips, err);
    if (!fit) {
        return kExitFailed;
    }
    const bool written =
        MakeFolder(command.output, err) && WriteRoll(command, *params, *fit, strips, err);
    return written && !failed ? kExitOk : kExitFailed;
}
