// The bed's millimetres are the selection tool's units, so the area it
// gives is the scan area as it is.
#include "ui/ScanAreaView.h"

#include <QMouseEvent>

namespace {

constexpr int kPreferredWidth = 340; // an A4 bed at about 1.5 pixels a millimetre
constexpr int kPreferredHeight = 440;
constexpr int kMinimumWidth = 300;
constexpr int kMinimumHeight = 360;
constexpr std::size_t kAreaShape = 0;
const QColor kBedColour(0xE8, 0xE8, 0xE8);

RectF RectOfArea(const ScanArea& area) {
    return {area.left, area.top, area.right, area.bottom};
}

} // namespace

ScanAreaView::ScanAreaView(QWidget* parent)
    : FittedPictureView(parent, {QPalette::Window, kBedColour, Qt::CrossCursor}) {
    setObjectName(QStringLiteral("scanArea"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setToolTip(QStringLiteral("ドラッグで読み取り範囲を描きます（範囲の内側からでも）。\n"
                              "縁や角をドラッグすると大きさが変わり、\n"
                              "Ctrl を押しながら内側をドラッグすると範囲が動きます。\n"
                              "ダブルクリックで全体に戻ります。"));
    overlay_.SetStyle(kAreaShape, {ShapeStyle{}.frame, true});
    overlay_.Tool().SetDrawTarget(kAreaShape);
    overlay_.Changed = [this](std::size_t) {
        if (AreaChanged) {
            AreaChanged(Area());
        }
    };
}

QSize ScanAreaView::sizeHint() const {
    return {kPreferredWidth, kPreferredHeight};
}

void ScanAreaView::SetBed(std::optional<ScanArea> bed) {
    bed_ = bed;
    overlay_.Tool().SetShapes({});
    ShowBounds(bed ? std::optional<RectF>(RectOfArea(*bed)) : std::nullopt);
}

void ScanAreaView::SetPreview(const QImage& preview) {
    ShowPicture(preview);
}

void ScanAreaView::SetArea(const ScanArea& area) {
    if (bed_) {
        overlay_.SetShape(kAreaShape, Shape::Rectangle(RectOfArea(area)));
    }
}

ScanArea ScanAreaView::Area() const {
    const auto& shapes = overlay_.Tool().Shapes();
    if (shapes.empty()) {
        return bed_.value_or(ScanArea{});
    }
    const RectF& r = shapes[kAreaShape].rect;
    return {r.left, r.top, r.right, r.bottom};
}

void ScanAreaView::mouseDoubleClickEvent(QMouseEvent* event) {
    overlay_.Tool().Abandon();
    if (bed_ && event->button() == Qt::LeftButton && WholeBedAsked) {
        WholeBedAsked();
    }
}
