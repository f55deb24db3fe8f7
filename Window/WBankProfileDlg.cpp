#include "Window/WBankProfileDlg.h"
#include "Window/ScreenFit.h"

#include "Import/BankProfile.h"
#include "Import/CsvRows.h"
#include "Import/XlsxRows.h"
#include "base/Error.h"
#include "settings/Unique.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace Vorelle_ns {

namespace {

// How many of the file's first lines are shown; the header is among them.
constexpr int32_t kShownLines = 15;

}  // namespace

WBankProfileDlg_cl::WBankProfileDlg_cl(const QString& path, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("银行账单格式"));
    std::unique_ptr<Import_ns::SheetRows_cl> rows;
    if (Import_ns::XlsxRows_cl::LooksLikeZip(path)) rows = std::make_unique<Import_ns::XlsxRows_cl>(path);
    else rows = std::make_unique<Import_ns::CsvRows_cl>(path);
    QString head;
    QStringList header;  // the line with the most texts that are not numbers: likely the header
    QStringList cells;
    int32_t line = 0;
    for (int32_t shown = 0; shown < kShownLines && rows->Next(cells, line); ++shown) {
        head += cells.join(u',') + u'\n';
        const auto texts = std::count_if(cells.begin(), cells.end(), [](const QString& c) {
            bool number = false;
            c.toDouble(&number);
            return !c.isEmpty() && !number;
        });
        if (texts > header.size()) header = cells;
    }
    header.removeAll(QString());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("文件开头（") + path + QStringLiteral("）："), this));
    auto* preview = new QPlainTextEdit(head, this);
    preview->setReadOnly(true);
    preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(preview, 1);
    auto* form = new QFormLayout;
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QString::number(IdName));
    form->addRow(QStringLiteral("格式名称："), nameEdit);
    const struct {
        int32_t id;
        const char16_t* caption;
    } columns[] = {{IdDate, u"日期列："},          {IdAmount, u"金额列（带正负号）："},
                   {IdIncome, u"或者 收入列："},   {IdExpense, u"和 支出列："},
                   {IdDescription, u"摘要列："},   {IdCounterparty, u"对方户名列："},
                   {IdBalance, u"余额列："},       {IdSerial, u"流水号列："}};
    for (const auto& column : columns) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(QString::number(column.id));
        combo->setEditable(true);
        combo->addItem(QString());
        combo->addItems(header);
        titles.append(combo);
        form->addRow(QString::fromUtf16(column.caption), combo);
        if (column.id == IdDate) {
            dateFormat = new QComboBox(this);
            dateFormat->setObjectName(QString::number(IdDateFormat));
            dateFormat->addItems({QStringLiteral("yyyy-MM-dd"), QStringLiteral("yyyyMMdd")});
            form->addRow(QStringLiteral("日期格式："), dateFormat);
        }
    }
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("保存"), this);
    ok->setObjectName(QString::number(IdOK));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QString::number(IdCancel));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    resize(ScreenFit_cl::Bounded(QSize(640, 620)));
    connect(ok, &QPushButton::clicked, this, [this] {
        try {
            OnOK();
        } catch (const Base_ns::Error_cl& error) {
            error.Show(this);
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void WBankProfileDlg_cl::OnOK() {
    Import_ns::BankProfile_st profile;
    profile.name = nameEdit->text().trimmed();
    profile.dateFormat = dateFormat->currentText();
    QString Import_ns::BankProfile_st::*const fields[] = {
        &Import_ns::BankProfile_st::dateTitle,        &Import_ns::BankProfile_st::amountTitle,
        &Import_ns::BankProfile_st::incomeTitle,      &Import_ns::BankProfile_st::expenseTitle,
        &Import_ns::BankProfile_st::descriptionTitle, &Import_ns::BankProfile_st::counterpartyTitle,
        &Import_ns::BankProfile_st::balanceTitle,     &Import_ns::BankProfile_st::idTitle};
    for (qsizetype i = 0; i < titles.size(); ++i) profile.*fields[i] = titles[i]->currentText().trimmed();
    Import_ns::BankProfiles_cl::Save(Unique_ns::GetCustomFromDatabase(), profile);
    accept();
}

}  // namespace Vorelle_ns
