// Each asks the user, hands the work to the file layer and turns its result
// into the one message the user sees: the failure with the file and the
// reason on its second line, or the success notice.
#include "ui/ParamFiles.h"

#include "curve/ChannelStore.h"
#include "io/ExportNames.h"
#include "io/ParamFileWriter.h"
#include "io/TableFile.h"
#include "platform/AskUser.h"
#include "ui/FileFilters.h"
#include "ui/Messages.h"
#include "ui/ReasonText.h"
#include "ui/UserPath.h"

namespace {

const QString kExportNotice = QStringLiteral(
    "指定されたファイル名の最後に 'R', 'G', 'B'\nを付けた３つのファイルを出力します。");
const QString kOverwriteQuestion = QStringLiteral("既存ファイルを上書きしますか？");
const QString kExported = QStringLiteral("出力しました。");
const QString kSaved = QStringLiteral("保存しました。");
const QString kCannotOpen = QStringLiteral("ファイルをオープンできません。");
const QString kWriteFailed = QStringLiteral("ファイルの書き込みに失敗しました。");
const QString kReadFailed = QStringLiteral("ファイルの読み出しに失敗しました。");

FileDialogRequest TableFileRequest() {
    return {FileDialogRequest::Mode::Save, TableFileFilter(), QStringLiteral("tvk"),
            false, // the export asks about existing files itself
            QStringLiteral("tables")};
}

FileDialogRequest ParamFileRequest(FileDialogRequest::Mode mode) {
    return {mode, ParamFileFilter(), QStringLiteral("tvp"), mode == FileDialogRequest::Mode::Save,
            QStringLiteral("params")};
}

// The one message after a write: what failed (with the file and the reason
// on its second line), or the success notice.
void ReportWrite(AskUser& ask, const WriteOutcome& outcome, const std::filesystem::path& file,
                 const QString& success, const QString& note = {}) {
    switch (outcome.Result) {
    case WriteResult::CannotOpen:
        ask.ShowMessage(kCannotOpen, MessageButtons::Ok, MessageIcon::Default,
                        ReasonLine(file, outcome.Why));
        return;
    case WriteResult::WriteFailed:
        ask.ShowMessage(kWriteFailed, MessageButtons::Ok, MessageIcon::Default,
                        ReasonLine(file, outcome.Why));
        return;
    case WriteResult::Ok:
        break;
    }
    ask.ShowMessage(success, MessageButtons::Ok, MessageIcon::Information, note);
}

} // namespace

void ExportTablesAsked(AskUser& ask, const GammaTableSet& tables, bool negative) {
    ask.ShowMessage(kExportNotice, MessageButtons::Ok, MessageIcon::Information);
    const std::optional<QString> picked = ask.AskFileName(TableFileRequest());
    if (!picked) {
        return;
    }
    const ExportNames names = DeriveExportNames(PathFromUser(*picked));
    if (AnyExistsAsFile(names) && ask.ShowMessage(kOverwriteQuestion, MessageButtons::OkCancel,
                                                  MessageIcon::Default) != Answer::Ok) {
        return;
    }
    const TableFilesOutcome outcome = WriteTableFiles(names, tables);
    // Table files are 8-bit tables: a negative's dense parts do not fit them.
    ReportWrite(ask, outcome, outcome.FailedFile, kExported,
                negative ? kNarrowNegative : QString());
}

void SaveParamsAsked(AskUser& ask, const ParamPositionSet& positions, const FilmSettings& film) {
    const std::optional<QString> picked =
        ask.AskFileName(ParamFileRequest(FileDialogRequest::Mode::Save));
    if (!picked) {
        return;
    }
    const std::filesystem::path path = PathFromUser(*picked);
    // The file dialog's own prompt sees no file behind a link to nothing.
    if (IsDanglingLink(path) && ask.ShowMessage(kOverwriteQuestion, MessageButtons::OkCancel,
                                                MessageIcon::Default) != Answer::Ok) {
        return;
    }
    ReportWrite(ask, SaveParamFile(path, positions, film), path, kSaved);
}

std::optional<ParamLoad> LoadParamsAsked(AskUser& ask) {
    const std::optional<QString> picked =
        ask.AskFileName(ParamFileRequest(FileDialogRequest::Mode::Open));
    if (!picked) {
        return std::nullopt;
    }
    const std::filesystem::path path = PathFromUser(*picked);
    ParamLoad load = LoadParamFile(path);
    if (load.result != LoadResult::Ok) {
        const QString& text = load.result == LoadResult::CannotOpen ? kCannotOpen : kReadFailed;
        ask.ShowMessage(text, MessageButtons::Ok, MessageIcon::Default, ReasonLine(path, load.why));
        return std::nullopt;
    }
    return load;
}
