#pragma once

#include "Command.h"

namespace Cli_ns {

// export FILE --from --to: the record page's CSV export of a range of days.
class ExportCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("export"); }
    QString Syntax() const override {
        return QStringLiteral("FILE --from YYYY-MM-DD --to YYYY-MM-DD [--all-users | --of NAME] [--encoding gbk|utf8]");
    }
    bool OnlyReads() const override { return true; }
    QString Summary() const override;
    void AddOptions(QCommandLineParser& parser) const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

}  // namespace Cli_ns
