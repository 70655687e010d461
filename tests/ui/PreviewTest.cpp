#include "DialogFixture.h"

#include "image/preview/PreviewState.h"
#include "tests/image/BmpWriter.h"
#include "ui/CMyGraph.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

namespace preview_test {

namespace {

constexpr QRgb kGrey = qRgb(64, 64, 64);

class Preview : public DialogTest {
protected:
    Preview() {
        dialog->show();
        QApplication::processEvents();
    }

    QString WriteBmp(const QString& name, const bmptest::Picture& picture, bool topDown = false) {
        const QString path = dir.filePath(name);
        bmptest::Encoding encoding;
        encoding.topDown = topDown;
        bmptest::WriteFile(path.toStdString(), bmptest::EncodeBmp(picture, encoding));
        return path;
    }

    void Open(const QString& path) {
        ask.QueueFileName(path);
        Button(IDC_OPEN_IMAGE)->click();
    }

    QSize Area() const { return {thePreviewState.ImageAreaWidth, thePreviewState.ImageAreaHeight}; }

    // What the image area shows, client pixels only.
    QImage Shown() const {
        const QImage grabbed = dialog->ImageArea->grab().toImage();
        return grabbed.copy(dialog->ImageArea->contentsRect());
    }

    // The colour a picture pixel should show through the current tables.
    static QRgb Through(std::uint32_t rgb, const GammaTableSet& tables) {
        return qRgb(tables[kRed][rgb >> 16 & 0xFF] & 0xFF, tables[kGreen][rgb >> 8 & 0xFF] & 0xFF,
                    tables[kBlue][rgb & 0xFF] & 0xFF);
    }

    // A point of the dialog over client pixel (x, y) of the image area.
    QPoint OverArea(int x, int y) const {
        const QPoint inArea = dialog->ImageArea->contentsRect().topLeft() + QPoint(x, y);
        return dialog->ImageArea->mapTo(dialog.get(), inArea);
    }

    QStringList ReadoutLabels() const {
        return {LabelText(IDC_PIXEL_R), LabelText(IDC_PIXEL_G), LabelText(IDC_PIXEL_B)};
    }

    QTemporaryDir dir;
};

TEST_F(Preview, StartsWithNoImageGreyAreaAndApplyDisabled) {
    EXPECT_EQ(Area(), dialog->ImageArea->contentsRect().size());
    const QImage shown = Shown();
    EXPECT_EQ(shown.pixel(0, 0), kGrey);
    EXPECT_EQ(shown.pixel(shown.width() - 1, shown.height() - 1), kGrey);
    EXPECT_FALSE(Button(IDC_APPLY)->isEnabled());
}

TEST_F(Preview, ImageOfTheAreaSizeCoversItWithoutMargins) {
    const bmptest::Picture picture = bmptest::Gradient(Area().width(), Area().height());
    Open(WriteBmp("same.bmp", picture));
    EXPECT_EQ(thePreviewState.PreviewX, 0);
    EXPECT_EQ(thePreviewState.PreviewY, 0);
    EXPECT_TRUE(Button(IDC_APPLY)->isEnabled());
    const QImage shown = Shown();
    for (const QPoint p :
         {QPoint(0, 0), QPoint(Area().width() - 1, Area().height() - 1), QPoint(17, 33)}) {
        EXPECT_EQ(shown.pixel(p), Through(picture.At(p.x(), p.y()), theGammaTables));
    }
}

TEST_F(Preview, SmallerImageIsCentredWithTheOddPixelRightAndBelow) {
    const int w = Area().width() - 41; // odd differences on both axes
    const int h = Area().height() - 3;
    const bmptest::Picture picture = bmptest::Gradient(w, h);
    Open(WriteBmp("small.bmp", picture));
    EXPECT_EQ(thePreviewState.PreviewX, 20);
    EXPECT_EQ(thePreviewState.PreviewY, 1);
    const QImage shown = Shown();
    EXPECT_EQ(shown.pixel(19, 50), kGrey);
    EXPECT_EQ(shown.pixel(20 + w, 50), kGrey);
    EXPECT_EQ(shown.pixel(Area().width() - 1, 50), kGrey);
    EXPECT_EQ(shown.pixel(100, 0), kGrey);
    EXPECT_EQ(shown.pixel(100, 1 + h), kGrey);
    EXPECT_EQ(shown.pixel(20, 1), Through(picture.At(0, 0), theGammaTables));
    EXPECT_EQ(shown.pixel(20 + w - 1, h), Through(picture.At(w - 1, h - 1), theGammaTables));
}

TEST_F(Preview, SpareColumnOfAOnePixelNarrowerImageIsGrey) {
    Open(WriteBmp("narrow.bmp", bmptest::Gradient(Area().width() - 1, Area().height() - 1)));
    EXPECT_EQ(thePreviewState.PreviewX, 0);
    EXPECT_EQ(thePreviewState.PreviewY, 0);
    const QImage shown = Shown();
    EXPECT_EQ(shown.pixel(Area().width() - 1, 10), kGrey);
    EXPECT_EQ(shown.pixel(10, Area().height() - 1), kGrey);
    EXPECT_NE(shown.pixel(Area().width() - 2, 10), kGrey);
}

TEST_F(Preview, LargerImageIsCentredAndCropped) {
    const int w = Area().width() + 101;
    const int h = Area().height() + 6;
    const bmptest::Picture picture = bmptest::Gradient(w, h);
    Open(WriteBmp("large.bmp", picture));
    EXPECT_EQ(thePreviewState.PreviewX, -50);
    EXPECT_EQ(thePreviewState.PreviewY, -3);
    const QImage shown = Shown();
    EXPECT_EQ(shown.pixel(0, 0), Through(picture.At(50, 3), theGammaTables));
    EXPECT_NE(shown.pixel(Area().width() - 1, 0), kGrey);
}

TEST_F(Preview, TopDownFileShowsLikeTheBottomUpOne) {
    const bmptest::Picture picture = bmptest::Gradient(60, 40);
    Open(WriteBmp("up.bmp", picture));
    const QImage bottomUp = Shown();
    Open(WriteBmp("down.bmp", picture, true));
    EXPECT_EQ(Shown(), bottomUp);
}

TEST_F(Preview, SlidersChangeThePreviewOnlyAfterApply) {
    const bmptest::Picture picture = bmptest::Gradient(80, 80);
    Open(WriteBmp("scan.bmp", picture));
    const QImage before = Shown();
    const GammaTableSet atOpen = theGammaTables;
    Slider(IDC_SLIDER_GAMMA)->setValue(150);
    QApplication::processEvents();
    EXPECT_EQ(Shown(), before);
    Button(IDC_APPLY)->click();
    const QImage after = Shown();
    EXPECT_NE(after, before);
    const int x = thePreviewState.PreviewX + 5;
    const int y = thePreviewState.PreviewY + 7;
    EXPECT_EQ(after.pixel(x, y), Through(picture.At(5, 7), theGammaTables));
    EXPECT_EQ(before.pixel(x, y), Through(picture.At(5, 7), atOpen));
}

TEST_F(Preview, SecondImageOfAnotherSizeIsCentredAnew) {
    Open(WriteBmp("first.bmp", bmptest::Gradient(Area().width() + 200, 50)));
    thePreviewState.PreviewX = -3; // as after a pan
    Open(WriteBmp("second.bmp", bmptest::Gradient(30, 20)));
    EXPECT_EQ(thePreviewState.PreviewWidth, 30);
    EXPECT_EQ(thePreviewState.PreviewHeight, 20);
    EXPECT_EQ(thePreviewState.PreviewBitmap->Width(), 30);
    EXPECT_EQ(thePreviewState.PreviewX, (Area().width() - 30) / 2);
}

TEST_F(Preview, FailedOrCancelledOpenChangesNothing) {
    Open(WriteBmp("good.bmp", bmptest::Gradient(30, 20)));
    const QImage shown = Shown();
    const std::uint8_t* pixels = thePreviewState.Picture().Rows().Rows(0, 1, nullptr).First;
    const QString bad = dir.filePath("bad.bmp");
    bmptest::WriteFile(bad.toStdString(), std::vector<std::uint8_t>(55, 'B'));
    ask.Clear();
    Open(bad);
    EXPECT_EQ(ask.MessageTexts(), QStringList({"ファイルをロードできません。"}));
    ask.QueueCancel();
    Button(IDC_OPEN_IMAGE)->click();
    EXPECT_EQ(ask.Messages().size(), 1u);
    EXPECT_EQ(thePreviewState.Picture().Rows().Rows(0, 1, nullptr).First, pixels);
    EXPECT_EQ(thePreviewState.PreviewWidth, 30);
    EXPECT_TRUE(Button(IDC_APPLY)->isEnabled());
    EXPECT_EQ(Shown(), shown);
}

TEST_F(Preview, AFailedOpenSaysWhichFileAndWhyOnTheSecondLine) {
    const QString v5 = dir.filePath("v5.bmp");
    bmptest::WriteFile(v5.toStdString(), bmptest::With(bmptest::EncodeBmp(bmptest::Gradient(4, 4)),
                                                       bmptest::kInfoSizeField, 124));
    Open(v5);
    ASSERT_EQ(ask.Messages().size(), 1u);
    EXPECT_EQ(ask.Messages()[0].text, "ファイルをロードできません。");
    EXPECT_EQ(ask.Messages()[0].details,
              "v5.bmp: BMP の情報ヘッダーが 124 バイトです（40 バイトのヘッダーのみ対応）。"
              "24 ビットの BMP、PNG か TIFF で保存し直してください");
    ask.Clear();
    Open(dir.filePath("absent.bmp"));
    EXPECT_EQ(ask.Messages().at(0).details, "absent.bmp: ファイルまたはフォルダーが見つかりません");
}

// The first filter takes every image the window reads; a PDF is only written.
TEST_F(Preview, OpenDialogOffersEveryImageItReadsFirst) {
    ask.QueueCancel();
    Button(IDC_OPEN_IMAGE)->click();
    ASSERT_EQ(ask.FileDialogs().size(), 1u);
    EXPECT_EQ(ask.FileDialogs()[0].mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(ask.FileDialogs()[0].defaultSuffix, "bmp");
    const QString filter = ask.FileDialogs()[0].filter;
    EXPECT_TRUE(filter.startsWith(QStringLiteral(
        "画像ファイル (*.bmp *.pnm *.ppm *.pgm *.png *.tif *.tiff *.jpg *.jpeg)|"
        "*.bmp;*.pnm;*.ppm;*.pgm;*.png;*.tif;*.tiff;*.jpg;*.jpeg|BMP 画像 (*.bmp)|")))
        << filter.toStdString();
    EXPECT_TRUE(filter.endsWith(QStringLiteral("|すべてのファイル (*.*)|*.*||")));
    EXPECT_FALSE(filter.contains(QStringLiteral("pdf")));
}

using PixelReadout = Preview;

TEST_F(PixelReadout, HandOverTheAreaArrowElsewhereBarePrefixesWithoutImage) {
    QTest::mouseMove(dialog.get(), OverArea(10, 10));
    EXPECT_EQ(dialog->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(ReadoutLabels(), QStringList({"R: ", "G: ", "B: "}));
    QTest::mouseMove(dialog.get(), QPoint(5, 5));
    EXPECT_EQ(dialog->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PixelReadout, ShowsTheDisplayedPixelAndNothingOverMarginsOrBorder) {
    const bmptest::Picture picture = bmptest::Gradient(40, 30);
    Open(WriteBmp("small.bmp", picture));
    const int x0 = thePreviewState.PreviewX;
    const int y0 = thePreviewState.PreviewY;
    QTest::mouseMove(dialog.get(), OverArea(x0 + 3, y0 + 4));
    const QRgb expected = Through(picture.At(3, 4), theGammaTables);
    EXPECT_EQ(ReadoutLabels(), QStringList({QString("R: %1").arg(qRed(expected)),
                                            QString("G: %1").arg(qGreen(expected)),
                                            QString("B: %1").arg(qBlue(expected))}));
    QTest::mouseMove(dialog.get(), OverArea(x0 - 1, y0 + 4)); // grey margin
    EXPECT_EQ(ReadoutLabels(), QStringList({"R: ", "G: ", "B: "}));
    EXPECT_EQ(dialog->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(dialog.get(), OverArea(-1, 10)); // the sunken border
    EXPECT_EQ(dialog->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(ReadoutLabels(), QStringList({"R: ", "G: ", "B: "}));
}

TEST_F(PixelReadout, ReadingsShowThePreviewNotTheCurrentTables) {
    const bmptest::Picture picture = bmptest::Gradient(40, 30);
    Open(WriteBmp("small.bmp", picture));
    const GammaTableSet atOpen = theGammaTables;
    Slider(IDC_SLIDER_BLACK)->setValue(100);
    QTest::mouseMove(dialog.get(),
                     OverArea(thePreviewState.PreviewX + 9, thePreviewState.PreviewY + 9));
    const QRgb expected = Through(picture.At(9, 9), atOpen);
    EXPECT_EQ(LabelText(IDC_PIXEL_R), QString("R: %1").arg(qRed(expected)));
}

TEST_F(PixelReadout, DraggingASmallImageMovesNothingAndReadingsGoOn) {
    Open(WriteBmp("small.bmp", bmptest::Gradient(40, 30)));
    const int x0 = thePreviewState.PreviewX;
    const int y0 = thePreviewState.PreviewY;
    QTest::mousePress(dialog.get(), Qt::LeftButton, {}, OverArea(x0 + 5, y0 + 5));
    EXPECT_EQ(dialog->Dragging, 1);
    QTest::mouseMove(dialog.get(), OverArea(x0 + 15, y0 + 12));
    EXPECT_EQ(thePreviewState.PreviewX, x0);
    EXPECT_EQ(thePreviewState.PreviewY, y0);
    EXPECT_NE(LabelText(IDC_PIXEL_R), "R: ");
    QTest::mouseRelease(dialog.get(), Qt::LeftButton, {}, OverArea(x0 + 15, y0 + 12));
    EXPECT_EQ(dialog->Dragging, 0);
}

TEST_F(PixelReadout, PanMovesShowBarePrefixesAndClampAtTheEdges) {
    const int w = Area().width() + 60;
    Open(WriteBmp("wide.bmp", bmptest::Gradient(w, 50)));
    EXPECT_EQ(thePreviewState.PreviewX, -30);
    const int y = thePreviewState.PreviewY + 10;
    QTest::mousePress(dialog.get(), Qt::LeftButton, {}, OverArea(100, y));
    QTest::mouseMove(dialog.get(), OverArea(110, y + 5)); // vertical motion is ignored
    EXPECT_EQ(thePreviewState.PreviewX, -20);
    EXPECT_EQ(thePreviewState.PreviewY, (Area().height() - 50) / 2);
    EXPECT_EQ(ReadoutLabels(), QStringList({"R: ", "G: ", "B: "}));
    QTest::mouseMove(dialog.get(), OverArea(110, y + 6)); // no horizontal step: no pan
    EXPECT_NE(LabelText(IDC_PIXEL_R), "R: ");
    QTest::mouseMove(dialog.get(), OverArea(200, y));
    EXPECT_EQ(thePreviewState.PreviewX, 0) << "stops at the left edge";
    QTest::mouseMove(dialog.get(), OverArea(10, y));
    EXPECT_EQ(thePreviewState.PreviewX, -60) << "stops at the right edge";
    QTest::mouseMove(dialog.get(), QPoint(3, 3)); // leaving the area ends the drag
    EXPECT_EQ(dialog->Dragging, 0);
}

TEST_F(PixelReadout, OnePixelNarrowerImageTakesOneStepThenNeverPans) {
    Open(WriteBmp("narrow.bmp", bmptest::Gradient(Area().width() - 1, Area().height() + 10)));
    EXPECT_EQ(thePreviewState.PreviewX, 0);
    QTest::mousePress(dialog.get(), Qt::LeftButton, {}, OverArea(50, 50));
    QTest::mouseMove(dialog.get(), OverArea(50, 51));
    EXPECT_EQ(thePreviewState.PreviewX, 1);
    QTest::mouseMove(dialog.get(), OverArea(40, 52));
    EXPECT_EQ(thePreviewState.PreviewX, 1);
}

} // namespace

} // namespace preview_test
