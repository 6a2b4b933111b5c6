// tallyset-db: makes, checks, backs up and restores the program's database file.
// Exit codes: 0 done, 1 refused or failed (the reason on stderr), 2 bad arguments.

#include "DemoData.h"

#include "db/Classes.Backups.h"
#include "db/Constants.h"
#include "db/DBEngine.Backup.h"
#include "db/Schema.h"
#include "platform/Exception.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/SqlEngine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace
{

const char kUsage[] =
    "Использование:\n"
    "  tallyset-db create [БАЗА] [--demo]   создать базу данных; --demo заполняет её примером: год домашнего бюджета\n"
    "  tallyset-db check [БАЗА]             проверить целостность базы и связи между записями\n"
    "  tallyset-db backup [БАЗА] [ФАЙЛ]     сделать копию базы; без ФАЙЛА копия ложится в папку backups\n"
    "                                       рядом с базой, а старые копии там прореживаются\n"
    "  tallyset-db restore КОПИЯ [БАЗА]     проверить копию, сохранить текущую базу в папку backups\n"
    "                                       и восстановить базу из копии\n"
    "  tallyset-db --help | --version\n"
    "БАЗА по умолчанию: база программы в папке данных пользователя (%1).\n";

const int kDone = 0;
const int kFailed = 1;
const int kBadArguments = 2;

QString DefaultDatabasePath()
{
    return UserAppDataPath() + c_pathIniFile + c_DBFile;
}

QString Usage()
{
    return QString::fromUtf8(kUsage).arg(DefaultDatabasePath());
}

// The database file and the engine's side files next to it.
void RemoveCreatedFiles(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

int Fail(const QString &text, int code)
{
    QTextStream(stderr) << text << Qt::endl;
    return code;
}

int BadArguments(const QString &text)
{
    return Fail(text + QLatin1Char('\n') + Usage(), kBadArguments);
}

void Say(const QString &text)
{
    QTextStream(stdout) << text << Qt::endl;
}

int Create(QString path, bool demo)
{
    if (path.isEmpty())
        path = DefaultDatabasePath();
    if (QFileInfo::exists(path))
        return Fail(QStringLiteral("Файл %1 уже существует; он не перезаписывается.").arg(path), kFailed);

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return Fail(QStringLiteral("Не удалось создать папку %1").arg(folder), kFailed);

    // CreateDatabaseFile creates the file exclusively and removes it itself when it
    // fails, so a file is ours to remove only once it has returned.
    bool created = false;
    try {
        CreateDatabaseFile(path);
        created = true;
        if (demo) {
            TSqlConnection db;
            db.Open(Format(c_dbConnectionString, {path}));
            DemoData::FillDemoYear(db, QDate::currentDate());
        }
    } catch (const Exception &e) {
        if (created)
            RemoveCreatedFiles(path);
        return Fail(QStringLiteral("Ошибка: %1").arg(e.Message()), kFailed);
    }
    Say(QStringLiteral("Создана база данных %1%2").arg(path, demo ? QStringLiteral(" с примером данных") : QString()));
    return kDone;
}

int Check(const QString &path)
{
    if (!QFileInfo::exists(path))
        return Fail(QStringLiteral("Файл базы данных %1 не найден.").arg(path), kFailed);
    QStringList problems;
    try {
        for (const QString &table : MissingProgramTables(path))
            problems << QStringLiteral("нет таблицы %1").arg(table);
        const int version = DatabaseSchemaVersion(path);
        if (version > c_SchemaVersion)
            problems << QStringLiteral("версия базы %1 новее той, что знает программа (%2)").arg(version).arg(c_SchemaVersion);
        problems << DatabaseProblems(path);
    } catch (const EBackupError &e) {
        return Fail(e.Message(), kFailed);
    }
    if (problems.isEmpty()) {
        Say(QStringLiteral("База данных %1 в порядке: целостность и связи между записями проверены.").arg(path));
        return kDone;
    }
    QString text = QStringLiteral("В базе данных %1 найдены ошибки (%2):").arg(path).arg(problems.size());
    for (const QString &problem : problems)
        text += QStringLiteral("\n  %1").arg(problem);
    Say(text);
    return kFailed;
}

int Backup(const QString &path, const QString &file)
{
    try {
        if (!file.isEmpty()) {
            CopyDatabaseFile(path, file);
            Say(QStringLiteral("Копия базы данных %1 сохранена в %2.").arg(path, file));
            return kDone;
        }
        const QDateTime now = QDateTime::currentDateTime();
        const QString copy = MakeBackup(path, now);
        Say(QStringLiteral("Копия базы данных %1 сохранена в %2.").arg(path, copy));
        const TBackupCounts counts = ReadBackupCounts(UserAppDataPath().isEmpty()
                                                          ? QString()
                                                          : UserAppDataPath() + c_pathIniFile + c_fileIniFile);
        const QStringList removed = RotateBackups(BackupsFolder(path), now, counts);
        if (!removed.isEmpty())
            Say(QStringLiteral("Удалено старых копий: %1.").arg(removed.size()));
    } catch (const EBackupError &e) {
        return Fail(e.Message(), kFailed);
    }
    return kDone;
}

int Restore(const QString &backup, const QString &path)
{
    try {
        const QString safety = RestoreDatabase(backup, path, QDateTime::currentDateTime());
        Say(QStringLiteral("База данных %1 восстановлена из копии %2.").arg(path, backup));
        if (!safety.isEmpty())
            Say(QStringLiteral("Прежнее содержимое базы сохранено в %1.").arg(safety));
    } catch (const EBackupError &e) {
        return Fail(e.Message(), kFailed);
    }
    return kDone;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallyset-db"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TALLYSET_VERSION));

    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("показать справку"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("показать версию"));
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("заполнить новую базу примером"));
    parser.addOptions({help, version, demo});
    parser.addPositionalArgument(QStringLiteral("команда"), QStringLiteral("create, check, backup или restore"));

    if (!parser.parse(app.arguments())) {
        const QStringList unknown = parser.unknownOptionNames();
        return BadArguments(unknown.isEmpty() ? parser.errorText()
                                              : QStringLiteral("Неизвестный параметр: %1%2")
                                                    .arg(unknown.first().size() == 1 ? "-" : "--", unknown.first()));
    }
    if (parser.isSet(help)) {
        Say(Usage().trimmed());
        return kDone;
    }
    if (parser.isSet(version)) {
        Say(QStringLiteral("tallyset-db %1").arg(QCoreApplication::applicationVersion()));
        return kDone;
    }

    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return BadArguments(QStringLiteral("Не указана команда."));
    const QString command = args.takeFirst();
    if (parser.isSet(demo) && command != QLatin1String("create"))
        return BadArguments(QStringLiteral("Параметр --demo есть только у команды create."));
    const auto tooMany = [&](int most) { return args.size() > most; };

    if (command == QLatin1String("create")) {
        if (tooMany(1))
            return BadArguments(QStringLiteral("Команде create нужен не больше чем один файл."));
        return Create(args.value(0), parser.isSet(demo));
    }
    if (command == QLatin1String("check")) {
        if (tooMany(1))
            return BadArguments(QStringLiteral("Команде check нужен не больше чем один файл."));
        return Check(args.value(0, DefaultDatabasePath()));
    }
    if (command == QLatin1String("backup")) {
        if (tooMany(2))
            return BadArguments(QStringLiteral("Команде backup нужны не больше чем база и файл копии."));
        return Backup(args.value(0, DefaultDatabasePath()), args.value(1));
    }
    if (command == QLatin1String("restore")) {
        if (args.isEmpty())
            return BadArguments(QStringLiteral("Команде restore нужна копия, из которой восстанавливать."));
        if (tooMany(2))
            return BadArguments(QStringLiteral("Команде restore нужны не больше чем копия и база."));
        return Restore(args.value(0), args.value(1, DefaultDatabasePath()));
    }
    return BadArguments(QStringLiteral("Неизвестная команда: %1").arg(command));
}
