#include "ui/SliderKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QSlider>

#include <optional>

namespace {

std::optional<QAbstractSlider::SliderAction> ActionOf(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_PageUp:
        return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_PageDown:
        return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_Home:
        return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End:
        return QAbstractSlider::SliderToMaximum;
    default:
        return std::nullopt;
    }
}

} // namespace

void SliderKeys::Attach(QSlider* slider) {
    slider->setPageStep(std::max(1, (slider->maximum() - slider->minimum()) / kPagesPerRange));
    slider->installEventFilter(this);
}

bool SliderKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & Qt::ControlModifier) {
        // Ctrl+PageUp and Ctrl+PageDown switch the channel; the slider must
        // not take them as page moves.
        auto* slider = static_cast<QWidget*>(watched);
        QCoreApplication::sendEvent(slider->window(), key);
        return true;
    }
    if (key->modifiers() & (Qt::AltModifier | Qt::ShiftModifier)) {
        return false; // the menu key pair and mnemonics belong to the dialog
    }
    const auto action = ActionOf(key->key());
    auto* slider = qobject_cast<QSlider*>(watched);
    if (!action || !slider) {
        return false;
    }
    slider->triggerAction(*action);
    return true;
}
