#pragma once

#include "settings/ICustom.h"
#include "settings/IRecentRecord.h"

#include <QString>

// The settings store: values remembered between runs, in a file storage per product
// (used before login) and a database storage per database and user (opened at login).
// Everything is written through at once, so nothing is lost when the program ends
// abruptly.
namespace Unique_ns {

// Opens the product's file storage; false when its file cannot be written (values
// written then last only for this run).
bool InitFileStorage(const QString& productName);
void CloseFileStorage();

// Opens the storage of the user on the database named by its identity (the resolved
// file path, or provider, address and login), replacing any one open.
void InitDatabaseStorage(const QString& database, const QString& userName, const QString& productName);
// Closes the database storage; only one is ever open.
void CloseDatabaseStorage(const QString& database);

// The values of an open storage; raise a system error while that storage is closed.
ICustom_cl& GetCustomFromFile();
IRecentRecord_cl& GetRecentRecordFromFile();
ICustom_cl& GetCustomFromDatabase();
IRecentRecord_cl& GetRecentRecordFromDatabase();

// The folder of the storage files: the user's configuration folder unless set here
// (tests use temporary folders). An empty folder returns to the default. Takes effect
// for storages opened afterwards.
void SetStorageFolder(const QString& folder);
QString GetStorageFolder();

}  // namespace Unique_ns
