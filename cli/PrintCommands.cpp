// sane and table: the tables as text on standard output.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/SaneOptions.h"
#include "cli/TableListing.h"

int RunSane(const CliCommand& command, std::ostream& out, std::ostream& err) {
    const auto tables = TablesOrReport(command, err);
    return tables ? PrintAll(FormatSaneOptions(*tables), out, err) : kExitFailed;
}

int RunTable(const CliCommand& command, std::ostream& out, std::ostream& err) {
    const auto tables = TablesOrReport(command, err);
    return tables ? PrintAll(FormatTableListing(*tables), out, err) : kExitFailed;
}
