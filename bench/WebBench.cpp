// The phone API over the loopback: a booked entry's answer on large books, the page with
// everything it asks for when it opens, and 50 phones booking at once.

#include "BenchBook.h"
#include "Data/Budget.h"
#include "Data/DeviceKeys.h"
#include "Web/WebBook.h"
#include "Web/WebServer.h"

#include <QCoreApplication>
#include <atomic>
#include <httplib.h>
#include <memory>
#include <thread>
#include <vector>

namespace {

using Bench_ns::Finance_st;

// The server over a book, with a key of its super administrator.
struct Served_st {
    Web_ns::WebBook_cl book;
    Web_ns::WebServer_cl server{book, nullptr};
    std::thread serving;
    httplib::Headers headers;

    explicit Served_st(Finance_st& finance) {
        Vorelle_ns::DeviceKeys_cl keys(finance.users);
        keys.Prepare();
        headers = {{"Authorization", "Bearer " + keys.Add(QStringLiteral("bench")).key.toStdString()}};
        book.Open(finance.links.GetLink(0));
        server.Bind({"127.0.0.1", 0, {}, {}});
        serving = std::thread([this] { server.Serve(); });
    }
    ~Served_st() {
        server.Stop();
        serving.join();
    }
    std::unique_ptr<httplib::Client> Client() {
        auto client = std::make_unique<httplib::Client>("127.0.0.1", server.Port());
        client->set_keep_alive(true);
        // Fifty phones share one writer: the last answers come late.
        client->set_read_timeout(600, 0);
        return client;
    }
};

const std::string kEntry = R"({"kind":"expense","amount":"12.50","category":"饮食","name":"午饭"})";

// The second argument puts a monthly plan on the category, so that the answer carries the
// budget notice (worked out from the month's entries); the filled book keeps the plan.
void BM_PostEntry(benchmark::State& state) {
    Bench_ns::Guarded(state, [&] {
        Finance_st& finance = Bench_ns::Filled(int32_t(state.range(0)));
        if (state.range(1) != 0) Vorelle_ns::Budget_cl(finance.users).SetTypePlan(QStringLiteral("饮食"), 100000);
        Served_st served(finance);
        auto client = served.Client();
        for (auto _ : state) {
            const auto answer = client->Post("/api/v1/entries", served.headers, kEntry, "application/json");
            if (!answer || answer->status != 201) state.SkipWithError("the entry was not booked");
        }
    });
}

// What the page loads when it opens: itself, its script and style, and its four calls.
void BM_PageOpen(benchmark::State& state) {
    Bench_ns::Guarded(state, [&] {
        Served_st served(Bench_ns::Filled(int32_t(state.range(0))));
        auto client = served.Client();
        size_t pageBytes = 0;
        for (auto _ : state) {
            pageBytes = 0;
            for (const char* path : {"/", "/page.js", "/page.css"}) pageBytes += client->Get(path)->body.size();
            for (const char* path : {"/api/v1/categories", "/api/v1/templates", "/api/v1/me", "/api/v1/entries"}) {
                const auto answer = client->Get(path, served.headers);
                if (!answer || answer->status != 200) state.SkipWithError(path);
            }
        }
        state.counters["page_bytes"] = double(pageBytes);
    });
}

// 50 phones booking 100 entries each at once, each with its own resend key: every entry
// must be there once and the balance must be their sum.
void BM_FiftyPhones(benchmark::State& state) {
    Bench_ns::Guarded(state, [&] {
        Finance_st finance(QStringLiteral("phones.mdb"), true);
        Served_st served(finance);
        constexpr int kPhones = 50;
        constexpr int kPosts = 100;
        std::atomic<int> failed{0};
        std::atomic<int> resent{0};
        for (auto _ : state) {
            std::vector<std::thread> phones;
            for (int phone = 0; phone < kPhones; ++phone) {
                phones.emplace_back([&, phone] {
                    auto client = served.Client();
                    for (int post = 0; post < kPosts; ++post) {
                        httplib::Headers headers = served.headers;
                        headers.emplace("Idempotency-Key", std::to_string(phone) + "-" + std::to_string(post));
                        const std::string body = R"({"kind":"expense","amount":")" + std::to_string(phone + 1) +
                                                 R"(.0)" + std::to_string(post % 10) + R"(","category":"交通"})";
                        // As the page does: a request without an answer is sent again with
                        // the same key, which must not book twice.
                        auto answer = client->Post("/api/v1/entries", headers, body, "application/json");
                        for (int again = 0; !answer && again < 3; ++again) {
                            ++resent;
                            answer = client->Post("/api/v1/entries", headers, body, "application/json");
                        }
                        if (!answer || answer->status != 201) ++failed;
                    }
                });
            }
            for (std::thread& phone : phones) phone.join();
        }
        const auto rows = finance.records.GetRecords(true, QString(), Base_ns::DateTime_cl::FromParts(2000, 1, 1),
                                                     Base_ns::DateTime_cl::FromParts(2100, 1, 1));
        int64_t sum = 0;
        for (int32_t i = 0; i < rows.Count(); ++i) sum += rows[i].expense;
        const int64_t balance = finance.users.GetSingleAccount();
        state.counters["booked"] = rows.Count();
        state.counters["failed"] = failed.load();
        state.counters["resent"] = resent.load();
        if (failed != 0 || rows.Count() != kPhones * kPosts || balance != sum) {
            const std::string why = "entries lost, doubled or the balance is not their sum: " +
                                    std::to_string(failed.load()) + " failed, " + std::to_string(rows.Count()) +
                                    " booked, balance " + std::to_string(balance) + ", sum " + std::to_string(sum);
            state.SkipWithError(why.c_str());
        }
    });
}

}  // namespace

BENCHMARK(BM_PostEntry)
    ->Args({100000, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PageOpen)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FiftyPhones)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return Bench_ns::RunBenchmarks(argc, argv);
}
