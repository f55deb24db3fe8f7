#pragma once

#include <QIODevice>
#include <QString>

namespace Import_ns {

// One member of a zip archive, read as a stream of its inflated bytes.
class ZipEntry_cl : public QIODevice {
public:
    // Raises an I/O error naming the archive when it or the member cannot be read.
    ZipEntry_cl(const QString& archive, const QString& member);
    ~ZipEntry_cl() override;

    static QString ClassName() { return QStringLiteral("ZipEntry_cl"); }
    // Whether the archive holds the member.
    static bool Contains(const QString& archive, const QString& member);

    bool isSequential() const override { return true; }
    int64_t Inflated() const { return inflated; }
    int64_t InflatedSize() const { return inflatedSize; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    void* zip = nullptr;
    QString archive;
    int64_t inflated = 0;
    int64_t inflatedSize = 0;
};

}  // namespace Import_ns
