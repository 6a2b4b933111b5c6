#pragma once

#include "platform/SqlEngine.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A fresh database file with the program's schema in a temporary folder that
// is removed with the object. Use it in a fixture:
//
//     TTempDatabase db;                       // creates <tmp>/tallyset.mdb
//     TSqlConnection &c = db.Connection();    // opened on first use, kept open
//     c.Execute("insert into CashTypes(Name) values(\"Карта\")");
//     TDBConnection::Create()->Connect(db.ConnectionString());
//
// Construction raises (and the test fails) when the schema cannot be made.
class TTempDatabase
{
public:
    // `fileName` is the database's name inside the temporary folder.
    explicit TTempDatabase(const QString &fileName = QStringLiteral("tallyset.mdb"));
    ~TTempDatabase();
    TTempDatabase(const TTempDatabase &) = delete;
    TTempDatabase &operator=(const TTempDatabase &) = delete;

    // The temporary folder (no trailing "/"), e.g. for a second file or an INI.
    QString Folder() const { return FDir.path(); }
    // Full path of the database file.
    QString Path() const { return FPath; }
    // "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<path>;Persist Security Info=False"
    QString ConnectionString() const { return ConnectionStringFor(FPath); }
    static QString ConnectionStringFor(const QString &path);

    // A connection owned by the fixture, opened on first use and again after a Close.
    TSqlConnection &Connection();
    // A new, independent connection on the file (e.g. a second running program).
    std::unique_ptr<TSqlConnection> OpenConnection() const;

private:
    QTemporaryDir FDir;
    QString FPath;
    std::unique_ptr<TSqlConnection> FConnection;
};
