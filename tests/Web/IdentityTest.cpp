// A phone's resend reaches the book, not a server's memory: after a restart, and through
// the other server (the desktop's beside the command line's).
#include "WebFixture.h"

#include "Web/PhoneServer.h"

#include <QUrl>

namespace {

const QString kLi = QStringLiteral("小李");

// The port of the desktop's server, from the address it shows.
int PortOf(const Web_ns::PhoneServer_cl& desktop) { return QUrl(desktop.Address()).port(); }

TEST_P(WebTest, AKeptIdempotencyKeyIsAnsweredFromTheBook) {
    const std::string body = R"({"kind":"expense","amount":"3.20","category":"交通","name":"地铁"})";
    const std::string other = R"({"kind":"expense","amount":"900.00","category":"交通","name":"地铁"})";
    enum class Resend_en { AfterRestart, ToTheOtherServer };
    const struct {
        const char* title;
        const char* key;
        Resend_en resend;
        const std::string& resent;
        int status;
    } cases[] = {
        {"the same request after the server was stopped and started again", "k-restart", Resend_en::AfterRestart, body, 201},
        {"the same request to the desktop's server", "k-desktop", Resend_en::ToTheOtherServer, body, 201},
        {"the same key with another body", "k-other", Resend_en::AfterRestart, other, 422},
    };
    const Web_ns::ServeSettings_st loopback{"127.0.0.1", 0, {}, {}};
    Web_ns::PhoneServer_cl desktop;
    int64_t spent = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        httplib::Headers headers = As(kLi);
        headers.emplace("Idempotency-Key", c.key);
        const int32_t before = CountEntries();
        // First through the desktop's server, restarted before the resend; or through the
        // command line's, with the resend to the desktop's.
        desktop.Start(links.GetLink(0), loopback);
        httplib::Client first("127.0.0.1", c.resend == Resend_en::AfterRestart ? PortOf(desktop) : server.Port());
        const auto answer = first.Post("/api/v1/entries", headers, body, "application/json");
        ASSERT_TRUE(answer);
        ASSERT_EQ(answer->status, 201) << answer->body;
        spent += 320;
        desktop.Stop();
        desktop.Start(links.GetLink(0), loopback);
        httplib::Client again("127.0.0.1", PortOf(desktop));
        const auto resent = again.Post("/api/v1/entries", headers, c.resent, "application/json");
        ASSERT_TRUE(resent);
        EXPECT_EQ(resent->status, c.status) << resent->body;
        if (c.status == 201) EXPECT_EQ(resent->body, answer->body);
        else EXPECT_NE(resent->body.find(R"("field":"Idempotency-Key")"), std::string::npos) << resent->body;
        desktop.Stop();
        EXPECT_EQ(CountEntries(), before + 1);
        const auto me = client->Get("/api/v1/me", As(kLi));
        ASSERT_TRUE(me);
        const std::string balance = "\"balance\":\"-" + std::to_string(spent / 100) + "." +
                                    (spent % 100 < 10 ? "0" : "") + std::to_string(spent % 100) + "\"";
        EXPECT_NE(me->body.find(balance), std::string::npos) << me->body << " wanted " << balance;
    }
}

}  // namespace
