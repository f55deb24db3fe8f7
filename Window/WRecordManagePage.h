#pragma once

#include "Data/RecordFilter.h"
#include "SystemInfo/AutoSize.h"
#include "Data/RecordManage.h"
#include "base/DateTime.h"
#include "base/Trusteeship.h"

#include <QWidget>
#include <cstdint>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace CTL_ns {
class ComboBox_cl;
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
    static constexpr int32_t IdDateMode = 1050;
    static constexpr int32_t IdBeginDate = 1051;
    static constexpr int32_t IdEndDate = 1056;
    static constexpr int32_t IdPrevious = 1057;
    static constexpr int32_t IdNext = 1058;
    static constexpr int32_t IdUserMode = 1052;
    static constexpr int32_t IdUserName = 1003;
    static constexpr int32_t IdNew = 1053;
    static constexpr int32_t IdExport = 1054;
    static constexpr int32_t IdImport = 1055;
    static constexpr int32_t IdImportStatement = 1074;
    static constexpr int32_t IdRecords = 1040;
    static constexpr int32_t IdSums = 1041;
    static constexpr int32_t IdShowAccount = 1066;
    static constexpr int32_t IdAccount = 1067;
    static constexpr int32_t IdChangeAccount = 1068;
    static constexpr int32_t IdSearch = 1069;
    static constexpr int32_t IdCategory = 1070;
    static constexpr int32_t IdMinimum = 1071;
    static constexpr int32_t IdMaximum = 1072;
    static constexpr int32_t IdMatches = 1073;
    static constexpr int32_t IdUndoDelete = 1075;
    static constexpr int32_t IdCounted = 1076;
    // The designed size, in dialog units.
    static constexpr int32_t Width = 522;
    static constexpr int32_t Height = 265;

    // Date modes and user modes, as the item data of their lists.
    enum DateMode_en { Today = 0, ThisMonth = 1, LastThirtyDays = 2, Custom = 3 };
    enum UserMode_en { CurrentUser = 0, NamedUser = 1, AllUsers = 2 };

    // Needs a logged-in user: the offered user modes follow his power, and the page's
    // remembered settings are his.
    explicit WRecordManagePage_cl(QWidget* parent = nullptr);
    // Remembers the page's settings.
    ~WRecordManagePage_cl() override;

    static QString ClassName() { return QStringLiteral("WRecordManagePage_cl"); }

    // Fills the entry list for the chosen range and user, then the sums and the account
    // text. Does nothing while a named user is chosen but no name given. Raises.
    void Reload();
    // Enables the controls that fit the chosen modes.
    void EnableControls();
    // Reload and EnableControls for the main window's records-changed notification; a
    // failure is shown over the page.
    void Refresh();
    // Shows the entries of one category (empty: all) from begin's day to end's, of the
    // given user mode and name, that a statistics page counts, with no search: where a
    // statistics page leads to.
    void ShowEntries(const QString& typeName, const Base_ns::DateTime_cl& begin, const Base_ns::DateTime_cl& end,
                     int32_t userMode, const QString& userName, RecordFilter_st::Counted_en counted);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the entry and sum queries ask for.
    struct Query_st {
        Base_ns::DateTime_cl begin;
        Base_ns::DateTime_cl end;
        bool allUsers = false;
        QString userName;  // a named user's, else empty
        RecordFilter_st filter;
    };

    void BuildControls();
    void Initialise();
    // False when a named user is chosen but no name given. Raises for an amount bound
    // that is no amount.
    bool GetQuery(Query_st& query) const;
    std::optional<int32_t> ReadBound(QLineEdit* edit) const;
    // The categories of both kinds, the chosen one kept.
    void FillCategories();
    int32_t DateMode() const;
    int32_t UserMode() const;
    void RememberSearchedName(const QString& name);
    void FillRecords(const Query_st& query);
    void FillSums(const Query_st& query);
    void RefreshAccount();
    void SetDates(const Base_ns::DateTime_cl& begin, const Base_ns::DateTime_cl& end);
    void Step(int32_t direction);

    void OnDateMode();
    void OnUserMode();
    void OnUserName();
    void OnDatePicked();
    void OnShowAccount();
    void OnNew();
    void OnEdit();
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
    void ReloadAndEnable();
    void StoreSettings();
    // Runs an action of the user; a failure is shown over the page.
    template <typename Action>
    void Handle(Action&& action);

    QString lastSearchedName;
    // The entries the list shows, in its order: what the export writes.
    Base_ns::Trusteeship_tl<RecordRow_st> shownRows;
    bool superAdmin = false;
    SystemInfo_ns::AutoSize_cl autoSize;

    CTL_ns::ComboBox_cl* dateModeCombo;
    QDateEdit* beginDate;
    QDateEdit* endDate;
    QPushButton* previousButton;
    QPushButton* nextButton;
    CTL_ns::ComboBox_cl* userModeCombo;
    CTL_ns::ComboBox_cl* userNameCombo;
    QPushButton* newButton;
    QPushButton* exportButton;
    QPushButton* importButton;
    QPushButton* importStatementButton;
    QPushButton* undoButton;
    CTL_ns::Report_cl* recordList;
    CTL_ns::Report_cl* sumList;
    QCheckBox* showAccountCheck;
    QLabel* accountLabel;
    QPushButton* changeAccountButton;
    QLineEdit* searchEdit;
    CTL_ns::ComboBox_cl* categoryCombo;
    CTL_ns::ComboBox_cl* countedCombo;
    QLineEdit* minimumEdit;
    QLineEdit* maximumEdit;
    QLabel* matchesLabel;
    RecordFilter_st lastFilter;  // what the list now shows
};

}  // namespace Vorelle_ns
