#pragma once

#include "Command.h"

namespace Cli_ns {

// report budget YYYY-MM | report budget --year YYYY [--format text|csv]: the budget page's
// figures of a month or a year.
class BudgetReportCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("report budget"); }
    QString Syntax() const override { return QStringLiteral("YYYY-MM | --year YYYY [--format text|csv]"); }
    bool OnlyReads() const override { return true; }
    QString Summary() const override;
    void AddOptions(QCommandLineParser& parser) const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

}  // namespace Cli_ns
