#include "BenchBook.h"

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "SystemInfo/Path.h"
#include "settings/Unique.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <vector>

using Base_ns::DateTime_cl;

namespace Bench_ns {

namespace {

const char* const kUsers[] = {"admin", "王芳", "李强", "张伟", "刘洋"};
const int32_t kPowers[] = {0, 1, 2, 2, 3};
const char* const kNames[] = {"午饭", "晚饭", "地铁", "电话费", "聚餐", "超市", "房租", "药", "书", "电影", "奖金", ""};
constexpr int32_t kExtraTypes = 36;
// Entries spread over ten years.
const DateTime_cl kFirstDay = DateTime_cl::FromParts(2015, 1, 1);
constexpr int64_t kSpanSeconds = int64_t(3653) * 86400;

}  // namespace

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

Finance_st::Finance_st(const QString& file, bool create) {
    links.AddLocalLink(QStringLiteral("bench"), Folder().path() + "/" + file, QStringLiteral("pw"));
    links.OpenLink(0);
    if (create) {
        DB_ns::BeginTrans_cl transaction(&links.GetDatabase());
        users.CreateUserTable(kUsers[0], QStringLiteral("pw"));
        records.CreateTables();
        transaction.Commit();
    }
    users.Login(kUsers[0], QStringLiteral("pw"));
    if (!create) return;
    for (int32_t i = 1; i < 5; ++i) users.AddUser(kUsers[i], kPowers[i], QStringLiteral("pw"));
    for (int32_t i = 0; i < kExtraTypes; ++i)
        records.GetTypeSn(QStringLiteral("分类%1").arg(i + 1, 2, 10, QChar('0')), i % 4 == 0);
}

Finance_st::~Finance_st() {
    users.Logout();
    links.CloseDatabase();
}

namespace {

// Serial numbers of the categories of one kind.
std::vector<int32_t> TypeSns(DB_ns::IDatabase_cl& database, bool income) {
    DB_ns::SimpleOutRecords_cl rows;
    const int32_t count = database.Query(
        QStringLiteral("select sn from zorb_expense_type where kind = '%1' order by sn").arg(income ? 1 : 0), rows);
    std::vector<int32_t> sns;
    for (int32_t i = 0; i < count; ++i) {
        sns.push_back(rows.GetInteger());
        rows.MoveNext();
    }
    return sns;
}

// A realistic entry: mostly expenses, a tenth incomes, half with a comment.
struct Generator_st {
    std::mt19937 random{20240501};

    int32_t Pick(int32_t count) { return std::uniform_int_distribution<int32_t>(0, count - 1)(random); }
    // Incomes are rarer and larger, so that the balances stay near where they started.
    bool Income() { return Pick(10) == 0; }
    int32_t Amount(bool income) {
        return income ? std::uniform_int_distribution<int32_t>(10000, 170000)(random)
                      : -std::uniform_int_distribution<int32_t>(100, 20000)(random);
    }
    // Entries are booked roughly in the order they happen: entry i of count lies near
    // its share of the ten years, a few days either way.
    DateTime_cl Time(int32_t i, int32_t count) {
        constexpr int64_t kJitter = 3 * 86400;
        int64_t second = kSpanSeconds * i / count + std::uniform_int_distribution<int64_t>(-kJitter, kJitter)(random);
        second = std::clamp<int64_t>(second, 0, kSpanSeconds - 1);
        return kFirstDay + Base_ns::DateTimeSpan_cl(double(second) / 86400.0);
    }
    int32_t Mode() {
        const int32_t n = Pick(10);
        return n < 7 ? 0 : n < 9 ? 1 : 2;
    }
    QString Comment(int32_t i) { return i % 2 == 0 ? QStringLiteral("备注%1").arg(i) : QString(); }
};

// Fills the database with count entries, many rows per statement, in one transaction.
void FillEntries(DB_ns::IDatabase_cl& database, int32_t count) {
    const std::vector<int32_t> expenseTypes = TypeSns(database, false), incomeTypes = TypeSns(database, true);
    Generator_st generate;
    DB_ns::BeginTrans_cl transaction(&database);
    constexpr int32_t kBatch = 500;
    for (int32_t done = 0; done < count;) {
        QString sql = QStringLiteral(
            "insert into zorb_record(user_sn,type_sn,expense_name,expense,comment,statistics_mode,valid,"
            "record_time,alter_sn) values");
        for (int32_t i = 0; i < kBatch && done < count; ++i, ++done) {
            const bool income = generate.Income();
            const std::vector<int32_t>& types = income ? incomeTypes : expenseTypes;
            sql += QStringLiteral("%1(%2,%3,'%4',%5,'%6','%7','1','%8',1)")
                       .arg(i == 0 ? "" : ",")
                       .arg(1 + generate.Pick(5))
                       .arg(types[generate.Pick(int32_t(types.size()))])
                       .arg(QString::fromUtf8(kNames[generate.Pick(int32_t(std::size(kNames)))]))
                       .arg(generate.Amount(income))
                       .arg(generate.Comment(done))
                       .arg(generate.Mode())
                       .arg(generate.Time(done, count).Format());
        }
        database.ExecuteNoRecords(sql);
    }
    transaction.Commit();
}

// The filled databases by their number of entries, made on first use.
std::map<int32_t, std::unique_ptr<Finance_st>> filled;

}  // namespace

int32_t Entries(int32_t count) {
    bool set = false;
    const int32_t small = qEnvironmentVariableIntValue("VORELLE_BENCH_ENTRIES", &set);
    return set && small > 0 ? small : count;
}

QString FilledFile(int32_t count) { return QStringLiteral("filled%1.mdb").arg(Entries(count)); }

Finance_st& Filled(int32_t count) {
    count = Entries(count);
    auto& finance = filled[count];
    if (!finance) {
        const QString file = FilledFile(count);
        {
            Finance_st fresh(file, true);
            FillEntries(fresh.links.GetDatabase(), count);
        }
        finance = std::make_unique<Finance_st>(file, false);
    }
    return *finance;
}

Container_ns::List_tl<Vorelle_ns::RecordInfo_st> ImportList(int32_t count) {
    Generator_st generate;
    Container_ns::List_tl<Vorelle_ns::RecordInfo_st> list;
    for (int32_t i = 0; i < count; ++i) {
        Vorelle_ns::RecordInfo_st info;
        const bool income = generate.Income();
        info.recordTime = generate.Time(i, count);
        const int32_t type = generate.Pick(11 + kExtraTypes);
        info.typeName = type < 11 ? QString() : QStringLiteral("分类%1").arg(type - 10, 2, 10, QChar('0'));
        info.expenseName = QString::fromUtf8(kNames[generate.Pick(int32_t(std::size(kNames)))]);
        info.expense = generate.Amount(income);
        info.userName = QString::fromUtf8(kUsers[generate.Pick(5)]);
        info.statisticsMode = generate.Mode();
        info.comment = generate.Comment(i);
        list.Append(info);
    }
    return list;
}

void CloseFilled() { filled.clear(); }

int RunBenchmarks(int argc, char** argv) {
    SystemInfo_ns::SetApplicationFolder(Folder().path());
    Unique_ns::SetStorageFolder(Folder().path());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseFilled();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Peak memory of the process: %.1f MB\n", double(usage.ru_maxrss) / 1024.0);
    return 0;
}

}  // namespace Bench_ns
