// A picture fitted whole into the widget, with the on-image selection tool
// (ui/SelectionOverlay.h) over it and the pointer routed to the tool: the
// ground of the scan dialog's bed (ScanAreaView) and the chart dialog's scan
// (ChartView), which set the shapes and say what their changes mean.
#pragma once

#include "ui/SelectionOverlay.h"

#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

#include <optional>

class FittedPictureView : public QWidget {
public:
    struct Look {
        QPalette::ColorRole ground; // around the picture
        QColor blank;               // the bounds while there is no picture
        Qt::CursorShape freeCursor; // over no shape
    };

    FittedPictureView(QWidget* parent, const Look& look);

protected:
    // Where the shapes stay, in their own units (image pixels, a bed's
    // millimetres), fitted into the widget; none: nothing is shown and the
    // pointer takes nothing. A drag under way is dropped.
    void ShowBounds(const std::optional<RectF>& bounds);
    // Drawn over the bounds, scaled once per view size; a null image leaves
    // them blank.
    void ShowPicture(const QImage& picture);
    bool Shown() const { return shown_; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    SelectionOverlay overlay_{this};

private:
    void Fit();

    Look look_;
    bool shown_ = false;
    QImage picture_;
    QPixmap fitted_; // the picture scaled to the view, made once per size
};
