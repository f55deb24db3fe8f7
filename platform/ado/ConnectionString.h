#pragma once

#include "Container/List.h"

#include <QString>

namespace Ado_ns {

// A parsed OLE DB connection string: "key=value" pairs separated by ";". Keys are
// compared without regard to case; a value may stand between double or single quotes
// (a doubled quote inside stands for one), so it can hold ";".
class ConnectionString_cl {
public:
    // Throws ProviderError_cl (Fail) for a malformed text.
    explicit ConnectionString_cl(const QString& text);

    // The value of key (the first one given), or the empty text when the key is absent.
    QString Value(const QString& key) const;

private:
    struct Pair_st {
        QString key;
        QString value;
    };
    Container_ns::List_tl<Pair_st> pairs;
};

}  // namespace Ado_ns
