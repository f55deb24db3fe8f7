#pragma once

#include <QFileInfo>

#include "Control/DataCore.h"
#include "DB/LocalDB.h"
#include "DB/SimpleOutRecords.h"
#include "base/Error.h"
#include "support/RecordingPrompt.h"
#include "support/TempFolder.h"
#include "support/TempSettings.h"

#include <gtest/gtest.h>

// What an operation raised, if anything.
struct CoreRaised_st {
    bool raised = false;
    bool system = false;
    QString message;
    QString className;
};

template <typename Action>
CoreRaised_st CoreRaise(Action action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        return {true, error.IsSystem(), error.Message(), error.ClassName()};
    }
    return {};
}

// A data core over a temporary application folder and settings folder, with every
// question answered from a script.
class CoreTest : public ::testing::Test {
protected:
    QString InFolder(const QString& name) const { return app.Path() + name; }

    Vorelle_ns::DatabaseManage_cl& Links() { return core.GetDatabaseManage(); }

    // A connection of its own to a database file, to look at it from outside the core.
    static std::unique_ptr<DB_ns::LocalDB_cl> OpenFile(const QString& path, const QString& password) {
        auto database = std::make_unique<DB_ns::LocalDB_cl>();
        if (!QFileInfo::exists(path)) database->CreateDatabaseFile(password, path);
        database->Open(password, path);
        return database;
    }

    static int32_t Integer(DB_ns::IDatabase_cl& database, const QString& sql) {
        int32_t value = 0;
        database.QueryCount(sql, value);
        return value;
    }

    static QString Text(DB_ns::IDatabase_cl& database, const QString& sql) {
        DB_ns::SimpleOutRecords_cl rows;
        if (database.Query(sql, rows) == 0) return QStringLiteral("<no row>");
        QString text;
        rows.GetString(text);
        return text;
    }

    TempAppFolder_cl app;
    TempSettings_cl settings;
    RecordingPrompt_cl prompt;
    Vorelle_ns::DataCore_cl core;
};
