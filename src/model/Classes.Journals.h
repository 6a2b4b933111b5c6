#pragma once

#include "model/Classes.Journals.Common.h"
#include "model/Classes.Libs.h"

#include <memory>

class TCommonJournal;

// Creates a journal on `db`, adopting `q` (may be empty) as its query.
using TJournalClass = std::shared_ptr<TCommonJournal> (*)(IDBConnectionPtr db, IParametricQueryPtr q);

// A journal of one kind of operation for the working period.
// Saves are whole: an add or update runs with everything it writes (for an
// expense its tags) in one transaction, so an error leaves nothing of it.
class TCommonJournal : public TTallysetCustomJournal, public ITallysetJournal
{
public:
    TCommonJournal(IDBConnectionPtr db, IParametricQueryPtr q);

    // Stores rec as a new operation; returns rec with its new ID. The query is
    // refreshed and stands on the new record when it is within the result.
    TJournalRecord AddRecord(const TJournalRecord &rec) override;
    // Writes rec into the stored operation rec.ID, then refreshes onto it.
    void UpdateRecord(const TJournalRecord &rec) override;
    // Deletes the operation; the row that followed it becomes current.
    void DeleteRecord(int id) override;
    void DeleteCurrentRecord() override;
    // The operation at the current row, or a fresh record dated now.
    TJournalRecord GetCurrentRecord() override;
    // A new tags manager working on this journal; it must not outlive it.
    ITagsManagerPtr GetTagsManager() override;
    void SetLib(ITallysetLibPtr lib1, ITallysetLibPtr lib2) override;
    // Raises Exception for an index other than 0 and 1.
    ITallysetLibPtr GetLib(int index) override;

    QString TableName() const { return FTableName; }

protected:
    // Writes what belongs to a record beyond its own row; runs inside the save's
    // transaction, after the insert or update, with the record's identity.
    virtual void SaveDetails(const TJournalRecord &rec, int id);
    // Reads what belongs to the current row beyond the common columns.
    virtual void ReadDetails(TDataSet *data, TJournalRecord &rec);

    QString FTableName;
    ITallysetLibPtr FLibs[2];
    // Set by each journal: statements, whether the statements take the second
    // link first, and the columns of the two links in the list's result.
    QString FNewRecordSQL;
    QString FUpdateRecordSQL;
    bool FSecondLinkFirst = true;
    QString FLink1IDField, FLink1NameField, FLink2IDField, FLink2NameField;

private:
    QVariantList SaveArgs(const TJournalRecord &rec) const;
    void RefreshAndLocate(int id);
};

class TIncomesJournal : public TCommonJournal
{
public:
    TIncomesJournal(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
    static std::shared_ptr<TCommonJournal> New(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
    TJournalKind GetKind() override { return jkIncomes; }
};

class TExpensesJournal : public TCommonJournal
{
public:
    TExpensesJournal(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
    static std::shared_ptr<TCommonJournal> New(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
    TJournalKind GetKind() override { return jkExpenses; }

protected:
    void SaveDetails(const TJournalRecord &rec, int id) override;
    void ReadDetails(TDataSet *data, TJournalRecord &rec) override;
};

class TTransfersJournal : public TCommonJournal
{
public:
    TTransfersJournal(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
    static std::shared_ptr<TCommonJournal> New(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
    TJournalKind GetKind() override { return jkTransfers; }
};

// Keeps the tag links of expenses and lists the tags used by an expense type.
class TTagsManager : public ITagsManager
{
public:
    // `owner` is not counted: the manager is used only while its journal lives.
    TTagsManager(IDBConnectionPtr db, TCommonJournal *owner);

    // The tags used by expenses of the type, in name order, each once, with IDs.
    void GetTagsByType(int typeID, TStrings &dst) override;
    // Rebuilds the links of expense ownerID from the tag text, adding missing
    // tags, stores the text as given and refreshes the journal onto the expense.
    // Items are trimmed of blanks; empty items make no tag; a tag named twice
    // (in any letter case) is linked once. All or nothing: on an error nothing
    // of it stays written.
    void SaveTags(const QString &tags, int ownerID) override;
    // SaveTags without the journal's refresh, for a save that refreshes itself.
    void WriteTags(const QString &tags, int ownerID);

private:
    TCommonJournal *FJournal;
    IDBConnectionPtr FDB;
    ITallysetLibPtr FTags;
};
