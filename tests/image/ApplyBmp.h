// A BMP put through the window's tables into a 24-bit BMP by the tool's one
// apply, for the tests, fuzzers and benchmarks that look at that road alone.
#pragma once

#include "image/ApplyImage.h"

#include <filesystem>

namespace applytest {

inline ApplyOptions WithPipeline(const PipelineOptions& pipeline) {
    ApplyOptions options;
    options.Pipeline = pipeline;
    return options;
}

inline Reason ApplyToBmp(const ByteSource& input, const Replacement& output,
                         const GammaTableSet& tables, const PipelineOptions& pipeline = {}) {
    return ApplyImage(input, ImageFormat::Bmp, ImageFormat::Bmp, output, ApplyTables{&tables, {}},
                      WithPipeline(pipeline));
}

inline Reason ApplyToBmpFile(const std::filesystem::path& input,
                             const std::filesystem::path& output, const GammaTableSet& tables,
                             const PipelineOptions& pipeline = {}) {
    return ApplyImageFile(input, output, ImageFormat::Bmp, ApplyTables{&tables, {}},
                          WithPipeline(pipeline));
}

} // namespace applytest
