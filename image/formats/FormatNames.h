// The image formats by name: the extensions each goes by (lower case with
// the dot; a grey name says the file holds one channel), the format a file
// name ends in, and the list of names a message offers. What each format
// holds and how it is read and written is the format table's.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

enum class ImageFormat { Bmp, Pnm, Png, Tiff, Jpeg, Pdf };

struct FormatName {
    std::string_view Extension;
    bool Grey = false;
};

// Which samples an output name is asked to hold: any (a grey page or a
// grey image through equal tables stays grey where the format holds grey),
// or colour only (a calibration's diagnostic picture).
enum class NameUse { AnySamples, ColourOnly };

// Whether `use` takes the name: colour asks for names that are not grey.
bool Allows(NameUse use, const FormatName& name);

// The format a name ends in, in any letter case; nullopt for an unknown
// extension (or a grey name where colour is asked for).
std::optional<ImageFormat> FormatOfName(const std::filesystem::path& path,
                                        NameUse use = NameUse::AnySamples);

// True for a name that says its file holds grey only (.pgm).
bool HoldsGreyOnly(const std::filesystem::path& path);

// The format a file is read as: by its name, every unknown name as a BMP.
ImageFormat ReadFormatOf(const std::filesystem::path& path);

// Whether one file of the format takes several pages (PDF), so that a name
// says if a batch goes into that one file.
bool HoldsPages(ImageFormat format);

// "a, b or c": every extension `use` allows, in the table's order, of the
// formats `pick` takes (all when null).
struct FormatEntry;
using FormatPick = bool (*)(const FormatEntry& entry);
std::string NameList(NameUse use, FormatPick pick = nullptr);
