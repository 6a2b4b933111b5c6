#include "db/Constants.h"
#include "db/DBEngine.Core.h"
#include "db/Utils.h"
#include "platform/DateTime.h"
#include "platform/Format.h"
#include "support/TempDatabase.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <functional>

// Every statement template of the program, completed the way the program
// completes it, runs on a fresh schema and yields the columns its callers read.

namespace {

QString Date(int y, int m, int d) { return MSAccessDate(EncodeDate(y, m, d)); }

// The period the fixture data lies in.
const TStrings &PeriodParams()
{
    static const TStrings params = [] {
        TStrings p;
        p.Add(QStringLiteral("bdate=") + Date(2011, 12, 1));
        p.Add(QStringLiteral("edate=") + Date(2011, 12, 31));
        p.Add(QStringLiteral("planned=1"));
        return p;
    }();
    return params;
}

QString Fill(const QString &sql, std::initializer_list<const char *> extra, bool period = true)
{
    TStrings params;
    if (period)
        params = PeriodParams();
    for (const char *pair : extra)
        params.Add(QString::fromUtf8(pair));
    return SetTextValues(sql, params);
}

struct StatementCase
{
    const char *Name;
    std::function<QString()> Build;
    // Columns of the result in order, compared without regard to case; empty
    // for a statement without a result or with one column of any name.
    std::vector<const char *> Columns;
    // Rows expected on the fixture data; -1 for a statement without a result.
    int Rows;
};

using Cols = std::vector<const char *>;

class StatementTest : public ::testing::TestWithParam<StatementCase>
{
protected:
    void SetUp() override
    {
        FSeparator = FormatSettings().DecimalSeparator;
        FormatSettings().DecimalSeparator = QLatin1Char('.');
        FDB = TDBConnection::Create();
        ASSERT_TRUE(FDB->Connect(FTemp.ConnectionString()));
        // One entry per list (ID 1), a second cash type, one operation of each
        // kind in December 2011 and a tag link on the expense.
        for (const auto &[table, name] : {std::pair{c_tbCashTypes, "Карта"}, {c_tbCashTypes, "Наличные"},
                                          {c_tbIncomeTypes, "Зарплата"}, {c_tbExpenseTypes, "Продукты"},
                                          {c_tbTags, "отпуск"}})
            FDB->ExecSQL(Format(c_sqlLibNewRecord, {table, QuotedProcess(QString::fromUtf8(name))}));
        FDB->ExecSQL(Format(c_sqlJrIncomesNewRecord, {1, 1, Date(2011, 12, 5), 1000.0, 0, QStringLiteral("аванс")}));
        FDB->ExecSQL(Format(c_sqlJrExpensesNewRecord, {1, 1, Date(2011, 12, 10), 250.5, 0, QStringLiteral("рынок")}));
        FDB->ExecSQL(Format(c_sqlTagsNewRecord, {1, 1}));
        FDB->ExecSQL(Format(c_sqlTagsUpdateRecord, {QStringLiteral("отпуск"), 1}));
        FDB->ExecSQL(Format(c_sqlJrTransfersNewRecord, {1, 2, Date(2011, 12, 15), 100.0, 0, QString()}));
    }
    void TearDown() override { FormatSettings().DecimalSeparator = FSeparator; }

    TTempDatabase FTemp;
    IDBConnectionPtr FDB;
    QChar FSeparator;
};

TEST_P(StatementTest, RunsAndYieldsItsColumns)
{
    const StatementCase &c = GetParam();
    const QString sql = c.Build();
    ASSERT_FALSE(sql.contains(QRegularExpression(QStringLiteral("#[A-Za-z_]+#")))) << qPrintable(sql);
    ASSERT_FALSE(sql.contains(QRegularExpression(QStringLiteral("%[sdf]")))) << qPrintable(sql);

    if (c.Rows < 0) {
        EXPECT_NO_THROW(FDB->ExecSQL(sql)) << qPrintable(sql);
        return;
    }
    IQueryPtr query = FDB->CreateQuery();
    try {
        query->Open(sql);
    } catch (const Exception &e) {
        FAIL() << qPrintable(e.Message()) << "\n" << qPrintable(sql);
    }
    TDataSet *data = query->GetData();
    QStringList actual, expected;
    for (int i = 0; i < data->FieldCount(); ++i)
        actual << data->Fields(i)->FieldName().toLower();
    for (const char *name : c.Columns)
        expected << QString::fromUtf8(name).toLower();
    if (expected.isEmpty())
        EXPECT_EQ(actual.size(), 1) << "one unnamed column";
    else
        EXPECT_EQ(actual.join(QLatin1Char(',')).toStdString(), expected.join(QLatin1Char(',')).toStdString());
    EXPECT_EQ(data->RecordCount(), c.Rows);
}

const StatementCase kCases[] = {
    {"GetNewIdentity", [] { return c_sqlGetNewIdentity; }, {}, 1},
    {"DeleteRecordByID", [] { return Format(c_sqlDeleteRecordByID, {c_tbJrIncomes, 999}); }, {}, -1},
    {"LibNewRecord", [] { return Format(c_sqlLibNewRecord, {c_tbTags, QuotedProcess(QStringLiteral("море \"Чёрное\""))}); }, {}, -1},
    {"LibUpdateRecord", [] { return Format(c_sqlLibUpdateRecord, {c_tbCashTypes, QuotedProcess(QStringLiteral("Карта \"Мир\"")), 1}); }, {}, -1},
    {"LibGetRecords", [] { return Format(c_sqlLibGetRecords, {c_tbCashTypes}); }, Cols{"ID", "Name"}, 2},
    {"LibGetRecordID", [] { return Format(c_sqlLibGetRecordID, {c_tbCashTypes, QuotedProcess(QStringLiteral("КАРТА"))}); }, Cols{"id"}, 1},
    {"JrIncomesGetRecords", [] { return Fill(c_sqlJrIncomesGetRecords, {}); },
     Cols{"ID", "OperationDate", "TypeID", "TypeName", "CashTypeID", "CashTypeName", "Description", "SumValue", "Planned"}, 1},
    {"JrExpensesGetRecords", [] { return Fill(c_sqlJrExpensesGetRecords, {}); },
     Cols{"ID", "OperationDate", "TypeID", "TypeName", "CashTypeID", "CashTypeName", "Description", "SumValue", "Planned", "Tags"}, 1},
    {"JrTransfersGetRecords", [] { return Fill(c_sqlJrTransfersGetRecords, {}); },
     Cols{"ID", "OperationDate", "SrcCashTypeID", "SrcCashTypeName", "DstCashTypeID", "DstCashTypeName", "Description", "SumValue", "Planned"}, 1},
    {"JrIncomesNewRecord", [] { return Format(c_sqlJrIncomesNewRecord, {1, 1, Date(2012, 1, 5), 12.5, 1, QuotedProcess(QStringLiteral("\"премия\""))}); }, {}, -1},
    {"JrExpensesNewRecord", [] { return Format(c_sqlJrExpensesNewRecord, {1, 2, Date(2011, 12, 31), -3.456, 0, QStringLiteral("50% 'скидка' #1")}); }, {}, -1},
    {"JrTransfersNewRecord", [] { return Format(c_sqlJrTransfersNewRecord, {2, 1, Date(2012, 2, 29), 0.0, 0, QString()}); }, {}, -1},
    {"JrIncomesUpdateRecord", [] { return Format(c_sqlJrIncomesUpdateRecord, {1, 2, Date(2011, 12, 6), 1100.0, 0, QStringLiteral("x"), 1}); }, {}, -1},
    {"JrExpensesUpdateRecord", [] { return Format(c_sqlJrExpensesUpdateRecord, {1, 1, Date(2011, 12, 11), 99.99, 1, QStringLiteral("y"), 1}); }, {}, -1},
    {"JrTransfersUpdateRecord", [] { return Format(c_sqlJrTransfersUpdateRecord, {2, 1, Date(2011, 12, 16), 5.0, 0, QStringLiteral("z"), 1}); }, {}, -1},
    {"TagsGetRecords", [] { return Format(c_sqlTagsGetRecords, {1}); }, Cols{"ID", "Name"}, 1},
    {"TagsDeleteRecords", [] { return Format(c_sqlTagsDeleteRecords, {1}); }, {}, -1},
    {"TagsNewRecord", [] { return Format(c_sqlTagsNewRecord, {1, 1}); }, {}, -1},
    {"TagsUpdateRecord", [] { return Format(c_sqlTagsUpdateRecord, {QuotedProcess(QStringLiteral("\"отпуск море\",дача")), 1}); }, {}, -1},
    {"RepMainReportSomeCashTypes", [] { return Fill(c_sqlRepMainReport, {"idset_condition=ct.id in (1,2)"}); },
     Cols{"Name", "ct_id", "startrem", "debet", "credit", "transferdebet", "transfercredit", "endrem"}, 2},
    {"RepMainReportAllCashTypes", [] { return Fill(c_sqlRepMainReport, {"idset_condition=ct.id > 0"}); },
     Cols{"Name", "ct_id", "startrem", "debet", "credit", "transferdebet", "transfercredit", "endrem"}, 2},
    {"RepIncomesReport", [] { return Fill(c_sqlRepIncomesReport, {}); }, Cols{"id", "Name", "fsv", "psv", "sv"}, 1},
    {"RepExpensesReport", [] { return Fill(c_sqlRepExpensesReport, {}); }, Cols{"id", "Name", "fsv", "psv", "sv"}, 1},
    {"RepExpensesByTagsReport", [] { return Fill(c_sqlRepExpensesByTagsReport, {}); }, Cols{"id", "Name", "fsv", "psv", "sv"}, 1},
    {"RepExpensesCompare", [] { return Fill(c_sqlRepExpensesCompare, {"type_id=1", "planned=0"}, false); }, Cols{"y", "m", "sv"}, 1},
    {"RepExpensesDayStat", [] { return Fill(c_sqlRepExpensesDayStat, {"cdate=#12/10/2011#"}); }, Cols{"sv"}, 3},
    {"RepCashTypeRemainders", [] { return Fill(c_sqlRepCashTypeRemainders, {"CashTypeID=1"}); }, Cols{"OperationDate", "SumValue"}, 4},
    {"RepExpensesByType", [] { return Fill(c_sqlRepExpensesByType, {"type_id=1", "cdate=#12/10/2011#"}); }, Cols{"sv"}, 3},
    {"RepExpensesByTag", [] { return Fill(c_sqlRepExpensesByTag, {"id=1"}); }, Cols{"ID", "Name", "sv"}, 1},
};

INSTANTIATE_TEST_SUITE_P(Statements, StatementTest, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.Name); });

} // namespace
