// The bar runs over the strips' rows: strip s of n at `done` of `total`
// rows is (s + done / total) / n of the way.
#include "ui/RollExport.h"

#include "ui/ScanProgress.h"
#include "ui/ScanWorker.h"

#include <atomic>

namespace {

const QString kWriting = QStringLiteral("書き出しています...");
const QString kSpokenName = QStringLiteral("書き出しの進行状況");

} // namespace

std::vector<RollProblem> ExportRollShown(QWidget* parent, const RollTarget& target,
                                         const FilmSettings& roll,
                                         const std::vector<RollFrame>& frames) {
    std::atomic<bool> cancel{false};
    std::atomic<int> done{0};
    ScanProgressDialog dialog(parent, kWriting, cancel);
    dialog.setObjectName(QStringLiteral("rollProgress"));
    dialog.setAccessibleName(kSpokenName);
    const double strips = double(std::max<std::size_t>(1, target.strips.size()));
    RollControl control{&cancel, [&](std::size_t strip, std::int32_t rows, std::int32_t total) {
                            const double share = total > 0 ? double(rows) / total : 1.0;
                            done = int((double(strip) + share) / strips * kScanProgressSteps);
                        }};
    std::vector<RollProblem> problems;
    RunOnWorker([&] { problems = WriteRoll(target, roll, frames, control); },
                [&] { dialog.setValue(done.load()); });
    return problems;
}
