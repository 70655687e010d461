// tamrel-cli scan run as a program against SANE's virtual test device: the
// same pixels as scanimage, the formats, and failures that leave no file.
#include "tests/cli/CliRun.h"

#include "image/formats/BmpReader.h"
#include "tests/image/ReadSamples.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace scan_end_to_end_test {

namespace {

using clitest::RunCli;
namespace fs = std::filesystem;

constexpr const char* kScanimage = "/usr/bin/scanimage";

// A PNM's header fields (magic, width, height, maxval) and its raster;
// comments such as scanimage's "# SANE data follows" are skipped.
struct Pnm {
    std::string magic;
    int width = 0;
    int height = 0;
    int maxval = 0;
    std::string raster;
};

std::optional<Pnm> ParsePnm(const std::string& bytes) {
    std::istringstream in(bytes);
    Pnm pnm;
    std::string field;
    std::vector<std::string> fields;
    while (fields.size() < 4 && in >> field) {
        if (field.front() == '#') {
            std::getline(in, field);
            continue;
        }
        fields.push_back(field);
    }
    if (fields.size() < 4) {
        return std::nullopt;
    }
    in.get(); // the one whitespace byte before the raster
    pnm.magic = fields[0];
    pnm.width = std::stoi(fields[1]);
    pnm.height = std::stoi(fields[2]);
    pnm.maxval = std::stoi(fields[3]);
    pnm.raster = bytes.substr(static_cast<std::size_t>(in.tellg()));
    return pnm;
}

std::string Scanimage(const ScratchDir& scratch, const std::string& options) {
    const fs::path out = scratch / "scanimage.pnm";
    const std::string line =
        std::string(kScanimage) + " -d test:0 --format pnm " + options + " > " + out.string();
    return std::system(line.c_str()) == 0 ? ReadBytes(out) : std::string();
}

struct Setting {
    const char* name;
    std::vector<std::string> tamrel;
    std::string scanimage;
    const char* magic;
    int maxval;
};

TEST(CliScan, ALinearScanHasTheSamePixelsAsScanimage) {
    if (!fs::exists(kScanimage)) {
        GTEST_SKIP() << kScanimage << " is not installed (Debian sane-utils)";
    }
    const Setting settings[] = {
        {"colour 8", {"--mode", "Color", "--depth", "8"}, "--mode Color --depth 8", "P6", 255},
        {"colour 16", {"--mode", "Color", "--depth", "16"}, "--mode Color --depth 16", "P6", 65535},
        {"grey 16", {"--mode", "Gray", "--depth", "16"}, "--mode Gray --depth 16", "P5", 65535},
        {"three-pass",
         {"--mode", "Color", "--option", "three-pass=yes", "--option", "three-pass-order=GBR"},
         "--mode Color --three-pass=yes --three-pass-order GBR",
         "P6",
         255},
        {"hand scanner", {"--option", "hand-scanner=yes"}, "--hand-scanner=yes", "P5", 255},
    };
    for (const Setting& s : settings) {
        ScratchDir scratch;
        std::vector<std::string> args = {"scan",     "--linear", (scratch / "out.pnm").string(),
                                         "--device", "test:0",   "--resolution",
                                         "75",       "--option", "test-picture=Color pattern"};
        args.insert(args.end(), s.tamrel.begin(), s.tamrel.end());
        const auto result = RunCli(scratch, args);
        ASSERT_EQ(result.status, 0) << s.name << ": " << result.err;
        const auto ours = ParsePnm(ReadBytes(scratch / "out.pnm"));
        const auto theirs = ParsePnm(
            Scanimage(scratch, "--resolution 75 --test-picture 'Color pattern' " + s.scanimage));
        ASSERT_TRUE(ours && theirs) << s.name;
        EXPECT_EQ(ours->magic, s.magic) << s.name;
        EXPECT_EQ(ours->maxval, s.maxval) << s.name;
        EXPECT_EQ(ours->magic, theirs->magic) << s.name;
        EXPECT_EQ(ours->width, theirs->width) << s.name;
        EXPECT_EQ(ours->height, theirs->height) << s.name;
        EXPECT_TRUE(ours->raster == theirs->raster) << s.name;
    }
}

// PNG and TIFF hold the PNM's samples: a grey scan stays grey.
TEST(CliScan, PngAndTiffScansHoldThePnmScansSamples) {
    for (const char* mode : {"Color", "Gray"}) {
        for (const char* depth : {"8", "16"}) {
            const std::string name = std::string(mode) + " " + depth;
            ScratchDir scratch;
            std::map<std::string, std::vector<std::uint16_t>> samples;
            for (const char* extension : {".pnm", ".png", ".tif"}) {
                const fs::path out = scratch / (std::string("out") + extension);
                const auto result = RunCli(
                    scratch, {"scan", "--linear", out.string(), "--resolution", "75", "--mode",
                              mode, "--depth", depth, "--option", "test-picture=Color pattern"});
                ASSERT_EQ(result.status, 0) << name << extension << ": " << result.err;
                const std::string bytes = ReadBytes(out);
                RowLayout layout;
                samples[extension] = scantest::ReadSamples(
                    ReadFormatOf(out), std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                    layout);
                EXPECT_EQ(layout.Format.BitsPerSample, std::stoi(depth)) << name << extension;
            }
            ASSERT_FALSE(samples[".pnm"].empty()) << name;
            EXPECT_TRUE(samples[".png"] == samples[".pnm"]) << name;
            EXPECT_TRUE(samples[".tif"] == samples[".pnm"]) << name;
        }
    }
}

// The test device takes the tables but does not apply them to its picture,
// so the BMP holds the linear scan's pixels, upright.
TEST(CliScan, WithTablesItWritesA24BitBmpOfThePage) {
    ScratchDir scratch;
    const std::vector<std::string> common = {
        "--resolution", "50", "--mode", "Color", "--option", "test-picture=Color pattern"};
    std::vector<std::string> withTables = {"scan", "--defaults", (scratch / "out.bmp").string()};
    std::vector<std::string> linear = {"scan", "--linear", (scratch / "out.pnm").string()};
    withTables.insert(withTables.end(), common.begin(), common.end());
    linear.insert(linear.end(), common.begin(), common.end());
    ASSERT_EQ(RunCli(scratch, withTables).status, 0);
    ASSERT_EQ(RunCli(scratch, linear).status, 0);
    ImageBuffer bmp{};
    ASSERT_EQ(LoadBmpFile(&bmp, scratch / "out.bmp"), 0);
    const std::unique_ptr<std::uint8_t, decltype(&std::free)> owned(bmp.Pixels, &std::free);
    const auto pnm = ParsePnm(ReadBytes(scratch / "out.pnm"));
    ASSERT_TRUE(pnm);
    ASSERT_EQ(bmp.Width, pnm->width);
    ASSERT_EQ(bmp.Height, pnm->height);
    for (int y = 0; y < bmp.Height; y += 7) {
        for (int x = 0; x < bmp.Width; x += 5) {
            const std::size_t at = static_cast<std::size_t>(y * bmp.Width + x);
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(
                    bmp.Pixels[at * kImageBytesPerPixel + static_cast<std::size_t>(c)],
                    static_cast<std::uint8_t>(pnm->raster[at * 3 + static_cast<std::size_t>(c)]))
                    << x << "," << y;
            }
        }
    }
}

TEST(CliScan, FailuresGiveAReasonAndLeaveNoFile) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        const char* err;
    };
    const Case cases[] = {
        {"jammed",
         {"--option", "read-return-value=SANE_STATUS_JAMMED"},
         "tamrel-cli: test:0: Document feeder jammed\n"},
        {"gone mid-scan",
         {"--option", "read-return-value=SANE_STATUS_IO_ERROR"},
         "tamrel-cli: test:0: Error during device I/O\n"},
        {"cancelled by the device",
         {"--option", "read-return-value=SANE_STATUS_CANCELLED"},
         "tamrel-cli: test:0: Operation was canceled\n"},
        {"unknown option",
         {"--option", "lamp=on"},
         "tamrel-cli: test:0: lamp: the device has no such option\n"},
        {"page ended early",
         {"--option", "read-return-value=SANE_STATUS_EOF"},
         "tamrel-cli: test:0: End of file reached\n"},
    };
    for (const Case& c : cases) {
        ScratchDir scratch;
        // select-fd: the scan waits on the backend's descriptor before each read.
        std::vector<std::string> args = {"scan", "--defaults", (scratch / "out.pnm").string(),
                                         "--option", "select-fd=yes"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto result = RunCli(scratch, args);
        EXPECT_EQ(result.status, 1) << c.name;
        EXPECT_EQ(result.err, c.err) << c.name;
        EXPECT_TRUE(fs::is_empty(scratch.Path())) << c.name;
    }
}

TEST(CliScan, CtrlCCancelsTheScanAndKeepsTheOldFile) {
    ScratchDir scratch;
    const fs::path out = scratch / "out.pnm";
    { std::ofstream(out) << "old"; }
    clitest::RunOptions interrupt;
    // Once the scan has begun writing its temporary file beside the old one.
    interrupt.interruptWhen = [&] {
        return std::any_of(fs::directory_iterator(scratch.Path()), fs::directory_iterator(),
                           [](const fs::directory_entry& e) {
                               return e.path().filename().string().find(".tmp") !=
                                      std::string::npos;
                           });
    };
    const auto result =
        RunCli(scratch,
               {"scan", "--linear", out.string(), "--force", "--resolution", "300", "--option",
                "read-delay=yes", "--option", "read-delay-duration=100000"},
               interrupt);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tamrel-cli: test:0: scan cancelled\n");
    EXPECT_EQ(ReadBytes(out), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.Path()), fs::directory_iterator()), 1);
}

} // namespace

} // namespace scan_end_to_end_test
