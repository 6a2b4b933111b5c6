#include "db/Classes.TallysetManager.h"

#include "db/Utils.h"
#include "platform/Exception.h"

#include <QStringList>

TTallysetManager::TTallysetManager(IDBConnectionPtr db)
    : TQueriesManager(std::move(db))
{
}

std::shared_ptr<TTallysetManager> TTallysetManager::Create(IDBConnectionPtr db)
{
    return std::make_shared<TTallysetManager>(std::move(db));
}

void TTallysetManager::SetBDate(double value)
{
    SetParam(QStringLiteral("bdate"), MSAccessDate(value));
}

void TTallysetManager::SetEDate(double value)
{
    SetParam(QStringLiteral("edate"), MSAccessDate(value));
}

void TTallysetManager::SetPlannedInclude(bool value)
{
    SetParam(QStringLiteral("planned"), value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TTallysetManager::SetIDSet(const QString &value)
{
    if (value.isEmpty()) {
        SetParam(QStringLiteral("idset_condition"), QStringLiteral("ct.id > 0"));
        return;
    }
    // The list goes into the SQL text as it stands: only numbers may pass.
    const QStringList items = value.split(QLatin1Char(','));
    for (const QString &item : items) {
        bool ok = false;
        item.trimmed().toInt(&ok);
        if (!ok)
            throw Exception(QStringLiteral("Неверный список видов средств: \"%1\"").arg(value));
    }
    SetParam(QStringLiteral("idset_condition"), QStringLiteral("ct.id in (") + value + QLatin1Char(')'));
}

int TTallysetManager::GetRCount()
{
    return int(weak_from_this().use_count());
}
