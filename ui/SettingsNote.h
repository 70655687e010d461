// The window's word that its settings file could not be read: said once at
// start, beside the window, without holding up anything the user does.
#pragma once

class QWidget;
class SettingsStore;

// Shows the note beside `window` when the settings file was moved aside;
// nothing otherwise.
void ShowSettingsNote(QWidget* window, const SettingsStore& settings);
