#include "DialogFixture.h"

#include "curve/ChannelStore.h"
#include "io/ParamFileWriter.h"
#include "ui/UndoHistory.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

namespace undo_test {

namespace {

ParamPositionSet WithRedBlack(int black) {
    ParamPositionSet set{};
    set[kRed].black = black;
    return set;
}

TEST(UndoHistory, UndoAndRedoWalkTheStepsInOrder) {
    StepHistory<ParamPositionSet> history(WithRedBlack(0));
    EXPECT_FALSE(history.CanUndo());
    history.Record(WithRedBlack(0));
    EXPECT_FALSE(history.CanUndo()) << "an unchanged state is no step";
    history.Record(WithRedBlack(10));
    history.Record(WithRedBlack(20));
    EXPECT_EQ(history.Undo(), WithRedBlack(10));
    EXPECT_EQ(history.Undo(), WithRedBlack(0));
    EXPECT_EQ(history.Undo(), std::nullopt);
    EXPECT_EQ(history.Redo(), WithRedBlack(10));
    history.Record(WithRedBlack(30));
    EXPECT_FALSE(history.CanRedo()) << "a new step drops what could be redone";
    EXPECT_EQ(history.Undo(), WithRedBlack(10));
    EXPECT_EQ(history.Redo(), WithRedBlack(30));
}

TEST(UndoHistory, KeepsAtLeastFiftyStepsAndDropsTheOldestBeyondItsLimit) {
    static_assert(UndoHistory::kMaxSteps >= 50);
    StepHistory<ParamPositionSet> history(WithRedBlack(0));
    const int steps = static_cast<int>(UndoHistory::kMaxSteps) + 5;
    for (int i = 1; i <= steps; ++i) {
        history.Record(WithRedBlack(i));
    }
    int undone = 0;
    std::optional<ParamPositionSet> last;
    while (const auto state = history.Undo()) {
        last = state;
        ++undone;
    }
    EXPECT_EQ(undone, static_cast<int>(UndoHistory::kMaxSteps));
    EXPECT_EQ(last, WithRedBlack(steps - static_cast<int>(UndoHistory::kMaxSteps)));
}

class Undo : public DialogTest {
protected:
    Undo() {
        dialog->show();
        QApplication::processEvents();
    }
    ParamPositions Red() const { return PositionsOf(theChannelParams[kRed]); }
    void KeyUndo() { QTest::keyClick(dialog.get(), Qt::Key_Z, Qt::ControlModifier); }

    QTemporaryDir dir;
};

TEST_F(Undo, ARunOfKeyPressesIsOneStepEndedByThePause) {
    QSlider* black = Slider(IDC_SLIDER_BLACK);
    black->setFocus();
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(black, Qt::Key_Right);
    }
    EXPECT_EQ(Red().black, 3);
    QTest::qWait(1000); // longer than the pause that ends a run
    QTest::keyClick(black, Qt::Key_Right);
    KeyUndo(); // from the slider: Ctrl+Z reaches the dialog
    EXPECT_EQ(Red().black, 3);
    EXPECT_EQ(SliderPositions().black, 3);
    KeyUndo();
    EXPECT_EQ(Red().black, 0);
    QTest::keyClick(dialog.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Red().black, 3);
    QTest::keyClick(dialog.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Red().black, 4);
}

TEST_F(Undo, ADragIsOneStepEndedWhenTheThumbIsLetGo) {
    QSlider* gamma = Slider(IDC_SLIDER_GAMMA);
    gamma->setSliderDown(true);
    for (int v = 190; v >= 170; v -= 5) {
        gamma->setValue(v);
    }
    gamma->setSliderDown(false); // the release
    gamma->setValue(165);        // a separate click beside the thumb
    dialog->OnSysCommand(IDM_UNDO, 0);
    EXPECT_EQ(Red().gamma, 170);
    dialog->OnSysCommand(IDM_UNDO, 0);
    EXPECT_EQ(Red().gamma, 200);
    EXPECT_FALSE(dialog->GetSystemMenu().Find(IDM_UNDO)->enabled);
    EXPECT_TRUE(dialog->GetSystemMenu().Find(IDM_REDO)->enabled);
}

TEST_F(Undo, ResetAndLoadAreStepsAndUndoShowsTheCurrentTabLikeALoad) {
    ParamPositionSet file{};
    file[kGreen] = {50, 220, 10, 160};
    const QString path = dir.filePath("p.tvp");
    ASSERT_EQ(SaveParamFile(path.toStdString(), file), WriteResult::Ok);

    Slider(IDC_SLIDER_WHITE)->setValue(230); // red, closed by the tab switch below
    Tabs()->setCurrentIndex(kGreen);
    ask.QueueFileName(path);
    Button(IDC_LOAD_PARAMS)->click();
    ask.QueueAnswer(Answer::Ok);
    Button(IDC_RESET_PARAMS)->click();
    EXPECT_EQ(SliderPositions(), ParamPositions{});

    dialog->OnUndo(); // the reset
    EXPECT_EQ(SliderPositions(), file[kGreen]);
    EXPECT_EQ(LabelText(IDC_VALUE_GAMMA), " 1.60");
    GammaTable expected{};
    ComputeChannelTable(theChannelParams[kGreen], expected);
    EXPECT_EQ(theGammaTables[kGreen], expected);
    dialog->OnUndo(); // the load
    EXPECT_EQ(PositionsOf(theChannelParams[kRed]).white, 230);
    EXPECT_EQ(SliderPositions(), ParamPositions{});
    dialog->OnUndo(); // the slider move
    EXPECT_EQ(PositionsOf(theChannelParams[kRed]).white, 255);
    dialog->OnRedo();
    dialog->OnRedo();
    dialog->OnRedo();
    EXPECT_EQ(PositionSetOf(theChannelParams),
              PositionSetOf(ChannelParamsSet{kDefaultChannelParams, kDefaultChannelParams,
                                             kDefaultChannelParams}));
}

} // namespace

} // namespace undo_test
