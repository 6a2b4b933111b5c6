#include "db/Schema.h"

#include "platform/Exception.h"
#include "platform/SqlEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace
{

// A day 'YYYY-MM-DD', optionally with ' HH:MM:SS'; text, so text order is date order.
#define DATE_CHECK(col)                                                                                      \
    "CHECK (typeof(" col ") = 'text' AND (" col " GLOB '[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9]' OR " col \
    " GLOB '[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]'))"

#define LIST_TABLE(name, extra)                                                         \
    "CREATE TABLE " name " (\n"                                                         \
    "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"                                         \
    "  Name TEXT NOT NULL COLLATE NAMECASE" extra "\n"                                  \
    ");\n"

// Journals restrict deleting a list entry in use; the covering indexes serve the
// journal lists and reports (date range with the planned filter) and the charts
// and relation checks (link column first).
const char kSchema[] =
    LIST_TABLE("IncomeTypes", "")
    LIST_TABLE("ExpenseTypes", "")
    LIST_TABLE("CashTypes", "")
    LIST_TABLE("Tags", " CHECK (length(Name) > 0)")
    "CREATE TABLE Incomes (\n"
    "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
    "  OperationDate DATE NOT NULL " DATE_CHECK("OperationDate") ",\n"
    "  TypeID INTEGER NOT NULL REFERENCES IncomeTypes(ID) ON DELETE RESTRICT,\n"
    "  CashTypeID INTEGER NOT NULL REFERENCES CashTypes(ID) ON DELETE RESTRICT,\n"
    "  SumValue REAL NOT NULL DEFAULT 0,\n"
    "  Planned INTEGER NOT NULL DEFAULT 0 CHECK (Planned IN (0, 1)),\n"
    "  Description TEXT NOT NULL DEFAULT ''\n"
    ");\n"
    "CREATE TABLE Expenses (\n"
    "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
    "  OperationDate DATE NOT NULL " DATE_CHECK("OperationDate") ",\n"
    "  TypeID INTEGER NOT NULL REFERENCES ExpenseTypes(ID) ON DELETE RESTRICT,\n"
    "  CashTypeID INTEGER NOT NULL REFERENCES CashTypes(ID) ON DELETE RESTRICT,\n"
    "  SumValue REAL NOT NULL DEFAULT 0,\n"
    "  Planned INTEGER NOT NULL DEFAULT 0 CHECK (Planned IN (0, 1)),\n"
    "  Description TEXT NOT NULL DEFAULT '',\n"
    "  Tags TEXT NOT NULL DEFAULT ''\n"
    ");\n"
    "CREATE TABLE Transfers (\n"
    "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
    "  OperationDate DATE NOT NULL " DATE_CHECK("OperationDate") ",\n"
    "  SrcCashTypeID INTEGER NOT NULL REFERENCES CashTypes(ID) ON DELETE RESTRICT,\n"
    "  DstCashTypeID INTEGER NOT NULL REFERENCES CashTypes(ID) ON DELETE RESTRICT,\n"
    "  SumValue REAL NOT NULL DEFAULT 0,\n"
    "  Planned INTEGER NOT NULL DEFAULT 0 CHECK (Planned IN (0, 1)),\n"
    "  Description TEXT NOT NULL DEFAULT ''\n"
    ");\n"
    "CREATE TABLE ExpensesTags (\n"
    "  OwnerID INTEGER NOT NULL REFERENCES Expenses(ID) ON DELETE CASCADE,\n"
    "  TagID INTEGER NOT NULL REFERENCES Tags(ID) ON DELETE RESTRICT\n"
    ");\n"
    "CREATE INDEX IX_Incomes_Date ON Incomes(OperationDate, Planned, CashTypeID, TypeID, SumValue);\n"
    "CREATE INDEX IX_Incomes_Type ON Incomes(TypeID, OperationDate, Planned, SumValue);\n"
    "CREATE INDEX IX_Incomes_CashType ON Incomes(CashTypeID, OperationDate, Planned, SumValue);\n"
    "CREATE INDEX IX_Expenses_Date ON Expenses(OperationDate, Planned, CashTypeID, TypeID, SumValue);\n"
    "CREATE INDEX IX_Expenses_Type ON Expenses(TypeID, OperationDate, Planned, SumValue);\n"
    "CREATE INDEX IX_Expenses_CashType ON Expenses(CashTypeID, OperationDate, Planned, SumValue);\n"
    "CREATE INDEX IX_Transfers_Date ON Transfers(OperationDate, Planned, SrcCashTypeID, DstCashTypeID, SumValue);\n"
    "CREATE INDEX IX_Transfers_Src ON Transfers(SrcCashTypeID, OperationDate, Planned, SumValue);\n"
    "CREATE INDEX IX_Transfers_Dst ON Transfers(DstCashTypeID, OperationDate, Planned, SumValue);\n"
    "CREATE INDEX IX_ExpensesTags_Owner ON ExpensesTags(OwnerID, TagID);\n"
    "CREATE INDEX IX_ExpensesTags_Tag ON ExpensesTags(TagID, OwnerID);\n"
    "PRAGMA user_version = 1;\n";

#undef LIST_TABLE
#undef DATE_CHECK

void Exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString text = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        throw EDatabaseError(text);
    }
}

void RemoveDatabaseFiles(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    QFile::remove(path + QStringLiteral("-journal"));
}

} // namespace

void CreateSchema(sqlite3 *db)
{
    Exec(db, "BEGIN IMMEDIATE");
    try {
        Exec(db, kSchema);
        Exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void CreateSchema(TSqlConnection &connection)
{
    if (!connection.Connected())
        throw EDatabaseError(QStringLiteral("Нет соединения с базой данных"));
    CreateSchema(connection.Handle());
}

void CreateDatabaseFile(const QString &path)
{
    if (path.isEmpty())
        throw Exception(QStringLiteral("Не указан файл базы данных"));
    if (QFileInfo::exists(path))
        throw Exception(QStringLiteral("Файл %1 уже существует; он не перезаписывается.").arg(path));
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw Exception(QStringLiteral("Не удалось создать папку %1").arg(folder));

    // NewOnly creates the file exclusively, so a file that appears meanwhile is not taken over.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (file.exists())
            throw Exception(QStringLiteral("Файл %1 уже существует; он не перезаписывается.").arg(path));
        throw Exception(QStringLiteral("Не удалось создать файл %1: %2").arg(path, file.errorString()));
    }
    file.close();

    sqlite3 *db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw EDatabaseError(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
        TSqlConnection::RegisterFunctions(db);
        Exec(db, "PRAGMA journal_mode = WAL");
        Exec(db, "PRAGMA foreign_keys = ON");
        CreateSchema(db);
        // Leaves a single self-contained file behind: the log is folded in on close.
        rc = sqlite3_close(db);
        db = nullptr;
        if (rc != SQLITE_OK)
            throw EDatabaseError(QString::fromUtf8(sqlite3_errstr(rc)));
    } catch (const Exception &e) {
        if (db)
            sqlite3_close(db);
        RemoveDatabaseFiles(path);
        throw Exception(QStringLiteral("Не удалось создать базу данных %1: %2").arg(path, e.Message()));
    }
}
