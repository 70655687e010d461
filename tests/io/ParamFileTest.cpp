#include "curve/ChannelStore.h"
#include "io/ParamFileReader.h"
#include "io/ParamFileWriter.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

namespace param_file_test {

namespace {

const ParamPositionSet kDefaults = {ParamPositions{}, ParamPositions{}, ParamPositions{}};

// Every position different, and each range's ends in use.
const ParamPositionSet kMixed = {ParamPositions{0, 200, 0, 150}, ParamPositions{100, 255, 200, 250},
                                 ParamPositions{37, 213, 99, 222}};

TEST(ParamFile, StartUpPositionsGiveThe154ByteFile) {
    IgnoreFileSizeSignal();
    ScratchDir dir;
    ASSERT_EQ(SaveParamFile(dir / "p.tvp", kDefaults), WriteResult::Ok);
    const std::string expected = ";Tamrel Parameter\r\n"
                                 "BlackR=0\r\nBlackG=0\r\nBlackB=0\r\n"
                                 "WhiteR=255\r\nWhiteG=255\r\nWhiteB=255\r\n"
                                 "AlphaR=99\r\nAlphaG=99\r\nAlphaB=99\r\n"
                                 "GammaR=200\r\nGammaG=200\r\nGammaB=200\r\n";
    EXPECT_EQ(expected.size(), 154u);
    EXPECT_EQ(ReadBytes(dir / "p.tvp"), expected);
    EXPECT_EQ(FormatParamFile(kDefaults).size(), 13u); // one write per line
}

TEST(ParamFile, SaveThenLoadLeavesPositionsAndTablesAsTheyWere) {
    ScratchDir dir;
    for (const ParamPositionSet& saved : {kDefaults, kMixed}) {
        ChannelParamsSet store{}, reloaded{};
        GammaTableSet tables{}, reloadedTables{};
        ApplyPositionSet(saved, store, tables);
        ASSERT_EQ(SaveParamFile(dir / "p.tvp", PositionSetOf(store)), WriteResult::Ok);
        const ParamLoad load = LoadParamFile(dir / "p.tvp");
        ASSERT_EQ(load.result, LoadResult::Ok);
        ApplyPositionSet(load.positions, reloaded, reloadedTables);
        EXPECT_EQ(PositionSetOf(reloaded), saved);
        EXPECT_EQ(reloadedTables, tables);
    }
}

TEST(ParamFile, LoadTellsWhyNothingIsToBeApplied) {
    ScratchDir dir;
    std::filesystem::create_directory(dir / "folder.tvp");
    WriteBytes(dir / "empty.tvp", "");
    EXPECT_EQ(LoadParamFile(dir / "missing.tvp").result, LoadResult::CannotOpen);
    EXPECT_EQ(LoadParamFile(dir / "folder.tvp").result, LoadResult::CannotOpen);
    EXPECT_EQ(LoadParamFile(dir / "empty.tvp").result, LoadResult::Incomplete);
}

TEST(ParamFile, AReadErrorOfTheFileLayerIsReportedAsSuch) {
    // Reading this process's memory from address 0 fails with EIO.
    const ParamLoad load = LoadParamFile("/proc/self/mem");
    if (load.result == LoadResult::CannotOpen) {
        GTEST_SKIP() << "/proc/self/mem cannot be opened here, so no read error can be made";
    }
    EXPECT_EQ(load.result, LoadResult::ReadFailed);
}

TEST(ParamFile, AFileOfManyMegabytesIsReadToTheEnd) {
    ScratchDir dir;
    std::string bytes(3 * 1024 * 1024, '\n');
    for (const std::string& line : FormatParamFile(kMixed)) {
        bytes += line;
    }
    WriteBytes(dir / "big.tvp", bytes);
    const ParamLoad load = LoadParamFile(dir / "big.tvp");
    EXPECT_EQ(load.result, LoadResult::Ok);
    EXPECT_EQ(load.positions, kMixed);
}

TEST(ParamFile, HowTheBytesArriveDoesNotMatter) {
    std::string text;
    for (const std::string& line : FormatParamFile(kMixed)) {
        text += line;
    }
    text.insert(0, 200, 'x'); // a cut line ahead of the keys
    text.insert(200, "\n");
    const std::span<const unsigned char> bytes(reinterpret_cast<const unsigned char*>(text.data()),
                                               text.size());
    for (std::size_t piece = 1; piece <= text.size(); ++piece) {
        ParamFileParser parser;
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            parser.Feed(bytes.subspan(at, std::min(piece, bytes.size() - at)));
        }
        ASSERT_EQ(parser.Result(), kMixed) << "pieces of " << piece;
    }
}

} // namespace

} // namespace param_file_test
