#pragma once

#include "IContainer.h"

#include <QString>
#include <cstdio>

namespace IO_ns {

// A file as a byte container. A file opened for writing and not closed again (an error
// escaped while it was being written) is removed when the object goes, so no half-written
// file is ever left behind. All traffic goes through the buffer held inside the object,
// which makes it a large value: build it on the stack of the operation that uses it.
class ContainerFile_cl : public IContainer_cl {
public:
    static constexpr int32_t BufferSize = 30720;

    ContainerFile_cl() = default;
    ContainerFile_cl(const ContainerFile_cl&) = delete;
    ContainerFile_cl& operator=(const ContainerFile_cl&) = delete;
    ~ContainerFile_cl() override;

    static QString ClassName() { return QStringLiteral("ContainerFile_cl"); }

    // Opens an existing file; never creates one.
    void OpenForRead(const QString& path);
    // Creates or truncates the file. ownerOnly creates it readable by its owner alone
    // (mode 0600), for files that hold passwords.
    void OpenForWrite(const QString& path, bool ownerOnly = false);
    // Writes a new file beside path that replaces it only when Close() has stored all of
    // it, so a failed write leaves the file that was there as it was. A symbolic link is
    // written through to the file it names; a device, pipe or folder is refused.
    void OpenForReplace(const QString& path, bool ownerOnly = false);
    // Closes the file and keeps it. A file being written whose last bytes cannot be
    // stored is removed and the failure raised, since it would be incomplete.
    void Close();

    bool IsOpen() const { return file != nullptr; }
    const QString& Path() const { return path; }

    // Raises the write error, naming the file and the reason, when the bytes cannot be
    // stored.
    bool Write(const void* bytes, int64_t size) override;
    bool Read(void* bytes, int64_t size) override;
    int64_t GetPosition() override;
    bool SetPosition(int64_t offset, bool absolute) override;
    bool MoveToEnd() override;

private:
    void Install(std::FILE* opened, const QString& openedPath);
    // Closes without keeping: a file being written is removed.
    void Abandon();
    void Forget();

    char buffer[BufferSize];
    QString path;
    QString temporary;  // when replacing: the file written beside path
    std::FILE* file = nullptr;
    bool removeOnAbandon = false;
    bool readMode = false;
    bool writeMode = false;
};

}  // namespace IO_ns
