// tamrel-cli film run as a program on negatives the test makes: a roll
// measured on one frame and applied to another, the film file taken by every
// command that takes a parameter file, and the problems that write nothing.
#include "io/ParamFileWriter.h"
#include "tests/cli/CliRun.h"
#include "tests/image/ScanFiles.h"
#include "tests/measure/SyntheticNegative.h"

#include <gtest/gtest.h>

#include <sstream>

namespace film_end_to_end_test {

namespace {

using clitest::RunCli;
namespace fs = std::filesystem;

constexpr const char* kNarrowWarning = "8-bit tables cannot hold a dense negative's shadows";
const ParamPositionSet kPositions = {ParamPositions{0, 250, 99, 210},
                                     ParamPositions{0, 255, 99, 200},
                                     ParamPositions{5, 245, 120, 200}};

std::string RectArg(const PixelRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width) +
           "," + std::to_string(r.height);
}

fs::path WriteNegative(const ScratchDir& scratch, const std::string& name,
                       const filmtest::Negative& n) {
    const auto bytes = scantest::EncodePnm(n.width, n.height, 3, 65535, [&](auto x, auto y, int c) {
        return n.samples[(std::size_t(y) * n.width + x) * 3 + static_cast<std::size_t>(c)];
    });
    WriteBytes(scratch / name, std::string(bytes.begin(), bytes.end()));
    return scratch / name;
}

// A roll's two frames: the ColorChecker, and its patches in reverse order.
struct Roll {
    filmtest::Negative first;
    filmtest::Negative second;
};

Roll MakeRoll() {
    const filmtest::LabSpace space;
    std::vector<ChannelValues> scene = filmtest::CheckerScene(space);
    Roll roll{filmtest::MakeNegative(scene, filmtest::Film()), {}};
    std::reverse(scene.begin(), scene.end());
    roll.second = filmtest::MakeNegative(scene, filmtest::Film());
    return roll;
}

// The mean 16-bit sample of channel c inside `r` of a P6 file of maxval 65535.
double MeanSample(const std::string& pnm, const PixelRect& r, int c) {
    std::istringstream in(pnm);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    in >> magic >> width >> height >> maxval;
    in.get();
    const auto raster = static_cast<std::size_t>(in.tellg());
    double sum = 0;
    for (int y = r.top; y < r.top + r.height; ++y) {
        for (int x = r.left; x < r.left + r.width; ++x) {
            const std::size_t at = raster + ((std::size_t(y) * width + x) * 3 + c) * 2;
            sum +=
                static_cast<unsigned char>(pnm[at]) * 256 + static_cast<unsigned char>(pnm[at + 1]);
        }
    }
    return sum / (r.width * r.height);
}

class FilmRoll : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SaveParamFile(scratch_ / "params.tvp", kPositions), WriteResult::Ok);
        frame1_ = WriteNegative(scratch_, "frame1.pnm", roll_.first);
        frame2_ = WriteNegative(scratch_, "frame2.pnm", roll_.second);
        const auto made =
            RunCli(scratch_, {"film", (scratch_ / "params.tvp").string(), frame1_.string(), Roll(),
                              "--base", RectArg(roll_.first.Border()), "--neutral",
                              RectArg(roll_.first.Patch(filmtest::kLightGrey)), "--neutral",
                              RectArg(roll_.first.Patch(filmtest::kDarkGrey))});
        ASSERT_EQ(made.status, 0) << made.err;
        ASSERT_EQ(made.err, "");
    }
    std::string Roll() const { return (scratch_ / "roll.tvp").string(); }

    ScratchDir scratch_;
    const struct Roll roll_ = MakeRoll();
    fs::path frame1_;
    fs::path frame2_;
};

TEST_F(FilmRoll, KeepsTheTwelvePositionsAndTurnsTheRollsNextFrameIntoNeutralGreys) {
    const std::string params = ReadBytes(scratch_ / "params.tvp");
    const std::string film = ReadBytes(Roll());
    EXPECT_EQ(film.substr(0, params.size()), params);
    EXPECT_NE(film.find("Film=ColourNegative\r\nFilmBaseR="), std::string::npos) << film;
    const auto applied =
        RunCli(scratch_, {"apply", Roll(), frame2_.string(), (scratch_ / "positive.pnm").string()});
    ASSERT_EQ(applied.status, 0) << applied.err;
    const std::string positive = ReadBytes(scratch_ / "positive.pnm");
    // The second frame's greys are its patches 0..5, white first.
    double previous = 65536;
    for (std::size_t grey = 0; grey < 6; ++grey) {
        const PixelRect patch = roll_.second.Patch(5 - grey);
        const double green = MeanSample(positive, patch, 1);
        EXPECT_LT(green, previous) << grey;
        previous = green;
        // Red and blue have curves of their own here; each grey stays within
        // their spread of the green.
        EXPECT_NEAR(MeanSample(positive, patch, 0), green, 0.03 * 65535) << grey;
        EXPECT_NEAR(MeanSample(positive, patch, 2), green, 0.03 * 65535) << grey;
    }
}

struct CommandCase {
    const char* name;
    std::vector<std::string> args; // after the command, PARAMS is inserted first
    bool warns;                    // the 8-bit tables' line on standard error
};

TEST_F(FilmRoll, EveryCommandThatTakesAParameterFileTakesTheFilmFile) {
    const CommandCase cases[] = {
        {"export", {(scratch_ / "t.tvk").string()}, true},
        {"table", {"--size", "65536", "--max", "65535"}, false},
        {"cube", {"--size", "1024", (scratch_ / "t.cube").string()}, false},
        {"sane", {}, true},
        {"auto", {frame1_.string(), (scratch_ / "auto.tvp").string()}, false},
    };
    for (const CommandCase& c : cases) {
        std::vector<std::string> args = {c.name, Roll()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = RunCli(scratch_, args);
        EXPECT_EQ(result.status, 0) << c.name << ": " << result.err;
        EXPECT_EQ(result.err.find(kNarrowWarning) != std::string::npos, c.warns)
            << c.name << ": " << result.err;
    }
    // The tables fall: entry 0 (the densest film) at the top, the base at 0.
    const std::string table = RunCli(scratch_, {"table", Roll()}).out;
    EXPECT_EQ(table.substr(0, table.find('\n')), "0 255 255 255");
    EXPECT_NE(ReadBytes(scratch_ / "auto.tvp").find("Film=ColourNegative"), std::string::npos);
}

// The test device takes 256-entry tables: a negative's film goes in with the line.
TEST_F(FilmRoll, ABatchScanTakesTheFilmFileIntoTheDevice) {
    const auto result = RunCli(scratch_, {"scan", Roll(), (scratch_ / "page%d.pnm").string(),
                                          "--batch", "--source", "Automatic Document Feeder",
                                          "--resolution", "50", "--area", "0,0,10,10"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find(kNarrowWarning), std::string::npos) << result.err;
    EXPECT_TRUE(fs::exists(scratch_ / "page1.pnm"));
}

struct ProblemCase {
    const char* name;
    std::vector<std::string> rects; // --base, then --neutral options
    const char* says;
};

TEST_F(FilmRoll, AProblemWithARectangleOrAPickWritesNothingAndSaysWhat) {
    const filmtest::Negative& n = roll_.first;
    const std::string border = RectArg(n.Border());
    const std::string light = RectArg(n.Patch(filmtest::kLightGrey));
    const std::string offImage = "--base " + RectArg({n.width - 2, 0, 4, 4}) +
                                 " lies outside the image (" + std::to_string(n.width) + " x " +
                                 std::to_string(n.height) + " pixels)";
    const ProblemCase cases[] = {
        {"off", {"--base", RectArg({n.width - 2, 0, 4, 4})}, offImage.c_str()},
        {"not clearest",
         {"--base", RectArg(n.Patch(filmtest::kFirstGrey))},
         "the base should be the clearest film (its border or a gap between frames), but "},
        {"not clearest: the limit",
         {"--base", RectArg(n.Patch(filmtest::kFirstGrey))},
         "% of the frame is clearer than it; at most 40 % may be"},
        {"like base",
         {"--base", border, "--neutral", light, "--neutral", "0,0,20,3"},
         "--neutral 0,0,20,3 is as clear as the base"},
        {"alike",
         {"--base", border, "--neutral", light, "--neutral", light},
         "the two neutral picks have the same density"},
    };
    for (const ProblemCase& c : cases) {
        std::vector<std::string> args = {"film", "--defaults", frame1_.string(),
                                         (scratch_ / "bad.tvp").string()};
        args.insert(args.end(), c.rects.begin(), c.rects.end());
        const auto result = RunCli(scratch_, args);
        EXPECT_EQ(result.status, 1) << c.name;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << c.name << ": " << result.err;
        EXPECT_FALSE(fs::exists(scratch_ / "bad.tvp")) << c.name;
    }
}

TEST(CliFilm, BadUsageIsStatusTwo) {
    ScratchDir scratch;
    const std::vector<std::vector<std::string>> cases = {
        {"film", "--defaults", "in.pnm", "out.tvp"},
        {"film", "--defaults", "in.pnm", "out.tvp", "--base", "0,0,0,4"},
        {"film", "--defaults", "in.pnm", "out.tvp", "--base", "0,0,4,4", "--bw", "--neutral",
         "1,1,2,2"},
        {"film", "--defaults", "in.pnm", "out.tvp", "--base", "0,0,4,4", "--neutral", "1,1,2,2",
         "--neutral", "1,1,2,2", "--neutral", "1,1,2,2"},
        {"apply", "--defaults", "in.pnm", "out.pnm", "--base", "0,0,4,4"},
    };
    for (const auto& args : cases) {
        EXPECT_EQ(RunCli(scratch, args).status, 2) << args.back();
    }
}

TEST(CliFilm, AFilmFileWithABadFilmLineIsRefusedByEveryCommand) {
    ScratchDir scratch;
    WriteBytes(scratch / "bad.tvp", ReadBytes(TAMREL_SOURCE_DIR "/docs/example.tvp") +
                                        "Film=ColourNegative\r\nFilmBaseR=2\r\n");
    const std::string bad = (scratch / "bad.tvp").string();
    for (const auto& args :
         {std::vector<std::string>{"table", bad},
          std::vector<std::string>{"export", bad, (scratch / "t.tvk").string()}}) {
        const auto result = RunCli(scratch, args);
        EXPECT_EQ(result.status, 1) << args[0];
        EXPECT_NE(result.err.find("film key FilmBaseR missing or invalid"), std::string::npos)
            << result.err;
    }
}

} // namespace

} // namespace film_end_to_end_test
