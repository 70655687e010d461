// The pages a numbering already holds: only names that its number gives
// back exactly count, so a look-alike is never taken for a page.
#include "io/NumberedFiles.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace numbered_files_test {

namespace {

TEST(NumberedFiles, OnlyTheNamesTheNumberingGivesCount) {
    ScratchDir scratch;
    for (const char* file :
         {"scan-010.pnm", "scan-002.pnm", "scan-1000.pnm", "scan-01.pnm", "scan-0999.pnm",
          "scan-000.pnm", "scan--01.pnm", "scan-+01.pnm", "scan-abc.pnm", "scan.pnm",
          "scan-001.png", "p  7.tif", "p 12.tif", "p007.tif"}) {
        WriteBytes(scratch / file, "page");
    }
    const NumberedFiles pages = ExistingPages(scratch / "scan.pnm");
    EXPECT_EQ(pages.count, 3u);
    EXPECT_EQ(pages.first, scratch / "scan-002.pnm");
    EXPECT_EQ(pages.highest, 1000);
    // printf's "% 3d": blanks before the number.
    const auto blankPadded = [](int number) {
        char digits[16] = {};
        std::snprintf(digits, sizeof digits, "% 3d", number);
        return std::string("p") + digits + ".tif";
    };
    const NumberedFiles blanks = FindNumberedFiles(scratch.Path(), {"p", ".tif", blankPadded});
    EXPECT_EQ(blanks.count, 2u);
    EXPECT_EQ(blanks.first, scratch / "p  7.tif");
    EXPECT_EQ(blanks.highest, 12);
    EXPECT_EQ(ExistingPages(scratch / "other.pnm").count, 0u);
}

} // namespace

} // namespace numbered_files_test
