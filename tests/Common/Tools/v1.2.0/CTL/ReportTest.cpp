#include "CTL/Report.h"

#include "IO/CSVStream.h"
#include "IO/FileStream.h"
#include "support/Raised.h"

#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using CTL_ns::Report_cl;

namespace {

// Gives the list a client area of exactly width pixels.
void SetClientWidth(Report_cl& list, int width) {
    list.resize(width + list.width() - list.maximumViewportSize().width(), 300);
}

QList<int> Widths(const Report_cl& list) {
    QList<int> widths;
    for (int i = 0; i < list.ColumnCount(); ++i) widths.append(list.columnWidth(i));
    return widths;
}

const Report_cl::Column_st kRecordColumns[] = {{QStringLiteral("日期"), 15},     {QStringLiteral("分类"), 15},
                                               {QStringLiteral("费用名称"), 12}, {QStringLiteral("金额"), 10},
                                               {QStringLiteral("用户"), 10},     {QStringLiteral("类别"), 10},
                                               {QStringLiteral("注释"), -1}};

struct ReportTest : ::testing::Test {
    ReportTest() {
        SetClientWidth(list, 203);
        list.SetColumns(columns, 3);
    }
    void AddRows(int count) {
        for (int i = 0; i < count; ++i) {
            const QString texts[] = {QString::number(i), QStringLiteral("b"), QStringLiteral("c")};
            list.AddRow(texts, 3);
        }
    }
    void Select(std::initializer_list<int> rows) {
        list.clearSelection();
        for (int row : rows) list.SelectRow(row);
    }

    const Report_cl::Column_st columns[3] = {{QStringLiteral("a"), 30}, {QStringLiteral("b"), 30}, {QStringLiteral("c"), -1}};
    Report_cl list;
};

// Counts the data objects alive, to see that rows free theirs.
struct Counted_cl : Report_cl::RowData_cl {
    static inline int alive = 0;
    Counted_cl() { ++alive; }
    ~Counted_cl() override { --alive; }
};

class OwningReport_cl : public Report_cl {
public:
    OwningReport_cl() : Report_cl(nullptr, true) {}
    bool refuse = false;

protected:
    RowData_cl* CreateRowData() override { return refuse ? nullptr : new Counted_cl; }
};

}  // namespace

TEST(Report, ColumnWidthsFromPercentages) {
    Report_cl list;
    SetClientWidth(list, 703);
    list.SetColumns(kRecordColumns, 7);
    EXPECT_EQ(Widths(list), (QList<int>{105, 105, 84, 70, 70, 70, 196}));
    EXPECT_EQ(list.Title(6), QStringLiteral("注释"));
    SetClientWidth(list, 203);
    const Report_cl::Column_st statistics[] = {{QStringLiteral("分类"), 50}, {QStringLiteral("金额"), -1}};
    list.SetColumns(statistics, 2);
    EXPECT_EQ(Widths(list), (QList<int>{100, 100}));
    SetClientWidth(list, 103);
    // b reaches 100 percent and takes what is left; the percent left is not used up by
    // it, so c still gets its share. A column marked as the rest leaves nothing after it.
    const Report_cl::Column_st over[] = {{QStringLiteral("a"), 33}, {QStringLiteral("b"), 70}, {QStringLiteral("c"), 10}};
    list.SetColumns(over, 3);
    EXPECT_EQ(Widths(list), (QList<int>{33, 67, 10}));
    const Report_cl::Column_st rest[] = {{QStringLiteral("a"), -1}, {QStringLiteral("b"), 10}};
    list.SetColumns(rest, 2);
    EXPECT_EQ(Widths(list), (QList<int>{100, 0}));
}

TEST_F(ReportTest, SetColumnsReplacesRowsAndColumns) {
    AddRows(2);
    const Report_cl::Column_st one[] = {{QStringLiteral("分类"), -1}};
    list.SetColumns(one, 1);
    EXPECT_EQ(list.ColumnCount(), 1);
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_EQ(RaisedMessage([&] { list.SetColumns(nullptr, 1); }), QStringLiteral("空指针。"));
    list.ClearColumns();
    EXPECT_EQ(list.ColumnCount(), 0);
    list.AddColumn(QStringLiteral("x"), 42);
    EXPECT_EQ(Widths(list), QList<int>{42});
}

// A list wider than its columns: those with a width share the rest while it lasts, a
// hidden one stays hidden, and the widths kept are those set; a figure is never cut.
TEST_F(ReportTest, AWiderListFillsWithItsColumnsAndKeepsTheirWidths) {
    list.SetColumnWidthsText(QStringLiteral("40,60,0"));
    list.show();
    const std::pair<int, QList<int>> steps[] = {{400, {160, 240, 0}}, {150, {60, 90, 0}}, {60, {40, 60, 0}}};
    for (const auto& [width, widths] : steps) {
        SetClientWidth(list, width);
        QCoreApplication::processEvents();
        EXPECT_EQ(Widths(list), widths) << width;
        EXPECT_EQ(list.ColumnWidthsText(), QStringLiteral("40,60,0")) << width;
    }
    // Rows enough for a scroll bar narrow the list's inside: the columns follow.
    SetClientWidth(list, 400);
    AddRows(100);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.horizontalHeader()->length(), list.viewport()->width());
    const Report_cl::Column_st figures[] = {{QStringLiteral("金额"), 10, true}, {QStringLiteral("注释"), -1}};
    list.SetColumns(figures, 2);
    const QString texts[] = {QStringLiteral("-123456.78"), QString()};
    list.AddRow(texts, 2);
    QCoreApplication::processEvents();
    EXPECT_GT(list.columnWidth(0), list.fontMetrics().horizontalAdvance(texts[0]));
}

TEST_F(ReportTest, RowsNeedOneTextPerColumn) {
    const QString texts[] = {QStringLiteral("2008-03-05"), QStringLiteral("午餐"), QStringLiteral("-12.50")};
    EXPECT_EQ(list.AddRow(texts, 3), 0);
    EXPECT_EQ(list.AddRow(texts, 3), 1);
    EXPECT_EQ(list.Text(1, 2), QStringLiteral("-12.50"));
    EXPECT_EQ(RaisedMessage([&] { list.AddRow(texts, 2); }), QStringLiteral("新建项时名称的数量和列数量不匹配。"));
    EXPECT_EQ(RaisedMessage([&] { list.AddRow(nullptr, 3); }), QStringLiteral("空指针。"));
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.AddRow(QStringLiteral("合计")), 2);
    EXPECT_EQ(list.Text(2, 0), QStringLiteral("合计"));
    EXPECT_EQ(list.Text(2, 1), QString());
}

TEST_F(ReportTest, SelectionQueriesFailExactly) {
    AddRows(4);
    EXPECT_EQ(RaisedMessage([&] { list.SelectedRow(); }), QStringLiteral("没有项被选中。"));
    EXPECT_EQ(RaisedMessage([&] { list.FirstSelectedRow(); }), QStringLiteral("没有项被选中。"));
    EXPECT_EQ(RaisedMessage([&] { list.SelectedRows(); }), QStringLiteral("没有项被选中。"));
    Select({2});
    EXPECT_EQ(list.SelectedRow(), 2);
    Select({3, 1});
    EXPECT_EQ(RaisedMessage([&] { list.SelectedRow(); }), QStringLiteral("有多个项被选中。"));
    EXPECT_EQ(list.FirstSelectedRow(), 1);
    const Container_ns::List_tl<int32_t> rows = list.SelectedRows();
    ASSERT_EQ(rows.Count(), 2);
    EXPECT_EQ(rows.At(0).Get(), 1);
    EXPECT_EQ(rows.At(1).Get(), 3);
    list.setCurrentIndex(list.model()->index(0, 2));  // a click on a cell selects its whole row
    EXPECT_EQ(list.SelectedRow(), 0);
    EXPECT_EQ(list.selectionModel()->selectedIndexes().size(), 3);
}

TEST_F(ReportTest, RowDataAndDeletion) {
    AddRows(3);
    list.SetRowData(0, 10);
    list.SetRowData(2, -30);
    EXPECT_EQ(list.RowData(0), 10);
    EXPECT_EQ(list.RowData(1), 0);
    EXPECT_EQ(list.RowData(2), -30);
    EXPECT_EQ(RaisedMessage([&] { list.RowData(3); }), QStringLiteral("索引不正确。"));
    EXPECT_EQ(RaisedMessage([&] { list.SetRowData(-1, 1); }), QStringLiteral("索引不正确。"));
    EXPECT_EQ(RaisedMessage([&] { list.RowDataObject(0); }), QStringLiteral("没启用自动释放数据时无法使用与其冲突的接口。"));
    list.DeleteRow(1);
    EXPECT_EQ(list.RowData(1), -30);
    EXPECT_EQ(RaisedMessage([&] { list.DeleteRow(2); }), QStringLiteral("索引不正确。"));
    list.DeleteAllRows();
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_EQ(list.ColumnCount(), 3);
}

TEST(Report, AutoFreeRowsOwnTheirDataObjects) {
    Counted_cl::alive = 0;
    {
        OwningReport_cl list;
        list.AddColumn(QStringLiteral("a"), 50);
        const QString text = QStringLiteral("x");
        for (int i = 0; i < 4; ++i) list.AddRow(&text, 1);
        EXPECT_EQ(Counted_cl::alive, 4);
        EXPECT_NE(list.RowDataObject(0), list.RowDataObject(1));
        EXPECT_EQ(RaisedMessage([&] { list.SetRowData(0, 1); }), QStringLiteral("启用自动释放数据时无法使用与其冲突的接口。"));
        EXPECT_EQ(RaisedMessage([&] { list.RowData(0); }), QStringLiteral("启用自动释放数据时无法使用与其冲突的接口。"));
        list.DeleteRow(0);
        EXPECT_EQ(Counted_cl::alive, 3);
        list.refuse = true;
        EXPECT_EQ(RaisedMessage([&] { list.AddRow(&text, 1); }), QStringLiteral("索引不正确。"));
        EXPECT_EQ(list.RowCount(), 3);
        list.refuse = false;
        list.DeleteAllRows();
        EXPECT_EQ(Counted_cl::alive, 0);
        list.AddRow(&text, 1);  // the last rows go with the list
    }
    EXPECT_EQ(Counted_cl::alive, 0);
}

TEST_F(ReportTest, ColumnWidthsTextRoundTrips) {
    list.setColumnWidth(0, 80);
    list.setColumnWidth(1, 120);
    list.setColumnWidth(2, 60);
    EXPECT_EQ(list.ColumnWidthsText(), QStringLiteral("80,120,60"));
    list.SetColumnWidthsText(QStringLiteral("+81,0,-0"));
    EXPECT_EQ(Widths(list), (QList<int>{81, 0, 0}));
    list.SetColumnWidthsText(QStringLiteral("80,120,60"));
    EXPECT_EQ(Widths(list), (QList<int>{80, 120, 60}));
    list.SetColumnWidthsText(QString());
    EXPECT_EQ(Widths(list), (QList<int>{80, 120, 60}));
}

TEST_F(ReportTest, AWidthsTextThatDoesNotFitChangesNothing) {
    list.SetColumnWidthsText(QStringLiteral("80,120,60"));
    for (const char* bad : {"90,130", "90,130,70,10", "90,x,70", "90,,70", "90, 130,70", "90,1e2,70", "+,1,1",
                            "99999999999,1,1", "90,130,70,"}) {
        EXPECT_EQ(RaisedMessage([&] { list.SetColumnWidthsText(QString::fromUtf8(bad)); }),
                  QStringLiteral("列宽度信息数据格式不正确。"))
            << bad;
        EXPECT_EQ(Widths(list), (QList<int>{80, 120, 60})) << bad;
    }
    EXPECT_EQ(RaisedMessage([&] { list.SetColumnWidthsText(QStringLiteral("90,-5,70")); }), QStringLiteral("列宽度不正确。"));
    EXPECT_EQ(Widths(list), (QList<int>{80, 120, 60}));
}

TEST_F(ReportTest, ExportWritesTitlesThenRowsAsShown) {
    const QString first[] = {QStringLiteral("2008-03-05"), QStringLiteral("午餐,晚餐"), QStringLiteral("说\"好\"")};
    list.AddRow(first, 3);
    list.AddRow(QStringLiteral("合计"));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("导出.csv"));
    list.ExportCSV(path);

    IO_ns::FileStream_tl<IO_ns::CSVStream_cl> file;
    file.OpenForRead(path);
    QStringList cells;
    QString cell;
    while (file.TryReadCell(cell)) cells.append(cell);
    file.Close();
    EXPECT_EQ(cells, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("2008-03-05"),
                                  QStringLiteral("午餐,晚餐"), QStringLiteral("说\"好\""), QStringLiteral("合计"), QString(),
                                  QString()}));
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().startsWith("a,b,c\r\n2008-03-05,\""));  // GBK, CR LF rows
}

TEST_F(ReportTest, ExportToAMissingFolderFailsWithoutAFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("无/导出.csv"));
    EXPECT_NE(RaisedMessage([&] { list.ExportCSV(path); }), QStringLiteral("(nothing raised)"));
    EXPECT_FALSE(QFile::exists(path));
}

namespace {

// Rows handed over whole, made from the same texts as rows added one by one.
class TextRows_cl : public CTL_ns::ReportRows_cl {
public:
    explicit TextRows_cl(QList<QStringList> rows) : rows(std::move(rows)) {}
    int32_t Count() const override { return int32_t(rows.size()); }
    int32_t ColumnCount() const override { return 3; }
    QString Text(int32_t row, int32_t column) const override { return rows[row][column]; }
    int32_t Data(int32_t row) const override { return 100 + row; }

private:
    QList<QStringList> rows;
};

QByteArray Exported(const Report_cl& list, const QTemporaryDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    list.ExportCSV(path);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// A list fed by a row source shows, selects and exports exactly what the same rows added
// one by one give.
TEST_F(ReportTest, RowSourceBehavesAsAddedRows) {
    const QList<QStringList> texts = {{QStringLiteral("2024-05-01"), QStringLiteral("餐饮"), QStringLiteral("-12.5")},
                                      {QStringLiteral("2024-04-30"), QStringLiteral("工资,奖金"), QStringLiteral("8000")},
                                      {QStringLiteral("2024-04-02"), QStringLiteral("交通"), QString()},
                                      {QStringLiteral("2024-04-01"), QStringLiteral("说\"好\""), QStringLiteral("-3")}};
    for (const QStringList& row : texts) {
        const int32_t index = list.AddRow(row.constData(), 3);
        list.SetRowData(index, 100 + index);
    }
    Report_cl fed;
    SetClientWidth(fed, 203);
    fed.SetColumns(columns, 3);
    fed.SetRows(std::make_unique<TextRows_cl>(texts));

    ASSERT_EQ(fed.RowCount(), list.RowCount());
    for (int32_t row = 0; row < list.RowCount(); ++row) {
        EXPECT_EQ(fed.RowData(row), list.RowData(row));
        for (int32_t column = 0; column < 3; ++column) EXPECT_EQ(fed.Text(row, column), list.Text(row, column));
    }
    const std::vector<std::vector<int32_t>> selections = {{2}, {3, 0}, {0, 1, 2, 3}, {1, 3}};
    for (const std::vector<int32_t>& selection : selections) {
        for (Report_cl* each : {&list, &fed}) {
            each->clearSelection();
            for (int32_t row : selection) each->SelectRow(row);
        }
        EXPECT_EQ(fed.FirstSelectedRow(), list.FirstSelectedRow());
        EXPECT_EQ(RaisedMessage([&] { fed.SelectedRow(); }), RaisedMessage([&] { list.SelectedRow(); }));
        const auto fedRows = fed.SelectedRows(), listRows = list.SelectedRows();
        ASSERT_EQ(fedRows.Count(), listRows.Count());
        for (int32_t i = 0; i < fedRows.Count(); ++i) EXPECT_EQ(fedRows.At(i).Get(), listRows.At(i).Get());
    }
    fed.selectAll();
    EXPECT_EQ(fed.SelectedRows().Count(), 4);
    QTemporaryDir folder;
    EXPECT_EQ(Exported(fed, folder, QStringLiteral("fed.csv")), Exported(list, folder, QStringLiteral("added.csv")));

    const QString row[] = {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")};
    const QString fromSource = QStringLiteral("列表的行来自数据源，不能逐行增删。");
    EXPECT_EQ(RaisedMessage([&] { fed.AddRow(row, 3); }), fromSource);
    EXPECT_EQ(RaisedMessage([&] { fed.DeleteRow(0); }), fromSource);
    EXPECT_EQ(RaisedMessage([&] { fed.SetRowData(0, 1); }), fromSource);
    EXPECT_EQ(RaisedMessage([&] { fed.Text(4, 0); }), QStringLiteral("索引不正确。"));
    Report_cl narrow;
    narrow.AddColumn(QStringLiteral("a"), 10);
    EXPECT_EQ(RaisedMessage([&] { narrow.SetRows(std::make_unique<TextRows_cl>(texts)); }),
              QStringLiteral("新建项时名称的数量和列数量不匹配。"));
    fed.DeleteAllRows();
    EXPECT_EQ(fed.AddRow(row, 3), 0);  // own rows again once the source is gone
}

namespace {

// One thing a person does to the list: a click on a row or, for row -1, on a column
// title (no key), or a key press.
struct Act_st {
    int row;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = {};
};

struct Session_st {
    const char* name;
    std::vector<Act_st> acts;
    std::vector<int32_t> selected;
};

void PrintTo(const Session_st& session, std::ostream* out) { *out << session.name; }

Act_st Click(int row, Qt::KeyboardModifiers modifiers = {}) { return {row, Qt::Key(0), modifiers}; }
Act_st Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { return {0, key, modifiers}; }

const Session_st kSessions[] = {
    {"Click", {Click(2)}, {2}},
    {"ClickAgainElsewhere", {Click(2), Click(5)}, {5}},
    {"CtrlClickAdds", {Click(1), Click(3, Qt::ControlModifier)}, {1, 3}},
    {"CtrlClickTakesOut", {Click(1), Click(3, Qt::ControlModifier), Click(1, Qt::ControlModifier)}, {3}},
    {"ShiftClickSpans", {Click(4), Click(1, Qt::ShiftModifier)}, {1, 2, 3, 4}},
    {"DownMoves", {Click(5), Press(Qt::Key_Down), Press(Qt::Key_Down)}, {7}},
    {"ShiftDownSpans", {Click(5), Press(Qt::Key_Down, Qt::ShiftModifier), Press(Qt::Key_Down, Qt::ShiftModifier)}, {5, 6, 7}},
    {"EndGoesToTheLastRow", {Click(5), Press(Qt::Key_End)}, {19}},
    {"HomeGoesToTheFirstRow", {Click(5), Press(Qt::Key_Home)}, {0}},
    {"ShiftEndSpansToTheLastRow", {Click(17), Press(Qt::Key_End, Qt::ShiftModifier)}, {17, 18, 19}},
    {"SidewaysKeysKeepTheRow", {Click(5), Press(Qt::Key_Right), Press(Qt::Key_Down), Press(Qt::Key_Left), Press(Qt::Key_Up)}, {5}},
    {"ATitleClickKeepsTheSelection", {Click(5), Click(-1)}, {5}},
    {"CtrlASelectsAll", {Click(5), Press(Qt::Key_A, Qt::ControlModifier)}, {}},
};

struct ReportSessionTest : ::testing::TestWithParam<Session_st> {};

}  // namespace

// Rows are chosen with the mouse and the keys as in any list of the desktop.
TEST_P(ReportSessionTest, SelectsWhatAPersonChose) {
    Report_cl list;
    SetClientWidth(list, 203);
    const Report_cl::Column_st columns[] = {{QStringLiteral("a"), 30}, {QStringLiteral("b"), 30}, {QStringLiteral("c"), -1}};
    list.SetColumns(columns, 3);
    for (int i = 0; i < 20; ++i) {
        const QString texts[] = {QString::number(i), QStringLiteral("b"), QStringLiteral("c")};
        list.AddRow(texts, 3);
    }
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    for (const Act_st& act : GetParam().acts) {
        if (act.key != Qt::Key(0)) {
            QTest::keyClick(&list, act.key, act.modifiers);
        } else if (act.row < 0) {
            QHeaderView* titles = list.horizontalHeader();
            QTest::mouseClick(titles->viewport(), Qt::LeftButton, act.modifiers,
                              QPoint(titles->sectionViewportPosition(1) + 5, titles->height() / 2));
        } else {
            list.scrollTo(list.model()->index(act.row, 0));
            QTest::mouseClick(list.viewport(), Qt::LeftButton, act.modifiers,
                              list.visualRect(list.model()->index(act.row, 1)).center());
        }
    }
    std::vector<int32_t> expected = GetParam().selected;
    if (expected.empty()) {
        for (int32_t i = 0; i < list.RowCount(); ++i) expected.push_back(i);
    }
    std::vector<int32_t> selected;
    const auto rows = list.SelectedRows();
    for (int32_t i = 0; i < rows.Count(); ++i) selected.push_back(rows.At(i).Get());
    EXPECT_EQ(selected, expected);
}

INSTANTIATE_TEST_SUITE_P(Sessions, ReportSessionTest, ::testing::ValuesIn(kSessions),
                         [](const ::testing::TestParamInfo<Session_st>& info) { return std::string(info.param.name); });
