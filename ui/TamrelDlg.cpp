// The main dialog's life: construction, data exchange, initialisation, the
// system commands and the release of the preview when the window goes.
#include "ui/TamrelDlg.h"

#include "curve/ChannelParams.h"
#include "platform/QtAskUser.h"
#include "platform/SettingsStore.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/Version.h"
#include "ui/AboutDlg.h"
#include "ui/AppIcon.h"
#include "ui/CMyGraph.h"
#include "ui/CurvePlot.h"
#include "ui/DeviceScale.h"
#include "ui/HistogramView.h"
#include "ui/ImageView.h"
#include "ui/ScanMemory.h"
#include "ui/SelectionOverlay.h"
#include "ui/SettingsNote.h"
#include "ui/SliderAccessible.h"
#include "ui/SliderKeys.h"

#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <QTimer>

namespace {

constexpr const char* kChannelNames[kChannelCount] = {"Red", "Green", "Blue"};
static_assert(std::size(kSliderIds) == kParamCount);

// Statics that the owner paints are CMyGraph controls, trackbars speak their
// shown value; the rest are built plainly.
QWidget* MakeOwnControl(const ControlTemplate& c, QWidget* parent) {
    switch (c.kind) {
    case ControlKind::PaintArea:
        return new CMyGraph(c.id, parent);
    case ControlKind::Trackbar:
        return new SpokenSlider(parent);
    default:
        return nullptr;
    }
}

// Slider position <-> member, validated against the parameter's range.
void ExchangeParam(DataExchange& dx, int id, int& position, Param param) {
    dx.Slider(id, position);
    dx.MinMax(position, SpecOf(param).minPos, SpecOf(param).maxPos);
}

void SetSliderRange(QSlider* slider, Param param) {
    const QSignalBlocker quiet(slider); // a range change is not a user's move
    slider->setRange(SpecOf(param).minPos, SpecOf(param).maxPos);
}

} // namespace

CTamrelDlg::CTamrelDlg(AskUser* ask)
    : QDialog(nullptr), settings_(std::make_unique<SettingsStore>(
                            QString::fromLatin1(kCompanyName), QString::fromLatin1(kProductName))),
      scanMemory_(std::make_unique<ScanMemory>(*settings_)),
      ownAsk_(ask ? nullptr : std::make_unique<QtAskUser>(this, settings_.get())),
      ask_(ask ? ask : ownAsk_.get()) {
    DragLastX = 0;
    DragLastY = 0;
    AppIcon = LoadAppIcon();
    ArrowCursor = QCursor(Qt::ArrowCursor);
    HandCursor = QCursor(Qt::PointingHandCursor);
    Dragging = 0;
}

CTamrelDlg::~CTamrelDlg() {
    AttachImageOverlay(nullptr);
    disconnect(focusWatch_);
    if (created_ && !destroyed_) {
        OnDestroy();
    }
}

void CTamrelDlg::Create() {
    if (created_) {
        return;
    }
    created_ = true;
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setMouseTracking(true); // moves without a button reach the readout
    InstallSliderAccessibility();
    controls_ = BuildDialog(*this, kMainDialogTemplate, MakeOwnControl).controls;
    WireMessageMap();
    OnInitDialog();
}

int CTamrelDlg::DoModal() {
    Create();
    return exec();
}

bool CTamrelDlg::UpdateData(bool saveAndValidate) {
    return RunDataExchange(saveAndValidate ? ExchangeDirection::Save : ExchangeDirection::Load,
                           controls_, Ask(), [this](DataExchange& dx) { DoDataExchange(dx); });
}

void CTamrelDlg::DoDataExchange(DataExchange& dx) {
    dx.Bind(IDC_GRAPH, GraphArea);
    for (std::size_t i = 0; i < kParamCount; ++i) {
        ExchangeParam(dx, kSliderIds[i], SliderPositions[kAllParams[i]], kAllParams[i]);
    }
    dx.Bind(IDC_CHANNEL_TAB, ChannelTab);
    dx.Bind(IDC_IMAGE, ImageArea);
}

bool CTamrelDlg::OnInitDialog() {
    // The first exchange binds the controls; the sliders still have their
    // initial range 0..100, so White and Gamma are clamped until step 10.
    UpdateData(false);

    AppendReadingEntries();
    AppendFilmEntries();
    const QString about = LoadResourceString(IDS_ABOUTBOX);
    if (!about.isEmpty()) {
        systemMenu_.AppendSeparator();
        systemMenu_.AppendItem(IDM_ABOUTBOX, about);
    }
    systemMenu_.AppendSeparator();
    systemMenu_.AppendItem(IDM_SCAN_ACQUIRE, QStringLiteral("スキャナから取り込む(&S)..."));
    systemMenu_.AppendItem(IDM_SCAN_TABLES, QStringLiteral("テーブルでスキャン(&T)..."));
    systemMenu_.AppendItem(IDM_SAVE_SCAN, QStringLiteral("取り込んだ画像を保存(&V)..."));
    systemMenu_.AppendSeparator();
    systemMenu_.AppendItem(IDM_CALIBRATE_CHART, QStringLiteral("チャートで校正(&K)..."));
    setWindowIcon(AppIcon);

    // The plot's fixed pixel layout needs a 272 x 272 client area: 276 x 276
    // with the 2-pixel sunken edge, at the template's corner.
    GraphArea->setGeometry(QRect(GraphArea->pos(), QSize(kGraphControlSize, kGraphControlSize)));
    GraphArea->update();
    // The preview is laid out in device pixels (one image pixel each).
    RecordImageAreaSize(ToDevice(ImageArea->ClientRect().size(), DeviceScaleOf(ImageArea)));

    GraphArea->PaintCallback = DrawCurvePlot;
    ImageArea->PaintCallback = DrawImageArea;
    CreateFilmOverlay();

    {
        const QSignalBlocker quiet(ChannelTab); // inserting is not a user's selection
        for (const char* name : kChannelNames) {
            ChannelTab->addTab(QString::fromLatin1(name));
        }
        ChannelTab->setCurrentIndex(kRed);
    }
    auto* keys = new SliderKeys(this);
    for (const Param p : kAllParams) {
        SetSliderRange(Slider(p), p);
        keys->Attach(Slider(p));
    }
    controls_.Item(IDC_APPLY)->setEnabled(false);

    UpdateData(false); // now within the final ranges
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        ComputeChannelTable(theChannelParams[ch], theGammaTables[ch]);
    }
    UpdateChannelFromControls();
    undo_ = UndoHistory(StateNow());
    RefreshMenu();
    // Once the window is up: the note stands beside it.
    QTimer::singleShot(0, this, [this] { ShowSettingsNote(this, *settings_); });
    return true;
}

void CTamrelDlg::accept() {
    if (!UpdateData(true)) {
        return; // the range message has been shown; the dialog stays open
    }
    QDialog::accept();
}

void CTamrelDlg::done(int result) {
    if (!destroyed_ && !MayDiscardScan()) {
        return; // the window stays open with its scan
    }
    CancelScan();
    QDialog::done(result);
    if (created_ && !destroyed_) {
        OnDestroy();
    }
}

void CTamrelDlg::OnDestroy() {
    destroyed_ = true;
    ReleasePreview();
    AttachImageOverlay(nullptr);
    theHistogramView.input.reset();
}

void CTamrelDlg::OnSysCommand(unsigned id, std::intptr_t) {
    if ((id & kSysCommandMask) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
        return;
    }
    const std::pair<unsigned, void (CTamrelDlg::*)()> reading[] = {
        {IDM_SHOW_HISTOGRAM, &CTamrelDlg::OnShowHistogram},
        {IDM_OUTPUT_HISTOGRAM, &CTamrelDlg::OnOutputHistogram},
        {IDM_AUTO_BLACK_WHITE, &CTamrelDlg::OnAutoBlackWhite},
        {IDM_SHOW_BEFORE, &CTamrelDlg::OnToggleBefore},
        {IDM_UNDO, &CTamrelDlg::OnUndo},
        {IDM_REDO, &CTamrelDlg::OnRedo},
        {IDM_ZOOM_FIT, &CTamrelDlg::OnZoomToFit},
        {IDM_ZOOM_ACTUAL, &CTamrelDlg::OnZoomActual},
        {IDM_PICK_BASE, &CTamrelDlg::OnPickBase},
        {IDM_PICK_GREY, &CTamrelDlg::OnPickGrey},
    };
    for (const auto& [command, handler] : reading) {
        if ((id & kSysCommandMask) == command) {
            (this->*handler)();
            return;
        }
    }
    switch (id & kSysCommandMask) {
    case IDM_FILM_POSITIVE:
        OnFilmMode(FilmMode::Positive);
        break;
    case IDM_FILM_COLOUR:
        OnFilmMode(FilmMode::ColourNegative);
        break;
    case IDM_FILM_BLACK_WHITE:
        OnFilmMode(FilmMode::BlackAndWhite);
        break;
    case IDM_SCAN_ACQUIRE:
        OnScanAcquire();
        break;
    case IDM_SCAN_TABLES:
        OnScanWithTables();
        break;
    case IDM_SAVE_SCAN:
        OnSaveScan();
        break;
    case IDM_CALIBRATE_CHART:
        OnCalibrateChart();
        break;
    case SC_MINIMIZE:
        showMinimized();
        break;
    case SC_CLOSE:
        reject();
        break;
    default:
        break;
    }
}

QSlider* CTamrelDlg::Slider(Param param) const {
    return controls_.ItemAs<QSlider>(kSliderIds[static_cast<std::size_t>(param)]);
}

QLabel* CTamrelDlg::Label(int id) const {
    return controls_.ItemAs<QLabel>(id);
}

void SetTextIfChanged(QLabel* label, const QString& text, const QString& spokenName) {
    if (!label) {
        return;
    }
    if (label->text() != text) {
        label->setText(text);
    }
    if (label->accessibleName() != spokenName) {
        label->setAccessibleName(spokenName);
    }
}
