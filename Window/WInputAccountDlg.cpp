#include "WInputAccountDlg.h"

#include "Control/DataCore.h"
#include "DialogBuilder.h"
#include "Window/ConvertInfo.h"
#include "base/UserError.h"

#include <QLineEdit>
#include <QPushButton>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "请输入金额。"}, {102, "金额不正确，应为以元为单位的数字，最多两位小数，最多为21474836.47。"}};
    return Base_ns::UserError_cl(line, __FILE__, WInputAccountDlg_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

}  // namespace

WInputAccountDlg_cl::WInputAccountDlg_cl(bool isPublic, QWidget* parent) : QDialog(parent) {
    DialogBuilder_cl build(this);
    build.Label(QStringLiteral("请输入金额："), 7, 7, 49, 8);
    amountEdit = build.Edit(IdAmount, 52, 21, 72, 12);
    QPushButton* ok = build.Button(IdOK, QStringLiteral("确定"), 17, 42, 50, 14);
    QPushButton* cancel = build.Button(IdCancel, QStringLiteral("取消"), 115, 42, 50, 14);
    build.Size(186, 63);
    setFixedSize(size());

    amountEdit->setAlignment(Qt::AlignCenter);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &WInputAccountDlg_cl::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (isPublic) {
        setWindowTitle(QStringLiteral("设置公共账户"));
        amountEdit->setText(ConvertInfo_cl::MoneyToText(DataCore().GetControlUser().GetPublicAccount(), ConvertInfo_cl::Decimals_en::Two));
    } else {
        setWindowTitle(QStringLiteral("设置个人账户"));
        amountEdit->setText(ConvertInfo_cl::MoneyToText(DataCore().GetUserManage().GetSingleAccount(), ConvertInfo_cl::Decimals_en::Two));
    }
    amountEdit->selectAll();
    amountEdit->setFocus();
}

void WInputAccountDlg_cl::OnOK() {
    try {
        Check();
        accept();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WInputAccountDlg_cl::Check() {
    const QString text = amountEdit->text();
    if (text.isEmpty()) {
        amountEdit->setFocus();
        throw UserError(101, __LINE__);
    }
    if (!ConvertInfo_cl::TextToMoney(text, amount)) {
        amountEdit->setFocus();
        throw UserError(102, __LINE__);
    }
}

}  // namespace Vorelle_ns
