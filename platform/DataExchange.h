// Data exchange between dialog controls and member variables, in one of two
// directions: load (members -> controls) or save (controls -> members, with
// inclusive range validation).
#pragma once

#include "platform/DialogBuilder.h"

#include <stdexcept>

class AskUser;
class QSlider;

enum class ExchangeDirection { Load, Save };

// Thrown by a failed validation; `RunDataExchange` catches it and reports false.
class DataExchangeFailure : public std::runtime_error {
public:
    DataExchangeFailure() : std::runtime_error("data exchange failed") {}
};

class DataExchange {
public:
    DataExchange(ExchangeDirection direction, const ControlMap& controls, AskUser& ask)
        : direction_(direction), controls_(controls), ask_(ask) {}

    bool Saving() const { return direction_ == ExchangeDirection::Save; }

    // Attaches the control with this ID to a member pointer.
    template <class Widget> void Bind(int id, Widget*& member) {
        member = controls_.ItemAs<Widget>(id);
        lastId_ = id;
    }

    // Slider position <-> int. Loading moves the slider without any change
    // notification, as a programmatic move of a trackbar sends none.
    void Slider(int id, int& position);

    // Save direction only: value within min..max inclusive, else the range
    // message, the focus back to the last exchanged control, and failure.
    void MinMax(int value, int min, int max);

private:
    ExchangeDirection direction_;
    const ControlMap& controls_;
    AskUser& ask_;
    int lastId_ = kNoControlId;
};

// The message shown when a value lies outside its range.
QString RangeMessage(int min, int max);

// Runs `exchange` (a dialog's exchange list); false when a validation failed.
template <class Exchange>
bool RunDataExchange(ExchangeDirection direction, const ControlMap& controls, AskUser& ask,
                     Exchange&& exchange) {
    DataExchange dx(direction, controls, ask);
    try {
        exchange(dx);
    } catch (const DataExchangeFailure&) {
        return false;
    }
    return true;
}
