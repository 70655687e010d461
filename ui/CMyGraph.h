// A static control that draws nothing of its own: every repaint goes to the
// paint callback its owner installed, with the painter set to client pixels.
#pragma once

#include <QFrame>

class QPainter;

class CMyGraph : public QFrame {
    Q_OBJECT
public:
    // The painter (valid during the call only), the client rectangle (right
    // and bottom exclusive: x + width, y + height), the parent window and the
    // control's ID.
    using PaintCallbackFn = void (*)(QPainter& dc, const QRect* client, QWidget* parent, int id);

    CMyGraph(int id, QWidget* parent);
    ~CMyGraph() override;

    // Set once by the owner after the control is bound; null draws nothing.
    PaintCallbackFn PaintCallback = nullptr;

    int ControlId() const { return id_; }
    // The client rectangle in the control's own client coordinates.
    QRect ClientRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int id_;
};
