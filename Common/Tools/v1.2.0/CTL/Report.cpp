#include "Report.h"

#include "IO/CSVStream.h"
#include "IO/FileStream.h"
#include "base/SysError.h"

#include <QHeaderView>
#include <memory>

namespace CTL_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "空指针。"},
                                                  {2, "列数量不正确。"},
                                                  {3, "新建项时名称的数量和列数量不匹配。"},
                                                  {4, "索引不正确。"},
                                                  {5, "启用自动释放数据时无法使用与其冲突的接口。"},
                                                  {6, "没有项被选中。"},
                                                  {7, "没启用自动释放数据时无法使用与其冲突的接口。"},
                                                  {8, "找不到对应数据。"},
                                                  {9, "有多个项被选中。"},
                                                  {10, "列宽度信息数据格式不正确。"},
                                                  {11, "列宽度不正确。"}};
    return Base_ns::SysError_cl(line, __FILE__, Report_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

// A row that owns its data object: whichever way the row goes, the object goes with it.
class Row_cl : public QTreeWidgetItem {
public:
    explicit Row_cl(Report_cl::RowData_cl* object) : object(object) {}
    Report_cl::RowData_cl* Object() const { return object.get(); }

private:
    std::unique_ptr<Report_cl::RowData_cl> object;
};

// A width piece: optional sign, then at least one decimal digit, within 32 bits.
bool ReadWidth(const QString& piece, int32_t& width) {
    const qsizetype digits = piece.startsWith(QLatin1Char('+')) || piece.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (piece.size() == digits) return false;
    for (qsizetype i = digits; i < piece.size(); ++i) {
        if (piece[i] < QLatin1Char('0') || piece[i] > QLatin1Char('9')) return false;
    }
    bool ok = false;
    width = piece.toInt(&ok);
    return ok;
}

}  // namespace

Report_cl::RowData_cl::~RowData_cl() = default;

Report_cl::Report_cl(QWidget* parent, bool autoFree) : QTreeWidget(parent), autoFree(autoFree) {
    setColumnCount(0);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The widths are the program's: no column stretches on its own.
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(0);
    header()->setSectionsMovable(false);
}

void Report_cl::SetColumns(const Column_st* columns, int32_t count) {
    if (columns == nullptr) throw SysError(1, __LINE__);
    ClearColumns();
    // The client width as if no scroll bar were shown: a list without rows has none, and
    // a hidden list has not laid its viewport out yet.
    const int32_t total = maximumViewportSize().width() - 3;
    int32_t rest = total;
    int32_t percentLeft = 100;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t percent = columns[i].percent;
        int32_t width = rest;
        if (percent >= 0 && percentLeft - percent > 0) {
            width = int32_t(total * percent * 0.01);
            percentLeft -= percent;
        } else if (percent < 0) {
            percentLeft = 0;
        }
        rest -= width;
        AddColumn(columns[i].title, width);
    }
}

void Report_cl::ClearColumns() {
    DeleteAllRows();
    setColumnCount(0);
}

void Report_cl::AddColumn(const QString& title, int32_t width) {
    const int column = columnCount();
    setColumnCount(column + 1);
    headerItem()->setText(column, title);
    setColumnWidth(column, width);
}

int32_t Report_cl::AddRow(const QString* texts, int32_t count) {
    if (texts == nullptr) throw SysError(1, __LINE__);
    if (count != columnCount()) throw SysError(3, __LINE__);
    return AppendRow(texts, count);
}

int32_t Report_cl::AddRow(const QString& text) { return AppendRow(&text, 1); }

int32_t Report_cl::AppendRow(const QString* texts, int32_t count) {
    RowData_cl* object = nullptr;
    if (autoFree) {
        object = CreateRowData();
        if (object == nullptr) throw SysError(4, __LINE__);
    }
    auto* row = new Row_cl(object);
    for (int32_t i = 0; i < count; ++i) row->setText(i, texts[i]);
    addTopLevelItem(row);
    return topLevelItemCount() - 1;
}

Report_cl::RowData_cl* Report_cl::CreateRowData() { return nullptr; }

void Report_cl::CheckRow(int32_t index, int32_t line) const {
    if (index < 0 || index >= topLevelItemCount()) throw SysError(4, line, QString::number(index));
}

void Report_cl::SetRowData(int32_t index, int32_t value) {
    if (autoFree) throw SysError(5, __LINE__);
    CheckRow(index, __LINE__);
    topLevelItem(index)->setData(0, Qt::UserRole, value);
}

int32_t Report_cl::RowData(int32_t index) const {
    if (autoFree) throw SysError(5, __LINE__);
    CheckRow(index, __LINE__);
    return topLevelItem(index)->data(0, Qt::UserRole).toInt();
}

Report_cl::RowData_cl* Report_cl::RowDataObject(int32_t index) const {
    if (!autoFree) throw SysError(7, __LINE__);
    CheckRow(index, __LINE__);
    return static_cast<Row_cl*>(topLevelItem(index))->Object();
}

int32_t Report_cl::SelectedRow() const {
    int32_t found = -1;
    for (int32_t i = 0; i < topLevelItemCount(); ++i) {
        if (!topLevelItem(i)->isSelected()) continue;
        if (found >= 0) throw SysError(9, __LINE__);
        found = i;
    }
    if (found < 0) throw SysError(6, __LINE__);
    return found;
}

int32_t Report_cl::FirstSelectedRow() const {
    for (int32_t i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->isSelected()) return i;
    }
    throw SysError(6, __LINE__);
}

Container_ns::List_tl<int32_t> Report_cl::SelectedRows() const {
    Container_ns::List_tl<int32_t> rows;
    for (int32_t i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->isSelected()) rows.Append(i);
    }
    if (rows.Count() == 0) throw SysError(6, __LINE__);
    return rows;
}

void Report_cl::DeleteRow(int32_t index) {
    CheckRow(index, __LINE__);
    delete takeTopLevelItem(index);
}

void Report_cl::DeleteAllRows() { clear(); }

QString Report_cl::ColumnWidthsText() const {
    QString text;
    for (int i = 0; i < columnCount(); ++i) {
        if (i > 0) text += QLatin1Char(',');
        text += QString::number(columnWidth(i));
    }
    return text;
}

void Report_cl::SetColumnWidthsText(const QString& text) {
    if (text.isEmpty()) return;
    const QStringList pieces = text.split(QLatin1Char(','));
    // Everything is checked before anything is applied, so that a stale or damaged text
    // leaves the list as it was.
    if (pieces.size() != columnCount()) throw SysError(10, __LINE__, text);
    int32_t width = 0;
    for (const QString& piece : pieces) {
        if (!ReadWidth(piece, width)) throw SysError(10, __LINE__, text);
        if (width < 0) throw SysError(11, __LINE__, text);
    }
    for (int i = 0; i < columnCount(); ++i) {
        ReadWidth(pieces[i], width);
        setColumnWidth(i, width);
    }
}

void Report_cl::ExportCSV(const QString& path) const {
    IO_ns::FileStream_tl<IO_ns::CSVStream_cl> file;
    file.OpenForReplace(path);  // a failed export leaves the previous file as it was
    file.SetColumnCount(columnCount());
    for (int column = 0; column < columnCount(); ++column) file.WriteCell(headerItem()->text(column));
    for (int row = 0; row < topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = topLevelItem(row);
        for (int column = 0; column < columnCount(); ++column) file.WriteCell(item->text(column));
    }
    file.Close();
}

}  // namespace CTL_ns
