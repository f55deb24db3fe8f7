#pragma once

#include <QIODevice>
#include <QString>

namespace Import_ns {

// One member of a zip archive, read as a stream of its inflated bytes. A member is
// bounded: it may not inflate beyond MaxInflated bytes, nor past its first MiB to more
// than MaxRatio times the compressed bytes read for it, so that a small hostile file
// cannot fill memory or take minutes. Reaching its end checks its size and checksum.
class ZipEntry_cl : public QIODevice {
public:
    static constexpr int64_t MaxInflated = int64_t(64) << 20;
    static constexpr int64_t MaxRatio = 100;
    static constexpr int64_t RatioFreeBytes = int64_t(1) << 20;

    // Raises an I/O error naming the archive when it or the member cannot be read.
    ZipEntry_cl(const QString& archive, const QString& member);
    ~ZipEntry_cl() override;

    static QString ClassName() { return QStringLiteral("ZipEntry_cl"); }
    // Whether the archive holds the member.
    static bool Contains(const QString& archive, const QString& member);

    bool isSequential() const override { return true; }
    int64_t Inflated() const { return inflated; }
    int64_t InflatedSize() const { return inflatedSize; }

    // Raises the I/O error naming the archive and member when reading stopped at a fault:
    // a damaged member, one past the bounds, or a checksum that does not match.
    void Check() const;
    // Reads what is left, so that the checksum is checked, then Check.
    void Finish();

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    enum class Fault_en { None, Damaged, TooLarge, Inflating, Checksum };
    qint64 Fail(Fault_en what);

    void* zip = nullptr;
    QString archive;
    QString member;
    int64_t inflated = 0;
    int64_t inflatedSize = 0;
    uint64_t compressedStart = 0;  // where the member's compressed bytes begin
    bool ended = false;
    Fault_en fault = Fault_en::None;
};

}  // namespace Import_ns
