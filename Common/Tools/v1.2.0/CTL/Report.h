#pragma once

#include "CTL/ReportDelegate.h"
#include "CTL/ReportModel.h"
#include "CTL/ReportRows.h"
#include "Container/List.h"

#include <QTableView>
#include <cstdint>
#include <memory>
#include <vector>

namespace CTL_ns {

// A list of rows in columns (the report list of every page): columns from titles and
// percentage widths, whole-row insertion, selection queries that fail exactly, column
// widths as text, and export as a CSV file. The rows live in a model, not in one widget
// item each, and the view keeps only a row height for each (a tree view kept an item of
// layout five times that size), so that long lists cost little; a whole list can come
// from a row source.
//
// Each row carries a 32-bit data value. A list made with auto-free instead gives every
// row a data object, made by CreateRowData() when the row is added and freed with it.
class Report_cl : public QTableView {
    Q_OBJECT

public:
    struct Column_st {
        QString title;
        int32_t percent;  // of the client width; negative: whatever is left
        bool figures = false;  // amounts, shown right-aligned
    };

    // A row's data object when auto-free is on.
    using RowData_cl = ReportModel_cl::RowData_cl;

    explicit Report_cl(QWidget* parent = nullptr, bool autoFree = false);

    static QString ClassName() { return QStringLiteral("Report_cl"); }

    // Removes all rows and columns, then adds the columns with widths computed from the
    // client width less 3 pixels; the column that reaches 100 percent, or the first
    // one marked as the rest, takes all that remains.
    void SetColumns(const Column_st* columns, int32_t count);
    void ClearColumns();
    // figures: amounts, shown right-aligned.
    void AddColumn(const QString& title, int32_t width, bool figures = false);
    int32_t ColumnCount() const { return rowModel.columnCount(); }
    QString Title(int32_t column) const { return rowModel.Title(column); }

    // Appends a row of one text per column; returns its index.
    int32_t AddRow(const QString* texts, int32_t count);
    // Appends a row with only its first cell.
    int32_t AddRow(const QString& text);
    // Replaces all rows by those of rows, which must have one column per list column.
    // Rows from a source are neither added nor deleted one by one.
    void SetRows(std::unique_ptr<ReportRows_cl> rows);
    int32_t RowCount() const { return rowModel.rowCount(); }
    QString Text(int32_t row, int32_t column) const;

    void SetRowData(int32_t index, int32_t value);
    int32_t RowData(int32_t index) const;
    RowData_cl* RowDataObject(int32_t index) const;

    // Adds the whole row to the selection, or takes it out.
    void SelectRow(int32_t index, bool selected = true);
    bool HasSelection() const;
    int32_t SelectedRow() const;       // exactly one selected
    int32_t FirstSelectedRow() const;  // the lowest selected
    Container_ns::List_tl<int32_t> SelectedRows() const;  // ascending

    void DeleteRow(int32_t index);
    void DeleteAllRows();

    // "80,120,60": each column's width in pixels.
    QString ColumnWidthsText() const;
    // Applies a text made by ColumnWidthsText. A text that does not fit this list (other
    // column count, damaged) changes nothing and raises; an empty text changes nothing.
    void SetColumnWidthsText(const QString& text);

    // Writes the column titles, then every row, to a CSV file at path.
    void ExportCSV(const QString& path) const;

signals:
    // A cell was clicked, or double-clicked.
    void CellClicked(int32_t row, int32_t column);
    void CellActivated(int32_t row, int32_t column);

protected:
    // Makes the data object of a new row when auto-free is on; none refuses the row.
    virtual RowData_cl* CreateRowData();
    // The keys move through rows as in a plain list: Home and End go to the first and last
    // row, Left and Right scroll instead of moving between cells.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void changeEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    // Frames the current row whole when the list has the focus.
    void paintEvent(QPaintEvent* event) override;

private:
    int32_t AppendRow(const QString* texts, int32_t count);
    void CheckRow(int32_t index, int32_t line) const;
    void CheckOwnRows(int32_t line) const;
    // The selected row numbers, ascending, each once.
    std::vector<int32_t> Selected() const;
    // Every row as high as one line of text in this font and style.
    void FitRowHeight();
    // Widens each column of figures to its widest figure, once the rows have changed.
    void FitFiguresLater();
    void FitFigures();
    // A list wider than its columns shows no empty band: the columns grow in proportion,
    // for the time being; their own widths stay what was set.
    void FillWidthLater();
    void FillWidth();

    ReportModel_cl rowModel;
    ReportDelegate_cl cellDelegate;
    bool autoFree;
    bool fitPending = false;
    bool fillPending = false;
    bool filling = false;
    std::vector<int32_t> grownBy;  // per column, what FillWidth added
};

}  // namespace CTL_ns
