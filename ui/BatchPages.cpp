// One question before the batch, naming the first page already there and
// how many there are: 上書き (numbering from 1 again), 番号を続ける (after the
// highest number there), or キャンセル. Numbering on is the default, since
// it loses nothing.
#include "ui/BatchPages.h"

#include "io/NumberedFiles.h"
#include "platform/AskUser.h"
#include "ui/UserPath.h"

namespace {

enum Choice { kReplace, kNumberOn, kCancel };

const QString kPageThere = QStringLiteral("この名前のページ「%1」がすでにあります。");
const QString kPagesThere = QStringLiteral("「%1」など、この名前のページがすでに %2 個あります。");
const QString kPagesThereDetails = QStringLiteral(
    "上書きすると 1 ページ目から番号を振り直します。番号を続けると %1 の次から保存します。");
const QString kNoPageKept = QStringLiteral("保存したページはありません。");
const QString kOnePageKept = QStringLiteral("1 ページを保存しました: %1");
const QString kPagesKept = QStringLiteral("%1 ページを保存しました: %2 〜 %3");
const QString kOlderPageLeft = QStringLiteral("以前のページが 1 個残っています: %1");
const QString kOlderPagesLeft = QStringLiteral("以前のページが %1 個残っています: %2 〜 %3");
const QString kPagesInDocument = QStringLiteral("%1 ページを保存しました: %2");

QString NameOf(const std::filesystem::path& path) {
    return PathToUser(path.filename());
}

// The window's numbering of `chosen` (as ExistingPages reads it), taking
// only the numbers above `lastNumber`.
NumberedFiles PagesAbove(const std::filesystem::path& chosen, int lastNumber) {
    const Numbering above{chosen.stem().string() + "-", chosen.extension().string(),
                          [&chosen, lastNumber](int number) {
                              return number > lastNumber
                                         ? PageFileName(chosen, number).filename().string()
                                         : std::string();
                          }};
    return FindNumberedFiles(chosen.parent_path(), above);
}

} // namespace

std::optional<int> AskFirstPageNumber(AskUser& ask, const std::filesystem::path& chosen) {
    const NumberedFiles there = ExistingPages(chosen);
    if (there.count == 0) {
        return 1;
    }
    const QStringList choices = {QStringLiteral("上書き(&O)"), QStringLiteral("番号を続ける(&N)"),
                                 QStringLiteral("キャンセル")};
    const int choice =
        ask.AskChoice(there.count == 1 ? kPageThere.arg(NameOf(there.first))
                                       : kPagesThere.arg(NameOf(there.first)).arg(there.count),
                      kPagesThereDetails.arg(NameOf(PageFileName(chosen, there.highest))), choices,
                      kNumberOn, kCancel);
    switch (choice) {
    case kReplace:
        return 1;
    case kNumberOn:
        return there.highest + 1;
    default:
        return std::nullopt;
    }
}

QString KeptPagesLine(const std::filesystem::path& chosen, int firstNumber, std::size_t pages) {
    if (pages == 0) {
        return kNoPageKept;
    }
    const QString first = PathToUser(PageFileName(chosen, firstNumber));
    if (pages == 1) {
        return kOnePageKept.arg(first);
    }
    const int last = firstNumber + static_cast<int>(pages) - 1;
    return kPagesKept.arg(pages).arg(first, NameOf(PageFileName(chosen, last)));
}

QString OlderPagesLine(const std::filesystem::path& chosen, int lastNumber) {
    const NumberedFiles left = PagesAbove(chosen, lastNumber);
    if (left.count == 0) {
        return {};
    }
    if (left.count == 1) {
        return kOlderPageLeft.arg(NameOf(left.first));
    }
    return kOlderPagesLeft.arg(left.count)
        .arg(NameOf(left.first), NameOf(PageFileName(chosen, left.highest)));
}

QString KeptDocumentLine(const std::filesystem::path& document, std::size_t pages) {
    return pages == 0 ? kNoPageKept : kPagesInDocument.arg(pages).arg(PathToUser(document));
}
