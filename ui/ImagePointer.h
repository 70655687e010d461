// The pointer over the image area and the view it moves: the hand cursor,
// the red, green and blue values of the displayed pixel (the image's own,
// at any zoom; a 16-bit picture's 16-bit levels), panning a large preview by dragging, the whole
// image, 1:1 or √2-steps about the pointer (Ctrl+wheel), and the selection tool's shapes where one
// is attached (a press it takes does not pan). Points are the dialog's, in device pixels.
#pragma once

#include "image/preview/Readout.h"

#include <QCursor>
#include <QPoint>

#include <array>
#include <cstdint>
#include <optional>

class CMyGraph;
class QLabel;
class QWidget;

class ImagePointer {
public:
    // A pan in progress, kept in the dialog's own members: 1 while the
    // left button is held over the image, and where the pointer last was on
    // the screen.
    struct Pan {
        int& dragging;
        std::int32_t& lastX;
        std::int32_t& lastY;
    };
    struct Cursors {
        QCursor arrow; // beside the image area
        QCursor hand;  // over it
    };

    // `readout` holds the red, green and blue labels.
    ImagePointer(QWidget* dialog, CMyGraph* area, std::array<QLabel*, 3> readout, Pan pan,
                 Cursors cursors)
        : dialog_(dialog), area_(area), readout_(readout), pan_(pan), cursors_(cursors) {}

    void Press(QPoint point, Qt::KeyboardModifiers keys);
    void Release(QPoint point);
    void Move(QPoint point);
    void Leave();
    // A Ctrl+wheel turn: true when it was over the image area (and taken).
    bool Wheel(QPoint point, int angleDelta);

    // The shown image under a pointer at rest is read now, not at the
    // pointer's next move; where the pointer is not over the dialog, the
    // readout empties.
    void Refresh();
    // The same where the pointer was last seen over the dialog.
    void ReadAgain();

    void ZoomToFit();
    void ZoomActual();
    // `steps` √2-steps nearer about a point of the area's client.
    void ZoomAt(int steps, QPoint client);

private:
    // The view moved (zoom, pan): repaint, the selection tool follows, the readout reads anew.
    void ViewMoved();
    // A pan step to the screen point `p` while the button is held; true when it moved the view.
    bool PanTo(QPoint p);
    void ShowReadout(const std::optional<PixelLevels>& levels);

    QWidget* dialog_;
    CMyGraph* area_;
    std::array<QLabel*, 3> readout_;
    Pan pan_;
    Cursors cursors_;
    std::optional<QPoint> last_; // where the pointer last moved over the dialog
    int wheelDelta_ = 0;         // a wheel's eighths of a degree not yet a zoom step
};
