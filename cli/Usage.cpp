// Help pages; PARAMS is always a parameter file (.tvp) or --defaults.
#include "cli/Usage.h"

namespace {

constexpr const char* kOverview =
    "Usage: tamrel-cli COMMAND [options] (PARAMS.tvp | --defaults) ...\n"
    "\n"
    "Gamma tables from a Tamrel parameter file, outside the window.\n"
    "\n"
    "Commands:\n"
    "  export  write the three table files, as the window's export does\n"
    "  apply   put BMP images through the tables (BMP or PNG out)\n"
    "  sane    print the gamma-table options for a SANE front end\n"
    "  cube    write the tables as a 1D LUT (.cube) file\n"
    "  table   print the tables: level, red, green, blue\n"
    "\n"
    "--defaults stands for the start-up parameters in place of PARAMS.\n"
    "'tamrel-cli COMMAND --help' describes one command.\n"
    "Exit status: 0 done, 1 an operation failed, 2 bad usage.\n";

constexpr const char* kExport =
    "Usage: tamrel-cli export [--force] (PARAMS.tvp | --defaults) OUT.tvk\n"
    "\n"
    "Writes the red, green and blue table files OUTR.tvk, OUTG.tvk and OUTB.tvk\n"
    "('R', 'G', 'B' put before the extension). An existing file is left alone,\n"
    "and nothing is written, unless --force is given.\n";

constexpr const char* kApply =
    "Usage: tamrel-cli apply (PARAMS.tvp | --defaults) IN.bmp OUT.bmp|OUT.png\n"
    "       tamrel-cli apply (PARAMS.tvp | --defaults) -o DIR [--png] IN.bmp...\n"
    "\n"
    "Puts every pixel of a BMP scanned at gamma 1.0 through the three tables and\n"
    "writes the image upright: a 24-bit BMP or a PNG, chosen by the extension.\n"
    "With -o each input is written into DIR under its own name (as NAME.png\n"
    "with --png). An output never replaces its own input.\n";

constexpr const char* kSane =
    "Usage: tamrel-cli sane (PARAMS.tvp | --defaults)\n"
    "\n"
    "Prints, on one line, the options that hand the tables to a SANE front end:\n"
    "--custom-gamma=yes --red-gamma-table V0,...,V255 --green-gamma-table ...\n"
    "--blue-gamma-table ...\n";

constexpr const char* kCube =
    "Usage: tamrel-cli cube (PARAMS.tvp | --defaults) OUT.cube\n"
    "\n"
    "Writes the tables as a 1D LUT: LUT_1D_SIZE 256, then one 'r g b' line per\n"
    "input level, each value divided by 255, with six decimals.\n";

constexpr const char* kTable =
    "Usage: tamrel-cli table (PARAMS.tvp | --defaults)\n"
    "\n"
    "Prints 256 lines 'level red green blue', one per input level 0..255.\n";

} // namespace

std::string HelpText(std::optional<CommandKind> command) {
    if (!command) {
        return kOverview;
    }
    switch (*command) {
    case CommandKind::Export:
        return kExport;
    case CommandKind::Apply:
        return kApply;
    case CommandKind::Sane:
        return kSane;
    case CommandKind::Cube:
        return kCube;
    case CommandKind::Table:
        return kTable;
    }
    return kOverview;
}

std::string UsageHint() {
    return "Try 'tamrel-cli --help'.\n";
}
