#include "DialogFixture.h"

#include "image/preview/PreviewState.h"
#include "tests/image/BmpWriter.h"
#include "ui/CMyGraph.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

namespace reading_test {

namespace {

// A 100-pixel picture: red at 5 (2 pixels) and 152..249, green all at 50,
// blue at 0..99.
bmptest::Picture Scan() {
    bmptest::Picture p{10, 10, {}};
    for (std::uint32_t i = 0; i < 100; ++i) {
        const std::uint32_t red = i < 2 ? 5 : 150 + i;
        p.pixels.push_back(red << 16 | 50u << 8 | i);
    }
    return p;
}

class Reading : public DialogTest {
protected:
    Reading() {
        dialog->show();
        QApplication::processEvents();
    }

    QString Write(const QString& name, const bmptest::Picture& picture) {
        const QString path = dir.filePath(name);
        bmptest::WriteFile(path.toStdString(), bmptest::EncodeBmp(picture, {}));
        return path;
    }

    void OpenScan() {
        ask.QueueFileName(Write("scan.bmp", Scan()));
        Button(IDC_OPEN_IMAGE)->click();
    }

    const SystemMenu::Entry& Entry(unsigned command) const {
        return *dialog->GetSystemMenu().Find(command);
    }

    // The image area's client pixel over the picture's pixel (x, y).
    QRgb Shown(int x, int y) const {
        const QImage grabbed = dialog->ImageArea->grab().toImage();
        const QImage client = grabbed.copy(dialog->ImageArea->contentsRect());
        return client.pixel(thePreviewState.PreviewX + x, thePreviewState.PreviewY + y);
    }

    QTemporaryDir dir;
};

TEST_F(Reading, MenuEntriesAreOffAtStartAndNeedAnImageOrAStep) {
    for (const unsigned command : {IDM_SHOW_HISTOGRAM, IDM_OUTPUT_HISTOGRAM, IDM_SHOW_BEFORE}) {
        EXPECT_TRUE(Entry(command).checkable) << command;
        EXPECT_FALSE(Entry(command).checked) << command;
    }
    EXPECT_FALSE(Entry(IDM_AUTO_BLACK_WHITE).enabled);
    EXPECT_FALSE(Entry(IDM_UNDO).enabled);
    EXPECT_FALSE(Entry(IDM_REDO).enabled);
    EXPECT_EQ(Entry(IDM_UNDO).shortcut, QKeySequence("Ctrl+Z"));
    EXPECT_EQ(Entry(IDM_REDO).shortcut, QKeySequence("Ctrl+Y"));
    OpenScan();
    EXPECT_TRUE(Entry(IDM_AUTO_BLACK_WHITE).enabled);
}

// A file's picture comes before its counts: they are taken when the histogram
// or Black/White first needs them, and follow every new picture.
TEST_F(Reading, LevelsAreCountedWhenFirstNeededAndFollowEachNewImage) {
    OpenScan();
    EXPECT_FALSE(theHistogramView.input) << "counted while the file was read";
    EXPECT_TRUE(Entry(IDM_AUTO_BLACK_WHITE).enabled);
    dialog->OnSysCommand(IDM_SHOW_HISTOGRAM, 0);
    ASSERT_TRUE(theHistogramView.input);
    EXPECT_EQ(theHistogramView.input->Levels.channels[kGreen][50], 100u);
    EXPECT_EQ(theHistogramView.input->Levels.channels[kRed][5], 2u);

    ask.QueueFileName(Write("other.bmp", {4, 4, std::vector<std::uint32_t>(16, 0x102030)}));
    Button(IDC_OPEN_IMAGE)->click();
    ASSERT_TRUE(theHistogramView.input) << "shown, so counted with the new picture";
    EXPECT_EQ(theHistogramView.input->Levels.Pixels(), 16u);
    EXPECT_EQ(theHistogramView.input->Levels.channels[kGreen][0x20], 16u);
}

TEST_F(Reading, OutputHistogramFollowsTheSliders) {
    OpenScan();
    dialog->OnSysCommand(IDM_OUTPUT_HISTOGRAM, 0);
    const QImage before = dialog->GraphArea->grab().toImage();
    Slider(IDC_SLIDER_GAMMA)->setValue(160);
    EXPECT_NE(dialog->GraphArea->grab().toImage(), before);
}

TEST_F(Reading, AutoBlackWhiteSetsEveryChannelAndKeepsAlphaAndGamma) {
    OpenScan();
    Slider(IDC_SLIDER_ALPHA)->setValue(150);
    dialog->OnSysCommand(IDM_AUTO_BLACK_WHITE, 0);
    // 0.1 % of 100 pixels is 0.1: no pixel may clip. Red: Black 4.0 (2 pixels
    // at 5), White 250. Green: Black 10.0, White 200 (floor). Blue: Black 0.0, White 200.
    EXPECT_EQ(PositionsOf(theChannelParams[kRed]), (ParamPositions{40, 250, 150, 200}));
    EXPECT_EQ(PositionsOf(theChannelParams[kGreen]), (ParamPositions{100, 200, 99, 200}));
    EXPECT_EQ(PositionsOf(theChannelParams[kBlue]), (ParamPositions{0, 200, 99, 200}));
    EXPECT_EQ(SliderPositions(), (ParamPositions{40, 250, 150, 200}));
    EXPECT_EQ(LabelText(IDC_VALUE_BLACK), " 4.0");
    GammaTable expected{};
    ComputeChannelTable(theChannelParams[kGreen], expected);
    EXPECT_EQ(theGammaTables[kGreen], expected);
}

TEST_F(Reading, BeforeShowsTheImageOwnLevelsAndAfterNeedsNoApply) {
    OpenScan();
    Slider(IDC_SLIDER_GAMMA)->setValue(250);
    Button(IDC_APPLY)->click();
    const QRgb after = Shown(9, 9);
    QTest::keyClick(dialog.get(), Qt::Key_Backslash);
    EXPECT_TRUE(Entry(IDM_SHOW_BEFORE).checked);
    EXPECT_EQ(Shown(9, 9), qRgb(249, 50, 99)) << "picture pixel (9, 9) is i = 99";
    dialog->OnSysCommand(IDM_SHOW_BEFORE, 0);
    EXPECT_EQ(Shown(9, 9), after);
    EXPECT_FALSE(Entry(IDM_SHOW_BEFORE).checked);
}

TEST_F(Reading, SpaceAndReturnKeepTheirButtonMeanings) {
    Button(IDC_RESET_PARAMS)->setFocus();
    ask.QueueAnswer(Answer::Cancel);
    QTest::keyClick(Button(IDC_RESET_PARAMS), Qt::Key_Space);
    EXPECT_EQ(ask.Messages().size(), 1u);
    EXPECT_FALSE(ShowingImageBeforeTables());
}

} // namespace

} // namespace reading_test
