#pragma once

#include "db/DBEngine.Interfaces.h"
#include "platform/SqlEngine.h"

#include <memory>

// The one database connection: the engine connection it owns and the queries
// it hands out. Queries keep a plain reference to the engine connection, so
// the connection object must outlive every query it created.
class TDBConnection : public IDBConnection
{
public:
    TDBConnection();
    ~TDBConnection() override;
    static IDBConnectionPtr Create();

    bool Connect(const QString &connectionString) override;
    IQueryPtr CreateQuery() override;
    void ExecSQL(const QString &sql) override;
    int GetLastIdentity() override;
    bool IsActive() override;
    TSqlConnection &Engine() override { return *FDB; }

private:
    std::unique_ptr<TSqlConnection> FDB;
};

// One fully fetched result set on a connection; keeps its position across
// reopening through the "ID" column.
class TDBQuery : public IQuery
{
public:
    explicit TDBQuery(TSqlConnection &connection);
    ~TDBQuery() override;

    TDataSet *GetData() override { return FQuery.get(); }
    // Closes, then runs `sql` and opens on its first row. On an engine error the
    // query stays closed and the error propagates.
    void Open(const QString &sql) override;
    bool Active() override;
    bool IsEmpty() override;
    void LocateByID(int id) override;
    void ToStrings(const QString &idFieldName, const QString &nameFieldName, TStrings &dst) override;
    // Raises EDatabaseError when the query is not open.
    void Sort(const QString &sortStr) override;
    void Filter(const QString &filterStr) override;
    void SavePosition() override;
    void RestorePosition() override;

    // Runs one statement without a result on the query's connection.
    void ExecSQL(const QString &sql);
    // The "ID" remembered by SavePosition: 0 for no row, -1 without an "ID" column.
    int KeyID() const { return FKeyID; }

private:
    std::unique_ptr<TDataSet> FQuery;
    TSqlConnection &FConnection;
    int FKeyID = 0;
};
