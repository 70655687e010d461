// Property: whatever random damage is done to a good parameter file, loading
// it gives the verdict and values of a plain line-by-line reading. (The
// window's parameters live above io/, out of the reader's reach.)
#include "io/ParamFileReader.h"
#include "io/ParamFileWriter.h"

#include "PlainParamReader.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace param_file_mutation_test {

namespace {

// Bytes that matter to the grammar, so damage often lands on something that counts.
constexpr std::string_view kTellingBytes{"\r\n= \t\v\f;0123456789+-.\0\xB2"
                                         "Bx",
                                         25};

ParamPositionSet RandomPositions(std::mt19937& rng) {
    ParamPositionSet set{};
    for (ParamPositions& positions : set) {
        for (const Param p : kAllParams) {
            positions[p] =
                std::uniform_int_distribution<int>(SpecOf(p).minPos, SpecOf(p).maxPos)(rng);
        }
    }
    return set;
}

std::string GoodFile(std::mt19937& rng) {
    std::string text;
    for (const std::string& line : FormatParamFile(RandomPositions(rng))) {
        text += line;
    }
    return text;
}

char RandomByte(std::mt19937& rng) {
    if (rng() % 2 == 0) {
        return kTellingBytes[rng() % kTellingBytes.size()];
    }
    return static_cast<char>(rng());
}

// One to four changes: a byte replaced, inserted or removed, a stretch
// repeated elsewhere, or the end cut off.
std::string Damaged(std::string text, std::mt19937& rng) {
    const int changes = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < changes && !text.empty(); ++i) {
        const std::size_t at = rng() % text.size();
        switch (rng() % 5) {
        case 0:
            text[at] = RandomByte(rng);
            break;
        case 1:
            text.insert(at, 1, RandomByte(rng));
            break;
        case 2:
            text.erase(at, 1);
            break;
        case 3:
            text.insert(rng() % text.size(), text.substr(at, 1 + rng() % 24));
            break;
        default:
            text.resize(at);
            break;
        }
    }
    return text;
}

TEST(ParamFileMutation, LoadsAsAPlainReadingDoes) {
    std::mt19937 rng(4242);
    ScratchDir dir;
    int accepted = 0;
    int rejected = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const std::string text = Damaged(GoodFile(rng), rng);
        WriteBytes(dir / "damaged.tvp", text);

        const ParamLoad load = LoadParamFile(dir / "damaged.tvp");
        const std::optional<ParamPositionSet> plain = paramtest::PlainReadParams(text);

        ASSERT_EQ(load.result, plain ? LoadResult::Ok : LoadResult::Incomplete)
            << "trial " << trial << ": " << testing::PrintToString(text);
        if (plain) {
            ASSERT_EQ(load.positions, *plain) << "trial " << trial;
        }
        ++(plain ? accepted : rejected);
    }
    // Both verdicts were put to the test.
    EXPECT_GT(accepted, 20);
    EXPECT_GT(rejected, 20);
}

} // namespace

} // namespace param_file_mutation_test
