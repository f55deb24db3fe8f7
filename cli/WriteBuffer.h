#pragma once

#include "IO/IContainer.h"

#include <QByteArray>

namespace Cli_ns {

// A container that only collects what a stream writes, for output made by the program's
// own writers (the CSV stream) but printed rather than saved.
class WriteBuffer_cl : public IO_ns::IContainer_cl {
public:
    bool Write(const void* data, int64_t size) override {
        bytes.append(static_cast<const char*>(data), qsizetype(size));
        return true;
    }
    bool Read(void*, int64_t) override { return false; }
    int64_t GetPosition() override { return bytes.size(); }
    bool SetPosition(int64_t offset, bool absolute) override { return absolute ? offset == bytes.size() : offset == 0; }
    bool MoveToEnd() override { return true; }

    const QByteArray& Bytes() const { return bytes; }

private:
    QByteArray bytes;
};

}  // namespace Cli_ns
