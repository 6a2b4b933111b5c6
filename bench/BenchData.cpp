#include "BenchData.h"

#include "DemoData.h"

#include "db/Schema.h"
#include "platform/SqlEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace BenchData
{

QString DataFolder()
{
    QString dir = qEnvironmentVariable("TALLYSET_BENCH_DATA");
    if (dir.isEmpty())
        dir = QDir::currentPath() + QStringLiteral("/bench-data");
    QDir().mkpath(dir);
    return dir;
}

QString ConnectionString(const QString &path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Persist Security Info=False").arg(path);
}

QString DatabaseFor(int operations)
{
    const QString path = DataFolder() + QStringLiteral("/ops-%1.mdb").arg(operations);
    if (QFileInfo::exists(path))
        return path;
    const QString tmp = path + QStringLiteral(".tmp");
    QFile::remove(tmp);
    CreateDatabaseFile(tmp);
    {
        TSqlConnection db;
        db.Open(ConnectionString(tmp));
        DemoData::TGeneratorOptions o;
        o.Operations = operations;
        o.FirstDay = QDate(2016, 1, 1);
        o.LastDay = QDate(2025, 12, 31);
        o.CashTypes = 8;
        o.IncomeTypes = 8;
        o.ExpenseTypes = 25;
        o.Tags = 60;
        DemoData::FillLists(db, o);
        DemoData::FillOperations(db, o);
        db.Execute(QStringLiteral("analyze"));
    }
    QFile::rename(tmp, path);
    return path;
}

} // namespace BenchData
