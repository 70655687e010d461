#include "io/ParamFileReader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace param_grammar_test {

namespace {

constexpr std::size_t kBlackR = 0;
constexpr std::size_t kWhiteR = 3;
constexpr std::size_t kGammaG = 10;

// The text under test, given with good lines for every key but `key`, which
// must then load as `expected`, or the load fails (nullopt).
struct GrammarCase {
    const char* name;
    std::size_t key;
    std::string text;
    std::optional<int> expected;
};

std::string OtherKeys(std::size_t skipped) {
    std::string text;
    for (std::size_t k = 0; k < kParamKeyCount; ++k) {
        if (k != skipped) {
            text += std::string(kParamKeys[k].name) + "=" +
                    std::to_string(SpecOf(kParamKeys[k].param).maxPos) + "\r\n";
        }
    }
    return text;
}

std::optional<ParamPositionSet> Read(const std::string& text) {
    return ReadParamBytes({reinterpret_cast<const unsigned char*>(text.data()), text.size()});
}

void Check(std::initializer_list<GrammarCase> cases) {
    for (const GrammarCase& c : cases) {
        const std::optional<ParamPositionSet> loaded = Read(OtherKeys(c.key) + c.text);
        ASSERT_EQ(loaded.has_value(), c.expected.has_value()) << c.name;
        if (loaded) {
            const ParamKey& key = kParamKeys[c.key];
            EXPECT_EQ((*loaded)[key.channel][key.param], *c.expected) << c.name;
        }
    }
}

std::string Padded(std::size_t spaces, const std::string& value) {
    return "BlackR=" + std::string(spaces, ' ') + value + std::string(300, ' ') + "\r\n";
}

TEST(ParamGrammar, CrLfAndCrAndLfEachEndALine) {
    Check({
        {"LF only", kBlackR, "BlackR=12\n", 12},
        {"CR only", kBlackR, "BlackR=12\r", 12},
        {"LF CR and blank lines", kBlackR, "\n\r\n\r\rBlackR=12\n\r\n\n", 12},
        {"no final line end", kBlackR, "BlackR=12", std::nullopt},
        {"final line lost, earlier kept", kBlackR, "BlackR=5\nBlackR=12", 5},
    });
}

TEST(ParamGrammar, ALineKeepsItsFirst127Bytes) {
    Check({
        {"value ends at byte 127", kBlackR, Padded(118, "12"), 12},
        {"second digit at byte 128 is cut", kBlackR, Padded(119, "12"), 1},
        {"value wholly past byte 127", kBlackR, Padded(120, "12"), std::nullopt},
        {"dropped bytes do not swallow the next line", kBlackR,
         "x" + std::string(500, '=') + "\nBlackR=12\n", 12},
    });
}

TEST(ParamGrammar, OnlyASemicolonInTheVeryFirstByteMakesAComment) {
    Check({
        {"comment", kBlackR, ";BlackR=5\r\n", std::nullopt},
        {"space before ; leaves key ;BlackR", kBlackR, " ;BlackR=5\r\n", std::nullopt},
        {"comment after a good line", kBlackR, "BlackR=7\r\n;BlackR=5\r\n", 7},
        {"header is not required", kBlackR, "BlackR=7\r\n", 7},
    });
}

TEST(ParamGrammar, WhitespaceIsTrimmedAroundKeyAndValueOnly) {
    Check({
        {"spaces around key, = and value", kBlackR, "  BlackR  =  12  \r\n", 12},
        {"tab, vertical tab, form feed", kBlackR, "\tBlackR\v=\f12\t\r\n", 12},
        {"inner space in key", kBlackR, "Black R=12\r\n", std::nullopt},
        {"lower-case key", kBlackR, "blackr=12\r\n", std::nullopt},
        {"no =", kBlackR, "BlackR 12\r\n", std::nullopt},
        {"empty key", kBlackR, "=12\r\n", std::nullopt},
    });
}

TEST(ParamGrammar, ValueMustBeDigitsOnly) {
    Check({
        {"plus sign", kBlackR, "BlackR=+12\r\n", std::nullopt},
        {"minus sign", kBlackR, "BlackR=-1\r\n", std::nullopt},
        {"decimal point", kBlackR, "BlackR=1.5\r\n", std::nullopt},
        {"trailing comment", kBlackR, "BlackR=12 ;note\r\n", std::nullopt},
        {"byte above 0x7F", kBlackR, "BlackR=1\xB2\r\n", std::nullopt},
        {"blank value", kBlackR, "BlackR= \r\n", std::nullopt},
        {"leading zeros", kBlackR, "BlackR=0012\r\n", 12},
        {"second = is part of the value", kBlackR, "BlackR=1=2\r\n", std::nullopt},
    });
}

TEST(ParamGrammar, AZeroByteEndsWhatTheParserSees) {
    using namespace std::string_literals;
    Check({
        {"after the value", kBlackR, "BlackR=12\0junk\r\n"s, 12},
        {"inside the key", kBlackR, "Black\0R=12\r\n"s, std::nullopt},
        {"first byte", kBlackR, "\0BlackR=12\r\n"s, std::nullopt},
    });
}

TEST(ParamGrammar, OutOfRangeValuesNeitherSetNorClear) {
    Check({
        {"WhiteR below range", kWhiteR, "WhiteR=199\r\n", std::nullopt},
        {"GammaG above range", kGammaG, "GammaG=251\r\n", std::nullopt},
        {"last in-range wins", kBlackR, "BlackR=5\r\nBlackR=7\r\n", 7},
        {"out of range keeps earlier", kBlackR, "BlackR=5\r\nBlackR=101\r\n", 5},
        {"out of range before a good one", kBlackR, "BlackR=101\r\nBlackR=5\r\n", 5},
        {"saturates at int32 max", kBlackR, "BlackR=2147483648\r\n", std::nullopt},
        {"does not wrap into range", kBlackR, "BlackR=4294967301\r\n", std::nullopt},
    });
}

TEST(ParamGrammar, FilesWithoutAllTwelveKeysFailAndOrderDoesNotMatter) {
    EXPECT_FALSE(Read(""));
    EXPECT_FALSE(Read(";Tamrel Parameter\r\n;only comments\r\n"));
    std::string reversed;
    for (std::size_t k = kParamKeyCount; k-- > 0;) {
        reversed += std::string(kParamKeys[k].name) + "=" +
                    std::to_string(SpecOf(kParamKeys[k].param).minPos) + "\n";
    }
    const std::optional<ParamPositionSet> loaded = Read(reversed);
    ASSERT_TRUE(loaded);
    EXPECT_EQ((*loaded)[kBlue].white, SpecOf(Param::White).minPos);
}

} // namespace

}  // namespace param_grammar_test
