// BMP by name, as the button says, though every format the window reads is
// offered: PNM, PNG, TIFF and JPEG scans alike.
#include "ui/OpenImage.h"

#include "platform/AskUser.h"
#include "platform/WaitCursor.h"
#include "ui/FileFilters.h"
#include "ui/ReasonText.h"
#include "ui/UserPath.h"

namespace {

const QString kCannotLoad = QStringLiteral("ファイルをロードできません。");
// Said after the picture shows, when its reader went past something.
const QString kOpenedWithWarning = QStringLiteral("画像を開きました。");

FileDialogRequest ImageFileRequest() {
    return {FileDialogRequest::Mode::Open, OpenImageFilter(), QStringLiteral("bmp"), false,
            QStringLiteral("image")};
}

} // namespace

std::optional<OpenedImage> OpenImageAsked(AskUser& ask) {
    const std::optional<QString> picked = ask.AskFileName(ImageFileRequest());
    if (!picked) {
        return std::nullopt;
    }
    const std::filesystem::path path = PathFromUser(*picked);
    Reason warning;
    Outcome<KeptImage> read = [&] {
        const WaitCursor wait;
        return ReadPictureFile(path, &warning);
    }();
    if (!read) {
        ask.ShowMessage(kCannotLoad, MessageButtons::Ok, MessageIcon::Default,
                        ReasonLine(path, read.Why()));
        return std::nullopt;
    }
    return OpenedImage{std::move(*read), path, warning};
}

void TellOpenWarning(AskUser& ask, const OpenedImage& opened) {
    if (opened.warning) {
        ask.ShowMessage(kOpenedWithWarning, MessageButtons::Ok, MessageIcon::Information,
                        ReasonLine(opened.path, opened.warning));
    }
}
