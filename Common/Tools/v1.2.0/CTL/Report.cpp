#include "Report.h"

#include "IO/CSVStream.h"
#include "IO/FileStream.h"
#include "base/SysError.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <algorithm>

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
                                                  {11, "列宽度不正确。"},
                                                  {12, "列表的行来自数据源，不能逐行增删。"}};
    return Base_ns::SysError_cl(line, __FILE__, Report_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

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

Report_cl::Report_cl(QWidget* parent, bool autoFree) : QTableView(parent), autoFree(autoFree) {
    setModel(&rowModel);
    setItemDelegate(&cellDelegate);
    // A plain list: no grid, no row numbers, no word wrap, Tab leaves the list.
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(0);
    FitRowHeight();
    // The widths are the program's (see FillWidth for a list wider than them). Titles read
    // from the left and stay plain when rows are selected.
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A figure cut short reads as another figure: its column grows to hold it.
    connect(&rowModel, &QAbstractItemModel::modelReset, this, &Report_cl::FitFiguresLater);
    connect(&rowModel, &QAbstractItemModel::rowsInserted, this, &Report_cl::FitFiguresLater);
    connect(&rowModel, &QAbstractItemModel::dataChanged, this, &Report_cl::FitFiguresLater);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &Report_cl::FitFiguresLater);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (filling) return;
        // A width set anew is the column's own from now on.
        if (size_t(column) < grownBy.size()) grownBy[size_t(column)] = 0;
        FillWidthLater();
    });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) emit CellClicked(index.row(), index.column());
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) emit CellActivated(index.row(), index.column());
    });
}

void Report_cl::FitRowHeight() {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("0年");  // rows hold figures and Chinese, which may come from a taller font
    verticalHeader()->setDefaultSectionSize(style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height());
}

void Report_cl::FitFiguresLater() {
    if (fitPending) return;
    fitPending = true;
    QMetaObject::invokeMethod(this, &Report_cl::FitFigures, Qt::QueuedConnection);
}

void Report_cl::FitFigures() {
    fitPending = false;
    const int32_t margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 4;
    const int32_t first = std::max(0, rowAt(0));
    const int32_t bottom = rowAt(viewport()->height() - 1);
    const int32_t last = std::min(RowCount() - 1, bottom < 0 ? first + viewport()->height() / std::max(1, rowHeight(first)) : bottom);
    for (int32_t column = 0; column < ColumnCount(); ++column) {
        // A column of no width is one the program hides.
        if (!rowModel.IsFigures(column) || columnWidth(column) == 0) continue;
        // Figures of one length are about as wide: the longest text is measured, among the
        // rows on screen only, as a row source makes texts for those only.
        QString longest;
        for (int32_t row = first; row <= last; ++row) {
            const QString text = rowModel.Text(row, column);
            if (text.size() > longest.size()) longest = text;
        }
        const int32_t needed = fontMetrics().horizontalAdvance(longest) + margins;
        if (!longest.isEmpty() && columnWidth(column) < needed) setColumnWidth(column, needed);
    }
}

void Report_cl::FillWidthLater() {
    if (fillPending) return;
    fillPending = true;
    QMetaObject::invokeMethod(this, &Report_cl::FillWidth, Qt::QueuedConnection);
}

void Report_cl::FillWidth() {
    fillPending = false;
    const int32_t count = ColumnCount();
    grownBy.resize(size_t(count), 0);
    std::vector<int32_t> widths(static_cast<size_t>(count));
    int32_t total = 0;
    int32_t last = -1;
    for (int32_t column = 0; column < count; ++column) {
        widths[size_t(column)] = std::max(0, columnWidth(column) - grownBy[size_t(column)]);
        total += widths[size_t(column)];
        if (widths[size_t(column)] > 0) last = column;
    }
    // Each column with a width grows in its share; one of no width is one the program hides.
    const int32_t extra = total > 0 ? std::max(0, viewport()->width() - total) : 0;
    int32_t given = 0;
    filling = true;
    for (int32_t column = 0; column < count; ++column) {
        const int32_t width = widths[size_t(column)];
        const int32_t share = width == 0 ? 0 : column == last ? extra - given : int32_t(int64_t(extra) * width / total);
        given += share;
        grownBy[size_t(column)] = share;
        setColumnWidth(column, width + share);
    }
    filling = false;
}

bool Report_cl::viewportEvent(QEvent* event) {
    // The viewport narrows when a scroll bar comes, without the list changing size; a
    // taller one shows more figures.
    if (event->type() == QEvent::Resize) {
        FillWidthLater();
        FitFiguresLater();
    }
    return QTableView::viewportEvent(event);
}

void Report_cl::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) FitRowHeight();
}

void Report_cl::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !hasFocus() || ColumnCount() == 0) return;
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.state |= QStyle::State_KeyboardFocusChange;  // shown however the focus came, as a tree of rows does
    frame.rect = visualRect(rowModel.index(current.row(), 0)) | visualRect(rowModel.index(current.row(), ColumnCount() - 1));
    const bool selected = selectionModel()->isRowSelected(current.row());
    frame.backgroundColor = palette().color(selected ? QPalette::Highlight : QPalette::Base);
    QPainter painter(viewport());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

QModelIndex Report_cl::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    switch (action) {
    case MoveHome:
    case MoveEnd:
        return QTableView::moveCursor(action, modifiers | Qt::ControlModifier);
    case MoveLeft:
    case MoveRight: {
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(bar->value() + (action == MoveLeft ? -bar->singleStep() : bar->singleStep()));
        return currentIndex();
    }
    default:
        return QTableView::moveCursor(action, modifiers);
    }
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
        AddColumn(columns[i].title, width, columns[i].figures);
    }
}

void Report_cl::ClearColumns() {
    DeleteAllRows();
    grownBy.clear();
    rowModel.ClearTitles();
}

void Report_cl::AddColumn(const QString& title, int32_t width, bool figures) {
    rowModel.AddTitle(title, figures);
    setColumnWidth(ColumnCount() - 1, width);
}

int32_t Report_cl::AddRow(const QString* texts, int32_t count) {
    if (texts == nullptr) throw SysError(1, __LINE__);
    if (count != ColumnCount()) throw SysError(3, __LINE__);
    return AppendRow(texts, count);
}

int32_t Report_cl::AddRow(const QString& text) { return AppendRow(&text, 1); }

int32_t Report_cl::AppendRow(const QString* texts, int32_t count) {
    CheckOwnRows(__LINE__);
    RowData_cl* object = nullptr;
    if (autoFree) {
        object = CreateRowData();
        if (object == nullptr) throw SysError(4, __LINE__);
    }
    rowModel.Append(QStringList(texts, texts + count), object);
    return RowCount() - 1;
}

void Report_cl::SetRows(std::unique_ptr<ReportRows_cl> rows) {
    if (rows == nullptr) throw SysError(1, __LINE__);
    if (autoFree) throw SysError(5, __LINE__);
    if (rows->ColumnCount() != ColumnCount()) throw SysError(3, __LINE__);
    rowModel.SetSource(std::move(rows));
}

QString Report_cl::Text(int32_t row, int32_t column) const {
    CheckRow(row, __LINE__);
    return rowModel.Text(row, column);
}

Report_cl::RowData_cl* Report_cl::CreateRowData() { return nullptr; }

void Report_cl::CheckRow(int32_t index, int32_t line) const {
    if (index < 0 || index >= RowCount()) throw SysError(4, line, QString::number(index));
}

void Report_cl::CheckOwnRows(int32_t line) const {
    if (rowModel.HasSource()) throw SysError(12, line);
}

void Report_cl::SetRowData(int32_t index, int32_t value) {
    if (autoFree) throw SysError(5, __LINE__);
    CheckOwnRows(__LINE__);
    CheckRow(index, __LINE__);
    rowModel.SetData(index, value);
}

int32_t Report_cl::RowData(int32_t index) const {
    if (autoFree) throw SysError(5, __LINE__);
    CheckRow(index, __LINE__);
    return rowModel.Data(index);
}

Report_cl::RowData_cl* Report_cl::RowDataObject(int32_t index) const {
    if (!autoFree) throw SysError(7, __LINE__);
    CheckRow(index, __LINE__);
    return rowModel.Object(index);
}

void Report_cl::SelectRow(int32_t index, bool selected) {
    CheckRow(index, __LINE__);
    const QItemSelection row(rowModel.index(index, 0), rowModel.index(index, std::max(ColumnCount() - 1, 0)));
    selectionModel()->select(row, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

bool Report_cl::HasSelection() const { return selectionModel()->hasSelection(); }

std::vector<int32_t> Report_cl::Selected() const {
    // Ranges, not indexes: selecting all of a long list stays one range.
    std::vector<int32_t> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int32_t Report_cl::SelectedRow() const {
    const std::vector<int32_t> rows = Selected();
    if (rows.empty()) throw SysError(6, __LINE__);
    if (rows.size() > 1) throw SysError(9, __LINE__);
    return rows.front();
}

int32_t Report_cl::FirstSelectedRow() const {
    int32_t first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (first < 0 || range.top() < first) first = range.top();
    }
    if (first < 0) throw SysError(6, __LINE__);
    return first;
}

Container_ns::List_tl<int32_t> Report_cl::SelectedRows() const {
    Container_ns::List_tl<int32_t> rows;
    for (int32_t row : Selected()) rows.Append(row);
    if (rows.Count() == 0) throw SysError(6, __LINE__);
    return rows;
}

void Report_cl::DeleteRow(int32_t index) {
    CheckOwnRows(__LINE__);
    CheckRow(index, __LINE__);
    rowModel.Remove(index);
}

void Report_cl::DeleteAllRows() { rowModel.Clear(); }

QString Report_cl::ColumnWidthsText() const {
    QString text;
    for (int i = 0; i < ColumnCount(); ++i) {
        if (i > 0) text += QLatin1Char(',');
        text += QString::number(columnWidth(i) - (size_t(i) < grownBy.size() ? grownBy[size_t(i)] : 0));
    }
    return text;
}

void Report_cl::SetColumnWidthsText(const QString& text) {
    if (text.isEmpty()) return;
    const QStringList pieces = text.split(QLatin1Char(','));
    // Everything is checked before anything is applied, so that a stale or damaged text
    // leaves the list as it was.
    if (pieces.size() != ColumnCount()) throw SysError(10, __LINE__, text);
    int32_t width = 0;
    for (const QString& piece : pieces) {
        if (!ReadWidth(piece, width)) throw SysError(10, __LINE__, text);
        if (width < 0) throw SysError(11, __LINE__, text);
    }
    for (int i = 0; i < ColumnCount(); ++i) {
        ReadWidth(pieces[i], width);
        setColumnWidth(i, width);
    }
}

void Report_cl::ExportCSV(const QString& path) const {
    IO_ns::FileStream_tl<IO_ns::CSVStream_cl> file;
    file.OpenForReplace(path);  // a failed export leaves the previous file as it was
    const int32_t columns = ColumnCount();
    file.SetColumnCount(columns);
    for (int32_t column = 0; column < columns; ++column) file.WriteCell(rowModel.Title(column));
    for (int32_t row = 0; row < RowCount(); ++row) {
        for (int32_t column = 0; column < columns; ++column) file.WriteCell(rowModel.Text(row, column));
    }
    file.Close();
}

}  // namespace CTL_ns
