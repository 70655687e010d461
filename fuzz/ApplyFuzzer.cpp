// libFuzzer target: any bytes as a BMP given to `tamrel-cli apply`, through
// the BMP apply into memory. It must accept exactly what the window's reader
// accepts, less the tool's own refusals, with the reader's reason; write,
// byte for byte, the 24-bit file of the preview that RenderPreview makes of
// the reader's image, whatever the run size, thread count and kernel; write
// each output byte once; and keep nothing when a read or a write gives out
// part-way.
#include "fuzz/FuzzCheck.h"
#include "tests/image/ApplyBmp.h"
#include "tests/image/GivingOutSource.h"
#include "tests/image/PreviewBmp.h"
#include "tests/image/RecordingOutput.h"

#include <array>
#include <functional>

namespace {

using applytest::ApplyToBmp;
using applytest::ApplyToBmpFile;

using bmptest::RecordingOutput;

std::uint32_t Hash(std::span<const std::uint8_t> bytes) {
    std::uint32_t hash = 2166136261u;
    for (const std::uint8_t b : bytes) {
        hash = (hash ^ b) * 16777619u;
    }
    return hash;
}

// A table per channel that tells the channels apart; green's entries have a
// high byte and blue's are negative, and only the low byte may count.
GammaTableSet Tables() {
    GammaTableSet tables{};
    for (int i = 0; i < 256; ++i) {
        tables[0][i] = static_cast<std::int16_t>(255 - i);
        tables[1][i] = static_cast<std::int16_t>(i / 2 + 256);
        tables[2][i] = static_cast<std::int16_t>((i * 7 & 0xFF) - 256);
    }
    return tables;
}

// Runs of one row at a time up to the whole image at once.
constexpr std::array<std::int64_t, 8> kRunBytes = {1, 7, 64, 300, 1000, 4096, 65536, ::kRunBytes};

// However small the image, `workers` threads.
PipelineOptions OptionsFor(std::uint32_t choice, int workers) {
    PipelineOptions options;
    options.RunBytes = kRunBytes[choice % kRunBytes.size()];
    options.Workers = workers;
    options.MinPixelsToSplit = 0;
    options.Wide = (choice >> 3 & 1) != 0;
    return options;
}

Reason Apply(const ByteSource& source, RecordingOutput& output, const GammaTableSet& tables,
             const PipelineOptions& options) {
    return ApplyToBmp(source, std::ref(output), tables, options);
}

// A read or a write failing at a point the bytes choose must fail the
// conversion as such and keep no output.
void CheckGivingOut(std::span<const std::uint8_t> bytes, const GammaTableSet& tables,
                    std::uint32_t hash) {
    const PipelineOptions options = OptionsFor(hash >> 4, 2);
    bmptest::GivingOutSource counting(bytes, bmptest::kNeverFails, false);
    RecordingOutput good;
    FUZZ_CHECK(!Apply(counting, good, tables, options));

    const bool shortRead = (hash >> 16 & 1) != 0;
    bmptest::GivingOutSource failingRead(bytes, 1 + hash % counting.Calls(), shortRead);
    RecordingOutput afterRead;
    const Reason read = Apply(failingRead, afterRead, tables, options);
    FUZZ_CHECK(read.Code == (shortRead ? ReasonCode::Truncated : ReasonCode::ReadFailed));
    FUZZ_CHECK(afterRead.Bytes().empty());

    RecordingOutput failingWrite(1 + (hash >> 8) % good.Writes());
    FUZZ_CHECK(Apply(MemorySource(bytes), failingWrite, tables, options).Code ==
               ReasonCode::DiskFull);
    FUZZ_CHECK(failingWrite.Bytes().empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const GammaTableSet tables = Tables();
    const bmptest::ExpectedApply expected = bmptest::ExpectedApplyOf(bytes, tables);
    const std::uint32_t hash = Hash(bytes);
    for (const int workers : {1, 2}) {
        RecordingOutput output;
        const Reason result =
            Apply(MemorySource(bytes), output, tables, OptionsFor(hash >> (8 * workers), workers));
        FUZZ_CHECK(result.Code == expected.code);
        // A refused input never asks for the output.
        FUZZ_CHECK(output.Asked() == (result ? 0 : 1));
        if (!result) {
            FUZZ_CHECK(output.Tiled());
            FUZZ_CHECK(output.Bytes() == expected.bytes);
        }
    }
    if (expected.code == ReasonCode::None) {
        CheckGivingOut(bytes, tables, hash);
    }
    return 0;
}
