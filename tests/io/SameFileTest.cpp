// Two names of one file are one file however they are spelt or linked; two
// files alike in every byte are two; a name that reaches nothing is never
// the same as anything, not even itself.
#include "io/SameFile.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

namespace same_file_test {

namespace {

namespace fs = std::filesystem;

// Two names in a folder that holds scan.tif, copy.tif (the same bytes),
// folder/, and the links hard.tif, soft.tif (to scan.tif) and dangling.tif.
struct NamesCase {
    const char* name;
    const char* first;
    const char* second;
    bool same;
};

void PrintTo(const NamesCase& c, std::ostream* out) {
    *out << c.name;
}

class SameFile : public testing::TestWithParam<NamesCase> {};

TEST_P(SameFile, OnlyNamesThatReachOneFileAreOne) {
    ScratchDir scratch;
    WriteBytes(scratch / "scan.tif", "pixels");
    WriteBytes(scratch / "copy.tif", "pixels");
    fs::create_directory(scratch / "folder");
    fs::create_hard_link(scratch / "scan.tif", scratch / "hard.tif");
    fs::create_symlink(scratch / "scan.tif", scratch / "soft.tif");
    fs::create_symlink(scratch / "gone.tif", scratch / "dangling.tif");
    const NamesCase& row = GetParam();
    EXPECT_EQ(IsSameFile(scratch / row.first, scratch / row.second), row.same);
    EXPECT_EQ(IsSameFile(scratch / row.second, scratch / row.first), row.same) << "either way";
}

INSTANTIATE_TEST_SUITE_P(
    Names, SameFile,
    testing::Values(NamesCase{"OneName", "scan.tif", "scan.tif", true},
                    NamesCase{"ThroughAFolder", "scan.tif", "folder/../scan.tif", true},
                    NamesCase{"ThroughDot", "./scan.tif", "scan.tif", true},
                    NamesCase{"HardLink", "hard.tif", "scan.tif", true},
                    NamesCase{"SymbolicLink", "soft.tif", "scan.tif", true},
                    NamesCase{"ACopy", "copy.tif", "scan.tif", false},
                    NamesCase{"AFolderAndAFile", "folder", "scan.tif", false},
                    NamesCase{"ANewName", "new.tif", "scan.tif", false},
                    NamesCase{"ANewNameAndItself", "new.tif", "new.tif", false},
                    NamesCase{"ALinkToNothing", "dangling.tif", "gone.tif", false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace same_file_test
