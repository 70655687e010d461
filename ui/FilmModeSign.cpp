// The label keeps a warm colour of its own, so that it reads as a sign of
// the picture's state and not as one more caption.
#include "ui/FilmModeSign.h"

#include "ui/SettingsNote.h"
#include "ui/SpokenLabel.h"

#include <QLabel>
#include <QWidget>

namespace {

const QString kColourNegative = QStringLiteral("カラーネガ");
const QString kBlackAndWhite = QStringLiteral("白黒ネガ");
const QString kTitle = QStringLiteral("%1 — フィルム: %2");
const QString kSpoken = QStringLiteral("フィルム: %1");
const QString kPositiveSpoken = QStringLiteral("フィルム: ポジ");
// The label beside it names the film.
const QString kKept = QStringLiteral("フィルムの設定を引き継ぎました");
const QString kNote = QStringLiteral("フィルムの設定（%1）を引き継ぎました。");
const QString kNoteDetails =
    QStringLiteral("フィルムの設定は、変えるまで次の画像やスキャンにも使われます"
                   "（ロールのコマは同じフィルムです）。ネガでない画像には、"
                   "メニューの「フィルム: ポジ」を選んでください。");
const QString kNoteName = QStringLiteral("filmNote");
// Dark text on amber, as a sign of the picture's state.
const QString kLabelStyle = QStringLiteral("QLabel { background: #FFD37A; color: #3A2600; }");

} // namespace

FilmModeSign::FilmModeSign(QWidget* window, QLabel* label, Say say)
    : window_(window), label_(label), say_(std::move(say)), title_(window->windowTitle()) {
    label_->setStyleSheet(kLabelStyle);
    label_->setAlignment(Qt::AlignCenter);
    label_->hide();
}

QString FilmModeSign::NameOf(FilmMode mode) {
    switch (mode) {
    case FilmMode::ColourNegative:
        return kColourNegative;
    case FilmMode::BlackAndWhite:
        return kBlackAndWhite;
    case FilmMode::Positive:
        break;
    }
    return {};
}

void FilmModeSign::Show(FilmMode mode) {
    if (mode != shown_) {
        noted_ = false; // a film chosen anew is told anew
    }
    shown_ = mode;
    const QString name = NameOf(mode);
    window_->setWindowTitle(name.isEmpty() ? title_ : kTitle.arg(title_, name));
    SetTextIfChanged(label_, name, name.isEmpty() ? kPositiveSpoken : kSpoken.arg(name));
    label_->setVisible(!name.isEmpty());
}

void FilmModeSign::PictureArrived(FilmMode mode) {
    const QString name = NameOf(mode);
    if (name.isEmpty()) {
        return;
    }
    say_(kKept);
    if (!noted_) {
        noted_ = true;
        ShowWindowNote(window_, kNoteName, kNote.arg(name), kNoteDetails);
    }
}
