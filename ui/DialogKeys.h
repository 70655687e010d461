// The keys that work anywhere in the main dialog: Ctrl+Tab, Ctrl+Shift+Tab,
// Ctrl+PageDown and Ctrl+PageUp switch the channel as tabbed dialogs do;
// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z undo and redo as editors have them;
// backslash shows the image before the tables, F the whole image and 1 one
// image pixel per screen pixel, as photo tools have them; Shift+F10 opens
// the context menu.
#pragma once

#include <optional>

class QKeyEvent;

// +1 for the next channel, -1 for the previous one, 0 for any other key.
int ChannelStepOf(const QKeyEvent& key);

// The context-menu command a key stands for (IDM_UNDO, IDM_SHOW_BEFORE,
// IDM_ZOOM_FIT, ...); nullopt for any other key.
std::optional<unsigned> CommandOfKey(const QKeyEvent& key);

bool IsMenuKey(const QKeyEvent& key);
