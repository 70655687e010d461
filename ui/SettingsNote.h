// The window's notes: a word said once beside the window, without holding
// up anything the user does; among them that its settings file could not
// be read.
#pragma once

class QString;
class QWidget;
class SettingsStore;

// A message box beside `window` that is not modal and takes no focus from
// it (named `name`, for scripts): the user reads it, or goes on and closes
// it later.
void ShowWindowNote(QWidget* window, const QString& name, const QString& text,
                    const QString& details);

// Shows the note beside `window` when the settings file was moved aside;
// nothing otherwise.
void ShowSettingsNote(QWidget* window, const SettingsStore& settings);
