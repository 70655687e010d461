// A scanner's statuses in the window's words: Japanese first, SANE's own
// words kept in parentheses, one spelling of スキャナ throughout.
#include "ui/ReasonText.h"

#include <gtest/gtest.h>

#include <sane/sane.h>

#include <cerrno>

namespace reason_text_test {

namespace {

// Words are looked up in a table by reason: a reason left out of it would
// be told as nothing at all.
TEST(ReasonText, EveryReasonButNoneHasWords) {
    EXPECT_EQ(ReasonText({}), QString());
    for (int code = static_cast<int>(ReasonCode::CannotOpen);
         code <= static_cast<int>(ReasonCode::Cancelled); ++code) {
        EXPECT_FALSE(ReasonText({static_cast<ReasonCode>(code)}).isEmpty()) << code;
    }
}

TEST(ReasonText, SanesStatusesGetJapaneseWordsWithSanesInParentheses) {
    const struct {
        SANE_Status status;
        const char* japanese;
    } cases[] = {
        {SANE_STATUS_JAMMED, "原稿が詰まりました"},
        {SANE_STATUS_NO_DOCS, "原稿がありません"},
        {SANE_STATUS_COVER_OPEN, "スキャナのカバーが開いています"},
        {SANE_STATUS_DEVICE_BUSY, "スキャナが使用中です"},
        {SANE_STATUS_IO_ERROR, "スキャナとの通信でエラーが発生しました"},
        {SANE_STATUS_ACCESS_DENIED, "スキャナへのアクセスが許可されていません"},
        {SANE_STATUS_NO_MEM, "スキャナのメモリーが足りません"},
        {SANE_STATUS_INVAL, "スキャナが設定を受け付けませんでした"},
        {SANE_STATUS_UNSUPPORTED, "スキャナがこの操作に対応していません"},
        {SANE_STATUS_EOF, "スキャナのデータが途中で終わりました"},
    };
    for (const auto& c : cases) {
        const std::string words = sane_strstatus(c.status);
        const QString text = ReasonText({ReasonCode::DeviceError, c.status, words});
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(c.japanese))) << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral("（%1）").arg(QString::fromStdString(words))))
            << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("スキャナー"))) << text.toStdString();
    }
    EXPECT_EQ(ReasonText({ReasonCode::DeviceError, 999, ""}),
              QStringLiteral("スキャナのエラーです"));
}

// A scan's file meets the disk's faults: each told in Japanese.
TEST(ReasonText, FaultsOfTheFileAreToldInJapanese) {
    const struct {
        Reason why;
        const char* text;
    } cases[] = {
        {{ReasonCode::DiskFull, ENOSPC}, "書き込み中にディスクがいっぱいになりました"},
        {{ReasonCode::FileSizeLimit, EFBIG}, "ファイルサイズの上限を超えました"},
        {{ReasonCode::WriteFailed, ENOENT}, "書き込み中に保存先のフォルダーがなくなりました"},
        {{ReasonCode::WriteFailed, EIO}, "書き込み中にエラーが発生しました"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReasonText(c.why), QString::fromUtf8(c.text)) << c.why.Text;
    }
}

} // namespace

}  // namespace reason_text_test
