#include "WebFixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

const QString kWang = QStringLiteral("老王");
const QString kLi = QStringLiteral("小李");
const QString kZhang = QStringLiteral("小张");

// One request and what must come back: the status and a piece of the body.
struct Call_st {
    const char* what;
    const char* method;
    std::string path;
    QString user;  // whose key; empty: none, "?": a made-up one
    std::string body;
    int status;
    std::string expected;
};

httplib::Result Send(httplib::Client& client, const Call_st& call, const httplib::Headers& headers) {
    const std::string method = call.method;
    if (method == "POST") return client.Post(call.path.c_str(), headers, call.body, "application/json");
    if (method == "DELETE") return client.Delete(call.path.c_str(), headers);
    return client.Get(call.path.c_str(), headers);
}

}  // namespace

TEST_P(WebTest, EveryRequestAnswersItsStatusAndOnlyValidEntriesAreBooked) {
    const std::string good = R"({"kind":"expense","amount":"12.50","category":"饮食","name":"午饭"})";
    const std::string others = "/api/v1/entries/" + std::to_string(wangEntry);
    const Call_st calls[] = {
        {"who the key is", "GET", "/api/v1/me", kLi, "", 200, R"({"balance":"0.00","power":"normal","user":"小李"})"},
        {"the super administrator", "GET", "/api/v1/me", kWang, "", 200, R"("power":"super")"},
        {"no key", "GET", "/api/v1/me", "", "", 401, R"("field":null)"},
        {"a made-up key", "GET", "/api/v1/categories", "?", "", 401, "设备密钥无效"},
        {"categories", "GET", "/api/v1/categories", kLi, "", 200, R"("income":["工资"])"},
        {"templates", "GET", "/api/v1/templates", kLi, "", 200, R"({"templates":[]})"},
        {"a booking in a planned category", "POST", "/api/v1/entries", kLi, good, 201,
         R"("amount":"12.50","budget":"饮食本月还剩 ¥479.50","category":"饮食")"},
        {"an income", "POST", "/api/v1/entries", kLi,
         R"({"kind":"income","amount":"100","category":"工资","time":"2024-03-02 12:30:00","statistics":"year"})", 201,
         R"("amount":"100.00","category":"工资","comment":"")"},
        {"not JSON", "POST", "/api/v1/entries", kLi, "{kind:", 400, R"("field":null)"},
        {"not an object", "POST", "/api/v1/entries", kLi, "[1]", 400, R"("field":null)"},
        {"an unknown field", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"饮食","colour":"red"})", 400, R"("field":"colour")"},
        {"an amount as a number", "POST", "/api/v1/entries", kLi, R"({"kind":"expense","amount":12.5,"category":"饮食"})",
         400, R"("field":"amount")"},
        {"three decimals", "POST", "/api/v1/entries", kLi, R"({"kind":"expense","amount":"12.505","category":"饮食"})",
         400, R"("field":"amount")"},
        {"a negative amount", "POST", "/api/v1/entries", kLi, R"({"kind":"expense","amount":"-3","category":"饮食"})",
         400, R"("field":"amount")"},
        {"an amount beyond the book", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"99999999999","category":"饮食"})", 400, R"("field":"amount")"},
        {"a kind that is none", "POST", "/api/v1/entries", kLi, R"({"kind":"gift","amount":"1","category":"饮食"})", 400,
         R"("field":"kind")"},
        {"no category", "POST", "/api/v1/entries", kLi, R"({"kind":"expense","amount":"1"})", 400,
         R"("field":"category")"},
        {"a quote in the name", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"饮食","name":"it's"})", 400, R"("field":"name")"},
        {"a day that does not exist", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"饮食","time":"2023-02-29 10:00:00"})", 400, R"("field":"time")"},
        {"a statistics mode that is none", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"饮食","statistics":"week"})", 400, R"("field":"statistics")"},
        {"a month 13", "GET", "/api/v1/entries?from=2024-13-01&to=2024-12-31", kLi, "", 400, R"("field":"from")"},
        {"a span backwards", "GET", "/api/v1/entries?from=2024-03-01&to=2024-02-01", kLi, "", 400, R"("field":"to")"},
        {"an unknown parameter", "GET", "/api/v1/entries?user=老王", kLi, "", 400, R"("field":"user")"},
        {"a normal user deleting another's entry", "DELETE", others, kLi, "", 404, "没有这条记录"},
        {"an independent user deleting another's entry", "DELETE", others, kZhang, "", 404, "没有这条记录"},
        {"an entry that is not there", "DELETE", "/api/v1/entries/99999", kLi, "", 404, "没有这条记录"},
        {"an id that is no number", "DELETE", "/api/v1/entries/abc", kLi, "", 404, "没有这条记录"},
        {"an unknown API path", "GET", "/api/v1/users", kWang, "", 404, "没有这个地址"},
        {"a path outside the page", "GET", "/etc/passwd", "", "", 404, "没有这个地址"},
        {"a path climbing out", "GET", "/../../etc/passwd", "", "", 404, ""},
        {"a body over 16 KiB", "POST", "/api/v1/entries", kLi, std::string(17 * 1024, ' '), 413, "16 KiB"},
        {"an expense into an income category", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"工资"})", 400, R"("field":"category")"},
        {"an income into an expense category", "POST", "/api/v1/entries", kLi,
         R"({"kind":"income","amount":"1","category":"饮食"})", 400, R"("field":"category")"},
        {"a category the book lacks", "POST", "/api/v1/entries", kWang,
         R"({"kind":"expense","amount":"1","category":"新分类"})", 400, R"("field":"category")"},
        {"an amount of 0", "POST", "/api/v1/entries", kLi, R"({"kind":"expense","amount":"0","category":"饮食"})", 400,
         R"("field":"amount")"},
        {"an amount of 0.00", "POST", "/api/v1/entries", kLi, R"({"kind":"expense","amount":"0.00","category":"饮食"})",
         400, R"("field":"amount")"},
        {"an amount past the limit, in the desktop's words", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"99999999.99","category":"饮食"})", 400,
         R"({"error":"金额太大，最多为21474836.47。","field":"amount"})"},
        {"the last day the entry dialog takes", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"饮食","time":"2099-12-31 23:59:59"})", 201, R"("amount":"1.00")"},
        {"a day after it", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"饮食","time":"2100-01-01 00:00:00"})", 400, R"("field":"time")"},
        {"the day before the first it takes", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"饮食","time":"1899-12-31 00:00:00"})", 400, R"("field":"time")"},
        {"the year 9999", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"饮食","time":"9999-12-31 00:00:00"})", 400, R"("field":"time")"},
        {"an amount given twice", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1.00","amount":"900.00","category":"饮食"})", 400, R"("field":"amount")"},
        {"a key given twice, once escaped", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1.00","category":"饮食","\u006bind":"income"})", 400, R"("field":"kind")"},
        {"a NUL in the name", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"饮食","name":"a\u0000b"})", 400, R"("field":"name")"},
        {"a lone surrogate in the comment", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"饮食","comment":"x\ud800"})", 400, R"("field":"comment")"},
        {"a low surrogate first in the category", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"\udc00\ud800"})", 400, R"("field":"category")"},
        {"a pair of surrogates is a character", "POST", "/api/v1/entries", kLi,
         R"({"kind":"expense","amount":"1","category":"饮食","comment":"\ud83d\ude00"})", 201, R"("comment":"😀")"},
        {"the independent user's own list", "GET", "/api/v1/entries", kZhang, "", 200,
         R"({"entries":[],"expense":"0.00","income":"0.00"})"},
    };
    const int32_t before = CountEntries();
    const QStringList categories = Categories();
    int32_t booked = 0;
    for (const Call_st& call : calls) {
        SCOPED_TRACE(call.what);
        httplib::Headers headers;
        if (call.user == QStringLiteral("?")) headers = {{"Authorization", "Bearer " + std::string(43, 'A')}};
        else if (!call.user.isEmpty()) headers = As(call.user);
        const httplib::Result result = Send(*client, call, headers);
        ASSERT_TRUE(result) << httplib::to_string(result.error());
        EXPECT_EQ(result->status, call.status);
        EXPECT_NE(result->body.find(call.expected), std::string::npos) << result->body;
        EXPECT_EQ(result->get_header_value("Content-Security-Policy").rfind("default-src 'self'", 0), 0u);
        EXPECT_EQ(result->get_header_value("X-Content-Type-Options"), "nosniff");
        EXPECT_FALSE(result->has_header("Set-Cookie"));
        if (call.path.rfind("/api/", 0) == 0) {
            EXPECT_EQ(result->get_header_value("Cache-Control"), "no-store");
        }
        if (result->status == 201) ++booked;
    }
    EXPECT_EQ(booked, 4);
    EXPECT_EQ(CountEntries(), before + 4);
    // No category made by a phone.
    EXPECT_EQ(Categories(), categories);
}

// Only a wrong key is a guess: a phone without a key yet, asking again and again, is never
// shut out, nor is its address once it has its key.
TEST_P(WebTest, OnlyWrongKeysCountTowardTheLockout) {
    struct Try_st {
        const char* what;
        httplib::Headers headers;
        int status;
    };
    const Try_st tries[] = {
        {"no header", {}, 401},
        {"no header", {}, 401},
        {"no header", {}, 401},
        {"no header", {}, 401},
        {"no header", {}, 401},
        {"no header", {}, 401},
        {"the scheme in small letters", {{"Authorization", "bearer " + key.at(kLi)}}, 200},
        {"the scheme in capitals", {{"Authorization", "BEARER " + key.at(kLi)}}, 200},
        {"a wrong key", {{"Authorization", "Bearer wrong1"}}, 401},
        {"a wrong key", {{"Authorization", "Bearer wrong2"}}, 401},
        {"a wrong key", {{"Authorization", "Bearer wrong3"}}, 401},
        {"a wrong key", {{"Authorization", "Bearer wrong4"}}, 401},
        {"still in after four", As(kLi), 200},
        {"the fifth wrong key", {{"Authorization", "Bearer wrong5"}}, 401},
        {"now shut out", As(kLi), 429},
    };
    for (const Try_st& t : tries) {
        SCOPED_TRACE(t.what);
        const auto answer = client->Get("/api/v1/me", t.headers);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, t.status) << answer->body;
    }
}

// A refund is money back in an expense category: listed as an expense of a negative
// amount, it lowers the expense total and is no income.
TEST_P(WebTest, ARefundIsListedAsAnExpenseAndLowersTheExpenseTotal) {
    links.SetLoginUser(userSn[QStringLiteral("老王")]);
    Container_ns::List_tl<Vorelle_ns::RecordInfo_st> refund;
    Vorelle_ns::RecordInfo_st record;
    record.recordTime = Base_ns::DateTime_cl::Now();
    record.typeName = QStringLiteral("饮食");
    record.expenseName = QStringLiteral("退款");
    record.expense = 300;
    record.userName = QStringLiteral("老王");
    record.refund = true;
    refund.Append(record);
    records.ImportRecords(refund);
    const httplib::Result result = client->Get("/api/v1/entries", As(QStringLiteral("老王")));
    ASSERT_TRUE(result) << httplib::to_string(result.error());
    ASSERT_EQ(result->status, 200) << result->body;
    EXPECT_NE(result->body.find(R"("amount":"-3.00","category":"饮食")"), std::string::npos) << result->body;
    EXPECT_NE(result->body.find(R"("expense":"5.00","income":"0.00")"), std::string::npos) << result->body;
}

TEST_P(WebTest, AResentBookingReturnsTheFirstAnswerAndBooksOnce) {
    httplib::Headers headers = As(kLi);
    headers.emplace("Idempotency-Key", "phone-1");
    const std::string body = R"({"kind":"expense","amount":"3.20","category":"交通"})";
    const auto first = client->Post("/api/v1/entries", headers, body, "application/json");
    const auto again = client->Post("/api/v1/entries", headers, body, "application/json");
    ASSERT_TRUE(first && again);
    EXPECT_EQ(first->status, 201);
    EXPECT_EQ(again->status, 201);
    EXPECT_EQ(again->body, first->body);
    // Another user's same key is his own.
    httplib::Headers zhang = As(kZhang);
    zhang.emplace("Idempotency-Key", "phone-1");
    EXPECT_NE(client->Post("/api/v1/entries", zhang, body, "application/json")->body, first->body);
    const auto me = client->Get("/api/v1/me", As(kLi));
    EXPECT_NE(me->body.find(R"("balance":"-3.20")"), std::string::npos) << me->body;
}

TEST_P(WebTest, ARevokedKeyOrADeletedUsersKeyOpensNothingAtOnce) {
    const auto listed = keys.List();
    int32_t liKey = 0;
    for (int32_t i = 0; i < listed.Count(); ++i) {
        if (listed[i].userName == kLi) liKey = listed[i].sn;
    }
    ASSERT_EQ(client->Get("/api/v1/me", As(kLi))->status, 200);
    keys.Revoke(liKey);
    EXPECT_EQ(client->Get("/api/v1/me", As(kLi))->status, 401);

    ASSERT_EQ(client->Get("/api/v1/me", As(kZhang))->status, 200);
    users.RemoveUser(userSn[kZhang], records.NewRecycler(QStringLiteral("删除用户。")));
    EXPECT_EQ(client->Get("/api/v1/me", As(kZhang))->status, 401);
    EXPECT_EQ(keys.List().Count(), 1);
}

TEST_P(WebTest, AnEntryIsTakenBackByItsOwnerOrAnAdministratorOnly) {
    const auto made = client->Post("/api/v1/entries", As(kLi), R"({"kind":"expense","amount":"5","category":"饮食"})",
                                   "application/json");
    ASSERT_EQ(made->status, 201);
    const std::string id = made->body.substr(made->body.find(R"("id":)") + 5);
    const std::string path = "/api/v1/entries/" + id.substr(0, id.find(','));
    EXPECT_EQ(client->Delete(path.c_str(), As(kZhang))->status, 404);
    EXPECT_EQ(client->Delete(path.c_str(), As(kLi))->status, 200);
    EXPECT_EQ(client->Delete(path.c_str(), As(kLi))->status, 404);
    const std::string wang = "/api/v1/entries/" + std::to_string(wangEntry);
    EXPECT_EQ(client->Delete(wang.c_str(), As(kWang))->status, 200);
    EXPECT_EQ(client->Get("/api/v1/me", As(kLi))->body.find(R"("balance":"0.00")") != std::string::npos, true);
}

TEST_P(WebTest, FiveWrongKeysAMinuteShutTheAddressOut) {
    const httplib::Headers wrong = {{"Authorization", "Bearer wrong"}};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(client->Get("/api/v1/me", wrong)->status, 401);
    // Now even the right key waits out the minute.
    const auto shut = client->Get("/api/v1/me", As(kLi));
    EXPECT_EQ(shut->status, 429);
    EXPECT_NE(shut->body.find("一分钟"), std::string::npos);
}

TEST_P(WebTest, ASilentConnectionIsClosedByTheServer) {
    const int sock = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(server.Port()));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    ASSERT_EQ(connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const char partial[] = "GET /api/v1/me HTTP/1.1\r\nHost: x\r\n";
    ASSERT_GT(send(sock, partial, sizeof partial - 1, 0), 0);
    // Far longer than the server waits: a recv that times out means it kept the connection.
    timeval wait{30, 0};
    setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    char buffer[512];
    ssize_t got = 0;
    while ((got = recv(sock, buffer, sizeof buffer, 0)) > 0) {
    }
    EXPECT_EQ(got, 0) << "the connection was still open";
    close(sock);
}

TEST_P(WebTest, ThePageIsServedWithItsScriptAndStyleAndNothingFromOutside) {
    for (const char* path : {"/", "/page.js", "/page.css"}) {
        const auto page = client->Get(path);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->status, 200) << path;
        EXPECT_EQ(page->body.find("http://"), std::string::npos) << path;
        EXPECT_EQ(page->body.find("https://"), std::string::npos) << path;
    }
}

TEST_P(WebTest, AUserPairsAndRevokesHisOwnPhonesAndTheSuperAdministratorAnybodys) {
    struct Case_st {
        QString who;
        QString forWhom;
        bool allowed;
    };
    const Case_st cases[] = {{kLi, kLi, true}, {kLi, kZhang, false}, {kZhang, kWang, false}, {kWang, kZhang, true}};
    for (const Case_st& c : cases) {
        SCOPED_TRACE((c.who + u'>' + c.forWhom).toStdString());
        links.SetLoginUser(userSn[c.who]);
        int32_t made = 0;
        try {
            made = keys.Add(QStringLiteral("新手机"), userSn[c.forWhom]).sn;
        } catch (const Base_ns::Error_cl& error) {
            EXPECT_FALSE(c.allowed) << error.Message().toStdString();
            continue;
        }
        EXPECT_TRUE(c.allowed);
        // Another normal user can neither see nor revoke it.
        links.SetLoginUser(userSn[c.forWhom == kLi ? kZhang : kLi]);
        for (int32_t i = 0; i < keys.List().Count(); ++i) EXPECT_NE(keys.List()[i].sn, made);
        EXPECT_THROW(keys.Revoke(made), Base_ns::Error_cl);
        links.SetLoginUser(userSn[c.forWhom]);
        keys.Revoke(made);
    }
}

INSTANTIATE_TEST_SUITE_P(Books, WebTest, ::testing::Values(BookKind_en::Local, BookKind_en::PostgreSQL),
                         [](const auto& info) { return info.param == BookKind_en::Local ? "Local" : "PostgreSQL"; });
