// Reading the loaded image: its histogram behind the curves, Black and White
// set from it, and a look at it without the tables. All of it is reached from
// the context menu (and the backslash key for the look without the tables).
#include "curve/AutoBlackWhite.h"
#include "curve/ChannelStore.h"
#include "curve/FilmTables.h"
#include "image/CountLevels.h"
#include "image/preview/PreviewState.h"
#include "image/rows/SampleImage.h"
#include "platform/WaitCursor.h"
#include "res/Resource.h"
#include "ui/CMyGraph.h"
#include "ui/HistogramView.h"
#include "ui/ImageView.h"
#include "ui/TamrelDlg.h"

#include <QKeySequence>

void CTamrelDlg::AppendReadingEntries() {
    systemMenu_.AppendSeparator();
    systemMenu_.AppendCheckItem(IDM_SHOW_HISTOGRAM, QStringLiteral("ヒストグラムを表示"));
    systemMenu_.AppendCheckItem(IDM_OUTPUT_HISTOGRAM, QStringLiteral("出力ヒストグラム"));
    systemMenu_.AppendItem(IDM_AUTO_BLACK_WHITE, QStringLiteral("Black/White を画像から設定"));
    systemMenu_.AppendCheckItem(IDM_SHOW_BEFORE, QStringLiteral("補正前の画像"));
    systemMenu_.SetChecked(IDM_SHOW_BEFORE, false);
    systemMenu_.AppendItem(IDM_ZOOM_FIT, QStringLiteral("全体を表示"), QKeySequence(Qt::Key_F));
    systemMenu_.AppendItem(IDM_ZOOM_ACTUAL, QStringLiteral("100%"), QKeySequence(Qt::Key_1));
    systemMenu_.AppendSeparator();
    systemMenu_.AppendItem(IDM_UNDO, QStringLiteral("元に戻す"), QKeySequence(QKeySequence::Undo));
    systemMenu_.AppendItem(IDM_REDO, QStringLiteral("やり直し"),
                           QKeySequence(Qt::CTRL | Qt::Key_Y));
}

void CTamrelDlg::RefreshMenu() {
    const bool pixels = thePreviewState.LoadedImage().HasPixels();
    systemMenu_.SetChecked(IDM_SHOW_HISTOGRAM, theHistogramView.shown);
    systemMenu_.SetChecked(IDM_OUTPUT_HISTOGRAM, theHistogramView.output);
    systemMenu_.SetEnabled(IDM_AUTO_BLACK_WHITE, pixels);
    systemMenu_.SetEnabled(IDM_CALIBRATE_CHART, pixels);
    systemMenu_.SetChecked(IDM_SHOW_BEFORE, ShowingImageBeforeTables());
    systemMenu_.SetEnabled(IDM_ZOOM_FIT, pixels);
    systemMenu_.SetEnabled(IDM_ZOOM_ACTUAL, pixels);
    systemMenu_.SetEnabled(IDM_UNDO, undo_.CanUndo());
    systemMenu_.SetEnabled(IDM_REDO, undo_.CanRedo());
    RefreshFilmMenu();
}

// The levels are not counted while an image is read, so that its picture
// comes as soon as it can; they are counted when the histogram or Black/White
// first needs them.
void CTamrelDlg::ReplaceImage(DecodedImage image, std::shared_ptr<SampleImage> scan) {
    {
        const WaitCursor wait;
        // Drops the previous image and preview, renders the new one, centres it.
        ShowLoadedImage(thePreviewState, std::move(image), theGammaTables);
        theHistogramView.input.reset();
        LoadedImageChanged();
    }
    // The film stays for the roll; the rectangles were drawn on the old image.
    picks_ = {};
    pendingPick_.reset();
    undo_.Amend(StateNow());
    SyncFilmOverlay();
    scanned_ = std::move(scan);
    scannedResolution_.reset();
    scannedDevice_.clear();
    imagePath_.clear();
    ImageArea->update();
    GraphArea->update();
    controls_.Item(IDC_APPLY)->setEnabled(thePreviewState.PreviewBitmap.has_value());
    RefreshMenu();
    RefreshReadout(); // the readout reads the new image under the pointer
    if (theHistogramView.shown && !theHistogramView.input) {
        ImageArea->repaint(); // the picture first, then its histogram
        ImageLevels();
        GraphArea->update();
    }
}

const LevelHistogram* CTamrelDlg::ImageLevels() {
    const ImageBuffer& image = thePreviewState.LoadedImage();
    if (!theHistogramView.input && image.Pixels != nullptr) {
        const WaitCursor wait;
        theHistogramView.input = CountKeptLevels(image);
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
    const LevelHistogram* levels = ImageLevels();
    if (!levels || levels->Pixels() == 0) {
        return;
    }
    CloseStep();
    // Black and White clip the positive, which the curve shapes.
    const LevelHistogram positive = OutputHistogram(*levels, FilmTables(theChannelParams));
    ParamPositionSet positions = PositionSetOf(theChannelParams);
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        positions[ch] =
            WithAutoBlackWhite(positions[ch], positive.channels[ch], kDefaultClipPercent);
    }
    ShowPositionSet(positions);
    CloseStep();
}

void CTamrelDlg::OnToggleBefore() {
    if (!ShowImageBeforeTables(!ShowingImageBeforeTables())) {
        ShowImageBeforeTables(false); // no memory for a second image: keep the preview
    }
    ImageArea->update();
    RefreshMenu();
    if (lastPointer_) {
        OnMouseMove(*lastPointer_); // the readout reads what is shown now
    }
}
