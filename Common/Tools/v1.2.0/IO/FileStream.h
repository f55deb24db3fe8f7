#pragma once

#include "ContainerFile.h"

namespace IO_ns {

// A stream of type T bound to a file of its own. Leaving the scope without Close()
// (an error escaped) removes a file that was being written.
template <typename T>
class FileStream_tl : public T {
public:
    // The stream part only keeps the reference; the file is built right after it.
    FileStream_tl() : T(file) {}
    FileStream_tl(const FileStream_tl&) = delete;
    FileStream_tl& operator=(const FileStream_tl&) = delete;
    virtual ~FileStream_tl() = default;

    void OpenForRead(const QString& path) { file.OpenForRead(path); }
    void OpenForWrite(const QString& path, bool ownerOnly = false) { file.OpenForWrite(path, ownerOnly); }
    void OpenForReplace(const QString& path, bool ownerOnly = false) { file.OpenForReplace(path, ownerOnly); }
    void Close() { file.Close(); }
    // How far into the file reading or writing has come, in bytes.
    int64_t FilePosition() { return file.GetPosition(); }

private:
    ContainerFile_cl file;
};

}  // namespace IO_ns
