#pragma once

#include <QString>

namespace Cli_ns {

// The passwords, taken from the environment once at start (never from the command line,
// which other users can read) and removed from it, so that no child process inherits them.
// Unset and empty are the same: no password.
struct Secrets_st {
    QString bookPassword;  // VORELLE_BOOK_PASSWORD: the local file's or the server login's
    QString password;      // VORELLE_PASSWORD: the user's
    QString newPassword;   // VORELLE_NEW_PASSWORD: a user being added

    static Secrets_st TakeFromEnvironment();
};

}  // namespace Cli_ns
