#pragma once

#include <QString>

struct sqlite3;
class TSqlConnection;

// Name of the collation every list name is declared with, registered by
// TSqlConnection: names order without regard to case for every alphabet, ties
// broken by the exact text (so "=" under it still compares exact texts).
inline constexpr const char *c_NameCollation = "NAMECASE";

// Creates the program's eight tables with their keys, relations and indexes
// on an empty database. The handle must have TSqlConnection::RegisterFunctions
// applied (the name collation is needed by the DDL). Raises EDatabaseError
// with the engine's text; the schema is created in one transaction, so a
// failure leaves nothing behind.
void CreateSchema(sqlite3 *db);
void CreateSchema(TSqlConnection &connection);

// Makes a new SQLite database file at `path` holding the schema (the folder
// is created when missing). Never touches an existing file: raises Exception
// naming the file when it already exists. On failure no file is left behind.
void CreateDatabaseFile(const QString &path);

// The newest schema version this program knows, written in `PRAGMA user_version`.
inline constexpr int c_SchemaVersion = 1;
