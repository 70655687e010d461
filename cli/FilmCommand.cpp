// film: PARAMS' twelve positions and a film measured on a scan of one frame,
// written as a parameter file for the whole roll; nothing is written when a
// rectangle or a pick cannot be used.
#include "cli/Commands.h"
#include "cli/FilmProblems.h"
#include "cli/Messages.h"
#include "cli/ParamSource.h"
#include "cli/RectArgument.h"
#include "image/formats/FileRows.h"
#include "io/ParamFileWriter.h"
#include "io/SameFile.h"
#include "measure/FilmMeasure.h"

#include <ostream>

namespace fs = std::filesystem;

namespace {

// "--base 0,0,10,10" or "--neutral 5,5,10,10", by the problem's number.
std::string PickText(const CliCommand& command, std::size_t which) {
    return which == 0 ? "--base " + RectArgumentText(*command.filmBase)
                      : "--neutral " + RectArgumentText(command.neutrals[which - 1]);
}

std::string ProblemText(const CliCommand& command, const FilmProblem& problem,
                        const RowLayout& layout) {
    if (problem.fault == FilmFault::RectangleOffImage) {
        return PickText(command, problem.which) + " lies outside the image (" +
               std::to_string(layout.Width) + " x " + std::to_string(layout.Height) + " pixels)";
    }
    return FilmProblemText(
        problem, [&](std::size_t which) { return PickText(command, which); }, "the frame");
}

// The film measured on the scan, or nullopt after the failure was reported.
std::optional<FilmSettings> MeasureScan(const CliCommand& command, std::ostream& err) {
    const fs::path& scan = command.inputs.front();
    FilmRequest request;
    request.mode = command.blackAndWhite ? FilmMode::BlackAndWhite : FilmMode::ColourNegative;
    request.base = command.filmBase;
    request.neutrals = command.neutrals;
    RowLayout layout;
    Reason warning;
    const Outcome<FilmMeasurement> measured = UseFileRows(
        scan, ReadFormatOf(scan),
        [&](const RowSource& rows) -> Outcome<FilmMeasurement> {
            layout = rows.Layout();
            FilmMeasurement film = MeasureFilm(rows, request);
            if (film.read) {
                return film.read;
            }
            return film;
        },
        &warning);
    if (!measured) {
        err << FileError(scan, ReasonText(measured.Why()));
        return std::nullopt;
    }
    if (warning) {
        err << FileError(scan, ReasonText(warning));
    }
    if (measured->problem.fault != FilmFault::None) {
        err << FileError(scan, ProblemText(command, measured->problem, layout));
        return std::nullopt;
    }
    return measured->film;
}

} // namespace

int RunFilm(const CliCommand& command, std::ostream& err) {
    const auto params = ParamsOrReport(command, err);
    if (!params) {
        return kExitFailed;
    }
    if (IsSameFile(command.inputs.front(), command.output)) {
        err << FileError(command.output, kReasonIsInput);
        return kExitFailed;
    }
    const std::optional<FilmSettings> film = MeasureScan(command, err);
    if (!film) {
        return kExitFailed;
    }
    const WriteOutcome written = SaveParamFile(command.output, params->Positions(), *film);
    if (written.Result != WriteResult::Ok) {
        err << FileError(command.output, ReasonText(written.Why));
        return kExitFailed;
    }
    return kExitOk;
}
