#pragma once

#include <QString>

namespace Vorelle_ns {

class DataCore_cl;

// Makes a local book whole or not at all: it is built in a folder of its own beside the
// target, which a killed run leaves behind, and takes the target's name only when its
// tables and super administrator are there. A file of an earlier version whose making
// was cut short (empty, or without tables) is told apart from a book.
class LocalBookMaker_cl {
public:
    static QString ClassName() { return QStringLiteral("LocalBookMaker_cl"); }

    // Refuses a path where a file is, naming a half-made one and how to remove it.
    static void Make(DataCore_cl& core, const QString& path, const QString& filePassword, const QString& adminName,
                     const QString& adminPassword);
    // Whether the file at path is what a cut-short making left: empty, or a database of
    // this password without the program's tables. A file of another password is not.
    [[nodiscard]] static bool IsHalfMade(const QString& path, const QString& filePassword);
    // The refusal of such a file, naming it and how to remove it.
    [[noreturn]] static void RefuseHalfMade(const QString& path);
};

}  // namespace Vorelle_ns
