// The window's words for each reason a file, a reader or a scanner gives.
#include "ui/ReasonText.h"

#include <sane/sane.h>

#include <cerrno>

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

// One row per reason: its words in the window, from the number or the
// library's words it carries where it has them. A reason without a row
// (None among them) says nothing.
struct ReasonRow {
    ReasonCode code;
    QString (*text)(const Reason& why);
};

QString Words(const Reason& why) {
    return QString::fromStdString(why.Text);
}

const ReasonRow kReasonRows[] = {
    {ReasonCode::CannotOpen, [](const Reason& why) { return OpenErrorText(why.Value); }},
    {ReasonCode::CannotCreate, [](const Reason& why) { return OpenErrorText(why.Value); }},
    {ReasonCode::ReadFailed,
     [](const Reason&) { return QStringLiteral("読み込み中にエラーが発生しました"); }},
    {ReasonCode::Truncated,
     [](const Reason&) { return QStringLiteral("ファイルが途中で切れています"); }},
    {ReasonCode::NotThisFormat,
     [](const Reason& why) {
         return why.Text.empty() ? QStringLiteral("対応する形式のファイルではありません")
                                 : QStringLiteral("%1 ファイルではありません").arg(Words(why));
     }},
    {ReasonCode::Unsupported,
     [](const Reason& why) {
         return QStringLiteral("対応していない種類のファイルです（%1）").arg(Words(why));
     }},
    {ReasonCode::BmpInfoHeaderSize,
     [](const Reason& why) {
         return QStringLiteral("BMP の情報ヘッダーが %1 バイトです（40 バイトのヘッダーのみ対応）")
             .arg(Number(why.Value));
     }},
    {ReasonCode::BmpCompression,
     [](const Reason& why) {
         return QStringLiteral("BMP が圧縮されています（圧縮方式 %1、非圧縮のみ対応）")
             .arg(Number(why.Value));
     }},
    {ReasonCode::BmpBitDepth,
     [](const Reason& why) {
         return QStringLiteral("BMP が %1 ビットです（8、24、32 ビットのみ対応）")
             .arg(Number(why.Value));
     }},
    {ReasonCode::BadHeader,
     [](const Reason&) { return QStringLiteral("ヘッダーの値が正しくありません"); }},
    {ReasonCode::TooLarge,
     [](const Reason&) {
         return QStringLiteral("画像が大きすぎて、使えるメモリーに収まりません");
     }},
    {ReasonCode::NoMemory, [](const Reason&) { return QStringLiteral("メモリーが足りません"); }},
    {ReasonCode::DamagedData,
     [](const Reason& why) {
         return why.Text.empty() ? QStringLiteral("データが壊れています")
                                 : QStringLiteral("データが壊れています（%1）").arg(Words(why));
     }},
    // Text names a film line's key.
    {ReasonCode::MissingParams,
     [](const Reason& why) {
         return why.Text.empty()
                    ? QStringLiteral("12 個のパラメータがそろっていないか、範囲外の値があります")
                    : QStringLiteral("フィルムの設定 %1 がないか、正しくありません")
                          .arg(Words(why));
     }},
    {ReasonCode::DiskFull,
     [](const Reason&) { return QStringLiteral("書き込み中にディスクがいっぱいになりました"); }},
    {ReasonCode::FileSizeLimit,
     [](const Reason&) { return QStringLiteral("ファイルサイズの上限を超えました"); }},
    // The rename found neither the temporary file nor the folder.
    {ReasonCode::WriteFailed,
     [](const Reason& why) {
         return why.Value == ENOENT
                    ? QStringLiteral("書き込み中に保存先のフォルダーがなくなりました")
                    : QStringLiteral("書き込み中にエラーが発生しました");
     }},
    {ReasonCode::DeviceError,
     [](const Reason& why) {
         return why.Text.empty()
                    ? SaneStatusText(why.Value)
                    : QStringLiteral("%1（%2）").arg(SaneStatusText(why.Value), Words(why));
     }},
    {ReasonCode::Cancelled, [](const Reason&) { return QStringLiteral("キャンセルされました"); }},
};

} // namespace

QString ReasonText(const Reason& why) {
    for (const ReasonRow& row : kReasonRows) {
        if (row.code == why.Code) {
            return row.text(why);
        }
    }
    return {};
}

QString ReasonLine(const std::filesystem::path& file, const Reason& why) {
    const QString name = QString::fromStdString(file.filename().string());
    return name.isEmpty() ? ReasonText(why) : name + QStringLiteral(": ") + ReasonText(why);
}
