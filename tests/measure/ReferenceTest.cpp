// Reference files as chart makers write them, through LittleCMS's IT8
// parser: Lab or XYZ (at either white), IDs in either spelling, and files
// that are refused with their reason, a claim of more data than the file
// holds among them.
#include "measure/ChartReference.h"
#include "tests/measure/SimulatedScanner.h"

#include <gtest/gtest.h>

#include <ostream>

namespace reference_test {

namespace {

// 30000 columns (2 bytes each) and 30000 sets claimed: LittleCMS would ask
// for 30001 x 30001 pointers, 7 GB, for a file of 60 kB.
std::string HugeClaim() {
    std::string columns = "SAMPLE_ID LAB_L LAB_A LAB_B";
    for (int i = 4; i < 30000; ++i) {
        columns += " X";
    }
    return "CGATS.17\nNUMBER_OF_FIELDS 30000\nBEGIN_DATA_FORMAT\n" + columns +
           "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 30000\nBEGIN_DATA\nA1 50 0 0\nEND_DATA\n";
}

std::string Table(const std::string& columns, const std::string& rows, int fields, int sets) {
    return "CGATS.17\nNUMBER_OF_FIELDS " + std::to_string(fields) + "\nBEGIN_DATA_FORMAT\n" +
           columns + "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " + std::to_string(sets) +
           "\nBEGIN_DATA\n" + rows + "END_DATA\n";
}

// D50 white is X 96.42, Y 100, Z 82.49; L* 50 grey is Y 18.42.
struct ReadCase {
    const char* name;
    std::string text;
    const char* find;    // an ID to look for, in the other spelling; null for a refusal
    LabColour lab;       // what it should read as
    const char* refusal; // words the reason holds
};

// Cases print as their names.
void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

const ReadCase kCases[] = {
    {"LabShortIdsFoundByLong",
     Table("SAMPLE_ID LAB_L LAB_A LAB_B", "A1 50 10 -20\nGS0 95 0 0\n", 4, 2),
     "GS00",
     {95, 0, 0},
     ""},
    {"LabLongIdsFoundByShort",
     Table("SAMPLE_ID LAB_L LAB_A LAB_B", "A01 50 10 -20\n", 4, 1),
     "a1",
     {50, 10, -20},
     ""},
    {"XyzWhiteAt100",
     Table("SAMPLE_ID XYZ_X XYZ_Y XYZ_Z", "GS00 96.42 100 82.49\nA1 1 1 1\n", 4, 2),
     "GS0",
     {100, 0, 0},
     ""},
    {"XyzWhiteAt1",
     Table("SAMPLE_ID XYZ_X XYZ_Y XYZ_Z", "A01 0.1776 0.18419 0.15194\n", 4, 1),
     "A1",
     {50, 0, 0},
     ""},
    {"LabPreferredToXyz",
     Table("SAMPLE_ID XYZ_X XYZ_Y XYZ_Z LAB_L LAB_A LAB_B", "A1 1 1 1 60 1 2\n", 7, 1),
     "A01",
     {60, 1, 2},
     ""},
    {"NoColourColumns",
     Table("SAMPLE_ID RGB_R RGB_G RGB_B", "A1 1 2 3\n", 4, 1),
     nullptr,
     {},
     "no table of SAMPLE_ID"},
    {"ValueNotANumber",
     Table("SAMPLE_ID LAB_L LAB_A LAB_B", "A1 50 x 3\n", 4, 1),
     nullptr,
     {},
     "A1 has a value that is not a number"},
    {"IncludesAnotherFile",
     ".include \"/etc/passwd\"\n" + Table("SAMPLE_ID LAB_L", "A1 5\n", 2, 1),
     nullptr,
     {},
     ".INCLUDE"},
    {"ClaimsMoreThanItHolds", HugeClaim(), nullptr, {}, "allocate"},
    {"NotCgats", "\x89PNG\r\n", nullptr, {}, "damaged"},
    {"Empty", "", nullptr, {}, "empty"},
};

class ReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadTest, ReadsOrRefusesWithItsReason) {
    const ReadCase& c = GetParam();
    const Outcome<ChartReference> read =
        ReadReference({reinterpret_cast<const std::uint8_t*>(c.text.data()), c.text.size()});
    if (c.find == nullptr) {
        ASSERT_FALSE(read);
        EXPECT_EQ(read.Why().Code, ReasonCode::DamagedData);
        EXPECT_NE(("damaged " + read.Why().Text).find(c.refusal), std::string::npos)
            << read.Why().Text;
        return;
    }
    ASSERT_TRUE(read) << read.Why().Text;
    const ReferencePatch* patch = read->Find(c.find);
    ASSERT_NE(patch, nullptr);
    EXPECT_NEAR(patch->lab.L, c.lab.L, 0.01);
    EXPECT_NEAR(patch->lab.a, c.lab.a, 0.01);
    EXPECT_NEAR(patch->lab.b, c.lab.b, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Files, ReadTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BuiltInReference, HoldsEveryColorCheckerPatch) {
    EXPECT_EQ(MissingPatch(LayoutOf(ChartKind::ColorChecker24), BuiltInColorChecker()),
              std::nullopt);
    EXPECT_EQ(MissingPatch(LayoutOf(ChartKind::It8), BuiltInColorChecker()), "A07");
}

} // namespace

} // namespace reference_test
