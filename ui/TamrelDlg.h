// The main dialog: curve plot, channel tabs and sliders, image preview with
// pixel readout, and the buttons for files, images and closing. It keeps
// the controls and wires them to what each user activity is, an object it
// owns: the film picks, a chart's hand-off, scanning with the tables (a
// feeder's batch among it) and the unsaved-scan guard.
#pragma once

#include "image/rows/PixelRect.h"
#include "platform/DataExchange.h"
#include "platform/DialogBuilder.h"
#include "platform/SystemMenu.h"
#include "ui/ChartHandOff.h"
#include "ui/FilmPicker.h"
#include "ui/ImagePointer.h"
#include "ui/ParamSteps.h"
#include "ui/PictureOrigin.h"
#include "ui/ScanPreview.h"
#include "ui/ScanRunner.h"
#include "ui/SpokenLabel.h"
#include "ui/TableScanning.h"
#include "ui/UnsavedScanGuard.h"
#include "ui/WindowChannels.h"

#include <QCursor>
#include <QDialog>
#include <QIcon>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

class AskUser;
class KeptImage;
struct PictureCounts;
class ScanMemory;
class SettingsStore;
class CMyGraph;
class QContextMenuEvent;
class QKeyEvent;
class QLabel;
class QSlider;
class QTabBar;

// What moved a slider: a step of any kind, or the end of a thumb drag.
enum class ScrollCode { Step, EndScroll };

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
    // the kept image, its preview, the before-image, the level counts, the
    // readout and where it came from change together.
    void ReplaceImage(KeptImage image, PictureOrigin origin);
    // The loaded picture's counts, counted now if not yet; null without one.
    const PictureCounts* ImageLevels();
    // Ends the parameter step in progress, if any, as one undo step.
    void CloseStep();
    // Scanning: a page into the window, through the tables into files, and
    // the page taken in saved.
    void OnScanAcquire();
    void OnScanWithTables();
    void OnSaveScan();
    // 「チャートで校正...」 on the loaded image.
    void OnCalibrateChart();
    // The kind of film, and the base and neutral greys drawn over the image.
    void OnFilmMode(FilmMode mode);
    void OnPickBase();
    void OnPickGrey();
    // ロール...: strips in a dialog of its own; a frame chosen there is
    // the window's picture, with its film as one undo step.
    void OnRoll();
    void ShowRollFrame(const std::filesystem::path& strip, const PixelRect& rect,
                       const FilmSettings& film);
    const FilmSettings& Film() const { return film_.Film(); }

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
    void AppendMenuEntries();
    // The graph's fixed size, the image area's recorded one, the paint
    // callbacks and the picks' overlay.
    void PlaceAreas();
    // The tabs, and the sliders' ranges and keys.
    void SetUpChannelControls();
    void OnContextMenu(const QContextMenuEvent& menu);
    // The pointer over the dialog, in device pixels; true when it was taken
    // (a Ctrl+wheel zoom), false when the dialog's own handling goes on.
    bool RouteMouse(QEvent& e);
    AskUser& Ask() { return *ask_; }
    QLabel* Label(int id) const;
    void ShowValueLabels(const ChannelParams& values);
    // Copies positions into the slider members and moves the sliders to them.
    void MoveSliders(const ParamPositions& positions);
    // Shows a state of all three channels as a load does: tables, sliders, plot.
    void ShowPositionSet(const ParamPositionSet& positions);
    // The positions as one undo step of their own.
    void ApplyPositionsAsStep(const ParamPositionSet& positions);
    // Shows a whole state, as undo and redo do: positions, film and picks.
    void ShowState(const ParamState& state);
    ParamState StateNow() const;
    // Check marks and enabled entries as the state is now.
    void RefreshMenu();
    // The film is in the tables: the preview, the plot, the menu and the readout follow.
    void FilmShown(bool filmChanged);
    // The status line: what was done, and the file it was done to. The
    // whole of it is spoken; where it does not fit, the path gives up its
    // folders first.
    void ShowStatus(const QString& lead, const QString& path);

    std::unique_ptr<SettingsStore> settings_; // before the users of the settings
    std::unique_ptr<ScanMemory> scanMemory_;
    std::unique_ptr<AskUser> ownAsk_;
    AskUser* ask_;
    ControlMap controls_;
    SystemMenu systemMenu_;
    // The activities, after what they use.
    FilmPicker film_;
    ParamSteps steps_; // after the film, which is part of each step
    ChartHandOff charts_;
    ScanRunner scans_;
    TableScanning tableScans_;
    UnsavedScanGuard unsavedScan_;
    PictureOrigin origin_;                // where the picture shown came from
    ScanPreview scanPreview_;             // the scan dialog's last preview
    std::optional<ImagePointer> pointer_; // once the image area exists
    // Ended before the window's parts go: their deletion moves the focus too.
    QMetaObject::Connection focusWatch_;
    bool created_ = false;
    bool destroyed_ = false;
};
