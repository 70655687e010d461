// Keys a keyboard user relies on: channel switching from anywhere, the menu
// key pair, the trackbar's own slider keys; and what screen readers hear.
#include "DialogFixture.h"
#include "ui/CMyGraph.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QtTest/QTest>

namespace keyboard_test {

namespace {

using Keyboard = DialogTest;

TEST_F(Keyboard, ControlTabAndControlPageKeysSwitchChannelFromAnyControl) {
    const struct {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int expected; // from red
    } cases[] = {
        {"Ctrl+Tab", Qt::Key_Tab, Qt::ControlModifier, kGreen},
        {"Ctrl+Shift+Tab", Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, kBlue},
        {"Ctrl+PageDown", Qt::Key_PageDown, Qt::ControlModifier, kGreen},
        {"Ctrl+PageUp", Qt::Key_PageUp, Qt::ControlModifier, kBlue},
    };
    QWidget* holders[] = {Slider(IDC_SLIDER_ALPHA), Button(IDC_APPLY), Button(IDOK)};
    theChannelParams[kGreen].AlphaPos = 150;
    for (const auto& c : cases) {
        for (QWidget* holder : holders) {
            Tabs()->setCurrentIndex(kRed);
            holder->setFocus();
            QTest::keyClick(holder, c.key, c.modifiers);
            EXPECT_EQ(Tabs()->currentIndex(), c.expected)
                << c.what << " with the focus on " << holder->objectName().toStdString();
        }
    }
    Tabs()->setCurrentIndex(kBlue);
    QTest::keyClick(Button(IDOK), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(Tabs()->currentIndex(), kRed) << "wraps round after blue";
    Tabs()->setCurrentIndex(kRed);
    QTest::keyClick(Button(IDOK), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(LabelText(IDC_VALUE_ALPHA), " 1.150") << "the new channel's values are shown";
}

TEST_F(Keyboard, SliderKeysMoveAsTheTrackbarDidAndEachMoveUpdatesTheChannel) {
    const struct {
        Qt::Key key;
        int expected; // from Alpha 100 in 0..200, a page being 40
    } cases[] = {
        {Qt::Key_Left, 99},   {Qt::Key_Up, 99},        {Qt::Key_Right, 101}, {Qt::Key_Down, 101},
        {Qt::Key_PageUp, 60}, {Qt::Key_PageDown, 140}, {Qt::Key_Home, 0},    {Qt::Key_End, 200},
    };
    QSlider* alpha = Slider(IDC_SLIDER_ALPHA);
    alpha->setFocus();
    for (const auto& c : cases) {
        alpha->setValue(100);
        QTest::keyClick(alpha, c.key);
        EXPECT_EQ(alpha->value(), c.expected) << QKeySequence(c.key).toString().toStdString();
        EXPECT_EQ(theChannelParams[kRed].AlphaPos, c.expected) << "the move reached OnHScroll";
    }
}

// Runs `whileOpen` on the popup menu the next event shows, then closes it.
bool MenuOpensFor(QWidget* target, QEvent* event) {
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            opened = true;
            menu->close();
        }
    });
    QApplication::sendEvent(target, event);
    return opened;
}

TEST_F(Keyboard, ShiftF10AndTheMenuKeyOpenTheMenuWhereverTheFocusIs) {
    QSlider* black = Slider(IDC_SLIDER_BLACK);
    black->setFocus();
    QKeyEvent shiftF10(QEvent::KeyPress, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(MenuOpensFor(black, &shiftF10));
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2), QPoint(2, 2));
    EXPECT_TRUE(MenuOpensFor(black, &menuKey));
}

TEST_F(Keyboard, ARightClickOpensTheMenuOnlyOverTheBackgroundAndTheTwoAreas) {
    const auto at = [](QWidget* w) { return w->geometry().center(); };
    const struct {
        const char* where;
        QPoint point;
        bool opens;
    } cases[] = {
        {"background", QPoint(2, 2), true},
        {"graph area", at(dialog->GraphArea), true},
        {"image area", at(dialog->ImageArea), true},
        {"a button", at(Button(IDC_APPLY)), false},
        {"a slider", at(Slider(IDC_SLIDER_GAMMA)), false},
        {"the tabs", at(Tabs()), false},
    };
    for (const auto& c : cases) {
        QContextMenuEvent click(QContextMenuEvent::Mouse, c.point, dialog->mapToGlobal(c.point));
        EXPECT_EQ(MenuOpensFor(dialog.get(), &click), c.opens) << c.where;
    }
}

using ScreenReader = DialogTest;

QString SpokenName(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

TEST_F(ScreenReader, ValueLabelsAndSlidersSpeakTheShownValue) {
    EXPECT_EQ(SpokenName(dialog->Controls().Item(IDC_VALUE_ALPHA)), "Alpha 1.099");
    EXPECT_EQ(SpokenName(dialog->Controls().Item(IDC_VALUE_GAMMA)), "Gamma 2.00");
    QSlider* black = Slider(IDC_SLIDER_BLACK);
    black->setValue(37);
    EXPECT_EQ(SpokenName(dialog->Controls().Item(IDC_VALUE_BLACK)), "Black 3.7");
    QAccessibleInterface* slider = QAccessible::queryAccessibleInterface(black);
    EXPECT_EQ(slider->text(QAccessible::Name), "Black");
    EXPECT_EQ(slider->text(QAccessible::Value), "3.7");
    EXPECT_EQ(slider->role(), QAccessible::Slider);
    ASSERT_NE(slider->valueInterface(), nullptr);
    EXPECT_EQ(slider->valueInterface()->currentValue().toInt(), 37);
}

} // namespace

}  // namespace keyboard_test
