// libFuzzer targets: any bytes as a PNM, PNG, TIFF or JPEG file (chosen at
// build time by TAMREL_SCAN_KIND), through the reader and every row it gives to the
// window's levels and to 16-bit output. A refusal must carry a reason; rows
// past a modest size are not decoded, so that a claim of a huge image costs
// no more than its header.
#include "fuzz/FuzzCheck.h"
#include "image/formats/FormatTable.h"
#include "image/rows/LevelRows.h"
#include "image/rows/Pipeline.h"

namespace {

constexpr std::int64_t kMaxDecodedBytes = std::int64_t{16} << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const MemorySource source(std::span<const std::uint8_t>(data, size));
    const Outcome<std::unique_ptr<RowSource>> rows = OpenRows(ImageFormat::TAMREL_SCAN_KIND, source);
    if (!rows) {
        FUZZ_CHECK(rows.Why().Code != ReasonCode::None);
        return 0;
    }
    const RowLayout& layout = (*rows)->Layout();
    FUZZ_CHECK(IsScanFormat(layout.Format));
    if (!layout.HasRows() || layout.Stride * layout.Height > kMaxDecodedBytes) {
        return 0;
    }
    const LevelRows levels(**rows);
    const Outcome<RowRuns> runs = RowRuns::Plan(levels, 0, {});
    FUZZ_CHECK(runs);
    std::uint32_t sum = 0;
    const Reason failed =
        runs->Run([&](std::int32_t, std::int32_t count, const std::uint8_t* r, std::uint8_t*) {
            for (std::int64_t i = 0; i < count * levels.Layout().Stride; i += 4) {
                FUZZ_CHECK(r[i + 3] == 255);
                sum += r[i];
            }
            return true;
        });
    (void)sum;
    (void)failed; // a damaged stream may end any row; only a crash or a leak is a finding
    return 0;
}
