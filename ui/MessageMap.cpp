// The main dialog's message map: every route from a control or a window event
// to its handler, in one place.
#include "res/Resource.h"
#include "ui/DeviceScale.h"
#include "ui/TamrelDlg.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QWheelEvent>

// Routes from controls, in the order of the message map:
//   system menu -> OnSysCommand (see event()), sliders -> OnHScroll,
//   1012 -> OnSelchangeChannelTab, 1015 -> OnExportTables, 1016 -> OnResetParams,
//   1013 -> OnSaveParams, 1014 -> OnLoadParams, 1018 -> OnOpenImage,
//   window end -> OnDestroy (see done()), 1019 -> OnApply, mouse -> event().
void CTamrelDlg::WireMessageMap() {
    for (int id : kSliderIds) {
        auto* slider = controls_.ItemAs<QSlider>(id);
        // Any user move: drag, arrow and page keys, clicks beside the thumb.
        connect(slider, &QSlider::valueChanged, this,
                [this, slider](int value) { OnHScroll(ScrollCode::Step, value, slider); });
        connect(slider, &QSlider::sliderReleased, this,
                [this, slider] { OnHScroll(ScrollCode::EndScroll, slider->value(), slider); });
    }
    // A run of key presses on a slider ends when the focus leaves it.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (qobject_cast<QSlider*>(old) && old->window() == this) {
            CloseStep();
        }
    });
    connect(controls_.ItemAs<QTabBar>(IDC_CHANNEL_TAB), &QTabBar::currentChanged, this,
            [this] { OnSelchangeChannelTab(); });
    const std::pair<int, void (CTamrelDlg::*)()> buttons[] = {
        {IDC_EXPORT_TABLES, &CTamrelDlg::OnExportTables},
        {IDC_RESET_PARAMS, &CTamrelDlg::OnResetParams},
        {IDC_SAVE_PARAMS, &CTamrelDlg::OnSaveParams},
        {IDC_LOAD_PARAMS, &CTamrelDlg::OnLoadParams},
        {IDC_OPEN_IMAGE, &CTamrelDlg::OnOpenImage},
        {IDC_APPLY, &CTamrelDlg::OnApply},
        {IDOK, &CTamrelDlg::accept},
    };
    for (const auto& [id, handler] : buttons) {
        connect(controls_.ItemAs<QPushButton>(id), &QPushButton::clicked, this,
                [this, run = handler] { (this->*run)(); });
    }
}

// Window events of the dialog itself (mouse positions in device pixels): the system menu (from the
// mouse over the background and the two areas, or from the keyboard anywhere), and the mouse over
// the dialog (the statics let it through to here).
bool CTamrelDlg::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::ContextMenu: {
        const auto* menu = static_cast<QContextMenuEvent*>(e);
        // A click over a button, slider or the tabs is theirs, not the
        // dialog's; the statics let the pointer through, so childAt finds
        // only real controls.
        if (menu->reason() == QContextMenuEvent::Mouse && childAt(menu->pos())) {
            return true;
        }
        RefreshMenu();
        if (const auto command = systemMenu_.Popup(this, menu->globalPos())) {
            OnSysCommand(*command, 0);
        }
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(e);
        if (mouse->button() == Qt::LeftButton) {
            OnLButtonDown(ToDevice(mouse->position(), DeviceScaleOf(this)), mouse->modifiers());
        }
        break;
    }
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(e);
        if ((wheel->modifiers() & Qt::ControlModifier) &&
            OnCtrlWheel(ToDevice(wheel->position(), DeviceScaleOf(this)),
                        wheel->angleDelta().y())) {
            return true;
        }
        break;
    }
    case QEvent::MouseMove:
        OnMouseMove(ToDevice(static_cast<QMouseEvent*>(e)->position(), DeviceScaleOf(this)));
        break;
    case QEvent::Leave:
        OnMouseLeave();
        break;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(e);
        if (mouse->button() == Qt::LeftButton) {
            OnLButtonUp(ToDevice(mouse->position(), DeviceScaleOf(this)));
        }
        break;
    }
    default:
        break;
    }
    return QDialog::event(e);
}
