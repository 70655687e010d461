// A mouse event sent straight to a widget, as a benchmark's hand.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace benchsupport {

inline void SendMouse(QWidget* view, QEvent::Type type, QPointF at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    QMouseEvent event(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
}

} // namespace benchsupport
