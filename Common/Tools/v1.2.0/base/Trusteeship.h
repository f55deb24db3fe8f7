#pragma once

#include "SysError.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace Base_ns {

// Raises the shared array's system errors. Defined here so that file and line both name
// this file.
inline SysError_cl TrusteeshipSysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const ErrorInfo_st table[] = {{1, "内存未被申请。"},
                                         {2, "数组的大小不能设置为零或负数。"},
                                         {3, "错误的数据索引。"}};
    return SysError_cl(line, __FILE__, QStringLiteral("Trusteeship_tl"), code, table,
                       int32_t(std::size(table)), remark);
}

// A counted array shared by every copy of its holder; the last holder to let go
// destroys the elements.
template <typename T>
class Trusteeship_tl {
    struct Share_st {
        int32_t holders;
        int32_t count;
    };

public:
    Trusteeship_tl() = default;
    Trusteeship_tl(const Trusteeship_tl& other) : elements(other.elements), share(other.share) {
        if (share != nullptr) ++share->holders;
    }
    Trusteeship_tl(Trusteeship_tl&& other) noexcept
        : elements(std::exchange(other.elements, nullptr)), share(std::exchange(other.share, nullptr)) {}
    Trusteeship_tl& operator=(const Trusteeship_tl& other) {
        Trusteeship_tl copy(other);
        Swap(copy);
        return *this;
    }
    Trusteeship_tl& operator=(Trusteeship_tl&& other) noexcept {
        Trusteeship_tl taken(std::move(other));
        Swap(taken);
        return *this;
    }
    ~Trusteeship_tl() { Release(); }

    static QString ClassName() { return QStringLiteral("Trusteeship_tl"); }

    // Lets go of any array held, then holds n value-initialised elements alone.
    // A size of zero gives an empty array.
    void Allocate(int32_t n) {
        if (n < 0) throw TrusteeshipSysError(2, __LINE__, QString::number(n));
        T* fresh = new T[n]();  // value-initialised: numbers start at zero
        Release();
        elements = fresh;
        share = new Share_st{1, n};
    }

    // Keeps the first min(old, n) elements in a new array of n; n must be positive.
    void Resize(int32_t n) {
        if (n <= 0) throw TrusteeshipSysError(2, __LINE__, QString::number(n));
        if (share == nullptr) {
            Allocate(n);
            return;
        }
        if (n == share->count) return;
        Trusteeship_tl resized;
        resized.Allocate(n);
        const int32_t kept = std::min(n, share->count);
        for (int32_t i = 0; i < kept; ++i) resized.elements[i] = elements[i];
        Swap(resized);
    }

    // Drops this holder; the array is destroyed with its last holder.
    void Release() {
        if (share != nullptr && --share->holders == 0) {
            delete[] elements;
            delete share;
        }
        elements = nullptr;
        share = nullptr;
    }

    T& operator[](int32_t i) const {
        if (share == nullptr) throw TrusteeshipSysError(1, __LINE__);
        if (i < 0 || i >= share->count) throw TrusteeshipSysError(3, __LINE__, QString::number(i));
        return elements[i];
    }
    // The elements as one block.
    T* Data() const {
        if (share == nullptr) throw TrusteeshipSysError(1, __LINE__);
        return elements;
    }
    // The number of elements; 0 when no array is held.
    int32_t Count() const { return share == nullptr ? 0 : share->count; }
    bool IsAllocated() const { return share != nullptr; }

private:
    void Swap(Trusteeship_tl& other) noexcept {
        std::swap(elements, other.elements);
        std::swap(share, other.share);
    }

    T* elements = nullptr;
    Share_st* share = nullptr;
};

}  // namespace Base_ns
