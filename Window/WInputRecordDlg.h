#pragma once

#include "Data/RecordManage.h"
#include "base/DateTime.h"
#include "base/Trusteeship.h"

#include <QDialog>
#include <cstdint>

class QCheckBox;
class QDateTimeEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace CTL_ns {
class ComboBox_cl;
class Report_cl;
class TabCtrl_cl;
}  // namespace CTL_ns

namespace Vorelle_ns {

// The dialog in which one income or expense entry is typed: new entries one after the
// other, or the change of an existing one. It also keeps the user's frequently used
// entries (templates) and offers recently typed categories, names and amounts again.
class WInputRecordDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdKindTab = 1013;
    static constexpr int32_t IdDate = 1059;
    static constexpr int32_t IdCategory = 1032;
    static constexpr int32_t IdName = 1033;
    static constexpr int32_t IdAmount = 1034;
    static constexpr int32_t IdComment = 1025;
    static constexpr int32_t IdMonthly = 1049;
    static constexpr int32_t IdYearly = 1050;
    static constexpr int32_t IdOK = 1;
    static constexpr int32_t IdCancel = 2;
    static constexpr int32_t IdTemplates = 1063;
    static constexpr int32_t IdStoreTemplate = 3;
    static constexpr int32_t IdTakeTemplate = 4;
    static constexpr int32_t IdBudgetNotice = 1077;
    // Of an entry a statement's trade is linked to: "取消与账单的匹配".
    static constexpr int32_t IdUnlink = 1078;
    // The tab control's message when a tab becomes current.
    static constexpr uint32_t KindChangedMessage = 13141;

    // New-entry mode: entries dated date are added one after the other; each add queues
    // the main window's records-changed notification.
    WInputRecordDlg_cl(const Base_ns::DateTime_cl& date, QWidget* parent);
    // Edit mode for the entry recordSn; read-only when the user may not change it.
    WInputRecordDlg_cl(int32_t recordSn, QWidget* parent);

    static QString ClassName() { return QStringLiteral("WInputRecordDlg_cl"); }

    // Cancelled at once, after the error was shown, when the entry could not be loaded.
    int exec() override;

protected:
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WInputRecordDlg_cl(bool editMode, int32_t recordSn, const Base_ns::DateTime_cl& date, QWidget* parent);
    void BuildControls();
    void LoadRecord();
    void EnableControls();

    // 0 expense, 1 income: the selected tab.
    int32_t Kind() const;
    int32_t StatisticsMode() const;
    void SetStatisticsMode(int32_t mode);
    // Hundredths typed into the amount box, checked for a new entry (at least 1).
    int32_t EntryCents();
    QString CheckedComment();

    void OnKindChanged();
    void OnAddOrChange();
    void AddOrChange();
    void OnStoreTemplate();
    void OnTakeTemplate();
    void OnUnlink();
    void OnDeleteTemplate();

    void LoadCombos(int32_t kind);
    void LoadTemplates();
    void ClearInput();
    // What a booked monthly expense leaves of its category's plan that month; nothing
    // when the category has none.
    void ShowBudgetNotice(const QString& category, const Base_ns::DateTime_cl& time, int32_t mode);
    // Runs an action of the user; a failure is shown over the dialog.
    template <typename Action>
    void Handle(Action&& action);

    const bool editMode;
    const int32_t recordSn;
    bool mayModify = true;
    bool refund = false;  // the entry edited is money back in an expense category
    bool loaded = true;
    Base_ns::Trusteeship_tl<TemplateRow_st> templates;

    CTL_ns::TabCtrl_cl* kindTab;
    QDateTimeEdit* dateEdit;
    CTL_ns::ComboBox_cl* categoryCombo;
    CTL_ns::ComboBox_cl* nameCombo;
    CTL_ns::ComboBox_cl* amountCombo;
    QPlainTextEdit* commentEdit;
    QLabel* budgetNotice;
    QCheckBox* monthlyCheck;
    QCheckBox* yearlyCheck;
    QPushButton* okButton;
    QPushButton* cancelButton;
    CTL_ns::Report_cl* templateList;
    QPushButton* storeButton;
    QPushButton* takeButton;
    QPushButton* unlinkButton;
};

}  // namespace Vorelle_ns
