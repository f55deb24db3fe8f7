#pragma once

#include <QString>

namespace Platform_ns {

// The desktop's keyring (the Secret Service, through libsecret), for the saved book
// passwords: each kept under the links file it belongs to and the link's name. Used only
// when a keyring is running on the session bus; never started for the asking.
class Keyring_cl {
public:
    // Whether a keyring is running now.
    [[nodiscard]] static bool Running();
    // Keeps secret; false when no keyring took it (the caller keeps it itself).
    [[nodiscard]] static bool Store(const QString& linksFile, const QString& name, const QString& secret);
    // The secret kept, or false when none is (or no keyring runs).
    [[nodiscard]] static bool Lookup(const QString& linksFile, const QString& name, QString& secret);
    // Forgets it, if kept.
    static void Clear(const QString& linksFile, const QString& name);
};

}  // namespace Platform_ns
