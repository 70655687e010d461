// Dialog templates as data: one row per control with its ID, kind, caption,
// styles and its rectangle in dialog units, in template (tab and z) order.
#pragma once

#include <cstdint>
#include <span>

namespace style {

// Control styles that change how a control is built here. The names follow
// the resource-script styles they stand for.
enum : std::uint32_t {
    WS_GROUP = 1u << 0,
    WS_TABSTOP = 1u << 1,
    SS_LEFT = 1u << 2,
    SS_RIGHT = 1u << 3,
    SS_CENTER = 1u << 4,
    SS_CENTERIMAGE = 1u << 5,
    SS_NOPREFIX = 1u << 6,
    SS_WHITERECT = 1u << 7,
    SS_BLACKRECT = 1u << 8,
    SS_GRAYFRAME = 1u << 9,
    SS_ICON = 1u << 10,
    SS_REALSIZEIMAGE = 1u << 11,
    BS_PUSHBUTTON = 1u << 12,
    BS_DEFPUSHBUTTON = 1u << 13,
    BS_MULTILINE = 1u << 14,
    TBS_BOTH = 1u << 15,
    TBS_NOTICKS = 1u << 16,
    WS_EX_CLIENTEDGE = 1u << 17, // 2-pixel sunken edge
    WS_EX_STATICEDGE = 1u << 18, // 1-pixel sunken edge
};

} // namespace style

enum class ControlKind { Button, Static, Trackbar, TabControl, PaintArea };

inline constexpr int kNoControlId = -1; // a static without ID

struct ControlTemplate {
    int id;
    const char* symbol; // IDC_ name, or nullptr
    ControlKind kind;
    const char* caption; // UTF-8; nullptr for none
    std::uint32_t styles;
    int x, y, cx, cy;           // dialog units
    const char* accessibleName; // what assistive technology announces; nullptr: the caption
};

struct DialogTemplate {
    int id;
    const char* caption;
    const char* fontFace;
    const char* fallbackFontFace; // used where fontFace is not installed
    int pointSize;
    int cx, cy; // client size in dialog units
    std::span<const ControlTemplate> controls;
};
