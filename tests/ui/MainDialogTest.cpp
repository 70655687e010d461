#include "DialogFixture.h"

#include "ui/CMyGraph.h"
#include "ui/CurvePlot.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace main_dialog_test {

namespace {

// Each test runs in a process of its own: the store is as the program starts.
TEST(WindowChannels, StartAtTheDefaults) {
    for (const ChannelParams& c : theChannelParams) {
        EXPECT_EQ(PositionsOf(c), ParamPositions{});
        EXPECT_EQ(c.Alpha, 1.099);
    }
}

using StartUp = DialogTest;

TEST_F(StartUp, SelectsRedAndShowsTheDefaultValues) {
    EXPECT_EQ(Tabs()->count(), 3);
    EXPECT_EQ(Tabs()->currentIndex(), 0);
    EXPECT_EQ(Tabs()->tabText(0), "Red");
    EXPECT_EQ(Tabs()->tabText(1), "Green");
    EXPECT_EQ(Tabs()->tabText(2), "Blue");
    EXPECT_EQ(ValueLabels(), QStringList({" 0.0", " 255", " 1.099", " 2.00"}));
    EXPECT_EQ(SliderPositions(), ParamPositions{});
}

TEST_F(StartUp, SetsTheSliderRangesOfTheParameters) {
    const struct {
        int id;
        int min, max;
    } ranges[] = {{IDC_SLIDER_BLACK, 0, 100},
                  {IDC_SLIDER_WHITE, 200, 255},
                  {IDC_SLIDER_ALPHA, 0, 200},
                  {IDC_SLIDER_GAMMA, 150, 250}};
    for (const auto& r : ranges) {
        EXPECT_EQ(Slider(r.id)->minimum(), r.min) << r.id;
        EXPECT_EQ(Slider(r.id)->maximum(), r.max) << r.id;
    }
}

TEST_F(StartUp, ComputesAllThreeTablesAndDisablesApply) {
    for (const GammaTable& t : theGammaTables) {
        EXPECT_EQ(t, DefaultTable());
    }
    EXPECT_FALSE(Button(IDC_APPLY)->isEnabled());
    EXPECT_EQ(LabelText(IDC_PIXEL_R), "R:");
}

TEST_F(StartUp, SizesTheGraphControlAtItsTemplateCorner) {
    const QWidget* graph = dialog->GraphArea;
    EXPECT_EQ(graph->size(), QSize(276, 276));
    EXPECT_EQ(dialog->GraphArea->ClientRect().size(), QSize(272, 272));
    const QWidget* close = Button(IDOK);
    // The template corner (8, 12) in the same units as every other control.
    const QRect closeTemplate(430, 342, 52, 18);
    const double unitX = close->width() / static_cast<double>(closeTemplate.width());
    EXPECT_NEAR(graph->x(), 8 * unitX, 1.0);
}

TEST_F(StartUp, InstallsBothPaintCallbacks) {
    EXPECT_NE(dialog->GraphArea->PaintCallback, nullptr);
    EXPECT_NE(dialog->ImageArea->PaintCallback, nullptr);
    EXPECT_EQ(dialog->GraphArea->PaintCallback, &DrawCurvePlot);
}

using ChannelControls = DialogTest;

TEST_F(ChannelControls, BlackOnRedShowsItsValueAndChangesOnlyTheRedTable) {
    const GammaTableSet before = theGammaTables;
    Slider(IDC_SLIDER_BLACK)->setValue(37);
    EXPECT_EQ(LabelText(IDC_VALUE_BLACK), " 3.7");
    const int toe[] = {0, 0, 0, 0, 1, 5, 8, 12, 16, 20};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(theGammaTables[kRed][i], toe[i]) << i;
    }
    EXPECT_EQ(theChannelParams[kRed].BlackPos, 37);
    EXPECT_EQ(theChannelParams[kRed].Black, 3.7);
    EXPECT_EQ(theGammaTables[kGreen], before[kGreen]);
    EXPECT_EQ(theGammaTables[kBlue], before[kBlue]);
}

TEST_F(ChannelControls, SliderOnGreenChangesOnlyTheGreenTable) {
    Tabs()->setCurrentIndex(kGreen);
    const GammaTableSet before = theGammaTables;
    Slider(IDC_SLIDER_GAMMA)->setValue(150);
    EXPECT_NE(theGammaTables[kGreen], before[kGreen]);
    EXPECT_EQ(theGammaTables[kRed], before[kRed]);
    EXPECT_EQ(theGammaTables[kBlue], before[kBlue]);
    EXPECT_EQ(theChannelParams[kGreen].GammaPos, 150);
    EXPECT_EQ(LabelText(IDC_VALUE_GAMMA), " 1.50");
}

TEST_F(ChannelControls, KeysAndTheEndOfADragUpdateTheChannel) {
    QSlider* white = Slider(IDC_SLIDER_WHITE);
    white->setFocus();
    QTest::keyClick(white, Qt::Key_Left);
    EXPECT_EQ(theChannelParams[kRed].WhitePos, 254);
    EXPECT_EQ(LabelText(IDC_VALUE_WHITE), " 254");
    QTest::keyClick(white, Qt::Key_PageDown);
    EXPECT_EQ(theChannelParams[kRed].WhitePos, white->value());
    // The end of a drag is a notification of its own.
    theChannelParams[kRed].WhitePos = 0;
    emit white->sliderReleased();
    EXPECT_EQ(theChannelParams[kRed].WhitePos, white->value());
}

TEST_F(ChannelControls, TabsShowEachChannelsOwnValuesAndChangeNoTable) {
    const ParamPositions red{10, 250, 20, 160};
    const ParamPositions green{20, 240, 40, 170};
    const ParamPositions blue{30, 230, 60, 180};
    const ParamPositions* perChannel[] = {&red, &green, &blue};
    for (int ch = 0; ch < 3; ++ch) {
        Tabs()->setCurrentIndex(ch);
        Slider(IDC_SLIDER_BLACK)->setValue(perChannel[ch]->black);
        Slider(IDC_SLIDER_WHITE)->setValue(perChannel[ch]->white);
        Slider(IDC_SLIDER_ALPHA)->setValue(perChannel[ch]->alpha);
        Slider(IDC_SLIDER_GAMMA)->setValue(perChannel[ch]->gamma);
    }
    const GammaTableSet tables = theGammaTables;
    for (int ch : {0, 2, 1, 0, 1, 2}) {
        Tabs()->setCurrentIndex(ch);
        EXPECT_EQ(SliderPositions(), *perChannel[ch]) << ch;
        const ChannelParams values = MakeChannelParams(*perChannel[ch]);
        EXPECT_EQ(LabelText(IDC_VALUE_ALPHA),
                  QString::fromLatin1(FormatValue(Param::Alpha, values.Alpha)));
        EXPECT_EQ(theGammaTables, tables);
    }
}

TEST_F(ChannelControls, ResetConfirmedOnBlueRestoresEveryChannelAndKeepsBlue) {
    for (int ch = 0; ch < 3; ++ch) {
        Tabs()->setCurrentIndex(ch);
        Slider(IDC_SLIDER_BLACK)->setValue(10 * (ch + 1));
    }
    ask.QueueAnswer(Answer::Ok);
    Button(IDC_RESET_PARAMS)->click();
    ASSERT_EQ(ask.Messages().size(), 1u);
    EXPECT_EQ(ask.Messages()[0].text, "全てのパラメータをリセットします。");
    EXPECT_EQ(ask.Messages()[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(ask.Messages()[0].icon, MessageIcon::Question);
    EXPECT_EQ(Tabs()->currentIndex(), kBlue);
    EXPECT_EQ(SliderPositions(), ParamPositions{});
    EXPECT_EQ(ValueLabels(), QStringList({" 0.0", " 255", " 1.099", " 2.00"}));
    for (int ch = 0; ch < 3; ++ch) {
        EXPECT_EQ(PositionsOf(theChannelParams[ch]), ParamPositions{}) << ch;
        EXPECT_EQ(theGammaTables[ch], DefaultTable()) << ch;
    }
}

TEST_F(ChannelControls, ResetCancelledChangesNothing) {
    Slider(IDC_SLIDER_ALPHA)->setValue(150);
    const GammaTableSet tables = theGammaTables;
    const ChannelParams red = theChannelParams[kRed];
    ask.QueueAnswer(Answer::Cancel);
    Button(IDC_RESET_PARAMS)->click();
    EXPECT_EQ(theGammaTables, tables);
    EXPECT_EQ(PositionsOf(theChannelParams[kRed]), PositionsOf(red));
    EXPECT_EQ(Slider(IDC_SLIDER_ALPHA)->value(), 150);
    EXPECT_EQ(LabelText(IDC_VALUE_ALPHA), " 1.150");
}

TEST_F(ChannelControls, MovingASliderRepaintsTheGraph) {
    dialog->show();
    QApplication::processEvents();
    QImage before = dialog->GraphArea->grab().toImage();
    Slider(IDC_SLIDER_GAMMA)->setValue(250);
    QApplication::processEvents();
    QImage after = dialog->GraphArea->grab().toImage();
    EXPECT_NE(before, after);
}

using SystemCommands = DialogTest;

TEST_F(SystemCommands, AboutTheScanEntriesAndTheCalibrationEachFollowASeparator) {
    const auto& entries = dialog->GetSystemMenu().Entries();
    ASSERT_GE(entries.size(), 8u);
    const std::size_t about = entries.size() - 7;
    EXPECT_TRUE(entries[about - 1].separator);
    EXPECT_EQ(entries[about].command, IDM_ABOUTBOX);
    EXPECT_EQ(entries[about].text, "バージョン情報 Tamrel(&A)...");
    EXPECT_TRUE(entries[about + 1].separator);
    EXPECT_EQ(entries[about + 2].command, IDM_SCAN_ACQUIRE);
    EXPECT_EQ(entries[about + 2].text, "スキャナから取り込む(&S)...");
    EXPECT_EQ(entries[about + 3].command, IDM_SCAN_TABLES);
    EXPECT_EQ(entries[about + 3].text, "テーブルでスキャン(&T)...");
    EXPECT_EQ(entries[about + 4].command, IDM_SAVE_SCAN);
    EXPECT_TRUE(entries[about + 5].separator);
    EXPECT_EQ(entries[about + 6].command, IDM_CALIBRATE_CHART);
    EXPECT_EQ(entries[about + 6].text, "チャートで校正(&K)...");
}

// The menu is one table: its order is what a keyboard user counts on (the
// nth entry after Shift+F10), its check marks and keys what it shows.
TEST_F(SystemCommands, TheMenuListsItsEntriesInTheirOrderWithTheirMarksAndKeys) {
    constexpr unsigned kLine = 0; // a separator
    const struct {
        unsigned command;
        bool checkable;
        QKeySequence key;
    } expected[] = {
        {SC_MINIMIZE, false, {}},
        {SC_CLOSE, false, {}},
        {kLine, false, {}},
        {IDM_SHOW_HISTOGRAM, true, {}},
        {IDM_OUTPUT_HISTOGRAM, true, {}},
        {IDM_AUTO_BLACK_WHITE, false, {}},
        {IDM_SHOW_BEFORE, true, {}},
        {IDM_ZOOM_FIT, false, QKeySequence(Qt::Key_F)},
        {IDM_ZOOM_ACTUAL, false, QKeySequence(Qt::Key_1)},
        {kLine, false, {}},
        {IDM_UNDO, false, QKeySequence(QKeySequence::Undo)},
        {IDM_REDO, false, QKeySequence(Qt::CTRL | Qt::Key_Y)},
        {kLine, false, {}},
        {IDM_FILM_POSITIVE, true, {}},
        {IDM_FILM_COLOUR, true, {}},
        {IDM_FILM_BLACK_WHITE, true, {}},
        {IDM_PICK_BASE, false, {}},
        {IDM_PICK_GREY, false, {}},
        {IDM_ROLL, false, {}},
        {kLine, false, {}},
        {IDM_ABOUTBOX, false, {}},
        {kLine, false, {}},
        {IDM_SCAN_ACQUIRE, false, {}},
        {IDM_SCAN_TABLES, false, {}},
        {IDM_SAVE_SCAN, false, {}},
        {kLine, false, {}},
        {IDM_CALIBRATE_CHART, false, {}},
    };
    const auto& entries = dialog->GetSystemMenu().Entries();
    ASSERT_EQ(entries.size(), std::size(expected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].separator, expected[i].command == kLine) << i;
        if (!entries[i].separator) {
            EXPECT_EQ(entries[i].command, expected[i].command) << i;
            EXPECT_EQ(entries[i].checkable, expected[i].checkable) << i;
            EXPECT_EQ(entries[i].shortcut, expected[i].key) << i;
            EXPECT_FALSE(entries[i].text.isEmpty()) << i;
        }
    }
}

TEST_F(SystemCommands, AboutOpensTheAboutBoxWhateverTheLowFourBits) {
    for (unsigned flags : {0x0u, 0x3u, 0xFu}) {
        QString title;
        QTimer::singleShot(0, [&title] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                title = modal->windowTitle();
                modal->close();
            }
        });
        dialog->OnSysCommand(IDM_ABOUTBOX | flags, 0);
        EXPECT_EQ(title, "バージョン情報 Tamrel") << flags;
    }
}

TEST_F(SystemCommands, CloseEndsTheModalRun) {
    QTimer::singleShot(0, [this] { dialog->OnSysCommand(0xF060 | 0x2, 0); });
    const int result = dialog->DoModal();
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SystemCommands, EscapeAndTheCloseButtonEndTheModalRun) {
    QTimer::singleShot(0, [this] { QTest::keyClick(dialog.get(), Qt::Key_Escape); });
    EXPECT_EQ(dialog->DoModal(), QDialog::Rejected);
    QTimer::singleShot(0, [this] { Button(IDOK)->click(); });
    EXPECT_EQ(dialog->DoModal(), QDialog::Accepted);
}

} // namespace

}  // namespace main_dialog_test
