// The calibration dialog's table of patches: for each, its ID, reference
// Lab, Lab through the fitted profile and their CIEDE2000 (its cell in the
// colour of its mark), sortable on every column by value.
#pragma once

#include <QTableWidget>

struct Calibration;

class PatchTable : public QTableWidget {
public:
    explicit PatchTable(QWidget* parent);

    void Show(const Calibration& calibration);
    void Clear() { setRowCount(0); }
};
