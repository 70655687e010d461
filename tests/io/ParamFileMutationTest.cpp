// Property: whatever random damage is done to a good parameter file, loading
// it gives the verdict and values of a plain line-by-line reading, and the
// reader never touches the parameter model, least of all for a rejected file.
#include "curve/ChannelStore.h"
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

// The whole model: positions, real values and tables.
struct ModelSnapshot {
    ParamPositionSet positions;
    std::array<std::array<double, kParamCount>, kChannelCount> values;
    GammaTableSet tables;

    static ModelSnapshot Take() {
        ModelSnapshot s{PositionSetOf(theChannelParams), {}, theGammaTables};
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            for (const Param p : kAllParams) {
                s.values[c][static_cast<std::size_t>(p)] = ValueOf(theChannelParams[c], p);
            }
        }
        return s;
    }
    bool operator==(const ModelSnapshot&) const = default;
};

class ParamFileMutation : public testing::Test {
protected:
    void SetUp() override {
        saved_ = theChannelParams;
        savedTables_ = theGammaTables;
    }
    void TearDown() override {
        theChannelParams = saved_;
        theGammaTables = savedTables_;
    }

private:
    ChannelParamsSet saved_{};
    GammaTableSet savedTables_{};
};

TEST_F(ParamFileMutation, LoadsAsAPlainReadingDoesAndNeverTouchesTheModel) {
    std::mt19937 rng(4242);
    ScratchDir dir;
    int accepted = 0;
    int rejected = 0;
    for (int trial = 0; trial < 400; ++trial) {
        ApplyPositionSet(RandomPositions(rng), theChannelParams, theGammaTables);
        const ModelSnapshot before = ModelSnapshot::Take();
        const std::string text = Damaged(GoodFile(rng), rng);
        WriteBytes(dir / "damaged.tvp", text);

        const ParamLoad load = LoadParamFile(dir / "damaged.tvp");
        const std::optional<ParamPositionSet> plain = paramtest::PlainReadParams(text);

        ASSERT_EQ(ModelSnapshot::Take(), before) << "trial " << trial;
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
