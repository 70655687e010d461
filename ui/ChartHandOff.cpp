// A chart's patches are averaged from the picture's own samples, which the
// window keeps at their depth: a 16-bit file or page gives its 16 bits to
// the fit, and nothing is read again (the file may have changed or gone
// since it was opened).
#include "ui/ChartHandOff.h"

#include "image/preview/PreviewState.h"
#include "platform/AskUser.h"
#include "platform/WaitCursor.h"
#include "ui/ChartDialog.h"
#include "ui/PictureOrigin.h"
#include "ui/ReasonText.h"
#include "ui/ScanMemory.h"

namespace {

const QString kCannotRead = QStringLiteral("画像を読めません。");
const QString kScanName = QStringLiteral("スキャン");

Outcome<ChartScan> FullDepthScan(const KeptImage& picture) {
    const WaitCursor wait;
    return ScanOfRows(picture.Rows());
}

} // namespace

void ChartHandOff::Run(QWidget* window, const PictureOrigin& origin) {
    const KeptImage& picture = thePreviewState.Picture();
    if (!picture.HasPixels()) {
        return;
    }
    Outcome<ChartScan> scan = FullDepthScan(picture);
    if (!scan) {
        ask_.ShowMessage(kCannotRead, MessageButtons::Ok, MessageIcon::Default,
                         ReasonLine(origin.file, scan.Why()));
        return;
    }
    ChartDialogContext context;
    context.scan = std::make_shared<const ChartScan>(std::move(*scan));
    context.imageName =
        origin.file.empty() ? kScanName : QString::fromStdString(origin.file.filename().string());
    context.settings = &settings_;
    context.memory = &memory_;
    context.ask = &ask_;
    context.device = origin.scan && !origin.scan->device.empty()
                         ? QString::fromStdString(origin.scan->device)
                         : memory_.LastDevice();
    context.apply = apply_;
    ChartDialog dialog(window, std::move(context));
    dialog.exec();
}
