// Opening an image (BMP, or a PNM, PNG, TIFF or JPEG scan) and Apply: the image is read, pushed
// through the three tables into the preview and centred; Apply re-renders it with the tables as
// they are now. Slider moves never touch the preview.
#include "image/ReadImage.h"
#include "image/preview/PreviewState.h"
#include "image/preview/RenderPreview.h"
#include "platform/AskUser.h"
#include "platform/WaitCursor.h"
#include "res/Resource.h"
#include "ui/CMyGraph.h"
#include "ui/FileFilters.h"
#include "ui/ImageView.h"
#include "ui/ReasonText.h"
#include "ui/TamrelDlg.h"
#include "ui/UserPath.h"

namespace {

const QString kCannotLoad = QStringLiteral("ファイルをロードできません。");
// Said after the picture shows, when its reader went past something.
const QString kOpenedWithWarning = QStringLiteral("画像を開きました。");

// Every image the window reads first, then each format, then all files.
FileDialogRequest ImageFileRequest() {
    return {FileDialogRequest::Mode::Open, OpenImageFilter(), QStringLiteral("bmp"), false,
            QStringLiteral("image")};
}

} // namespace

void CTamrelDlg::OnOpenImage() {
    if (!MayReplaceScan(ScanReplacedBy::Opening)) {
        return;
    }
    const std::optional<QString> picked = Ask().AskFileName(ImageFileRequest());
    if (!picked) {
        return;
    }
    const std::filesystem::path path = PathFromUser(*picked);
    Reason warning;
    Outcome<DecodedImage> read = [&] {
        const WaitCursor wait;
        return ReadImageFile(path, &warning);
    }();
    if (!read) {
        Ask().ShowMessage(kCannotLoad, MessageButtons::Ok, MessageIcon::Default,
                          ReasonLine(path, read.Why()));
        return;
    }
    ReplaceImage(std::move(*read), nullptr);
    imagePath_ = path; // calibration reads the file again at its own depth
    if (warning) {
        Ask().ShowMessage(kOpenedWithWarning, MessageButtons::Ok, MessageIcon::Information,
                          ReasonLine(path, warning));
    }
}

void CTamrelDlg::BuildPreviewBitmap() {
    const WaitCursor wait;
    PreviewState& s = thePreviewState;
    if (!s.PreviewBitmap) {
        s.PreviewBitmap = BuildPreview(s.LoadedImage(), theGammaTables);
    } else {
        // The image's size has not changed: the existing preview is reused.
        ReapplyTables(s, theGammaTables);
    }
    PreviewPixelsChanged();
}

void CTamrelDlg::OnApply() {
    BuildPreviewBitmap();
    ImageArea->update();
}
