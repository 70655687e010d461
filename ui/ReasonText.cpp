// The window's words for each reason a file, a reader or a scanner gives.
#include "ui/ReasonText.h"

#include <sane/sane.h>

#include <cerrno>
#include <iterator>

namespace {

// One row of words: what is refused (%1 stands for the reason's Text) and
// what to do about it.
struct WordsRow {
    const char* what;
    const char* todo;
};

constexpr const char* kGiveReference = "チャートメーカーの測定値ファイルを指定してください";
constexpr const char* kToRgb = "ファイルを RGB に変換してください";
const QString kResaveBmp = QStringLiteral("。24 ビットの BMP、PNG か TIFF で保存し直してください");

// Indexed by RefusedImage, as the tool's table is.
constexpr WordsRow kRefusalWords[] = {
    {"CMYK の JPEG は読めません", kToRgb},
    {"ロスレス JPEG は読めません", "ファイルを PNG か TIFF に変換してください"},
    {"算術符号化の JPEG は読めません",
     "ファイルをハフマン符号化の JPEG（jpegtran）、PNG か TIFF に変換してください"},
    {"サンプルが %1 ビットの JPEG は読めません（8 ビットのみ対応）",
     "ファイルを 16 ビットの PNG か TIFF に変換してください"},
    {"%1 成分の JPEG は読めません（グレーとカラーのみ対応）", kToRgb},
    {"浮動小数点サンプルの TIFF は読めません", "ファイルを 16 ビットの整数に変換してください"},
    {"符号付きサンプルの TIFF は読めません",
     "ファイルを符号なしの 8 か 16 ビットに変換してください"},
    {"パレットの TIFF は読めません", kToRgb},
    {"CMYK の TIFF は読めません", kToRgb},
    {"測色方式（Photometric）%1 の TIFF は読めません（グレーと RGB のみ対応）", kToRgb},
    {"サンプルが %1 ビットの TIFF は読めません（8 と 16 ビットのみ対応）",
     "ファイルを 8 か 16 ビットに変換してください"},
    {"圧縮方式 %1 の TIFF は読めません（非圧縮、LZW、Deflate、PackBits のみ対応）",
     "非圧縮か LZW か Deflate で保存し直してください"},
    {"このサンプル形式の PNG は読めません",
     "ファイルを 8 か 16 ビットのグレーか RGB に変換してください"},
    {"PNM の P%1 は読めません（バイナリの P5 と P6 のみ対応）",
     "ファイルをバイナリの PNM、PNG か TIFF に変換してください"},
    {"%1 ファイルは書き出し専用で、読めません",
     "BMP、PNM、PNG、TIFF、JPEG のファイルを指定してください"},
};

// Indexed by ReferenceProblem.
constexpr WordsRow kReferenceWords[] = {
    {"基準ファイルが空です", kGiveReference},
    {"基準ファイルがほかのファイルを取り込んでいます（.INCLUDE）。取り込みは行いません",
     "そのファイルの値を基準ファイルに写してください"},
    {"CGATS のテキストではありません", kGiveReference},
    {"ICC プロファイルで、チャートの測定値ではありません", kGiveReference},
    {"チャートのレイアウトで、測定値ではありません", kGiveReference},
    {"チャートの目標デバイス値で、測定値ではありません", kGiveReference},
    {"種類 %1 の CGATS で、チャートの測定値ではありません", kGiveReference},
    {"%1 行目を CGATS として読めません", nullptr},
    {"%1 行目から 2 つ目の表が始まります（基準ファイルの表は 1 つです）",
     "チャートの値の表だけを残してください"},
    {"%1 行目の NUMBER_OF_FIELDS が BEGIN_DATA_FORMAT の項目の数と合いません", nullptr},
    {"%1 行目の NUMBER_OF_SETS が BEGIN_DATA のセットの数と合いません", nullptr},
    {"%1 がありません", nullptr},
    {"SAMPLE_ID か SAMPLE_LOC と、LAB_L, LAB_A, LAB_B か XYZ_X, XYZ_Y, XYZ_Z の表がありません",
     kGiveReference},
    {"%1 番目のセットに SAMPLE_ID も SAMPLE_LOC もありません", nullptr},
    {"%1 に数でない値があります", nullptr},
};

template <std::size_t N> QString RowText(const WordsRow (&table)[N], const Reason& why) {
    if (why.Value < 0 || static_cast<std::size_t>(why.Value) >= N) {
        return QStringLiteral("対応していない種類のファイルです");
    }
    const WordsRow& row = table[static_cast<std::size_t>(why.Value)];
    QString text = QString::fromUtf8(row.what);
    text.replace(QStringLiteral("%1"), QString::fromStdString(why.Text));
    return row.todo == nullptr ? text : text + QStringLiteral("。") + QString::fromUtf8(row.todo);
}

static_assert(std::size(kRefusalWords) ==
              static_cast<std::size_t>(RefusedImage::NotReadFormat) + 1);
static_assert(std::size(kReferenceWords) ==
              static_cast<std::size_t>(ReferenceProblem::NotNumber) + 1);

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
                    .arg(Number(why.Value)) +
                kResaveBmp;
     }},
    {ReasonCode::BmpCompression,
     [](const Reason& why) {
         return QStringLiteral("BMP が圧縮されています（圧縮方式 %1、非圧縮のみ対応）")
                    .arg(Number(why.Value)) +
                kResaveBmp;
     }},
    {ReasonCode::BmpBitDepth,
     [](const Reason& why) {
         return QStringLiteral("BMP が %1 ビットです（8、24、32 ビットのみ対応）")
                    .arg(Number(why.Value)) +
                kResaveBmp;
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
    {ReasonCode::Refused, [](const Reason& why) { return RowText(kRefusalWords, why); }},
    {ReasonCode::BadReference, [](const Reason& why) { return RowText(kReferenceWords, why); }},
    {ReasonCode::NoEndMarker,
     [](const Reason&) {
         return QStringLiteral(
             "JPEG ファイルに終わりのマーカーがありません。画像は最後まで読めました");
     }},
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
