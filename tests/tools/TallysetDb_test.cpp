#include "DemoData.h"

#include "platform/SqlEngine.h"

#include <QFile>
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
                                    QStringList{"create", "a.mdb", "b.mdb"}}) {
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
