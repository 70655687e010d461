// An 8-bit scan as the 24-bit bottom-up BMP that apply writes.
#pragma once

#include "image/ImageMeta.h"
#include "image/rows/SampleImage.h"
#include "io/AtomicWrite.h"

#include <atomic>
#include <filesystem>

// Grey samples become equal B, G and R. The rows go through the safe
// replacement one at a time; once `stop` is true the write fails and leaves
// nothing. An image too large for the format counts as a failed write. The
// resolution goes into the header as pixels per metre.
WriteOutcome WriteScanBmp(const std::filesystem::path& target, const SampleImage& image,
                          const std::atomic<bool>& stop,
                          const std::optional<Resolution>& resolution = std::nullopt);
