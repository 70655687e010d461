// The command line of tamrel-cli parsed into one command: which operation,
// where its parameters come from, its inputs and outputs, and its options.
#pragma once

#include "cli/PagePattern.h"
#include "cli/StripPick.h"
#include "curve/ChannelParams.h"
#include "measure/ChartLayout.h"
#include "measure/ChartMap.h"
#include "measure/FilmCounts.h"
#include "scan/ScanArea.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class CommandKind {
    Export,
    Apply,
    Sane,
    Cube,
    Table,
    Devices,
    Auto,
    Scan,
    Calibrate,
    Film,
    Roll,
    Assess
};

// How a TIFF output is compressed: --compress [deflate|lzw].
enum class Compression { None, Deflate, Lzw };

struct CliCommand {
    CommandKind kind = CommandKind::Table;
    bool defaults = false;                          // --defaults: the start-up parameters
    std::filesystem::path params;                   // the parameter file, unless defaults;
                                                    // assess: --params, or empty
    std::vector<std::filesystem::path> inputs;      // apply: the BMP files; auto: the image
    std::filesystem::path output;                   // export, cube, auto, and apply without -o
    std::optional<std::filesystem::path> outputDir; // apply -o DIR
    bool force = false;                             // export, scan: replace existing files
    bool png = false;                               // apply -o DIR: write NAME.png files
    Compression compression = Compression::None;    // apply, scan: --compress for TIFF outputs
    std::optional<std::filesystem::path> profile;   // scan, calibrate, assess: --profile FILE.icc
    std::optional<std::size_t> size;                // table, cube, sane: --size N entries
    std::optional<int> maxLevel;                    // table, sane: --max M, the top level
    std::optional<std::string> device;              // sane, scan: --device NAME, through libsane
    std::optional<Channel> channel;        // sane --device: the curve for a single intensity table
    std::optional<double> clipPercent;     // auto --clip PCT: the share let clip at each end
    bool linear = false;                   // scan --linear: gamma 1.0, no parameters
    std::optional<std::string> resolution; // scan --resolution DPI
    std::optional<std::string> mode;       // scan --mode Color|Gray
    std::optional<int> depth;              // scan --depth 8|16
    std::vector<std::pair<std::string, std::string>> deviceOptions; // scan --option NAME=VALUE
    std::optional<ScanArea> area;                                   // scan --area L,T,W,H
    std::optional<std::string> source;                              // scan --source NAME
    std::optional<PagePattern> batch;     // scan --batch: output is the page names' pattern
    bool batchIntoOne = false;            // scan --batch OUT.pdf: every page into OUT
    std::optional<int> quality;           // apply, scan: --quality 1..100 for JPEG and PDF
    std::optional<std::string> optionsOf; // devices --options DEVICE
    std::optional<ChartKind> chart;       // calibrate, assess --chart
    std::optional<std::filesystem::path> reference;  // calibrate, assess --reference REF.txt
    std::optional<ChartCorners> corners;             // calibrate, assess --corners X1,Y1,...
    std::optional<std::filesystem::path> report;     // calibrate --report OUT.txt
    std::optional<std::filesystem::path> diagnostic; // calibrate --diagnostic OUT.png
    int iccVersion = 2;                              // calibrate --icc-version 2|4
    std::optional<PixelRect> filmBase;               // film --base L,T,W,H in image pixels
    std::vector<PixelRect> neutrals;                 // film --neutral L,T,W,H, at most two
    bool blackAndWhite = false;                      // film, roll --bw
    std::optional<StripPick> stripBase;              // roll --base STRIP:L,T,W,H
    std::vector<StripPick> stripNeutrals;            // roll --neutral STRIP:L,T,W,H, at most two
    std::optional<std::string> format;               // roll --format EXT: the frames' format
};

enum class ParseStatus {
    Run,      // `command` is complete
    Help,     // print the help of `helpFor` (or the overview when absent)
    BadUsage, // `message` says what is wrong
};

struct ParsedArgs {
    ParseStatus status = ParseStatus::BadUsage;
    CliCommand command;
    std::optional<CommandKind> helpFor;
    std::string message;
};

// The arguments after the program name.
ParsedArgs ParseArgs(const std::vector<std::string_view>& args);

// "export", "apply", ... as typed on the command line.
const char* CommandName(CommandKind kind);
