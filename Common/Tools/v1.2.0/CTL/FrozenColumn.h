#pragma once

#include <QObject>

class QTableView;

namespace CTL_ns {

// Keeps a table's first column in sight when the table is scrolled sideways: a list of
// that column alone lies over the table's left edge, sharing its rows, selection, row
// heights and vertical scrolling. Clicks on it reach the table as clicks on its cells.
class FrozenColumn_cl : public QObject {
    Q_OBJECT

public:
    // Made as the table's child; lives as long as the table.
    explicit FrozenColumn_cl(QTableView* table);

    static QString ClassName() { return QStringLiteral("FrozenColumn_cl"); }

    QTableView* View() const { return frozen; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the first column alone, as wide as the table's, over its left edge.
    void Follow();
    bool TableWhole() const;

    QTableView* table;
    QTableView* frozen;
};

}  // namespace CTL_ns
