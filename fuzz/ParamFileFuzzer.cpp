// libFuzzer target: any bytes as a parameter file a user loads, through to the
// parameter model being applied or left alone. The reader must agree with a
// plain line-by-line reading and give the same verdict however the bytes
// arrive; a set it accepts goes through the curve engine, and the model it
// makes must survive being saved and loaded again.
#include "curve/ChannelStore.h"
#include "fuzz/FuzzCheck.h"
#include "io/ParamFileReader.h"
#include "io/ParamFileWriter.h"
#include "tests/io/PlainParamReader.h"

#include <algorithm>
#include <string>

namespace {

std::uint32_t Hash(std::span<const unsigned char> bytes) {
    std::uint32_t hash = 2166136261u;
    for (const unsigned char b : bytes) {
        hash = (hash ^ b) * 16777619u;
    }
    return hash;
}

// The file reader feeds the parser in pieces; pieces of any size, some empty,
// must end in the same verdict as the whole.
std::optional<ParamPositionSet> ReadInPieces(std::span<const unsigned char> bytes) {
    std::uint32_t state = Hash(bytes) | 1;
    ParamFileParser parser;
    std::size_t at = 0;
    while (at < bytes.size()) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const std::size_t piece = std::min<std::size_t>(state % 200, bytes.size() - at);
        parser.Feed(bytes.subspan(at, piece));
        at += piece;
    }
    return parser.Result();
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
    }
    return text;
}

std::span<const unsigned char> AsBytes(const std::string& text) {
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> bytes(data, size);
    const std::optional<ParamPositionSet> loaded = ReadParamBytes(bytes);
    FUZZ_CHECK(loaded == paramtest::PlainReadParams({reinterpret_cast<const char*>(data), size}));
    FUZZ_CHECK(loaded == ReadInPieces(bytes));
    if (!loaded) {
        return 0; // as the load button does: nothing reaches the model
    }
    // All twelve applied at once, each table recomputed from the file's values.
    ChannelParamsSet channels{};
    GammaTableSet tables{};
    ApplyPositionSet(*loaded, channels, tables);
    // The applied model, saved, loads as the same set.
    const std::string saved = Joined(FormatParamFile(PositionSetOf(channels)));
    FUZZ_CHECK(ReadParamBytes(AsBytes(saved)) == loaded);
    // A film the file holds is within its limits, and saved with the
    // positions it loads back the same.
    const ParamLoad load = ParseParamBytes(bytes);
    if (load.result == LoadResult::Ok) {
        for (const FilmStage& stage : load.film.stages) {
            FUZZ_CHECK(!load.film.IsNegative() || IsValidStage(stage));
        }
        const ParamLoad again =
            ParseParamBytes(AsBytes(Joined(FormatParamFile(*loaded, load.film))));
        FUZZ_CHECK(again.result == LoadResult::Ok && again.film == load.film);
    }
    return 0;
}
