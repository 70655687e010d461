// Help pages; PARAMS is always a parameter file (.tvp) or --defaults.
#include "cli/Usage.h"

#include "image/formats/FormatTable.h"

#include <string_view>

namespace {

constexpr const char* kOverview =
    "Usage: tamrel-cli COMMAND [options] (PARAMS.tvp | --defaults) ...\n"
    "\n"
    "Gamma tables from a Tamrel parameter file, outside the window.\n"
    "\n"
    "Commands:\n"
    "  export  write the three table files, as the window's export does\n"
    "  apply   put images through the tables (BMP, PNM, PNG, TIFF, JPEG or PDF)\n"
    "  sane    print the gamma-table options for a SANE front end\n"
    "  cube    write the tables as a 1D LUT (.cube) file\n"
    "  table   print the tables: level, red, green, blue\n"
    "  devices list the scanners SANE finds, or one device's options (no PARAMS)\n"
    "  auto    a parameter file with Black and White read from an image\n"
    "  scan    scan a page (or a feeder's pages) with the tables in the device,\n"
    "          or --linear\n"
    "  calibrate  the twelve positions and an input profile from a linear scan\n"
    "          of a colour chart (no PARAMS)\n"
    "  assess  a chart scan as delivered judged against the imaging guidelines\n"
    "          (FADGI, ISO 19264-1, Metamorfoze); fits nothing (no PARAMS)\n"
    "  film    a parameter file that turns a negative into a positive, measured\n"
    "          on one frame of the roll\n"
    "  roll    every frame of a roll scanned as strips, found and made a positive\n"
    "          through one film for the roll\n"
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

constexpr const char* kApplyHead =
    "Usage: tamrel-cli apply (PARAMS.tvp | --defaults) [--compress [deflate|lzw]]\n"
    "                        [--quality Q] IN... OUT\n"
    "       tamrel-cli apply (PARAMS.tvp | --defaults) [--compress [deflate|lzw]]\n"
    "                        [--quality Q] -o DIR [--png] IN...\n"
    "\n"
    "Puts every pixel of an image scanned at gamma 1.0 through the three tables\n"
    "and writes it upright. A grey input through three equal tables stays grey\n"
    "(one channel) in PNM, PNG, TIFF, JPEG and PDF; through tables that differ,\n"
    "and in BMP, it comes out in colour. Inputs: .bmp, .pnm/.ppm/.pgm (binary,\n"
    "maxval up to 65535), .png, .tif/.tiff (8 or 16 bits), .jpg/.jpeg (8 bits,\n"
    "baseline or progressive); any other name is read as BMP. The output's\n"
    "extension picks its format:\n";

constexpr const char* kApplyTail =
    "An 8-bit input, and any input to BMP, goes through the 256-entry tables; a\n"
    "16-bit input to any other output goes through tables of 65536 entries (and\n"
    "is rounded to 8 bits for JPEG). Several inputs go into one output only as\n"
    "the pages of a PDF, in order; an input that fails writes no PDF.\n"
    "With -o each input is written into DIR under its own name (a .pgm as .ppm\n"
    "when the tables differ; as NAME.png with --png). An output never replaces\n"
    "its own input. A .pgm output takes grey only: a colour result is refused.\n"
    "The input's resolution goes to every output but PNM; its ICC profile goes\n"
    "to PNG, TIFF, JPEG and PDF outputs, rewritten for the tables (each channel's\n"
    "tone curve after the inverse of its table). A profile LittleCMS cannot read\n"
    "is an error.\n";

constexpr const char* kSane =
    "Usage: tamrel-cli sane (PARAMS.tvp | --defaults) [--size N] [--max M]\n"
    "       tamrel-cli sane (PARAMS.tvp | --defaults) --device NAME [--channel C]\n"
    "\n"
    "Prints, on one line, the options that hand the tables to a SANE front end:\n"
    "--custom-gamma=yes --red-gamma-table V0,...,V255 --green-gamma-table ...\n"
    "--blue-gamma-table ...\n"
    "--size N and --max M give tables of N entries (2..65536) of 0..M (1..65535);\n"
    "256 and 255 by default.\n"
    "--device NAME opens the scanner through libsane and prints each table at the\n"
    "size and range the device takes, --custom-gamma=yes only where it has that\n"
    "option. A device with one intensity table (gamma-table) gets it when the three\n"
    "curves are equal; --channel red|green|blue picks the curve otherwise.\n"
    "A table too long for one argument (128 KiB) is an error: 'tamrel-cli scan'\n"
    "sets such tables through libsane directly.\n";

constexpr const char* kCube =
    "Usage: tamrel-cli cube (PARAMS.tvp | --defaults) [--size N] OUT.cube\n"
    "\n"
    "Writes the tables as a 1D LUT: LUT_1D_SIZE N (256 by default), then one\n"
    "'r g b' line per entry with six decimals. At 256 entries the values are the\n"
    "window's levels divided by 255; at any other size (2..65536) the curve is\n"
    "sampled at 16 bits and divided by 65535. OUT is never PARAMS itself.\n";

constexpr const char* kTable =
    "Usage: tamrel-cli table (PARAMS.tvp | --defaults) [--size N] [--max M]\n"
    "\n"
    "Prints N lines 'entry red green blue' of levels 0..M; by default 256 lines of\n"
    "0..255, one per input level. Entry j stands for input level j * 255 / (N - 1).\n";

constexpr const char* kDevices =
    "Usage: tamrel-cli devices\n"
    "       tamrel-cli devices --options DEVICE\n"
    "\n"
    "Lists the scanners SANE finds, one per line: the device name (for sane\n"
    "--device), then vendor, model and type, separated by tabs.\n"
    "With --options, lists the options of DEVICE, one per line: name, value now\n"
    "and what it accepts (e.g. 'source<TAB>Flatbed<TAB>Flatbed|ADF', or\n"
    "'tl-x<TAB>0<TAB>0..215.9 mm'), separated by tabs: what scan's --source,\n"
    "--area, --mode and --option take. An option that another one switches off\n"
    "shows '(inactive)'.\n";

constexpr const char* kAuto =
    "Usage: tamrel-cli auto (PARAMS.tvp | --defaults) IN.bmp OUT.tvp [--clip PCT]\n"
    "\n"
    "Writes a parameter file with Alpha and Gamma from PARAMS and, per channel,\n"
    "Black and White from the levels of IN, as the window's context menu sets them:\n"
    "Black is the largest level 0..10 with at most PCT % of the pixels at or below\n"
    "it, White the smallest level with at most PCT % at or above it, but at least\n"
    "200. PCT is 0..100, 0.1 by default. An unreadable image writes nothing.\n";
constexpr const char* kScan =
    "Usage: tamrel-cli scan (PARAMS.tvp | --defaults | --linear) OUT [--device NAME]\n"
    "                       [--resolution DPI] [--mode Color|Gray] [--depth 8|16]\n"
    "                       [--source NAME] [--area LEFT,TOP,WIDTH,HEIGHT]\n"
    "                       [--option NAME=VALUE]... [--batch] [--profile FILE.icc]\n"
    "                       [--compress [deflate|lzw]] [--quality Q] [--force]\n"
    "\n"
    "Scans one page through SANE. With PARAMS or --defaults the device applies the\n"
    "tables; a device without gamma tables scans linearly and the tables are\n"
    "applied to the scanned rows (a line on standard error says so). --linear\n"
    "scans at gamma 1.0, the image to tune the curves on. OUT's extension picks\n"
    "the format (a grey scan stays grey in PNM, PNG, TIFF, JPEG and PDF, and has\n"
    "equal red, green and blue in BMP):\n"
    "%FORMATS%"
    "Without --device the first device SANE lists is used. --option sets any of\n"
    "the device's options by name, as 'scanimage --help -d NAME' lists them,\n"
    "e.g. --option source=Transparency. Ctrl+C cancels; a failed or cancelled\n"
    "scan leaves no file. The scan's resolution is recorded in every format but\n"
    "PNM.\n"
    "--source NAME picks one of the device's sources (flatbed, document feeder,\n"
    "...), in any letter case; an unknown one is bad usage that lists them.\n"
    "--area scans LEFT,TOP,WIDTH,HEIGHT millimetres of the bed (as scanimage's\n"
    "-l -t -x -y), set in the device's own unit; an area off the bed is bad\n"
    "usage that names the bed's limits. 'tamrel-cli devices --options NAME'\n"
    "shows the sources and the bed.\n"
    "--batch scans pages until the document feeder is empty. OUT then holds one\n"
    "printf-style %d for the page number, counted from 1, with optional flags,\n"
    "width and precision (page%03d.tif gives page001.tif, page002.tif, ...; %%\n"
    "is a percent sign). Each page is written to its own name, which is printed\n"
    "on standard output once the file is complete. The exit status is 0 when\n"
    "the feeder ran empty after one page or more, 1 when the first page found\n"
    "no document, a later page failed or Ctrl+C stopped it (the pages printed\n"
    "stay; the page being scanned leaves nothing), 2 for a flatbed source.\n"
    "With a .pdf OUT without %d every page goes into that one PDF, which is\n"
    "written and its name printed when the batch ends: after a failure or Ctrl+C\n"
    "it holds the pages finished before it (the exit status is still 1); a\n"
    "first page that fails writes nothing.\n"
    "--profile names the scanner's input profile (of the linear scan): it is\n"
    "embedded as it is in a linear scan, and rewritten for the tables otherwise.\n"
    "--compress compresses TIFF as for apply (a TIFF output only).\n"
    "An existing OUT, or for --batch any existing file of its numbering, is left\n"
    "alone and nothing is scanned (exit status 1, naming it) unless --force is\n"
    "given: a scan cannot be made again from its input as other outputs can.\n";

constexpr const char* kCalibrate =
    "Usage: tamrel-cli calibrate SCAN OUT.tvp --chart colorchecker|it8\n"
    "                            [--reference REF.txt]\n"
    "                            [--corners X1,Y1,X2,Y2,X3,Y3,X4,Y4]\n"
    "                            [--profile OUT.icc] [--report OUT.txt]\n"
    "                            [--diagnostic OUT.png] [--icc-version 2|4]\n"
    "\n"
    "Measures a linear (gamma 1.0) scan of a colour chart: a ColorChecker 24 or\n"
    "an IT8.7/2 (with its grey scale below the grid). The chart's patch grid is\n"
    "found in the scan: anywhere, at least a fifth of the scan wide, square to\n"
    "the scan or turned by quarter turns (a few degrees off is fine), the turn\n"
    "told by the reference's colours. --corners gives the grid's corners by hand\n"
    "in the scan's pixels instead: top-left of the first patch, top-right of the\n"
    "first row's last, bottom-right of the last, bottom-left of the last row's\n"
    "first. The corners used are printed first ('corners: X1,Y1,...').\n"
    "--reference is the chart maker's CGATS file (SAMPLE_ID with LAB_L LAB_A\n"
    "LAB_B or XYZ_X XYZ_Y XYZ_Z, D50; A1 or A01, GS0 or GS00); for the\n"
    "ColorChecker the published values of charts made since November 2014 are\n"
    "built in. Each patch's central half is read as the mean of its middle half\n"
    "of values.\n"
    "OUT.tvp gets, per channel, the Black, White, Alpha and Gamma that put the\n"
    "grey patches on the start-up curve at their luminance, neutral. --profile\n"
    "writes an ICC input profile of the linear scan (tone curves and a matrix\n"
    "fitted together to CIEDE2000 over every patch), for 'scan --profile' and\n"
    "the window's scans; it is an ICC version 2.4 profile, which every\n"
    "colour-managed program reads, or 4.3 with --icc-version 4. The summary gives\n"
    "CIEDE2000 on the patches fitted to and held out (5-fold cross-validation:\n"
    "each patch through a profile fitted without it), with a warning when the\n"
    "held-out mean is more than twice the other. --report writes every patch's\n"
    "reference Lab, its Lab through the profile, their CIEDE2000 and the\n"
    "held-out one, and ends with the verdict of the imaging guidelines on the\n"
    "scan through the fitted tables and profile (as 'assess' gives it);\n"
    "--diagnostic a picture of the scan with every sampled box (green below 1,\n"
    "yellow below 3, red above). The positions and the summary are printed.\n"
    "Nothing is written when the chart cannot be found or measured, or the\n"
    "measurement cannot be right: corners outside the scan or not a convex\n"
    "quadrilateral (status 2); no chart found, a patch the reference lacks,\n"
    "sampled boxes across patches, grey patches that do not differ, read alike,\n"
    "do not get darker in order or are clipped at the top level, or a mean\n"
    "CIEDE2000 above 10 that no chart gives with its own reference (status 1).\n";

constexpr const char* kAssess =
    "Usage: tamrel-cli assess SCAN --chart colorchecker|it8 [--reference REF.txt]\n"
    "                         [--corners X1,Y1,X2,Y2,X3,Y3,X4,Y4]\n"
    "                         [--params PARAMS.tvp] [--profile PROFILE.icc]\n"
    "\n"
    "Measures a scan of a colour chart as it will be delivered and judges it\n"
    "against the imaging guidelines FADGI 2023 (1 to 4 stars), ISO 19264-1\n"
    "(levels A, B, C) and Metamorfoze (Full, Light, Extra Light); it fits\n"
    "nothing. --params puts the scan through that parameter file's tables, as\n"
    "apply or scan would; --profile is the profile of SCAN's values (a\n"
    "scanner's input profile, rewritten for the tables with --params), else the\n"
    "profile SCAN carries, else sRGB. The chart, its corners and its reference\n"
    "are given as for calibrate: without --corners the chart is found, and the\n"
    "corners used are printed first either way.\n"
    "For each level, each criterion's line gives the figure, the limit and pass\n"
    "or fail: colour accuracy (mean and largest CIEDE2000 over every patch, with\n"
    "S_L = 1 for Metamorfoze), tone (the grey patches' largest |delta L*|),\n"
    "white balance (their largest delta E(a*b*)) and noise (their largest\n"
    "standard deviation of L*), where the guideline gives a limit; criteria\n"
    "without one are named, and so is what a chart cannot measure. The\n"
    "exit status is 0 when the chart was measured, whatever the verdict.\n";

constexpr const char* kFilm =
    "Usage: tamrel-cli film (PARAMS.tvp | --defaults) SCAN OUT.tvp --base L,T,W,H\n"
    "                       [--neutral L,T,W,H]... [--bw]\n"
    "\n"
    "Writes PARAMS' twelve positions unchanged, plus film settings measured on\n"
    "SCAN, a linear scan of a negative (any image apply reads; 16 bits keep the\n"
    "dense parts). Rectangles are LEFT,TOP,WIDTH,HEIGHT in image pixels from the\n"
    "top left. --base is the film's clearest part (its border or the gap between\n"
    "frames); its median is the film base. --neutral is a grey of the picture:\n"
    "two (a light and a dark one) set each channel's contrast and colour so that\n"
    "both come out neutral, one sets the colour only, none takes both from the\n"
    "frame's own densities. --bw takes one base and contrast for all channels.\n"
    "A whole roll: 'film' on one frame, then 'apply' (or 'scan --batch') with\n"
    "OUT on every frame; every command that takes PARAMS takes OUT. A rectangle\n"
    "off the image, a base with more than 40 % of the frame clearer than it, a\n"
    "neutral as clear as the base or two neutrals of one density write nothing\n"
    "(exit status 1). 'roll' does the whole roll from scans of its strips.\n";

constexpr const char* kRoll =
    "Usage: tamrel-cli roll (PARAMS.tvp | --defaults) OUTDIR STRIP... [--format EXT]\n"
    "                       [--bw] [--base STRIP:L,T,W,H]\n"
    "                       [--neutral STRIP:L,T,W,H]... [--quality Q]\n"
    "                       [--compress [deflate|lzw]]\n"
    "\n"
    "Finds the frames on each STRIP, a linear scan of a strip of negatives in its\n"
    "holder (across the scan or along it; 24 x 36, 6 x 6 or 6 x 4.5), and makes\n"
    "one film for the whole roll: the base measured on the film between and\n"
    "around the frames, the balance of the channels from all frames together,\n"
    "each frame's exposure from that frame. Writes into OUTDIR (made if missing):\n"
    "  frames.txt  one line per frame, in order along the strips:\n"
    "              STRIP NN LEFT,TOP,WIDTH,HEIGHT (the frame in STRIP's pixels)\n"
    "  roll.tvp    PARAMS' twelve positions with the roll's film\n"
    "  NN.tvp      the same with frame NN's exposure (NN from 01)\n"
    "  NN.EXT      frame NN's positive, cropped to the frame (TIFF by default;\n"
    "              --format png, jpg, ...: any format apply writes in colour)\n"
    "--base picks the base on a strip and --neutral a grey on any frame (a light\n"
    "and a dark one at most), each as STRIP:LEFT,TOP,WIDTH,HEIGHT, STRIP as named\n"
    "on the line (or its file name alone); they hold for the whole roll. --bw\n"
    "takes one base and contrast for all channels. A strip that cannot be read\n"
    "or shows no frame is named and the others go on (exit status 1); a pick\n"
    "that cannot be used writes nothing. Every file is replaced safely.\n";

// The list of outputs: two spaces, the names and the words, broken at
// spaces before kHelpWidth columns and carried on four spaces in.
constexpr std::size_t kHelpWidth = 79;
constexpr std::string_view kHelpIndent = "  ";
constexpr std::string_view kHelpCarry = "    ";

std::string Wrapped(std::string_view text) {
    std::string out;
    std::string line(kHelpIndent);
    bool first = true;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (!first && line.size() + 1 + word.size() > kHelpWidth) {
            out += line + "\n";
            line = std::string(kHelpCarry) + std::string(word);
        } else {
            line += (first ? "" : " ") + std::string(word);
        }
        first = false;
    }
    return out + line + "\n";
}

// "  .jpg, .jpeg: JPEG, ...": a line (or a few, wrapped) for each format
// in the format table, with the names `use` allows.
std::string OutputHelp(NameUse use) {
    std::string help;
    for (const FormatEntry& entry : AllFormats()) {
        std::string names;
        for (const FormatName& name : entry.Names) {
            if (Allows(use, name)) {
                names += (names.empty() ? "" : ", ") + std::string(name.Extension);
            }
        }
        help += Wrapped(names + ": " + std::string(entry.Help));
    }
    return help;
}

} // namespace

std::string HelpText(std::optional<CommandKind> command) {
    if (!command) {
        return kOverview;
    }
    switch (*command) {
    case CommandKind::Export:
        return kExport;
    case CommandKind::Apply:
        return kApplyHead + OutputHelp(NameUse::AnySamples) + kApplyTail;
    case CommandKind::Sane:
        return kSane;
    case CommandKind::Cube:
        return kCube;
    case CommandKind::Table:
        return kTable;
    case CommandKind::Devices:
        return kDevices;
    case CommandKind::Auto:
        return kAuto;
    case CommandKind::Scan: {
        // The list of formats comes from the format table, in its place.
        std::string text = kScan;
        const std::string mark = "%FORMATS%";
        return text.replace(text.find(mark), mark.size(), OutputHelp(NameUse::AnySamples));
    }
    case CommandKind::Calibrate:
        return kCalibrate;
    case CommandKind::Film:
        return kFilm;
    case CommandKind::Roll:
        return kRoll;
    case CommandKind::Assess:
        return kAssess;
    }
    return kOverview;
}

std::string UsageHint() {
    return "Try 'tamrel-cli --help'.\n";
}
