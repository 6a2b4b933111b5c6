// The real program, started offscreen on a sandboxed data folder; it closes
// its main window itself (TALLYSET_AUTOCLOSE_MS) and must leave a whole
// settings file and an untouched database behind.
#include "platform/SqlEngine.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Starts the program offscreen on the data folder `dataHome`, closing itself
// after `autoCloseMs`; `extra` adds environment variables.
std::unique_ptr<QProcess> StartProgram(const QString &dataHome, const QString &runtime, int autoCloseMs,
                                       const QProcessEnvironment &extra = {})
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TALLYSET_AUTOCLOSE_MS"), QString::number(autoCloseMs));
    for (const QString &name : extra.keys())
        env.insert(name, extra.value(name));
    process->setProcessEnvironment(env);
    process->setProgram(QStringLiteral(TALLYSET_BINARY_DIR "/tallyset"));
    process->start();
    EXPECT_TRUE(process->waitForStarted(10000)) << process->errorString().toStdString();
    return process;
}

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

    std::unique_ptr<QProcess> Start(int autoCloseMs) { return StartProgram(Db.Folder(), Runtime.path(), autoCloseMs); }

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

// The dialogs the program showed, as its test answers write them to the standard
// error: "question (yes): ...", "message: ...".
QStringList Dialogs(const QString &stderrText)
{
    QStringList lines;
    for (const QString &line : stderrText.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("question")) || line.startsWith(QLatin1String("message")) ||
            line.startsWith(QLatin1String("input")))
            lines << line;
    return lines;
}

// What a database file holds: schema objects, schema version, rows of every table.
QStringList Contents(const QString &path)
{
    TSqlConnection c;
    c.Open(TTempDatabase::ConnectionStringFor(path));
    QStringList contents;
    const auto schema = c.Select(QStringLiteral("select type, name, tbl_name, sql from sqlite_master order by type, name"));
    for (const QVariantList &row : schema->Rows) {
        QStringList fields;
        for (const QVariant &v : row)
            fields << v.toString();
        contents << fields.join(QLatin1Char('|'));
        if (row.value(0).toString() == QLatin1String("table") && !row.value(1).toString().startsWith(QLatin1String("sqlite_")))
            contents << QStringLiteral("%1 rows: %2").arg(row.value(1).toString(),
                                                           c.Select(QStringLiteral("select count(*) from ") + row.value(1).toString())
                                                               ->Rows.value(0).value(0).toString());
    }
    contents << QStringLiteral("user_version %1").arg(c.Select(QStringLiteral("pragma user_version"))->Rows.value(0).value(0).toInt());
    return contents;
}

TEST(MainProgramFirstStart, WithoutADatabaseItAsksAndOnYesMakesTheToolsEmptyDatabaseAndStartsOnIt)
{
    QTemporaryDir home, runtime, reference;
    const QString path = home.path() + QStringLiteral("/Orvanta/Tallyset/db/tallyset.mdb");
    const QString question =
        QStringLiteral("Файл базы данных %1 не найден. Создать новую пустую базу данных?").arg(path);
    auto answered = [&](const char *answers) {
        QProcessEnvironment extra;
        extra.insert(QStringLiteral("TALLYSET_TEST_ANSWERS"), QLatin1String(answers));
        auto program = StartProgram(home.path(), runtime.path(), 800, extra);
        EXPECT_TRUE(program->waitForFinished(30000)) << "the program did not close itself";
        EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program->exitCode(), 0);
        return Dialogs(QString::fromUtf8(program->readAllStandardError()));
    };

    // No: the error of the missing file, once; nothing is made.
    const QStringList refused = answered("no");
    ASSERT_EQ(refused.size(), 2) << refused.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(refused[0], QStringLiteral("question (no): ") + question);
    EXPECT_TRUE(refused[1].startsWith(QLatin1String("message: ")));
    EXPECT_FALSE(QDir(QFileInfo(path).absolutePath()).exists());

    // Yes: the folder and the empty database, nothing else shown.
    EXPECT_EQ(answered("yes"), QStringList{QStringLiteral("question (yes): ") + question});
    ASSERT_TRUE(QFile::exists(path));

    // The same file as the tool makes.
    QProcess tool;
    const QString made = reference.filePath(QStringLiteral("tallyset.mdb"));
    tool.start(QStringLiteral(TALLYSET_BINARY_DIR "/tallyset-db"), {QStringLiteral("create"), made});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_EQ(Contents(path), Contents(made));
    EXPECT_TRUE(Contents(path).contains(QStringLiteral("Expenses rows: 0")));

    // The next start finds it and asks nothing.
    EXPECT_EQ(answered(""), QStringList());
    EXPECT_EQ(Contents(path), Contents(made));
}

} // namespace
