// The sliders, value labels and channel tabs: moving a slider stores the
// current channel and recomputes its table at once; the tabs choose the channel.
#include "platform/AskUser.h"
#include "res/Resource.h"
#include "ui/CMyGraph.h"
#include "ui/SliderAccessible.h"
#include "ui/TamrelDlg.h"

#include <QLabel>
#include <QSlider>
#include <QTabBar>

namespace {

constexpr int kValueLabelIds[kParamCount] = {IDC_VALUE_BLACK, IDC_VALUE_WHITE, IDC_VALUE_ALPHA,
                                             IDC_VALUE_GAMMA};

} // namespace

void CTamrelDlg::ShowValueLabels(const ChannelParams& values) {
    for (std::size_t i = 0; i < kParamCount; ++i) {
        const Param p = kAllParams[i];
        const QString text = QString::fromLatin1(FormatValue(p, ValueOf(values, p)));
        // A screen reader hears the value with the label's name: "Alpha 1.099".
        SetTextIfChanged(Label(kValueLabelIds[i]), text,
                         QString::fromLatin1(SpecOf(p).name) + u' ' + text.trimmed());
        SetSpokenValue(Slider(p), text);
    }
}

void CTamrelDlg::MoveSliders(const ParamPositions& positions) {
    SliderPositions = positions;
    UpdateData(false);
}

void CTamrelDlg::UpdateChannelFromControls() {
    if (!UpdateData(true)) {
        return;
    }
    const ParamPositions positions = SliderPositions;
    ShowValueLabels(MakeChannelParams(positions));
    const int channel = ChannelTab->currentIndex();
    if (channel < 0) {
        return;
    }
    theChannelParams[channel] = MakeChannelParams(positions, theChannelParams[channel].Film);
    ComputeChannelTable(theChannelParams[channel], theGammaTables[channel]);
    GraphArea->update();
}

void CTamrelDlg::ShowChannelParams() {
    const int channel = ChannelTab->currentIndex();
    if (channel < 0) {
        return;
    }
    MoveSliders(PositionsOf(theChannelParams[channel]));
    ShowValueLabels(theChannelParams[channel]);
}

void CTamrelDlg::OnHScroll(ScrollCode code, int, QSlider*) {
    UpdateChannelFromControls();
    if (code == ScrollCode::EndScroll) {
        CloseStep();
    } else {
        ContinueStep();
    }
}

void CTamrelDlg::OnSelchangeChannelTab() {
    CloseStep(); // the move on the previous channel is done
    const int channel = ChannelTab->currentIndex();
    if (channel < 0) {
        return;
    }
    MoveSliders(PositionsOf(theChannelParams[channel]));
    UpdateChannelFromControls();
}

void CTamrelDlg::OnResetParams() {
    if (Ask().ShowMessage(QStringLiteral("全てのパラメータをリセットします。"),
                          MessageButtons::OkCancel, MessageIcon::Question) != Answer::Ok) {
        return;
    }
    CloseStep();
    ResetToDefaults(theChannelParams, theGammaTables);
    GraphArea->update();
    ShowChannelParams();
    CloseStep();
}
