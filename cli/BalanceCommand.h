#pragma once

#include "Command.h"

namespace Cli_ns {

// balance: the personal and the public account.
class BalanceCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("balance"); }
    QString Syntax() const override { return QString(); }
    bool OnlyReads() const override { return true; }
    QString Summary() const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

}  // namespace Cli_ns
