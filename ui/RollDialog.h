// ロール...: a roll of film's strips in a dialog of its own. Each strip is
// shown with the frames found on it, which the user moves, resizes, adds
// (a drag on the film) or removes (削除); a frame moved is measured again
// and the roll's film fitted anew. Choosing a frame (in the list or on its
// strip) shows it in the main window through its own film; 書き出し writes
// the whole roll into a folder as the tool's roll does.
#pragma once

#include "curve/FilmSettings.h"
#include "image/rows/PixelRect.h"
#include "io/ParamKeys.h"
#include "ui/RollSession.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <vector>

class AskUser;
class QComboBox;
class QLabel;
class QListWidget;
class QVBoxLayout;
class StripView;

class RollDialog : public QDialog {
public:
    // What the roll asks of the window it was opened from.
    struct Host {
        // The window's twelve positions, which every frame's tables take.
        std::function<ParamPositionSet()> positions;
        // Frame `rect` of `strip` as the window's picture, with `film`.
        std::function<void(const std::filesystem::path& strip, const PixelRect& rect,
                           const FilmSettings& film)>
            showFrame;
    };

    // Asks for the strips (several files at once) and shows them in a
    // dialog of its own over `window`, which deletes itself when closed;
    // null when none was chosen or none could be read (said).
    static RollDialog* Open(QWidget* window, AskUser& ask, FilmMode mode, Host host);

    RollDialog(QWidget* parent, AskUser& ask, FilmMode mode, Host host);

    // The strips read into the dialog; false when none could be (each said).
    bool Read(const std::vector<std::filesystem::path>& scans);

private:
    void BuildControls();
    QWidget* BuildCommands();
    void AddStripViews();
    void ShowFrames();
    void OnFrameChosen(int row);
    void OnRemove();
    void OnExport();
    void SayExported(const std::filesystem::path& folder, std::size_t frames,
                     const std::vector<RollProblem>& problems);

    AskUser& ask_;
    Host host_;
    RollSession session_;
    std::vector<StripView*> views_;
    QVBoxLayout* strips_ = nullptr;
    QListWidget* list_ = nullptr;
    QComboBox* format_ = nullptr;
    QLabel* summary_ = nullptr;
    bool showing_ = false; // the list is being filled: its changes are not choices
};
