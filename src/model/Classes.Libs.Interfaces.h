#pragma once

#include "db/DBEngine.Interfaces.h"

#include <functional>

// Identity and name of a list entry; ID below 1 means no entry.
struct TLibRecord
{
    QString Name;
    int ID = -1;
    static TLibRecord Create(const QString &name, int id) { return TLibRecord{name, id}; }
};

class ITallysetLib;
using ITallysetLibPtr = std::shared_ptr<ITallysetLib>;
// Invoked with the list after each successful add, rename and delete.
using TLibRefreshHadler = std::function<void(ITallysetLib &)>;

class ITallysetLib
{
public:
    virtual ~ITallysetLib() = default;
    virtual IQueryPtr GetQuery() = 0;
    IQueryPtr Query() { return GetQuery(); }
    virtual void Refresh() = 0;
    virtual TLibRecord GetCurrentRecord() = 0;
    virtual void AddLibRecord(TLibRecord &libRecord) = 0;
    virtual TLibRecord ConfirmAdd(const QString &name) = 0;
    virtual void EditLibRecord(const TLibRecord &libRecord) = 0;
    virtual void DeleteRecord(int id) = 0;
    virtual void ToStrings(TStrings &dst) = 0;
    virtual QString GetLibName() = 0;
    virtual QString GetLibAlias() = 0;
    virtual int GetRecordID(const QString &name) = 0;
    virtual void SetLibRefreshHandler(TLibRefreshHadler handler) = 0;
};
