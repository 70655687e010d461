// Film: which kind the scan is (ポジ, カラーネガ, 白黒ネガ, from the context
// menu) and the rectangles its base and neutral greys are picked from, drawn
// over the image with the on-image selection tool. Each change measures the
// film on the loaded image (measure/), puts its stages into the tables,
// shows the preview anew and is one undo step; the film stays for the next
// scan or image, as a roll's frames share it.
#include "image/preview/PreviewState.h"
#include "image/rows/MemoryRows.h"
#include "measure/FilmMeasure.h"
#include "platform/AskUser.h"
#include "platform/WaitCursor.h"
#include "res/Resource.h"
#include "ui/CMyGraph.h"
#include "ui/DeviceScale.h"
#include "ui/ImageView.h"
#include "ui/SelectionOverlay.h"
#include "ui/TamrelDlg.h"

#include <algorithm>
#include <cmath>

namespace {

const QString kBaseNotClearest =
    QStringLiteral("ベースにはフィルムの最も明るい部分（縁やコマの間）を選んでください。"
                   "この範囲はコマの %1 % より暗くなっています。");
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
    return thePreviewState.LoadedImage().HasPixels();
}

PixelRect PixelsOf(const RectF& r) {
    const auto left = static_cast<std::int32_t>(std::lround(r.left));
    const auto top = static_cast<std::int32_t>(std::lround(r.top));
    return {left, top,
            std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(r.right)) - left),
            std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(r.bottom)) - top)};
}

Shape ShapeOf(const PixelRect& r) {
    return Shape::Rectangle(
        {double(r.left), double(r.top), double(r.left + r.width), double(r.top + r.height)});
}

QString ProblemText(const FilmProblem& problem) {
    switch (problem.fault) {
    case FilmFault::BaseNotClearest:
        return kBaseNotClearest.arg(static_cast<int>(std::floor(problem.share * kPercent)));
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

void CTamrelDlg::AppendFilmEntries() {
    systemMenu_.AppendSeparator();
    systemMenu_.AppendCheckItem(IDM_FILM_POSITIVE, QStringLiteral("フィルム: ポジ(&P)"));
    systemMenu_.AppendCheckItem(IDM_FILM_COLOUR, QStringLiteral("フィルム: カラーネガ(&E)"));
    systemMenu_.AppendCheckItem(IDM_FILM_BLACK_WHITE, QStringLiteral("フィルム: 白黒ネガ(&M)"));
    systemMenu_.AppendItem(IDM_PICK_BASE, QStringLiteral("ベースを選択(&B)"));
    systemMenu_.AppendItem(IDM_PICK_GREY, QStringLiteral("グレーを選択(&G)"));
}

void CTamrelDlg::RefreshFilmMenu() {
    systemMenu_.SetChecked(IDM_FILM_POSITIVE, film_.mode == FilmMode::Positive);
    systemMenu_.SetChecked(IDM_FILM_COLOUR, film_.mode == FilmMode::ColourNegative);
    systemMenu_.SetChecked(IDM_FILM_BLACK_WHITE, film_.mode == FilmMode::BlackAndWhite);
    systemMenu_.SetEnabled(IDM_PICK_BASE, HasImage() && film_.IsNegative());
    systemMenu_.SetEnabled(IDM_PICK_GREY, HasImage() && film_.mode == FilmMode::ColourNegative);
}

void CTamrelDlg::CreateFilmOverlay() {
    filmOverlay_ = std::make_unique<SelectionOverlay>(ImageArea);
    filmOverlay_->Finished = [this](std::size_t index) { OnFilmShapeFinished(index); };
    AttachImageOverlay(filmOverlay_.get());
}

void CTamrelDlg::SyncFilmOverlay() {
    if (!filmOverlay_) {
        return;
    }
    SelectionTool& tool = filmOverlay_->Tool();
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
    filmOverlay_->SetStyle(0, picks_.base ? kBaseStyle : kGreyStyle);
}

// The overlay's shapes as picks: the base first where there is one, then
// the greys, and the shape a pick draws as what it was drawn for.
FilmPicks CTamrelDlg::PicksOfShapes() const {
    FilmPicks picks;
    const std::vector<Shape>& shapes = filmOverlay_->Tool().Shapes();
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

std::optional<FilmSettings> CTamrelDlg::MeasureOnImage(FilmMode mode, const FilmPicks& picks) {
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
        return MeasureFilm(RowsOf(thePreviewState.LoadedImage()), request);
    }();
    if (measured.read || measured.problem.fault != FilmFault::None) {
        Ask().ShowMessage(measured.read ? kCannotMeasure : ProblemText(measured.problem),
                          MessageButtons::Ok, MessageIcon::Default);
        return std::nullopt;
    }
    return measured.film;
}

void CTamrelDlg::ShowFilm(const FilmSettings& film, const FilmPicks& picks) {
    const bool changed = film != film_;
    film_ = film;
    picks_ = picks;
    ApplyFilm(film_, theChannelParams, theGammaTables);
    SyncFilmOverlay();
    // The film is what the image is: the preview follows a new film at once
    // (a curve waits for 適用, as before).
    if (changed) {
        FilmChanged();
        if (thePreviewState.PreviewBitmap) {
            BuildPreviewBitmap();
        }
    }
    ImageArea->update();
    GraphArea->update();
    RefreshMenu();
    RefreshReadout();
}

void CTamrelDlg::OnFilmMode(FilmMode mode) {
    if (mode == film_.mode) {
        return;
    }
    CloseStep();
    FilmSettings film; // a positive
    if (mode != FilmMode::Positive) {
        const std::optional<FilmSettings> measured =
            HasImage() ? MeasureOnImage(mode, picks_) : UnmeasuredFilm(mode);
        if (!measured) {
            return;
        }
        film = *measured;
    }
    pendingPick_.reset();
    ShowFilm(film, picks_);
    CloseStep();
}

// The next drag over the image draws the base anew.
void CTamrelDlg::OnPickBase() {
    if (!HasImage() || !film_.IsNegative()) {
        return;
    }
    const std::size_t shapes = filmOverlay_->Tool().Shapes().size();
    pendingPick_ = PendingPick{picks_.base ? 0 : shapes, true};
    SyncFilmOverlay();
}

// The next drag draws a grey; with two, it takes the second one's place.
void CTamrelDlg::OnPickGrey() {
    if (!HasImage() || film_.mode != FilmMode::ColourNegative) {
        return;
    }
    const std::size_t shapes = filmOverlay_->Tool().Shapes().size();
    pendingPick_ = PendingPick{picks_.greys.size() < kMaxNeutralPicks ? shapes : shapes - 1, false};
    SyncFilmOverlay();
}

// A rectangle drawn, moved or resized: the film is measured with it; a
// problem is told and the rectangles go back to where they were.
void CTamrelDlg::OnFilmShapeFinished(std::size_t index) {
    const bool drawn = index < filmOverlay_->Tool().Shapes().size();
    const FilmPicks picks = drawn ? PicksOfShapes() : picks_;
    pendingPick_.reset();
    std::optional<FilmSettings> measured;
    if (picks != picks_) {
        measured = MeasureOnImage(film_.mode, picks);
    }
    if (!measured) {
        SyncFilmOverlay();
        return;
    }
    CloseStep();
    ShowFilm(*measured, picks);
    CloseStep();
}
