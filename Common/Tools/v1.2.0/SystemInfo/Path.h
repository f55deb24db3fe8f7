#pragma once

#include <QString>

// Paths accept "\" and "/" as separators and give results with "/". A path is absolute
// when it begins with "/", or when it holds ":" (written on Windows).
namespace SystemInfo_ns {

// The folder of the running program, ending with "/"; computed once. When the program is
// installed (it runs from a bin/ folder) or its folder is not writable, the user's data
// folder ($XDG_DATA_HOME/Vorelle, by default ~/.local/share/Vorelle) takes its place.
QString GetApplicationFolder();
// The choice GetApplicationFolder makes for a program in programFolder, ending with "/".
QString ApplicationFolderFor(const QString& programFolder, const QString& dataFolder);
// Points the application folder elsewhere (tests use temporary folders); an empty
// folder returns to the computed one.
void SetApplicationFolder(const QString& folder);

// The path without its last component: "/" for "/a.csv", empty for "a.csv".
QString GetParentFolder(const QString& path);
// Creates every missing folder on the path up to its last separator, so a file's path
// makes the folders that hold it. Failures are left to whoever opens the file.
void MakeFolders(const QString& path);
// Renames from to to, never over a file that is there; a file system that cannot promise
// that is given a hard link instead. 0, or the errno of the failure (EEXIST: to exists).
[[nodiscard]] int RenameNoReplace(const QString& from, const QString& to);
// The absolute path that a stored path names: absolute paths as they are, others taken
// relative to base ("../" climbs; a leading separator is not a root). Empty when "../"
// climbs above the root.
QString ResolvePath(const QString& base, const QString& stored);
// The stored form of path: the text after base when path lies inside it, otherwise the
// path itself. Compared case-sensitively.
QString MakeRelativePath(const QString& base, const QString& path);

}  // namespace SystemInfo_ns
