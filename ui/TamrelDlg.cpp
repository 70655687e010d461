// The main dialog's life (construction, data exchange, initialisation, the
// release of the preview when the window goes), its message map, the one
// table of its context menu's commands, and the handlers that the
// controls, the keys and the pointer reach. The handlers stay thin: they
// ask the user, hand the work to the core or to an activity, and show the
// result.
#include "ui/TamrelDlg.h"

#include "curve/AutoBlackWhite.h"
#include "curve/ChannelStore.h"
#include "curve/FilmTables.h"
#include "image/CountLevels.h"
#include "image/ReadImage.h"
#include "image/preview/PreviewState.h"
#include "image/preview/RenderPreview.h"
#include "image/rows/MemoryRows.h"
#include "platform/QtAskUser.h"
#include "platform/SettingsStore.h"
#include "platform/WaitCursor.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/Version.h"
#include "scan/SaneSession.h"
#include "ui/AboutDlg.h"
#include "ui/AppIcon.h"
#include "ui/CMyGraph.h"
#include "ui/CurvePlot.h"
#include "ui/DeviceScale.h"
#include "ui/DialogKeys.h"
#include "ui/HistogramView.h"
#include "ui/ImageView.h"
#include "ui/OpenImage.h"
#include "ui/ParamFiles.h"
#include "ui/ReasonText.h"
#include "ui/RollDialog.h"
#include "ui/ScanDialog.h"
#include "ui/ScanFiles.h"
#include "ui/ScanMemory.h"
#include "ui/SettingsNote.h"
#include "ui/SliderAccessible.h"
#include "ui/SliderKeys.h"
#include "ui/UserPath.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr const char* kChannelNames[kChannelCount] = {"Red", "Green", "Blue"};
static_assert(std::size(kSliderIds) == kParamCount);
constexpr int kValueLabelIds[kParamCount] = {IDC_VALUE_BLACK, IDC_VALUE_WHITE, IDC_VALUE_ALPHA,
                                             IDC_VALUE_GAMMA};

const QString kResetQuestion = QStringLiteral("全てのパラメータをリセットします。");
const QString kNothingScanned = QStringLiteral("取り込んだ画像がありません。");
const QString kScanSaved = QStringLiteral("保存しました: ");
const QString kCannotShowFrame = QStringLiteral("コマを表示できません。");
const QString kStatusName = QStringLiteral("状態"); // what the empty status line is called

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

// A scanned page becomes the window's picture on the worker: a 16-bit page
// as it is, an 8-bit one by the road a file takes (at 1200 dpi that is a
// good part of a second the window would not paint in).
std::function<void(ScanOutcome&)> KeepInto(std::shared_ptr<const SampleImage>& page,
                                           KeptImage& picture) {
    return [&page, &picture](ScanOutcome& done) {
        if (done.reason) {
            return;
        }
        page = std::make_shared<const SampleImage>(std::move(done.image));
        Outcome<KeptImage> kept = KeepPage(page);
        if (!kept) {
            done.reason = kept.Why();
            return;
        }
        picture = std::move(*kept);
    };
}

// One entry of the context menu and the command it runs. Separators and
// the standard entries are rows too, so that the table reads as the menu does.
struct MenuCommand {
    enum class Kind {
        Standard,  // in the menu from the start
        Separator, // a line before the next entry
        Item,
        Check, // shows a check mark while on
        About, // string IDS_ABOUTBOX after a separator; neither when the string is empty
    };
    Kind kind;
    unsigned id = 0;
    const char* text = nullptr; // UTF-8
    // The key shown beside the text (keyPressEvent handles it): a key, or
    // the platform's standard one.
    int key = 0;
    QKeySequence::StandardKey standardKey = QKeySequence::UnknownKey;
    void (*run)(CTamrelDlg&) = nullptr;

    QKeySequence Key() const {
        return standardKey != QKeySequence::UnknownKey ? QKeySequence(standardKey)
                                                       : QKeySequence(key);
    }
};

using K = MenuCommand::Kind;
using D = CTamrelDlg;
// clang-format off
constexpr MenuCommand kCommands[] = {
    {K::Standard, SC_MINIMIZE, nullptr, 0, {}, [](D& d) { d.showMinimized(); }},
    {K::Standard, SC_CLOSE, nullptr, 0, {}, [](D& d) { d.reject(); }},
    {K::Separator},
    {K::Check, IDM_SHOW_HISTOGRAM, "ヒストグラムを表示", 0, {}, [](D& d) { d.OnShowHistogram(); }},
    {K::Check, IDM_OUTPUT_HISTOGRAM, "出力ヒストグラム", 0, {}, [](D& d) { d.OnOutputHistogram(); }},
    {K::Item, IDM_AUTO_BLACK_WHITE, "Black/White を画像から設定", 0, {}, [](D& d) { d.OnAutoBlackWhite(); }},
    {K::Check, IDM_SHOW_BEFORE, "補正前の画像", 0, {}, [](D& d) { d.OnToggleBefore(); }},
    {K::Item, IDM_ZOOM_FIT, "全体を表示", Qt::Key_F, {}, [](D& d) { d.OnZoomToFit(); }},
    {K::Item, IDM_ZOOM_ACTUAL, "100%", Qt::Key_1, {}, [](D& d) { d.OnZoomActual(); }},
    {K::Separator},
    {K::Item, IDM_UNDO, "元に戻す", 0, QKeySequence::Undo, [](D& d) { d.OnUndo(); }},
    {K::Item, IDM_REDO, "やり直し", (Qt::CTRL | Qt::Key_Y).toCombined(), {}, [](D& d) { d.OnRedo(); }},
    {K::Separator},
    {K::Check, IDM_FILM_POSITIVE, "フィルム: ポジ(&P)", 0, {}, [](D& d) { d.OnFilmMode(FilmMode::Positive); }},
    {K::Check, IDM_FILM_COLOUR, "フィルム: カラーネガ(&E)", 0, {}, [](D& d) { d.OnFilmMode(FilmMode::ColourNegative); }},
    {K::Check, IDM_FILM_BLACK_WHITE, "フィルム: 白黒ネガ(&M)", 0, {}, [](D& d) { d.OnFilmMode(FilmMode::BlackAndWhite); }},
    {K::Item, IDM_PICK_BASE, "ベースを選択(&B)", 0, {}, [](D& d) { d.OnPickBase(); }},
    {K::Item, IDM_PICK_GREY, "グレーを選択(&G)", 0, {}, [](D& d) { d.OnPickGrey(); }},
    {K::Item, IDM_ROLL, "ロール(&L)...", 0, {}, [](D& d) { d.OnRoll(); }},
    {K::About, IDM_ABOUTBOX, nullptr, 0, {}, [](D& d) { CAboutDlg(&d).DoModal(); }},
    {K::Separator},
    {K::Item, IDM_SCAN_ACQUIRE, "スキャナから取り込む(&S)...", 0, {}, [](D& d) { d.OnScanAcquire(); }},
    {K::Item, IDM_SCAN_TABLES, "テーブルでスキャン(&T)...", 0, {}, [](D& d) { d.OnScanWithTables(); }},
    {K::Item, IDM_SAVE_SCAN, "取り込んだ画像を保存(&V)...", 0, {}, [](D& d) { d.OnSaveScan(); }},
    {K::Separator},
    {K::Item, IDM_CALIBRATE_CHART, "チャートで校正(&K)...", 0, {}, [](D& d) { d.OnCalibrateChart(); }},
};
// clang-format on

} // namespace

CTamrelDlg::CTamrelDlg(AskUser* ask)
    : QDialog(nullptr), settings_(std::make_unique<SettingsStore>(
                            QString::fromLatin1(kCompanyName), QString::fromLatin1(kProductName))),
      scanMemory_(std::make_unique<ScanMemory>(*settings_)),
      ownAsk_(ask ? nullptr : std::make_unique<QtAskUser>(this, settings_.get())),
      ask_(ask ? ask : ownAsk_.get()),
      film_(*ask_, {[this] { CloseStep(); }, [this](bool changed) { FilmShown(changed); },
                    [this](const QString& text) { ShowStatus(text, {}); }}),
      steps_(this, {[this] { return StateNow(); },
                    [this] {
                        return std::any_of(kAllParams.begin(), kAllParams.end(),
                                           [this](Param p) { return Slider(p)->isSliderDown(); });
                    },
                    [this] { RefreshMenu(); }}),
      charts_(*ask_, *settings_, *scanMemory_,
              [this](const ParamPositionSet& positions) { ApplyPositionsAsStep(positions); }),
      scans_(this), tableScans_(scans_, *ask_, *scanMemory_), unsavedScan_(*ask_) {
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
    AppendMenuEntries();
    setWindowIcon(AppIcon);
    PlaceAreas();
    SetUpChannelControls();
    controls_.Item(IDC_APPLY)->setEnabled(false);

    UpdateData(false); // now within the final ranges
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        ComputeChannelTable(theChannelParams[ch], theGammaTables[ch]);
    }
    UpdateChannelFromControls();
    steps_.Restart();
    RefreshMenu();
    // Once the window is up: the note stands beside it.
    QTimer::singleShot(0, this, [this] { ShowSettingsNote(this, *settings_); });
    return true;
}

void CTamrelDlg::AppendMenuEntries() {
    for (const MenuCommand& c : kCommands) {
        const QString about = c.kind == K::About ? LoadResourceString(IDS_ABOUTBOX) : QString();
        if (c.kind == K::Separator || !about.isEmpty()) {
            systemMenu_.AppendSeparator();
        }
        if (c.kind == K::Check) {
            systemMenu_.AppendCheckItem(c.id, QString::fromUtf8(c.text));
        } else if (c.kind == K::Item) {
            systemMenu_.AppendItem(c.id, QString::fromUtf8(c.text), c.Key());
        } else if (!about.isEmpty()) {
            systemMenu_.AppendItem(c.id, about);
        }
    }
}

void CTamrelDlg::PlaceAreas() {
    // The plot's fixed pixel layout needs a 272 x 272 client area: 276 x 276
    // with the 2-pixel sunken edge, at the template's corner.
    GraphArea->setGeometry(QRect(GraphArea->pos(), QSize(kGraphControlSize, kGraphControlSize)));
    GraphArea->update();
    // The preview is laid out in device pixels (one image pixel each).
    RecordImageAreaSize(ToDevice(ImageArea->ClientRect().size(), DeviceScaleOf(ImageArea)));
    GraphArea->PaintCallback = DrawCurvePlot;
    ImageArea->PaintCallback = DrawImageArea;
    film_.Attach(ImageArea, this, Label(IDC_FILM_MODE));
    pointer_.emplace(this, ImageArea,
                     std::array{Label(IDC_PIXEL_R), Label(IDC_PIXEL_G), Label(IDC_PIXEL_B)},
                     ImagePointer::Pan{Dragging, DragLastX, DragLastY},
                     ImagePointer::Cursors{ArrowCursor, HandCursor});
}

void CTamrelDlg::SetUpChannelControls() {
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
}

void CTamrelDlg::accept() {
    if (!UpdateData(true)) {
        return; // the range message has been shown; the dialog stays open
    }
    QDialog::accept();
}

void CTamrelDlg::done(int result) {
    if (!destroyed_ && !unsavedScan_.MayReplace(ScanReplacedBy::Closing)) {
        return; // the window stays open with its scan
    }
    scans_.Stop();
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

// Routes from controls, in the order of the message map:
//   system menu -> OnSysCommand (see event()), sliders -> OnHScroll,
//   1012 -> OnSelchangeChannelTab, 1015 -> OnExportTables, 1016 -> OnResetParams,
//   1013 -> OnSaveParams, 1014 -> OnLoadParams, 1018 -> OnOpenImage,
//   window end -> OnDestroy (see done()), 1019 -> OnApply, mouse -> event().
void CTamrelDlg::WireMessageMap() {
    for (int id : kSliderIds) {
        auto* slider = controls_.ItemAs<QSlider>(id);
        // Any user move: drag, arrow and page keys, clicks beside the thumb.
        connect(slider, &QSlider::valueChanged, this,
                [this, slider](int value) { OnHScroll(ScrollCode::Step, value, slider); });
        connect(slider, &QSlider::sliderReleased, this,
                [this, slider] { OnHScroll(ScrollCode::EndScroll, slider->value(), slider); });
    }
    // A run of key presses on a slider ends when the focus leaves it.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (qobject_cast<QSlider*>(old) && old->window() == this) {
            CloseStep();
        }
    });
    connect(controls_.ItemAs<QTabBar>(IDC_CHANNEL_TAB), &QTabBar::currentChanged, this,
            [this] { OnSelchangeChannelTab(); });
    const std::pair<int, void (CTamrelDlg::*)()> buttons[] = {
        {IDC_EXPORT_TABLES, &CTamrelDlg::OnExportTables},
        {IDC_RESET_PARAMS, &CTamrelDlg::OnResetParams},
        {IDC_SAVE_PARAMS, &CTamrelDlg::OnSaveParams},
        {IDC_LOAD_PARAMS, &CTamrelDlg::OnLoadParams},
        {IDC_OPEN_IMAGE, &CTamrelDlg::OnOpenImage},
        {IDC_APPLY, &CTamrelDlg::OnApply},
        {IDOK, &CTamrelDlg::accept},
    };
    for (const auto& [id, handler] : buttons) {
        connect(controls_.ItemAs<QPushButton>(id), &QPushButton::clicked, this,
                [this, run = handler] { (this->*run)(); });
    }
}

// Window events of the dialog itself: the system menu (from the mouse over
// the background and the two areas, or from the keyboard anywhere), and the
// mouse over the dialog (the statics let it through to here).
bool CTamrelDlg::event(QEvent* e) {
    if (e->type() == QEvent::ContextMenu) {
        OnContextMenu(*static_cast<QContextMenuEvent*>(e));
        return true;
    }
    if (RouteMouse(*e)) {
        return true;
    }
    return QDialog::event(e);
}

void CTamrelDlg::OnContextMenu(const QContextMenuEvent& menu) {
    // A click over a button, slider or the tabs is theirs, not the dialog's;
    // the statics let the pointer through, so childAt finds only real controls.
    if (menu.reason() == QContextMenuEvent::Mouse && childAt(menu.pos())) {
        return;
    }
    RefreshMenu();
    if (const auto command = systemMenu_.Popup(this, menu.globalPos())) {
        OnSysCommand(*command, 0);
    }
}

bool CTamrelDlg::RouteMouse(QEvent& e) {
    switch (e.type()) {
    case QEvent::MouseButtonPress: {
        const auto& mouse = static_cast<QMouseEvent&>(e);
        if (mouse.button() == Qt::LeftButton) {
            OnLButtonDown(ToDevice(mouse.position(), DeviceScaleOf(this)), mouse.modifiers());
        }
        return false;
    }
    case QEvent::Wheel: {
        const auto& wheel = static_cast<QWheelEvent&>(e);
        return (wheel.modifiers() & Qt::ControlModifier) &&
               OnCtrlWheel(ToDevice(wheel.position(), DeviceScaleOf(this)), wheel.angleDelta().y());
    }
    case QEvent::MouseMove:
        OnMouseMove(ToDevice(static_cast<QMouseEvent&>(e).position(), DeviceScaleOf(this)));
        return false;
    case QEvent::Leave:
        OnMouseLeave();
        return false;
    case QEvent::MouseButtonRelease: {
        const auto& mouse = static_cast<QMouseEvent&>(e);
        if (mouse.button() == Qt::LeftButton) {
            OnLButtonUp(ToDevice(mouse.position(), DeviceScaleOf(this)));
        }
        return false;
    }
    default:
        return false;
    }
}

void CTamrelDlg::keyPressEvent(QKeyEvent* key) {
    if (const int step = ChannelStepOf(*key)) {
        const int count = ChannelTab->count();
        ChannelTab->setCurrentIndex((ChannelTab->currentIndex() + step + count) % count);
        return;
    }
    if (const std::optional<unsigned> command = CommandOfKey(*key)) {
        OnSysCommand(*command, 0);
        return;
    }
    if (IsMenuKey(*key)) {
        const QWidget* focus = focusWidget() ? focusWidget() : this;
        const QPoint at = focus->mapTo(this, focus->rect().center());
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, mapToGlobal(at));
        event(&menu);
        return;
    }
    QDialog::keyPressEvent(key);
}

void CTamrelDlg::OnSysCommand(unsigned id, std::intptr_t) {
    for (const MenuCommand& c : kCommands) {
        if (c.run && c.id == (id & kSysCommandMask)) {
            c.run(*this);
            return;
        }
    }
}

void CTamrelDlg::RefreshMenu() {
    const bool pixels = thePreviewState.Picture().HasPixels();
    systemMenu_.SetChecked(IDM_SHOW_HISTOGRAM, theHistogramView.shown);
    systemMenu_.SetChecked(IDM_OUTPUT_HISTOGRAM, theHistogramView.output);
    systemMenu_.SetEnabled(IDM_AUTO_BLACK_WHITE, pixels);
    systemMenu_.SetEnabled(IDM_CALIBRATE_CHART, pixels);
    systemMenu_.SetChecked(IDM_SHOW_BEFORE, ShowingImageBeforeTables());
    systemMenu_.SetEnabled(IDM_ZOOM_FIT, pixels);
    systemMenu_.SetEnabled(IDM_ZOOM_ACTUAL, pixels);
    systemMenu_.SetEnabled(IDM_UNDO, steps_.CanUndo());
    systemMenu_.SetEnabled(IDM_REDO, steps_.CanRedo());
    film_.RefreshEntries(systemMenu_);
}

QSlider* CTamrelDlg::Slider(Param param) const {
    return controls_.ItemAs<QSlider>(kSliderIds[static_cast<std::size_t>(param)]);
}

QLabel* CTamrelDlg::Label(int id) const {
    return controls_.ItemAs<QLabel>(id);
}

// The sliders, value labels and channel tabs: moving a slider stores the
// current channel and recomputes its table at once; the tabs choose the channel.

void CTamrelDlg::ShowValueLabels(const ChannelParams& values) {
    for (std::size_t i = 0; i < kParamCount; ++i) {
        const Param p = kAllParams[i];
        const QString text = QString::fromLatin1(FormatValue(p, ValueOf(values, p)));
        // A screen reader hears the value with the label's name: "Alpha 1.099".
        SetTextIfChanged(Label(kValueLabelIds[i]), text,
                         QString::fromLatin1(SpecOf(p).name) + u' ' + text.trimmed());
        SetSpokenValue(Slider(p), text);
    }
}

void CTamrelDlg::MoveSliders(const ParamPositions& positions) {
    SliderPositions = positions;
    UpdateData(false);
}

void CTamrelDlg::UpdateChannelFromControls() {
    if (!UpdateData(true)) {
        return;
    }
    const ParamPositions positions = SliderPositions;
    ShowValueLabels(MakeChannelParams(positions));
    const int channel = ChannelTab->currentIndex();
    if (channel < 0) {
        return;
    }
    theChannelParams[channel] = MakeChannelParams(positions, theChannelParams[channel].Film);
    ComputeChannelTable(theChannelParams[channel], theGammaTables[channel]);
    GraphArea->update();
}

void CTamrelDlg::ShowChannelParams() {
    const int channel = ChannelTab->currentIndex();
    if (channel < 0) {
        return;
    }
    MoveSliders(PositionsOf(theChannelParams[channel]));
    ShowValueLabels(theChannelParams[channel]);
}

void CTamrelDlg::OnHScroll(ScrollCode code, int, QSlider*) {
    UpdateChannelFromControls();
    if (code == ScrollCode::EndScroll) {
        CloseStep();
    } else {
        steps_.Continue();
    }
}

void CTamrelDlg::OnSelchangeChannelTab() {
    CloseStep(); // the move on the previous channel is done
    const int channel = ChannelTab->currentIndex();
    if (channel < 0) {
        return;
    }
    MoveSliders(PositionsOf(theChannelParams[channel]));
    UpdateChannelFromControls();
}

void CTamrelDlg::OnResetParams() {
    if (Ask().ShowMessage(kResetQuestion, MessageButtons::OkCancel, MessageIcon::Question) !=
        Answer::Ok) {
        return;
    }
    CloseStep();
    ResetToDefaults(theChannelParams, theGammaTables);
    GraphArea->update();
    ShowChannelParams();
    CloseStep();
}

// The file buttons: their questions and messages are ParamFiles'.

void CTamrelDlg::OnExportTables() {
    ExportTablesAsked(Ask(), theGammaTables, film_.Film().IsNegative());
}

void CTamrelDlg::OnSaveParams() {
    SaveParamsAsked(Ask(), PositionSetOf(theChannelParams), film_.Film());
}

void CTamrelDlg::OnLoadParams() {
    const std::optional<ParamLoad> load = LoadParamsAsked(Ask());
    if (!load) {
        return;
    }
    CloseStep(); // a move in progress is a step of its own, before the load's
    ApplyPositionSet(load->positions, theChannelParams, theGammaTables);
    // The file's film (a positive when it has none); its rectangles were
    // drawn on another image.
    film_.Show(load->film, {});
    GraphArea->update();
    ShowChannelParams();
    CloseStep();
}

// Undo and redo: the steps are ParamSteps'; a state shown again is all of
// it, the positions, the film and the picks.

void CTamrelDlg::CloseStep() {
    steps_.Close();
}

ParamState CTamrelDlg::StateNow() const {
    return {PositionSetOf(theChannelParams), film_.Film(), film_.Picks()};
}

void CTamrelDlg::ShowState(const ParamState& state) {
    ApplyPositionSet(state.positions, theChannelParams, theGammaTables);
    if (state.film != film_.Film() || state.picks != film_.Picks()) {
        film_.Show(state.film, state.picks);
    }
    GraphArea->update();
    ShowChannelParams();
}

void CTamrelDlg::ShowPositionSet(const ParamPositionSet& positions) {
    ApplyPositionSet(positions, theChannelParams, theGammaTables);
    GraphArea->update();
    ShowChannelParams();
}

void CTamrelDlg::ApplyPositionsAsStep(const ParamPositionSet& positions) {
    CloseStep();
    ShowPositionSet(positions);
    CloseStep();
}

void CTamrelDlg::OnUndo() {
    if (const auto state = steps_.Undo()) {
        ShowState(*state);
    }
    RefreshMenu();
}

void CTamrelDlg::OnRedo() {
    if (const auto state = steps_.Redo()) {
        ShowState(*state);
    }
    RefreshMenu();
}

// Opening an image and Apply: the image is read, pushed through the three
// tables into the preview and centred; Apply renders it anew with the tables
// as they are now. Slider moves never touch the preview.

void CTamrelDlg::OnOpenImage() {
    if (!unsavedScan_.MayReplace(ScanReplacedBy::Opening)) {
        return;
    }
    std::optional<OpenedImage> opened = OpenImageAsked(Ask());
    if (opened) {
        ReplaceImage(std::move(opened->image), PictureOrigin{opened->path, std::nullopt});
        TellOpenWarning(Ask(), *opened);
    }
}

void CTamrelDlg::BuildPreviewBitmap() {
    const WaitCursor wait;
    PreviewState& s = thePreviewState;
    const PictureTables tables = WholeTables(s.Picture(), theGammaTables, theChannelParams);
    if (!s.PreviewBitmap) {
        s.PreviewMap = ToneMapFor(s.Picture(), tables);
        s.PreviewBitmap =
            BuildPicture(s.Picture(), tables, s.PreviewMap ? &*s.PreviewMap : nullptr);
    } else {
        // The image's size has not changed: the existing preview is reused.
        ReapplyTables(s, tables);
    }
    PreviewPixelsChanged();
}

void CTamrelDlg::OnApply() {
    BuildPreviewBitmap();
    ImageArea->update();
}

// The levels are not counted while an image is read, so that its picture
// comes as soon as it can; they are counted when the histogram or
// Black/White first needs them.
void CTamrelDlg::ReplaceImage(KeptImage image, PictureOrigin origin) {
    {
        const WaitCursor wait;
        // Drops the previous image and preview, renders the new one, centres it.
        const PictureTables tables = WholeTables(image, theGammaTables, theChannelParams);
        ShowLoadedImage(thePreviewState, std::move(image), tables);
        theHistogramView.input.reset();
        LoadedImageChanged();
    }
    ShowStatus({}, {});
    film_.PictureReplaced(); // the film stays for the roll, its rectangles go
    steps_.Amend();
    if (origin.scan) {
        unsavedScan_.Taken();
    } else {
        unsavedScan_.Released();
    }
    origin_ = std::move(origin);
    ImageArea->update();
    GraphArea->update();
    controls_.Item(IDC_APPLY)->setEnabled(thePreviewState.PreviewBitmap.has_value());
    RefreshMenu();
    pointer_->Refresh(); // the readout reads the new image under the pointer
    if (theHistogramView.shown && !theHistogramView.input) {
        ImageArea->repaint(); // the picture first, then its histogram
        ImageLevels();
        GraphArea->update();
    }
}

// Reading the loaded image: its histogram behind the curves, Black and
// White set from it, and a look at it without the tables.

const PictureCounts* CTamrelDlg::ImageLevels() {
    const KeptImage& picture = thePreviewState.Picture();
    if (!theHistogramView.input && picture.HasPixels()) {
        const WaitCursor wait;
        theHistogramView.input = CountPicture(picture);
    }
    return theHistogramView.input ? &*theHistogramView.input : nullptr;
}

void CTamrelDlg::OnShowHistogram() {
    theHistogramView.shown = !theHistogramView.shown;
    if (theHistogramView.shown) {
        ImageLevels();
    }
    GraphArea->update();
    RefreshMenu();
}

// Choosing the output histogram shows it too: asking for it means wanting to see it.
void CTamrelDlg::OnOutputHistogram() {
    theHistogramView.output = !theHistogramView.output;
    if (theHistogramView.output) {
        theHistogramView.shown = true;
        ImageLevels();
    }
    GraphArea->update();
    RefreshMenu();
}

// All three channels from the image's own levels; the preview waits for
// Apply, as after a slider move.
void CTamrelDlg::OnAutoBlackWhite() {
    const PictureCounts* counts = ImageLevels();
    if (!counts || counts->Levels.Pixels() == 0) {
        return;
    }
    // Black and White clip the positive, which the curve shapes.
    const LevelHistogram positive =
        PositiveLevels(*counts, thePreviewState.Picture(), theChannelParams);
    ParamPositionSet positions = PositionSetOf(theChannelParams);
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        positions[ch] =
            WithAutoBlackWhite(positions[ch], positive.channels[ch], kDefaultClipPercent);
    }
    ApplyPositionsAsStep(positions);
}

void CTamrelDlg::OnToggleBefore() {
    if (!ShowImageBeforeTables(!ShowingImageBeforeTables())) {
        ShowImageBeforeTables(false); // no memory for a second image: keep the preview
    }
    ImageArea->update();
    RefreshMenu();
    pointer_->ReadAgain(); // the readout reads what is shown now
}

// The pointer over the image area and the view it moves are ImagePointer's.

void CTamrelDlg::OnZoomToFit() {
    pointer_->ZoomToFit();
}

void CTamrelDlg::OnZoomActual() {
    pointer_->ZoomActual();
}

void CTamrelDlg::ZoomAt(int steps, QPoint client) {
    pointer_->ZoomAt(steps, client);
}

void CTamrelDlg::OnLButtonDown(QPoint point, Qt::KeyboardModifiers keys) {
    pointer_->Press(point, keys);
}

void CTamrelDlg::OnLButtonUp(QPoint point) {
    pointer_->Release(point);
}

bool CTamrelDlg::OnCtrlWheel(QPoint point, int angleDelta) {
    return pointer_->Wheel(point, angleDelta);
}

void CTamrelDlg::OnMouseLeave() {
    pointer_->Leave();
}

void CTamrelDlg::OnMouseMove(QPoint point) {
    pointer_->Move(point);
}

void CTamrelDlg::RefreshReadout() {
    pointer_->Refresh();
}

void CTamrelDlg::ShowStatus(const QString& lead, const QString& path) {
    QLabel* status = Label(IDC_STATUS);
    const QFontMetrics metrics(status->font());
    // A long path gives up its folders first: the file's own name stays.
    const QString shown =
        lead + metrics.elidedText(path, Qt::ElideLeft,
                                  std::max(0, status->width() - metrics.horizontalAdvance(lead)));
    const QString text = lead + path;
    SetTextIfChanged(status, shown, text.isEmpty() ? kStatusName : text);
    status->setToolTip(text);
}

// The activities' entries: each is an object of its own; the window hands
// it what it needs and shows what it leaves.

void CTamrelDlg::OnFilmMode(FilmMode mode) {
    film_.OnFilmMode(mode);
}

void CTamrelDlg::OnPickBase() {
    film_.OnPickBase();
}

void CTamrelDlg::OnPickGrey() {
    film_.OnPickGrey();
}

void CTamrelDlg::OnRoll() {
    RollDialog::Open(this, Ask(), film_.Film().mode,
                     {[] { return PositionSetOf(theChannelParams); },
                      [this](const std::filesystem::path& strip, const PixelRect& rect,
                             const FilmSettings& film) { ShowRollFrame(strip, rect, film); }});
}

// The frame is a picture of its own, kept at the strip's depth.
void CTamrelDlg::ShowRollFrame(const std::filesystem::path& strip, const PixelRect& rect,
                               const FilmSettings& film) {
    if (!unsavedScan_.MayReplace(ScanReplacedBy::Opening)) {
        return;
    }
    Outcome<KeptImage> frame = [&] {
        const WaitCursor wait;
        return ReadImageCrop(strip, rect);
    }();
    if (!frame) {
        Ask().ShowMessage(kCannotShowFrame, MessageButtons::Ok, MessageIcon::Default,
                          ReasonLine(strip, frame.Why()));
        return;
    }
    ReplaceImage(std::move(*frame), PictureOrigin{});
    film_.Take(film);
}

// The film is what the image is: the preview follows a new film at once
// (a curve waits for 適用, as before).
void CTamrelDlg::FilmShown(bool filmChanged) {
    if (filmChanged) {
        FilmChanged();
        if (thePreviewState.PreviewBitmap) {
            BuildPreviewBitmap();
        }
    }
    ImageArea->update();
    GraphArea->update();
    RefreshMenu();
    pointer_->Refresh();
}

void CTamrelDlg::OnCalibrateChart() {
    charts_.Run(this, origin_);
}

void CTamrelDlg::OnScanAcquire() {
    if (!unsavedScan_.MayReplace(ScanReplacedBy::Acquiring)) {
        return;
    }
    SaneSession session;
    ScanDialog pick(this, session, ScanDialog::Purpose::Acquire, *scanMemory_, scanPreview_);
    if (pick.exec() != QDialog::Accepted) {
        return;
    }
    std::shared_ptr<const SampleImage> samples;
    KeptImage picture;
    ScanOutcome outcome = scans_.Scan(session, pick.Settings(), KeepInto(samples, picture));
    if (scans_.Stopped() || !ScanSucceeded(Ask(), outcome)) {
        return;
    }
    ScannedPage page{std::move(samples), outcome.resolution, outcome.device};
    ReplaceImage(std::move(picture), PictureOrigin{{}, std::move(page)});
}

void CTamrelDlg::OnScanWithTables() {
    SaneSession session;
    ScanDialog pick(this, session, ScanDialog::Purpose::WithTables, *scanMemory_, scanPreview_);
    if (pick.exec() != QDialog::Accepted) {
        return;
    }
    ScanSettings settings = pick.Settings();
    settings.curves = theChannelParams;
    tableScans_.Run(session, settings);
}

// The file saved is named in the status line, as a batch's end names its
// pages.
void CTamrelDlg::OnSaveScan() {
    if (!origin_.scan) {
        Ask().ShowMessage(kNothingScanned, MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    if (const auto saved = SaveScannedPage(Ask(), *scanMemory_, *origin_.scan)) {
        unsavedScan_.Released();
        ShowStatus(kScanSaved, PathToUser(*saved));
    }
}
