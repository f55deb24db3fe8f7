#pragma once

#include <QString>

namespace SystemInfo_ns {

// A file made beside its target under a name of its own, readable by its owner only,
// and locked for as long as this process makes it. Commit gives it the target's name,
// never over a file that is there; until then nobody takes it for the target. One that
// is not committed is removed, with the journals a database engine keeps beside it,
// when the object ends; one whose process was killed is removed by RemoveLeftovers.
class PartialFile_cl {
public:
    explicit PartialFile_cl(const QString& target);
    ~PartialFile_cl();
    PartialFile_cl(const PartialFile_cl&) = delete;
    PartialFile_cl& operator=(const PartialFile_cl&) = delete;

    // False when the file could not be made; Error() then says why (errno).
    [[nodiscard]] bool IsOpen() const { return fd >= 0; }
    int Error() const { return error; }
    const QString& Path() const { return path; }

    // Pushes the content to the disk and renames the file to the target. False when the
    // target exists (Error() is EEXIST) or the rename fails; the file then stays partial.
    [[nodiscard]] bool Commit();

    // Removes the partial files in the target's folder whose makers have ended (their
    // lock is free), and their journals. Those of running processes stay.
    static void RemoveLeftovers(const QString& target);

private:
    QString target;
    QString path;
    int fd = -1;
    int error = 0;
    bool committed = false;
};

}  // namespace SystemInfo_ns
