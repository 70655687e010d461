// Template rows -> Qt widgets: kinds, styles, geometry, names, mouse transparency.
#include "platform/DialogBuilder.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTabBar>

namespace {

constexpr int kStaticEdgeWidth = 1;

bool Has(const ControlTemplate& c, std::uint32_t flag) {
    return (c.styles & flag) != 0;
}

QString Caption(const ControlTemplate& c) {
    return c.caption ? QString::fromUtf8(c.caption) : QString();
}

Qt::Alignment StaticAlignment(const ControlTemplate& c) {
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (Has(c, style::SS_RIGHT)) {
        horizontal = Qt::AlignRight;
    } else if (Has(c, style::SS_CENTER)) {
        horizontal = Qt::AlignHCenter;
    }
    return horizontal | (Has(c, style::SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop);
}

QWidget* MakeStatic(const ControlTemplate& c, QWidget* parent) {
    if (Has(c, style::SS_GRAYFRAME)) {
        auto* frame = new QFrame(parent);
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        frame->setForegroundRole(QPalette::Mid);
        return frame;
    }
    if (Has(c, style::SS_WHITERECT) || Has(c, style::SS_BLACKRECT)) {
        return new QFrame(parent);
    }
    auto* label = new QLabel(parent);
    if (Has(c, style::SS_ICON)) {
        const int side = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
        label->setPixmap(QApplication::windowIcon().pixmap(side, side));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    label->setText(Caption(c));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(StaticAlignment(c));
    return label;
}

QWidget* MakeDefault(const ControlTemplate& c, QWidget* parent) {
    switch (c.kind) {
    case ControlKind::Button: {
        auto* button = new QPushButton(Caption(c), parent);
        button->setDefault(Has(c, style::BS_DEFPUSHBUTTON));
        return button;
    }
    case ControlKind::Trackbar:
        return new QSlider(Qt::Horizontal, parent);
    case ControlKind::TabControl: {
        auto* tabs = new QTabBar(parent);
        tabs->setExpanding(false);
        tabs->setDrawBase(false);
        return tabs;
    }
    case ControlKind::Static:
    case ControlKind::PaintArea:
        return MakeStatic(c, parent);
    }
    return nullptr;
}

void ApplyEdge(const ControlTemplate& c, QWidget* widget) {
    auto* frame = qobject_cast<QFrame*>(widget);
    if (!frame) {
        return;
    }
    if (Has(c, style::WS_EX_CLIENTEDGE)) {
        frame->setFrameStyle(QFrame::WinPanel | QFrame::Sunken); // always 2 pixels
    } else if (Has(c, style::WS_EX_STATICEDGE)) {
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setLineWidth(kStaticEdgeWidth);
    }
}

// A trackbar's styles, whichever slider class the owner made for it.
void ApplyTicks(const ControlTemplate& c, QWidget* widget) {
    if (auto* slider = qobject_cast<QSlider*>(widget)) {
        slider->setTickPosition(Has(c, style::TBS_NOTICKS) ? QSlider::NoTicks
                                                           : QSlider::TicksBothSides);
    }
}

void ApplyBehaviour(const ControlTemplate& c, QWidget* widget) {
    const bool isStatic = c.kind == ControlKind::Static || c.kind == ControlKind::PaintArea;
    if (isStatic) {
        // Statics take no mouse input: the pointer over them reaches the dialog.
        widget->setAttribute(Qt::WA_TransparentForMouseEvents);
        widget->setFocusPolicy(Qt::NoFocus);
    } else if (!Has(c, style::WS_TABSTOP)) {
        widget->setFocusPolicy(Qt::ClickFocus);
    }
    if (c.symbol) {
        widget->setObjectName(QString::fromLatin1(c.symbol));
    }
    const char* name = c.accessibleName ? c.accessibleName : c.caption;
    if (name) {
        widget->setAccessibleName(QString::fromUtf8(name).remove(QLatin1Char('&')));
    }
}

} // namespace

void ControlMap::Add(int id, QWidget* widget) {
    ordered_.push_back(widget);
    if (id != kNoControlId) {
        byId_[id] = widget;
    }
}

QWidget* ControlMap::Item(int id) const {
    const auto found = byId_.find(id);
    return found == byId_.end() ? nullptr : found->second;
}

QFont DialogFont(const DialogTemplate& t) {
    QFont font;
    font.setFamilies({QString::fromUtf8(t.fontFace), QString::fromUtf8(t.fallbackFontFace)});
    font.setPointSize(t.pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

BuiltDialog BuildDialog(QDialog& dialog, const DialogTemplate& t, const WidgetFactory& factory) {
    dialog.setFont(DialogFont(t));
    dialog.setWindowTitle(QString::fromUtf8(t.caption));
    const BaseUnits base = MeasureBaseUnits(dialog.font());
    dialog.setFixedSize(DialogUnitsToPixelsX(t.cx, base), DialogUnitsToPixelsY(t.cy, base));

    BuiltDialog built{{}, base};
    for (const ControlTemplate& c : t.controls) {
        QWidget* widget = factory ? factory(c, &dialog) : nullptr;
        if (!widget) {
            widget = MakeDefault(c, &dialog);
        }
        widget->setGeometry(DialogUnitsToPixels(c.x, c.y, c.cx, c.cy, base));
        ApplyEdge(c, widget);
        ApplyTicks(c, widget);
        ApplyBehaviour(c, widget);
        built.controls.Add(c.id, widget);
    }
    return built;
}
