// The selection tool over the real window's image area: its shapes, in image
// pixels, are drawn where the zoomed and panned picture shows those pixels,
// a drag on them goes through the dialog's own mouse route and moves them
// by the pointer's travel in image pixels, and a press beside them still pans.
#include "DialogFixture.h"

#include "image/preview/PreviewState.h"
#include "image/preview/PreviewZoom.h"
#include "tests/image/BmpWriter.h"
#include "ui/CMyGraph.h"
#include "ui/SelectionOverlay.h"

#include <QApplication>
#include <QTemporaryDir>

namespace image_overlay_test {

namespace {

class ImageOverlayTest : public DialogTest {
protected:
    ImageOverlayTest() {
        dialog->show();
        QApplication::processEvents();
        const QString path = dir.filePath("large.bmp");
        bmptest::WriteFile(path.toStdString(),
                           bmptest::EncodeBmp(bmptest::Gradient(1600, 1200), {}));
        ask.QueueFileName(path);
        Button(IDC_OPEN_IMAGE)->click();
        overlay = std::make_unique<SelectionOverlay>(dialog->ImageArea);
        overlay->SetShape(0, Shape::Rectangle({100, 100, 900, 700}));
        AttachImageOverlay(overlay.get());
    }
    ~ImageOverlayTest() override { AttachImageOverlay(nullptr); }

    // A point of the image area's client (device pixels at scale 1) in the dialog.
    QPoint InDialog(PointF client) const {
        const QWidget* area = dialog->ImageArea;
        return area->mapTo(dialog.get(), area->contentsRect().topLeft()) +
               QPoint(static_cast<int>(client.x), static_cast<int>(client.y));
    }

    QTemporaryDir dir;
    std::unique_ptr<SelectionOverlay> overlay;
};

TEST_F(ImageOverlayTest, ShapesFollowTheZoomAndAreDraggedInImagePixels) {
    dialog->OnZoomToFit();
    const ViewMapping mapping = overlay->Mapping();
    ASSERT_EQ(mapping, PreviewMapping(thePreviewState));
    ASSERT_LT(mapping.scale, 1);
    // Drawn over the fitted picture where it shows image pixel (900, 400).
    const PointF edge = mapping.ToView({900, 400});
    QApplication::processEvents();
    const QImage shown =
        dialog->ImageArea->grab().toImage().copy(dialog->ImageArea->contentsRect());
    EXPECT_EQ(shown.pixel(static_cast<int>(std::lround(edge.x)) - 1,
                          static_cast<int>(std::lround(edge.y))),
              ShapeStyle{}.frame.rgb());
    // The right edge dragged 40 pixels: 40 / zoom image pixels, and no pan.
    const std::int32_t panX = thePreviewState.PreviewX;
    const QPoint from = InDialog(edge);
    dialog->OnLButtonDown(from);
    EXPECT_EQ(dialog->Dragging, 0);
    dialog->OnMouseMove(from + QPoint(40, 0));
    dialog->OnLButtonUp(from + QPoint(40, 0));
    EXPECT_NEAR(overlay->Tool().Shapes()[0].rect.right, 900 + 40 / mapping.scale,
                1 / mapping.scale);
    EXPECT_EQ(thePreviewState.PreviewX, panX);
    // At 1:1 the picture is larger than the area: a press beside the shape pans.
    dialog->OnZoomActual();
    EXPECT_EQ(overlay->Mapping(), PreviewMapping(thePreviewState));
    const QPoint beside = InDialog(overlay->Mapping().ToView({800, 800}));
    dialog->OnLButtonDown(beside);
    EXPECT_EQ(dialog->Dragging, 1);
    dialog->OnMouseMove(beside + QPoint(-30, 0));
    dialog->OnLButtonUp(beside + QPoint(-30, 0));
    EXPECT_EQ(overlay->Mapping(), PreviewMapping(thePreviewState)) << "the pan is followed";
}

} // namespace

} // namespace image_overlay_test
