// The calibration dialog's picture of the chart scan: the scan fitted into
// the view, the grid's four corners as a quadrilateral of the on-image
// selection tool (ui/SelectionOverlay.h), dragged corner by corner or moved
// whole, and every sampled patch as a mark in the colour of its result.
#pragma once

#include "measure/ChartPicture.h"
#include "ui/FittedPictureView.h"

#include <functional>

class ChartView : public FittedPictureView {
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
};
