// The main dialog: curve plot and channel sliders on the left, the image
// preview on the right with the readout, the status line and the film's
// kind above it, the file and image buttons along the bottom.
#include "res/Resource.h"
#include "res/Templates.h"

namespace {

using namespace style;

constexpr std::uint32_t kParamLabel = SS_RIGHT | WS_GROUP;
constexpr std::uint32_t kSlider = TBS_BOTH | TBS_NOTICKS | WS_TABSTOP;
constexpr std::uint32_t kValueLabel = SS_LEFT | SS_CENTERIMAGE | WS_GROUP | WS_EX_STATICEDGE;
constexpr std::uint32_t kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr std::uint32_t kReadout = SS_LEFT | WS_GROUP;

// One row per control, as the template lists them.
// clang-format off
constexpr ControlTemplate kMainControls[] = {
    {IDOK, "IDOK", ControlKind::Button, "閉じる", BS_DEFPUSHBUTTON | WS_TABSTOP, 430, 342, 52, 18, nullptr},
    {IDC_GRAPH, "IDC_GRAPH", ControlKind::PaintArea, nullptr, SS_WHITERECT | WS_EX_CLIENTEDGE, 8, 12, 162, 184, "赤・緑・青のトーンカーブ"},
    {IDC_CHANNEL_TAB, "IDC_CHANNEL_TAB", ControlKind::TabControl, nullptr, 0, 8, 212, 206, 14, "チャンネル"},
    {kNoControlId, nullptr, ControlKind::Static, nullptr, SS_GRAYFRAME, 8, 226, 206, 100, nullptr},
    {kNoControlId, nullptr, ControlKind::Static, "Black", kParamLabel, 16, 240, 28, 8, nullptr},
    {IDC_SLIDER_BLACK, "IDC_SLIDER_BLACK", ControlKind::Trackbar, nullptr, kSlider, 46, 234, 134, 18, "Black"},
    {IDC_VALUE_BLACK, "IDC_VALUE_BLACK", ControlKind::Static, nullptr, kValueLabel, 182, 236, 24, 12, "Black の値"},
    {kNoControlId, nullptr, ControlKind::Static, "White", kParamLabel, 16, 260, 28, 8, nullptr},
    {IDC_SLIDER_WHITE, "IDC_SLIDER_WHITE", ControlKind::Trackbar, nullptr, kSlider, 46, 256, 134, 18, "White"},
    {IDC_VALUE_WHITE, "IDC_VALUE_WHITE", ControlKind::Static, nullptr, kValueLabel, 182, 258, 24, 12, "White の値"},
    {kNoControlId, nullptr, ControlKind::Static, "Alpha", kParamLabel, 16, 284, 28, 8, nullptr},
    {IDC_SLIDER_ALPHA, "IDC_SLIDER_ALPHA", ControlKind::Trackbar, nullptr, kSlider, 46, 278, 134, 18, "Alpha"},
    {IDC_VALUE_ALPHA, "IDC_VALUE_ALPHA", ControlKind::Static, nullptr, kValueLabel, 182, 280, 24, 12, "Alpha の値"},
    {kNoControlId, nullptr, ControlKind::Static, "Gamma", kParamLabel, 16, 304, 28, 8, nullptr},
    {IDC_SLIDER_GAMMA, "IDC_SLIDER_GAMMA", ControlKind::Trackbar, nullptr, kSlider, 46, 300, 134, 18, "Gamma"},
    {IDC_VALUE_GAMMA, "IDC_VALUE_GAMMA", ControlKind::Static, nullptr, kValueLabel, 182, 302, 24, 12, "Gamma の値"},
    {IDC_EXPORT_TABLES, "IDC_EXPORT_TABLES", ControlKind::Button, "TVKファイル出力...", kButton, 8, 342, 70, 18, nullptr},
    {IDC_SAVE_PARAMS, "IDC_SAVE_PARAMS", ControlKind::Button, "パラメータ保存...", kButton, 82, 342, 64, 18, nullptr},
    {IDC_LOAD_PARAMS, "IDC_LOAD_PARAMS", ControlKind::Button, "パラメータ読込...", kButton, 150, 342, 64, 18, nullptr},
    {IDC_RESET_PARAMS, "IDC_RESET_PARAMS", ControlKind::Button, "パラメータリセット", kButton, 220, 342, 64, 18, nullptr},
    {IDC_IMAGE, "IDC_IMAGE", ControlKind::PaintArea, nullptr, SS_BLACKRECT | SS_CENTERIMAGE | SS_REALSIZEIMAGE | WS_EX_CLIENTEDGE, 220, 12, 264, 314, "ガンマテーブルを通した画像のプレビュー"},
    {IDC_OPEN_IMAGE, "IDC_OPEN_IMAGE", ControlKind::Button, "画像ファイル(bmp)を開く...", kButton, 306, 342, 86, 18, nullptr},
    {IDC_APPLY, "IDC_APPLY", ControlKind::Button, "適用 ⇒", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, 180, 124, 34, 36, nullptr},
    {IDC_PIXEL_R, "IDC_PIXEL_R", ControlKind::Static, "R:", kReadout, 220, 4, 34, 8, "ポインタ位置の画素の赤の値"},
    {IDC_PIXEL_G, "IDC_PIXEL_G", ControlKind::Static, "G:", kReadout, 256, 4, 34, 8, "ポインタ位置の画素の緑の値"},
    {IDC_PIXEL_B, "IDC_PIXEL_B", ControlKind::Static, "B:", kReadout, 292, 4, 34, 8, "ポインタ位置の画素の青の値"},
    {IDC_STATUS, "IDC_STATUS", ControlKind::Static, nullptr, SS_RIGHT | WS_GROUP, 330, 4, 106, 8, "状態"},
    {IDC_FILM_MODE, "IDC_FILM_MODE", ControlKind::Static, nullptr, SS_CENTER | WS_GROUP, 440, 3, 44, 9, "フィルム"},
    {kNoControlId, nullptr, ControlKind::Static, "※対象スキャナにて Gamma=1.0 でスキャンした画像を使用してください。", SS_CENTER | WS_GROUP, 220, 328, 262, 8, nullptr},
};
// clang-format on

} // namespace

const DialogTemplate kMainDialogTemplate = {
    IDD_MAIN_DIALOG, "Tamrel", "MS UI Gothic", "IPAPGothic", 9, 492, 366, kMainControls,
};
