#pragma once

#include "IO/IContainer.h"

#include <QByteArray>
#include <cstring>

// Bytes in memory with an optional capacity, so that tests can make writes fail.
class MemoryContainer_cl : public IO_ns::IContainer_cl {
public:
    explicit MemoryContainer_cl(QByteArray initial = {}, int64_t capacity = -1)
        : bytes(std::move(initial)), capacity(capacity) {}

    bool Write(const void* data, int64_t size) override {
        if (capacity >= 0 && position + size > capacity) return false;
        if (position + size > bytes.size()) bytes.resize(position + size);
        std::memcpy(bytes.data() + position, data, size_t(size));
        position += size;
        return true;
    }
    bool Read(void* data, int64_t size) override {
        if (position + size > bytes.size()) return false;
        std::memcpy(data, bytes.constData() + position, size_t(size));
        position += size;
        return true;
    }
    int64_t GetPosition() override { return position; }
    bool SetPosition(int64_t offset, bool absolute) override {
        const int64_t target = absolute ? offset : position + offset;
        if (target < 0 || target > bytes.size()) return false;
        position = target;
        return true;
    }
    bool MoveToEnd() override {
        position = bytes.size();
        return true;
    }

    QByteArray bytes;
    int64_t capacity;
    int64_t position = 0;
};
