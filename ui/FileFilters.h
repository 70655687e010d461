// The file dialogs' filters, in Japanese: the image and scan dialogs' built
// from the format table with the window's words for each format, the table
// and parameter files' fixed; and what a scan save dialog's answer writes.
#pragma once

#include "image/formats/FormatTable.h"

#include <QString>

#include <filesystem>

// The open dialog of images: first every image the window reads, then each
// of those formats, then all files.
QString OpenImageFilter();

// The save dialog of a scan: in the table's order, every format whose
// writer takes 16-bit rows (BMP is left to a typed name, as it refuses
// them), and those that take a compression once more for each.
QString ScanSaveFilter();

// The gamma-table and parameter files, then all files.
QString TableFileFilter();
QString ParamFileFilter();

// What a scan save dialog's answer writes, where and how.
struct SaveTarget {
    std::filesystem::path path;
    ImageFormat format = ImageFormat::Pnm;
    TiffCompression compression = TiffCompression::None;
};

// An extension the format table knows decides the format, as file dialogs
// do (the chosen filter's compression kept only where that format is the
// filter's); a name without one (or with one the table does not know)
// takes the chosen filter's format, and that format's first extension is
// appended. A chosen filter out of range counts as the first.
SaveTarget ScanSaveTarget(const std::filesystem::path& picked, int chosenFilter);
