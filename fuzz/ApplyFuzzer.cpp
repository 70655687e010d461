// libFuzzer target: any bytes as a BMP given to `tamrel-cli apply`, through
// the streamed conversion into memory. It must accept exactly what the
// reader accepts, less the tool's own refusals; write, byte for byte, the
// 24-bit file of the preview that RenderPreview makes of the reader's image,
// whatever the chunk size, worker count and row mapping; write each output
// byte once and none outside; and keep nothing when a read or a write gives
// out part-way.
#include "cli/StreamedBmp.h"
#include "fuzz/FuzzCheck.h"
#include "tests/cli/MemoryOutput.h"
#include "tests/cli/PreviewBmp.h"
#include "tests/image/GivingOutSource.h"

#include <array>

namespace {

using clitest::MemoryOutput;

std::uint32_t Hash(std::span<const std::uint8_t> bytes) {
    std::uint32_t hash = 2166136261u;
    for (const std::uint8_t b : bytes) {
        hash = (hash ^ b) * 16777619u;
    }
    return hash;
}

// A table per channel that tells the channels apart; green's entries have a
// high byte and blue's are negative, and only the low byte may count.
std::array<GammaTable, 3> Tables() {
    std::array<GammaTable, 3> tables{};
    for (int i = 0; i < 256; ++i) {
        tables[0][i] = static_cast<std::int16_t>(255 - i);
        tables[1][i] = static_cast<std::int16_t>(i / 2 + 256);
        tables[2][i] = static_cast<std::int16_t>((i * 7 & 0xFF) - 256);
    }
    return tables;
}

// Chunks of one row at a time up to the whole image at once.
constexpr std::array<std::int64_t, 8> kChunkBytes = {1,    7,    64,    300,
                                                     1000, 4096, 65536, kStreamChunkBytes};

StreamOptions OptionsFor(std::uint32_t choice, int workers) {
    return {kChunkBytes[choice % kChunkBytes.size()], workers, (choice >> 3 & 1) != 0};
}

// A read or a write failing at a point the bytes choose must fail the
// conversion as such and keep no output.
void CheckGivingOut(std::span<const std::uint8_t> bytes, const std::array<GammaTable, 3>& tables,
                    std::uint32_t hash) {
    const StreamOptions options = OptionsFor(hash >> 4, 2);
    bmptest::GivingOutSource counting(bytes, clitest::kNeverFails, false);
    MemoryOutput good;
    FUZZ_CHECK(StreamBmp(counting, good, tables, options) == StreamedBmpResult::Ok);

    bmptest::GivingOutSource failingRead(bytes, 1 + hash % counting.Calls(), (hash >> 16 & 1) != 0);
    MemoryOutput afterRead;
    const StreamedBmpResult read = StreamBmp(failingRead, afterRead, tables, options);
    FUZZ_CHECK(read == StreamedBmpResult::NotBmp || read == StreamedBmpResult::ReadFailed);
    FUZZ_CHECK(afterRead.Bytes().empty());

    MemoryOutput failingWrite(1 + (hash >> 8) % good.Writes());
    FUZZ_CHECK(StreamBmp(MemorySource(bytes), failingWrite, tables, options) ==
               StreamedBmpResult::WriteFailed);
    FUZZ_CHECK(failingWrite.Bytes().empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const std::array<GammaTable, 3> tables = Tables();
    const clitest::ExpectedApply expected = clitest::ExpectedStreamedApply(bytes, tables);
    const std::uint32_t hash = Hash(bytes);
    for (const int workers : {1, 2}) {
        MemoryOutput output;
        const StreamedBmpResult result = StreamBmp(MemorySource(bytes), output, tables,
                                                   OptionsFor(hash >> (8 * workers), workers));
        FUZZ_CHECK(result == expected.result);
        // A refused input never asks for the output.
        FUZZ_CHECK(output.Asked() == (result == StreamedBmpResult::Ok ? 1 : 0));
        if (result == StreamedBmpResult::Ok) {
            FUZZ_CHECK(output.Tiled());
            FUZZ_CHECK(output.Bytes() == expected.bytes);
        }
    }
    if (expected.result == StreamedBmpResult::Ok) {
        CheckGivingOut(bytes, tables, hash);
    }
    return 0;
}
