// Image area painting (interim: the area stays dark grey).
#include "ui/ImageView.h"

#include "platform/GdiDraw.h"
#include "ui/TamrelDlg.h"

#include <QPainter>

namespace {
constexpr std::uint32_t kMarginColour = 0x404040;
QSize imageAreaSize;
} // namespace

void RecordImageAreaSize(QSize size) {
    imageAreaSize = size;
}

void DrawImageArea(QPainter& dc, const QRect* client, QWidget*, int) {
    FillSolidRect(dc, client->left(), client->top(), client->left() + client->width(),
                  client->top() + client->height(), kMarginColour);
}

void ReleasePreview() {}

void CTamrelDlg::OnOpenImage() {}
void CTamrelDlg::OnApply() {}
void CTamrelDlg::BuildPreviewBitmap() {}
void CTamrelDlg::OnLButtonDown(QPoint) {}
void CTamrelDlg::OnMouseMove(QPoint) {}
void CTamrelDlg::OnMouseLeave() {}
void CTamrelDlg::OnLButtonUp(QPoint) {}
