// The AVX-512 VBMI kernels of 24-bit rows (B, G, R and R, G, B) against the
// portable ones: every row length up to a few vectors, rows in either order,
// and not a byte written outside the rows.
#include "image/kernels/RowKernels.h"

#include <gtest/gtest.h>

#include <vector>

namespace row_kernels_test {

namespace {

GammaTableSet Tables() {
    GammaTableSet tables{};
    for (std::size_t i = 0; i < kGammaTableSize; ++i) {
        tables[kBlue][i] = static_cast<std::int16_t>(i * 7 + 3);
        tables[kGreen][i] = static_cast<std::int16_t>(255 - i);
        tables[kRed][i] = static_cast<std::int16_t>(i ^ 0x5A);
    }
    return tables;
}

constexpr std::uint8_t kGuard = 0xEE;
constexpr std::int32_t kRows = 3;

// Rows `stride` apart in a buffer with guard bytes around every row.
using KernelOf = RowKernel (*)(const RowFormat&, bool);

std::vector<std::uint8_t> Mapped(KernelOf kernelOf, const RowFormat& format, bool wide,
                                 std::int32_t width, bool reversed) {
    const std::int64_t stride = std::int64_t{width} * 3 + 8;
    std::vector<std::uint8_t> in(static_cast<std::size_t>(stride * kRows));
    for (std::size_t i = 0; i < in.size(); ++i) {
        in[i] = static_cast<std::uint8_t>(i * 131 + i / 256);
    }
    std::vector<std::uint8_t> out(in.size() + 64, kGuard);
    RowBlock block;
    block.In = in.data() + (reversed ? (kRows - 1) * stride : 0);
    block.InStride = reversed ? -stride : stride;
    block.Out = out.data() + 4;
    block.OutStride = stride;
    block.Rows = kRows;
    block.Width = width;
    kernelOf(format, wide)(block, ToneMap(Tables()));
    return out;
}

TEST(RowKernels, TheAvx512KernelGivesThePortableBytesAndTouchesNothingElse) {
    if (!HasAvx512Vbmi()) {
        GTEST_SKIP() << "this processor has no AVX-512 VBMI byte permutes";
    }
    struct Case {
        const char* name;
        KernelOf kernelOf;
        RowFormat format;
    };
    const Case cases[] = {
        {"B, G, R", BgrKernel, kBgr24},
        {"R, G, B", RgbKernel, kRgb24},
    };
    for (const Case& c : cases) {
        for (std::int32_t width = 0; width <= 67; ++width) {
            for (const bool reversed : {false, true}) {
                SCOPED_TRACE(testing::Message() << c.name << ", " << width << " pixels a row"
                                                << (reversed ? ", reversed" : ""));
                EXPECT_EQ(Mapped(c.kernelOf, c.format, true, width, reversed),
                          Mapped(c.kernelOf, c.format, false, width, reversed));
            }
        }
    }
}

TEST(RowKernels, OnlyTheFormatsOfTheReadersHaveKernels) {
    for (const RowFormat& format : {kIndexed8, kBgr24, kBgrx32, kRgbx32}) {
        EXPECT_NE(PreviewKernel(format), nullptr);
        EXPECT_NE(BgrKernel(format), nullptr);
    }
    const RowFormat gray16{1, 16, SampleOrder::Rgb, false};
    EXPECT_EQ(PreviewKernel(gray16), nullptr);
    EXPECT_EQ(BgrKernel(gray16), nullptr);
}

} // namespace

} // namespace row_kernels_test
