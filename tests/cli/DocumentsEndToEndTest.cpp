// tamrel-cli writing JPEG and PDF, run as a program, its files read by
// other programs: libjpeg-turbo's djpeg and cjpeg, qpdf --check, poppler's
// pdfimages -list and, where present, ImageMagick's identify. The feeder of
// SANE's test device holds ten pages.
#include "tests/cli/CliRun.h"

#include "image/SampleOutput.h"
#include "tests/support/OtherProgram.h"
#include "tests/support/SmallDisk.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace documents_end_to_end_test {

namespace {

using clitest::RunCli;
using othertest::ImageLines;
using othertest::RunProgram;
namespace fs = std::filesystem;

// An image written by the project's own writers, its samples a ramp.
void WriteInput(const fs::path& path, std::int32_t width, std::int32_t height, int depth,
                std::optional<Resolution> resolution) {
    SampleImage image;
    image.layout = {width, height, 3, depth};
    image.bytes.resize(image.layout.RowBytes() * std::size_t(height));
    for (std::size_t i = 0; i < image.bytes.size(); ++i) {
        image.bytes[i] = static_cast<std::uint8_t>(i * 7 % 251);
    }
    WriteOptions options;
    options.Meta.resolution = resolution;
    ASSERT_FALSE(WriteSamples(
        image.layout, ReadFormatOf(path), RunsOf(image),
        [&](const PositionedContents& c) { return WriteFileAtomically(path, c); }, options));
}

// pdfimages' columns: page num type width height color comp bpc enc interp
// object ID x-ppi y-ppi size ratio.
std::vector<std::string> Fields(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> fields;
    for (std::string field; in >> field;) {
        fields.push_back(field);
    }
    return fields;
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// The last `bytes` of a program's output: a PPM's or raw samples.
std::string Tail(const std::string& out, std::size_t bytes) {
    return out.size() < bytes ? out : out.substr(out.size() - bytes);
}

// The photo's rows (1.3 MB) make two bands, joined by a restart marker.
TEST(CliDocuments, ApplyWritesJpegAndPdfThatOtherProgramsRead) {
    constexpr int kWidth = 600;
    constexpr int kHeight = 700;
    constexpr std::size_t kSamples = std::size_t{kWidth} * kHeight * 3;
    ScratchDir scratch;
    const fs::path photo = scratch / "photo.png";
    const fs::path wide = scratch / "wide.pnm";
    WriteInput(photo, kWidth, kHeight, 8, Resolution{150, 150});
    WriteInput(wide, 20, 10, 16, std::nullopt);

    const fs::path jpeg = scratch / "out.jpg";
    ASSERT_EQ(
        RunCli(scratch, {"apply", "--defaults", "--quality", "80", photo.string(), jpeg.string()})
            .status,
        0);
    const auto verbose = RunProgram("djpeg -verbose -outfile /dev/null " + Quoted(jpeg));
    EXPECT_NE(verbose.out.find("density 150x150  1"), std::string::npos) << verbose.out;
    EXPECT_NE(verbose.out.find("Component 1: 2hx2v"), std::string::npos); // 4:2:0 below 90
    // The same pixels as libjpeg-turbo's own single-pass encode of apply's output.
    const fs::path mapped = scratch / "mapped.ppm";
    ASSERT_EQ(RunCli(scratch, {"apply", "--defaults", photo.string(), mapped.string()}).status, 0);
    const auto ours = RunProgram("djpeg " + Quoted(jpeg));
    const auto theirs = RunProgram("cjpeg -quality 80 " + Quoted(mapped) + " | djpeg");
    EXPECT_EQ(ours.status, 0);
    EXPECT_EQ(ours.out, theirs.out);
    if (othertest::HasProgram("convert")) {
        EXPECT_EQ(RunProgram("convert " + Quoted(jpeg) + " -depth 8 rgb:-").out,
                  Tail(ours.out, kSamples)); // ImageMagick
    }
    const QImage qt =
        QImage(QString::fromStdString(jpeg.string())).convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(qt.size(), QSize(kWidth, kHeight));
    const std::string samples = Tail(ours.out, kSamples);
    int worst = 0;
    for (int y = 0; y < kHeight; ++y) {
        const uchar* row = qt.constScanLine(y);
        for (int i = 0; i < kWidth * 3; ++i) {
            const auto theirs =
                static_cast<unsigned char>(samples[std::size_t(y) * kWidth * 3 + std::size_t(i)]);
            worst = std::max(worst, std::abs(int(row[i]) - int(theirs)));
        }
    }
    EXPECT_LE(worst, 2); // Qt's decoder may take another inverse DCT

    const fs::path pdf = scratch / "doc.pdf";
    const auto made =
        RunCli(scratch, {"apply", "--defaults", photo.string(), wide.string(), pdf.string()});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.err, "tamrel-cli: " + wide.string() +
                            ": no resolution given; the page is sized at 300 dpi\n");
    EXPECT_EQ(RunProgram("qpdf --check " + Quoted(pdf)).status, 0);
    const std::vector<std::string> pages =
        ImageLines(RunProgram("pdfimages -list " + Quoted(pdf)).out);
    ASSERT_EQ(pages.size(), 2u);
    const std::vector<std::string> first = Fields(pages[0]);
    const std::vector<std::string> second = Fields(pages[1]);
    ASSERT_GE(first.size(), 14u);
    ASSERT_GE(second.size(), 14u);
    EXPECT_EQ((std::vector<std::string>{first[3], first[4], first[7], first[12], first[13]}),
              (std::vector<std::string>{"600", "700", "8", "150", "150"}));
    EXPECT_EQ((std::vector<std::string>{second[3], second[4], second[7], second[12], second[13]}),
              (std::vector<std::string>{"20", "10", "16", "300", "300"}));

    // An input that cannot be read makes no document; the old one stays.
    const std::string before = ReadBytes(pdf);
    const auto failed = RunCli(scratch, {"apply", "--defaults", photo.string(),
                                         (scratch / "absent.png").string(), pdf.string()});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(ReadBytes(pdf), before);
}

// Sets TMPDIR, where the tool keeps a document's pages until it is written,
// for the life of the object.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const fs::path& folder) {
        if (const char* old = std::getenv("TMPDIR")) {
            old_ = old;
        }
        ::setenv("TMPDIR", folder.c_str(), 1);
    }
    ~TemporaryFolder() {
        if (old_) {
            ::setenv("TMPDIR", old_->c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

private:
    std::optional<std::string> old_;
};

TEST(CliScanBatch, AFeederBatchGoesIntoOnePdfThatKeepsTheFinishedPages) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::size_t smallScratchKib; // 0: the system's temporary folder
        int status;
        std::size_t leastPages; // 0: no file
        std::size_t mostPages;
        const char* err;
    };
    const Case cases[] = {
        {"the feeder runs empty", {}, 0, 0, 10, 10, ""},
        {"the first page finds no document",
         {"--option", "read-return-value=SANE_STATUS_NO_DOCS"},
         0,
         1,
         0,
         0,
         "Document feeder out of documents"},
        // The grid's pages deflate to about 650 bytes each: a disk of one
        // 4 KiB block takes a few.
        {"the pages fill their scratch disk after a few",
         {"--option", "test-picture=Grid"},
         4,
         1,
         1,
         9,
         "disk full"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch;
        std::optional<SmallDisk> disk;
        std::optional<TemporaryFolder> temporary;
        if (c.smallScratchKib > 0) {
            disk.emplace(scratch / "scratch", c.smallScratchKib);
            if (!disk->Mounted()) {
                std::cout << "[  SKIPPED ] " << c.name << ": " << disk->Why() << '\n';
                continue;
            }
            temporary.emplace(disk->Path());
        }
        const fs::path pdf = scratch / "doc.pdf";
        std::vector<std::string> args = {"scan",         "--linear", pdf.string(),
                                         "--batch",      "--source", "Automatic Document Feeder",
                                         "--resolution", "75",       "--area",
                                         "0,0,100,100"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = RunCli(scratch, args);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        if (c.leastPages == 0) {
            EXPECT_FALSE(fs::exists(pdf));
            EXPECT_EQ(result.out, "");
            continue;
        }
        EXPECT_EQ(result.out, pdf.string() + "\n");
        EXPECT_EQ(RunProgram("qpdf --check " + Quoted(pdf)).status, 0);
        const std::vector<std::string> pages =
            ImageLines(RunProgram("pdfimages -list " + Quoted(pdf)).out);
        EXPECT_GE(pages.size(), c.leastPages);
        EXPECT_LE(pages.size(), c.mostPages);
        for (const std::string& page : pages) {
            const std::vector<std::string> fields = Fields(page);
            ASSERT_GE(fields.size(), 14u);
            EXPECT_EQ(fields[5], "gray");
            EXPECT_EQ(fields[12], "75");
        }
    }
}

} // namespace

} // namespace documents_end_to_end_test
