#include "Window/WStatementImportDlg.h"
#include "Window/ScreenFit.h"

#include "Control/DataCore.h"
#include "Data/RecordManage.h"
#include "Data/UserManage.h"
#include "Window/StatementRowsModel.h"
#include "Window/WCategoryRulesDlg.h"
#include "Window/WProgressDlg.h"
#include "base/Error.h"
#include "platform/prompt/Prompt.h"
#include "settings/Unique.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace Vorelle_ns {

namespace {

// Progress shows in steps of a hundredth; events are let through so the bar is drawn.
template <typename Bar>
Import_ns::Progress_fn Follow(Bar* bar) {
    return [bar, last = -1](int64_t done, int64_t total) mutable {
        const int step = total > 0 ? int(done * 100 / total) : 100;
        if (step == last) return;
        last = step;
        bar->setValue(step);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

}  // namespace

WStatementImportDlg_cl::WStatementImportDlg_cl(const QString& path, QWidget* parent) : QDialog(parent) {
    UserManage_cl& users = DataCore().GetUserManage();
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    statement = std::make_unique<Import_ns::StatementImport_cl>(
        path, Import_ns::StatementKind_en::Auto, Import_ns::BankProfiles_cl::Load(custom),
        Import_ns::CategoryRules_cl::Load(custom), users, DataCore().GetRecordManage());
    statement->SetMatchDays(Import_ns::StatementImport_cl::MatchDays(custom));
    BuildControls(path);
    // A long file is read before this dialog shows: its progress is shown over the page.
    WProgressDlg_cl reading(QStringLiteral("正在读取账单…"), parent);
    Preview(Follow(&reading));
}

WStatementImportDlg_cl::~WStatementImportDlg_cl() = default;

void WStatementImportDlg_cl::BuildControls(const QString& path) {
    setWindowTitle(QStringLiteral("导入账单"));
    auto* layout = new QVBoxLayout(this);
    auto* fileLabel = new QLabel(QStringLiteral("文件：") + path, this);
    fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    formatLabel = new QLabel(this);
    layout->addWidget(fileLabel);
    layout->addWidget(formatLabel);

    auto* ownerRow = new QHBoxLayout;
    ownerRow->addWidget(new QLabel(QStringLiteral("记到用户："), this));
    ownerCombo = new QComboBox(this);
    ownerCombo->setObjectName(QString::number(IdOwner));
    UserManage_cl& users = DataCore().GetUserManage();
    const Base_ns::Trusteeship_tl<UserInfo_st> all = users.GetUsers();
    // Only the super administrator may book for someone else.
    const bool forOthers = users.CanManageUsers();
    for (int32_t i = 0; i < all.Count(); ++i) {
        if (all[i].sn == users.GetCurrentUser()) ownerCombo->insertItem(0, all[i].userName);
        else if (forOthers) ownerCombo->addItem(all[i].userName);
    }
    ownerCombo->setCurrentIndex(0);
    ownerRow->addWidget(ownerCombo);
    ownerRow->addStretch();
    auto* saveRule = new QPushButton(QStringLiteral("所选行的分类存为规则(&S)"), this);
    saveRule->setObjectName(QString::number(IdSaveRule));
    auto* rules = new QPushButton(QStringLiteral("分类规则(&R)…"), this);
    rules->setObjectName(QString::number(IdRules));
    ownerRow->addWidget(saveRule);
    ownerRow->addWidget(rules);
    layout->addLayout(ownerRow);
    auto* matchRow = new QHBoxLayout;
    matchRow->addWidget(new QLabel(QStringLiteral("所选行与已有记录："), this));
    auto* asNew = new QPushButton(QStringLiteral("作为新记录导入(&N)"), this);
    asNew->setObjectName(QString::number(IdAsNew));
    auto* link = new QPushButton(QStringLiteral("是同一笔，不重复记账(&L)"), this);
    link->setObjectName(QString::number(IdLink));
    matchRow->addWidget(asNew);
    matchRow->addWidget(link);
    matchRow->addStretch();
    layout->addLayout(matchRow);

    model = new StatementRowsModel_cl(*statement, this);
    rowsView = new QTableView(this);
    rowsView->setObjectName(QString::number(IdRows));
    rowsView->setModel(model);
    rowsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    rowsView->setSelectionMode(QAbstractItemView::SingleSelection);
    rowsView->verticalHeader()->hide();
    rowsView->horizontalHeader()->setStretchLastSection(true);
    rowsView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    rowsView->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::SelectedClicked);
    const int widths[StatementRowsModel_cl::ColumnCount] = {40, 130, 40, 70, 100, 130, 90, 150, 80, 110};
    for (int i = 0; i < StatementRowsModel_cl::ColumnCount; ++i) rowsView->setColumnWidth(i, widths[i]);
    layout->addWidget(rowsView, 1);

    summaryLabel = new QLabel(this);
    summaryLabel->setTextFormat(Qt::RichText);
    summaryLabel->setWordWrap(true);
    layout->addWidget(summaryLabel);
    progress = new QProgressBar(this);
    progress->setRange(0, 100);
    layout->addWidget(progress);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    importButton = new QPushButton(QStringLiteral("导入(&I)"), this);
    importButton->setObjectName(QString::number(IdImport));
    importButton->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QString::number(IdCancel));
    buttons->addWidget(importButton);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    resize(ScreenFit_cl::Bounded(QSize(1000, 600)));

    connect(saveRule, &QPushButton::clicked, this, [this] { Handle([this] { OnSaveRule(); }); });
    connect(rules, &QPushButton::clicked, this, [this] { Handle([this] { OnRules(); }); });
    // The entries a trade may already be are the owner's.
    connect(ownerCombo, &QComboBox::currentTextChanged, this, [this](const QString& owner) {
        Handle([&] {
            statement->SetOwner(owner);
            Preview(Follow(progress));
        });
    });
    connect(asNew, &QPushButton::clicked, this, [this] { Handle([this] { OnChoose(Import_ns::MatchChoice_en::New); }); });
    connect(link, &QPushButton::clicked, this, [this] { Handle([this] { OnChoose(Import_ns::MatchChoice_en::Link); }); });
    connect(importButton, &QPushButton::clicked, this, [this] { Handle([this] { OnImport(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

template <typename Action>
void WStatementImportDlg_cl::Handle(Action&& action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WStatementImportDlg_cl::Preview(const Import_ns::Progress_fn& follow) {
    const Import_ns::StatementSummary_st& summary = statement->Preview(true, follow);
    model->Reload();
    formatLabel->setText(QStringLiteral("格式：") + summary.formatName + QStringLiteral("，共") +
                         QString::number(summary.rows) + QStringLiteral("笔"));
    ShowSummary(summary);
}

void WStatementImportDlg_cl::ShowSummary(const Import_ns::StatementSummary_st& summary) {
    QString html = summary.DecisionLines().join(QStringLiteral("<br>"));
    html += QStringLiteral("<br>");
    const QString color = summary.Agrees() ? QStringLiteral("black") : QStringLiteral("red");
    html += QStringLiteral("<span style=\"color:%1\">与账单核对：").arg(color) +
            summary.ComparisonLines().join(QStringLiteral("；")) + QStringLiteral("</span>");
    if (!summary.excessRefunds.isEmpty())
        html += QStringLiteral("<br><span style=\"color:red\">退款超过原交易：") +
                summary.excessRefunds.join(QStringLiteral("；")).toHtmlEscaped() + QStringLiteral("</span>");
    summaryLabel->setText(html);
    disagreements = summary.Disagreements() + summary.excessRefunds;
    importButton->setEnabled(summary.decisions[int(Import_ns::Decision_en::Import)].count +
                                 summary.decisions[int(Import_ns::Decision_en::Refund)].count +
                                 summary.decisions[int(Import_ns::Decision_en::Linked)].count >
                             0);
}

void WStatementImportDlg_cl::OnSaveRule() {
    const QModelIndexList selected = rowsView->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        Platform_ns::Prompt().Message(this, QStringLiteral("请先选择一行要导入的记录。"), DataCore_cl::GetProductName(),
                                      Platform_ns::Buttons_en::OK);
        return;
    }
    const Import_ns::StatementEntry_st& entry = statement->Entries()[selected[0].row()];
    // The counterparty names a shop best; the product when there is none.
    const QString keyword = !entry.row.counterparty.isEmpty() ? entry.row.counterparty : entry.row.product;
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    Import_ns::CategoryRules_cl rules = Import_ns::CategoryRules_cl::Load(custom);
    rules.Put({keyword, entry.typeName, QString(), -1});
    rules.Save(custom);
    statement->SetRules(rules);
    Preview(Follow(progress));
}

void WStatementImportDlg_cl::OnChoose(Import_ns::MatchChoice_en choice) {
    const QModelIndexList selected = rowsView->selectionModel()->selectedRows();
    const bool open = !selected.isEmpty() && (statement->Entries()[selected[0].row()].pairedWith.sn != 0 ||
                                              statement->Entries()[selected[0].row()].decision == Import_ns::Decision_en::Unpaired);
    if (!open) {
        Platform_ns::Prompt().Message(this, QStringLiteral("请先选择一行与已有记录相似（可能重复、已匹配）或待配对的交易。"),
                                      DataCore_cl::GetProductName(), Platform_ns::Buttons_en::OK);
        return;
    }
    const int row = selected[0].row();
    statement->Choose(statement->Entries()[row].row.line, choice);
    Preview(Follow(progress));
    rowsView->selectRow(row);
}

void WStatementImportDlg_cl::OnRules() {
    WCategoryRulesDlg_cl dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    statement->SetRules(Import_ns::CategoryRules_cl::Load(Unique_ns::GetCustomFromDatabase()));
    Preview(Follow(progress));
}

void WStatementImportDlg_cl::OnImport() {
    // A statement that disagrees with its own totals (cut off, say) is booked only when
    // the user says so.
    const bool accepted = !disagreements.isEmpty();
    if (accepted && Platform_ns::Prompt().Message(this,
                                                  QStringLiteral("账单写明的笔数或金额与文件中的交易对不上（文件可能不完整），或有退款超过原交易：\n") +
                                                      disagreements.join(u'\n') + QStringLiteral("\n仍然导入吗？"),
                                                  DataCore_cl::GetProductName(),
                                                  Platform_ns::Buttons_en::YesNo) != Platform_ns::Answer_en::Yes)
        return;
    statement->SetOwner(ownerCombo->currentText());
    importButton->setEnabled(false);
    try {
        result = statement->Import(Follow(progress), accepted);
    } catch (...) {
        importButton->setEnabled(true);
        progress->setValue(0);
        throw;
    }
    accept();
}

}  // namespace Vorelle_ns
