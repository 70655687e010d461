// What a screen reader hears of a parameter slider: its name and the value
// shown beside it (" 1.099" reads as "1.099"), not the raw position.
#pragma once

class QSlider;
class QString;

// Installs, once per process, the accessibility interface that reads the
// displayed value of sliders marked with SetSpokenValue.
void InstallSliderAccessibility();

// The text the slider's value is spoken as, kept beside its position.
void SetSpokenValue(QSlider* slider, const QString& text);
