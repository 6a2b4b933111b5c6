#pragma once

#include "db/DBEngine.Interfaces.h"
#include "platform/Strings.h"

#include <vector>

class IParametricQuery;
using IParametricQueryPtr = std::shared_ptr<IParametricQuery>;

// A query with a #name# template and its current parameter values.
class IParametricQuery
{
public:
    virtual ~IParametricQuery() = default;
    virtual IQueryPtr GetQuery() = 0;
    virtual void SetSQL(const QString &value) = 0;
    virtual void SetParam(const QString &name, const QString &value) = 0;
    virtual void Refresh() = 0;
    virtual void SmartFilter(const QString &fieldName, bool active) = 0;
};

// A registry of parametric queries that broadcasts parameter values.
class IQueriesManager
{
public:
    virtual ~IQueriesManager() = default;
    virtual IParametricQueryPtr AddQuery() = 0;
    virtual void SetParam(const QString &name, const QString &value) = 0;
    virtual void Refresh() = 0;
    virtual IParametricQueryPtr GetQuery(int index) = 0;
};

using IQueriesManagerPtr = std::shared_ptr<IQueriesManager>;

// A query with a template and name=value parameters. A parameter change
// reopens an open query and keeps it on the record it showed.
class TParametricQuery : public IParametricQuery
{
public:
    explicit TParametricQuery(IQueryPtr query);
    explicit TParametricQuery(const IDBConnectionPtr &db);
    static IParametricQueryPtr Create(IQueryPtr query);
    static IParametricQueryPtr Create(const IDBConnectionPtr &db);

    IQueryPtr GetQuery() override { return FQuery; }
    // Stores the template; opens nothing.
    void SetSQL(const QString &value) override { FSQL = value; }
    // An empty value is stored as the one character with code 0. An unchanged
    // value reopens nothing; a changed one reopens an open query (engine errors
    // propagate, the new value stays stored and the query stays closed).
    void SetParam(const QString &name, const QString &value) override;
    // Substitutes the current values into the template and opens the result.
    void Refresh() override;
    // Filters an open query to the rows whose `fieldName` equals the current
    // row's text value; `active` false shows all rows again.
    void SmartFilter(const QString &fieldName, bool active) override;

    QString SQL() const { return FSQL; }
    // The stored value of `name` as held (code-0 text for an empty value), or
    // the empty text when the name was never set.
    QString Param(const QString &name) const;
    // The text the next Refresh opens.
    QString CompletedSQL() const;

private:
    IQueryPtr FQuery;
    QString FSQL;
    TStrings FParams;
};

// A registry of parametric queries on one connection. It does not keep its
// queries alive: a query released by its holder is skipped by broadcasts and
// reads as empty from GetQuery.
class TQueriesManager : public virtual IQueriesManager
{
public:
    explicit TQueriesManager(IDBConnectionPtr db);

    IParametricQueryPtr AddQuery() override;
    // Sets the value on every registered query in registration order; an engine
    // error stops the broadcast at the failing query.
    void SetParam(const QString &name, const QString &value) override;
    void Refresh() override;
    // The query registered at `index` (from 0); empty when out of range or released.
    IParametricQueryPtr GetQuery(int index) override;
    int QueryCount() const { return int(FList.size()); }

protected:
    std::vector<std::weak_ptr<IParametricQuery>> FList;
    IDBConnectionPtr FDB;
};
