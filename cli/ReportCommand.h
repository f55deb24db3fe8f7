#pragma once

#include "Command.h"

namespace Cli_ns {

// report month YEAR | report month --from YYYY-MM --to YYYY-MM | report year: the
// statistics pages' tables, as an aligned text table or as the pages' CSV export in UTF-8.
class ReportCommand_cl : public ICommand_cl {
public:
    enum class Period_en { Month, Year };

    explicit ReportCommand_cl(Period_en period) : period(period) {}

    QString Words() const override;
    QString Syntax() const override;
    bool OnlyReads() const override { return true; }
    QString Summary() const override;
    void AddOptions(QCommandLineParser& parser) const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;

private:
    Period_en period;
};

}  // namespace Cli_ns
