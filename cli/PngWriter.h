// Writes a rendered preview as a PNG file, encoded by Qt's image writer.
#pragma once

#include "image/PreviewImage.h"
#include "io/AtomicWrite.h"

#include <filesystem>

// Encodes in memory, then writes through the safe replacement, so a failure
// leaves no file (and any old one as it was). An image Qt cannot encode
// counts as a failed write.
WriteOutcome WritePngFile(const std::filesystem::path& path, const PreviewImage& preview);
