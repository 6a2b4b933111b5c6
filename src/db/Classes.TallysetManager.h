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

// Broadcasts "bdate", "edate" (date literals), "planned" (0 or 1) and
// "idset_condition" to every registered query.
class TTallysetManager : public TQueriesManager,
                         public ITallysetManager,
                         public std::enable_shared_from_this<TTallysetManager>
{
public:
    explicit TTallysetManager(IDBConnectionPtr db);
    static std::shared_ptr<TTallysetManager> Create(IDBConnectionPtr db);

    void SetBDate(double value) override;
    void SetEDate(double value) override;
    void SetPlannedInclude(bool value) override;
    // `value`: cash-type identities separated by commas, or empty for every
    // cash type. Raises Exception for a text that is not such a list; nothing
    // is broadcast then.
    void SetIDSet(const QString &value) override;
    // The number of counted references to this manager.
    int GetRCount() override;
};
