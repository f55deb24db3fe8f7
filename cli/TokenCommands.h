#pragma once

#include "Command.h"

namespace Cli_ns {

// token add --label TEXT [--for NAME]: a device key, printed once as the pairing link and
// its QR code.
class TokenAddCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("token add"); }
    QString Syntax() const override {
        return QStringLiteral("--label TEXT [--for NAME] [--listen ADDRESS:PORT] [--https]");
    }
    QString Summary() const override;
    void AddOptions(QCommandLineParser& parser) const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

// token list: the device keys (never the keys themselves).
class TokenListCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("token list"); }
    QString Syntax() const override { return QString(); }
    bool OnlyReads() const override { return true; }
    QString Summary() const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

// token revoke ID: the key stops working at once.
class TokenRevokeCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("token revoke"); }
    QString Syntax() const override { return QStringLiteral("ID"); }
    QString Summary() const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

}  // namespace Cli_ns
