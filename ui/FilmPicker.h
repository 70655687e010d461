// The film picks: which kind of film the picture is (ポジ, カラーネガ,
// 白黒ネガ, from the context menu) and the rectangles its base and neutral
// greys are picked from, drawn over the image with the on-image selection
// tool. Each change measures the film on the loaded image (measure/), puts
// its stages into the window's tables and is one undo step; the film stays
// for the next picture, as a roll's frames share it, and is shown wherever
// the picture is (FilmModeSign).
#pragma once

#include "curve/FilmSettings.h"
#include "ui/FilmPicks.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

class AskUser;
class CMyGraph;
class FilmModeSign;
class QLabel;
class QString;
class QWidget;
class SelectionOverlay;
class SystemMenu;

class FilmPicker {
public:
    // What the picks ask of the window they work in.
    struct Host {
        std::function<void()> closeStep; // ends the undo step in progress
        // The tables hold the film now: the window shows it (the preview
        // anew when the film itself changed, not only its rectangles).
        std::function<void(bool filmChanged)> shown;
        // Writes the window's status line.
        std::function<void(const QString&)> say;
    };

    FilmPicker(AskUser& ask, Host host);
    ~FilmPicker();
    FilmPicker(const FilmPicker&) = delete;
    FilmPicker& operator=(const FilmPicker&) = delete;

    void AppendEntries(SystemMenu& menu) const;
    // Check marks and enabled entries as the film and the picture are now.
    void RefreshEntries(SystemMenu& menu) const;
    // The rectangles over the image area, once the area exists; the film's
    // kind in `window`'s title and in `modeLabel` beside the preview.
    void Attach(CMyGraph* imageArea, QWidget* window, QLabel* modeLabel);
    // The overlay leaves the image area (the window goes).
    void Detach();

    void OnFilmMode(FilmMode mode);
    // The next drag over the image draws the base anew.
    void OnPickBase();
    // The next drag draws a grey; with two, it takes the second one's place.
    void OnPickGrey();

    // A film measured elsewhere (a roll's frame) as one undo step; the
    // rectangles go.
    void Take(const FilmSettings& film);
    // A state of the film shown as undo, redo or a parameter file give it.
    void Show(const FilmSettings& film, const FilmPicks& picks);
    // A new picture: the film stays for the roll, and is said to have
    // stayed; the rectangles were drawn on the old one.
    void PictureReplaced();

    const FilmSettings& Film() const { return film_; }
    const FilmPicks& Picks() const { return picks_; }

private:
    // The shape a pick draws and what it is.
    struct PendingPick {
        std::size_t index;
        bool base;
    };

    // The overlay's shapes, bounds and mapping as the film and the preview are now.
    void SyncOverlay();
    // The film measured on the loaded image, or nullopt after the problem was told.
    std::optional<FilmSettings> MeasureOnImage(FilmMode mode, const FilmPicks& picks);
    void OnShapeFinished(std::size_t index);
    FilmPicks PicksOfShapes() const;
    // A change the user made: one undo step.
    void Change(const FilmSettings& film, const FilmPicks& picks);

    AskUser& ask_;
    Host host_;
    FilmSettings film_;                         // the film the tables' stages come from
    FilmPicks picks_;                           // drawn on the image shown now
    std::optional<PendingPick> pendingPick_;    // none outside a pick
    std::unique_ptr<SelectionOverlay> overlay_; // the picks over the image area
    std::unique_ptr<FilmModeSign> sign_;        // the film's kind, where it is seen
};
