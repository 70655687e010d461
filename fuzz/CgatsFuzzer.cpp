// libFuzzer target: any bytes as a chart's reference file, through the
// calibration's reader: the structure check of our own, then LittleCMS's
// IT8 parser on the one table, in a context whose blocks are capped by the
// file's size. The reader gives a reference or a
// reason, never more memory than the bytes can claim; a reference's
// colours are finite and each patch is found again under its own ID.
#include "fuzz/FuzzCheck.h"
#include "measure/ChartReference.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Outcome<ChartReference> read = ReadReference({data, size});
    if (!read) {
        FUZZ_CHECK(read.Why().Code == ReasonCode::BadReference ||
                   read.Why().Code == ReasonCode::NoMemory);
        return 0;
    }
    for (const ReferencePatch& patch : read->Patches()) {
        FUZZ_CHECK(std::isfinite(patch.lab.L) && std::isfinite(patch.lab.a) &&
                   std::isfinite(patch.lab.b));
        const ReferencePatch* found = read->Find(patch.id);
        FUZZ_CHECK(found != nullptr && PatchKey(found->id) == PatchKey(patch.id));
    }
    return 0;
}
