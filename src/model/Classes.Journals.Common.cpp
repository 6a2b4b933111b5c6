#include "model/Classes.Journals.Common.h"

#include "db/DBEngine.ManagedQueries.h"
#include "db/Utils.h"

TTallysetCustomJournal::TTallysetCustomJournal(IDBConnectionPtr db, IParametricQueryPtr q)
    : FDB(std::move(db)), FQuery(q ? std::move(q) : TParametricQuery::Create(FDB))
{
}

IParametricQueryPtr TTallysetCustomJournal::GetQuery()
{
    return FQuery;
}

void TTallysetCustomJournal::Refresh()
{
    FQuery->Refresh();
}

void TTallysetCustomJournal::SetBDate(double value)
{
    FQuery->SetParam(QStringLiteral("bdate"), MSAccessDate(value));
}

void TTallysetCustomJournal::SetEDate(double value)
{
    FQuery->SetParam(QStringLiteral("edate"), MSAccessDate(value));
}

void TTallysetCustomJournal::SetIncludePlanned(bool value)
{
    FQuery->SetParam(QStringLiteral("planned"), value ? QStringLiteral("1") : QStringLiteral("0"));
}
