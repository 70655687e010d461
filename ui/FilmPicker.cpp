// A base picked on the film's border or between frames, up to two greys in
// the picture; a colour negative shows both, a black-and-white one its base
// alone (its greys are kept for a colour film). A problem with a pick is
// told and the rectangles go back to where they were.
#include "ui/FilmPicker.h"

#include "curve/ChannelStore.h"
#include "image/preview/PixelRects.h"
#include "image/preview/PreviewState.h"
#include "measure/FilmMeasure.h"
#include "platform/AskUser.h"
#include "platform/SystemMenu.h"
#include "platform/WaitCursor.h"
#include "res/Resource.h"
#include "ui/CMyGraph.h"
#include "ui/FilmModeSign.h"
#include "ui/ImageView.h"
#include "ui/SelectionOverlay.h"
#include "ui/WindowChannels.h"

#include <algorithm>
#include <cmath>

namespace {

// The share of the frame that is clearer than the base, and the most that
// may be (the tool's limit, said alike).
const QString kBaseNotClearest =
    QStringLiteral("ベースにはフィルムの最も明るい部分（縁やコマの間）を選んでください。"
                   "コマの %1 % がこの範囲より明るくなっています（%2 % までにしてください）。");
const QString kGreyLikeBase =
    QStringLiteral("グレーがベースと同じ明るさです。画像の中のグレーを選んでください。");
const QString kGreysAlike =
    QStringLiteral("2 つのグレーが同じ濃さです。明るいグレーと暗いグレーを選んでください。");
const QString kOffImage = QStringLiteral("範囲が画像の外にあります。");
const QString kCannotMeasure = QStringLiteral("フィルムを測れません。");
constexpr double kPercent = 100.0;

// The base in blue, the greys in the tool's own colour.
const ShapeStyle kBaseStyle{QColor(0x30, 0xB0, 0xFF), false};
const ShapeStyle kGreyStyle{};

bool HasImage() {
    return thePreviewState.Picture().HasPixels();
}

Shape ShapeOf(const PixelRect& r) {
    return Shape::Rectangle(RectOfPixels(r));
}

QString ProblemText(const FilmProblem& problem) {
    switch (problem.fault) {
    case FilmFault::BaseNotClearest:
        return kBaseNotClearest.arg(static_cast<int>(std::floor(problem.share * kPercent)))
            .arg(static_cast<int>(std::floor(kMaxClearerShare * kPercent)));
    case FilmFault::NeutralLikeBase:
        return kGreyLikeBase;
    case FilmFault::NeutralsAlike:
        return kGreysAlike;
    case FilmFault::RectangleOffImage:
    case FilmFault::None:
        break;
    }
    return kOffImage;
}

ChannelValues BasesOf(const FilmSettings& film) {
    ChannelValues bases{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        bases[c] = film.stages[c].base;
    }
    return bases;
}

} // namespace

FilmPicker::FilmPicker(AskUser& ask, Host host) : ask_(ask), host_(std::move(host)) {}

FilmPicker::~FilmPicker() {
    Detach();
}

void FilmPicker::AppendEntries(SystemMenu& menu) const {
    menu.AppendSeparator();
    menu.AppendCheckItem(IDM_FILM_POSITIVE, QStringLiteral("フィルム: ポジ(&P)"));
    menu.AppendCheckItem(IDM_FILM_COLOUR, QStringLiteral("フィルム: カラーネガ(&E)"));
    menu.AppendCheckItem(IDM_FILM_BLACK_WHITE, QStringLiteral("フィルム: 白黒ネガ(&M)"));
    menu.AppendItem(IDM_PICK_BASE, QStringLiteral("ベースを選択(&B)"));
    menu.AppendItem(IDM_PICK_GREY, QStringLiteral("グレーを選択(&G)"));
}

void FilmPicker::RefreshEntries(SystemMenu& menu) const {
    menu.SetChecked(IDM_FILM_POSITIVE, film_.mode == FilmMode::Positive);
    menu.SetChecked(IDM_FILM_COLOUR, film_.mode == FilmMode::ColourNegative);
    menu.SetChecked(IDM_FILM_BLACK_WHITE, film_.mode == FilmMode::BlackAndWhite);
    menu.SetEnabled(IDM_PICK_BASE, HasImage() && film_.IsNegative());
    menu.SetEnabled(IDM_PICK_GREY, HasImage() && film_.mode == FilmMode::ColourNegative);
}

void FilmPicker::Attach(CMyGraph* imageArea, QWidget* window, QLabel* modeLabel) {
    sign_ = std::make_unique<FilmModeSign>(window, modeLabel, host_.say);
    sign_->Show(film_.mode);
    overlay_ = std::make_unique<SelectionOverlay>(imageArea);
    overlay_->Finished = [this](std::size_t index) { OnShapeFinished(index); };
    AttachImageOverlay(overlay_.get());
}

void FilmPicker::Detach() {
    if (overlay_ && ImageOverlay() == overlay_.get()) {
        AttachImageOverlay(nullptr);
    }
}

void FilmPicker::SyncOverlay() {
    if (!overlay_) {
        return;
    }
    SelectionTool& tool = overlay_->Tool();
    tool.SetDrawTarget(pendingPick_ ? std::optional(pendingPick_->index) : std::nullopt);
    FollowPreviewView(); // bounds, placement and the view's zoom and pan
    std::vector<Shape> shapes;
    if (HasImage() && film_.IsNegative()) {
        if (picks_.base) {
            shapes.push_back(ShapeOf(*picks_.base));
        }
        for (const PixelRect& grey : picks_.greys) {
            if (film_.mode == FilmMode::ColourNegative) {
                shapes.push_back(ShapeOf(grey));
            }
        }
    }
    tool.SetShapes(std::move(shapes));
    overlay_->SetStyle(0, picks_.base ? kBaseStyle : kGreyStyle);
}

// The overlay's shapes as picks: the base first where there is one, then
// the greys, and the shape a pick draws as what it was drawn for.
FilmPicks FilmPicker::PicksOfShapes() const {
    FilmPicks picks;
    const std::vector<Shape>& shapes = overlay_->Tool().Shapes();
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const bool base =
            pendingPick_ && pendingPick_->index == i ? pendingPick_->base : picks_.base && i == 0;
        if (base) {
            picks.base = PixelsOf(shapes[i].rect);
        } else {
            picks.greys.push_back(PixelsOf(shapes[i].rect));
        }
    }
    if (film_.mode == FilmMode::BlackAndWhite) {
        picks.greys = picks_.greys; // not shown, and kept for a colour film
    }
    return picks;
}

std::optional<FilmSettings> FilmPicker::MeasureOnImage(FilmMode mode, const FilmPicks& picks) {
    FilmRequest request;
    request.mode = mode;
    request.base = picks.base;
    request.neutrals = picks.greys;
    // Without rectangles on this image, what the roll's earlier frames gave.
    if (film_.mode == mode && !picks.base) {
        request.knownBase = BasesOf(film_);
    }
    if (film_.mode == mode && picks.greys.empty()) {
        request.knownNeutrals.assign(film_.neutrals.begin(),
                                     film_.neutrals.begin() + film_.neutralCount);
    }
    const FilmMeasurement measured = [&] {
        const WaitCursor wait;
        // The picture at its own depth: a 16-bit scan is measured as `film`
        // measures its file.
        return MeasureFilm(thePreviewState.Picture().Rows(), request);
    }();
    if (measured.read || measured.problem.fault != FilmFault::None) {
        ask_.ShowMessage(measured.read ? kCannotMeasure : ProblemText(measured.problem),
                         MessageButtons::Ok, MessageIcon::Default);
        return std::nullopt;
    }
    return measured.film;
}

void FilmPicker::Show(const FilmSettings& film, const FilmPicks& picks) {
    const bool changed = film != film_;
    film_ = film;
    picks_ = picks;
    ApplyFilm(film_, theChannelParams, theGammaTables);
    SyncOverlay();
    if (sign_) {
        sign_->Show(film_.mode);
    }
    host_.shown(changed);
}

void FilmPicker::Change(const FilmSettings& film, const FilmPicks& picks) {
    pendingPick_.reset();
    Show(film, picks);
    host_.closeStep();
}

void FilmPicker::Take(const FilmSettings& film) {
    host_.closeStep();
    Change(film, {});
}

void FilmPicker::PictureReplaced() {
    picks_ = {};
    pendingPick_.reset();
    SyncOverlay();
    if (sign_) {
        sign_->PictureArrived(film_.mode);
    }
}

void FilmPicker::OnFilmMode(FilmMode mode) {
    if (mode == film_.mode) {
        return;
    }
    host_.closeStep();
    FilmSettings film; // a positive
    if (mode != FilmMode::Positive) {
        const std::optional<FilmSettings> measured =
            HasImage() ? MeasureOnImage(mode, picks_) : UnmeasuredFilm(mode);
        if (!measured) {
            return;
        }
        film = *measured;
    }
    Change(film, picks_);
}

void FilmPicker::OnPickBase() {
    if (!HasImage() || !film_.IsNegative()) {
        return;
    }
    const std::size_t shapes = overlay_->Tool().Shapes().size();
    pendingPick_ = PendingPick{picks_.base ? 0 : shapes, true};
    SyncOverlay();
}

void FilmPicker::OnPickGrey() {
    if (!HasImage() || film_.mode != FilmMode::ColourNegative) {
        return;
    }
    const std::size_t shapes = overlay_->Tool().Shapes().size();
    pendingPick_ = PendingPick{picks_.greys.size() < kMaxNeutralPicks ? shapes : shapes - 1, false};
    SyncOverlay();
}

// A rectangle drawn, moved or resized: the film is measured with it.
void FilmPicker::OnShapeFinished(std::size_t index) {
    const bool drawn = index < overlay_->Tool().Shapes().size();
    const FilmPicks picks = drawn ? PicksOfShapes() : picks_;
    pendingPick_.reset();
    std::optional<FilmSettings> measured;
    if (picks != picks_) {
        measured = MeasureOnImage(film_.mode, picks);
    }
    if (!measured) {
        SyncOverlay();
        return;
    }
    host_.closeStep();
    Change(*measured, picks);
}
