#pragma once

#include "Command.h"

namespace Cli_ns {

// schedule add CATEGORY AMOUNT ...: a recurring entry, booked when it comes due.
class ScheduleAddCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("schedule add"); }
    QString Syntax() const override;
    QString Summary() const override;
    void AddOptions(QCommandLineParser& parser) const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

// schedule list: the recurring entries with their next dates.
class ScheduleListCommand_cl : public ICommand_cl {
public:
    QString Words() const override { return QStringLiteral("schedule list"); }
    QString Syntax() const override { return QString(); }
    bool OnlyReads() const override { return true; }
    QString Summary() const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;
};

// schedule pause ID and schedule delete ID.
class ScheduleChangeCommand_cl : public ICommand_cl {
public:
    enum class Change_en { Pause, Delete };
    explicit ScheduleChangeCommand_cl(Change_en change) : change(change) {}

    QString Words() const override;
    QString Syntax() const override { return QStringLiteral("ID"); }
    QString Summary() const override;
    void Run(Book_cl& book, const QCommandLineParser& parser) const override;

private:
    Change_en change;
};

// A whole number of at least 1 given for what; a usage error otherwise.
int32_t ReadPositive(const QString& text, const QString& what);

}  // namespace Cli_ns
