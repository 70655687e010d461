// Sizes are set once, not measured on every change: a result fills
// hundreds of cells a few times a second while the corners move. Every
// column is as wide as its title or the widest number it can hold, so the
// table reads without scrolling sideways and keeps its width whatever the
// chart (the dialog's layout stays put while results come and go).
#include "ui/PatchTable.h"

#include "measure/Calibration.h"
#include "measure/ChartPicture.h"

#include <QHeaderView>
#include <QScrollBar>

namespace {

constexpr int kPatchColumns = 8;
constexpr int kCellDecimals = 2;
constexpr int kRowPadding = 4;     // pixels of a table row beyond its text
constexpr int kCellPadding = 12;   // and of a column
constexpr int kSortArrowRoom = 16; // the header's sort indicator

// A cell that sorts by its number, not by its text.
class NumberItem : public QTableWidgetItem {
public:
    explicit NumberItem(double value)
        : QTableWidgetItem(QString::number(value, 'f', kCellDecimals)), value_(value) {
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const auto* number = dynamic_cast<const NumberItem*>(&other);
        return number ? value_ < number->value_ : QTableWidgetItem::operator<(other);
    }

private:
    double value_;
};

void SizeColumns(QTableWidget* table) {
    const QFontMetrics metrics = table->fontMetrics();
    const QFontMetrics titles = table->horizontalHeader()->fontMetrics();
    const int numberWidth = metrics.horizontalAdvance(QStringLiteral("-000.00"));
    const int idWidth = metrics.horizontalAdvance(QStringLiteral("GS00"));
    int total = 0;
    for (int column = 0; column < table->columnCount(); ++column) {
        const int title =
            titles.horizontalAdvance(table->horizontalHeaderItem(column)->text()) + kSortArrowRoom;
        const int width = std::max(title, column == 0 ? idWidth : numberWidth) + kCellPadding;
        table->setColumnWidth(column, width);
        total += width;
    }
    table->setMinimumWidth(total + 2 * table->frameWidth() +
                           table->verticalScrollBar()->sizeHint().width());
}

} // namespace

PatchTable::PatchTable(QWidget* parent) : QTableWidget(0, kPatchColumns, parent) {
    setObjectName(QStringLiteral("chartTable"));
    setAccessibleName(QStringLiteral("パッチの一覧"));
    setHorizontalHeaderLabels({QStringLiteral("パッチ"), QStringLiteral("基準 L*"),
                               QStringLiteral("a*"), QStringLiteral("b*"),
                               QStringLiteral("プロファイル L*"), QStringLiteral("a*"),
                               QStringLiteral("b*"), QStringLiteral("ΔE2000")});
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
    horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    setSortingEnabled(true);
    SizeColumns(this);
}

void PatchTable::Show(const Calibration& c) {
    setUpdatesEnabled(false);
    setSortingEnabled(false);
    setRowCount(int(c.patches.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const PatchResult& p = c.patches[std::size_t(row)];
        setItem(row, 0, new QTableWidgetItem(QString::fromStdString(p.id)));
        const double values[] = {p.reference.L, p.reference.a, p.reference.b, p.profiled.L,
                                 p.profiled.a,  p.profiled.b,  p.deltaE};
        for (int column = 0; column < int(std::size(values)); ++column) {
            auto* item = new NumberItem(values[column]);
            if (column + 1 == int(std::size(values))) {
                const auto [r, g, b] = MarkColour(MarkOf(p.deltaE));
                item->setBackground(QColor(r, g, b));
            }
            setItem(row, column + 1, item);
        }
    }
    setSortingEnabled(true);
    setUpdatesEnabled(true);
}
