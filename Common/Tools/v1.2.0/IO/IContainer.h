#pragma once

#include <cstdint>

namespace IO_ns {

// A run of bytes with a current position, read and written in place.
class IContainer_cl {
public:
    // Writes size bytes at the position; true on success.
    virtual bool Write(const void* bytes, int64_t size) = 0;
    // Reads exactly size bytes; on failure the position stays where it was.
    virtual bool Read(void* bytes, int64_t size) = 0;
    virtual int64_t GetPosition() = 0;
    // Moves to offset from the start when absolute, else offset bytes from the position.
    virtual bool SetPosition(int64_t offset, bool absolute) = 0;
    virtual bool MoveToEnd() = 0;
    virtual ~IContainer_cl() = default;
};

}  // namespace IO_ns
