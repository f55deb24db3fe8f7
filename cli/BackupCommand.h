#pragma once

#include "Command.h"

namespace Cli_ns {

// backup DEST: the same consistent, encrypted copy as the automatic backup at close.
class BackupCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("backup"); }
    QString Syntax() const override { return QStringLiteral("DEST"); }
    QString Summary() const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

}  // namespace Cli_ns
