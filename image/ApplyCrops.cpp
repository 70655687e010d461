// Every output's crop becomes a source of its own over the one shared read
// and goes down the same road as a whole file does (ApplyRowsFile): the
// same tables, kernels and writers, each output on a thread of its own.
#include "image/ApplyCrops.h"

std::vector<Reason> ApplyCrops(const RowSource& source, std::span<const CropOutput> outputs,
                               const ApplyOptions& options, const CropControl& control) {
    std::vector<PixelRect> rects;
    for (const CropOutput& output : outputs) {
        rects.push_back(output.Rect);
    }
    return UseCrops(
        source, rects,
        [&](std::size_t i, const RowSource& rows) {
            const CropOutput& output = outputs[i];
            return ApplyRowsFile(rows, output.Path, output.Format, output.Tables, options);
        },
        control);
}
