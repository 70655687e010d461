// Any image file the window opens, read into the image it keeps: R, G, B,
// 255 levels, 4 bytes per pixel. The reader is chosen by the file's name.
#pragma once

#include "image/formats/BmpReader.h"
#include "image/rows/StoredRows.h"

#include <filesystem>

// A scan's sample v of maxval m becomes the level (v * 255 + m / 2) / m, a
// grey sample the same level on red, green and blue. The reader's reason,
// CannotOpen (Value = errno), TooLarge when the image and its preview would
// not fit in the memory available, NoMemory, or a failed read's. The levels
// are not counted here: CountKeptLevels counts the image when they are wanted.
// `warning`, when given, takes what the reader went past (RowSource::Warning).
Outcome<DecodedImage> ReadImageFile(const std::filesystem::path& path, Reason* warning = nullptr);

// Grey or RGB scan rows of 8 or 16 bits (a scan file's, or a scanned page's)
// as the window's image.
// Unsupported for other row formats, TooLarge or NoMemory, or a failed
// read's reason.
Outcome<DecodedImage> DecodeRows(const RowSource& source);
