// The real program, started offscreen on a sandboxed data folder; it closes
// its main window itself (TALLYSET_AUTOCLOSE_MS) and must leave a whole
// settings file and an untouched database behind.
#include "platform/SqlEngine.h"
#include "support/TempDatabase.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class MainProgramTest : public ::testing::Test
{
protected:
    MainProgramTest() : Db(QStringLiteral("Orvanta/Tallyset/db/tallyset.mdb")) {}

    void SetUp() override
    {
        TSqlConnection &c = Db.Connection();
        c.Execute(QStringLiteral("insert into CashTypes(Name) values(\"Карта\")"));
        c.Execute(QStringLiteral("insert into ExpenseTypes(Name) values(\"Еда\")"));
        c.Execute(QStringLiteral("insert into Expenses(OperationDate, CashTypeID, TypeID, SumValue, Planned, "
                                 "Description) values(#5/3/2012#, 1, 1, 40, 0, \"хлеб\")"));
        Db.Connection().Close();
    }

    std::unique_ptr<QProcess> Start(int autoCloseMs)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), Db.Folder());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TALLYSET_AUTOCLOSE_MS"), QString::number(autoCloseMs));
        process->setProcessEnvironment(env);
        process->setProgram(QStringLiteral(TALLYSET_BINARY_DIR "/tallyset"));
        process->start();
        EXPECT_TRUE(process->waitForStarted(10000)) << process->errorString().toStdString();
        return process;
    }

    static void ExpectCleanExit(QProcess &process)
    {
        ASSERT_TRUE(process.waitForFinished(30000)) << "the program did not close itself";
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }

    QString Ini() const
    {
        QFile file(Db.Folder() + QStringLiteral("/Orvanta/Tallyset/tallyset.ini"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    TTempDatabase Db;
    QTemporaryDir Runtime;
};

TEST_F(MainProgramTest, ClosesItselfAndWritesTheSettings)
{
    auto program = Start(400);
    ExpectCleanExit(*program);
    const QString ini = Ini();
    for (const char *section : {"main_form", "FrameBar", "gridIncomes", "gridExpenses", "gridTransfers",
                                "gridReportMain", "gridReportIncomes", "gridReportExpenses", "main"})
        EXPECT_EQ(ini.count(QStringLiteral("[%1]\n").arg(QLatin1String(section))), 1) << section << "\n"
                                                                                      << ini.toStdString();
    for (const char *key : {"WindowState=0", "page_index=0", "planned=0", "Height=197", "Width=329", "col_5=80"})
        EXPECT_TRUE(ini.contains(QLatin1String(key))) << key;
    EXPECT_TRUE(ini.contains(QRegularExpression(QStringLiteral("\nbdate=\\S")))) << ini.toStdString();
}

TEST_F(MainProgramTest, ASecondCopyWhileOneRunsCorruptsNeither)
{
    auto first = Start(2500);
    auto second = Start(600);
    ExpectCleanExit(*second);
    ExpectCleanExit(*first);

    TSqlConnection &c = Db.Connection();
    EXPECT_EQ(c.Select(QStringLiteral("pragma integrity_check"))->Rows.value(0).value(0).toString(),
              QStringLiteral("ok"));
    EXPECT_EQ(c.Select(QStringLiteral("select count(*) from Expenses"))->Rows.value(0).value(0).toInt(), 1);
    const QString ini = Ini();
    EXPECT_EQ(ini.count(QLatin1String("[main]\n")), 1) << ini.toStdString();
    EXPECT_EQ(ini.count(QLatin1String("page_index=")), 1);
    EXPECT_EQ(ini.count(QLatin1String("[gridExpenses]\n")), 1);
}

} // namespace
