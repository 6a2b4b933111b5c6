#pragma once

#include "platform/DateTime.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

struct sqlite3;

enum class TFieldType { Unknown, Integer, Float, String, DateTime };

// A fully fetched result: column names and types, rows of values.
// Integer cells hold qlonglong, Float double, String QString, DateTime a
// TDateTime (double); NULL cells are invalid QVariants.
// A column's type comes from its declared type (DATE/DATETIME, INTEGER,
// REAL/NUMERIC, TEXT); a column of an expression takes it from its values:
// any real makes Float, else integers Integer, else texts that are all ISO
// days or moments DateTime (a date literal selected as a value), else String.
struct TRowSet
{
    QStringList ColumnNames;
    QVector<TFieldType> ColumnTypes;
    QVector<QVector<QVariant>> Rows;
};

// One SQLite connection that runs the program's Jet-dialect statements.
// Open parses the connection string, opens the file named by "Data Source"
// read-write and never creates it (a missing, read-only or foreign file raises
// EDatabaseError naming the file); switches double-quoted strings off, turns
// foreign keys on, registers the Unicode case-insensitive like() and the name
// collation, uses a write-ahead log and waits up to ten seconds for a lock
// another running program holds. Every error raises EDatabaseError with the
// engine's text. A connection is used from one thread at a time.
class TSqlConnection
{
public:
    TSqlConnection();
    ~TSqlConnection();
    TSqlConnection(const TSqlConnection &) = delete;
    TSqlConnection &operator=(const TSqlConnection &) = delete;

    void Open(const QString &connectionString);
    void Close();
    bool Connected() const { return FDb != nullptr; }

    // Runs one statement that returns no rows.
    void Execute(const QString &jetSql);
    // Runs one statement and fetches all of its rows.
    std::shared_ptr<TRowSet> Select(const QString &jetSql);
    qint64 LastInsertId() const;

    // Nested transactions: the outermost level is BEGIN IMMEDIATE (the write
    // lock is taken at once), inner levels are savepoints. Commit or Rollback
    // without an open level raises EDatabaseError; see TTransaction.
    void BeginTransaction();
    void CommitTransaction();
    void RollbackTransaction();
    int TransactionDepth() const { return FTransactionDepth; }

    // For the schema code, tests and benchmarks.
    sqlite3 *Handle() const { return FDb; }
    QString FileName() const { return FFileName; }

    // Registers the program's functions and collation on any SQLite handle
    // (used by Open and by tools that open a file with plain sqlite3).
    static void RegisterFunctions(sqlite3 *db);

private:
    sqlite3 *FDb = nullptr;
    QString FFileName;
    int FTransactionDepth = 0;
};

// Makes a save whole: begins a (nested) transaction; the destructor rolls it
// back unless Commit ran, so an exception never leaves half a save.
class TTransaction
{
public:
    explicit TTransaction(TSqlConnection &connection);
    ~TTransaction();
    TTransaction(const TTransaction &) = delete;
    TTransaction &operator=(const TTransaction &) = delete;
    void Commit();

private:
    TSqlConnection &FConnection;
    bool FDone = false;
};

// The value of "Data Source" in a connection string ("Key=Value;..." pairs,
// keys case-insensitive, the value taken as plain text up to the next ";").
QString ConnectionStringDataSource(const QString &connectionString);
