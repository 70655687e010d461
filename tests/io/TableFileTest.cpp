#include "io/TableFile.h"

#include "ScratchDir.h"
#include "io/TextLine.h"
#include "tests/support/CommaLocale.h"

#include <gtest/gtest.h>

#include <vector>

namespace table_file_test {

namespace {

GammaTable DefaultTable() {
    GammaTable table{};
    ComputeChannelTable(kDefaultChannelParams, table);
    return table;
}

// Splits at CR LF and insists that every line, the last included, ends so.
std::vector<std::string> CrLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    EXPECT_EQ(start, bytes.size()) << "bytes after the last CR LF";
    return lines;
}

TEST(TableFile, DefaultRedFileHasTitleCountAndEntriesOnCrLfLines) {
    IgnoreFileSizeSignal();
    ScratchDir dir;
    ASSERT_EQ(WriteTableFile(dir / "curveR.tvk", DefaultTable(), kTableChannels[kRed].title),
              WriteResult::Ok);
    const std::string bytes = ReadBytes(dir / "curveR.tvk");
    EXPECT_EQ(bytes.find_first_of("\r\n"), bytes.find("\r\n")); // no bare CR or LF
    const std::vector<std::string> lines = CrLfLines(bytes);
    ASSERT_EQ(lines.size(), 258u);
    EXPECT_EQ(lines[0], "Gamma table by Tamrel - Red");
    EXPECT_EQ(lines[1], "256");
    const std::vector<std::string> first = {"0",  "4",  "7",  "11", "15",
                                            "18", "22", "25", "28", "31"};
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 12), first);
    EXPECT_EQ(lines.back(), "255");
}

TEST(TableFile, LinesOfFilesWriteNumbersTheCWayUnderADecimalCommaLocale) {
    const CommaLocale comma;
    ASSERT_TRUE(comma.Active()) << "de_DE.UTF-8 is missing; scripts/setup.sh makes it";
    EXPECT_EQ(FormatLine("%.6f %d\r\n", 0.5, 1234567), "0.500000 1234567\r\n");
}

TEST(TableFile, EntriesAreSignedDecimalsAndTheCountIsAlways256) {
    const GammaTable table = {-32768, -5, 1000, 0, 32767};
    const std::vector<std::string> pieces = FormatTableFile(table, "T");
    ASSERT_EQ(pieces.size(), 257u); // title and count go out in one write
    const std::vector<std::string> first = {"T\r\n256\r\n", "-32768\r\n", "-5\r\n",
                                            "1000\r\n",     "0\r\n",      "32767\r\n"};
    EXPECT_EQ(std::vector<std::string>(pieces.begin(), pieces.begin() + 6), first);
}

TEST(TableFile, ExportingTwiceGivesIdenticalFilesUnderTheirOwnTitles) {
    ScratchDir dir;
    const ExportNames names = DeriveExportNames(dir / "curve.tvk");
    const GammaTableSet tables = {DefaultTable(), DefaultTable(), DefaultTable()};
    ASSERT_EQ(WriteTableFiles(names, tables), WriteResult::Ok);
    const std::string red = ReadBytes(names[kRed]);
    ASSERT_EQ(WriteTableFiles(names, tables), WriteResult::Ok);
    EXPECT_EQ(ReadBytes(names[kRed]), red);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        const std::string bytes = ReadBytes(names[c]);
        EXPECT_EQ(bytes.substr(0, bytes.find("\r\n")), kTableChannels[c].title);
        EXPECT_EQ(bytes.substr(bytes.find("\r\n")), red.substr(red.find("\r\n")));
    }
    EXPECT_EQ(dir.Entries().size(), kChannelCount); // no temporary file stays
}

TEST(TableFile, ExportStopsAtTheFirstFileThatCannotBeOpened) {
    ScratchDir dir;
    const ExportNames names = DeriveExportNames(dir / "curve.tvk");
    std::filesystem::create_directory(names[kGreen]);
    const TableFilesOutcome written = WriteTableFiles(names, GammaTableSet{});
    EXPECT_EQ(written.Result, WriteResult::CannotOpen);
    EXPECT_EQ(written.FailedFile, names[kGreen]);
    EXPECT_TRUE(std::filesystem::is_regular_file(names[kRed]));
    EXPECT_TRUE(std::filesystem::is_directory(names[kGreen]));
    EXPECT_FALSE(std::filesystem::exists(names[kBlue]));
}

} // namespace

}  // namespace table_file_test
