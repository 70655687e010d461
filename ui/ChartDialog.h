// 「チャートで校正」: a linear scan of a colour chart measured in the window.
// The dialog opens with the grid's corners on the chart found in the scan
// (measure/ChartFinder.h); the user may drag them with the on-image
// selection tool, and 自動検出 finds the chart again. Every sampled patch is
// shown live in the colour of its CIEDE2000 through the fitted profile,
// with a sortable table of the patches and the summary, or the one problem
// that stops the calibration in the summary's place. 適用 puts the twelve
// positions on the sliders; 保存 writes the profile and offers it for the
// device's scans. The chart kind and each kind's reference file are kept
// in the settings.
#pragma once

#include "io/ParamKeys.h"
#include "measure/Calibration.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class AskUser;
struct CalibrationJob;
class CalibrationRunner;
class ChartView;
class PatchTable;
class QComboBox;
class QLabel;
class QPushButton;
class ScanMemory;
class SettingsStore;

struct ChartDialogContext {
    std::shared_ptr<const ChartScan> scan;
    QString imageName; // names the profile
    SettingsStore* settings = nullptr;
    ScanMemory* memory = nullptr;
    AskUser* ask = nullptr;
    QString device; // whose scans the profile is offered for; empty for none
    std::function<void(const ParamPositionSet&)> apply;
};

class ChartDialog : public QDialog {
public:
    ChartDialog(QWidget* parent, ChartDialogContext context);
    ~ChartDialog() override;

    // The latest calibration, if the chart could be measured.
    const std::optional<Calibration>& Result() const { return result_; }

private:
    void BuildControls();
    QWidget* BuildChoiceRow();
    QWidget* BuildButtonRow();
    void ChooseChart();
    void UseRememberedReference();
    void BrowseReference();
    void UseBuiltIn();
    void SetReference(std::shared_ptr<const ChartReference> reference, const QString& path);
    void FindCorners();
    void CornersMoved(const ChartCorners& corners);
    void Recalculate();
    void ShowOutcome(const CalibrationJob& job, const CalibrationOutcome& outcome);
    void ShowResult(const Calibration& result);
    void ShowProblem(const QString& text);
    void ShowMarks();
    void Apply();
    void SaveProfile();
    ChartKind Chart() const;

    ChartDialogContext context_;
    std::shared_ptr<const ChartReference> reference_;
    ChartCorners corners_{};
    bool cornersByHand_ = false; // moved since they were last found
    std::optional<Calibration> result_;
    CalibrationRunner* runner_ = nullptr;

    QComboBox* chart_ = nullptr;
    QLabel* referenceName_ = nullptr;
    QPushButton* builtIn_ = nullptr;
    ChartView* view_ = nullptr;
    PatchTable* table_ = nullptr;
    QLabel* findNote_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* cornersText_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* save_ = nullptr;
};
