// What tamrel-cli writes beside the pixels, run as a program: the scan's
// resolution from SANE's test device, the scanner's input profile (as it is
// in a linear scan, rewritten after tables, refused when unreadable), and
// apply's compressed TIFF.
#include "tests/cli/CliRun.h"
#include "tests/support/OtherProgram.h"

#include "image/formats/ColourProfile.h"
#include "image/formats/FormatTable.h"
#include "tests/image/TestProfiles.h"

#include <tiffio.h>

#include <gtest/gtest.h>

namespace scan_meta_end_to_end_test {

namespace {

using clitest::RunCli;
namespace fs = std::filesystem;

ImageMeta MetaOf(const fs::path& path) {
    const std::string bytes = ReadBytes(path);
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    const MemorySource source(data);
    const auto rows = OpenRows(ReadFormatOf(path), source);
    EXPECT_TRUE(rows) << path << ": " << rows.Why().Text;
    return rows ? (*rows)->Meta() : ImageMeta{};
}

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST(CliScanMeta, TheScansResolutionLandsInTheFile) {
    for (const char* dpi : {"75", "150"}) {
        for (const char* name : {"out.tif", "out.png", "out.bmp", "out.jpg"}) {
            for (const char* params : {"--linear", "--defaults"}) {
                ScratchDir scratch;
                const fs::path out = scratch / name;
                const auto result = RunCli(scratch, {"scan", params, out.string(), "--resolution",
                                                     dpi, "--mode", "Color", "--depth", "8"});
                ASSERT_EQ(result.status, 0) << name << ": " << result.err;
                const std::optional<Resolution> resolution = MetaOf(out).resolution;
                ASSERT_TRUE(resolution) << name << " at " << dpi;
                EXPECT_EQ(*resolution, (Resolution{std::stod(dpi), std::stod(dpi)}))
                    << name << " " << params;
            }
        }
    }
}

TEST(CliScanMeta, TheInputProfileIsEmbeddedAsItIsInALinearScanAndRewrittenAfterTables) {
    ScratchDir scratch;
    const std::vector<std::uint8_t> profile = profiletest::MatrixTrcProfile(2.2);
    WriteBytes(scratch / "scanner.icc", Text(profile));
    for (const char* name : {"out.tif", "out.png"}) {
        const fs::path linear = scratch / (std::string("linear-") + name);
        const fs::path tables = scratch / (std::string("tables-") + name);
        ASSERT_EQ(RunCli(scratch, {"scan", "--linear", linear.string(), "--resolution", "50",
                                   "--mode", "Color", "--depth", "16", "--profile",
                                   (scratch / "scanner.icc").string()})
                      .status,
                  0);
        ASSERT_EQ(RunCli(scratch, {"scan", "--defaults", tables.string(), "--resolution", "50",
                                   "--mode", "Color", "--depth", "16", "--profile",
                                   (scratch / "scanner.icc").string()})
                      .status,
                  0);
        EXPECT_EQ(MetaOf(linear).profile, profile) << name << ": byte for byte";
        const std::vector<std::uint8_t> rewritten = MetaOf(tables).profile;
        EXPECT_FALSE(CheckProfile(rewritten)) << name;
        EXPECT_NE(rewritten, profile) << name << ": the tables' inverse goes into the curves";
    }
}

// A grey scanner profile: a grey page keeps it grey (through the tables
// too), a colour page gets it as RGB, and a feeder batch's PDF holds it once.
TEST(CliScanMeta, AGreyProfileStaysGreyOnGreyPagesAndIsStoredOnceInABatch) {
    ScratchDir scratch;
    const std::vector<std::uint8_t> profile = profiletest::GreyProfile(2.2);
    const fs::path icc = scratch / "grey.icc";
    WriteBytes(icc, Text(profile));
    const struct {
        const char* name;
        const char* mode;
        const char* curves;
        std::size_t channels;
    } cases[] = {
        {"grey.png", "Gray", "--linear", 1},
        {"tables.tif", "Gray", "--defaults", 1},
        {"colour.png", "Color", "--linear", 3},
    };
    for (const auto& c : cases) {
        const fs::path out = scratch / c.name;
        ASSERT_EQ(RunCli(scratch, {"scan", c.curves, out.string(), "--resolution", "50", "--mode",
                                   c.mode, "--profile", icc.string()})
                      .status,
                  0)
            << c.name;
        const std::vector<std::uint8_t> written = MetaOf(out).profile;
        EXPECT_TRUE(ProfileFits(written, std::int32_t(c.channels))) << c.name;
    }
    EXPECT_EQ(MetaOf(scratch / "grey.png").profile, profile) << "a linear scan: byte for byte";
    const fs::path pdf = scratch / "batch.pdf";
    ASSERT_EQ(RunCli(scratch,
                     {"scan", "--linear", pdf.string(), "--batch", "--source",
                      "Automatic Document Feeder", "--resolution", "50", "--profile", icc.string()})
                  .status,
              0);
    const std::string qdf =
        othertest::RunProgram("qpdf --qdf --object-streams=disable '" + pdf.string() + "' -").out;
    std::size_t streams = 0;
    for (std::size_t at = qdf.find("/Alternate"); at != std::string::npos;
         at = qdf.find("/Alternate", at + 1)) {
        ++streams;
    }
    EXPECT_EQ(streams, 1u) << "one ICC stream for the ten pages";
}

TEST(CliScanMeta, AnUnreadableProfileIsRefusedBeforeAnythingIsWritten) {
    ScratchDir scratch;
    std::vector<std::uint8_t> cut = profiletest::MatrixTrcProfile(2.2);
    cut.resize(cut.size() / 2);
    WriteBytes(scratch / "cut.icc", Text(cut));
    WriteBytes(scratch / "text.icc",
               "not a profile at all, but long enough to have a header....."
               "................................................................"
               "................................................................");
    for (const char* profile : {"cut.icc", "text.icc", "missing.icc"}) {
        const fs::path out = scratch / "out.tif";
        const auto result = RunCli(
            scratch, {"scan", "--linear", out.string(), "--profile", (scratch / profile).string()});
        EXPECT_EQ(result.status, 1) << profile;
        EXPECT_NE(result.err.find(profile), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(out)) << profile;
    }
    EXPECT_NE(RunCli(scratch, {"scan", "--linear", (scratch / "o.tif").string(), "--profile",
                               (scratch / "cut.icc").string()})
                  .err.find("ICC profile"),
              std::string::npos);
}

TEST(CliScanMeta, ApplyCompressesTiffWithTheMethodAskedForAndThePredictor) {
    ScratchDir scratch;
    const fs::path scan = scratch / "scan.tif";
    ASSERT_EQ(RunCli(scratch, {"scan", "--linear", scan.string(), "--resolution", "50", "--depth",
                               "16", "--option", "test-picture=Color pattern"})
                  .status,
              0);
    struct Case {
        std::vector<std::string> option;
        std::uint16_t compression;
    };
    const Case cases[] = {
        {{"--compress"}, COMPRESSION_ADOBE_DEFLATE},
        {{"--compress", "deflate"}, COMPRESSION_ADOBE_DEFLATE},
        {{"--compress", "lzw"}, COMPRESSION_LZW},
        {{"--compress=lzw"}, COMPRESSION_LZW},
        {{}, COMPRESSION_NONE},
    };
    for (const Case& c : cases) {
        const fs::path out = scratch / "out.tif";
        std::vector<std::string> args = {"apply", "--defaults"};
        args.insert(args.end(), c.option.begin(), c.option.end());
        args.insert(args.end(), {scan.string(), out.string()});
        const auto result = RunCli(scratch, args);
        ASSERT_EQ(result.status, 0) << result.err;
        TIFF* tif = TIFFOpen(out.c_str(), "r");
        ASSERT_NE(tif, nullptr);
        std::uint16_t compression = 0;
        std::uint16_t predictor = 0;
        TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
        EXPECT_EQ(compression, c.compression);
        if (compression != COMPRESSION_NONE) {
            TIFFGetFieldDefaulted(tif, TIFFTAG_PREDICTOR, &predictor);
            EXPECT_EQ(predictor, PREDICTOR_HORIZONTAL);
        }
        TIFFClose(tif);
        EXPECT_EQ(MetaOf(out).resolution, (Resolution{50, 50})) << "apply carries the resolution";
    }
    EXPECT_EQ(RunCli(scratch, {"apply", "--defaults", "--compress=zip", scan.string(),
                               (scratch / "x.tif").string()})
                  .status,
              2);
}

} // namespace

} // namespace scan_meta_end_to_end_test
