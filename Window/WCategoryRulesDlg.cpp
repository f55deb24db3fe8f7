#include "Window/WCategoryRulesDlg.h"
#include "Window/ScreenFit.h"

#include "Import/CategoryRules.h"
#include "base/Error.h"
#include "settings/Unique.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Vorelle_ns {

namespace {

// The statistics modes offered, by the value stored (-1: monthly, the default).
const char16_t* const kModes[] = {u"默认（月统计）", u"月统计", u"年统计", u"不统计"};

void AddRow(QTableWidget* table, const Import_ns::CategoryRule_st& rule) {
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, 0, new QTableWidgetItem(rule.keyword));
    table->setItem(row, 1, new QTableWidgetItem(rule.category));
    table->setItem(row, 2, new QTableWidgetItem(rule.name));
    auto* mode = new QComboBox(table);
    for (const char16_t* text : kModes) mode->addItem(QString::fromUtf16(text));
    mode->setCurrentIndex(rule.mode + 1);
    table->setCellWidget(row, 3, mode);
}

void Fill(QTableWidget* table, const QList<Import_ns::CategoryRule_st>& rules) {
    table->setRowCount(0);
    for (const Import_ns::CategoryRule_st& rule : rules) AddRow(table, rule);
}

}  // namespace

WCategoryRulesDlg_cl::WCategoryRulesDlg_cl(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("账单分类规则"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("交易对方、商品或账单自带的分类含有关键字时，记入该分类；从上到下，第一条相符的规则有效。"), this));
    table = new QTableWidget(0, 4, this);
    table->setObjectName(QString::number(IdRules));
    table->setHorizontalHeaderLabels({QStringLiteral("关键字"), QStringLiteral("分类"), QStringLiteral("名称（可空）"),
                                      QStringLiteral("统计方式")});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->hide();
    layout->addWidget(table, 1);
    auto* buttons = new QHBoxLayout;
    const auto button = [&](int32_t id, const QString& text) {
        auto* pushButton = new QPushButton(text, this);
        pushButton->setObjectName(QString::number(id));
        buttons->addWidget(pushButton);
        return pushButton;
    };
    QPushButton* add = button(IdAdd, QStringLiteral("新增(&N)"));
    QPushButton* remove = button(IdDelete, QStringLiteral("删除(&D)"));
    QPushButton* defaults = button(IdDefaults, QStringLiteral("恢复默认"));
    buttons->addStretch();
    QPushButton* ok = button(IdOK, QStringLiteral("确定"));
    QPushButton* cancel = button(IdCancel, QStringLiteral("取消"));
    ok->setDefault(true);
    layout->addLayout(buttons);
    resize(ScreenFit_cl::Bounded(QSize(560, 480)));

    Fill(table, Import_ns::CategoryRules_cl::Load(Unique_ns::GetCustomFromDatabase()).Rules());
    connect(add, &QPushButton::clicked, this, [this] {
        AddRow(table, {});
        table->setCurrentCell(table->rowCount() - 1, 0);
        table->editItem(table->item(table->rowCount() - 1, 0));
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (table->currentRow() >= 0) table->removeRow(table->currentRow());
    });
    connect(defaults, &QPushButton::clicked, this, [this] { Fill(table, Import_ns::CategoryRules_cl::Defaults()); });
    connect(ok, &QPushButton::clicked, this, [this] {
        try {
            OnOK();
        } catch (const Base_ns::Error_cl& error) {
            error.Show(this);
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void WCategoryRulesDlg_cl::OnOK() {
    QList<Import_ns::CategoryRule_st> rules;
    for (int row = 0; row < table->rowCount(); ++row) {
        const auto text = [&](int column) { return table->item(row, column)->text().trimmed(); };
        const auto* mode = static_cast<QComboBox*>(table->cellWidget(row, 3));
        rules.append({text(0), text(1), text(2), mode->currentIndex() - 1});
    }
    Import_ns::CategoryRules_cl(rules).Save(Unique_ns::GetCustomFromDatabase());
    accept();
}

}  // namespace Vorelle_ns
