#pragma once

#include "base/DateTime.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace Cli_ns {

class Book_cl;

// One command of vorelle-cli. A new command is a class like the others and one line in
// CommandTable.cpp.
class ICommand_cl {
public:
    virtual ~ICommand_cl() = default;

    // The words that call it: "balance", "user add".
    virtual QString Words() const = 0;
    // What follows the words in the usage line: "FILE [--dry-run]".
    virtual QString Syntax() const = 0;
    // One line for the list of commands.
    virtual QString Summary() const = 0;
    // The command's own options.
    virtual void AddOptions(QCommandLineParser& parser) const { (void)parser; }
    // Whether --user after the words is the command's own (a person it acts on), so that
    // the login name comes only before them.
    virtual bool OwnsUserOption() const { return false; }
    // Whether it only reads the book and shows or writes out what it read: opening a local
    // book for it weighs the file against its pages' count without reading every page.
    virtual bool OnlyReads() const { return false; }
    // Runs with the parsed arguments after the words. Raises the program's errors; a
    // usage error for arguments it cannot read.
    virtual void Run(Book_cl& book, const QCommandLineParser& parser) const = 0;
};

// The arguments after the words, exactly count of them; a usage error otherwise.
QStringList Arguments(const QCommandLineParser& parser, qsizetype count);

// Whose entries a command reads: the logged-in user's (the default), everybody's
// (--all-users) or a named user's (--of NAME), as the pages' user modes.
struct UserFilter_st {
    bool allUsers = false;
    QString userName;  // empty: the logged-in user
};
void AddUserFilterOptions(QCommandLineParser& parser);
UserFilter_st ReadUserFilter(const QCommandLineParser& parser);
// With the book open: a named user must exist, so that a mistyped name is refused rather
// than read as an empty report.
void CheckNamedUser(const UserFilter_st& filter);

// A month given as YYYY-MM, as year * 12 + month - 1; a usage error otherwise.
int32_t ReadMonthKey(const QString& text);

// A date given as YYYY-MM-DD, at the time of day given; a usage error otherwise.
Base_ns::DateTime_cl ReadDay(const QString& text, int32_t hour, int32_t minute, int32_t second);

}  // namespace Cli_ns
