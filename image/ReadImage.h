// Any image file the window opens, or a page it scans, read into the picture
// it keeps: 8-bit pictures as R, G, B, 255 levels, 4 bytes per pixel, and
// 16-bit scans at their own 16 bits. The reader is chosen by the file's name.
#pragma once

#include "image/formats/BmpReader.h"
#include "image/rows/KeptImage.h"
#include "image/rows/PixelRect.h"
#include "image/rows/SampleImage.h"
#include "image/rows/StoredRows.h"

#include <filesystem>
#include <memory>

// A scan's sample v of maxval m becomes the level (v * 255 + m / 2) / m, a
// grey sample the same level on red, green and blue. The reader's reason,
// CannotOpen (Value = errno), TooLarge when the image and its preview would
// not fit in the memory available, NoMemory, or a failed read's. The levels
// are not counted here: CountKeptLevels counts the image when they are wanted.
// `warning`, when given, takes what the reader went past (RowSource::Warning).
Outcome<DecodedImage> ReadImageFile(const std::filesystem::path& path, Reason* warning = nullptr);

// Grey or RGB scan rows of 8 or 16 bits (a scan file's, or a scanned page's)
// as the window's 8-bit levels.
// Unsupported for other row formats, TooLarge or NoMemory, or a failed
// read's reason.
Outcome<DecodedImage> DecodeRows(const RowSource& source);

// The picture the window keeps of `source`: a 16-bit grey or RGB scan as its
// own samples, each in the machine's byte order, with its maxval (stored row
// k kept as row k); every other format as DecodeRows' levels. The reasons
// are DecodeRows'.
Outcome<KeptImage> KeepRows(const RowSource& source);

// The file read as KeepRows keeps it (a BMP as ReadImageFile reads it), with
// ReadImageFile's reasons and warning.
Outcome<KeptImage> ReadPictureFile(const std::filesystem::path& path, Reason* warning = nullptr);

// A scanned page as the window keeps it: a 16-bit page is the picture itself,
// shared and never copied (TooLarge when its preview would not fit); an
// 8-bit page becomes its levels.
Outcome<KeptImage> KeepPage(std::shared_ptr<const SampleImage> page);

// Levels read before, kept as they are.
KeptImage KeepLevels(DecodedImage levels);

// The rectangle `crop` of an image file as the window keeps it, read as
// ReadPictureFile reads the whole (the crop must fit the image, upright).
Outcome<KeptImage> ReadImageCrop(const std::filesystem::path& path, const PixelRect& crop);
