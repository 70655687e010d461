// A value or the reason it could not be had.
#pragma once

#include "io/Reason.h"

#include <optional>
#include <utility>

template <typename T> class Outcome {
public:
    Outcome(T value) : value_(std::move(value)) {} // NOLINT: a value converts as a success
    Outcome(Reason why) : why_(std::move(why)) {}  // NOLINT: and a reason as a failure

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // None on success.
    const Reason& Why() const { return why_; }

private:
    std::optional<T> value_;
    Reason why_;
};
