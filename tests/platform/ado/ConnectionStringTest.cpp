#include "platform/ado/ConnectionString.h"
#include "platform/ado/OdbcLink.h"
#include "platform/ado/ProviderError.h"

#include <gtest/gtest.h>

using namespace Ado_ns;

TEST(ConnectionString, ReadsQuotedAndPlainValues) {
    const ConnectionString_cl s(QStringLiteral(
        "Provider=SQLOLEDB;Persist Security Info=false;User ID=\"sa\";Password=\"a;b}c='d'\";Data Source=\"db,1433\";"
        " data source = other ;Empty=\"\";Quoted='it''s'"));
    EXPECT_EQ(s.Value(QStringLiteral("provider")), QStringLiteral("SQLOLEDB"));
    EXPECT_EQ(s.Value(QStringLiteral("PASSWORD")), QStringLiteral("a;b}c='d'"));
    EXPECT_EQ(s.Value(QStringLiteral("Data Source")), QStringLiteral("db,1433"));  // the first one given
    EXPECT_EQ(s.Value(QStringLiteral("Empty")), QString());
    EXPECT_EQ(s.Value(QStringLiteral("Quoted")), QStringLiteral("it's"));
    EXPECT_EQ(s.Value(QStringLiteral("Missing")), QString());
}

TEST(ConnectionString, RefusesMalformedTexts) {
    for (const char* bad : {"Provider=\"Jet;Data Source=x", "Password=\"a\"b;", "justtext", "=value"}) {
        try {
            ConnectionString_cl s{QString::fromUtf8(bad)};
            ADD_FAILURE() << bad;
        } catch (const ProviderError_cl& e) {
            EXPECT_EQ(e.Result(), Result_ns::Fail) << bad;
        }
    }
}

TEST(OdbcLink, BuildsFreeTdsTextsForEveryAddressForm) {
    auto text = [](const char* source, const char* database) {
        return OdbcLink_cl::SqlServer(ConnectionString_cl(
            QStringLiteral("Provider=SQLOLEDB;User ID=\"sa\";Password=\"p;w}\";%1Data Source=\"%2\";")
                .arg(database ? QStringLiteral("Database=\"%1\";").arg(QString::fromUtf8(database)) : QString(), QString::fromUtf8(source))));
    };
    EXPECT_EQ(text("db.example", nullptr),
              QStringLiteral("Driver={FreeTDS};Server={db.example};UID={sa};PWD={p;w}};ClientCharset={UTF-8};"));
    EXPECT_EQ(text("10.0.0.5, 1500", "books"),
              QStringLiteral("Driver={FreeTDS};Server={10.0.0.5};Port={1500};UID={sa};PWD={p;w}};Database={books};"
                             "ClientCharset={UTF-8};"));
    EXPECT_EQ(text("host\\SQLEXPRESS", nullptr),
              QStringLiteral("Driver={FreeTDS};Server={host\\SQLEXPRESS};UID={sa};PWD={p;w}};ClientCharset={UTF-8};"));
}

TEST(OdbcLink, RefusesValuesThatWouldEndTheirBracesEarly) {
    EXPECT_EQ(OdbcLink_cl::Quote(QStringLiteral("a}b;c}")), QStringLiteral("{a}b;c}}"));
    try {
        OdbcLink_cl::Quote(QStringLiteral("x};Database={other"));
        ADD_FAILURE();
    } catch (const ProviderError_cl& e) {
        EXPECT_EQ(e.Result(), Result_ns::Fail);
    }
}

TEST(OdbcLink, LoginTimeoutDefaultsTo15Seconds) {
    EXPECT_EQ(OdbcLink_cl::LoginTimeout(ConnectionString_cl(QStringLiteral("Provider=SQLOLEDB"))), 15);
    EXPECT_EQ(OdbcLink_cl::LoginTimeout(ConnectionString_cl(QStringLiteral("Connect Timeout=3"))), 3);
    EXPECT_EQ(OdbcLink_cl::LoginTimeout(ConnectionString_cl(QStringLiteral("Connect Timeout=soon"))), 15);
}
