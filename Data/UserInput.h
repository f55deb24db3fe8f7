#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace Vorelle_ns {

// The checks a typed user name and password pass before they reach the data core, the
// same for the dialogs and the command line. Each raises the first fault as a user
// error; onFault, when given, is first told which field is at fault (a dialog moves the
// focus there).
class UserInput_cl {
public:
    enum class Field_en { Name, Password, Confirm };
    using OnFault_fn = std::function<void(Field_en)>;

    static QString ClassName() { return QStringLiteral("UserInput_cl"); }

    // The longest name or password, in characters (code points): what the user table's
    // columns hold on every kind of book.
    static constexpr int32_t MaxLength = 16;

    // A new account: name, password and its confirmation, in the order the dialogs
    // report them (empty name, password, confirmation; a differing confirmation; a name,
    // then a password, too long; an apostrophe in the name, then in the password).
    static void CheckNewAccount(const QString& name, const QString& password, const QString& confirm,
                                const OnFault_fn& onFault = {});
    // A user name typed to log in: not empty, not too long, no apostrophe.
    static void CheckName(const QString& name, const OnFault_fn& onFault = {});
    // A password typed to log in: not empty, not too long, no apostrophe.
    static void CheckPassword(const QString& password, const OnFault_fn& onFault = {});
};

}  // namespace Vorelle_ns
