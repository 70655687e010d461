// export: the three table files under the window's derived names, with its
// bytes and its safe write; existing files are kept unless --force is given.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/ParamSource.h"
#include "io/ExportNames.h"
#include "io/TableFile.h"

#include <ostream>

namespace {

// Names every existing file, so one run tells the user all that is in the way.
bool ReportExisting(const ExportNames& names, std::ostream& err) {
    bool any = false;
    for (const std::filesystem::path& name : names) {
        if (ExistsAsFile(name)) {
            err << FileError(name, kReasonExists);
            any = true;
        }
    }
    return any;
}

} // namespace

int RunExport(const CliCommand& command, std::ostream& err) {
    const auto params = ParamsOrReport(command, err);
    if (!params) {
        return kExitFailed;
    }
    const ExportNames names = DeriveExportNames(command.output);
    if (!command.force && ReportExisting(names, err)) {
        return kExitFailed;
    }
    // Files after the one that failed stay unwritten.
    WarnNarrowNegative(params->film.IsNegative(), kWindowShape, err);
    const TableFilesOutcome written = WriteTableFiles(names, params->tables);
    if (written.Result != WriteResult::Ok) {
        err << FileError(written.FailedFile, ReasonText(written.Why));
        return kExitFailed;
    }
    return kExitOk;
}
