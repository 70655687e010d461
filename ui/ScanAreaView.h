// The scan dialog's picture of the bed: the preview scan fitted into the
// view, and the scan area as a rectangle that is drawn by a drag, whose
// edges, corners and inside can be dragged, and that a double click returns
// to the whole bed. The arithmetic is the core's (scan/AreaOnPreview.h).
#pragma once

#include "scan/AreaOnPreview.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>
#include <optional>

class ScanAreaView : public QWidget {
public:
    explicit ScanAreaView(QWidget* parent);

    // The bed's size; none: the device has no area to choose (nothing drawn).
    void SetBed(std::optional<BedArea> bed);
    // The preview of the whole bed, or a null image for none.
    void SetPreview(const QImage& preview);
    void SetArea(const BedArea& area);
    const BedArea& Area() const { return area_; }
    QSize sizeHint() const override;

    // Called with each new area while it is dragged and when it is reset.
    std::function<void(const BedArea&)> AreaChanged;
    // Called when a double click asks for the whole bed.
    std::function<void()> WholeBedAsked;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    PreviewFit Fit() const;
    QRect AreaRect(const BedArea& area) const;
    ViewPoint MmAt(QPointF at) const;
    void Drag(QPointF at);
    // Repaints only the old and the new rectangle with their handles.
    void MoveArea(const BedArea& area);
    void UpdateCursor(QPointF at);

    std::optional<BedArea> bed_;
    QImage preview_;
    QPixmap fitted_; // the preview scaled to the view, made once per size
    BedArea area_;
    unsigned grip_ = kGripNone;
    ViewPoint pressMm_;
    BedArea pressArea_;
    BedArea beforePress_;  // restored when a press outside draws nothing
    bool drawing_ = false; // the drag draws a new rectangle
};
