#include "support/TempDatabase.h"

#include "db/Constants.h"
#include "db/Schema.h"
#include "platform/DateTime.h"
#include "platform/Exception.h"
#include "platform/SqlEngine.h"

#include <QFile>
#include <sqlite3.h>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace
{

// A Jet text literal, as the program writes one.
QString Quoted(const QString &text)
{
    QString t = text;
    return QLatin1Char('"') + t.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QVariant Scalar(TSqlConnection &c, const QString &sql)
{
    auto rows = c.Select(sql);
    if (rows->Rows.isEmpty() || rows->Rows.first().isEmpty())
        return QVariant();
    return rows->Rows.first().first();
}

QStringList Column(TSqlConnection &c, const QString &sql)
{
    QStringList values;
    const auto rows = c.Select(sql);
    for (const auto &row : rows->Rows)
        values << row.value(0).toString();
    return values;
}

QString EngineError(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EDatabaseError &e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

class SqlEngineTest : public ::testing::Test
{
protected:
    TTempDatabase FDb;
    TSqlConnection &C = FDb.Connection();
};

TEST(SqlConnection, MissingFileIsReportedAndNotCreated)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("db/absent.mdb");
    TSqlConnection c;
    const QString message = EngineError([&] { c.Open(TTempDatabase::ConnectionStringFor(path)); });
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(c.Connected());
}

TEST(SqlConnection, FileThatIsNoDatabaseIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("text.mdb");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    TSqlConnection c;
    const QString message = EngineError([&] { c.Open(TTempDatabase::ConnectionStringFor(path)); });
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    EXPECT_FALSE(c.Connected());
}

TEST(SqlConnection, DataSourceIsReadFromTheConnectionString)
{
    EXPECT_EQ(ConnectionStringDataSource("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/a b/c.mdb;Persist Security Info=False"),
              QStringLiteral("/a b/c.mdb"));
    EXPECT_EQ(ConnectionStringDataSource("provider=x; data SOURCE = /дом/база.mdb "), QStringLiteral("/дом/база.mdb"));
    EXPECT_EQ(ConnectionStringDataSource("Provider=x;Persist Security Info=False"), QString());
    TSqlConnection c;
    EXPECT_NE(EngineError([&] { c.Open("Provider=x"); }), QStringLiteral("<no error>"));
}

TEST(Schema, CreateDatabaseFileRefusesAnExistingFile)
{
    TTempDatabase db;
    db.Connection().Execute(R"(insert into CashTypes(Name) values("Карта"))");
    db.Connection().Close();
    try {
        CreateDatabaseFile(db.Path());
        ADD_FAILURE() << "an existing file was accepted";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().contains(db.Path())) << e.Message().toStdString();
    }
    EXPECT_EQ(Scalar(db.Connection(), "select count(*) from CashTypes").toInt(), 1);
}

TEST_F(SqlEngineTest, DoubleQuotedTextsAreValuesNeverColumns)
{
    C.Execute(R"(insert into CashTypes(Name) values("Name"))");
    C.Execute(R"(insert into CashTypes(Name) values("Кошелёк ""синий"", 5 'шт' #1"))");
    EXPECT_EQ(Scalar(C, R"(select count(*) from CashTypes where Name = "Name")").toInt(), 1);
    EXPECT_EQ(Scalar(C, "select Name from CashTypes where ID = 2").toString(), QStringLiteral("Кошелёк \"синий\", 5 'шт' #1"));
    // SQLite's own fallback of unknown double-quoted identifiers to texts is off.
    sqlite3_stmt *stmt = nullptr;
    EXPECT_NE(sqlite3_prepare_v2(C.Handle(), "select \"nosuchcolumn\" from CashTypes", -1, &stmt, nullptr), SQLITE_OK);
    sqlite3_finalize(stmt);
}

TEST_F(SqlEngineTest, NamesSortAndCompareWithoutCaseInEveryAlphabet)
{
    for (const char *name : {"б", "А", "а", "Б", "b", "A"})
        C.Execute(QStringLiteral("insert into CashTypes(Name) values(%1)").arg(Quoted(QString::fromUtf8(name))));
    EXPECT_EQ(Column(C, "select Name from CashTypes order by Name"),
              (QStringList{"A", "b", "А", "а", "Б", "б"}));
    // Ties are broken by the exact text, so "=" stays exact and like ignores case.
    EXPECT_EQ(Scalar(C, R"(select count(*) from CashTypes where Name = "б")").toInt(), 1);
    EXPECT_EQ(Scalar(C, R"(select count(*) from CashTypes where Name like "б")").toInt(), 2);
    EXPECT_EQ(Column(C, "select Name from CashTypes order by Name desc").first(), QStringLiteral("б"));
}

struct TLikeCase
{
    const char *Text;
    const char *Pattern;
    bool Matches;
};

class LikeTest : public SqlEngineTest, public ::testing::WithParamInterface<TLikeCase>
{
};

TEST_P(LikeTest, MatchesWithoutCaseAndWithJetPatterns)
{
    const TLikeCase &c = GetParam();
    const QString text = Quoted(QString::fromUtf8(c.Text));
    const QString pattern = Quoted(QString::fromUtf8(c.Pattern));
    EXPECT_EQ(Scalar(C, QStringLiteral("select %1 like %2").arg(text, pattern)).toInt(), c.Matches ? 1 : 0)
        << c.Text << " like " << c.Pattern;
    EXPECT_EQ(Scalar(C, QStringLiteral("select like(%2, %1)").arg(text, pattern)).toInt(), c.Matches ? 1 : 0);
}

const TLikeCase kLikeCases[] = {
    {"Продукты", "продукты", true},
    {"ПРОДУКТЫ", "пРоДуКтЫ", true},
    {"Ёлка", "ёЛКА", true},
    {"Café", "CAFÉ", true},
    {"Продукты", "прод%", true},
    {"Продукты", "%укт%", true},
    {"Продукты", "%уктх%", false},
    {"Продукты", "_родукты", true},
    {"Продукты", "__одукты", true},
    {"Продукты", "_одукты", false},
    {"", "%", true},
    {"", "_", false},
    {"100%", "100[%]", true},
    {"1000", "100[%]", false},
    {"a_b", "a[_]b", true},
    {"axb", "a[_]b", false},
    {"[x]", "[[]x]", true},
    {"b", "[abc]", true},
    {"Б", "[а-я]", true},
    {"d", "[!abc]", true},
    {"a", "[!abc]", false},
    {"[ab", "[ab", true},
    {"aXbXc", "%x%x%", true},
    {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "%a%a%a%a%a%a%a%a%c", false},
    {"Line\nbreak", "line%BREAK", true},
};

INSTANTIATE_TEST_SUITE_P(Cases, LikeTest, ::testing::ValuesIn(kLikeCases));

TEST_F(SqlEngineTest, LikeFindsListEntriesAndHonoursEscape)
{
    C.Execute(R"(insert into ExpenseTypes(Name) values("Коммунальные услуги"))");
    EXPECT_EQ(Scalar(C, R"(select id from ExpenseTypes where Name like "КОММУНАЛЬНЫЕ УСЛУГИ")").toInt(), 1);
    EXPECT_EQ(Scalar(C, R"(select 'a%b' like 'a!%b' escape '!')").toInt(), 1);
    EXPECT_EQ(Scalar(C, R"(select 'axb' like 'a!%b' escape '!')").toInt(), 0);
    EXPECT_TRUE(Scalar(C, "select null like 'a'").isNull());
}

class SchemaDataTest : public SqlEngineTest
{
protected:
    void SetUp() override
    {
        C.Execute(R"(insert into CashTypes(Name) values("Кошелёк"))");   // 1
        C.Execute(R"(insert into CashTypes(Name) values("Карта"))");     // 2
        C.Execute(R"(insert into ExpenseTypes(Name) values("Еда"))");    // 1
        C.Execute(R"(insert into ExpenseTypes(Name) values("Транспорт"))"); // 2
        C.Execute(R"(insert into IncomeTypes(Name) values("Зарплата"))"); // 1
        C.Execute(R"(insert into Tags(Name) values("отпуск"))");         // 1
        C.Execute(R"(insert into Tags(Name) values("море"))");           // 2
    }
    int AddExpense(int type, int cash, const char *date, double sum, int planned = 0)
    {
        C.Execute(QStringLiteral(R"(insert into Expenses(TypeID, CashTypeID, OperationDate, SumValue, Planned, Description) values (%1, %2, %3, %4, %5, ""))")
                      .arg(type)
                      .arg(cash)
                      .arg(QLatin1String(date))
                      .arg(sum, 0, 'f', 2)
                      .arg(planned));
        return Scalar(C, "select @@identity").toInt();
    }
};

TEST_F(SchemaDataTest, IdentityIsTheLastInsertOfTheConnection)
{
    const int first = AddExpense(1, 1, "#12/1/2011#", 10);
    const int second = AddExpense(1, 1, "#12/1/2011#", 20);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(C.LastInsertId(), second);
    C.Execute("delete from Expenses where ID = " + QString::number(second));
    EXPECT_EQ(AddExpense(1, 1, "#12/1/2011#", 30), second + 1) << "identities are never reused";
}

TEST_F(SchemaDataTest, RelationsRestrictAndCascade)
{
    const int id = AddExpense(1, 2, "#12/1/2011#", 10);
    C.Execute(QStringLiteral("insert into ExpensesTags(OwnerID, TagID) values(%1, 1)").arg(id));
    C.Execute(QStringLiteral("insert into ExpensesTags(OwnerID, TagID) values(%1, 2)").arg(id));

    const QString fk = QStringLiteral("FOREIGN KEY constraint failed");
    EXPECT_EQ(EngineError([&] { C.Execute("delete from ExpenseTypes where ID = 1"); }), fk);
    EXPECT_EQ(EngineError([&] { C.Execute("delete from CashTypes where ID = 2"); }), fk);
    EXPECT_EQ(EngineError([&] { C.Execute("delete from Tags where ID = 1"); }), fk);
    EXPECT_EQ(EngineError([&] { AddExpense(9, 1, "#12/1/2011#", 1); }), fk);
    EXPECT_EQ(Scalar(C, "select count(*) from ExpenseTypes").toInt(), 2);

    C.Execute("delete from ExpenseTypes where ID = 2"); // not in use
    C.Execute(QStringLiteral("delete from Expenses where ID = %1").arg(id));
    EXPECT_EQ(Scalar(C, "select count(*) from ExpensesTags").toInt(), 0);
    C.Execute("delete from Tags where ID = 1");
}

TEST_F(SchemaDataTest, StoredValuesAreCheckedAndTyped)
{
    EXPECT_TRUE(EngineError([&] { AddExpense(1, 1, "'1.12.2011'", 1); }).contains("CHECK constraint failed"));
    EXPECT_TRUE(EngineError([&] { AddExpense(1, 1, "#12/1/2011#", 1, 2); }).contains("CHECK constraint failed"));
    EXPECT_TRUE(EngineError([&] { C.Execute(R"(insert into Tags(Name) values(""))"); }).contains("CHECK constraint failed"));

    AddExpense(1, 2, "#12/1/2011#", 12.5);
    AddExpense(1, 2, "#12/31/2011 10:30:00#", -3);
    auto rows = C.Select("select ID, OperationDate, SumValue, Planned, Description, Tags from Expenses order by ID");
    EXPECT_EQ(rows->ColumnNames, (QStringList{"ID", "OperationDate", "SumValue", "Planned", "Description", "Tags"}));
    EXPECT_EQ(rows->ColumnTypes, (QVector<TFieldType>{TFieldType::Integer, TFieldType::DateTime, TFieldType::Float,
                                                       TFieldType::Integer, TFieldType::String, TFieldType::String}));
    ASSERT_EQ(rows->Rows.size(), 2);
    EXPECT_EQ(rows->Rows[0][1].toDouble(), EncodeDate(2011, 12, 1));
    EXPECT_DOUBLE_EQ(rows->Rows[1][1].toDouble(), EncodeDate(2011, 12, 31) + 10.5 / 24);
    EXPECT_EQ(rows->Rows[0][2].toDouble(), 12.5);
    EXPECT_EQ(rows->Rows[1][2].toDouble(), -3.0);
    EXPECT_EQ(rows->Rows[0][3].typeId(), QMetaType::LongLong);
    EXPECT_EQ(rows->Rows[0][4].toString(), QString());
    EXPECT_FALSE(rows->Rows[0][4].isNull()) << "an empty text is not NULL";
    EXPECT_EQ(Scalar(C, R"(select count(*) from Expenses where OperationDate between #12/1/2011# and #12/31/2011#)").toInt(), 1)
        << "a moment on the last day lies after that day";
}

TEST_F(SqlEngineTest, ExpressionColumnsTakeTheirTypeFromTheirValues)
{
    auto rows = C.Select("select 1.5 * 2 as f, count(*) as n, #12/1/2011# as d, 'abc' as s, null as z, "
                         "1 as m from CashTypes union all select 2, 3, #1/2/2012#, 'x', null, 2.5");
    EXPECT_EQ(rows->ColumnTypes, (QVector<TFieldType>{TFieldType::Float, TFieldType::Integer, TFieldType::DateTime,
                                                       TFieldType::String, TFieldType::String, TFieldType::Float}));
    ASSERT_EQ(rows->Rows.size(), 2);
    EXPECT_EQ(rows->Rows[1][0].typeId(), QMetaType::Double) << "integers of a number column read as numbers";
    EXPECT_EQ(rows->Rows[0][2].toDouble(), EncodeDate(2011, 12, 1));
    EXPECT_EQ(rows->Rows[1][2].toDouble(), EncodeDate(2012, 1, 2));
    EXPECT_TRUE(rows->Rows[0][4].isNull());
    EXPECT_EQ(rows->Rows[0][5].toDouble(), 1.0);
}

TEST_F(SqlEngineTest, ErrorsCarryTheEngineText)
{
    EXPECT_TRUE(EngineError([&] { C.Select("select * from NoSuchTable"); }).contains("no such table: NoSuchTable"));
    EXPECT_TRUE(EngineError([&] { C.Execute("selec 1"); }).contains("syntax error"));
    EXPECT_NE(EngineError([&] { C.Execute(""); }), QStringLiteral("<no error>"));
    const QString second = EngineError([&] {
        C.Execute(R"(insert into CashTypes(Name) values("a"); delete from CashTypes)");
    });
    EXPECT_TRUE(second.contains("more than one statement")) << second.toStdString();
    EXPECT_EQ(Scalar(C, "select count(*) from CashTypes").toInt(), 0) << "nothing of a refused text ran";
    C.Execute(R"(insert into CashTypes(Name) values("a");)");
    EXPECT_EQ(Scalar(C, "select count(*) from CashTypes").toInt(), 1);
    TSqlConnection closed;
    EXPECT_NE(EngineError([&] { closed.Execute("select 1"); }), QStringLiteral("<no error>"));
}

TEST_F(SqlEngineTest, TransactionGuardRollsBackUnlessCommitted)
{
    try {
        TTransaction t(C);
        C.Execute(R"(insert into CashTypes(Name) values("a"))");
        C.Execute("insert into NoSuchTable values(1)");
        t.Commit();
    } catch (const EDatabaseError &) {
    }
    EXPECT_EQ(Scalar(C, "select count(*) from CashTypes").toInt(), 0);
    EXPECT_EQ(C.TransactionDepth(), 0);

    {
        TTransaction outer(C);
        C.Execute(R"(insert into CashTypes(Name) values("kept"))");
        {
            TTransaction inner(C);
            C.Execute(R"(insert into CashTypes(Name) values("dropped"))");
            EXPECT_EQ(C.TransactionDepth(), 2);
        }
        {
            TTransaction inner(C);
            C.Execute(R"(insert into CashTypes(Name) values("nested"))");
            inner.Commit();
        }
        outer.Commit();
    }
    EXPECT_EQ(Column(C, "select Name from CashTypes order by ID"), (QStringList{"kept", "nested"}));
    EXPECT_EQ(C.TransactionDepth(), 0);
    EXPECT_THROW(C.CommitTransaction(), EDatabaseError);
    EXPECT_THROW(C.RollbackTransaction(), EDatabaseError);
}

TEST_F(SqlEngineTest, SecondConnectionWaitsForTheWriterAndReadsMeanwhile)
{
    auto other = FDb.OpenConnection();
    C.Execute(R"(insert into CashTypes(Name) values("before"))");
    C.BeginTransaction();
    C.Execute(R"(insert into CashTypes(Name) values("pending"))");
    EXPECT_EQ(Scalar(*other, "select count(*) from CashTypes").toInt(), 1) << "a reader sees the committed state";

    std::atomic<bool> written{false};
    QString error;
    std::thread writer([&] {
        try {
            other->Execute(R"(insert into CashTypes(Name) values("other"))");
            written = true;
        } catch (const EDatabaseError &e) {
            error = e.Message();
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(written) << "the second writer went past the lock";
    C.CommitTransaction();
    writer.join();
    EXPECT_TRUE(written) << error.toStdString();
    EXPECT_EQ(Column(C, "select Name from CashTypes order by ID"), (QStringList{"before", "pending", "other"}));
}

// The statements that lean hardest on the translation, on a small ledger.
class ReportStatementsTest : public SchemaDataTest
{
protected:
    static QString Fill(QString sql, const QList<QPair<QString, QString>> &values)
    {
        for (const auto &v : values)
            sql.replace(QLatin1Char('#') + v.first + QLatin1Char('#'), v.second, Qt::CaseInsensitive);
        return sql;
    }
    void SetUp() override
    {
        SchemaDataTest::SetUp();
        C.Execute(R"(insert into Incomes(TypeID, CashTypeID, OperationDate, SumValue, Planned, Description) values (1, 1, #11/20/2011#, 1000.00, 0, ""))");
        AddExpense(1, 1, "#11/25/2011#", 100);
        AddExpense(1, 1, "#12/3/2011#", 30);
        AddExpense(2, 1, "#12/3/2011#", 20);
        AddExpense(1, 1, "#12/7/2011#", 50);
        AddExpense(1, 1, "#12/20/2011#", 70);
        AddExpense(1, 1, "#12/8/2011#", 500, 1);
        C.Execute(R"(insert into Transfers(SrcCashTypeID, DstCashTypeID, OperationDate, SumValue, Planned, Description) values (1, 2, #12/5/2011#, 200.00, 0, ""))");
    }
};

TEST_F(ReportStatementsTest, CashBalanceCurveKeepsTheOrderOfItsParts)
{
    const QString sql = Fill(c_sqlRepCashTypeRemainders,
                             {{"CashTypeID", "1"}, {"bdate", "#12/1/2011#"}, {"edate", "#12/10/2011#"}, {"planned", "0"}});
    auto rows = C.Select(sql);
    ASSERT_EQ(rows->Rows.size(), 4);
    EXPECT_EQ(rows->ColumnTypes.value(0), TFieldType::DateTime);
    const QVector<double> dates{EncodeDate(2011, 12, 1), EncodeDate(2011, 12, 3), EncodeDate(2011, 12, 5),
                                EncodeDate(2011, 12, 7)};
    const QVector<double> sums{900, -50, -200, -50};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows->Rows[i][0].toDouble(), dates[i]) << i;
        EXPECT_EQ(rows->Rows[i][1].toDouble(), sums[i]) << i;
    }
}

TEST_F(ReportStatementsTest, MonthlyAverageGroupsByDatePart)
{
    const QString sql = Fill(c_sqlRepExpensesByType, {{"type_id", "1"},
                                                      {"cdate", "#12/3/2011#"},
                                                      {"bdate", "#12/1/2011#"},
                                                      {"edate", "#12/31/2011#"},
                                                      {"planned", "0"}});
    const QStringList values = Column(C, sql);
    // Day, period (actual only), monthly average of all months (planned ones too).
    EXPECT_EQ(values, (QStringList{"30", "150", "375"}));
}

TEST_F(ReportStatementsTest, BalancesAndTagReportRun)
{
    const QList<QPair<QString, QString>> period{
        {"bdate", "#12/1/2011#"}, {"edate", "#12/31/2011#"}, {"planned", "0"}, {"idset_condition", "ct.id in (1,2)"}};
    auto balances = C.Select(Fill(c_sqlRepMainReport, period));
    ASSERT_EQ(balances->Rows.size(), 2);
    // Ordered by name: Карта (2) before Кошелёк (1).
    EXPECT_EQ(balances->Rows[0][0].toString(), QStringLiteral("Карта"));
    EXPECT_EQ(balances->Rows[0][7].toDouble(), 200.0);
    EXPECT_EQ(balances->Rows[1][2].toDouble(), 900.0);  // startrem
    EXPECT_EQ(balances->Rows[1][4].toDouble(), 170.0);  // credit
    EXPECT_EQ(balances->Rows[1][6].toDouble(), 200.0);  // transfercredit
    EXPECT_EQ(balances->Rows[1][7].toDouble(), 530.0);  // endrem

    C.Execute("insert into ExpensesTags(OwnerID, TagID) values(2, 1)");
    C.Execute("insert into ExpensesTags(OwnerID, TagID) values(3, 2)");
    auto tags = C.Select(Fill(c_sqlRepExpensesByTagsReport, period));
    QStringList sv;
    for (const auto &row : tags->Rows)
        sv << row[4].toString();
    EXPECT_EQ(sv, (QStringList{"20", "30", "120"})) << "ordered by the fifth column";
}

} // namespace
