// The reader against the third-party BMP suite, read in place: in-scope files
// decode to their reference images, all others are refused, none crashes.
//
// Files treated specially, with the reason:
// - g/pal8nonsquare.bmp lists a stretched rendering first (-v, twice as tall);
//   a reference is taken only when its size equals the decoded size, so the
//   unstretched -e rendering is the one compared.
// - b/badpalettesize.bmp is g/pal8.bmp with an absurd colours-used count; the
//   reader always takes 256 table entries and ignores that count, so it
//   decodes to pal8.png.
// - b/pal8badindex.bmp uses indices past its 101 colours. Those entries come
//   from the bytes after the real table (here the pixel data itself), which
//   no reference shows; it must decode.
// - b/reallybig.bmp claims 3000000 x 2000000 pixels in 24630 bytes; its rows
//   do not fit in the file, so it is refused before anything is allocated.
#include "image/formats/BmpReader.h"
#include "tests/image/ImageTestUtil.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace bmp_suite_test {

namespace {

namespace fs = std::filesystem;
using imagetest::OwnedImage;

const fs::path kSuite = TAMREL_BMPSUITE_DIR;

struct SuiteFile {
    std::string file; // relative, e.g. "g/pal8.bmp"
    std::vector<std::string> references;
    bool inScope = false;
};

void PrintTo(const SuiteFile& f, std::ostream* os) {
    *os << f.file;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);) {
        parts.push_back(part);
    }
    return parts;
}

// INDEX.tsv: column 0 the file, 10 the reference images, 11 in_scope.
std::vector<SuiteFile> ReadIndex() {
    std::vector<SuiteFile> files;
    std::ifstream index(kSuite / "INDEX.tsv");
    std::string line;
    std::getline(index, line); // column names
    while (std::getline(index, line)) {
        const auto cells = Split(line, '\t');
        if (cells.size() < 12) {
            continue;
        }
        files.push_back({cells[0], Split(cells[10], ','), cells[11] == "yes"});
    }
    return files;
}

std::string TestName(const std::string& file) {
    std::string name;
    for (const char c : file) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

// Files decoded although no reference of their own exists.
const std::map<std::string, std::string> kReferenceOverride = {
    {"b/badpalettesize.bmp", "pal8.png"},
};
const std::map<std::string, int> kOddResults = {
    {"b/pal8badindex.bmp", 0},
    {"b/reallybig.bmp", -1},
};

// RGB of the decoded pixel shown at (x, y) of the upright image.
std::uint32_t DecodedRgb(const ImageBuffer& image, int x, int y) {
    const int row = image.TopDown ? image.Height - 1 - y : y;
    const std::uint8_t* p = image.Pixels + (static_cast<std::size_t>(row) * image.Width + x) * 4;
    return std::uint32_t{p[0]} << 16 | p[1] << 8 | p[2];
}

// The first listed reference of the decoded size, as RGB32.
QImage ReferenceFor(const std::vector<std::string>& names, const ImageBuffer& image) {
    for (const std::string& name : names) {
        QImage ref(QString::fromStdString((kSuite / "ref" / name).string()));
        if (ref.width() == image.Width && ref.height() == image.Height) {
            return ref.convertToFormat(QImage::Format_RGB32);
        }
    }
    return {};
}

int CountDifferences(const ImageBuffer& image, const QImage& ref) {
    int differences = 0;
    for (int y = 0; y < image.Height; ++y) {
        for (int x = 0; x < image.Width; ++x) {
            differences += DecodedRgb(image, x, y) != (ref.pixel(x, y) & 0xFFFFFFu);
        }
    }
    return differences;
}

class BmpSuiteFiles : public testing::TestWithParam<SuiteFile> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BmpSuiteFiles);

TEST_P(BmpSuiteFiles, DecodeAsTheirReferenceOrAreRefused) {
    const SuiteFile& f = GetParam();
    OwnedImage loaded;
    const int result = LoadBmpFile(&loaded.image, kSuite / f.file);
    const auto odd = kOddResults.find(f.file);
    if (odd != kOddResults.end()) {
        EXPECT_EQ(result, odd->second);
        return;
    }
    if (!f.inScope) {
        EXPECT_EQ(result, -1) << "outside the supported subset";
        return;
    }
    ASSERT_EQ(result, 0);
    const auto override = kReferenceOverride.find(f.file);
    const QImage ref = ReferenceFor(
        override != kReferenceOverride.end() ? std::vector{override->second} : f.references,
        loaded.image);
    ASSERT_FALSE(ref.isNull()) << "no reference of size " << loaded.image.Width << " x "
                               << loaded.image.Height;
    EXPECT_EQ(CountDifferences(loaded.image, ref), 0);
}

TEST(BmpSuite, IsThereToBeRead) {
    if (!fs::is_directory(kSuite)) {
        GTEST_SKIP() << "BMP suite not found at " << kSuite << "; its cases are skipped";
    }
    EXPECT_GT(ReadIndex().size(), 80u) << "INDEX.tsv lists every file of b/, g/, q/ and x/";
}

INSTANTIATE_TEST_SUITE_P(Suite, BmpSuiteFiles, testing::ValuesIn(ReadIndex()),
                         [](const auto& info) { return TestName(info.param.file); });

} // namespace

}  // namespace bmp_suite_test
