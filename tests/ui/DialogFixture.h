// A real main dialog on the offscreen platform, with scripted answers and the
// process-wide store, tables and preview reset around every test.
#pragma once

#include "platform/ScriptedAskUser.h"
#include "res/Resource.h"
#include "ui/HistogramView.h"
#include "ui/ImageView.h"
#include "ui/TamrelDlg.h"
#include "ui/WindowChannels.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>

#include <gtest/gtest.h>

#include <memory>

inline void ResetProcessState() {
    ReleasePreview();
    ShowImageBeforeTables(false);
    theHistogramView = {};
    theChannelParams = {kDefaultChannelParams, kDefaultChannelParams, kDefaultChannelParams};
    theGammaTables = {};
}

class DialogTest : public testing::Test {
protected:
    DialogTest() {
        ResetProcessState();
        dialog = std::make_unique<CTamrelDlg>(&ask);
        dialog->Create();
    }
    ~DialogTest() override {
        dialog.reset();
        ResetProcessState();
    }

    QString LabelText(int id) const { return dialog->Controls().ItemAs<QLabel>(id)->text(); }
    QSlider* Slider(int id) const { return dialog->Controls().ItemAs<QSlider>(id); }
    QPushButton* Button(int id) const { return dialog->Controls().ItemAs<QPushButton>(id); }
    QTabBar* Tabs() const { return dialog->ChannelTab; }
    QStringList ValueLabels() const {
        return {LabelText(IDC_VALUE_BLACK), LabelText(IDC_VALUE_WHITE), LabelText(IDC_VALUE_ALPHA),
                LabelText(IDC_VALUE_GAMMA)};
    }
    ParamPositions SliderPositions() const {
        return {Slider(IDC_SLIDER_BLACK)->value(), Slider(IDC_SLIDER_WHITE)->value(),
                Slider(IDC_SLIDER_ALPHA)->value(), Slider(IDC_SLIDER_GAMMA)->value()};
    }
    static GammaTable DefaultTable() {
        GammaTable t{};
        ComputeChannelTable(kDefaultChannelParams, t);
        return t;
    }

    ScriptedAskUser ask;
    std::unique_ptr<CTamrelDlg> dialog;
};
