// A label's text and what a screen reader says for it, set together.
#pragma once

class QLabel;
class QString;

// Sets a label's text only when it differs, so unchanged labels never
// flicker, and its accessible name with it, so a screen reader hears the
// text (or `spokenName`, where the text alone says too little).
void SetTextIfChanged(QLabel* label, const QString& text, const QString& spokenName);
