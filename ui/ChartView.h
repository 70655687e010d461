// The calibration dialog's picture of the chart scan: the scan fitted into
// the view, the grid's four corners as a quadrilateral of the on-image
// selection tool (ui/SelectionOverlay.h), dragged corner by corner or moved
// whole, and every sampled patch as a mark in the colour of its result.
#pragma once

#include "measure/ChartPicture.h"
#include "ui/SelectionOverlay.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>

class ChartView : public QWidget {
public:
    explicit ChartView(QWidget* parent);

    // The scan as shown (the start-up curve's picture of it); the corners
    // and marks stay inside it.
    void SetPicture(const QImage& picture);
    void SetCorners(const ChartCorners& corners);
    ChartCorners Corners() const;
    // Replaces the marks of the sampled patches.
    void SetMarks(const std::vector<MarkedPatch>& marks);
    QSize sizeHint() const override;

    // Each new place of the corners while they are dragged.
    std::function<void(const ChartCorners&)> CornersChanged;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Fit();
    QRect PictureRect() const;

    QImage picture_;
    QPixmap fitted_; // the picture scaled to the view, made once per size
    SelectionOverlay overlay_{this};
};
