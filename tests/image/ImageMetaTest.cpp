// What a file keeps beside its pixels: the resolution through every format
// that has a place for it, the ICC profile through PNG and TIFF (byte for
// byte where the samples are unchanged), and the writer's own tags.
#include "image/ApplyImage.h"
#include "image/SampleOutput.h"
#include "image/WriteTime.h"
#include "tests/image/RecordingOutput.h"
#include "tests/image/TestProfiles.h"
#include "tests/support/SourceDateEpoch.h"

#include "io/MemoryWrite.h"

#include <png.h>
#include <tiffio.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

namespace image_meta_test {

namespace {

SampleImage Grey(std::int32_t width, std::int32_t height) {
    SampleImage image{{width, height, kRgbChannels, kByteDepth}, {}};
    for (std::size_t i = 0; i < image.layout.RowBytes() * std::size_t(height); ++i) {
        image.bytes.push_back(static_cast<std::uint8_t>(i * 37));
    }
    return image;
}

std::vector<std::uint8_t> WriteScan(const SampleImage& image, ImageFormat kind,
                                    const ImageMeta& meta) {
    MemoryFile file;
    WriteOptions options;
    options.Meta = meta;
    const Reason reason = WriteSamples(
        image.layout, kind, RunsOf(image),
        [&](const PositionedContents& c) { return file.Replace(c); }, options);
    EXPECT_FALSE(reason) << reason.Text;
    return file.Bytes();
}

ImageMeta MetaOf(ImageFormat kind, const std::vector<std::uint8_t>& bytes) {
    const MemorySource source(bytes);
    const auto rows = OpenRows(kind, source);
    EXPECT_TRUE(rows) << rows.Why().Text;
    return rows ? (*rows)->Meta() : ImageMeta{};
}

GammaTableSet DefaultTables() {
    GammaTableSet tables{};
    for (GammaTable& table : tables) {
        ComputeChannelTable(kDefaultChannelParams, table);
    }
    return tables;
}

// `input` (of `inKind`) applied with the default tables into `outKind`.
struct Applied {
    Reason reason;
    std::vector<std::uint8_t> bytes;
    int asked = 0;
};

Applied Apply(const std::vector<std::uint8_t>& input, ImageFormat inKind, ImageFormat outKind) {
    static const GammaTableSet levels = DefaultTables();
    static const std::vector<std::uint16_t> identity = [] {
        std::vector<std::uint16_t> v(65536);
        for (std::size_t i = 0; i < v.size(); ++i) {
            v[i] = static_cast<std::uint16_t>(i);
        }
        return v;
    }();
    const ApplyTables tables{&levels, {identity, identity, identity}};
    bmptest::RecordingOutput output;
    Applied applied;
    applied.reason = ApplyImage(MemorySource(input), inKind, outKind, std::ref(output), tables);
    applied.bytes = output.Bytes();
    applied.asked = output.Asked();
    return applied;
}

TEST(ImageMeta, TheResolutionGoesThroughEveryFormatThatKeepsOne) {
    const Resolution resolutions[] = {{75, 75}, {150, 300}, {1200, 1200}, {72.5, 96.25}};
    const SampleImage image = Grey(5, 3);
    for (const Resolution& resolution : resolutions) {
        const std::string name = std::to_string(resolution.x) + "x" + std::to_string(resolution.y);
        // A TIFF written from a scan, then apply into each format, then that
        // file applied into TIFF again: the resolution survives each step.
        const std::vector<std::uint8_t> tiff =
            WriteScan(image, ImageFormat::Tiff, {resolution, {}});
        for (const ImageFormat kind : {ImageFormat::Bmp, ImageFormat::Png, ImageFormat::Tiff}) {
            const Applied once = Apply(tiff, ImageFormat::Tiff, kind);
            ASSERT_FALSE(once.reason) << name << ": " << once.reason.Text;
            const Applied twice = Apply(once.bytes, kind, ImageFormat::Tiff);
            ASSERT_FALSE(twice.reason) << name;
            const std::pair<ImageFormat, const std::vector<std::uint8_t>*> files[] = {
                {kind, &once.bytes}, {ImageFormat::Tiff, &twice.bytes}};
            for (const auto& [written, bytes] : files) {
                const std::optional<Resolution> back = MetaOf(written, *bytes).resolution;
                ASSERT_TRUE(back) << name;
                // Pixels per metre are whole: within half a pixel per metre.
                EXPECT_NEAR(back->x, resolution.x, 0.0127) << name;
                EXPECT_NEAR(back->y, resolution.y, 0.0127) << name;
                if (resolution.x == std::round(resolution.x)) {
                    EXPECT_EQ(*back, resolution) << name << ": whole dots per inch come back whole";
                }
            }
        }
        EXPECT_FALSE(
            MetaOf(ImageFormat::Pnm, Apply(tiff, ImageFormat::Tiff, ImageFormat::Pnm).bytes)
                .resolution);
    }
}

TEST(ImageMeta, AFileWithoutAResolutionGivesNone) {
    const SampleImage image = Grey(2, 2);
    for (const ImageFormat kind : {ImageFormat::Png, ImageFormat::Tiff}) {
        EXPECT_FALSE(MetaOf(kind, WriteScan(image, kind, {})).resolution);
    }
    const std::vector<std::uint8_t> tiff = WriteScan(image, ImageFormat::Tiff, {});
    EXPECT_FALSE(MetaOf(ImageFormat::Bmp, Apply(tiff, ImageFormat::Tiff, ImageFormat::Bmp).bytes)
                     .resolution);
}

TEST(ImageMeta, AProfileGoesThroughLinearOutputsByteForByte) {
    const SampleImage image = Grey(4, 2);
    for (const auto& profile : {profiletest::MatrixTrcProfile(2.2), profiletest::LutProfile(2.2)}) {
        for (const ImageFormat kind : {ImageFormat::Png, ImageFormat::Tiff}) {
            const ImageMeta meta = MetaOf(kind, WriteScan(image, kind, {std::nullopt, profile}));
            EXPECT_EQ(meta.profile, profile);
        }
    }
}

TEST(ImageMeta, AnUnreadableEmbeddedProfileIsRefusedAndNothingIsWritten) {
    std::vector<std::uint8_t> corrupt = profiletest::MatrixTrcProfile(2.2);
    corrupt.resize(corrupt.size() / 2); // the tag table points past the end
    std::vector<std::uint8_t> garbage(200, 0x41);
    for (const auto& profile : {corrupt, garbage}) {
        const std::vector<std::uint8_t> tiff =
            WriteScan(Grey(3, 3), ImageFormat::Tiff, {std::nullopt, profile});
        for (const ImageFormat kind : {ImageFormat::Png, ImageFormat::Tiff}) {
            const Applied applied = Apply(tiff, ImageFormat::Tiff, kind);
            EXPECT_EQ(applied.reason.Code, ReasonCode::DamagedData);
            EXPECT_NE(applied.reason.Text.find("ICC profile"), std::string::npos);
            EXPECT_EQ(applied.asked, 0) << "the output was asked for";
        }
    }
}

// Whether `text` has a digit wherever `shape` has '9' and the same
// character elsewhere.
bool Shaped(std::string_view text, std::string_view shape) {
    if (text.size() != shape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (shape[i] == '9' ? !digit : text[i] != shape[i]) {
            return false;
        }
    }
    return true;
}

std::filesystem::path Temp(const std::vector<std::uint8_t>& bytes, const char* name) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("tamrel-meta-" + std::to_string(::getpid()) + name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

TEST(ImageMeta, TiffSaysSoftwareAndDateTimeAndPngItsSoftware) {
    const SampleImage image = Grey(2, 2);
    const auto tiffPath = Temp(WriteScan(image, ImageFormat::Tiff, {}), ".tif");
    TIFF* tif = TIFFOpen(tiffPath.c_str(), "r");
    ASSERT_NE(tif, nullptr);
    const char* software = nullptr;
    const char* when = nullptr;
    ASSERT_EQ(TIFFGetField(tif, TIFFTAG_SOFTWARE, &software), 1);
    ASSERT_EQ(TIFFGetField(tif, TIFFTAG_DATETIME, &when), 1);
    const std::string name(software);
    EXPECT_EQ(name.rfind("Tamrel ", 0), 0U) << name;
    EXPECT_NE(name.find_first_of("0123456789"), std::string::npos) << name;
    EXPECT_TRUE(Shaped(when, "9999:99:99 99:99:99")) << when;
    TIFFClose(tif);
    std::filesystem::remove(tiffPath);

    const std::vector<std::uint8_t> png = WriteScan(image, ImageFormat::Png, {});
    const std::string text(png.begin(), png.end());
    EXPECT_NE(text.find(std::string("tEXtSoftware\0Tamrel ", 20)), std::string::npos);
}

TEST(ImageMeta, SourceDateEpochFixesTheTimeOnlyAsAWholeCountOfSeconds) {
    const struct {
        const char* value;
        bool fixed;
        std::time_t when;
    } cases[] = {
        {"0", true, 0},    {"86400", true, 86400}, {nullptr, false, 0},
        {"", false, 0},    {"12abc", false, 0},    {"-1", false, 0},
        {"1.5", false, 0}, {" 5", false, 0},       {"99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        const SourceDateEpoch epoch(c.value);
        const WriteTime time = TimeOfWriting();
        SCOPED_TRACE(c.value ? c.value : "(unset)");
        EXPECT_EQ(time.utc, c.fixed);
        EXPECT_TRUE(c.fixed ? time.when == c.when : time.when > 86400);
    }
}

TEST(ImageMeta, AFixedTimeIsTheTiffDateTimeInUtc) {
    const SourceDateEpoch epoch("90061"); // one day, one hour, one minute and one second
    const SampleImage image = Grey(2, 2);
    const auto tiffPath = Temp(WriteScan(image, ImageFormat::Tiff, {}), ".tif");
    TIFF* tif = TIFFOpen(tiffPath.c_str(), "r");
    ASSERT_NE(tif, nullptr);
    const char* when = nullptr;
    ASSERT_EQ(TIFFGetField(tif, TIFFTAG_DATETIME, &when), 1);
    EXPECT_STREQ(when, "1970:01:02 01:01:01");
    TIFFClose(tif);
    std::filesystem::remove(tiffPath);
}

} // namespace

} // namespace image_meta_test
