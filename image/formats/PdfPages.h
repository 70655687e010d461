// PDF output, one image a page: lossless pages (the rows filtered and
// deflated on every core, FlateDecode under the PNG predictor, 8 or 16
// bits as the rows are), or JPEG pages (DCTDecode, 8 bits) at the quality
// asked for; the page size from the image's resolution, 300 dpi where it
// has none; the ICC profile as the page's ICCBased colour space where it
// describes the image's channels, else DeviceRGB or DeviceGray. Pages wait
// in a scratch file (in the system's temporary folder) until the file is
// written through the safe replacement.
#pragma once

#include "image/formats/RowWriter.h"

#include <memory>

// The dots per inch of a page whose image has no resolution.
inline constexpr double kPdfDefaultDotsPerInch = 300;

// An empty document to add pages to.
std::unique_ptr<PageWriter> OpenPdfPages();

// A PDF of one page.
Reason WritePdf(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                const WriteOptions& options);
