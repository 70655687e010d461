// The five fits run on the row threads (ForRowChunks, one fold a run): they
// share nothing but the patches, which they only read.
#include "measure/HeldOut.h"

#include "image/rows/ParallelRows.h"

namespace {

constexpr std::int32_t kFoldsPerRun = 1;

// The patches of the other folds, in chart order (the grey scale's order
// matters to the fit), and the fit's differences on this fold's.
void FitFold(std::span<const ProfilePatch> patches, std::size_t fold, std::vector<double>& out) {
    std::vector<ProfilePatch> seen;
    for (std::size_t i = 0; i < patches.size(); ++i) {
        if (i % kFolds != fold) {
            seen.push_back(patches[i]);
        }
    }
    const ShaperMatrix model = FitShaperMatrix(seen);
    for (std::size_t i = fold; i < patches.size(); i += kFolds) {
        out[i] = DeltaE2000(LabOf(XyzThrough(model, patches[i].device)), patches[i].reference);
    }
}

} // namespace

std::vector<double> HeldOutDeltaE(std::span<const ProfilePatch> patches) {
    if (patches.size() < kFolds) {
        return {};
    }
    std::vector<double> heldOut(patches.size());
    ForRowChunks(std::int32_t(kFolds), kFoldsPerRun, kMaxRowThreads,
                 [&](int, std::int32_t begin, std::int32_t end) {
                     for (std::int32_t fold = begin; fold < end; ++fold) {
                         FitFold(patches, std::size_t(fold), heldOut);
                     }
                     return true;
                 });
    return heldOut;
}
