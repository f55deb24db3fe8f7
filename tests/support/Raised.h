#pragma once

#include "base/Error.h"
#include "support/QtPrinters.h"

#include <QString>

// The message of the error that f raises, or "(nothing raised)".
template <typename F>
QString RaisedMessage(F&& f) {
    try {
        f();
    } catch (const Base_ns::Error_cl& error) {
        return error.Message();
    }
    return QStringLiteral("(nothing raised)");
}
