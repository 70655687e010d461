// Reference files as chart makers write them, through the structure check
// and LittleCMS's IT8 parser: Lab or XYZ (at either white), IDs in either
// spelling, a byte-order mark, decimal commas, SAMPLE_LOC, and files that
// are refused with their reason and line, a claim of more data than the
// file holds and files of other kinds among them.
#include "measure/ChartReference.h"
#include "tests/measure/SimulatedScanner.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <map>
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

std::string WithoutLastLine(std::string text) {
    text.pop_back();
    return text.substr(0, text.rfind('\n') + 1);
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
    const char* find; // an ID to look for, in the other spelling; null for a refusal
    LabColour lab;    // what it should read as
    ReferenceProblem refusal = ReferenceProblem::Empty;
    const char* detail = ""; // the line, set, patch or word the refusal names
};

// Cases print as their names.
void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

const std::string kLab = "SAMPLE_ID LAB_L LAB_A LAB_B";

const ReadCase kCases[] = {
    {"LabShortIdsFoundByLong", Table(kLab, "A1 50 10 -20\nGS0 95 0 0\n", 4, 2), "GS00", {95, 0, 0}},
    {"LabLongIdsFoundByShort", Table(kLab, "A01 50 10 -20\n", 4, 1), "a1", {50, 10, -20}},
    {"XyzWhiteAt100",
     Table("SAMPLE_ID XYZ_X XYZ_Y XYZ_Z", "GS00 96.42 100 82.49\nA1 1 1 1\n", 4, 2),
     "GS0",
     {100, 0, 0}},
    {"XyzWhiteAt1",
     Table("SAMPLE_ID XYZ_X XYZ_Y XYZ_Z", "A01 0.1776 0.18419 0.15194\n", 4, 1),
     "A1",
     {50, 0, 0}},
    {"LabPreferredToXyz",
     Table("SAMPLE_ID XYZ_X XYZ_Y XYZ_Z LAB_L LAB_A LAB_B", "A1 1 1 1 60 1 2\n", 7, 1),
     "A01",
     {60, 1, 2}},
    {"AByteOrderMarkFirst",
     "\xEF\xBB\xBF" + Table(kLab, "A1 50 10 -20\n", 4, 1),
     "A01",
     {50, 10, -20}},
    {"DecimalCommas", Table(kLab, "A1 50,5 -10,25 3\n", 4, 1), "A01", {50.5, -10.25, 3}},
    {"PlacesNamedBySampleLoc",
     Table("SAMPLE_ID SAMPLE_LOC LAB_L LAB_A LAB_B", "1 \"A1\" 50 1 2\n2 \"B1\" 40 3 4\n", 5, 2),
     "B01",
     {40, 3, 4}},
    {"SampleLocAlone",
     Table("SAMPLE_LOC LAB_L LAB_A LAB_B", "GS3 30 0 0\n", 4, 1),
     "GS03",
     {30, 0, 0}},
    {"CrLfLinesAndComments",
     "IT8.7/2\r\n# made by hand\r\nNUMBER_OF_FIELDS 4\r\nBEGIN_DATA_FORMAT\r\n" + kLab +
         "\r\nEND_DATA_FORMAT\r\nNUMBER_OF_SETS 1\r\nBEGIN_DATA\r\nA1 50 1 2 # a patch\r\n"
         "END_DATA\r\n",
     "A1",
     {50, 1, 2}},
    {"NoColourColumns",
     Table("SAMPLE_ID RGB_R RGB_G RGB_B", "A1 1 2 3\n", 4, 1),
     nullptr,
     {},
     ReferenceProblem::NoColumns},
    {"ValueNotANumber",
     Table(kLab, "A1 50 x 3\n", 4, 1),
     nullptr,
     {},
     ReferenceProblem::NotNumber,
     "A1"},
    {"TwoCommasAreNoNumber",
     Table(kLab, "A1 50,5,1 1 3\n", 4, 1),
     nullptr,
     {},
     ReferenceProblem::NotNumber,
     "A1"},
    {"IncludesAnotherFile",
     ".include \"/etc/passwd\"\n" + Table("SAMPLE_ID LAB_L", "A1 5\n", 2, 1),
     nullptr,
     {},
     ReferenceProblem::Includes},
    {"ClaimsMoreThanItHolds", HugeClaim(), nullptr, {}, ReferenceProblem::SetCount, "6"},
    {"FieldsMiscounted",
     Table(kLab, "A1 50 1 2\n", 5, 1),
     nullptr,
     {},
     ReferenceProblem::FieldCount,
     "2"},
    {"SetsMiscounted",
     Table(kLab, "A1 50 1 2\nA2 50 1 2\n", 4, 3),
     nullptr,
     {},
     ReferenceProblem::SetCount,
     "6"},
    {"ASecondTable",
     Table(kLab, "A1 50 1 2\n", 4, 1) + Table(kLab, "A1 50 1 2\n", 4, 1),
     nullptr,
     {},
     ReferenceProblem::SecondTable,
     "10"},
    {"ASecondDataFormat",
     "CGATS.17\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\n" + kLab +
         "\nEND_DATA_FORMAT\nBEGIN_DATA_FORMAT\n" + kLab + "\nEND_DATA_FORMAT\n",
     nullptr,
     {},
     ReferenceProblem::SecondTable,
     "6"},
    {"NoSetCount",
     "CGATS.17\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\n" + kLab +
         "\nEND_DATA_FORMAT\nBEGIN_DATA\nA1 50 1 2\nEND_DATA\n",
     nullptr,
     {},
     ReferenceProblem::Missing,
     "NUMBER_OF_SETS"},
    {"NoEnd",
     WithoutLastLine(Table(kLab, "A1 50 1 2\n", 4, 1)),
     nullptr,
     {},
     ReferenceProblem::Missing,
     "END_DATA"},
    {"AnOpenQuote", Table(kLab, "\"A1 50 1 2\n", 4, 1), nullptr, {}, ReferenceProblem::Syntax, "8"},
    {"AByteCgatsHasNot",
     Table(kLab, "A1\x97 50 1 2\n", 4, 1),
     nullptr,
     {},
     ReferenceProblem::Syntax,
     "8"},
    {"AChartLayout",
     "\nBOXES 25\n  F _ _ 10.0 9.75\n",
     nullptr,
     {},
     ReferenceProblem::ChartLayout,
     "BOXES"},
    {"ArgyllsLayout",
     "CTI2\n" + Table("SAMPLE_ID SAMPLE_LOC XYZ_X XYZ_Y XYZ_Z", "1 A1 1 2 3\n", 5, 1),
     nullptr,
     {},
     ReferenceProblem::ChartLayout,
     "CTI2"},
    {"ArgyllsTargets",
     "CTI1\n" + Table("SAMPLE_ID XYZ_X XYZ_Y XYZ_Z", "1 1 2 3\n", 4, 1),
     nullptr,
     {},
     ReferenceProblem::TargetValues,
     "CTI1"},
    {"ASpectrum", "SPECT\nNUMBER_OF_FIELDS 2\n", nullptr, {}, ReferenceProblem::OtherKind, "SPECT"},
    {"AProfile",
     std::string(36, '\0') + "acsp" + std::string(100, '\0'),
     nullptr,
     {},
     ReferenceProblem::Profile},
    {"NotCgats", "\x89PNG\r\n", nullptr, {}, ReferenceProblem::NotCgats},
    {"Empty", "", nullptr, {}, ReferenceProblem::Empty},
};

class ReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadTest, ReadsOrRefusesWithItsReason) {
    const ReadCase& c = GetParam();
    const Outcome<ChartReference> read =
        ReadReference({reinterpret_cast<const std::uint8_t*>(c.text.data()), c.text.size()});
    if (c.find == nullptr) {
        ASSERT_FALSE(read);
        EXPECT_EQ(read.Why(), Reason(c.refusal, c.detail))
            << read.Why().Value << " " << read.Why().Text;
        return;
    }
    ASSERT_TRUE(read) << read.Why().Value << " " << read.Why().Text;
    const ReferencePatch* patch = read->Find(c.find);
    ASSERT_NE(patch, nullptr);
    EXPECT_NEAR(patch->lab.L, c.lab.L, 0.01);
    EXPECT_NEAR(patch->lab.a, c.lab.a, 0.01);
    EXPECT_NEAR(patch->lab.b, c.lab.b, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Files, ReadTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The files fuzzing found, on which LittleCMS 2.14's own parser crashed
// (SIGBUS inside cmsIT8LoadFromMem): each is refused by the structure check.
TEST(ReferenceFindings, AreRefusedBeforeLittleCmsSeesThem) {
    const std::filesystem::path corpus =
        std::filesystem::path(TAMREL_SOURCE_DIR) / "fuzz/corpus/cgats";
    struct Case {
        const char* file;
        Reason refused;
    };
    const Case cases[] = {
        {"cgats-lcms-bus-1.txt", {ReferenceProblem::Syntax, "2"}},
        {"cgats-lcms-bus-2.txt", {ReferenceProblem::Syntax, "2"}},
        {"cgats-lcms-bus-3.txt", {ReferenceProblem::Syntax, "2"}},
        {"cgats-lcms-bus-4.txt", {ReferenceProblem::Syntax, "2"}},
        {"cgats-lcms-bus-5.txt", {ReferenceProblem::Syntax, "11"}},
    };
    for (const Case& c : cases) {
        const Outcome<ChartReference> read = ReadReferenceFile(corpus / c.file);
        ASSERT_FALSE(read) << c.file;
        EXPECT_EQ(read.Why(), c.refused)
            << c.file << ": " << read.Why().Value << " " << read.Why().Text;
    }
}

// Every file of ArgyllCMS's reference folder (read in place): measured
// values read, and every other kind is named for what it is.
TEST(ArgyllReferences, ReadOrAreNamedForWhatTheyAre) {
    const std::filesystem::path folder = "/usr/share/color/argyll/ref";
    if (!std::filesystem::exists(folder)) {
        GTEST_SKIP() << folder << " is absent";
    }
    const std::map<std::string, std::optional<ReferenceProblem>> byExtension = {
        {".cie", std::nullopt},
        {".cht", ReferenceProblem::ChartLayout},
        {".ti2", ReferenceProblem::ChartLayout},
        {".ti1", ReferenceProblem::TargetValues},
        {".sp", ReferenceProblem::OtherKind},
        {".cal", ReferenceProblem::OtherKind},
        {".gam", ReferenceProblem::OtherKind},
        {".icm", ReferenceProblem::Profile},
    };
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::filesystem::path& path = entry.path();
        const auto expected = byExtension.find(path.extension().string());
        ASSERT_NE(expected, byExtension.end()) << path;
        const Outcome<ChartReference> read = ReadReferenceFile(path);
        ++files;
        if (!expected->second) {
            ASSERT_TRUE(read) << path << ": " << read.Why().Value << " " << read.Why().Text;
            EXPECT_GE(read->Patches().size(), 24U) << path;
            continue;
        }
        ASSERT_FALSE(read) << path;
        EXPECT_EQ(read.Why().Code, ReasonCode::BadReference) << path;
        EXPECT_EQ(read.Why().Value, static_cast<std::int64_t>(*expected->second))
            << path << ": " << read.Why().Text;
    }
    EXPECT_GT(files, 50);
}

// The Passport's ColorChecker page is keyed by SAMPLE_LOC alone.
TEST(ArgyllReferences, ThePassportHoldsTheColorCheckersPatches) {
    const std::filesystem::path file = "/usr/share/color/argyll/ref/ColorCheckerPassport.cie";
    if (!std::filesystem::exists(file)) {
        GTEST_SKIP() << file << " is absent";
    }
    const Outcome<ChartReference> read = ReadReferenceFile(file);
    ASSERT_TRUE(read) << read.Why().Text;
    EXPECT_EQ(MissingPatch(LayoutOf(ChartKind::ColorChecker24), *read), std::nullopt);
    EXPECT_NEAR(read->Find("A01")->lab.L, BuiltInColorChecker().Find("A01")->lab.L, 3.0);
}

// The window runs in the user's locale, whose numbers may take a decimal
// comma: a file with decimal points reads the same there.
TEST(ReferenceInALocale, WithDecimalCommasReadsTheSameValues) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no de_DE.UTF-8 locale";
    }
    const std::vector<ReferencePatch> patches = simscan::It8Patches(false);
    const std::string text = simscan::Cgats(patches, false);
    const Outcome<ChartReference> read =
        ReadReference({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    std::setlocale(LC_NUMERIC, before.c_str());
    ASSERT_TRUE(read) << read.Why().Text;
    EXPECT_NEAR(read->Find("A01")->lab.L, patches.front().lab.L, 1e-3);
    EXPECT_NEAR(read->Find("A01")->lab.b, patches.front().lab.b, 1e-3);
}

TEST(BuiltInReference, HoldsEveryColorCheckerPatch) {
    EXPECT_EQ(MissingPatch(LayoutOf(ChartKind::ColorChecker24), BuiltInColorChecker()),
              std::nullopt);
    EXPECT_EQ(MissingPatch(LayoutOf(ChartKind::It8), BuiltInColorChecker()), "A07");
}

} // namespace

} // namespace reference_test
