// The real window working a colour negative: its kind from the context
// menu, the base and two greys drawn over the image with the selection
// tool, each pick one step for Ctrl+Z and Ctrl+Y, a pick that cannot be
// used told and undone, and the film kept for the next file and the next
// scan, as a roll's frames share it. What the window holds is read from the
// parameter files it saves and from its readout.
#include "tests/app/ScanSteps.h"
#include "tests/cli/CliRun.h"
#include "tests/image/ScanFiles.h"
#include "tests/measure/SyntheticNegative.h"

#include <gtest/gtest.h>

#include <sstream>

namespace film_end_to_end_test {

namespace {

using namespace apptest;

constexpr int kWidth = 420;
constexpr int kHeight = 300;
constexpr int kBand = kWidth / 3;

// Light greys of the scene: neutral 8 and neutral 3.5 (linear light).
constexpr double kLightGrey = 0.59;
constexpr double kDarkGrey = 0.088;

// Three upright bands: unexposed film (the base), the light grey, the dark
// grey; `mirrored` puts them the other way round, as another frame.
std::filesystem::path WriteNegative(const ScratchDir& scratch, const std::string& name,
                                    bool mirrored) {
    const filmtest::Film film;
    const auto bytes = scantest::EncodePnm(kWidth, kHeight, 3, 65535, [&](int x, int, int c) {
        const int band = (mirrored ? kWidth - 1 - x : x) / kBand;
        const double e = band == 0 ? 0.0 : band == 1 ? kLightGrey : kDarkGrey;
        const double t = filmtest::Transmission(film, {e, e, e})[static_cast<std::size_t>(c)];
        return static_cast<std::uint16_t>(std::lround(t * 65535));
    });
    WriteBytes(scratch / name, std::string(bytes.begin(), bytes.end()));
    return scratch / name;
}

// A drag over band `band`, from `top` to `bottom`, in the image area's
// pixels: the image lies centred in the area, about 20 pixels in and 100 down.
std::string DragBand(int band, int top = 160, int bottom = 330) {
    const int left = 20 + band * kBand + 30;
    return "; drag IDC_IMAGE " + std::to_string(left) + " " + std::to_string(top) + " " +
           std::to_string(left + 80) + " " + std::to_string(bottom) + "; wait 300";
}

std::string SaveParams(const std::filesystem::path& path) {
    return "; click IDC_SAVE_PARAMS; wait 300; type " + path.string() +
           "; key Return; wait 300; key Return; wait 200";
}

std::string Readout() {
    return "; move IDC_IMAGE 230 250; print IDC_PIXEL_R; print IDC_PIXEL_G; print IDC_PIXEL_B";
}

// The file's film lines, from "Film=" on.
std::string FilmLines(const std::filesystem::path& file) {
    const std::string text = ReadBytes(file);
    const std::size_t film = text.find("Film=");
    return film == std::string::npos ? "" : text.substr(film);
}

int Value(const std::string& text) {
    return std::stoi(text.substr(text.find(' ') + 1));
}

TEST(TamrelFilm, PicksAreStepsOfTheirOwnAndTheFilmStaysForTheNextFileAndScan) {
    const ScratchDir scratch;
    const auto saved = [&](int n) { return scratch / ("p" + std::to_string(n) + ".tvp"); };
    std::string script = OpenImageSteps(WriteNegative(scratch, "frame1.pnm", false));
    script += "; key Shift+F10; key E; wait 300";                 // カラーネガ
    script += "; key Shift+F10; key B" + DragBand(0);             // ベースを選択
    script += "; key Shift+F10; key G" + DragBand(1);             // the light grey
    script += "; key Shift+F10; key G" + DragBand(2) + Readout(); // the dark grey
    script += SaveParams(saved(2));
    // A grey on the base cannot balance anything: told, and nothing changes.
    script +=
        "; key Shift+F10; key G" + DragBand(0, 345, 385) + "; print qt_msgbox_label; key Return";
    script += "; key Ctrl+Z" + SaveParams(saved(1));              // one grey
    script += "; key Ctrl+Z; key Ctrl+Z" + SaveParams(saved(0));  // the base estimated
    script += "; key Ctrl+Y; key Ctrl+Y; key Ctrl+Y" + Readout(); // both greys again
    script +=
        "; " + OpenImageSteps(WriteNegative(scratch, "frame2.pnm", true)) + SaveParams(saved(3));
    script += std::string("; ") + kAcquireSteps + SaveParams(saved(4)) +
              "; key Shift+F10; key V; wait 500; type " + (scratch / "scan.pnm").string() +
              "; key Return; wait 500";
    // The device's 8-bit tables take the film for a feeder's pages: the end says so.
    script += "; " + FeederBatchSteps(scratch / "page.pnm", 0) +
              "; gone scanProgress 20000; wait 100; print qt_msgbox_informativelabel; key Return"
              "; wait 200; close";
    RunSetup setup = WithTestDevice(scratch, "mode Color\n", script);
    setup.limit = std::chrono::seconds(60);
    const RunResult result = RunTamrel(scratch, setup);
    ASSERT_TRUE(result.exited) << result.err;
    ASSERT_EQ(result.status, 0) << result.err;

    EXPECT_NE(FilmLines(saved(2)).find("FilmNeutrals=2\r\n"), std::string::npos)
        << FilmLines(saved(2));
    EXPECT_NE(FilmLines(saved(1)).find("FilmNeutrals=1\r\n"), std::string::npos);
    EXPECT_NE(FilmLines(saved(0)).find("FilmNeutrals=0\r\n"), std::string::npos);
    EXPECT_EQ(FilmLines(saved(3)), FilmLines(saved(2))) << "the next file keeps the film";
    EXPECT_EQ(FilmLines(saved(4)), FilmLines(saved(2))) << "the next scan keeps the film";
    const auto kept = Printed(result.out, "qt_msgbox_informativelabel");
    ASSERT_EQ(kept.size(), 1u) << result.out;
    EXPECT_EQ(kept[0], "10 ページを保存しました: " + (scratch / "page-001.pnm").string() +
                           " 〜 page-010.pnm");
    EXPECT_NE(result.out.find(kept[0] + "\nこのスキャナの 8 ビットのテーブルでは濃いネガの暗部を表"
                                        "せません。16 ビットのリニアスキャンをお勧めします。"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(Printed(result.out, "qt_msgbox_label"),
              std::vector<std::string>{
                  "グレーがベースと同じ明るさです。画像の中のグレーを選んでください。"});
    // The light grey reads neutral through the film, after the picks and after their redo.
    const auto red = Printed(result.out, "IDC_PIXEL_R");
    const auto green = Printed(result.out, "IDC_PIXEL_G");
    const auto blue = Printed(result.out, "IDC_PIXEL_B");
    ASSERT_EQ(green.size(), 2u) << result.out;
    for (std::size_t i = 0; i < green.size(); ++i) {
        EXPECT_GT(Value(green[i]), 100) << green[i];
        EXPECT_NEAR(Value(red[i]), Value(green[i]), 3) << red[i] << green[i];
        EXPECT_NEAR(Value(blue[i]), Value(green[i]), 3) << blue[i] << green[i];
    }
}

// The picks of the first test: the base, the light grey, the dark grey.
std::string PickBaseAndGreys() {
    return "; key Shift+F10; key E; wait 300; key Shift+F10; key B" + DragBand(0) +
           "; key Shift+F10; key G" + DragBand(1) + "; key Shift+F10; key G" + DragBand(2);
}

// A rectangle of image pixels well inside band `band` (the bands are flat).
std::string InsideBand(int band) {
    return std::to_string(band * kBand + 40) + ",80,60,100";
}

TEST(TamrelFilm, TheWindowsFilmOfASixteenBitNegativeIsTheTools) {
    const ScratchDir scratch;
    const std::filesystem::path frame = WriteNegative(scratch, "frame.pnm", false);
    // First a base on the light grey, which two thirds of the frame are
    // clearer than: told, and taken back.
    const std::string script = OpenImageSteps(frame) + "; key Shift+F10; key E; wait 300" +
                               "; key Shift+F10; key B" + DragBand(1) +
                               "; print qt_msgbox_label; key Return; wait 200" +
                               PickBaseAndGreys() + SaveParams(scratch / "window.tvp") + "; close";
    const RunResult result = RunTamrel(scratch, {script, {}, {}, std::chrono::seconds(40)});
    ASSERT_TRUE(result.exited) << result.err;
    ASSERT_EQ(result.status, 0) << result.err;

    const clitest::CliResult tool = clitest::RunCli(
        scratch, {"film", "--defaults", frame.string(), (scratch / "tool.tvp").string(), "--base",
                  InsideBand(0), "--neutral", InsideBand(1), "--neutral", InsideBand(2)});
    ASSERT_EQ(tool.status, 0) << tool.err;
    EXPECT_NE(FilmLines(scratch / "tool.tvp").find("FilmNeutrals=2\r\n"), std::string::npos);
    EXPECT_EQ(FilmLines(scratch / "window.tvp"), FilmLines(scratch / "tool.tvp"));
    const auto told = Printed(result.out, "qt_msgbox_label");
    ASSERT_EQ(told.size(), 1u) << result.out;
    EXPECT_EQ(
        told[0].rfind(
            "ベースにはフィルムの最も明るい部分（縁やコマの間）を選んでください。コマの 6", 0),
        0u)
        << told[0];
    EXPECT_NE(told[0].find(" % がこの範囲より明るくなっています（40 % までにしてください）。"),
              std::string::npos)
        << told[0];
}

// An 8-bit positive, as a chart photographed after the roll.
std::filesystem::path WritePositive(const ScratchDir& scratch, const std::string& name) {
    const auto bytes = scantest::EncodePnm(kWidth, kHeight, 3, 255,
                                           [](int x, int, int c) { return (x + c * 40) % 256; });
    WriteBytes(scratch / name, std::string(bytes.begin(), bytes.end()));
    return scratch / name;
}

std::string PrintSigns() {
    return "; print title; print IDC_FILM_MODE; print IDC_STATUS; print filmNote";
}

TEST(TamrelFilm, TheKeptFilmIsNamedBesideThePictureAndNotedOnce) {
    const ScratchDir scratch;
    std::string script = OpenImageSteps(WriteNegative(scratch, "frame.pnm", false));
    script += "; key Shift+F10; key E; wait 300" + PrintSigns();
    script += "; " + OpenImageSteps(WritePositive(scratch, "chart.pnm")) + PrintSigns();
    script += "; " + OpenImageSteps(WritePositive(scratch, "chart2.pnm")) + PrintSigns();
    // The reset asks as it always did, and the film stays named. (The note
    // beside the window holds a message label too: no await on one.)
    script += "; click IDC_RESET_PARAMS; wait 800; print qt_msgbox_label"
              "; key Return; wait 300" +
              PrintSigns() + "; close";
    const RunResult result = RunTamrel(scratch, {script, {}, {}, std::chrono::seconds(40)});
    ASSERT_TRUE(result.exited) << result.err;
    ASSERT_EQ(result.status, 0) << result.err;

    const auto titles = Printed(result.out, "title");
    ASSERT_EQ(titles.size(), 4u) << result.out;
    for (const std::string& title : titles) {
        EXPECT_NE(title.find("フィルム: カラーネガ"), std::string::npos) << title;
    }
    EXPECT_EQ(Printed(result.out, "IDC_FILM_MODE"), std::vector<std::string>(4, "カラーネガ"));
    const auto status = Printed(result.out, "IDC_STATUS");
    ASSERT_EQ(status.size(), 4u);
    EXPECT_EQ(status[1], "フィルムの設定を引き継ぎました");
    EXPECT_EQ(status[2], "フィルムの設定を引き継ぎました");
    const std::string note = "フィルムの設定（カラーネガ）を引き継ぎました。";
    EXPECT_EQ(Printed(result.out, "filmNote"), (std::vector<std::string>{"", note, note, note}))
        << "one note, at the first picture that kept the film";
    EXPECT_EQ(Printed(result.out, "qt_msgbox_label"),
              std::vector<std::string>{"全てのパラメータをリセットします。"});
}

} // namespace

} // namespace film_end_to_end_test
