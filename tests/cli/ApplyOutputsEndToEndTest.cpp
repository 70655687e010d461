// What apply writes, read back by other programs: clean and grainy
// pictures, 8 and 16 bits, grey and colour, written as PNG, compressed
// TIFF and PDF decode (ImageMagick, qpdf) to exactly the samples of the
// same input through the same tables written as PNM; a clean picture is
// coded with matches (far smaller than its samples); a grey input through
// equal tables stays grey in every format (identify, pdfimages), and
// through unequal tables comes out in colour.
#include "tests/cli/CliRun.h"

#include "io/ParamFileWriter.h"
#include "tests/support/OtherProgram.h"

#include <gtest/gtest.h>

#include <sstream>

namespace apply_outputs_end_to_end_test {

namespace {

using clitest::RunCli;
using othertest::ImageLines;
using othertest::RunProgram;
namespace fs = std::filesystem;

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

struct Picture {
    const char* name;
    bool clean; // paper with repeated marks, else grain
    int channels;
    int bits;
};

// A binary PNM of the picture, 320 x 200: paper at the top level with
// dark letter-like blocks repeated along each line, or a ramp with noise.
void WritePicture(const fs::path& path, const Picture& p) {
    constexpr int kWidth = 320;
    constexpr int kHeight = 200;
    const int top = p.bits == 16 ? 65535 : 255;
    std::string bytes = std::string(p.channels == 1 ? "P5" : "P6") + "\n" + std::to_string(kWidth) +
                        " " + std::to_string(kHeight) + "\n" + std::to_string(top) + "\n";
    std::uint32_t state = 99;
    for (int y = 0; y < kHeight; ++y) {
        for (int i = 0; i < kWidth * p.channels; ++i) {
            state = state * 1664525U + 1013904223U;
            const int x = i / p.channels;
            const bool ink = y % 20 < 12 && x % 9 < 5 && (x / 9 + y / 20) % 3 != 0;
            const int v = p.clean ? (ink ? top / 8 : top)
                                  : (x + y) * top / 520 + int(state >> 26) * (top / 255);
            if (p.bits == 16) {
                bytes += static_cast<char>(v >> 8);
            }
            bytes += static_cast<char>(v & 0xFF);
        }
    }
    WriteBytes(path, bytes);
}

// The samples after a PNM's three header lines.
std::string PnmSamples(const std::string& file) {
    std::size_t at = 0;
    for (int lines = 0; lines < 3; ++at) {
        lines += file[at] == '\n' ? 1 : 0;
    }
    return file.substr(at);
}

// ImageMagick's decoding of a file to raw samples, most significant byte first.
std::string Decoded(const fs::path& file, const Picture& p) {
    return RunProgram("convert " + Quoted(file) + " -endian MSB -depth " + std::to_string(p.bits) +
                      (p.channels == 1 ? " gray:-" : " rgb:-"))
        .out;
}

std::vector<std::string> Fields(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> fields;
    for (std::string field; in >> field;) {
        fields.push_back(field);
    }
    return fields;
}

// The PDF's one image, decoded by qpdf (Flate and the PNG predictor undone).
std::string PdfSamples(const fs::path& pdf) {
    const std::vector<std::string> images =
        ImageLines(RunProgram("pdfimages -list " + Quoted(pdf)).out);
    if (images.size() != 1 || Fields(images[0]).size() < 11) {
        return {};
    }
    return RunProgram("qpdf --show-object=" + Fields(images[0])[10] +
                      " --filtered-stream-data --decode-level=generalized " + Quoted(pdf))
        .out;
}

TEST(CliApplyOutputs, EveryPictureDecodesInOtherProgramsToItsSamplesThroughTheTables) {
    if (!othertest::HasProgram("convert")) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    const Picture pictures[] = {
        {"clean grey 8", true, 1, 8},     {"clean colour 8", true, 3, 8},
        {"clean grey 16", true, 1, 16},   {"clean colour 16", true, 3, 16},
        {"grainy grey 8", false, 1, 8},   {"grainy colour 8", false, 3, 8},
        {"grainy grey 16", false, 1, 16}, {"grainy colour 16", false, 3, 16},
    };
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.name);
        ScratchDir scratch;
        const fs::path in = scratch / (p.channels == 1 ? "in.pgm" : "in.ppm");
        WritePicture(in, p);
        const fs::path pnm = scratch / "out.pnm";
        ASSERT_EQ(RunCli(scratch, {"apply", "--defaults", in.string(), pnm.string()}).status, 0);
        const std::string expected = PnmSamples(ReadBytes(pnm));
        const std::string magic = ReadBytes(pnm).substr(0, 2);
        EXPECT_EQ(magic, p.channels == 1 ? "P5" : "P6");
        for (const char* name : {"out.png", "out.tif"}) {
            const fs::path out = scratch / name;
            std::vector<std::string> args = {"apply", "--defaults", in.string(), out.string()};
            if (out.extension() == ".tif") {
                args.insert(args.begin() + 2, "--compress"); // Deflate
            }
            ASSERT_EQ(RunCli(scratch, args).status, 0) << name;
            EXPECT_TRUE(Decoded(out, p) == expected) << name;
            if (p.clean && std::string(name) == "out.png") {
                EXPECT_LT(fs::file_size(out) * 20, expected.size()) << "matches pay on paper";
            }
        }
        const fs::path pdf = scratch / "out.pdf";
        ASSERT_EQ(RunCli(scratch, {"apply", "--defaults", in.string(), pdf.string()}).status, 0);
        EXPECT_EQ(RunProgram("qpdf --check " + Quoted(pdf)).status, 0);
        EXPECT_TRUE(PdfSamples(pdf) == expected);
    }
}

// What identify and pdfimages say of each output of a grey input.
std::string ColourOf(const fs::path& file) {
    if (file.extension() == ".pdf") {
        const std::vector<std::string> images =
            ImageLines(RunProgram("pdfimages -list " + Quoted(file)).out);
        return images.empty() ? "" : Fields(images[0])[5];
    }
    return RunProgram("identify -format %[colorspace] " + Quoted(file)).out;
}

TEST(CliApplyOutputs, AGreyInputStaysGreyThroughEqualTablesAndTurnsColourThroughUnequalOnes) {
    ScratchDir scratch;
    const fs::path in = scratch / "in.pgm";
    WritePicture(in, {"grey", true, 1, 8});
    ParamPositionSet unequal{};
    unequal[kRed].gamma += 5;
    ASSERT_EQ(SaveParamFile(scratch / "unequal.tvp", unequal), WriteResult::Ok);
    const struct {
        const char* out;
        const char* grey;
        const char* colour;
    } outputs[] = {
        {"out.png", "Gray", "sRGB"}, {"out.tif", "Gray", "sRGB"}, {"out.jpg", "Gray", "sRGB"},
        {"out.pdf", "gray", "rgb"},  {"out.pnm", "Gray", "sRGB"},
    };
    for (const auto& o : outputs) {
        SCOPED_TRACE(o.out);
        const fs::path out = scratch / o.out;
        ASSERT_EQ(RunCli(scratch, {"apply", "--defaults", in.string(), out.string()}).status, 0);
        EXPECT_EQ(ColourOf(out), o.grey);
        fs::remove(out);
        ASSERT_EQ(RunCli(scratch,
                         {"apply", (scratch / "unequal.tvp").string(), in.string(), out.string()})
                      .status,
                  0);
        EXPECT_EQ(ColourOf(out), o.colour);
    }
    // A .pgm takes the grey output, and refuses a colour one, writing nothing.
    const fs::path pgm = scratch / "out.pgm";
    EXPECT_EQ(RunCli(scratch, {"apply", "--defaults", in.string(), pgm.string()}).status, 0);
    EXPECT_EQ(ReadBytes(pgm).substr(0, 2), "P5");
    fs::remove(pgm);
    const auto refused =
        RunCli(scratch, {"apply", (scratch / "unequal.tvp").string(), in.string(), pgm.string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("a .pgm holds grey only"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(pgm));
}

} // namespace

} // namespace apply_outputs_end_to_end_test
