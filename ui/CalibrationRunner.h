// Calibrations run on a worker thread while the dialog stays live: a new
// request while one runs waits, replacing any older waiting one, so the
// corners' latest place is always calibrated last and none piles up.
#pragma once

#include "measure/Calibration.h"

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

struct CalibrationJob {
    std::shared_ptr<const ChartScan> scan;
    ChartKind chart = ChartKind::ColorChecker24;
    std::shared_ptr<const ChartReference> reference;
    ChartCorners corners{};
    std::string description;
};

class CalibrationRunner : public QObject {
public:
    explicit CalibrationRunner(QObject* parent) : QObject(parent) {}
    // Waits for the calibration in progress; its result is dropped.
    ~CalibrationRunner() override;

    void Request(CalibrationJob job);

    // Called on the owner's thread with each result and the job it is for.
    std::function<void(const CalibrationJob&, const CalibrationOutcome&)> Finished;

private:
    void Start(CalibrationJob job);
    void Done(const CalibrationJob& job, const CalibrationOutcome& outcome);

    std::thread worker_;
    bool running_ = false;                  // touched on the owner's thread only
    std::optional<CalibrationJob> waiting_; // likewise
};
