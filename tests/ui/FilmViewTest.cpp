// A colour negative in the window: the plot draws the curve that shapes its
// positive, the image before the curve is the positive alone, Black/White
// from the image read the positive's levels, and the film goes through a
// parameter file and back.
#include "DialogFixture.h"

#include "image/preview/PreviewState.h"
#include "tests/image/BmpWriter.h"
#include "ui/CMyGraph.h"

#include <QApplication>
#include <QTemporaryDir>

namespace film_view_test {

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;
// Clear film (the orange base) on the left, a dense patch on the right: the
// frame's only highlight.
constexpr std::uint32_t kBase = 184u << 16 | 117u << 8 | 69u;
constexpr std::uint32_t kDense = 18u << 16 | 10u << 8 | 5u;

class FilmView : public DialogTest {
protected:
    FilmView() {
        dialog->show();
        QApplication::processEvents();
        bmptest::Picture negative{kWidth, kHeight, {}};
        for (int i = 0; i < kWidth * kHeight; ++i) {
            negative.pixels.push_back(i % kWidth < kWidth / 2 ? kBase : kDense);
        }
        const QString path = dir.filePath("negative.bmp");
        bmptest::WriteFile(path.toStdString(), bmptest::EncodeBmp(negative, {}));
        ask.QueueFileName(path);
        Button(IDC_OPEN_IMAGE)->click();
    }

    QImage Plot() const { return dialog->GraphArea->grab().toImage(); }
    QRgb Shown(int x, int y) const {
        const QImage client =
            dialog->ImageArea->grab().toImage().copy(dialog->ImageArea->contentsRect());
        return client.pixel(thePreviewState.PreviewX + x, thePreviewState.PreviewY + y);
    }
    QStringList Whites() {
        QStringList whites;
        for (int channel = 0; channel < 3; ++channel) {
            Tabs()->setCurrentIndex(channel);
            whites << LabelText(IDC_VALUE_WHITE);
        }
        return whites;
    }

    QTemporaryDir dir;
};

TEST_F(FilmView, ThePlotTheImageBeforeTheCurveAndBlackWhiteReadThePositive) {
    const QImage curves = Plot();
    dialog->OnAutoBlackWhite();
    EXPECT_EQ(Whites(), QStringList({" 200", " 200", " 200"})) << "the negative's own levels";
    dialog->OnUndo();
    dialog->OnFilmMode(FilmMode::ColourNegative);
    ASSERT_TRUE(dialog->Film().IsNegative());
    EXPECT_EQ(Plot(), curves) << "the curve alone, not the falling tables";
    dialog->OnToggleBefore();
    EXPECT_EQ(Shown(1, 1), qRgb(0, 0, 0)) << "the base is the positive's black";
    EXPECT_EQ(Shown(kWidth - 2, 1), qRgb(255, 255, 255)) << "the highlight its white";
    dialog->OnAutoBlackWhite();
    EXPECT_EQ(Whites(), QStringList({" 255", " 255", " 255"})) << "the positive's levels";
    Slider(IDC_SLIDER_GAMMA)->setValue(180);
    EXPECT_GT(theGammaTables[kBlue][0], theGammaTables[kBlue][255]) << "a slider keeps the film";
}

TEST_F(FilmView, AFilmSavedInAParameterFileLoadsBackWithItsTables) {
    dialog->OnFilmMode(FilmMode::ColourNegative);
    const FilmSettings film = dialog->Film();
    const GammaTableSet tables = theGammaTables;
    ask.QueueFileName(dir.filePath("film.tvp"));
    Button(IDC_SAVE_PARAMS)->click();
    dialog->OnFilmMode(FilmMode::Positive);
    EXPECT_NE(theGammaTables, tables);
    ask.QueueFileName(dir.filePath("film.tvp"));
    Button(IDC_LOAD_PARAMS)->click();
    EXPECT_EQ(dialog->Film(), film);
    EXPECT_EQ(theGammaTables, tables);
}

} // namespace

} // namespace film_view_test
