#pragma once

#include "db/DBEngine.Interfaces.h"

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

// TParametricQuery, TQueriesManager: declared below.
