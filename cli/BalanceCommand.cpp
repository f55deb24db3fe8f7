#include "BalanceCommand.h"

#include "Book.h"
#include "Control/DataCore.h"
#include "Output.h"
#include "Window/ConvertInfo.h"

namespace Cli_ns {

QString BalanceCommand_cl::Summary() const {
    return QStringLiteral("个人帐户和公共帐户的金额（独立用户只看个人帐户）");
}

void BalanceCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    Arguments(parser, 0);
    book.Open();
    Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
    QList<QStringList> rows{{QStringLiteral("个人帐户"),
                             Vorelle_ns::ConvertInfo_cl::MoneyToText(core.GetUserManage().GetSingleAccount())}};
    // An independent user may not see the public account: his pages do not show it either.
    if (core.GetUserManage().CanViewOthers()) {
        rows.append({QStringLiteral("公共帐户"),
                     Vorelle_ns::ConvertInfo_cl::MoneyToText(core.GetControlUser().GetPublicAccount())});
    }
    Output_cl::Bytes(Output_cl::Table(rows).toUtf8());
}

}  // namespace Cli_ns
