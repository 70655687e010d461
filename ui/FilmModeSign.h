// Where the window shows which film its picture is taken as, so that a film
// kept from the last picture is never a surprise (a black scan that comes
// out white): a negative's kind after the window's title and in the label
// beside the preview; and when a new picture arrives with a negative's film
// kept, a word in the status line each time and, the first time after the
// film was chosen, a note beside the window that holds nothing up.
#pragma once

#include "curve/FilmSettings.h"

#include <QString>

#include <functional>

class QLabel;
class QWidget;

class FilmModeSign {
public:
    using Say = std::function<void(const QString&)>;

    // `say` writes the window's status line.
    FilmModeSign(QWidget* window, QLabel* label, Say say);

    // The film now: the title and the label (nothing of either for a positive).
    void Show(FilmMode mode);
    // A new picture, from a file or a scan, with the film `mode` kept.
    void PictureArrived(FilmMode mode);

    // The name of a kind of film as the window shows it; empty for a positive.
    static QString NameOf(FilmMode mode);

private:
    QWidget* window_;
    QLabel* label_;
    Say say_;
    QString title_;                       // the window's own title
    FilmMode shown_ = FilmMode::Positive; // the film the sign shows
    bool noted_ = false;                  // the note was given since the film was chosen
};
