#pragma once

#include "Command.h"

namespace Cli_ns {

// due [--until YYYY-MM-DD] [--apply] [--format text|csv]: the occurrences of the recurring
// entries that have come due and are neither booked nor skipped; --apply books them all.
class DueCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("due"); }
    QString Syntax() const override { return QStringLiteral("[--until YYYY-MM-DD] [--apply] [--format text|csv]"); }
    QString Summary() const override;
    void AddOptions(QCommandLineParser& parser) const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

}  // namespace Cli_ns
