// PNM files as netpbm reads them: the header, one or two bytes per sample
// (big-endian), and nothing left behind when the file cannot be made.
#include "image/PnmWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class PnmWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("pnm_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(PnmWriterTest, WritesHeaderAndSamplesOfEachKind) {
    const std::uint16_t words[] = {0x0102, 0xFFFE, 0x00FF};
    SampleImage wide{{1, 1, kRgbChannels, kWordDepth}, {}};
    wide.bytes.resize(sizeof words);
    std::memcpy(wide.bytes.data(), words, sizeof words);
    struct Case {
        const char* name;
        SampleImage image;
        std::string expected;
    };
    const Case cases[] = {
        {"rgb 8",
         {{2, 1, kRgbChannels, kByteDepth}, {1, 2, 3, 4, 5, 6}},
         std::string("P6\n2 1\n255\n\x01\x02\x03\x04\x05\x06", 17)},
        {"grey 8 two rows",
         {{1, 2, kGreyChannels, kByteDepth}, {7, 8}},
         std::string("P5\n1 2\n255\n\x07\x08", 13)},
        {"rgb 16 big-endian", wide, std::string("P6\n1 1\n65535\n\x01\x02\xFF\xFE\x00\xFF", 19)},
    };
    for (const Case& c : cases) {
        const fs::path out = dir_ / "out.pnm";
        ASSERT_EQ(WritePnm(out, c.image), WriteResult::Ok) << c.name;
        EXPECT_EQ(Contents(out), c.expected) << c.name;
    }
}

TEST_F(PnmWriterTest, ARowOfTheWrongLengthFailsWithoutAFile) {
    const fs::path out = dir_ / "out.pnm";
    const std::uint8_t shortRow[2] = {};
    const WriteResult result = WritePnm(out, SampleLayout{1, 1, kRgbChannels, kByteDepth},
                                        [&](std::int32_t) { return std::span(shortRow); });
    EXPECT_EQ(result, WriteResult::WriteFailed);
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(PnmWriterTest, AFolderAsTargetCannotBeOpened) {
    EXPECT_EQ(WritePnm(dir_, SampleImage{{1, 1, kGreyChannels, kByteDepth}, {0}}),
              WriteResult::CannotOpen);
}

} // namespace
