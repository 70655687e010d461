// The keys of a parameter slider as on the original trackbar: Left and Up
// decrease, Right and Down increase, PageUp and PageDown move by a fifth of
// the range, Home and End go to the ends. Each move is an ordinary slider
// action, so it reaches the dialog like any other user move.
#pragma once

#include <QObject>

class QSlider;

class SliderKeys : public QObject {
public:
    explicit SliderKeys(QObject* parent) : QObject(parent) {}

    // Takes over the keys of `slider` and sets its page to a fifth of its range.
    void Attach(QSlider* slider);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// A trackbar's page is a fifth of its range.
inline constexpr int kPagesPerRange = 5;
