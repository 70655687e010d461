// The window's Japanese reasons for the faults a scan and its file meet:
// a busy or jammed device (SANE's words kept after the Japanese), a full
// disk, the file-size limit, the folder gone while the file was written.
#include "ui/ReasonText.h"

#include <sane/sane.h>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

Reason Device(SANE_Status status) {
    return {ReasonCode::DeviceError, status, sane_strstatus(status)};
}

TEST(ReasonText, ScanFaultsAreToldInJapanese) {
    const struct {
        Reason why;
        const char* text;
    } cases[] = {
        {Device(SANE_STATUS_DEVICE_BUSY), "スキャナはほかのプログラムが使用中です（Device busy）"},
        {Device(SANE_STATUS_JAMMED), "原稿が詰まりました（Document feeder jammed）"},
        {Device(SANE_STATUS_NO_DOCS), "原稿がありません（Document feeder out of documents）"},
        {Device(SANE_STATUS_COVER_OPEN), "スキャナのカバーが開いています（Scanner cover is open）"},
        {Device(SANE_STATUS_IO_ERROR),
         "スキャナとの通信でエラーが発生しました（Error during device I/O）"},
        {Device(SANE_STATUS_NO_MEM), "スキャナのエラーです（Out of memory）"},
        {{ReasonCode::DiskFull, ENOSPC}, "書き込み中にディスクがいっぱいになりました"},
        {{ReasonCode::FileSizeLimit, EFBIG}, "ファイルサイズの上限を超えました"},
        {{ReasonCode::WriteFailed, ENOENT}, "書き込み中に保存先のフォルダーがなくなりました"},
        {{ReasonCode::WriteFailed, EIO}, "書き込み中にエラーが発生しました"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReasonText(c.why), QString::fromUtf8(c.text)) << c.why.Text;
        EXPECT_FALSE(ReasonText(c.why).contains(QStringLiteral("スキャナー"))) << c.text;
    }
}

} // namespace
