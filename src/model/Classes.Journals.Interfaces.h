#pragma once

#include "db/Constants.h"
#include "db/DBEngine.ManagedQueries.h"
#include "model/Classes.Libs.Interfaces.h"
#include "platform/DateTime.h"

// One reference of a journal record to a list entry; the name is cut at 255.
struct TLink
{
    int ID = -1;
    QString Name;
    static TLink Create(int id, const QString &name) { return TLink{id, name.left(255)}; }
};

// One operation in memory. Link1 and Link2 carry their meaning per journal kind.
struct TJournalRecord
{
    int ID = -1;
    TDateTime Date = 0;
    bool Planned = false;
    QString Description;
    QString Tags;
    double Sum = 0;
    TLink Link1;
    TLink Link2;

    static TJournalRecord Create(TDateTime date)
    {
        TJournalRecord r;
        r.Date = date;
        return r;
    }

    TLink &IncomeCashType() { return Link1; }
    TLink &IncomeType() { return Link2; }
    TLink &ExpenseCashType() { return Link1; }
    TLink &ExpenseType() { return Link2; }
    TLink &SrcCashType() { return Link1; }
    TLink &DstCashType() { return Link2; }
};

class ITagsManager
{
public:
    virtual ~ITagsManager() = default;
    virtual void GetTagsByType(int typeID, TStrings &dst) = 0;
    virtual void SaveTags(const QString &tags, int ownerID) = 0;
};
using ITagsManagerPtr = std::shared_ptr<ITagsManager>;

// The base of every period-dependent list: journals and reports.
class ITallysetCustomJournal
{
public:
    virtual ~ITallysetCustomJournal() = default;
    virtual IParametricQueryPtr GetQuery() = 0;
    IParametricQueryPtr Query() { return GetQuery(); }
    virtual void Refresh() = 0;
    virtual void SetBDate(double value) = 0;
    virtual void SetEDate(double value) = 0;
    virtual void SetIncludePlanned(bool value) = 0;
};
using ITallysetCustomJournalPtr = std::shared_ptr<ITallysetCustomJournal>;

class ITallysetJournal : public virtual ITallysetCustomJournal
{
public:
    virtual TJournalRecord AddRecord(const TJournalRecord &rec) = 0;
    virtual void UpdateRecord(const TJournalRecord &rec) = 0;
    virtual void DeleteRecord(int id) = 0;
    virtual void DeleteCurrentRecord() = 0;
    virtual TJournalRecord GetCurrentRecord() = 0;
    TJournalRecord CurrentRecord() { return GetCurrentRecord(); }
    virtual ITagsManagerPtr GetTagsManager() = 0;
    virtual TJournalKind GetKind() = 0;
    virtual void SetLib(ITallysetLibPtr lib1, ITallysetLibPtr lib2) = 0;
    // index 0 or 1
    virtual ITallysetLibPtr GetLib(int index) = 0;
    ITallysetLibPtr Lib(int index) { return GetLib(index); }
};
using ITallysetJournalPtr = std::shared_ptr<ITallysetJournal>;
