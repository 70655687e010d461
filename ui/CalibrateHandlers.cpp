// 「チャートで校正...」: the loaded image at its full depth (the file read
// again, or the scan taken in; the window's 8-bit levels only when neither
// is at hand), measured in the chart dialog. Its 適用 puts the twelve
// positions on the sliders as one step of the undo history.
#include "image/preview/PreviewState.h"
#include "image/rows/MemoryRows.h"
#include "platform/AskUser.h"
#include "platform/WaitCursor.h"
#include "ui/ChartDialog.h"
#include "ui/ReasonText.h"
#include "ui/ScanMemory.h"
#include "ui/TamrelDlg.h"

namespace {

const QString kCannotRead = QStringLiteral("画像を読めません。");
const QString kScanName = QStringLiteral("スキャン");

} // namespace

void CTamrelDlg::OnCalibrateChart() {
    const ImageBuffer& image = thePreviewState.LoadedImage();
    if (!image.HasPixels()) {
        return;
    }
    Outcome<ChartScan> scan = [&]() -> Outcome<ChartScan> {
        const WaitCursor wait;
        if (scanned_) {
            return ScanOfRows(RowsOf(*scanned_));
        }
        if (!imagePath_.empty()) {
            return ReadChartScan(imagePath_);
        }
        return ScanOfRows(RowsOf(image));
    }();
    if (!scan) {
        Ask().ShowMessage(kCannotRead, MessageButtons::Ok, MessageIcon::Default,
                          ReasonLine(imagePath_, scan.Why()));
        return;
    }
    ChartDialogContext context;
    context.scan = std::make_shared<const ChartScan>(std::move(*scan));
    context.imageName =
        imagePath_.empty() ? kScanName : QString::fromStdString(imagePath_.filename().string());
    context.settings = settings_.get();
    context.memory = scanMemory_.get();
    context.ask = &Ask();
    context.device = scanned_ && !scannedDevice_.empty() ? QString::fromStdString(scannedDevice_)
                                                         : scanMemory_->LastDevice();
    context.apply = [this](const ParamPositionSet& positions) {
        CloseStep();
        ShowPositionSet(positions);
        CloseStep();
    };
    ChartDialog dialog(this, std::move(context));
    dialog.exec();
}
