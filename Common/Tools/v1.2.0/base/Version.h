#pragma once

#include <QString>
#include <cstdint>

namespace Base_ns {

// Reads a signed integer the way enumeration columns and version numbers are written:
// an optional "+" or "-", then digits where a letter A-F (any case) switches to base 16
// for itself and every later character. Fails on an empty text, any other character or
// a running value above 2,147,483,647.
bool ReadEnumInteger(const QString& text, int32_t& value);

// A version w.x.y.z, each number 0-255, packed with w as the most significant byte.
struct Version_st {
    uint32_t value = 0;

    Version_st() = default;
    explicit Version_st(uint32_t value) : value(value) {}

    // Reads w.x.y.z; text after the fourth number is ignored. Raises code 1 otherwise.
    void Parse(const QString& text);
    QString ToString() const;

    bool operator==(const Version_st& other) const { return value == other.value; }

    static QString ClassName() { return QStringLiteral("Version_st"); }
};

}  // namespace Base_ns
