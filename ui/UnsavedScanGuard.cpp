// One question, naming what would replace the scan; 「いいえ」 keeps it.
#include "ui/UnsavedScanGuard.h"

#include "platform/AskUser.h"

namespace {

const QString kDiscardScan = QStringLiteral("取り込んだ画像が保存されていません。破棄して%1か?");
const QString kDiscardDetails =
    QStringLiteral("「取り込んだ画像を保存...」で保存できます。「いいえ」で今のまま戻ります。");

QString Doing(ScanReplacedBy by) {
    switch (by) {
    case ScanReplacedBy::Closing:
        return QStringLiteral("閉じます");
    case ScanReplacedBy::Opening:
        return QStringLiteral("開きます");
    case ScanReplacedBy::Acquiring:
        break;
    }
    return QStringLiteral("取り込みます");
}

} // namespace

bool UnsavedScanGuard::MayReplace(ScanReplacedBy by) {
    return !unsaved_ || ask_.ShowMessage(kDiscardScan.arg(Doing(by)), MessageButtons::YesNo,
                                         MessageIcon::Question, kDiscardDetails) == Answer::Yes;
}
