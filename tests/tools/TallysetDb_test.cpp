#include "DemoData.h"

#include "db/Classes.Backups.h"

#include "platform/SqlEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

struct TRun
{
    int ExitCode;
    QString Out;
    QString Err;
};

TRun RunTool(const QStringList &args, const QString &dataHome = QString())
{
    QProcess p;
    if (!dataHome.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", dataHome);
        p.setProcessEnvironment(env);
    }
    p.start(QStringLiteral(TALLYSET_BINARY_DIR "/tallyset-db"), args);
    EXPECT_TRUE(p.waitForFinished(120000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QString ConnectionString(const QString &path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Persist Security Info=False").arg(path);
}

qlonglong Scalar(TSqlConnection &db, const QString &sql)
{
    const auto rows = db.Select(sql);
    return rows->Rows.at(0).at(0).toLongLong();
}

} // namespace

TEST(TallysetDbTool, CreatesAndRefusesToOverwrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a/b/tallyset.mdb");
    TRun first = RunTool({"create", path});
    ASSERT_EQ(first.ExitCode, 0) << first.Err.toStdString();
    ASSERT_TRUE(QFile::exists(path));

    TSqlConnection db;
    db.Open(ConnectionString(path));
    EXPECT_EQ(Scalar(db, "select count(*) from Expenses"), 0);
    db.Execute("insert into CashTypes(Name) values(\"Наличные\")");
    db.Close();

    TRun second = RunTool({"create", path});
    EXPECT_EQ(second.ExitCode, 1);
    EXPECT_TRUE(second.Err.contains(path)) << second.Err.toStdString();
    db.Open(ConnectionString(path));
    EXPECT_EQ(Scalar(db, "select count(*) from CashTypes"), 1) << "the existing file was touched";
}

// A path that is taken in any form is refused and left exactly as it was: a dangling
// link passes the existence check and is caught only by the exclusive creation, just
// as a file that appears meanwhile would be.
TEST(TallysetDbTool, RefusesATakenPathAndRemovesNothing)
{
    QTemporaryDir dir;
    const QString missingTarget = dir.filePath("moved/tallyset.mdb");
    const QString dangling = dir.filePath("dangling.mdb");
    ASSERT_TRUE(QFile::link(missingTarget, dangling));
    const QString existing = dir.filePath("notes.txt");
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("не база данных");
    }
    const QString linked = dir.filePath("linked.mdb");
    ASSERT_TRUE(QFile::link(existing, linked));

    for (const QString &path : {dangling, linked, existing}) {
        for (const QStringList &extra : {QStringList{}, QStringList{"--demo"}}) {
            SCOPED_TRACE((path + " " + extra.join(' ')).toStdString());
            TRun run = RunTool(QStringList{"create", path} + extra);
            EXPECT_EQ(run.ExitCode, 1);
            EXPECT_TRUE(run.Err.contains(path)) << run.Err.toStdString();
            EXPECT_TRUE(run.Out.isEmpty()) << run.Out.toStdString();
        }
    }
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(QFileInfo(dangling).symLinkTarget(), missingTarget);
    EXPECT_FALSE(QFileInfo::exists(missingTarget));
    EXPECT_TRUE(QFileInfo(linked).isSymLink());
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), QStringLiteral("не база данных"));
}

// A demo fill that fails (here the file-size limit stands in for a full disk) removes
// the file this run created, with its side files.
TEST(TallysetDbTool, AFailedFillRemovesTheFileItCreated)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("demo.mdb");
    QProcess p;
    p.start(QStringLiteral("bash"), {QStringLiteral("-c"), QStringLiteral("trap '' XFSZ; ulimit -f 150; exec \"$0\" \"$@\""),
                                     QStringLiteral(TALLYSET_BINARY_DIR "/tallyset-db"), QStringLiteral("create"), path,
                                     QStringLiteral("--demo")});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).startsWith(QStringLiteral("Ошибка: ")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), QStringList());
}

TEST(TallysetDbTool, DefaultPathIsTheProgramDatabase)
{
    QTemporaryDir home;
    TRun run = RunTool({"create"}, home.path());
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(QFile::exists(home.filePath("Orvanta/Tallyset/db/tallyset.mdb")));
}

TEST(TallysetDbTool, BadArgumentsShowUsage)
{
    for (const QStringList &args : {QStringList{}, QStringList{"drop"}, QStringList{"create", "--fast"},
                                    QStringList{"create", "a.mdb", "b.mdb"}, QStringList{"check", "a.mdb", "b.mdb"},
                                    QStringList{"check", "a.mdb", "--demo"}, QStringList{"backup", "a", "b", "c"},
                                    QStringList{"restore"}, QStringList{"restore", "a", "b", "c"}}) {
        TRun run = RunTool(args);
        EXPECT_EQ(run.ExitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.Err.contains("tallyset-db create"));
    }
}

TEST(TallysetDbTool, DemoFillsAYearWithPlannedOperationsAhead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("demo.mdb");
    TRun run = RunTool({"create", path, "--demo"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();

    TSqlConnection db;
    db.Open(ConnectionString(path));
    EXPECT_GE(Scalar(db, "select count(*) from CashTypes"), 3);
    EXPECT_GE(Scalar(db, "select count(*) from IncomeTypes"), 3);
    EXPECT_GE(Scalar(db, "select count(*) from ExpenseTypes"), 8);
    EXPECT_GE(Scalar(db, "select count(*) from Expenses"), 500);
    EXPECT_GE(Scalar(db, "select count(*) from Incomes"), 50);
    EXPECT_GE(Scalar(db, "select count(*) from Transfers"), 20);
    EXPECT_GE(Scalar(db, "select count(*) from ExpensesTags"), 200);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    EXPECT_GE(Scalar(db, "select count(*) from Expenses where Planned = 1 and OperationDate > '" + today + "'"), 5);
    EXPECT_EQ(Scalar(db, "select count(*) from Expenses where Planned = 1 and OperationDate <= '" + today + "'"), 0);
    // The current month has actual operations, so a first start shows something.
    const QString monthStart = QDate(QDate::currentDate().year(), QDate::currentDate().month(), 1).toString(Qt::ISODate);
    EXPECT_GE(Scalar(db, "select count(*) from Expenses where Planned = 0 and OperationDate >= '" + monthStart + "'"), 1);
    // Every tag text names exactly the linked tags.
    EXPECT_EQ(Scalar(db, "select count(*) from Expenses e where (select count(*) from ExpensesTags et where et.OwnerID = e.ID)"
                         " <> (case when e.Tags = '' then 0 else length(e.Tags) - length(replace(e.Tags, ',', '')) + 1 end)"),
              0);
}

TEST(TallysetDbTool, HelpAndVersion)
{
    TRun help = RunTool({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    for (const char *command : {"create", "check", "backup", "restore"})
        EXPECT_TRUE(help.Out.contains(QStringLiteral("tallyset-db %1").arg(command))) << help.Out.toStdString();
    TRun version = RunTool({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out.trimmed(), QStringLiteral("tallyset-db " TALLYSET_VERSION));
}

// One household through the commands: check, a copy in the backups folder and
// one under a name of the user's, a change, a restore of the copy.
TEST(TallysetDbTool, CheckBackupAndRestore)
{
    QTemporaryDir home;
    const QString db = home.filePath("Orvanta/Tallyset/db/tallyset.mdb");
    ASSERT_EQ(RunTool({"create", "--demo"}, home.path()).ExitCode, 0);

    TRun check = RunTool({"check"}, home.path());
    EXPECT_EQ(check.ExitCode, 0) << check.Out.toStdString() << check.Err.toStdString();
    EXPECT_TRUE(check.Out.contains("в порядке")) << check.Out.toStdString();

    TRun backup = RunTool({"backup"}, home.path());
    ASSERT_EQ(backup.ExitCode, 0) << backup.Err.toStdString();
    const QVector<TBackupInfo> copies = ListBackups(BackupsFolder(db));
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(backup.Out.contains(copies[0].Path)) << backup.Out.toStdString();

    const QString mine = home.filePath("mine.mdb");
    ASSERT_EQ(RunTool({"backup", db, mine}).ExitCode, 0);
    TRun again = RunTool({"backup", db, mine});
    EXPECT_EQ(again.ExitCode, 1);
    EXPECT_TRUE(again.Err.contains("не перезаписывается")) << again.Err.toStdString();

    qlonglong expenses = 0;
    {
        TSqlConnection c;
        c.Open(ConnectionString(db));
        expenses = Scalar(c, "select count(*) from Expenses");
        c.Execute("delete from ExpensesTags");
        c.Execute("delete from Expenses");
    }
    TRun restore = RunTool({"restore", mine}, home.path());
    ASSERT_EQ(restore.ExitCode, 0) << restore.Err.toStdString();
    TSqlConnection c;
    c.Open(ConnectionString(db));
    EXPECT_EQ(Scalar(c, "select count(*) from Expenses"), expenses);
    EXPECT_EQ(ListBackups(BackupsFolder(db)).size(), 2) << "the emptied file was kept";
}

TEST(TallysetDbTool, CheckListsProblemsAndRestoreRefusesANewerFile)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("tallyset.mdb");
    ASSERT_EQ(RunTool({"create", db}).ExitCode, 0);
    const QString newer = dir.filePath("newer.mdb");
    ASSERT_EQ(RunTool({"backup", db, newer}).ExitCode, 0);
    {
        TSqlConnection c;
        c.Open(ConnectionString(newer));
        c.Execute("pragma user_version = 7");
        c.Execute("pragma foreign_keys = off");
        c.Execute("insert into Expenses(OperationDate, TypeID, CashTypeID, SumValue) values(#1/2/2024#, 5, 6, 1)");
    }
    TRun check = RunTool({"check", newer});
    EXPECT_EQ(check.ExitCode, 1);
    EXPECT_TRUE(check.Out.contains("версия базы 7")) << check.Out.toStdString();
    EXPECT_TRUE(check.Out.contains("ExpenseTypes")) << check.Out.toStdString();
    EXPECT_TRUE(check.Out.contains("CashTypes")) << check.Out.toStdString();

    QFile file(db);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    TRun restore = RunTool({"restore", newer, db});
    EXPECT_EQ(restore.ExitCode, 1);
    EXPECT_TRUE(restore.Err.contains("более новой версией")) << restore.Err.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);

    TRun missing = RunTool({"check", dir.filePath("none.mdb")});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_TRUE(missing.Err.contains("не найден")) << missing.Err.toStdString();
}
