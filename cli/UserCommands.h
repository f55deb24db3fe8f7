#pragma once

#include "Command.h"

namespace Cli_ns {

// user add NAME --power admin|normal|alone: a user with the password VORELLE_NEW_PASSWORD.
class UserAddCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("user add"); }
    QString Syntax() const override { return QStringLiteral("NAME --power admin|normal|alone"); }
    QString Summary() const override;
    void AddOptions(QCommandLineParser& parser) const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

// user list: the users with their powers and creation times.
class UserListCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("user list"); }
    QString Syntax() const override { return QString(); }
    bool OnlyReads() const override { return true; }
    QString Summary() const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

}  // namespace Cli_ns
