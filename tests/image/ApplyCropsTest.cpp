// Crops of one image, each through its tables into a file of its own, from
// one read of the image: every reader's rows (in order only, bottom-up,
// in memory), crops that share rows or lie apart, an output that fails
// beside ones that do not, and a stop mid-way that keeps the crops
// already read.
#include "image/ApplyCrops.h"
#include "tests/image/BmpWriter.h"
#include "tests/image/ReadSamples.h"
#include "tests/image/ScanFiles.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

#include <numeric>

namespace apply_crops_test {

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kWidth = 61;
constexpr std::int32_t kHeight = 47;

std::uint16_t Sample16(std::int32_t x, std::int32_t y, int c) {
    return static_cast<std::uint16_t>((x * 131 + y * 977 + c * 10007) & 0xFFFF);
}

// Identity tables: each output sample is the input's.
struct Identity {
    GammaTableSet levels{};
    std::vector<std::uint16_t> wide = std::vector<std::uint16_t>(65536);
    Identity() {
        for (GammaTable& table : levels) {
            std::iota(table.begin(), table.end(), std::int16_t{0});
        }
        std::iota(wide.begin(), wide.end(), std::uint16_t{0});
    }
    ApplyTables Tables() const { return {&levels, {wide, wide, wide}, {}}; }
};

struct SourceCase {
    const char* name;
    ImageFormat format;
    std::vector<std::uint8_t> (*encode)();
    bool wide; // 16-bit samples, else the BMP's 8-bit levels
};

std::vector<std::uint8_t> Pnm16() {
    return scantest::EncodePnm(kWidth, kHeight, 3, 65535, Sample16);
}
std::vector<std::uint8_t> Png16() {
    return scantest::EncodeRgb16(kWidth, kHeight, scantest::Rgb16Format::Png, Sample16);
}
std::vector<std::uint8_t> TiffDeflate16() {
    return scantest::EncodeRgb16(kWidth, kHeight, scantest::Rgb16Format::TiffDeflate, Sample16);
}
std::vector<std::uint8_t> Bmp24() {
    return bmptest::EncodeBmp(bmptest::Gradient(kWidth, kHeight));
}

// The sample of the source's picture at (x, y), channel c, as a PNM holds it.
std::uint16_t Expected(const SourceCase& row, std::int32_t x, std::int32_t y, int c) {
    if (row.wide) {
        return Sample16(x, y, c);
    }
    return static_cast<std::uint16_t>(bmptest::Gradient(kWidth, kHeight).At(x, y) >> (16 - 8 * c) &
                                      0xFF);
}

class CropsOfEveryReader : public testing::TestWithParam<SourceCase> {};

TEST_P(CropsOfEveryReader, EachCropHoldsExactlyItsRectangleOfTheImage) {
    const SourceCase& row = GetParam();
    const std::vector<std::uint8_t> bytes = row.encode();
    const MemorySource memory(bytes);
    const auto rows = OpenRows(row.format, memory);
    ASSERT_TRUE(rows);
    ScratchDir scratch;
    const Identity identity;
    const PixelRect rects[] = {{3, 2, 20, 30}, {10, 20, 40, 27}, {0, 0, kWidth, 1}, {60, 46, 1, 1}};
    std::vector<CropOutput> outputs;
    for (const PixelRect& rect : rects) {
        const fs::path path = scratch.Path() / ("crop" + std::to_string(outputs.size()) + ".pnm");
        outputs.push_back({rect, identity.Tables(), path, ImageFormat::Pnm});
    }
    const std::vector<Reason> reasons = ApplyCrops(**rows, outputs, {});
    ASSERT_EQ(reasons.size(), outputs.size());
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        ASSERT_FALSE(reasons[i]) << reasons[i].Text;
        const std::string file = ReadBytes(outputs[i].Path);
        RowLayout layout;
        const auto samples = scantest::ReadSamples(
            ImageFormat::Pnm, std::vector<std::uint8_t>(file.begin(), file.end()), layout);
        const PixelRect& r = rects[i];
        ASSERT_EQ(layout.Width, r.width);
        ASSERT_EQ(layout.Height, r.height);
        for (std::int32_t y = 0; y < r.height; ++y) {
            for (std::int32_t x = 0; x < r.width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    ASSERT_EQ(samples[(std::size_t(y) * r.width + x) * 3 + c],
                              Expected(row, r.left + x, r.top + y, c))
                        << "crop " << i << " at " << x << "," << y;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Readers, CropsOfEveryReader,
    testing::Values(SourceCase{"Pnm16ReadAnywhere", ImageFormat::Pnm, Pnm16, true},
                    SourceCase{"Png16InOrderOnly", ImageFormat::Png, Png16, true},
                    SourceCase{"TiffDeflate16InOrderOnly", ImageFormat::Tiff, TiffDeflate16, true},
                    SourceCase{"BmpBottomUp", ImageFormat::Bmp, Bmp24, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A tall 16-bit picture made as it is read, in several bands.
class Tall final : public RowSource {
public:
    Tall() { layout_ = {kTallWidth, kTallHeight, kRgb48, false, kTallWidth * 6, kMaxSample16}; }
    const RowLayout& Layout() const override { return layout_; }
    const Palette& Colours() const override { return colours_; }
    std::int64_t ScratchBytes(std::int32_t count) const override { return count * layout_.Stride; }
    bool Sequential() const override { return true; }
    FetchedRows Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const override {
        if (first != next_) {
            return {nullptr, Reason(ReasonCode::ReadFailed)};
        }
        next_ += count;
        auto* samples = reinterpret_cast<std::uint16_t*>(scratch);
        for (std::int64_t i = 0; i < count * layout_.Stride / 2; ++i) {
            samples[i] = static_cast<std::uint16_t>(first + i);
        }
        return {scratch, {}};
    }
    static constexpr std::int32_t kTallWidth = 4000;
    static constexpr std::int32_t kTallHeight = 900;

private:
    RowLayout layout_;
    Palette colours_{};
    mutable std::int32_t next_ = 0;
};

TEST(ApplyCrops, AnOutputThatFailsLeavesTheOthersWritten) {
    const Tall tall;
    ScratchDir scratch;
    const Identity identity;
    const std::vector<CropOutput> outputs = {
        {{0, 0, 50, 40}, identity.Tables(), scratch.Path() / "a.tif", ImageFormat::Tiff},
        {{100, 0, 50, 40}, identity.Tables(), scratch.Path() / "none" / "b.tif", ImageFormat::Tiff},
        {{0, 800, 50, 100}, identity.Tables(), scratch.Path() / "c.png", ImageFormat::Png},
    };
    const std::vector<Reason> reasons = ApplyCrops(tall, outputs, {});
    EXPECT_FALSE(reasons[0]);
    EXPECT_EQ(reasons[1].Code, ReasonCode::CannotCreate);
    EXPECT_FALSE(reasons[2]);
    EXPECT_EQ(scratch.Entries(), (std::set<std::string>{"a.tif", "c.png"}));
}

// Stopped once the first bands are read: the crop within them is written
// whole, the one further down fails as stopped and leaves no file.
TEST(ApplyCrops, AStopMidwayKeepsTheCropsAlreadyRead) {
    const Tall tall;
    ScratchDir scratch;
    const Identity identity;
    const std::vector<CropOutput> outputs = {
        {{0, 0, 64, 30}, identity.Tables(), scratch.Path() / "top.pnm", ImageFormat::Pnm},
        {{0, 850, 64, 50}, identity.Tables(), scratch.Path() / "bottom.pnm", ImageFormat::Pnm},
    };
    std::atomic<bool> cancel{false};
    std::vector<std::int32_t> progress;
    CropControl control{&cancel, [&](std::int32_t done, std::int32_t total) {
                            progress.push_back(done);
                            EXPECT_EQ(total, Tall::kTallHeight);
                            cancel = done >= 30;
                        }};
    const std::vector<Reason> reasons = ApplyCrops(tall, outputs, {}, control);
    EXPECT_FALSE(reasons[0]);
    EXPECT_EQ(reasons[1].Code, ReasonCode::Cancelled);
    EXPECT_EQ(scratch.Entries(), (std::set<std::string>{"top.pnm"}));
    ASSERT_FALSE(progress.empty());
    EXPECT_LT(progress.back(), Tall::kTallHeight);
}

} // namespace

} // namespace apply_crops_test
