// What a screen reader hears of a parameter slider: its name and the value
// shown beside it (" 1.099" reads as "1.099"), not the raw position.
#pragma once

#include <QSlider>

class QString;

// A parameter slider: its own class, so that screen readers get the
// interface below rather than the plain slider's.
class SpokenSlider : public QSlider {
    Q_OBJECT
public:
    explicit SpokenSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}
};

// Installs, once per process, the accessibility interface that reads the
// displayed value of SpokenSliders.
void InstallSliderAccessibility();

// The text the slider's value is spoken as, kept beside its position.
void SetSpokenValue(QSlider* slider, const QString& text);
