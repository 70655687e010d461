// The About box: icon, name and version, copyright, OK.
#include "res/Resource.h"
#include "res/Templates.h"
#include "res/Version.h"

namespace {

using namespace style;

// One row per control, as the template lists them.
// clang-format off
constexpr ControlTemplate kAboutControls[] = {
    {kNoControlId, nullptr, ControlKind::Static, nullptr, SS_ICON, 14, 14, 20, 20, "Tamrel のアイコン"},
    {kNoControlId, nullptr, ControlKind::Static, "Tamrel, Version 1.01", SS_LEFT | SS_NOPREFIX | WS_GROUP, 42, 14, 114, 8, nullptr},
    {kNoControlId, nullptr, ControlKind::Static, kCopyright, SS_LEFT | WS_GROUP, 42, 26, 114, 8, nullptr},
    {IDOK, nullptr, ControlKind::Button, "OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 113, 41, 50, 14, nullptr},
};
// clang-format on

} // namespace

const DialogTemplate kAboutDialogTemplate = {
    IDD_ABOUTBOX, "バージョン情報 Tamrel", "MS UI Gothic", "IPAPGothic", 9, 170, 62, kAboutControls,
};
