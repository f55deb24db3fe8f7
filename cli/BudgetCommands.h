#pragma once

#include "Command.h"

namespace Cli_ns {

// budget set CATEGORY AMOUNT [--rollover on|off] [--from YYYY-MM], or budget set --user
// NAME AMOUNT: a category's or a person's monthly plan in yuan.
class BudgetSetCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("budget set"); }
    QString Syntax() const override;
    QString Summary() const override;
    void AddOptions(QCommandLineParser& parser) const override;
    bool OwnsUserOption() const override { return true; }
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

// budget clear CATEGORY, or budget clear --user NAME: no plan any more.
class BudgetClearCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("budget clear"); }
    QString Syntax() const override { return QStringLiteral("CATEGORY | --user NAME"); }
    QString Summary() const override;
    bool OwnsUserOption() const override { return true; }
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

}  // namespace Cli_ns
