#pragma once

#include <QDialog>
#include <cstdint>

class QTableWidget;

namespace Vorelle_ns {

// Edits the category rules of statement imports: keyword, category, entry name and
// statistics mode, first match wins; saved in the book's settings on OK.
class WCategoryRulesDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdRules = 1110;
    static constexpr int32_t IdAdd = 1111;
    static constexpr int32_t IdDelete = 1112;
    static constexpr int32_t IdDefaults = 1113;
    static constexpr int32_t IdOK = 1;
    static constexpr int32_t IdCancel = 2;

    explicit WCategoryRulesDlg_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WCategoryRulesDlg_cl"); }

private:
    void OnOK();

    QTableWidget* table = nullptr;
};

}  // namespace Vorelle_ns
