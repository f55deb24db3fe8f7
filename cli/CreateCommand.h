#pragma once

#include "Command.h"

namespace Cli_ns {

// create --admin NAME: a new book with its super administrator.
class CreateCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("create"); }
    QString Syntax() const override { return QStringLiteral("--admin NAME"); }
    QString Summary() const override;
    void AddOptions(QCommandLineParser& parser) const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

}  // namespace Cli_ns
