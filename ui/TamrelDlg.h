// The main dialog: curve plot, channel tabs and sliders, image preview with
// pixel readout, and the buttons for files, images and closing.
#pragma once

#include "curve/ChannelParams.h"
#include "curve/ChannelStore.h"
#include "curve/FilmSettings.h"
#include "image/ImageMeta.h"
#include "image/kernels/Histogram.h"
#include "platform/DataExchange.h"
#include "platform/DialogBuilder.h"
#include "platform/SystemMenu.h"
#include "scan/ScanBatch.h"
#include "ui/FilmPicks.h"
#include "ui/ScanPreview.h"
#include "ui/UndoHistory.h"

#include <QCursor>
#include <QDialog>
#include <QIcon>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class AskUser;
class DecodedImage;
class ScanMemory;
class SettingsStore;
class SaneSession;
struct SampleImage;
struct SaveTarget;
struct ScanOutcome;
struct ScanSettings;
class CMyGraph;
class SelectionOverlay;
class QKeyEvent;
class QLabel;
class QSlider;
class QTabBar;
class QTimer;

// What moved a slider: a step of any kind, or the end of a thumb drag.
enum class ScrollCode { Step, EndScroll };

// What would replace a scan taken in and not yet saved.
enum class ScanReplacedBy { Closing, Opening, Acquiring };

class CTamrelDlg : public QDialog {
    Q_OBJECT
public:
    // `ask` answers the dialog's questions; null means real Qt dialogs.
    explicit CTamrelDlg(AskUser* ask = nullptr);
    ~CTamrelDlg() override;

    // Creates the window's controls from the template and initialises them.
    void Create();
    // Creates the window if needed and runs it modally.
    int DoModal();

    // Data exchange with the controls; false when a validation failed.
    bool UpdateData(bool saveAndValidate = true);

    const ControlMap& Controls() const { return controls_; }
    const SystemMenu& GetSystemMenu() const { return systemMenu_; }

    // Handlers, routed by the message map.
    void OnSysCommand(unsigned id, std::intptr_t param);
    void OnHScroll(ScrollCode code, int position, QSlider* scrollBar);
    void OnSelchangeChannelTab();
    void OnExportTables();
    void OnResetParams();
    void OnSaveParams();
    void OnLoadParams();
    void OnOpenImage();
    void OnDestroy();
    void OnApply();
    void OnLButtonDown(QPoint point, Qt::KeyboardModifiers keys = Qt::NoModifier);
    void OnMouseMove(QPoint point);
    void OnMouseLeave();
    void OnLButtonUp(QPoint point);
    // Ctrl+wheel over the image area (a point of the dialog, device pixels):
    // true when it zoomed or was taken for a zoom.
    bool OnCtrlWheel(QPoint point, int angleDelta);
    // Seeing the image whole, at 1:1, or `steps` √2-steps nearer about a
    // point of the image area's client (device pixels).
    void OnZoomToFit();
    void OnZoomActual();
    void ZoomAt(int steps, QPoint client);
    // Reads the shown image under the pointer again, as after a move.
    void RefreshReadout();
    // Context-menu commands and their keys for reading the image.
    void OnShowHistogram();
    void OnOutputHistogram();
    void OnAutoBlackWhite();
    void OnToggleBefore();
    void OnUndo();
    void OnRedo();
    // The one way a new picture enters the window, from a file or a scan:
    // the kept image, its preview, the before-image, the level counts and
    // the readout change together. `scan` is the page at the depth it was
    // scanned in, kept for its save; null for a file.
    void ReplaceImage(DecodedImage image, std::shared_ptr<SampleImage> scan);
    // The loaded image's level counts, counted now if not yet; null without
    // an image.
    const LevelHistogram* ImageLevels();
    // Ends the parameter step in progress, if any, as one undo step.
    void CloseStep();
    // Scanning (ScanHandlers.cpp).
    void OnScanAcquire();
    void OnScanWithTables();
    void OnSaveScan();
    // 「チャートで校正...」 on the loaded image (CalibrateHandlers.cpp).
    void OnCalibrateChart();
    // Film (FilmHandlers.cpp): the kind of film, and the base and neutral
    // greys drawn over the image.
    void OnFilmMode(FilmMode mode);
    void OnPickBase();
    void OnPickGrey();
    const FilmSettings& Film() const { return film_; }

    // Channel controls.
    void UpdateChannelFromControls();
    void ShowChannelParams();

    // Renders the loaded image through the tables into the preview.
    void BuildPreviewBitmap();

    QIcon AppIcon;
    QCursor ArrowCursor;
    QCursor HandCursor;
    int Dragging = 0;
    std::int32_t DragLastX = 0;
    std::int32_t DragLastY = 0;
    CMyGraph* GraphArea = nullptr;
    CMyGraph* ImageArea = nullptr;
    // The current channel's slider positions, exchanged with the four sliders;
    // the declared defaults of kParamSpecs until the first exchange.
    ParamPositions SliderPositions;
    QTabBar* ChannelTab = nullptr;

    QSlider* Slider(Param param) const;

public slots:
    void accept() override;
    void done(int result) override;

protected:
    void DoDataExchange(DataExchange& dx);
    bool OnInitDialog();
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* key) override;

private:
    void WireMessageMap();
    AskUser& Ask() { return *ask_; }
    QLabel* Label(int id) const;
    void ShowValueLabels(const ChannelParams& values);
    // Copies positions into the slider members and moves the sliders to them.
    void MoveSliders(const ParamPositions& positions);
    void ShowReadout(const QString& red, const QString& green, const QString& blue);
    // Shows a state of all three channels as a load does: tables, sliders, plot.
    void ShowPositionSet(const ParamPositionSet& positions);
    // Shows a whole state, as undo and redo do: positions, film and picks.
    void ShowState(const ParamState& state);
    ParamState StateNow() const;
    void AppendReadingEntries();
    // Check marks and enabled entries as the state is now.
    void RefreshMenu();
    // A slider move goes on until its thumb is let go, the focus leaves it,
    // or no key moves it for this long.
    void ContinueStep();

    // Film (FilmHandlers.cpp).
    void AppendFilmEntries();
    void RefreshFilmMenu();
    void CreateFilmOverlay();
    // The film and its picks into the tables, the overlay and the preview.
    void ShowFilm(const FilmSettings& film, const FilmPicks& picks);
    // The overlay's shapes, bounds and mapping as the film and the preview are now.
    void SyncFilmOverlay();
    // The film measured on the loaded image, or nullopt after the problem was told.
    std::optional<FilmSettings> MeasureOnImage(FilmMode mode, const FilmPicks& picks);
    void OnFilmShapeFinished(std::size_t index);
    FilmPicks PicksOfShapes() const;

    // Scans on a worker thread, then runs `finish` there on the outcome (work
    // on the page that would otherwise hold up the window).
    ScanOutcome ScanInBackground(const SaneSession& session, const ScanSettings& settings,
                                 const std::function<void(ScanOutcome&)>& finish = {});
    // Scans a feeder's pages on a worker thread until it is empty, each
    // handed to `use` there; the progress says which page is being read.
    BatchOutcome BatchInBackground(const SaneSession& session, const ScanSettings& settings,
                                   const BatchPageUse& use);
    // 「テーブルでスキャン...」 from a feeder: each page into its numbered file,
    // or every page into one document (PDF).
    void ScanBatchWithTables(const SaneSession& session, const ScanSettings& settings,
                             const SaveTarget& target);
    void ScanBatchIntoDocument(const SaneSession& session, const ScanSettings& settings,
                               const SaveTarget& target);
    // The message a batch ends with: how it ended and where its pages went.
    void TellBatchEnd(const BatchOutcome& batch, const Reason& saveFailure,
                      const std::filesystem::path& failed, const QString& kept);
    // Whether the save may go on: true unless the name written exists, the
    // file dialog did not ask about it (an extension was added to the typed
    // name, or the dialog was told not to ask), and the user keeps it.
    bool MayReplace(const SaveTarget& target, const std::filesystem::path& typed, bool asked);
    void CancelScan();
    // False when the window went away, the user cancelled, or the scan
    // failed (the failure then told in one message with the device's reason).
    bool ScanSucceeded(const ScanOutcome& outcome);

    // True when closing may go on: no scan taken in is left unsaved, or
    // the user agreed to discard it.
    bool MayDiscardScan();
    // The same question before anything else replaces the scan.
    bool MayReplaceScan(ScanReplacedBy by);

    std::unique_ptr<SettingsStore> settings_; // before the users of the settings
    std::unique_ptr<ScanMemory> scanMemory_;
    std::unique_ptr<AskUser> ownAsk_;
    AskUser* ask_;
    ControlMap controls_;
    SystemMenu systemMenu_;
    UndoHistory undo_{ParamState{PositionSetOf(theChannelParams), {}, {}}};
    FilmSettings film_;                             // the film the tables' stages come from
    FilmPicks picks_;                               // drawn on the image shown now
    std::unique_ptr<SelectionOverlay> filmOverlay_; // the picks over the image area
    // The shape a pick draws and what it is; none outside a pick.
    struct PendingPick {
        std::size_t index;
        bool base;
    };
    std::optional<PendingPick> pendingPick_;
    // Where the pointer last moved over the dialog (device pixels), so that a
    // switch of the shown image can refresh the readout under it.
    std::optional<QPoint> lastPointer_;
    int wheelDelta_ = 0; // a wheel's eighths of a degree not yet a zoom step
    // The view moved (zoom, pan): repaint, the selection tool follows, the readout reads anew.
    void ViewMoved();
    QTimer* stepPause_ = nullptr;
    // Ended before the window's parts go: their deletion moves the focus too.
    QMetaObject::Connection focusWatch_;
    bool created_ = false;
    bool destroyed_ = false;
    std::atomic<bool>* scanCancel_ = nullptr;     // the running scan's cancel flag
    std::shared_ptr<SampleImage> scanned_;        // the last scan taken in, at its depth
    std::optional<Resolution> scannedResolution_; // and the resolution it was taken at
    bool scanSaved_ = false;                      // scanned_ has been saved to a file
    std::string scannedDevice_;                   // the device scanned_ came from
    std::filesystem::path imagePath_;             // the file the image came from; empty for a scan
    ScanPreview scanPreview_;                     // the scan dialog's last preview
};

// Sets a label's text only when it differs, so unchanged labels never
// flicker, and its accessible name with it, so a screen reader hears the text.
void SetTextIfChanged(QLabel* label, const QString& text, const QString& spokenName);
