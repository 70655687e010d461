// The BMP reader over a source that gives out part-way through a load, as a
// file cut short or failing under the reader does: the load fails, the
// caller's buffer stays as it was and nothing is left allocated, whichever
// read fails and whether one thread or two were reading rows.
#include "image/formats/BmpReader.h"
#include "tests/image/BmpWriter.h"
#include "tests/image/GivingOutSource.h"
#include "tests/image/ImageTestUtil.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace bmp_source_failure_test {

namespace {

using bmptest::EncodeBmp;
using bmptest::Encoding;
using bmptest::GivingOutSource;
using bmptest::Gradient;

const ImageBuffer kHeld{true, 7, 9, reinterpret_cast<std::uint8_t*>(0x1234)};

// The file is encoded when its test runs, not when the cases are listed: each
// test runs in a process of its own, which lists every case.
struct FailureCase {
    std::string name;
    std::int32_t width, height;
    Encoding encoding;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<FailureCase> Cases() {
    Encoding indexed;
    indexed.bitCount = 8;
    indexed.palette.assign(256, 0x123456);
    Encoding topDown32;
    topDown32.bitCount = 32;
    topDown32.topDown = true;
    return {
        {"Small24Bit", 5, 4, {}},
        {"Small8BitWithColourTable", 6, 3, indexed},
        {"TwoThreads24Bit", 700, 400, {}},
        {"TwoThreads32BitTopDown", 600, 450, topDown32},
    };
}

class FailingSources : public testing::TestWithParam<FailureCase> {};

TEST_P(FailingSources, FailTheLoadAtAnyReadAndChangeNothing) {
    const FailureCase& c = GetParam();
    const std::vector<std::uint8_t> bytes = EncodeBmp(Gradient(c.width, c.height), c.encoding);
    GivingOutSource whole(bytes, INT64_MAX, false);
    imagetest::OwnedImage loaded;
    ASSERT_EQ(LoadBmp(&loaded.image, whole), kBmpLoaded);
    const std::int64_t reads = whole.Calls();
    // The first, second and last reads, and a few between.
    for (const std::int64_t failAt :
         {std::int64_t{1}, std::int64_t{2}, reads / 3, reads / 2, reads - 1, reads}) {
        for (const bool shortRead : {false, true}) {
            GivingOutSource failing(bytes, failAt, shortRead);
            ImageBuffer image = kHeld;
            EXPECT_EQ(LoadBmp(&image, failing), kBmpFailed)
                << "read " << failAt << " of " << reads << (shortRead ? " short" : " error");
            EXPECT_EQ(image.Pixels, kHeld.Pixels);
            EXPECT_EQ(image.Width, kHeld.Width);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Bmp, FailingSources, testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

} // namespace

} // namespace bmp_source_failure_test
