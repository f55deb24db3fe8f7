#pragma once

#include "Command.h"

namespace Cli_ns {

// import FILE [--dry-run] [--format ...] [--accept-mismatch] [--again]: the record page's
// CSV file or a downloaded statement (found by its content unless --format names it), all
// entries or none; a statement whose own totals disagree with its rows only when accepted,
// a record file holding entries the book has already only --again.
class ImportCommand_cl : public ICommand_cl {
public:
    static QString ClassName() { return QStringLiteral("ImportCommand_cl"); }
    QString Words() const override { return QStringLiteral("import"); }
    QString Syntax() const override { return QStringLiteral("FILE [--dry-run] [--format auto|records|alipay|wechat|bank] [--accept-mismatch] [--again]"); }
    QString Summary() const override;
    void AddOptions(QCommandLineParser& parser) const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

}  // namespace Cli_ns
