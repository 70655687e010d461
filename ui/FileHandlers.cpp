// The file buttons: export of the three gamma tables, and the parameter file
// saved and loaded. Each asks the user, hands the work to the file layer and
// turns its result into the one message the user sees.
#include "curve/ChannelStore.h"
#include "io/ExportNames.h"
#include "io/ParamFileReader.h"
#include "io/ParamFileWriter.h"
#include "io/TableFile.h"
#include "platform/AskUser.h"
#include "ui/CMyGraph.h"
#include "ui/FileFilters.h"
#include "ui/Messages.h"
#include "ui/ReasonText.h"
#include "ui/TamrelDlg.h"
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

void CTamrelDlg::OnExportTables() {
    Ask().ShowMessage(kExportNotice, MessageButtons::Ok, MessageIcon::Information);
    const std::optional<QString> picked = Ask().AskFileName(TableFileRequest());
    if (!picked) {
        return;
    }
    const ExportNames names = DeriveExportNames(PathFromUser(*picked));
    if (AnyExistsAsFile(names) && Ask().ShowMessage(kOverwriteQuestion, MessageButtons::OkCancel,
                                                    MessageIcon::Default) != Answer::Ok) {
        return;
    }
    const TableFilesOutcome outcome = WriteTableFiles(names, theGammaTables);
    // Table files are 8-bit tables: a negative's dense parts do not fit them.
    ReportWrite(Ask(), outcome, outcome.FailedFile, kExported,
                film_.IsNegative() ? kNarrowNegative : QString());
}

void CTamrelDlg::OnSaveParams() {
    const std::optional<QString> picked =
        Ask().AskFileName(ParamFileRequest(FileDialogRequest::Mode::Save));
    if (!picked) {
        return;
    }
    const std::filesystem::path path = PathFromUser(*picked);
    // The file dialog's own prompt sees no file behind a link to nothing.
    if (IsDanglingLink(path) && Ask().ShowMessage(kOverwriteQuestion, MessageButtons::OkCancel,
                                                  MessageIcon::Default) != Answer::Ok) {
        return;
    }
    ReportWrite(Ask(), SaveParamFile(path, PositionSetOf(theChannelParams), film_), path, kSaved);
}

void CTamrelDlg::OnLoadParams() {
    const std::optional<QString> picked =
        Ask().AskFileName(ParamFileRequest(FileDialogRequest::Mode::Open));
    if (!picked) {
        return;
    }
    const std::filesystem::path path = PathFromUser(*picked);
    const ParamLoad load = LoadParamFile(path);
    if (load.result != LoadResult::Ok) {
        const QString& text = load.result == LoadResult::CannotOpen ? kCannotOpen : kReadFailed;
        Ask().ShowMessage(text, MessageButtons::Ok, MessageIcon::Default,
                          ReasonLine(path, load.why));
        return;
    }
    CloseStep(); // a move in progress is a step of its own, before the load's
    ApplyPositionSet(load.positions, theChannelParams, theGammaTables);
    // The file's film (a positive when it has none); its rectangles were
    // drawn on another image.
    ShowFilm(load.film, {});
    GraphArea->update();
    ShowChannelParams();
    CloseStep();
}
