#include "io/ExportNames.h"
#include "io/TableFile.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

namespace export_names_test {

namespace {

struct NameCase {
    const char* picked;
    ExportNames expected;
};

TEST(ExportNames, SuffixGoesBeforeTheExtensionAfterTheLastDot) {
    const NameCase cases[] = {
        {"/scan/curve.tvk", {"/scan/curveR.tvk", "/scan/curveG.tvk", "/scan/curveB.tvk"}},
        {"/scan/a.b.tvk", {"/scan/a.bR.tvk", "/scan/a.bG.tvk", "/scan/a.bB.tvk"}},
        {"/scan/curve", {"/scan/curveR.", "/scan/curveG.", "/scan/curveB."}},
        {"/scan.d/curve", {"/scan.d/curveR.", "/scan.d/curveG.", "/scan.d/curveB."}},
        {"/curve.tvk", {"/curveR.tvk", "/curveG.tvk", "/curveB.tvk"}},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(DeriveExportNames(c.picked), c.expected) << c.picked;
    }
}

TEST(ExportNames, OnlyTheBlueFileExistingCountsAsExisting) {
    ScratchDir dir;
    const ExportNames names = DeriveExportNames(dir / "curve.tvk");
    EXPECT_FALSE(AnyExistsAsFile(names));
    WriteBytes(names[kBlue], "x");
    EXPECT_TRUE(AnyExistsAsFile(names));
}

TEST(ExportNames, ASymbolicLinkToNothingCountsAsExisting) {
    ScratchDir dir;
    const ExportNames names = DeriveExportNames(dir / "curve.tvk");
    std::filesystem::create_symlink(dir / "nowhere" / "gone.tvk", names[kGreen]);
    EXPECT_TRUE(ExistsAsFile(names[kGreen]));
    EXPECT_TRUE(AnyExistsAsFile(names));
}

TEST(ExportNames, ADirectoryUnderTheRedNameIsNotAFileAndCannotBeWritten) {
    ScratchDir dir;
    const ExportNames names = DeriveExportNames(dir / "curve.tvk");
    std::filesystem::create_directory(names[kRed]);
    EXPECT_FALSE(ExistsAsFile(names[kRed]));
    EXPECT_FALSE(AnyExistsAsFile(names));
    EXPECT_EQ(WriteTableFile(names[kRed], GammaTable{}, "t"), WriteResult::CannotOpen);
    EXPECT_TRUE(std::filesystem::is_directory(names[kRed]));
}

} // namespace

}  // namespace export_names_test
