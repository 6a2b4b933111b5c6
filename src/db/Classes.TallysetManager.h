#pragma once

#include "db/DBEngine.ManagedQueries.h"

// The period manager: typed setters for the four period parameters.
class ITallysetManager : public virtual IQueriesManager
{
public:
    virtual void SetBDate(double value) = 0;
    virtual void SetEDate(double value) = 0;
    virtual void SetPlannedInclude(bool value) = 0;
    virtual void SetIDSet(const QString &value) = 0;
    virtual int GetRCount() = 0;
};
using ITallysetManagerPtr = std::shared_ptr<ITallysetManager>;

// TTallysetManager: declared below.
