#pragma once

#include "DB/SimpleOutRecords.h"
#include "Data/RecordFilter.h"
#include "base/DateTime.h"
#include "SystemInfo/AutoSize.h"
#include "base/Error.h"
#include "base/Trusteeship.h"

#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;
class QSplitter;

namespace CTL_ns {
class ComboBox_cl;
class Report_cl;
}  // namespace CTL_ns

namespace Vorelle_ns {

class WCrosstabChart_cl;

// A statistics tab: one row per category, one column per period, each cell the signed
// sum of that category's entries in that period, then the expense, income and balance
// rows. The entries are the logged-in user's, a named user's or everybody's; the table
// can be exported as a CSV file. Charts of the same figures sit below the table. A
// double click on a cell, a bar or a slice asks for the entries behind it. The month and
// year pages add their periods.
class WCrosstabPage_cl : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t IdUserMode = 1052;
    static constexpr int32_t IdUserName = 1003;
    static constexpr int32_t IdExport = 1054;
    static constexpr int32_t IdCrosstab = 1063;
    static constexpr int32_t IdChart = 1065;
    static constexpr int32_t IdNothing = 1066;
    // The designed size of both pages, in dialog units.
    static constexpr int32_t Width = 522;
    static constexpr int32_t Height = 265;
    // Pixel widths of the category column and of each period column.
    static constexpr int32_t CategoryWidth = 100;
    static constexpr int32_t PeriodWidth = 70;

    enum UserMode_en { CurrentUser = 0, NamedUser = 1, AllUsers = 2 };

    // Remembers the chosen user mode.
    ~WCrosstabPage_cl() override;

    static QString ClassName() { return QStringLiteral("WCrosstabPage_cl"); }

    // Queries the crosstab for the chosen user and shows it. A named user without a name,
    // or a name nobody has, shows nothing but why. Raises; a failure leaves the list as
    // far as it was filled.
    void Reload();
    // Enables the controls that fit the chosen user mode and the list's content.
    virtual void EnableControls();
    // Asks for the entries of a category (row of the table; -1: all) in a period (column
    // after the captions; -1: the whole range).
    void WantEntries(int32_t category, int32_t period);

signals:
    // The entries behind a figure: of typeName (empty: all), from begin to end, of the
    // page's user mode and named user, of the statistics modes the page counts.
    void EntriesWanted(const QString& typeName, const Base_ns::DateTime_cl& begin, const Base_ns::DateTime_cl& end,
                       int32_t userMode, const QString& userName, RecordFilter_st::Counted_en counted);

protected:
    // Where a page puts the user controls (x in dialog units; the rest is common).
    struct Resource_st {
        int32_t userLabelX;
        int32_t userModeX;
        int32_t userNameX;
        int32_t exportX;
    };

    // Makes the common controls; the page makes its own, then calls Initialise().
    WCrosstabPage_cl(const Resource_st& resource, QWidget* parent);

    // Fills the user modes and names from the settings, then enables the controls.
    virtual void Initialise();
    // The page's crosstab for the given user selection (allUsers, or the named user,
    // or the logged-in one when the name is empty).
    virtual DB_ns::CrossTable_st Query(bool allUsers, const QString& userName) = 0;
    // The names this page kept on its own before they were shared with the record page.
    virtual QString RecentListKey() const = 0;
    // Narrows a period's span to what the page counted.
    virtual void ClampSpan(Base_ns::DateTime_cl& begin, Base_ns::DateTime_cl& end) const;
    // The entries the page counts.
    virtual RecordFilter_st::Counted_en Counted() const = 0;
    // The caption of the period that holds today.
    virtual QString CurrentPeriod() const = 0;
    // The plans the chart marks, by category name; none unless a page has them.
    virtual std::vector<std::pair<QString, int32_t>> Plans() { return {}; }

    // Reload and EnableControls, for a user's action: a failure is shown over the page.
    void Refresh();
    // Runs an action of the user; a failure is shown over the page.
    template <typename Action>
    void Handle(Action&& action);

    // Puts the page's own controls, in this order, before the common ones when moving
    // with the keyboard.
    void PutFirstInTabOrder(std::initializer_list<QWidget*> controls);

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int32_t UserMode() const;
    void GetUser(bool& allUsers, QString& userName) const;
    void Fill(const DB_ns::CrossTable_st& table);
    // Empties the table and the charts and says why over the table.
    void ShowNothing(const QString& why);
    // A table of new periods or categories opens on the current period and the totals,
    // with as much of its height as the charts can spare.
    void OpenOnWhatMatters();
    void RememberSearchedName(const QString& name);
    // Whether the chosen user differs from the one the table was last loaded for.
    bool UserChanged() const;
    void ReloadAndEnable();
    void OnUserMode();
    void OnUserName();
    void Export();
    void OnCellDoubleClicked(int32_t row, int32_t column);

    // The user choice the table was last loaded for.
    int32_t loadedMode = -1;
    QString loadedName;
    SystemInfo_ns::AutoSize_cl autoSize;

    CTL_ns::ComboBox_cl* userModeCombo;
    CTL_ns::ComboBox_cl* userNameCombo;
    QPushButton* exportButton;
    CTL_ns::Report_cl* crosstab;
    QLabel* nothingLabel;  // over the empty table: why nothing is shown
    QSplitter* splitter;
    bool splitterPlaced = false;
    int32_t fills = 0;
    WCrosstabChart_cl* chart;
    QList<QStringList> fileRows;  // the table as its export writes it
    QStringList shownCategories;  // the table's category rows
    QStringList shownPeriods;     // the table's period columns
};

template <typename Action>
void WCrosstabPage_cl::Handle(Action&& action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

}  // namespace Vorelle_ns
