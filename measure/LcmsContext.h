// A LittleCMS context of calibration's own: its error handler keeps the
// first message for the reason a caller gives, and its allocator refuses
// any single block above a cap, so that a file claiming more data than it
// holds fails instead of taking the memory.
#pragma once

#include <lcms2.h>

#include <cstddef>
#include <memory>
#include <string>

class LcmsContext {
public:
    static constexpr std::size_t kNoCap = static_cast<std::size_t>(-1);

    explicit LcmsContext(std::size_t largestBlock = kNoCap);
    ~LcmsContext();
    LcmsContext(const LcmsContext&) = delete;
    LcmsContext& operator=(const LcmsContext&) = delete;

    // Null when the context could not be made.
    cmsContext Get() const { return context_; }
    // LittleCMS's first error message, empty when it gave none.
    const std::string& Message() const { return state_->message; }

    struct State {
        std::string message;
        std::size_t largestBlock = kNoCap;
    };

private:
    std::unique_ptr<State> state_;
    cmsContext context_ = nullptr;
};

struct LcmsProfileClose {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using LcmsProfile = std::unique_ptr<void, LcmsProfileClose>;

struct LcmsTransformFree {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using LcmsTransform = std::unique_ptr<void, LcmsTransformFree>;

struct LcmsCurveFree {
    void operator()(cmsToneCurve* curve) const { cmsFreeToneCurve(curve); }
};
using LcmsCurve = std::unique_ptr<cmsToneCurve, LcmsCurveFree>;
