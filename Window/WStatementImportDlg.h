#pragma once

#include "Import/StatementImport.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

namespace Vorelle_ns {

class StatementRowsModel_cl;

// The preview of a downloaded statement: every row with its decision and category (a
// booked row's category can be changed and saved as a rule), the totals per decision and
// the comparison with the statement's own figures; then one import in one transaction.
// A row that may be an entry already in the book ("可能重复") is booked as new or linked to
// that entry as the user picks; until then it is not booked.
class WStatementImportDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdRows = 1100;
    static constexpr int32_t IdOwner = 1101;
    static constexpr int32_t IdSaveRule = 1102;
    static constexpr int32_t IdRules = 1103;
    static constexpr int32_t IdAsNew = 1104;
    static constexpr int32_t IdLink = 1105;
    static constexpr int32_t IdImport = 1;
    static constexpr int32_t IdCancel = 2;

    // Reads and decides the whole file; raises when it fits no known statement or holds
    // a damaged row.
    WStatementImportDlg_cl(const QString& path, QWidget* parent = nullptr);
    ~WStatementImportDlg_cl() override;

    static QString ClassName() { return QStringLiteral("WStatementImportDlg_cl"); }

    // The summary of the import, once the dialog ended with it.
    const Import_ns::StatementSummary_st& Result() const { return result; }

private:
    void BuildControls(const QString& path);
    void Preview(const Import_ns::Progress_fn& follow);
    void ShowSummary(const Import_ns::StatementSummary_st& summary);
    void OnSaveRule();
    void OnRules();
    // The selected row that may be an entry of the book: booked as new, or linked to it.
    void OnChoose(Import_ns::MatchChoice_en choice);
    void OnImport();
    template <typename Action>
    void Handle(Action&& action);

    std::unique_ptr<Import_ns::StatementImport_cl> statement;
    StatementRowsModel_cl* model = nullptr;
    QTableView* rowsView = nullptr;
    QComboBox* ownerCombo = nullptr;
    QLabel* formatLabel = nullptr;
    QLabel* summaryLabel = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* importButton = nullptr;
    Import_ns::StatementSummary_st result;
    QStringList disagreements;  // of the preview: what the user is asked to accept
};

}  // namespace Vorelle_ns
