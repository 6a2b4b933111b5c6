#include "db/DBEngine.ManagedQueries.h"

#include "db/Utils.h"

namespace {
const QString &NulText()
{
    static const QString text(QChar(0));
    return text;
}
} // namespace

TParametricQuery::TParametricQuery(IQueryPtr query)
    : FQuery(std::move(query))
{
}

TParametricQuery::TParametricQuery(const IDBConnectionPtr &db)
    : FQuery(db->CreateQuery())
{
}

IParametricQueryPtr TParametricQuery::Create(IQueryPtr query)
{
    return std::make_shared<TParametricQuery>(std::move(query));
}

IParametricQueryPtr TParametricQuery::Create(const IDBConnectionPtr &db)
{
    return std::make_shared<TParametricQuery>(db);
}

QString TParametricQuery::Param(const QString &name) const
{
    const int index = FParams.IndexOfName(name);
    return index < 0 ? QString() : FParams.ValueFromIndex(index);
}

QString TParametricQuery::CompletedSQL() const
{
    return SetTextValues(FSQL, FParams);
}

void TParametricQuery::SetParam(const QString &name, const QString &value)
{
    const QString stored = value.isEmpty() ? NulText() : value;
    const int index = FParams.IndexOfName(name);
    if (index >= 0) {
        if (FParams.ValueFromIndex(index) == stored)
            return;
        FParams.SetStrings(index, FParams.Names(index) + QLatin1Char('=') + stored);
    } else {
        FParams.Add(name + QLatin1Char('=') + stored);
    }
    if (!FQuery->Active())
        return;
    FQuery->SavePosition();
    Refresh();
    FQuery->RestorePosition();
}

void TParametricQuery::Refresh()
{
    FQuery->Open(CompletedSQL());
}

void TParametricQuery::SmartFilter(const QString &fieldName, bool active)
{
    if (!FQuery->Active())
        return;
    QString expression;
    if (active) {
        QString value = FQuery->GetData()->FieldByName(fieldName)->AsString();
        value.replace(QLatin1Char('\''), QLatin1String("''"));
        expression = fieldName + QLatin1String(" = '") + value + QLatin1Char('\'');
    }
    FQuery->Filter(expression);
}

TQueriesManager::TQueriesManager(IDBConnectionPtr db)
    : FDB(std::move(db))
{
}

IParametricQueryPtr TQueriesManager::AddQuery()
{
    IParametricQueryPtr query = TParametricQuery::Create(FDB);
    FList.push_back(query);
    return query;
}

void TQueriesManager::SetParam(const QString &name, const QString &value)
{
    for (const std::weak_ptr<IParametricQuery> &entry : FList) {
        if (IParametricQueryPtr query = entry.lock())
            query->SetParam(name, value);
    }
}

void TQueriesManager::Refresh()
{
    for (const std::weak_ptr<IParametricQuery> &entry : FList) {
        if (IParametricQueryPtr query = entry.lock())
            query->Refresh();
    }
}

IParametricQueryPtr TQueriesManager::GetQuery(int index)
{
    if (index < 0 || index >= int(FList.size()))
        return nullptr;
    return FList[index].lock();
}
