// Paints the image area from the ready preview: grey margins where the image
// is smaller than the area, then one copy of the visible part of the image
// (at 1:1), or that part made from the preview at the zoom (the core's
// ZoomedPreview); the picture is only ever copied here.
#include "ui/ImageView.h"

#include "image/preview/PreviewState.h"
#include "image/preview/PreviewZoom.h"
#include "image/preview/RenderPreview.h"
#include "image/preview/ZoomedPreview.h"
#include "platform/GdiDraw.h"
#include "ui/DeviceScale.h"
#include "ui/QtGeometry.h"
#include "ui/SelectionOverlay.h"
#include "ui/WindowChannels.h"

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QWidget>

namespace {

constexpr std::uint32_t kMarginColour = 0x404040; // dark grey, 0x00BBGGRR

// The loaded image's own levels (and their halved levels), a 16-bit
// picture's tone map of them, and whether the area shows them.
struct BeforeView {
    std::optional<PreviewImage> image;
    std::optional<PreviewPyramid> levels;
    std::optional<WideToneMap> map;
    bool shown = false;
};
BeforeView theBeforeView;

// The preview's halved levels, where the image is larger than the area.
std::optional<PreviewPyramid> thePreviewLevels;

// The visible part at a zoom other than 1:1, as last made: reused while the
// shown image, its pixels and the window stay.
struct ZoomedPart {
    const PreviewImage* source = nullptr;
    std::uint64_t pixelsStamp = 0;
    ZoomWindow window;
    std::optional<PreviewImage> pixels;
};
ZoomedPart theZoomedPart;
std::uint64_t thePixelsStamp = 1; // moves on whenever a preview's pixels change

SelectionOverlay* theImageOverlay = nullptr;

bool LargerThanArea() {
    return FitZoom(thePreviewState) < 1;
}

// The image before the curve: its own levels, or a negative's positive
// through the film stage alone (every level as it is without one).
bool RenderBeforeImageIfMissing() {
    if (!theBeforeView.image && thePreviewState.PreviewBitmap) {
        const KeptImage& picture = thePreviewState.Picture();
        const PictureTables tables = PositiveTables(picture, theChannelParams);
        theBeforeView.map = ToneMapFor(picture, tables);
        theBeforeView.image =
            BuildPicture(picture, tables, theBeforeView.map ? &*theBeforeView.map : nullptr);
        if (theBeforeView.image && LargerThanArea()) {
            theBeforeView.levels = PreviewPyramid::Build(*theBeforeView.image);
        }
    }
    return theBeforeView.image.has_value();
}

const PreviewPyramid* LevelsOf(const PreviewImage* shown) {
    const auto& levels =
        shown == &*thePreviewState.PreviewBitmap ? thePreviewLevels : theBeforeView.levels;
    return levels ? &*levels : nullptr;
}

const PreviewImage* ShownImage() {
    if (!thePreviewState.PreviewBitmap) {
        return nullptr;
    }
    if (theBeforeView.shown && theBeforeView.image) {
        return &*theBeforeView.image;
    }
    return &*thePreviewState.PreviewBitmap;
}

void Fill(QPainter& dc, const Rect& r) {
    FillSolidRect(dc, r.left, r.top, r.right, r.bottom, kMarginColour);
}

// The preview's pixels seen as a QImage, without a copy.
QImage PreviewView(const PreviewImage& preview) {
    return QImage(reinterpret_cast<const uchar*>(preview.Bits()), preview.Width(), preview.Height(),
                  static_cast<qsizetype>(preview.BytesPerLine()), QImage::Format_RGB32);
}

// The part `window` of the shown image at the present zoom; null when its
// memory cannot be had.
const PreviewImage* ZoomedPixels(const PreviewImage& shown, const ZoomWindow& window) {
    ZoomedPart& part = theZoomedPart;
    const bool same = part.pixels && part.source == &shown && part.pixelsStamp == thePixelsStamp &&
                      part.window == window;
    if (same) {
        return &*part.pixels;
    }
    part = {};
    part.pixels = PreviewImage::Create(window.width, window.height);
    if (!part.pixels || !RenderZoomWindow(shown, LevelsOf(&shown), window, *part.pixels)) {
        part.pixels.reset();
        return nullptr;
    }
    part.source = &shown;
    part.pixelsStamp = thePixelsStamp;
    part.window = window;
    return &*part.pixels;
}

void DrawVisible(QPainter& dc, const PreviewImage& shown, const QRect& visible) {
    const PreviewState& s = thePreviewState;
    const QRect inShown = visible.translated(-s.PreviewX, -s.PreviewY);
    if (s.PreviewWidth == shown.Width() && s.PreviewHeight == shown.Height()) {
        dc.drawImage(visible, PreviewView(shown), inShown); // 1:1: a plain copy
        return;
    }
    const ZoomWindow window{s.PreviewWidth, s.PreviewHeight, inShown.left(),
                            inShown.top(),  inShown.width(), inShown.height()};
    if (const PreviewImage* pixels = ZoomedPixels(shown, window)) {
        dc.drawImage(visible.topLeft(), PreviewView(*pixels));
    } else {
        Fill(dc, ToRect(visible));
    }
}

} // namespace

void RecordImageAreaSize(QSize size) {
    thePreviewState.ImageAreaWidth = size.width();
    thePreviewState.ImageAreaHeight = size.height();
}

void DrawImageArea(QPainter& dc, const QRect* logicalClient, QWidget*, int) {
    // One image pixel per device pixel: the preview state is in device pixels.
    const DevicePixelPainting devicePixels(dc, DeviceScaleOf(dc));
    const QRect deviceClient = ToDevice(*logicalClient, DeviceScaleOf(dc));
    const QRect* client = &deviceClient;
    const Rect area = ToRect(deviceClient);
    const PreviewState& s = thePreviewState;
    const PreviewImage* shown = ShownImage();
    if (!shown) {
        Fill(dc, area);
        return;
    }
    for (const Rect& margin : MarginRects(s, area)) {
        Fill(dc, margin);
    }
    const QRect placed(s.PreviewX, s.PreviewY, s.PreviewWidth, s.PreviewHeight);
    // An image one pixel narrower (shorter) than the area sits at offset 0
    // and gets no margins, which would leave its spare column (row) unpainted.
    for (const QRect& spare : (QRegion(*client) - QRegion(placed))) {
        Fill(dc, ToRect(spare));
    }
    const QRect visible = placed.intersected(*client);
    if (!visible.isEmpty()) {
        DrawVisible(dc, *shown, visible);
    }
    if (theImageOverlay) {
        theImageOverlay->Paint(dc);
    }
}

void PreviewPixelsChanged() {
    ++thePixelsStamp;
    theZoomedPart = {};
    thePreviewLevels.reset();
    if (thePreviewState.PreviewBitmap && LargerThanArea()) {
        thePreviewLevels = PreviewPyramid::Build(*thePreviewState.PreviewBitmap);
    }
}

void AttachImageOverlay(SelectionOverlay* overlay) {
    theImageOverlay = overlay;
    FollowPreviewView();
}

SelectionOverlay* ImageOverlay() {
    return theImageOverlay;
}

void FollowPreviewView() {
    if (!theImageOverlay) {
        return;
    }
    QWidget* area = theImageOverlay->Host();
    theImageOverlay->SetPlacement(QPointF(area->contentsRect().topLeft()), DeviceScaleOf(area));
    const PreviewState& s = thePreviewState;
    theImageOverlay->Tool().SetBounds(
        {0, 0, static_cast<double>(s.ImageWidth), static_cast<double>(s.ImageHeight)});
    theImageOverlay->SetMapping(PreviewMapping(thePreviewState));
}

void ReleasePreview() {
    ReleasePreviewState(thePreviewState);
    theBeforeView.image.reset();
    theBeforeView.levels.reset();
    theBeforeView.map.reset();
    thePreviewLevels.reset();
    theZoomedPart = {};
    ++thePixelsStamp;
}

bool ShowImageBeforeTables(bool before) {
    theBeforeView.shown = before;
    return !before || !thePreviewState.PreviewBitmap || RenderBeforeImageIfMissing();
}

bool ShowingImageBeforeTables() {
    return theBeforeView.shown;
}

void LoadedImageChanged() {
    theBeforeView.image.reset();
    theBeforeView.levels.reset();
    theBeforeView.map.reset();
    PreviewPixelsChanged();
    if (theBeforeView.shown) {
        RenderBeforeImageIfMissing();
    }
    FollowPreviewView();
}

std::optional<PixelLevels> ShownLevelsAt(Point client) {
    const PreviewImage* shown = ShownImage();
    if (!shown) {
        return std::nullopt;
    }
    const auto pixel = PreviewPixelAt(thePreviewState, client);
    if (!pixel) {
        return std::nullopt;
    }
    const std::optional<WideToneMap>& map =
        shown == &*thePreviewState.PreviewBitmap ? thePreviewState.PreviewMap : theBeforeView.map;
    return ShownLevels(thePreviewState.Picture(), *shown, map ? &*map : nullptr, *pixel);
}

void FilmChanged() {
    theBeforeView.image.reset();
    theBeforeView.levels.reset();
    theBeforeView.map.reset();
    if (theBeforeView.shown) {
        RenderBeforeImageIfMissing();
    }
}
