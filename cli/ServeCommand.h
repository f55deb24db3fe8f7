#pragma once

#include "Command.h"

namespace Cli_ns {

// serve [--listen ADDRESS:PORT] [--cert FILE --key FILE]: the phone page and its API until
// SIGTERM or SIGINT.
class ServeCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("serve"); }
    QString Syntax() const override { return QStringLiteral("[--listen ADDRESS:PORT] [--cert FILE --key FILE]"); }
    QString Summary() const override;
    void AddOptions(QCommandLineParser& parser) const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

}  // namespace Cli_ns
