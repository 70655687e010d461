// A page of samples (a scan) written in any format of the table through the
// same writers as apply's outputs, its rows taken in runs as they come.
#pragma once

#include "image/formats/FormatTable.h"
#include "image/rows/SampleImage.h"

#include <cstdint>
#include <functional>
#include <span>

// Whole rows, in order, RowBytes() apart; the sink may change them in place.
using SampleRunSink = std::function<bool(std::span<std::uint8_t> rows)>;
// Hands every row to the sink: its own reason, or WriteFailed when the sink
// stopped it.
using SampleRuns = std::function<Reason(const SampleRunSink& sink)>;

// 8 and 16 bits are kept where the format holds them (JPEG rounds 16 to 8),
// a grey page stays grey where it can (PNM, JPEG, PDF) and gives equal red,
// green and blue elsewhere. The
// options' profile must already suit an RGB image (see ColourProfile.h). The
// reason of the runs, the writer's, or Unsupported for 16-bit samples to a
// format of 8 only (BMP) before the output is touched.
Reason WriteSamples(const SampleLayout& layout, ImageFormat format, const SampleRuns& runs,
                    const Replacement& output, const WriteOptions& options = {});

// The same as the next page of a document of `format` (one that holds
// pages); a failed page leaves the document as it was.
Reason WriteSamplesToPage(const SampleLayout& layout, ImageFormat format, const SampleRuns& runs,
                          PageWriter& pages, const WriteOptions& options = {});

// The runs of a whole image, a piece at a time through a copy, so the image
// itself is left as it is.
SampleRuns RunsOf(const SampleImage& image);
