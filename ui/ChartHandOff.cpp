// A chart's patches are averaged from the picture's own samples: a 16-bit
// scan keeps its 16 bits for the fit, where the preview holds only 8.
#include "ui/ChartHandOff.h"

#include "image/preview/PreviewState.h"
#include "image/rows/MemoryRows.h"
#include "platform/AskUser.h"
#include "platform/WaitCursor.h"
#include "ui/ChartDialog.h"
#include "ui/PictureOrigin.h"
#include "ui/ReasonText.h"
#include "ui/ScanMemory.h"

namespace {

const QString kCannotRead = QStringLiteral("画像を読めません。");
const QString kScanName = QStringLiteral("スキャン");

Outcome<ChartScan> FullDepthScan(const PictureOrigin& origin, const ImageBuffer& shown) {
    const WaitCursor wait;
    if (origin.scan) {
        return ScanOfRows(RowsOf(*origin.scan->samples));
    }
    if (!origin.file.empty()) {
        return ReadChartScan(origin.file);
    }
    return ScanOfRows(RowsOf(shown));
}

} // namespace

void ChartHandOff::Run(QWidget* window, const PictureOrigin& origin) {
    const ImageBuffer& image = thePreviewState.LoadedImage();
    if (!image.HasPixels()) {
        return;
    }
    Outcome<ChartScan> scan = FullDepthScan(origin, image);
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
