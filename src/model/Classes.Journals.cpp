#include "model/Classes.Journals.h"

#include "db/Constants.h"
#include "db/Utils.h"
#include "platform/Exception.h"
#include "platform/Format.h"
#include "platform/SqlEngine.h"

#include <QSet>

TCommonJournal::TCommonJournal(IDBConnectionPtr db, IParametricQueryPtr q)
    : TTallysetCustomJournal(std::move(db), std::move(q))
{
}

QVariantList TCommonJournal::SaveArgs(const TJournalRecord &rec) const
{
    const TLink &first = FSecondLinkFirst ? rec.Link2 : rec.Link1;
    const TLink &second = FSecondLinkFirst ? rec.Link1 : rec.Link2;
    return {first.ID, second.ID, MSAccessDate(rec.Date), rec.Sum, rec.Planned ? 1 : 0, QuotedProcess(rec.Description)};
}

void TCommonJournal::RefreshAndLocate(int id)
{
    FQuery->Refresh();
    FQuery->GetQuery()->LocateByID(id);
}

TJournalRecord TCommonJournal::AddRecord(const TJournalRecord &rec)
{
    // SQL amounts need "."; the process keeps it from here on.
    UseDotDecimalSeparator();
    TTransaction transaction(FDB->Engine());
    FDB->ExecSQL(Format(FNewRecordSQL, SaveArgs(rec)));
    TJournalRecord result = rec;
    result.ID = FDB->GetLastIdentity();
    SaveDetails(result, result.ID);
    RefreshAndLocate(result.ID);
    transaction.Commit();
    return result;
}

void TCommonJournal::UpdateRecord(const TJournalRecord &rec)
{
    UseDotDecimalSeparator();
    TTransaction transaction(FDB->Engine());
    QVariantList args = SaveArgs(rec);
    args << rec.ID;
    FDB->ExecSQL(Format(FUpdateRecordSQL, args));
    SaveDetails(rec, rec.ID);
    RefreshAndLocate(rec.ID);
    transaction.Commit();
}

void TCommonJournal::DeleteRecord(int id)
{
    TDataSet *data = FQuery->GetQuery()->GetData();
    const int recNo = data->Active() ? data->RecNo() : 0;
    FDB->ExecSQL(Format(c_sqlDeleteRecordByID, {FTableName, id}));
    FQuery->Refresh();
    if (!FQuery->GetQuery()->IsEmpty() && recNo > 0)
        data->SetRecNo(recNo);
}

void TCommonJournal::DeleteCurrentRecord()
{
    DeleteRecord(GetCurrentRecord().ID);
}

TJournalRecord TCommonJournal::GetCurrentRecord()
{
    IQueryPtr q = FQuery->GetQuery();
    if (!q->Active() || q->IsEmpty())
        return TJournalRecord::Create(Now());
    TDataSet *data = q->GetData();
    TJournalRecord rec;
    rec.ID = data->FieldByName(c_fldID)->AsInteger();
    rec.Date = data->FieldByName(c_fldOperationDate)->AsDateTime();
    rec.Planned = data->FieldByName(c_fldPlanned)->AsInteger() == 1;
    rec.Description = data->FieldByName(c_fldDescription)->AsString();
    rec.Sum = data->FieldByName(c_fldSumValue)->AsFloat();
    rec.Link1 = TLink::Create(data->FieldByName(FLink1IDField)->AsInteger(), data->FieldByName(FLink1NameField)->AsString());
    rec.Link2 = TLink::Create(data->FieldByName(FLink2IDField)->AsInteger(), data->FieldByName(FLink2NameField)->AsString());
    ReadDetails(data, rec);
    return rec;
}

ITagsManagerPtr TCommonJournal::GetTagsManager()
{
    return std::make_shared<TTagsManager>(FDB, this);
}

void TCommonJournal::SetLib(ITallysetLibPtr lib1, ITallysetLibPtr lib2)
{
    FLibs[0] = std::move(lib1);
    FLibs[1] = std::move(lib2);
}

ITallysetLibPtr TCommonJournal::GetLib(int index)
{
    if (index < 0 || index > 1)
        throw Exception(Format(QStringLiteral("List index out of bounds (%d)"), {index}));
    return FLibs[index];
}

void TCommonJournal::SaveDetails(const TJournalRecord &, int) {}

void TCommonJournal::ReadDetails(TDataSet *, TJournalRecord &) {}

TIncomesJournal::TIncomesJournal(IDBConnectionPtr db, IParametricQueryPtr q) : TCommonJournal(std::move(db), std::move(q))
{
    FTableName = c_tbJrIncomes;
    FNewRecordSQL = c_sqlJrIncomesNewRecord;
    FUpdateRecordSQL = c_sqlJrIncomesUpdateRecord;
    FSecondLinkFirst = true;
    FLink1IDField = c_fldCashTypeID;
    FLink1NameField = c_fldCashTypeName;
    FLink2IDField = c_fldTypeID;
    FLink2NameField = c_fldTypeName;
    FQuery->SetSQL(c_sqlJrIncomesGetRecords);
}

std::shared_ptr<TCommonJournal> TIncomesJournal::New(IDBConnectionPtr db, IParametricQueryPtr q)
{
    return std::make_shared<TIncomesJournal>(std::move(db), std::move(q));
}

TExpensesJournal::TExpensesJournal(IDBConnectionPtr db, IParametricQueryPtr q) : TCommonJournal(std::move(db), std::move(q))
{
    FTableName = c_tbJrExpenses;
    FNewRecordSQL = c_sqlJrExpensesNewRecord;
    FUpdateRecordSQL = c_sqlJrExpensesUpdateRecord;
    FSecondLinkFirst = true;
    FLink1IDField = c_fldCashTypeID;
    FLink1NameField = c_fldCashTypeName;
    FLink2IDField = c_fldTypeID;
    FLink2NameField = c_fldTypeName;
    FQuery->SetSQL(c_sqlJrExpensesGetRecords);
}

std::shared_ptr<TCommonJournal> TExpensesJournal::New(IDBConnectionPtr db, IParametricQueryPtr q)
{
    return std::make_shared<TExpensesJournal>(std::move(db), std::move(q));
}

void TExpensesJournal::SaveDetails(const TJournalRecord &rec, int id)
{
    // The save refreshes the journal itself once everything is written.
    TTagsManager(FDB, this).WriteTags(rec.Tags, id);
}

void TExpensesJournal::ReadDetails(TDataSet *data, TJournalRecord &rec)
{
    rec.Tags = data->FieldByName(c_fldTags)->AsString();
}

TTransfersJournal::TTransfersJournal(IDBConnectionPtr db, IParametricQueryPtr q)
    : TCommonJournal(std::move(db), std::move(q))
{
    FTableName = c_tbJrTransfers;
    FNewRecordSQL = c_sqlJrTransfersNewRecord;
    FUpdateRecordSQL = c_sqlJrTransfersUpdateRecord;
    FSecondLinkFirst = false;
    FLink1IDField = c_fldSrcCashTypeID;
    FLink1NameField = c_fldSrcCashTypeName;
    FLink2IDField = c_fldDstCashTypeID;
    FLink2NameField = c_fldDstCashTypeName;
    FQuery->SetSQL(c_sqlJrTransfersGetRecords);
}

std::shared_ptr<TCommonJournal> TTransfersJournal::New(IDBConnectionPtr db, IParametricQueryPtr q)
{
    return std::make_shared<TTransfersJournal>(std::move(db), std::move(q));
}

TTagsManager::TTagsManager(IDBConnectionPtr db, TCommonJournal *owner)
    : FJournal(owner), FDB(std::move(db)), FTags(std::make_shared<TTagsLib>(FDB))
{
    FTags->Refresh();
}

void TTagsManager::GetTagsByType(int typeID, TStrings &dst)
{
    IQueryPtr q = FDB->CreateQuery();
    q->Open(Format(c_sqlTagsGetRecords, {typeID}));
    q->ToStrings(c_fldID, c_fldName, dst);
}

void TTagsManager::SaveTags(const QString &tags, int ownerID)
{
    TTransaction transaction(FDB->Engine());
    WriteTags(tags, ownerID);
    IParametricQueryPtr journalQuery = FJournal->GetQuery();
    journalQuery->Refresh();
    journalQuery->GetQuery()->LocateByID(ownerID);
    transaction.Commit();
}

void TTagsManager::WriteTags(const QString &tags, int ownerID)
{
    TTransaction transaction(FDB->Engine());
    FDB->ExecSQL(Format(c_sqlTagsDeleteRecords, {ownerID}));
    QSet<QString> seenNames;
    QSet<int> linkedIDs;
    IStringIteratorPtr it = TStringIterator::New(tags);
    while (it->Next())
    {
        // Blanks around an item are not part of the tag's name.
        const QString name = it->Current().trimmed();
        // An empty item would be a tag that looks like "no tag" in every report.
        if (name.isEmpty())
            continue;
        // A tag named twice is linked once, or the by-tag report counts the expense twice.
        const QString folded = name.toCaseFolded();
        if (seenNames.contains(folded))
            continue;
        seenNames.insert(folded);
        TLibRecord tag = TLibRecord::Create(name, FTags->GetRecordID(name));
        if (tag.ID <= 0)
            FTags->AddLibRecord(tag);
        if (linkedIDs.contains(tag.ID))
            continue;
        linkedIDs.insert(tag.ID);
        FDB->ExecSQL(Format(c_sqlTagsNewRecord, {ownerID, tag.ID}));
    }
    FDB->ExecSQL(Format(c_sqlTagsUpdateRecord, {QuotedProcess(tags), ownerID}));
    transaction.Commit();
}
