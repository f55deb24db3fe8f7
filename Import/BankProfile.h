#pragma once

#include <QList>
#include <QString>

namespace Unique_ns {
class ICustom_cl;
}

namespace Import_ns {

// How the columns of one bank's statement are read, by their header titles. Either
// amountTitle (a signed amount) or incomeTitle and expenseTitle (two columns of
// amounts) is given; the other titles may be empty.
struct BankProfile_st {
    QString name;
    QString dateTitle;
    QString dateFormat;  // "yyyy-MM-dd" (also with "/" and a time) or "yyyyMMdd"
    QString amountTitle;
    QString incomeTitle;
    QString expenseTitle;
    QString descriptionTitle;
    QString counterpartyTitle;
    QString balanceTitle;
    QString idTitle;  // the bank's own serial number, when it has one

    // What is wrong with it for the user, or empty when it can be used.
    QString Problem() const;
};

// The two built-in profiles and those the user saved by name (in the book's settings).
class BankProfiles_cl {
public:
    static QList<BankProfile_st> BuiltIn();
    // The saved ones first, then the built-in ones not overridden by a saved one of the same name.
    static QList<BankProfile_st> Load(Unique_ns::ICustom_cl& custom);
    // Replaces a saved one of the same name; raises a user error naming the fault of an
    // unusable profile.
    static void Save(Unique_ns::ICustom_cl& custom, const BankProfile_st& profile);

    static QString ClassName() { return QStringLiteral("BankProfiles_cl"); }
};

}  // namespace Import_ns
