#include "db/DBEngine.Core.h"

#include "db/Constants.h"
#include "platform/Exception.h"

TDBConnection::TDBConnection()
    : FDB(std::make_unique<TSqlConnection>())
{
}

TDBConnection::~TDBConnection() = default;

IDBConnectionPtr TDBConnection::Create()
{
    return std::make_shared<TDBConnection>();
}

bool TDBConnection::Connect(const QString &connectionString)
{
    if (FDB->Connected())
        FDB->Close();
    FDB->Open(connectionString);
    return FDB->Connected();
}

IQueryPtr TDBConnection::CreateQuery()
{
    return std::make_shared<TDBQuery>(*FDB);
}

void TDBConnection::ExecSQL(const QString &sql)
{
    TDBQuery query(*FDB);
    query.ExecSQL(sql);
}

int TDBConnection::GetLastIdentity()
{
    TDBQuery query(*FDB);
    query.Open(c_sqlGetNewIdentity);
    TDataSet *data = query.GetData();
    if (data->FieldCount() == 0 || data->IsEmpty())
        return 0;
    return data->Fields(0)->AsInteger();
}

bool TDBConnection::IsActive()
{
    return FDB->Connected();
}

TDBQuery::TDBQuery(TSqlConnection &connection)
    : FQuery(std::make_unique<TDataSet>()), FConnection(connection)
{
}

TDBQuery::~TDBQuery() = default;

void TDBQuery::Open(const QString &sql)
{
    FQuery->Close();
    std::shared_ptr<TRowSet> rows = FConnection.Select(sql);
    FQuery->Open(std::move(rows));
}

bool TDBQuery::Active()
{
    return FQuery->Active();
}

bool TDBQuery::IsEmpty()
{
    return FQuery->IsEmpty();
}

void TDBQuery::LocateByID(int id)
{
    if (!FQuery->Active())
        return;
    FQuery->Locate(c_fldID, id);
}

void TDBQuery::ToStrings(const QString &idFieldName, const QString &nameFieldName, TStrings &dst)
{
    FQuery->First();
    dst.Clear();
    TField *idField = FQuery->FieldByName(idFieldName);
    TField *nameField = FQuery->FieldByName(nameFieldName);
    while (!FQuery->Eof()) {
        dst.AddObject(nameField->AsString(), idField->AsInteger());
        FQuery->Next();
    }
}

void TDBQuery::Sort(const QString &sortStr)
{
    if (!FQuery->Active())
        throw EDatabaseError(QStringLiteral("Dataset not open"));
    SavePosition();
    FQuery->SetSort(sortStr);
    RestorePosition();
}

void TDBQuery::Filter(const QString &filterStr)
{
    if (filterStr.isEmpty() && FQuery->Filter().isEmpty())
        return;
    FQuery->SetFilter(filterStr);
}

void TDBQuery::SavePosition()
{
    TField *id = FQuery->Active() ? FQuery->FindField(c_fldID) : nullptr;
    if (!id)
        FKeyID = -1;
    else if (FQuery->IsEmpty())
        FKeyID = 0;
    else
        FKeyID = id->AsInteger();
}

void TDBQuery::RestorePosition()
{
    if (FKeyID > 0)
        LocateByID(FKeyID);
}

void TDBQuery::ExecSQL(const QString &sql)
{
    FConnection.Execute(sql);
}
