// The real window keeping a 16-bit file or scan at its 16 bits: the readout
// under the pointer gives the file's own sample before the curves and, through
// them, the level `apply` writes with the parameters the window saves; a page
// scanned at 16 bits from SANE's test device reads at 16 bits too, after a
// file and before the next one.
#include "image/ReadImage.h"
#include "tests/app/ScanSteps.h"
#include "tests/cli/CliRun.h"
#include "tests/image/ScanFiles.h"

#include <gtest/gtest.h>

namespace wide_end_to_end_test {

namespace {

using namespace apptest;

constexpr int kWidth = 300;
constexpr int kHeight = 200;
// Odd samples no 8-bit level times 257 can give.
constexpr std::array<std::uint16_t, 3> kSamples = {40001, 20003, 5005};
constexpr std::uint32_t kTop = 65535;

std::filesystem::path WriteFlat(const ScratchDir& scratch) {
    const auto bytes = scantest::EncodePnm(
        kWidth, kHeight, 3, kTop, [](int, int, int c) { return kSamples[std::size_t(c)]; });
    WriteBytes(scratch / "flat.pnm", std::string(bytes.begin(), bytes.end()));
    return scratch / "flat.pnm";
}

std::string Readout() {
    return "; move IDC_IMAGE 150 200; print IDC_PIXEL_R; print IDC_PIXEL_G; print IDC_PIXEL_B";
}

// 補正前の画像, the sixth entry of the context menu (MenuEntrySteps counts
// from 1).
std::string ToggleBefore() {
    return "; " + MenuEntrySteps(6) + "; wait 300";
}

std::string SaveParams(const std::filesystem::path& path) {
    return "; click IDC_SAVE_PARAMS; wait 300; type " + path.string() +
           "; key Return; wait 300; key Return; wait 200";
}

// The i-th reading of each channel, as numbers.
std::array<std::uint32_t, 3> Reading(const std::string& out, std::size_t i) {
    std::array<std::uint32_t, 3> levels{};
    const char* names[] = {"IDC_PIXEL_R", "IDC_PIXEL_G", "IDC_PIXEL_B"};
    for (std::size_t c = 0; c < levels.size(); ++c) {
        const auto printed = Printed(out, names[c]);
        EXPECT_GT(printed.size(), i) << out;
        if (printed.size() > i) {
            const std::string& text = printed[i];
            levels[c] = static_cast<std::uint32_t>(std::stoul(text.substr(text.find(' ') + 1)));
        }
    }
    return levels;
}

// The first pixel of `apply`'s output of `input` with the window's parameters.
std::array<std::uint32_t, 3> Applied(const ScratchDir& scratch, const std::filesystem::path& params,
                                     const std::filesystem::path& input) {
    const std::filesystem::path out = scratch / "applied.pnm";
    const clitest::CliResult applied =
        clitest::RunCli(scratch, {"apply", params.string(), input.string(), out.string()});
    EXPECT_EQ(applied.status, 0) << applied.err;
    const Outcome<KeptImage> picture = ReadPictureFile(out);
    EXPECT_TRUE(picture && picture->Wide()) << out;
    return picture && picture->Wide() ? picture->SamplesAt(0, 0) : std::array<std::uint32_t, 3>{};
}

TEST(TamrelWide, ASixteenBitFileReadsItsOwnSamplesAndTheLevelsApplyWrites) {
    const ScratchDir scratch;
    const std::filesystem::path file = WriteFlat(scratch);
    std::string script = OpenImageSteps(file) + Readout(); // through the curves
    script += ToggleBefore() + Readout();                  // the file's own
    script += ToggleBefore() + SaveParams(scratch / "window.tvp") + "; close";
    const RunResult result = RunTamrel(scratch, {script, {}, {}, std::chrono::seconds(40)});
    ASSERT_TRUE(result.exited) << result.err;
    ASSERT_EQ(result.status, 0) << result.err;

    EXPECT_EQ(Reading(result.out, 1),
              (std::array<std::uint32_t, 3>{kSamples[0], kSamples[1], kSamples[2]}));
    const std::array<std::uint32_t, 3> shown = Reading(result.out, 0);
    EXPECT_EQ(shown, Applied(scratch, scratch / "window.tvp", file));
    EXPECT_GT(shown[0], 255u) << "a 16-bit level, not the screen's";
}

TEST(TamrelWide, APageScannedAtSixteenBitsAfterAFileReadsAtSixteenBits) {
    const ScratchDir scratch;
    // The histogram stays shown from the file through the scan to the next
    // file: its counts follow each picture's depth.
    std::string script = OpenImageSteps(WriteFlat(scratch)) + ToggleBefore() + Readout() + "; " +
                         MenuEntrySteps(3) + "; wait 300";
    // 16 bits, the last depth the dialog offers.
    script += "; key Shift+F10; key S; wait 500; click scanDepth; wait 200; key End; key Return"
              "; wait 200; print scanDepth; click scanStart; wait 2500" +
              Readout();
    // The scan is not saved: the window asks before the file replaces it.
    script += "; click IDC_OPEN_IMAGE; await qt_msgbox_label 5000; key Y; await fileNameEdit 5000"
              "; type " +
              WriteFlat(scratch).string() + "; key Return; await IDC_APPLY 5000; wait 300" +
              Readout() + "; close";
    RunSetup setup = WithTestDevice(scratch, "mode Color\ntest-picture \"Solid white\"\n", script);
    setup.limit = std::chrono::seconds(60);
    const RunResult result = RunTamrel(scratch, setup);
    ASSERT_TRUE(result.exited) << result.err;
    ASSERT_EQ(result.status, 0) << result.err;

    EXPECT_EQ(Printed(result.out, "scanDepth"), std::vector<std::string>{"16"});
    const std::array<std::uint32_t, 3> file{kSamples[0], kSamples[1], kSamples[2]};
    EXPECT_EQ(Reading(result.out, 0), file);
    EXPECT_EQ(Reading(result.out, 1), (std::array<std::uint32_t, 3>{kTop, kTop, kTop}))
        << "the white page at 16 bits, before the curves";
    EXPECT_EQ(Reading(result.out, 2), file) << "the next file after the scan";
}

} // namespace

} // namespace wide_end_to_end_test
