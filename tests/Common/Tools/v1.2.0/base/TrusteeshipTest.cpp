#include "base/Trusteeship.h"

#include <QString>
#include <gtest/gtest.h>

using Base_ns::Trusteeship_tl;

namespace {

template <typename Action>
void ExpectCode(Action action, const char* message) {
    try {
        action();
        ADD_FAILURE() << "no error raised";
    } catch (const Base_ns::SysError_cl& error) {
        EXPECT_EQ(error.Message(), QString::fromUtf8(message));
        EXPECT_EQ(error.ClassName(), QStringLiteral("Trusteeship_tl"));
    }
}

}  // namespace

TEST(Trusteeship, RaisesItsErrors) {
    Trusteeship_tl<int32_t> array;
    ExpectCode([&] { array.Data(); }, "内存未被申请。");
    ExpectCode([&] { array[0]; }, "内存未被申请。");
    ExpectCode([&] { array.Allocate(-1); }, "数组的大小不能设置为零或负数。");
    ExpectCode([&] { array.Resize(0); }, "数组的大小不能设置为零或负数。");
    array.Allocate(0);
    EXPECT_EQ(array.Count(), 0);
    ExpectCode([&] { array[0]; }, "错误的数据索引。");
    array.Allocate(2);
    ExpectCode([&] { array[-1]; }, "错误的数据索引。");
    ExpectCode([&] { array[2]; }, "错误的数据索引。");
}

TEST(Trusteeship, CopiesShareOneArrayUntilTheLastLetsGo) {
    Trusteeship_tl<QString> array;
    array.Allocate(2);
    EXPECT_EQ(array[1], QString());
    Trusteeship_tl<QString> holder = array;
    holder[0] = QStringLiteral("甲");
    EXPECT_EQ(array[0], QStringLiteral("甲"));
    array.Release();
    EXPECT_FALSE(array.IsAllocated());
    EXPECT_EQ(holder[0], QStringLiteral("甲"));
    Trusteeship_tl<QString> third;
    third = holder;
    holder.Allocate(1);  // lets go of the shared array, which the third still holds
    EXPECT_EQ(third[0], QStringLiteral("甲"));
    EXPECT_EQ(holder.Count(), 1);
}

TEST(Trusteeship, ResizeKeepsTheLeadingElements) {
    Trusteeship_tl<int32_t> array;
    array.Resize(3);  // nothing held: allocates
    for (int32_t i = 0; i < 3; ++i) array[i] = i + 10;
    Trusteeship_tl<int32_t> old = array;
    array.Resize(5);
    EXPECT_EQ(array.Count(), 5);
    EXPECT_EQ(array[2], 12);
    EXPECT_EQ(array[4], 0);
    array[0] = 99;
    EXPECT_EQ(old[0], 10);  // the other holder keeps the old array
    array.Resize(2);
    EXPECT_EQ(array.Count(), 2);
    EXPECT_EQ(array[1], 11);
    int32_t* before = array.Data();
    array.Resize(2);
    EXPECT_EQ(array.Data(), before);
}
