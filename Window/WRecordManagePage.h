#pragma once

#include "Data/RecordFilter.h"
#include "WRecordFilterBar.h"
#include "LineWrap.h"
#include "SystemInfo/AutoSize.h"
#include "Data/RecordList.h"
#include "Data/RecordManage.h"
#include "base/DateTime.h"
#include "base/Trusteeship.h"

#include <QWidget>
#include <cstdint>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;

namespace CTL_ns {
class Report_cl;
}  // namespace CTL_ns

namespace Vorelle_ns {

// The record management tab: the entries of a date range for the logged-in user, a named
// user or everybody, with per-category sums, totals and the account balance beside them.
// Entries are added, changed and deleted from here, and exported to or imported from
// CSV files.
class WRecordManagePage_cl : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t IdDateMode = WRecordFilterBar_cl::IdDateMode;
    static constexpr int32_t IdBeginDate = WRecordFilterBar_cl::IdBeginDate;
    static constexpr int32_t IdEndDate = WRecordFilterBar_cl::IdEndDate;
    static constexpr int32_t IdPrevious = WRecordFilterBar_cl::IdPrevious;
    static constexpr int32_t IdNext = WRecordFilterBar_cl::IdNext;
    static constexpr int32_t IdUserMode = WRecordFilterBar_cl::IdUserMode;
    static constexpr int32_t IdUserName = WRecordFilterBar_cl::IdUserName;
    static constexpr int32_t IdSearch = WRecordFilterBar_cl::IdSearch;
    static constexpr int32_t IdCategory = WRecordFilterBar_cl::IdCategory;
    static constexpr int32_t IdMinimum = WRecordFilterBar_cl::IdMinimum;
    static constexpr int32_t IdMaximum = WRecordFilterBar_cl::IdMaximum;
    static constexpr int32_t IdCounted = WRecordFilterBar_cl::IdCounted;
    static constexpr int32_t IdNew = 1053;
    static constexpr int32_t IdExport = 1054;
    static constexpr int32_t IdImport = 1055;
    static constexpr int32_t IdImportStatement = 1074;
    static constexpr int32_t IdRecords = 1040;
    static constexpr int32_t IdSums = 1041;
    static constexpr int32_t IdShowAccount = 1066;
    static constexpr int32_t IdAccount = 1067;
    static constexpr int32_t IdChangeAccount = 1068;
    static constexpr int32_t IdMatches = 1073;
    static constexpr int32_t IdUndoDelete = 1075;
    static constexpr int32_t IdUndoImport = 1076;
    // The designed size, in dialog units.
    static constexpr int32_t Width = 522;
    static constexpr int32_t Height = 265;

    // Needs a logged-in user: the offered user modes follow his power, and the page's
    // remembered settings are his.
    explicit WRecordManagePage_cl(QWidget* parent = nullptr);
    // Remembers the page's settings.
    ~WRecordManagePage_cl() override;

    static QString ClassName() { return QStringLiteral("WRecordManagePage_cl"); }

    // Fills the entry list for the chosen range and user, then the sums and the account
    // text. Shows nothing while a named user is chosen but no name given, or a name
    // nobody has. Raises.
    void Reload();
    // Enables the controls that fit the chosen modes.
    void EnableControls();
    // Reload and EnableControls for the main window's records-changed notification; a
    // failure is shown over the page.
    void Refresh();
    // Shows the entries of one category (empty: all) from begin's day to end's, of the
    // given user mode and name, that a statistics page counts, with no search: where a
    // statistics page leads to. The page's remembered filter stays as the user left it.
    void ShowEntries(const QString& typeName, const Base_ns::DateTime_cl& begin, const Base_ns::DateTime_cl& end,
                     int32_t userMode, const QString& userName, RecordFilter_st::Counted_en counted);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Initialise();
    // The categories of both kinds the user may see.
    void FillCategories();
    // Empties the lists, the sums and the count, saying why in the count's place.
    void ShowNothing(const QString& why);
    void FillRecords(const WRecordFilterBar_cl::Filter_st& query);
    void FillSums(const WRecordFilterBar_cl::Filter_st& query);
    void RefreshAccount();
    void OnFilterChanged();

    void OnShowAccount();
    void OnNew();
    void OnEdit();
    // Selects the rows of these entries that the list shows, the first one current.
    void SelectEntries(const Container_ns::List_tl<int32_t>& sns);
    void OnDelete();
    // Ctrl+Z and "撤销删除": the last deletion since the start comes back.
    void OnUndoDelete();
    void OnChangeAccount();
    void OnExport();
    void OnImport();
    void ChangeAccount();
    void Export();
    void Import();
    // A downloaded statement through its preview.
    void ImportStatement();
    // "撤销这次导入": the logged-in user's last import, of a statement or a record file,
    // taken back, once confirmed.
    void UndoImport();
    void ReloadAndEnable();
    void StoreSettings();
    // Runs an action of the user; a failure is shown over the page.
    template <typename Action>
    void Handle(Action&& action);

    // A drill-down shows a filter of its own: the one to remember is the user's.
    bool drilledDown = false;
    QString nothingShown;  // why the lists are empty without a query; empty: they are not
    // The entries the list shows, in its order: what the export writes.
    std::shared_ptr<const RecordList_cl> shownRows = std::make_shared<const RecordList_cl>();  // never null
    bool superAdmin = false;
    SystemInfo_ns::AutoSize_cl autoSize;
    LineWrap_cl topLines;

    WRecordFilterBar_cl* filterBar;
    QPushButton* newButton;
    QPushButton* exportButton;
    QPushButton* importButton;
    QPushButton* importStatementButton;
    QPushButton* undoButton;
    QPushButton* undoImportButton;
    CTL_ns::Report_cl* recordList;
    CTL_ns::Report_cl* sumList;
    QCheckBox* showAccountCheck;
    QLabel* accountLabel;
    QPushButton* changeAccountButton;
    QLabel* matchesLabel;
};

}  // namespace Vorelle_ns
