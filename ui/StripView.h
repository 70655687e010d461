// One strip of a roll in the roll dialog: the picture of its map fitted
// into the view over the strip's own pixels, and each frame a rectangle of
// the on-image selection tool (ui/SelectionOverlay.h): its edges and
// corners dragged, moved whole by a drag with Ctrl, a new frame drawn by a
// drag; a click on a frame chooses it, drawn in a colour of its own.
#pragma once

#include "image/rows/PixelRect.h"
#include "ui/FittedPictureView.h"

#include <functional>
#include <optional>
#include <vector>

class StripView : public FittedPictureView {
public:
    explicit StripView(QWidget* parent);

    // The picture (any size, stretched over the strip) and the strip's
    // pixels, which the frames are in and stay inside.
    void SetStrip(const QImage& picture, std::int32_t width, std::int32_t height);
    void SetFrames(const std::vector<PixelRect>& frames);
    std::vector<PixelRect> Frames() const;
    // The frame drawn as chosen; none: every frame alike.
    void Choose(std::optional<std::size_t> frame);
    QSize sizeHint() const override;

    // A frame was moved, resized or drawn anew: Frames() is what the user left.
    std::function<void()> FramesEdited;
    // A click (no drag) on frame i.
    std::function<void(std::size_t)> FrameClicked;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void StyleFrames();

    std::vector<PixelRect> frames_; // as last set: a click draws nothing
    std::optional<std::size_t> chosen_;
    QPointF pressedAt_;
};
