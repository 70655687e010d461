// The scan dialog's picture of the bed: the preview scan fitted into the
// view, and the scan area as a rectangle of the on-image selection tool
// (ui/SelectionOverlay.h): drawn by a drag, even inside the area, its edges
// and corners dragged, moved by a drag with Ctrl, and a double click returns
// it to the whole bed.
#pragma once

#include "scan/ScanArea.h"
#include "ui/FittedPictureView.h"

#include <functional>
#include <optional>

class ScanAreaView : public FittedPictureView {
public:
    explicit ScanAreaView(QWidget* parent);

    // The bed's size; none: the device has no area to choose (nothing drawn).
    void SetBed(std::optional<ScanArea> bed);
    // The preview of the whole bed, or a null image for none.
    void SetPreview(const QImage& preview);
    void SetArea(const ScanArea& area);
    ScanArea Area() const;
    QSize sizeHint() const override;

    // Called with each new area while it is dragged and when it is reset.
    std::function<void(const ScanArea&)> AreaChanged;
    // Called when a double click asks for the whole bed.
    std::function<void()> WholeBedAsked;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::optional<ScanArea> bed_;
};
