#include "platform/ado/ProviderError.h"
#include "platform/ado/Recordset.h"

#include <functional>
#include <gtest/gtest.h>

using namespace Ado_ns;

namespace {

Base_ns::Trusteeship_tl<QString> Names(int32_t count) {
    Base_ns::Trusteeship_tl<QString> names;
    names.Allocate(count);
    for (int32_t i = 0; i < count; ++i) names[i] = QStringLiteral("c%1").arg(i);
    return names;
}

uint32_t ResultOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ProviderError_cl& e) {
        return e.Result();
    }
    return 0;
}

}  // namespace

// Rows are kept in blocks that grow; sizes around the block edges and a large set all
// read back in order, twice, with the appended buffer reused for every row as the engine
// does.
TEST(Recordset, RowsReadBackAcrossBlockEdges) {
    for (const int32_t count : {1, 15, 16, 17, 48, 49, 5000, 20000}) {
        Recordset_cl rows(Names(3));
        Recordset_cl::Row_tl row;
        row.Allocate(3);
        for (int32_t i = 0; i < count; ++i) {
            row[0] = Variant_st::Integer(i);
            row[1] = Variant_st::Text(QString::number(i * 7));
            row[2] = i % 3 == 0 ? Variant_st::Null() : Variant_st::Date(i + 0.5);
            rows.AppendRow(row);
        }
        for (int pass = 0; pass < 2; ++pass) {
            rows.MoveFirst();
            int32_t i = 0;
            for (; !rows.IsEOF(); rows.MoveNext(), ++i) {
                ASSERT_EQ(rows.Value(0).integer, i) << count;
                ASSERT_EQ(rows.Value(1).text, QString::number(i * 7)) << count;
                ASSERT_EQ(rows.Value(2).type, i % 3 == 0 ? VT_NULL : VT_DATE) << count;
            }
            EXPECT_EQ(i, count);
            EXPECT_EQ(ResultOf([&] { rows.MoveNext(); }), Result_ns::NoCurrentRecord);
            EXPECT_EQ(ResultOf([&] { rows.Value(0); }), Result_ns::NoCurrentRecord);
        }
    }
}

TEST(Recordset, FirstRowIsCurrentAndFieldlessRowsStillCount) {
    Recordset_cl rows(Names(2));
    EXPECT_TRUE(rows.IsEOF());
    Recordset_cl::Row_tl row;
    row.Allocate(2);
    row[0] = Variant_st::Text(QStringLiteral("饮食"));
    rows.AppendRow(row);
    row[0] = Variant_st::Text(QStringLiteral("交通"));  // the set holds its own copy
    EXPECT_EQ(rows.Value(0).text, QStringLiteral("饮食"));
    EXPECT_EQ(rows.Value(1).type, VT_EMPTY);
    EXPECT_EQ(ResultOf([&] { rows.Value(2); }), Result_ns::ItemNotFound);

    Recordset_cl bare(Names(0));
    Recordset_cl::Row_tl none;
    none.Allocate(0);
    for (int i = 0; i < 40; ++i) bare.AppendRow(none);
    int32_t count = 0;
    for (bare.MoveFirst(); !bare.IsEOF(); bare.MoveNext()) ++count;
    EXPECT_EQ(count, 40);
}
