// tallyset-db create [PATH] [--demo]: makes a new database file with the schema.

#include "DemoData.h"

#include "db/Constants.h"
#include "db/Schema.h"
#include "platform/Format.h"
#include "platform/Exception.h"
#include "platform/Paths.h"
#include "platform/SqlEngine.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace
{

const char kUsage[] = "Использование: tallyset-db create [ПУТЬ] [--demo]\n"
                      "  ПУТЬ    файл базы данных (по умолчанию: база программы в папке данных пользователя)\n"
                      "  --demo  заполнить базу примером: год домашнего бюджета\n";

QString DefaultDatabasePath()
{
    return UserAppDataPath() + c_pathIniFile + c_DBFile;
}

int Fail(const QString &text, int code)
{
    QTextStream(stderr) << text << Qt::endl;
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() != QLatin1String("create"))
        return Fail(QString::fromUtf8(kUsage), 2);
    args.removeFirst();

    bool demo = false;
    QString path;
    for (const QString &a : args) {
        if (a == QLatin1String("--demo"))
            demo = true;
        else if (a.startsWith(QLatin1String("--")) || !path.isEmpty())
            return Fail(QString::fromUtf8(kUsage), 2);
        else
            path = a;
    }
    if (path.isEmpty())
        path = DefaultDatabasePath();
    if (QFileInfo::exists(path))
        return Fail(QStringLiteral("Файл %1 уже существует; он не перезаписывается.").arg(path), 1);

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return Fail(QStringLiteral("Не удалось создать папку %1").arg(folder), 1);

    try {
        CreateDatabaseFile(path);
        if (demo) {
            TSqlConnection db;
            db.Open(Format(c_dbConnectionString, {path}));
            DemoData::FillDemoYear(db, QDate::currentDate());
        }
    } catch (const Exception &e) {
        QFile::remove(path);
        return Fail(QStringLiteral("Ошибка: %1").arg(e.Message()), 1);
    }
    QTextStream(stdout) << QStringLiteral("Создана база данных %1%2").arg(path, demo ? QStringLiteral(" с примером данных") : QString()) << Qt::endl;
    return 0;
}
