#pragma once

#include "Command.h"

namespace Cli_ns {

// import FILE [--dry-run]: the record page's CSV file, all entries or none.
class ImportCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("import"); }
    QString Syntax() const override { return QStringLiteral("FILE [--dry-run]"); }
    QString Summary() const override;
    void AddOptions(QCommandLineParser& parser) const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

}  // namespace Cli_ns
