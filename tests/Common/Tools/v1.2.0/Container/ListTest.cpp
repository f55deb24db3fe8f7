#include "Container/List.h"
#include "base/String.h"

#include <gtest/gtest.h>

using Container_ns::List_tl;
using Base_ns::String_cl;

namespace {

using Texts_tl = List_tl<String_cl>;

Texts_tl Make(std::initializer_list<const char*> texts) {
    Texts_tl list;
    for (const char* text : texts) list.Append(String_cl(text));
    return list;
}

// Walks forwards the way every caller does; also checks the count against the walk.
QString Walk(const Texts_tl& list) {
    QString joined;
    int32_t seen = 0;
    for (Texts_tl::Identifier_cl id = list.First(); !id.IsEmpty(); id.Next()) {
        joined += id.Get();
        ++seen;
    }
    EXPECT_EQ(seen, list.Count());
    return joined;
}

// Expects code 1 "空ID不能操作。" raised for the identifier class.
template <typename Action>
void ExpectEmptyIdError(Action action) {
    try {
        action();
        ADD_FAILURE() << "no error raised";
    } catch (const Base_ns::SysError_cl& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("空ID不能操作。"));
        EXPECT_EQ(error.ClassName(), QStringLiteral("Identifier_cl"));
        EXPECT_EQ(error.File(), QStringLiteral("List.h"));
    }
}

}  // namespace

TEST(List, AppendsInOrderAndFindsByIndex) {
    const Texts_tl list = Make({"a", "b", "c"});
    EXPECT_EQ(Walk(list), QStringLiteral("abc"));
    EXPECT_EQ(list.At(0).Get(), QStringLiteral("a"));
    EXPECT_EQ(list.At(2).Get(), QStringLiteral("c"));
    EXPECT_TRUE(list.At(3).IsEmpty());
    EXPECT_TRUE(list.At(-1).IsEmpty());
    EXPECT_TRUE(Texts_tl().First().IsEmpty());
    EXPECT_EQ(Texts_tl().GetClassName(), QStringLiteral("List_tl"));
}

TEST(List, ElementsAreWrittenInPlace) {
    Texts_tl list = Make({"a", "b"});
    list.At(1).Get() = QStringLiteral("乙");
    EXPECT_EQ(Walk(list), QStringLiteral("a乙"));
}

TEST(List, RemovesFirstMiddleLastAndOnlyNode) {
    Texts_tl list = Make({"a", "b", "c", "d"});
    Texts_tl::Identifier_cl id = list.At(2);
    list.Remove(id);
    EXPECT_TRUE(id.IsEmpty());
    EXPECT_EQ(Walk(list), QStringLiteral("abd"));

    id = list.First();
    list.Remove(id);
    EXPECT_EQ(Walk(list), QStringLiteral("bd"));
    EXPECT_EQ(list.First().Get(), QStringLiteral("b"));

    id = list.At(1);
    list.Remove(id);
    EXPECT_EQ(Walk(list), QStringLiteral("b"));
    list.Append(String_cl("e"));  // the last node must be right for appending
    EXPECT_EQ(Walk(list), QStringLiteral("be"));

    id = list.First();
    list.Remove(id);
    id = list.First();
    list.Remove(id);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.First().IsEmpty());
    list.Append(String_cl("f"));
    EXPECT_EQ(Walk(list), QStringLiteral("f"));
}

TEST(List, EmptyIdentifiersRaiseOnEveryUse) {
    Texts_tl list = Make({"a"});
    Texts_tl::Identifier_cl past = list.At(1);
    ExpectEmptyIdError([&] { past.Get(); });
    ExpectEmptyIdError([&] { past.Next(); });
    ExpectEmptyIdError([&] { list.Remove(past); });
    Texts_tl::Identifier_cl fresh;
    ExpectEmptyIdError([&] { fresh.Get(); });
    Texts_tl::Identifier_cl last = list.First();
    last.Next();
    ExpectEmptyIdError([&] { last.Next(); });
    EXPECT_EQ(list.Count(), 1);
}

TEST(List, RefusesAnotherListsIdentifier) {
    Texts_tl one = Make({"a"});
    Texts_tl other = Make({"b"});
    Texts_tl::Identifier_cl id = other.First();
    EXPECT_THROW(one.Remove(id), Base_ns::SysError_cl);
    EXPECT_EQ(Walk(one), QStringLiteral("a"));
    EXPECT_EQ(Walk(other), QStringLiteral("b"));
}

TEST(List, ClearEmptiesAndAllowsReuse) {
    Texts_tl list = Make({"a", "b", "c"});
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.First().IsEmpty());
    list.Append(String_cl("x"));
    EXPECT_EQ(Walk(list), QStringLiteral("x"));
}

TEST(List, CopiesAreIndependentAndMovesTakeTheNodes) {
    Texts_tl original = Make({"a", "b"});
    Texts_tl copy = original;
    copy.First().Get() = QStringLiteral("z");
    copy.Append(String_cl("c"));
    EXPECT_EQ(Walk(original), QStringLiteral("ab"));
    EXPECT_EQ(Walk(copy), QStringLiteral("zbc"));

    copy = original;
    EXPECT_EQ(Walk(copy), QStringLiteral("ab"));

    Texts_tl moved = std::move(copy);
    EXPECT_EQ(Walk(moved), QStringLiteral("ab"));
    EXPECT_EQ(copy.Count(), 0);  // NOLINT: a moved-from list is empty and usable
    copy.Append(String_cl("n"));
    EXPECT_EQ(Walk(copy), QStringLiteral("n"));
}
