// The pages a numbering already holds: only names that its number gives
// back exactly count, so a look-alike is never taken for a page.
#include "io/NumberedFiles.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace numbered_files_test {

namespace {

// "p" and the number as printf's "% 3d" writes it, then ".tif".
std::string BlankPadded(int number) {
    char digits[16] = {};
    std::snprintf(digits, sizeof digits, "% 3d", number);
    return std::string("p") + digits + ".tif";
}

TEST(NumberedFiles, OnlyTheNamesTheNumberingGivesCount) {
    struct Case {
        const char* name;
        std::vector<const char*> files;
        std::size_t count;
        const char* first;
        int highest;
    };
    const Case windowPages[] = {
        {"none", {"scan.pnm", "scan-001.png", "other-001.pnm"}, 0, "", 0},
        {"three of them",
         {"scan-010.pnm", "scan-002.pnm", "scan-001.pnm", "scan-01.pnm", "scan-abc.pnm",
          "scan-000.pnm", "scan--01.pnm", "scan-+01.pnm"},
         3,
         "scan-001.pnm",
         10},
        {"past three digits", {"scan-1000.pnm", "scan-0999.pnm"}, 1, "scan-1000.pnm", 1000},
    };
    for (const Case& c : windowPages) {
        ScratchDir scratch;
        for (const char* file : c.files) {
            WriteBytes(scratch / file, "page");
        }
        const NumberedFiles found = ExistingPages(scratch / "scan.pnm");
        EXPECT_EQ(found.count, c.count) << c.name;
        EXPECT_EQ(found.highest, c.highest) << c.name;
        EXPECT_EQ(found.first, *c.first ? scratch / c.first : std::filesystem::path()) << c.name;
    }
    ScratchDir scratch;
    for (const char* file : {"p  7.tif", "p 12.tif", "p007.tif", "p7.tif"}) {
        WriteBytes(scratch / file, "page");
    }
    const NumberedFiles blanks = FindNumberedFiles(scratch.Path(), {"p", ".tif", BlankPadded});
    EXPECT_EQ(blanks.count, 2u);
    EXPECT_EQ(blanks.first, scratch / "p  7.tif");
    EXPECT_EQ(blanks.highest, 12);
    EXPECT_EQ(PageFileName("/a/scan.tif", 7), std::filesystem::path("/a/scan-007.tif"));
}

} // namespace

} // namespace numbered_files_test
