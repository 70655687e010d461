// ロール... worked in the built program as a user would: a roll of two
// strips opened, frames chosen, one moved by hand and the roll written,
// against tamrel-cli roll on the same strips; Escape midway through the
// writing; a frame chosen, then an image opened; a strip without frames.
#include "tests/app/RunTamrel.h"
#include "tests/app/ScanSteps.h"
#include "tests/measure/SyntheticStrip.h"
#include "tests/support/OtherProgram.h"
#include "tests/support/TextLines.h"

#include <gtest/gtest.h>

#include <sstream>

namespace roll_window_test {

namespace {

using apptest::OpenImageSteps;
using apptest::RunResult;
using apptest::RunSetup;
using apptest::RunTamrel;
using striptest::StripPlan;
using striptest::SyntheticStrip;
namespace fs = std::filesystem;

constexpr double kPixelsPerMm = 150 / 25.4;
// The first strip's view in the roll dialog of two strips (its pixels),
// as the dialog lays it out at its starting size on the offscreen
// platform's screen (800 x 600, of which the dialog takes at most 90 %).
constexpr double kViewWidth = 412;
constexpr double kViewHeight = 236;
constexpr int kMoveBy = 60; // view pixels to the right: over half a frame

StripPlan Across() {
    StripPlan plan;
    plan.pixelsPerMm = kPixelsPerMm;
    plan.frames.resize(4);
    return plan;
}

StripPlan Along(std::size_t frames, double pixelsPerMm = kPixelsPerMm) {
    StripPlan plan;
    plan.pixelsPerMm = pixelsPerMm;
    plan.alongRows = true;
    plan.seed = 5;
    const std::vector<striptest::FramePlan> mixed = striptest::MixedFrames();
    plan.frames.clear();
    for (std::size_t k = 0; k < frames; ++k) {
        plan.frames.push_back(mixed[(k + 2) % mixed.size()]);
    }
    return plan;
}

fs::path WriteStrip(const ScratchDir& scratch, const std::string& name, const StripPlan& plan) {
    const fs::path path = scratch / name;
    EXPECT_TRUE(striptest::WritePnm(SyntheticStrip(plan), path.string()));
    return path;
}

std::string OpenRollSteps(const std::vector<fs::path>& strips) {
    std::string names;
    for (const fs::path& strip : strips) {
        names += " \"" + strip.string() + "\"";
    }
    return "key Shift+F10; key L; wait 300; type" + names +
           "; key Return; await rollDialog 20000; wait 300";
}

std::string ExportSteps(const fs::path& folder) {
    fs::create_directories(folder);
    return "; click rollExport; wait 300; type " + folder.string() + "; key Return";
}

// The message at the end of the writing, said and answered.
const std::string kEndSteps =
    "; await qt_msgbox_label 30000; print qt_msgbox_label; key Return; wait 200";

using texttest::Lines;

// The pictures agree sample for sample (ImageMagick counts the differing pixels).
std::string Differing(const fs::path& a, const fs::path& b) {
    const auto compared =
        othertest::RunProgram("compare -metric AE " + a.string() + " " + b.string() + " null:");
    return compared.out;
}

othertest::ProgramRun Cli(const std::string& arguments) {
    return othertest::RunProgram(std::string(TAMREL_CLI) + " " + arguments);
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

RunResult RunRoll(const ScratchDir& scratch, const std::string& script,
                  std::vector<std::pair<std::string, std::string>> env = {}) {
    RunSetup setup{script + "; close", std::move(env), {}, std::chrono::seconds(120)};
    return RunTamrel(scratch, setup);
}

} // namespace

namespace {

// Where frame k of the first strip lies in its view, moved `by` pixels right.
std::string DragFrame(const SyntheticStrip& strip, std::size_t k, int by) {
    const double width = strip.Layout().Width;
    const double height = strip.Layout().Height;
    const double scale = std::min(kViewWidth / width, kViewHeight / height);
    const PixelRect frame = strip.Frame(k);
    const int x = int((kViewWidth - width * scale) / 2 + (frame.left + frame.width / 2.0) * scale);
    const int y =
        int((kViewHeight - height * scale) / 2 + (frame.top + frame.height / 2.0) * scale);
    return "; drag stripView1 " + std::to_string(x) + " " + std::to_string(y) + " " +
           std::to_string(x + by) + " " + std::to_string(y) + " Ctrl; wait 500";
}

PixelRect RectOfLine(const std::string& line) {
    std::istringstream in(line.substr(line.rfind(' ') + 1));
    PixelRect r;
    char comma = 0;
    in >> r.left >> comma >> r.top >> comma >> r.width >> comma >> r.height;
    return r;
}

std::string FilmLines(const fs::path& file) {
    const std::string text = ReadBytes(file);
    const std::size_t film = text.find("Film=");
    return film == std::string::npos ? "" : text.substr(film);
}

// Every file of one roll's folder as in the other's: the text alike byte
// for byte, the pictures pixel for pixel.
void ExpectSameRoll(const fs::path& window, const fs::path& tool) {
    ASSERT_EQ(FilesIn(window), FilesIn(tool));
    EXPECT_EQ(ReadBytes(window / "frames.txt"), ReadBytes(tool / "frames.txt"));
    for (const std::string& name : FilesIn(tool)) {
        if (name.ends_with(".tif")) {
            EXPECT_EQ(Differing(window / name, tool / name), "0") << name;
        } else {
            EXPECT_EQ(ReadBytes(window / name), ReadBytes(tool / name)) << name;
        }
    }
}

// The crop `moved` of `strip` through `params` by the tool's apply, as a TIFF.
fs::path ApplyToCrop(const ScratchDir& scratch, const fs::path& strip, const PixelRect& moved,
                     const fs::path& params) {
    const fs::path crop = scratch / "crop.pnm", applied = scratch / "applied.tif";
    EXPECT_EQ(othertest::RunProgram(
                  "convert " + strip.string() + " -crop " + std::to_string(moved.width) + "x" +
                  std::to_string(moved.height) + "+" + std::to_string(moved.left) + "+" +
                  std::to_string(moved.top) + " +repage " + crop.string())
                  .status,
              0);
    EXPECT_EQ(Cli("apply " + params.string() + " " + crop.string() + " " + applied.string()).status,
              0);
    return applied;
}

} // namespace

// Written through the tool's own road: the window's roll is the tool's,
// file for file; a frame moved by hand is sampled again where it now lies,
// and its positive is its new crop through its own parameter file.
TEST(TamrelRoll, TwoStripsAreWrittenAsTheToolWritesThemAndAMovedFrameIsMeasuredAgain) {
    const ScratchDir scratch;
    const SyntheticStrip across(Across());
    const fs::path one = WriteStrip(scratch, "across.pnm", Across());
    const fs::path two = WriteStrip(scratch, "along.pnm", Along(3));
    const fs::path before = scratch / "before", after = scratch / "after", tool = scratch / "tool";
    std::string script = OpenRollSteps({one, two}) + "; print rollSummary" + ExportSteps(before) +
                         kEndSteps + DragFrame(across, 1, kMoveBy) + ExportSteps(after) +
                         kEndSteps + "; close; wait 200";
    const RunResult result = RunRoll(scratch, script);
    ASSERT_TRUE(result.exited) << result.err;
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("rollSummary=ストリップ 2 本、コマ 7"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("qt_msgbox_label=7 コマを書き出しました。"),
              result.out.rfind("qt_msgbox_label=7 コマを書き出しました。"))
        << "said after each: " << result.out;
    const auto cli =
        Cli("roll --defaults " + tool.string() + " " + one.string() + " " + two.string());
    ASSERT_EQ(cli.status, 0) << cli.out;
    ExpectSameRoll(before, tool);
    const std::vector<std::string> was = Lines(ReadBytes(tool / "frames.txt"));
    const std::vector<std::string> now = Lines(ReadBytes(after / "frames.txt"));
    ASSERT_EQ(now.size(), was.size());
    for (std::size_t i = 0; i < was.size(); ++i) {
        EXPECT_EQ(now[i] == was[i], i != 1) << now[i];
    }
    EXPECT_GT(RectOfLine(now[1]).left, RectOfLine(was[1]).left + 100);
    EXPECT_NE(FilmLines(after / "02.tvp"), FilmLines(tool / "02.tvp"));
    EXPECT_EQ(Differing(after / "02.tif",
                        ApplyToCrop(scratch, one, RectOfLine(now[1]), after / "02.tvp")),
              "0");
}

// Escape while the second strip is read: the frames written by then stay,
// each whole and as the tool writes it; the rest leave no file at all.
TEST(TamrelRoll, EscapeMidwayKeepsTheFinishedFramesWhole) {
    const ScratchDir scratch;
    const fs::path one = WriteStrip(scratch, "across.pnm", Across());
    // Two bands of the shared read (4 MB each), its last frame in the
    // second: the Escape lands while the first crawls.
    const fs::path two = fs::canonical(WriteStrip(scratch, "long.pnm", Along(4, 2 * kPixelsPerMm)));
    const fs::path written = scratch / "written", tool = scratch / "tool";
    const std::string script = OpenRollSteps({one, two}) + ExportSteps(written) +
                               "; await rollProgress 20000; wait 300; key Escape" +
                               "; gone rollProgress 60000" + kEndSteps + "; close; wait 200";
    const RunResult result = RunRoll(scratch, script,
                                     {{"LD_PRELOAD", TAMREL_SLOW_READ},
                                      {"TAMREL_SLOW_FILE", two.string()},
                                      {"TAMREL_SLOW_AFTER", "0"},
                                      {"TAMREL_SLOW_MS", "10"}});
    ASSERT_TRUE(result.exited) << result.err;
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("qt_msgbox_label=中止しました。"), std::string::npos) << result.out;
    ASSERT_EQ(
        Cli("roll --defaults " + tool.string() + " " + one.string() + " " + two.string()).status,
        0);
    const std::vector<std::string> kept = FilesIn(written);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), "08.tif"), 0);
    for (const std::string name : {"01.tif", "02.tif", "03.tif", "04.tif", "frames.txt"}) {
        EXPECT_EQ(std::count(kept.begin(), kept.end(), name), 1) << name;
    }
    for (const std::string& name : kept) {
        ASSERT_TRUE(fs::exists(tool / name)) << "a file the roll does not write: " << name;
        if (name.ends_with(".tif")) {
            EXPECT_EQ(Differing(written / name, tool / name), "0") << name;
        }
    }
}

// The frame chosen is the window's picture with the frame's own film (its
// parameter file as the tool writes it); an image opened next replaces it.
TEST(TamrelRoll, AFrameChosenIsShownWithItsFilmAndAnImageOpenedReplacesIt) {
    const ScratchDir scratch;
    const fs::path one = WriteStrip(scratch, "across.pnm", Across());
    const fs::path two = WriteStrip(scratch, "along.pnm", Along(3));
    const fs::path saved = scratch / "frame.tvp", tool = scratch / "tool";
    const std::string readout = "; move IDC_IMAGE 300 260; print IDC_PIXEL_R";
    const std::string script = OpenRollSteps({one, two}) + "; key Down; wait 500; close; wait 300" +
                               readout + "; click IDC_SAVE_PARAMS; wait 300; type " +
                               saved.string() + "; key Return; wait 300; key Return; wait 200; " +
                               OpenImageSteps(one) + readout;
    const RunResult result = RunRoll(scratch, script);
    ASSERT_TRUE(result.exited) << result.err;
    ASSERT_EQ(result.status, 0) << result.err;
    ASSERT_EQ(
        Cli("roll --defaults " + tool.string() + " " + one.string() + " " + two.string()).status,
        0);
    EXPECT_EQ(FilmLines(saved), FilmLines(tool / "02.tvp")) << result.out;
    const std::size_t first = result.out.find("IDC_PIXEL_R=");
    const std::size_t second = result.out.rfind("IDC_PIXEL_R=");
    ASSERT_NE(first, second) << result.out;
    EXPECT_NE(result.out.substr(first, result.out.find('\n', first) - first),
              result.out.substr(second, result.out.find('\n', second) - second))
        << "the opened strip is another picture: " << result.out;
}

// A strip on which no frame is found is named, and the other's frames
// stand; a roll of that strip alone has nothing to write, and says so,
// until a frame is drawn on it by hand (and removed again).
TEST(TamrelRoll, AStripWithoutFramesIsNamedAndNothingIsWrittenFromItAlone) {
    const ScratchDir scratch;
    StripPlan blankPlan = Across();
    blankPlan.frames.assign(3, {striptest::Scene::Landscape, 0.0});
    const fs::path blank = WriteStrip(scratch, "blank.pnm", blankPlan);
    const fs::path two = WriteStrip(scratch, "along.pnm", Along(3));
    const std::string script =
        OpenRollSteps({blank, two}) + "; print rollSummary; close" + "; wait 300; " +
        OpenRollSteps({blank}) + "; print rollSummary" +
        "; click rollExport; await qt_msgbox_label 5000" +
        "; print qt_msgbox_label; key Return; wait 200" +
        "; drag stripView1 150 220 250 280; wait 300; print rollSummary" +
        "; click stripView1; wait 300; click rollRemove; wait 300; print rollSummary" +
        "; close; wait 200";
    const RunResult result = RunRoll(scratch, script);
    ASSERT_TRUE(result.exited) << result.err;
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(
        result.out.find("rollSummary=ストリップ 2 本、コマ 3\nコマが見つかりません: blank.pnm"),
        std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("rollSummary=ストリップ 1 本、コマ 0"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("qt_msgbox_label=書き出すコマがありません。"), std::string::npos)
        << result.out;
    // A frame drawn by hand on it, then removed.
    const std::vector<std::string> summaries = apptest::Printed(result.out, "rollSummary");
    ASSERT_EQ(summaries.size(), 4u) << result.out;
    EXPECT_EQ(summaries[2], "ストリップ 1 本、コマ 1");
    EXPECT_EQ(summaries[3], "ストリップ 1 本、コマ 0"); // each line its own: the first
}

} // namespace roll_window_test
