// Seeing a whole photo or its pixels: 「全体を表示」 (F) fits the whole image
// in the area, 「100%」 (1) returns to 1:1, Ctrl+wheel steps by √2 about the
// pointer. The arithmetic is the core's (image/preview/PreviewZoom.h); the
// zoomed picture is made when the area is painted.
#include "image/preview/PreviewState.h"
#include "image/preview/PreviewZoom.h"
#include "ui/CMyGraph.h"
#include "ui/ImageView.h"
#include "ui/TamrelDlg.h"

void CTamrelDlg::ViewMoved() {
    ImageArea->update();
    FollowPreviewView();
    RefreshReadout();
}

void CTamrelDlg::OnZoomToFit() {
    if (ZoomToFit(thePreviewState)) {
        ViewMoved();
    }
}

void CTamrelDlg::OnZoomActual() {
    if (ZoomOneToOne(thePreviewState)) {
        ViewMoved();
    }
}

void CTamrelDlg::ZoomAt(int steps, QPoint client) {
    if (ZoomAbout(thePreviewState, SteppedZoom(thePreviewState, steps), {client.x(), client.y()})) {
        ViewMoved();
    }
}
