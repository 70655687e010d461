// Where `apply` writes each image and in which format: chosen by the output's
// extension through the format table, or every input under its own name in
// the -o folder.
#pragma once

#include "cli/CliArgs.h"
#include "image/ApplyImage.h"

#include <filesystem>
#include <optional>
#include <vector>

struct ApplyTarget {
    std::filesystem::path input;
    std::filesystem::path output;
    ImageFormat format;
};

// One target per input of an apply command that ParseArgs accepted: without
// -o each has the one output (several of them its pages); with -o the
// output keeps the input's file name and format (an unknown name a BMP; a
// .pgm stays one where the tables keep grey, else becomes .ppm), or its
// stem with ".png".
std::vector<ApplyTarget> ApplyTargets(const CliCommand& command, bool keepsGrey = false);

// The TIFF compression that --compress asked for.
TiffCompression TiffCompressionOf(Compression compression);
