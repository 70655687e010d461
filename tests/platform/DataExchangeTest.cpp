#include "platform/DataExchange.h"
#include "platform/ScriptedAskUser.h"

#include <QDialog>
#include <QSignalSpy>
#include <QSlider>

#include <gtest/gtest.h>

namespace data_exchange_test {

namespace {

constexpr ControlTemplate kControls[] = {
    {5, nullptr, ControlKind::Trackbar, nullptr, style::WS_TABSTOP, 0, 0, 80, 18, "Level"},
};
constexpr DialogTemplate kTemplate = {1, "Exchange", "IPAPGothic", "IPAPGothic",
                                      9, 100,        40,           kControls};

struct Exchange : testing::Test {
    QDialog dialog;
    ControlMap controls = BuildDialog(dialog, kTemplate).controls;
    ScriptedAskUser ask;
    QSlider* slider = controls.ItemAs<QSlider>(5);
    int position = 0;

    bool Run(ExchangeDirection direction, int min = 0, int max = 100) {
        return RunDataExchange(direction, controls, ask, [&](DataExchange& dx) {
            QSlider* bound = nullptr;
            dx.Bind(5, bound);
            EXPECT_EQ(bound, slider);
            dx.Slider(5, position);
            dx.MinMax(position, min, max);
        });
    }
};

TEST_F(Exchange, LoadMovesTheSliderWithoutAChangeNotification) {
    QSignalSpy changes(slider, &QSlider::valueChanged);
    position = 42;
    EXPECT_TRUE(Run(ExchangeDirection::Load));
    EXPECT_EQ(slider->value(), 42);
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(Exchange, SaveReadsThePosition) {
    slider->setValue(17);
    EXPECT_TRUE(Run(ExchangeDirection::Save));
    EXPECT_EQ(position, 17);
    EXPECT_TRUE(ask.Messages().empty());
}

TEST_F(Exchange, SaveChecksTheRangeInclusively) {
    slider->setRange(0, 300);
    const struct {
        int value;
        bool passes;
    } cases[] = {{10, true}, {50, true}, {9, false}, {51, false}};
    for (const auto& c : cases) {
        ask.Clear();
        slider->setValue(c.value);
        EXPECT_EQ(Run(ExchangeDirection::Save, 10, 50), c.passes) << c.value;
        EXPECT_EQ(ask.Messages().size(), c.passes ? 0u : 1u) << c.value;
    }
    EXPECT_EQ(ask.MessageTexts().constFirst(), RangeMessage(10, 50));
}

TEST_F(Exchange, LoadNeverValidates) {
    position = 500;
    EXPECT_TRUE(Run(ExchangeDirection::Load, 0, 10));
    EXPECT_TRUE(ask.Messages().empty());
}

} // namespace

}  // namespace data_exchange_test
