// One long session of the real program: 200 acquisitions (60 under the
// sanitizers) from SANE's virtual test device at alternating sizes and
// depths, files opened between them, the image before the tables and the
// histogram switched on and off on the way.
// Whatever a round takes from the system it must give back: after the last
// round the program holds no more descriptors or threads than after the
// 20th, nor more than 5 % more resident memory, and it closes with status 0.
#include "tests/app/RunTamrel.h"
#include "tests/app/TestDevice.h"
#include "tests/image/BmpWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

namespace soak_end_to_end_test {

namespace {

using apptest::RunSetup;
using apptest::RunTamrel;

constexpr int kSettledRound =
    20; // the first rounds fill caches and pools; later ones must not grow
constexpr double kResidentGrowthAllowed = 1.05;
// A sanitizer build keeps freed memory in quarantine, so only a plain build's
// resident size says whether rounds leave memory behind; there the rounds
// look for descriptors and threads left behind (and the leak checker for
// memory), which a few dozen rounds show as well as two hundred.
#ifdef TAMREL_SANITIZED
constexpr bool kResidentSizeTells = false;
constexpr int kRounds = 60;
#else
constexpr bool kResidentSizeTells = true;
constexpr int kRounds = 200;
#endif
constexpr std::chrono::seconds kSessionLimit{540};

// Each waiting step gives up after this long, which the test then reports.
const std::string kDialogMs = " 10000";
const std::string kScanMs = " 30000";

struct Usage {
    long residentKb = 0;
    int openFiles = 0;
    int threads = 0;
};

// Yes to the question whether to discard the scan taken in before, which
// is never saved.
const std::string kDiscard = "await qt_msgbox_label" + kDialogMs + "; key Y; ";

// One acquisition: even rounds at the smallest resolution the dialog offers
// (1 dpi, a few pixels), odd rounds at the next (75 dpi); 8 bits for two
// rounds, then 16 for two. The next step waits until the window is back.
// Where the window holds the scan of the round before, it is discarded.
std::string Acquire(int round, bool afterScan) {
    const bool small = round % 2 == 0;
    const bool deep = round / 2 % 2 == 1;
    const std::string list = "; await QComboBoxPrivateContainer" + kDialogMs + "; ";
    return "key Shift+F10; await QMenu" + kDialogMs + "; key S; " + (afterScan ? kDiscard : "") +
           "await scanStart" + kDialogMs + "; click scanResolution" + list + "key Home; " +
           (small ? "" : "key Down; ") + "key Return; click scanDepth" + list + "key " +
           (deep ? "End" : "Home") + "; key Return; click scanStart; gone scanProgress" + kScanMs +
           "; await IDC_APPLY" + kDialogMs + "; ";
}

std::string Open(const std::filesystem::path& file) {
    return "click IDC_OPEN_IMAGE; " + kDiscard + "await fileNameEdit" + kDialogMs + "; type " +
           file.string() + "; key Return; await IDC_APPLY" + kDialogMs + "; ";
}

// ヒストグラムを表示 is the menu's third entry after the two of the window.
constexpr const char* kToggleHistogram = "key Shift+F10; await QMenu 10000; key Down; key Down; "
                                         "key Down; key Return; await IDC_APPLY 10000; ";

// Files open every fifth round (a BMP and a 16-bit PNM in turn, both smaller
// than the 75 dpi scan that follows every other time), the image
// before the tables every third, the histogram every tenth: the states after
// the 20th and the last round are the same (each switch thrown an even number
// of times), so their usage compares like with like.
std::string Session(const std::filesystem::path& bmp, const std::filesystem::path& pnm) {
    // The waiting steps hold each round to its dialogs and scan, so the steps
    // between need no more than a short gap.
    std::string script = "gap 10; await IDC_APPLY 10000; ";
    for (int round = 0; round < kRounds; ++round) {
        // A file opened in the round before has taken the scan's place.
        script += Acquire(round, round > 0 && round % 5 != 0);
        if (round % 5 == 4) {
            script += Open(round % 10 == 4 ? bmp : pnm);
        }
        if (round % 3 == 2) {
            script += "key \\; ";
        }
        if (round % 10 == 9) {
            script += kToggleHistogram;
        }
        script += "usage; ";
    }
    return script + "close";
}

std::filesystem::path WriteBmp(const ScratchDir& scratch) {
    const auto path = scratch / "open.bmp";
    bmptest::WriteFile(path, bmptest::EncodeBmp(bmptest::Gradient(40, 30)));
    return path;
}

// A binary 16-bit PNM: a ramp in each channel.
std::filesystem::path WritePnm16(const ScratchDir& scratch) {
    constexpr int kWidth = 32, kHeight = 24, kMaxval = 65535;
    std::string bytes = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n" +
                        std::to_string(kMaxval) + "\n";
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            for (const int level : {x * 257, y * 300, (x + y) * 1000}) {
                bytes += static_cast<char>(level >> 8 & 0xFF);
                bytes += static_cast<char>(level & 0xFF);
            }
        }
    }
    const auto path = scratch / "open16.pnm";
    WriteBytes(path, bytes);
    return path;
}

RunSetup WithTestDevice(const ScratchDir& scratch, std::string script) {
    const std::filesystem::path dir = scratch / "sane";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "dll.conf") << "test\n";
    std::ofstream(dir / "test.conf") << "number_of_devices 1\nselect-fd true\n"
                                     << "test-picture \"Color pattern\"\n";
    RunSetup setup;
    setup.script = std::move(script);
    setup.limit = kSessionLimit;
    // As for every test that scans (see TestDevice.h): the reader's cancel
    // made harmless, the test backend's own leak passed over.
    setup.env = {{"SANE_CONFIG_DIR", dir.string()},
                 {"XDG_CONFIG_HOME", (scratch / "config").string()},
                 {"LD_PRELOAD", TAMREL_QUIET_CANCEL},
                 {"ASAN_OPTIONS", "detect_leaks=1:abort_on_error=1:verify_asan_link_order=0"},
                 {"LSAN_OPTIONS", apptest::kLeakSuppressions}};
    return setup;
}

std::vector<Usage> UsageLines(const std::string& out) {
    static const std::regex line(R"(usage rss_kb=(\d+) fds=(\d+) threads=(\d+))");
    std::vector<Usage> usage;
    for (auto it = std::sregex_iterator(out.begin(), out.end(), line); it != std::sregex_iterator();
         ++it) {
        usage.push_back(
            {std::stol((*it)[1]), std::stoi((*it)[2].str()), std::stoi((*it)[3].str())});
    }
    return usage;
}

TEST(TamrelSoak, ManyAcquisitionsLeaveNoMemoryDescriptorOrThreadBehind) {
    const ScratchDir scratch;
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, Session(WriteBmp(scratch), WritePnm16(scratch))));
    ASSERT_TRUE(result.exited) << "signal " << result.signal << "\n" << result.err;
    EXPECT_EQ(result.status, 0) << result.err;
    // A step that waited in vain: a dialog that never came, a scan that never ended.
    EXPECT_EQ(result.err.find("automation:"), std::string::npos) << result.err;
    const std::vector<Usage> usage = UsageLines(result.out);
    ASSERT_EQ(usage.size(), std::size_t{kRounds}) << result.out;
    const Usage& settled = usage[kSettledRound - 1];
    const Usage& last = usage.back();
    std::printf("after round %d: %ld kB, %d descriptors, %d threads; after round %d: %ld kB, %d "
                "descriptors, %d threads\n",
                kSettledRound, settled.residentKb, settled.openFiles, settled.threads, kRounds,
                last.residentKb, last.openFiles, last.threads);
    EXPECT_LE(last.openFiles, settled.openFiles);
    EXPECT_LE(last.threads, settled.threads);
    if (kResidentSizeTells) {
        EXPECT_LE(static_cast<double>(last.residentKb),
                  kResidentGrowthAllowed * static_cast<double>(settled.residentKb))
            << "after round " << kSettledRound << ": " << settled.residentKb << " kB, after round "
            << kRounds << ": " << last.residentKb << " kB";
    }
}

} // namespace

}  // namespace soak_end_to_end_test
