#include "FinanceFixture.h"

#include <QStringList>

namespace {

struct SearchCase_st {
    const char* name;
    const char* text;
    const char* typeName;
    std::optional<int32_t> minimum, maximum;
    QStringList expected;  // entry names, newest first
};

class RecordSearchTest : public FinanceTest, public ::testing::WithParamInterface<SearchCase_st> {
protected:
    void Add(const char* type, const char* name, int32_t expense, const char* comment, const char* time) {
        records.AddRecord(QString::fromUtf8(type), QString::fromUtf8(name), expense, QString::fromUtf8(comment),
                          Time(time), 0);
    }
};

}  // namespace

// The list and the sums hold exactly the entries whose name, category, comment or owner
// holds the text (any case, any script, typed characters taken as they are), of the
// category and within the amount bounds.
TEST_P(RecordSearchTest, ListAndSumsFollowTheSearch) {
    AddUser("Bob", 2);
    Add("饮食", "Coffee", -1500, "Starbucks latte", "2024-03-01 08:00:00");
    Add("饮食", "午饭", -3000, "同事聚餐", "2024-03-02 12:00:00");
    Add("饮食", "Äpfel", -800, "", "2024-03-03 18:00:00");
    LoginAs("Bob");
    Add("工资", "工资", 900000, "March", "2024-03-04 09:00:00");
    Add("交通", "公交卡", -5000, "充值 100%", "2024-03-05 09:00:00");
    Add("交通", "Ωmega", -100, "", "2024-04-01 09:00:00");  // outside the month
    LoginAs("admin");

    const SearchCase_st& row = GetParam();
    Vorelle_ns::RecordFilter_st filter;
    filter.text = QString::fromUtf8(row.text);
    filter.typeName = QString::fromUtf8(row.typeName);
    filter.minimum = row.minimum;
    filter.maximum = row.maximum;
    const auto begin = Time("2024-03-01"), end = Time("2024-03-31 23:59:59");
    const auto list = records.GetRecords(true, "", begin, end, filter);
    QStringList names;
    int64_t listed = 0;
    for (int32_t i = 0; i < list.Count(); ++i) {
        names << list[i].expenseName;
        listed += list[i].expense;
    }
    EXPECT_EQ(names, row.expected);
    const auto sums = records.GetTypeSums(true, "", begin, end, filter);
    int64_t summed = 0;
    for (int32_t i = 0; i < sums.Count(); ++i) summed += sums[i].sum;
    EXPECT_EQ(summed, listed);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, RecordSearchTest,
    ::testing::Values(
        SearchCase_st{"Nothing", "", "", {}, {}, {"公交卡", "工资", "Äpfel", "午饭", "Coffee"}},
        SearchCase_st{"NameAnyCase", "cOFFEE", "", {}, {}, {"Coffee"}},
        SearchCase_st{"CommentAnyCase", "STARBUCKS", "", {}, {}, {"Coffee"}},
        SearchCase_st{"LatinBeyondAscii", "äPFEL", "", {}, {}, {"Äpfel"}},
        SearchCase_st{"ChineseInComment", "聚餐", "", {}, {}, {"午饭"}},
        SearchCase_st{"Category", "饮食", "", {}, {}, {"Äpfel", "午饭", "Coffee"}},
        SearchCase_st{"OwnerAnyCase", "bob", "", {}, {}, {"公交卡", "工资"}},
        SearchCase_st{"PercentAsTyped", "%", "", {}, {}, {"公交卡"}},
        SearchCase_st{"UnderscoreAsTyped", "_", "", {}, {}, {}},
        SearchCase_st{"Apostrophe", "O'Neil", "", {}, {}, {}},
        SearchCase_st{"CategoryFilter", "", "交通", {}, {}, {"公交卡"}},
        SearchCase_st{"TextAndCategory", "a", "饮食", {}, {}, {"Äpfel", "午饭", "Coffee"}},
        SearchCase_st{"AmountFrom", "", "", 3000, {}, {"公交卡", "工资", "午饭"}},
        SearchCase_st{"AmountBetween", "", "", 1500, 3000, {"午饭", "Coffee"}}),
    [](const ::testing::TestParamInfo<SearchCase_st>& info) { return std::string(info.param.name); });
