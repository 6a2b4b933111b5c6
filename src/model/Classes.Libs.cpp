#include "model/Classes.Libs.h"

#include "db/Constants.h"
#include "db/Utils.h"
#include "platform/Exception.h"
#include "platform/Format.h"

namespace
{

// A statement refused because a row of another table still refers to the row.
bool IsReferenceViolation(const EDatabaseError &e)
{
    return e.Message().contains(QLatin1String("FOREIGN KEY constraint failed"), Qt::CaseInsensitive);
}

} // namespace

TCommonLib::TCommonLib(IDBConnectionPtr db) : FDB(std::move(db)), FQuery(FDB->CreateQuery()) {}

IQueryPtr TCommonLib::GetQuery()
{
    return FQuery;
}

void TCommonLib::Refresh()
{
    const int id = FQuery->Active() ? GetCurrentRecord().ID : -1;
    FQuery->Open(Format(c_sqlLibGetRecords, {FTableName}));
    if (id > 0)
        FQuery->LocateByID(id);
}

TLibRecord TCommonLib::GetCurrentRecord()
{
    if (!FQuery->Active() || FQuery->IsEmpty())
        return TLibRecord::Create(QString(), -1);
    TDataSet *data = FQuery->GetData();
    return TLibRecord::Create(data->FieldByName(c_fldName)->AsString(), data->FieldByName(c_fldID)->AsInteger());
}

void TCommonLib::AddLibRecord(TLibRecord &libRecord)
{
    libRecord.ID = GetRecordID(libRecord.Name);
    if (libRecord.ID < 1)
    {
        FDB->ExecSQL(Format(c_sqlLibNewRecord, {FTableName, QuotedProcess(libRecord.Name)}));
        libRecord.ID = FDB->GetLastIdentity();
        Refresh();
        NotifyRefresh();
    }
    else
    {
        ShowInfo(c_msgRecordAlreadyExists);
    }
    FQuery->LocateByID(libRecord.ID);
}

TLibRecord TCommonLib::ConfirmAdd(const QString &name)
{
    TLibRecord result = TLibRecord::Create(name, GetRecordID(name));
    if (result.ID > 0)
        return result;
    if (QuestionDlg(c_msgRecordAddedQuestion, {name}))
        AddLibRecord(result);
    return result;
}

void TCommonLib::EditLibRecord(const TLibRecord &libRecord)
{
    const int found = GetRecordID(libRecord.Name);
    if (found < 1 || found == libRecord.ID)
    {
        FDB->ExecSQL(Format(c_sqlLibUpdateRecord, {FTableName, QuotedProcess(libRecord.Name), libRecord.ID}));
        Refresh();
        NotifyRefresh();
    }
    else
    {
        ShowInfo(c_msgRecordAlreadyExists);
    }
}

void TCommonLib::DeleteRecord(int id)
{
    try
    {
        FDB->ExecSQL(Format(c_sqlDeleteRecordByID, {FTableName, id}));
    }
    catch (const EDatabaseError &e)
    {
        if (IsReferenceViolation(e))
            throw Exception(c_msgRecordInUse);
        throw;
    }
    Refresh();
    NotifyRefresh();
}

void TCommonLib::ToStrings(TStrings &dst)
{
    IQueryPtr q = FDB->CreateQuery();
    q->Open(Format(c_sqlLibGetRecords, {FTableName}));
    q->ToStrings(c_fldID, c_fldName, dst);
}

QString TCommonLib::GetLibAlias()
{
    return FTableName;
}

int TCommonLib::GetRecordID(const QString &name)
{
    IQueryPtr q = FDB->CreateQuery();
    q->Open(Format(c_sqlLibGetRecordID, {FTableName, QuotedProcess(EscapeLikePattern(name))}));
    if (q->IsEmpty())
        return -1;
    TDataSet *data = q->GetData();
    data->First();
    return data->FieldByName(c_fldID)->AsInteger();
}

void TCommonLib::SetLibRefreshHandler(TLibRefreshHadler handler)
{
    FLibRefreshHandler = std::move(handler);
}

QString TCommonLib::EscapeLikePattern(const QString &name)
{
    QString result;
    result.reserve(name.size());
    for (const QChar c : name)
    {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('['))
        {
            result += QLatin1Char('[');
            result += c;
            result += QLatin1Char(']');
        }
        else
        {
            result += c;
        }
    }
    return result;
}

void TCommonLib::NotifyRefresh()
{
    if (FLibRefreshHandler)
        FLibRefreshHandler(*this);
}

TIncomeTypesLib::TIncomeTypesLib(IDBConnectionPtr db) : TCommonLib(std::move(db))
{
    FTableName = c_tbIncomeTypes;
}

QString TIncomeTypesLib::GetLibName()
{
    return c_nameLibIncomeTypes;
}

TExpenseTypesLib::TExpenseTypesLib(IDBConnectionPtr db) : TCommonLib(std::move(db))
{
    FTableName = c_tbExpenseTypes;
}

QString TExpenseTypesLib::GetLibName()
{
    return c_nameLibExpenseTypes;
}

TCashTypesLib::TCashTypesLib(IDBConnectionPtr db) : TCommonLib(std::move(db))
{
    FTableName = c_tbCashTypes;
}

QString TCashTypesLib::GetLibName()
{
    return c_nameLibCashTypes;
}

TTagsLib::TTagsLib(IDBConnectionPtr db) : TCommonLib(std::move(db))
{
    FTableName = c_tbTags;
}

QString TTagsLib::GetLibName()
{
    return c_nameTags;
}
