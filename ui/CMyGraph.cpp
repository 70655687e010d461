// Paint-callback control: the frame is drawn by the frame, the client area by
// the owner's function, clipped to the client rectangle.
#include "ui/CMyGraph.h"

#include <QPainter>

CMyGraph::CMyGraph(int id, QWidget* parent) : QFrame(parent), id_(id) {}

CMyGraph::~CMyGraph() = default;

QRect CMyGraph::ClientRect() const {
    return QRect(QPoint(0, 0), contentsRect().size());
}

void CMyGraph::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event); // the sunken edge: the non-client part
    if (!PaintCallback) {
        return;
    }
    QPainter painter(this);
    painter.translate(contentsRect().topLeft());
    const QRect client = ClientRect();
    painter.setClipRect(client);
    PaintCallback(painter, &client, parentWidget(), id_);
}
