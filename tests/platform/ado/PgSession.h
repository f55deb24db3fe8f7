#pragma once

// A connection to a book of the PostgreSQL server the test program starts, for the
// tests of the server dialect: statements run through the program's own provider.
#include "platform/ado/Connection.h"
#include "platform/ado/Environment.h"
#include "support/PostgresServer.h"

#include <QStringList>
#include <gtest/gtest.h>

class PgSession : public ::testing::Test {
protected:
    void SetUp() override {
        Ado_ns::Environment_cl::Startup();
        ASSERT_TRUE(server.Start()) << "The PostgreSQL test server did not start: " << server.Why().toStdString();
        ASSERT_TRUE(server.MakeBook("dialect", "pw", "dialect")) << server.Why().toStdString();
        connection.Open(QStringLiteral("Provider=PostgreSQL;User ID=\"dialect\";Password=\"pw\";Database=\"dialect\";"
                                       "Data Source=\"%1\";")
                            .arg(server.Address()));
    }

    int32_t Run(const QString& sql, const Ado_ns::VariantList_tl& parameters = {}) {
        int32_t affected = 0;
        connection.Execute(sql, parameters, affected, Ado_ns::adExecuteNoRecords);
        return affected;
    }

    // Each row as its values joined by "|"; a null as "NULL".
    QStringList Rows(const QString& sql, const Ado_ns::VariantList_tl& parameters = {}) {
        int32_t affected = 0;
        QStringList rows;
        for (auto set = connection.Execute(sql, parameters, affected, 0); !set->IsEOF(); set->MoveNext()) {
            QStringList values;
            for (int32_t i = 0; i < set->FieldCount(); ++i) {
                QString text;
                values.append(set->Value(i).ToText(text) ? text : QStringLiteral("NULL"));
            }
            rows.append(values.join(u'|'));
        }
        return rows;
    }

    PostgresServer_cl& server = PostgresServer_cl::Shared();
    Ado_ns::Connection_cl connection;
};
