#include "platform/DialogBuilder.h"

#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <gtest/gtest.h>

namespace dialog_builder_test {

namespace {

using namespace style;

constexpr ControlTemplate kControls[] = {
    {1, nullptr, ControlKind::Button, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 20, 50, 14, nullptr},
    {kNoControlId, nullptr, ControlKind::Static, "Label", SS_RIGHT, 4, 4, 40, 8, nullptr},
    {7, "IDC_SLIDER", ControlKind::Trackbar, nullptr, TBS_NOTICKS | WS_TABSTOP, 4, 40, 80, 18,
     "Level"},
    {8, "IDC_AREA", ControlKind::PaintArea, nullptr, WS_EX_CLIENTEDGE, 90, 4, 40, 40, "Area"},
};

constexpr DialogTemplate kTemplate = {42, "Test",   "No Such Font Face", "IPAPGothic", 9, 140,
                                      70, kControls};

TEST(DialogUnits, ConvertWithBaseUnitsRoundingHalfAway) {
    const BaseUnits base{7, 13};
    EXPECT_EQ(DialogUnitsToPixelsX(492, base), 861);
    EXPECT_EQ(DialogUnitsToPixelsY(366, base), 595); // 594.75
    EXPECT_EQ(DialogUnitsToPixelsX(2, base), 4);     // 3.5 rounds up
    EXPECT_EQ(DialogUnitsToPixelsY(4, base), 7);     // 6.5 rounds up
    EXPECT_EQ(DialogUnitsToPixels(8, 12, 162, 184, base), QRect(14, 20, 284, 299));
    // Touching in dialog units means touching in pixels, whatever the rounding.
    const QRect tab = DialogUnitsToPixels(8, 212, 206, 14, base);
    const QRect frame = DialogUnitsToPixels(8, 226, 206, 100, base);
    EXPECT_EQ(tab.bottom() + 1, frame.top());
}

TEST(DialogUnits, BaseUnitsFollowTheFont) {
    QFont small("IPAPGothic");
    small.setPointSize(9);
    QFont large = small;
    large.setPointSize(18);
    const BaseUnits a = MeasureBaseUnits(small);
    const BaseUnits b = MeasureBaseUnits(large);
    EXPECT_GT(a.x, 0);
    EXPECT_EQ(a.y, QFontMetrics(small).height());
    EXPECT_GT(b.x, a.x);
    EXPECT_GT(b.y, a.y);
}

TEST(DialogBuilder, BuildsEveryControlInTemplateOrderWithItsGeometry) {
    QDialog dialog;
    const BuiltDialog built = BuildDialog(dialog, kTemplate);
    const auto& all = built.controls.InTemplateOrder();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(dialog.windowTitle(), "Test");
    EXPECT_EQ(dialog.size(), QSize(DialogUnitsToPixelsX(140, built.baseUnits),
                                   DialogUnitsToPixelsY(70, built.baseUnits)));
    EXPECT_EQ(all[0]->geometry(), DialogUnitsToPixels(10, 20, 50, 14, built.baseUnits));
    EXPECT_EQ(all[0]->x(), DialogUnitsToPixelsX(10, built.baseUnits));
    EXPECT_TRUE(built.controls.ItemAs<QPushButton>(1)->isDefault());
    EXPECT_EQ(built.controls.Item(kNoControlId), nullptr);
    EXPECT_EQ(built.controls.ItemAs<QSlider>(7)->objectName(), "IDC_SLIDER");
    EXPECT_EQ(built.controls.ItemAs<QSlider>(7)->tickPosition(), QSlider::NoTicks);
    EXPECT_EQ(built.controls.Item(99), nullptr);
}

TEST(DialogBuilder, FallsBackToTheSecondFontFace) {
    QDialog dialog;
    BuildDialog(dialog, kTemplate);
    EXPECT_EQ(QFontInfo(dialog.font()).family(), "IPAPGothic");
}

TEST(DialogBuilder, StaticsLetTheMouseThroughAndTakeNoFocus) {
    QDialog dialog;
    const BuiltDialog built = BuildDialog(dialog, kTemplate);
    const auto& all = built.controls.InTemplateOrder();
    EXPECT_FALSE(all[0]->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(all[1]->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(all[3]->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(all[1]->focusPolicy(), Qt::NoFocus);
    EXPECT_NE(all[2]->focusPolicy() & Qt::TabFocus, 0);
}

TEST(DialogBuilder, LabelsAlignAndEdgesSinkAsTheirStylesSay) {
    QDialog dialog;
    const BuiltDialog built = BuildDialog(dialog, kTemplate);
    const auto* label = qobject_cast<QLabel*>(built.controls.InTemplateOrder()[1]);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Label");
    EXPECT_TRUE(label->alignment() & Qt::AlignRight);
    const auto* area = built.controls.ItemAs<QFrame>(8);
    EXPECT_EQ(area->frameWidth(), 2);
    EXPECT_EQ(area->contentsRect().width(), area->width() - 4);
}

TEST(DialogBuilder, FactoryMakesTheControlsItKnows) {
    QDialog dialog;
    QWidget* made = nullptr;
    const BuiltDialog built =
        BuildDialog(dialog, kTemplate, [&](const ControlTemplate& c, QWidget* parent) -> QWidget* {
            if (c.kind != ControlKind::PaintArea) {
                return nullptr;
            }
            made = new QFrame(parent);
            return made;
        });
    EXPECT_EQ(built.controls.Item(8), made);
    EXPECT_EQ(made->accessibleName(), "Area");
}

} // namespace

}  // namespace dialog_builder_test
