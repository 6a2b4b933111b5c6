#pragma once

#include "platform/DataSet.h"
#include "platform/Strings.h"

#include <QString>
#include <memory>

class IQuery;
class TSqlConnection;
using IQueryPtr = std::shared_ptr<IQuery>;

// The one database connection of a run.
class IDBConnection
{
public:
    virtual ~IDBConnection() = default;
    // Closes when open, then opens with the connection string; raises the
    // engine's error when it cannot be opened.
    virtual bool Connect(const QString &connectionString) = 0;
    // A new, closed query bound to this connection.
    virtual IQueryPtr CreateQuery() = 0;
    // Runs one statement that returns no rows.
    virtual void ExecSQL(const QString &sql) = 0;
    // Identity of the last insert made on this connection ("select @@identity").
    virtual int GetLastIdentity() = 0;
    virtual bool IsActive() = 0;
    // The engine under the connection, for transaction guards.
    virtual TSqlConnection &Engine() = 0;
};
using IDBConnectionPtr = std::shared_ptr<IDBConnection>;

// One result set whose current row survives reopening through its "ID" column.
class IQuery
{
public:
    virtual ~IQuery() = default;
    virtual TDataSet *GetData() = 0;
    TDataSet *Data() { return GetData(); }
    virtual void Open(const QString &sql) = 0;
    virtual bool Active() = 0;
    virtual bool IsEmpty() = 0;
    virtual void LocateByID(int id) = 0;
    virtual void ToStrings(const QString &idFieldName, const QString &nameFieldName, TStrings &dst) = 0;
    virtual void Sort(const QString &sortStr) = 0;
    virtual void Filter(const QString &filterStr) = 0;
    virtual void SavePosition() = 0;
    virtual void RestorePosition() = 0;
};
