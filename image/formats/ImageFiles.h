// Which reader a file goes to, chosen by its name's extension in any letter
// case: .pnm/.ppm/.pgm, .png, .tif/.tiff; every other name is read as a BMP.
#pragma once

#include "image/Outcome.h"
#include "image/rows/ByteSource.h"
#include "image/rows/StoredRows.h"

#include <filesystem>
#include <memory>

enum class ImageKind { Bmp, Pnm, Png, Tiff };

ImageKind ImageKindOf(const std::filesystem::path& path);

// The stored rows of `source` read as `kind`, or the reader's reason.
// `source` must outlive the rows.
Outcome<std::unique_ptr<RowSource>> OpenRows(ImageKind kind, const ByteSource& source);
