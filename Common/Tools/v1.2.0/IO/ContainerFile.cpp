#include "ContainerFile.h"

#include "IOError.h"
#include "base/SysError.h"

#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace IO_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "读模式和写模式至少要开启一个。"},
                                                  {2, "在读模式没有开启的情况下进行了读相关操作。"},
                                                  {3, "在写模式没有开启的情况下进行了写相关操作。"},
                                                  {4, "空指针。"}};
    return Base_ns::SysError_cl(line, __FILE__, ContainerFile_cl::ClassName(), code, table,
                                int32_t(std::size(table)), remark);
}

IOError_cl IOError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "指定文件不存在。"}, {102, "创建文件失败。"}, {103, "写入文件失败。"},
        {104, "这不是一个普通文件，不能把内容写成它。"}};
    return IOError_cl(line, __FILE__, ContainerFile_cl::ClassName(), code, table, int32_t(std::size(table)),
                      remark);
}

// The file and, in words, why the system refused it.
QString Where(const QString& path, int error) {
    QString reason;
    switch (error) {
        case ENOSPC: reason = QStringLiteral("磁盘空间不足。"); break;
        case EDQUOT: reason = QStringLiteral("超出了磁盘配额。"); break;
        case EFBIG: reason = QStringLiteral("文件超出了允许的大小。"); break;
        case EACCES:
        case EPERM: reason = QStringLiteral("没有权限。"); break;
        case EROFS: reason = QStringLiteral("磁盘是只读的。"); break;
        case ENOENT: reason = QStringLiteral("文件夹不存在。"); break;
        case EISDIR: reason = QStringLiteral("这是一个文件夹。"); break;
        case ENOTDIR: reason = QStringLiteral("路径中有不是文件夹的部分。"); break;
        case EIO: reason = QStringLiteral("磁盘读写出错。"); break;
        default: reason = QStringLiteral("系统错误：") + QString::fromLocal8Bit(std::strerror(error));
    }
    return path + QStringLiteral("\r\n") + reason;
}

// The file a path stands for, its symbolic links followed (to a link that points nowhere
// yet, too): replacing the link itself would leave the file it names unwritten.
QString LinkTarget(const QString& path) {
    QString current = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QByteArray name = QFile::encodeName(current);
        struct stat status {};
        if (::lstat(name.constData(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
        char target[4096];
        const ssize_t length = ::readlink(name.constData(), target, sizeof(target) - 1);
        if (length <= 0) return current;
        const QString next = QFile::decodeName(QByteArray(target, length));
        const qsizetype slash = current.lastIndexOf(u'/');
        current = next.startsWith(u'/') || slash < 0 ? next : current.left(slash + 1) + next;
    }
    return current;
}

}  // namespace

ContainerFile_cl::~ContainerFile_cl() { Abandon(); }

void ContainerFile_cl::OpenForRead(const QString& openedPath) {
    Abandon();
    std::FILE* opened = std::fopen(QFile::encodeName(openedPath).constData(), "rbe");
    if (opened == nullptr) throw IOError(101, __LINE__, openedPath);
    Install(opened, openedPath);
    readMode = true;
}

void ContainerFile_cl::OpenForWrite(const QString& openedPath, bool ownerOnly) {
    Abandon();
    const QByteArray name = QFile::encodeName(openedPath);
    // Created with the final mode straight away, so that no other user can open the
    // file in the moment before its mode is narrowed.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, ownerOnly ? 0600 : 0666);
    if (fd < 0) throw IOError(102, __LINE__, Where(openedPath, errno));
    // An existing file keeps its mode when truncated; narrow it too.
    std::FILE* opened = (!ownerOnly || ::fchmod(fd, 0600) == 0) ? ::fdopen(fd, "wb") : nullptr;
    if (opened == nullptr) {
        const int error = errno;
        ::close(fd);
        throw IOError(102, __LINE__, Where(openedPath, error));
    }
    Install(opened, openedPath);
    writeMode = true;
    removeOnAbandon = true;
}

void ContainerFile_cl::OpenForReplace(const QString& givenPath, bool ownerOnly) {
    Abandon();
    const QString openedPath = LinkTarget(givenPath);
    struct stat present {};
    // A device, a pipe or a folder is never swapped for a plain file.
    if (::stat(QFile::encodeName(openedPath).constData(), &present) == 0 && !S_ISREG(present.st_mode))
        throw IOError(104, __LINE__, givenPath);
    QByteArray name = QFile::encodeName(openedPath) + ".XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);  // created 0600
    if (fd < 0) throw IOError(102, __LINE__, Where(openedPath, errno));
    // The new file takes the mode of the one it replaces, or the usual one of a new file.
    mode_t mode = 0600;
    struct stat existing {};
    if (!ownerOnly && ::stat(QFile::encodeName(openedPath).constData(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else if (!ownerOnly) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    std::FILE* opened = ::fchmod(fd, mode) == 0 ? ::fdopen(fd, "wb") : nullptr;
    if (opened == nullptr) {
        const int error = errno;
        ::close(fd);
        ::unlink(name.constData());
        throw IOError(102, __LINE__, Where(openedPath, error));
    }
    Install(opened, openedPath);
    temporary = QFile::decodeName(name);
    writeMode = true;
    removeOnAbandon = true;
}

void ContainerFile_cl::Install(std::FILE* opened, const QString& openedPath) {
    file = opened;
    std::setvbuf(file, buffer, _IOFBF, BufferSize);
    path = openedPath;
}

void ContainerFile_cl::Close() {
    if (file == nullptr) return;
    if (!writeMode) {
        std::fclose(file);
        Forget();
        return;
    }
    // Buffered bytes reach the disk only now; a file that cannot take them is incomplete.
    // A replacing file is also synced before the rename, which never then exposes a
    // file whose content is still only in memory.
    const QString failed = path;
    const QString written = temporary.isEmpty() ? path : temporary;
    bool stored = std::fflush(file) == 0 && (temporary.isEmpty() || ::fsync(::fileno(file)) == 0);
    int error = errno;
    if (std::fclose(file) != 0 && stored) {
        stored = false;
        error = errno;
    }
    if (stored && written != failed &&
        std::rename(QFile::encodeName(written).constData(), QFile::encodeName(failed).constData()) != 0) {
        stored = false;
        error = errno;
    }
    Forget();
    if (stored) return;
    std::remove(QFile::encodeName(written).constData());
    throw IOError(103, __LINE__, Where(failed, error));
}

void ContainerFile_cl::Abandon() {
    if (file == nullptr) return;
    std::fclose(file);
    if (removeOnAbandon) std::remove(QFile::encodeName(temporary.isEmpty() ? path : temporary).constData());
    Forget();
}

void ContainerFile_cl::Forget() {
    file = nullptr;
    path.clear();
    temporary.clear();
    removeOnAbandon = false;
    readMode = false;
    writeMode = false;
}

bool ContainerFile_cl::Write(const void* bytes, int64_t size) {
    if (!writeMode) throw SysError(3, __LINE__, path);
    if (bytes == nullptr) throw SysError(4, __LINE__);
    if (size < 0) return false;
    if (std::fwrite(bytes, 1, size_t(size), file) != size_t(size)) throw IOError(103, __LINE__, Where(path, errno));
    return true;
}

bool ContainerFile_cl::Read(void* bytes, int64_t size) {
    if (!readMode) throw SysError(2, __LINE__, path);
    if (bytes == nullptr) throw SysError(4, __LINE__);
    if (size < 0) return false;
    if (size == 1) {
        // The CSV reader takes a byte at a time: the file is this object's alone, so the
        // lock fread takes around every call is not needed.
        const int byte = getc_unlocked(file);
        if (byte == EOF) {
            std::clearerr(file);
            return false;
        }
        *static_cast<unsigned char*>(bytes) = static_cast<unsigned char>(byte);
        return true;
    }
    const size_t arrived = std::fread(bytes, 1, size_t(size), file);
    if (arrived == size_t(size)) return true;
    std::clearerr(file);
    ::fseeko(file, -off_t(arrived), SEEK_CUR);
    return false;
}

int64_t ContainerFile_cl::GetPosition() { return file == nullptr ? -1 : ::ftello(file); }

bool ContainerFile_cl::SetPosition(int64_t offset, bool absolute) {
    return file != nullptr && ::fseeko(file, off_t(offset), absolute ? SEEK_SET : SEEK_CUR) == 0;
}

bool ContainerFile_cl::MoveToEnd() { return file != nullptr && ::fseeko(file, 0, SEEK_END) == 0; }

}  // namespace IO_ns
