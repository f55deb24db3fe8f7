#pragma once

#include <QString>
#include <cstdint>

namespace Unique_ns {

// Remembered single values of one storage, by key. A key never written reads as the
// default given.
class ICustom_cl {
public:
    virtual void WriteInteger(const QString& key, int32_t value) = 0;
    virtual void WriteBoolean(const QString& key, bool value) = 0;
    virtual void WriteString(const QString& key, const QString& value) = 0;
    virtual int32_t ReadInteger(const QString& key, int32_t defaultValue) = 0;
    virtual bool ReadBoolean(const QString& key, bool defaultValue) = 0;
    virtual QString ReadString(const QString& key, const QString& defaultValue) = 0;
    virtual ~ICustom_cl() = default;
};

}  // namespace Unique_ns
