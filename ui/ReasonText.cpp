#include "ui/ReasonText.h"

#include <sane/sane.h>

#include <cerrno>
#include <sane/sane.h>

namespace {

QString Number(std::int64_t value) {
    return QString::number(static_cast<qlonglong>(value));
}

// What the system said when a file could not be opened or made.
QString OpenErrorText(std::int64_t error) {
    switch (error) {
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダーが見つかりません");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("アクセスが許可されていません");
    case EISDIR:
        return QStringLiteral("フォルダーです");
    case ENOTDIR:
        return QStringLiteral("途中にフォルダーでないものがあります");
    case EWOULDBLOCK:
        return QStringLiteral("ほかのプログラムが使用中です");
    case ENAMETOOLONG:
        return QStringLiteral("名前が長すぎます");
    default:
        return QStringLiteral("通常のファイルとして開けません");
    }
}

// What a scanner's status means to its user; SANE's own words follow in
// parentheses, since they are what a search or a bug report needs.
QString SaneStatusText(std::int64_t status) {
    switch (status) {
    case SANE_STATUS_UNSUPPORTED:
        return QStringLiteral("スキャナがこの操作に対応していません");
    case SANE_STATUS_CANCELLED:
        return QStringLiteral("スキャナの操作が取り消されました");
    case SANE_STATUS_DEVICE_BUSY:
        return QStringLiteral("スキャナが使用中です。ほかのプログラムを終えてから試してください");
    case SANE_STATUS_INVAL:
        return QStringLiteral("スキャナが設定を受け付けませんでした");
    case SANE_STATUS_EOF:
        return QStringLiteral("スキャナのデータが途中で終わりました");
    case SANE_STATUS_JAMMED:
        return QStringLiteral("原稿が詰まりました");
    case SANE_STATUS_NO_DOCS:
        return QStringLiteral("原稿がありません");
    case SANE_STATUS_COVER_OPEN:
        return QStringLiteral("スキャナのカバーが開いています");
    case SANE_STATUS_IO_ERROR:
        return QStringLiteral("スキャナとの通信でエラーが発生しました");
    case SANE_STATUS_NO_MEM:
        return QStringLiteral("スキャナのメモリーが足りません");
    case SANE_STATUS_ACCESS_DENIED:
        return QStringLiteral("スキャナへのアクセスが許可されていません");
    default:
        return QStringLiteral("スキャナのエラーです");
    }
}

} // namespace

QString ReasonText(const Reason& why) {
    const QString text = QString::fromStdString(why.Text);
    switch (why.Code) {
    case ReasonCode::None:
        return {};
    case ReasonCode::CannotOpen:
    case ReasonCode::CannotCreate:
        return OpenErrorText(why.Value);
    case ReasonCode::ReadFailed:
        return QStringLiteral("読み込み中にエラーが発生しました");
    case ReasonCode::Truncated:
        return QStringLiteral("ファイルが途中で切れています");
    case ReasonCode::NotThisFormat:
        return text.isEmpty() ? QStringLiteral("対応する形式のファイルではありません")
                              : QStringLiteral("%1 ファイルではありません").arg(text);
    case ReasonCode::Unsupported:
        return QStringLiteral("対応していない種類のファイルです（%1）").arg(text);
    case ReasonCode::BmpInfoHeaderSize:
        return QStringLiteral("BMP の情報ヘッダーが %1 バイトです（40 バイトのヘッダーのみ対応）")
            .arg(Number(why.Value));
    case ReasonCode::BmpCompression:
        return QStringLiteral("BMP が圧縮されています（圧縮方式 %1、非圧縮のみ対応）")
            .arg(Number(why.Value));
    case ReasonCode::BmpBitDepth:
        return QStringLiteral("BMP が %1 ビットです（8、24、32 ビットのみ対応）")
            .arg(Number(why.Value));
    case ReasonCode::BadHeader:
        return QStringLiteral("ヘッダーの値が正しくありません");
    case ReasonCode::TooLarge:
        return QStringLiteral("画像が大きすぎて、使えるメモリーに収まりません");
    case ReasonCode::NoMemory:
        return QStringLiteral("メモリーが足りません");
    case ReasonCode::DamagedData:
        return text.isEmpty() ? QStringLiteral("データが壊れています")
                              : QStringLiteral("データが壊れています（%1）").arg(text);
    case ReasonCode::MissingParams:
        // Text names a film line's key.
        return text.isEmpty()
                   ? QStringLiteral("12 個のパラメータがそろっていないか、範囲外の値があります")
                   : QStringLiteral("フィルムの設定 %1 がないか、正しくありません").arg(text);
    case ReasonCode::DiskFull:
        return QStringLiteral("書き込み中にディスクがいっぱいになりました");
    case ReasonCode::FileSizeLimit:
        return QStringLiteral("ファイルサイズの上限を超えました");
    case ReasonCode::WriteFailed:
        // The rename found neither the temporary file nor the folder.
        return why.Value == ENOENT
                   ? QStringLiteral("書き込み中に保存先のフォルダーがなくなりました")
                   : QStringLiteral("書き込み中にエラーが発生しました");
    case ReasonCode::DeviceError:
        return text.isEmpty() ? SaneStatusText(why.Value)
                              : QStringLiteral("%1（%2）").arg(SaneStatusText(why.Value), text);
    case ReasonCode::Cancelled:
        return QStringLiteral("キャンセルされました");
    }
    return {};
}

QString ReasonLine(const std::filesystem::path& file, const Reason& why) {
    const QString name = QString::fromStdString(file.filename().string());
    return name.isEmpty() ? ReasonText(why) : name + QStringLiteral(": ") + ReasonText(why);
}
