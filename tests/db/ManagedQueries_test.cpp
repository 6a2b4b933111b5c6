#include "db/Classes.TallysetManager.h"
#include "db/Constants.h"
#include "db/DBEngine.Core.h"
#include "db/DBEngine.ManagedQueries.h"
#include "db/Utils.h"
#include "platform/DateTime.h"
#include "platform/Exception.h"
#include "platform/Format.h"
#include "support/TempDatabase.h"

#include <gtest/gtest.h>

namespace {

// Two cash types ("Карта" 1, "O'Key" 2), one income type, and incomes 1..5
// on the 1st to the 5th of December 2011 (1, 3, 5 on "Карта", 2 and 4 on
// "O'Key"), plus a planned income 6 on the 6th.
class ManagedQueriesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FSeparator = FormatSettings().DecimalSeparator;
        FormatSettings().DecimalSeparator = QLatin1Char('.');
        FDB = TDBConnection::Create();
        ASSERT_TRUE(FDB->Connect(FTemp.ConnectionString()));
        FDB->ExecSQL(Format(c_sqlLibNewRecord, {c_tbCashTypes, QStringLiteral("Карта")}));
        FDB->ExecSQL(Format(c_sqlLibNewRecord, {c_tbCashTypes, QStringLiteral("O'Key")}));
        FDB->ExecSQL(Format(c_sqlLibNewRecord, {c_tbIncomeTypes, QStringLiteral("Зарплата")}));
        for (int day = 1; day <= 5; ++day)
            AddIncome(day, day % 2 ? 1 : 2, false);
        AddIncome(6, 1, true);
        FManager = TTallysetManager::Create(FDB);
    }
    void TearDown() override { FormatSettings().DecimalSeparator = FSeparator; }

    int AddIncome(int day, int cashType, bool planned)
    {
        FDB->ExecSQL(Format(c_sqlJrIncomesNewRecord,
                            {1, cashType, MSAccessDate(EncodeDate(2011, 12, day)), 10.0 * day, planned ? 1 : 0, QString()}));
        return FDB->GetLastIdentity();
    }
    // The incomes journal for December 2011 without planned operations, open.
    IParametricQueryPtr OpenJournal()
    {
        IParametricQueryPtr q = FManager->AddQuery();
        q->SetSQL(c_sqlJrIncomesGetRecords);
        SetDecember();
        FManager->Refresh();
        return q;
    }
    void SetDecember()
    {
        FManager->SetBDate(EncodeDate(2011, 12, 1));
        FManager->SetEDate(EncodeDate(2011, 12, 31));
        FManager->SetPlannedInclude(false);
        FManager->SetIDSet(QString());
    }
    static TParametricQuery &Impl(const IParametricQueryPtr &q) { return dynamic_cast<TParametricQuery &>(*q); }
    static int CurrentID(const IParametricQueryPtr &q) { return q->GetQuery()->GetData()->FieldByName(c_fldID)->AsInteger(); }
    static int Rows(const IParametricQueryPtr &q) { return q->GetQuery()->GetData()->RecordCount(); }

    TTempDatabase FTemp;
    IDBConnectionPtr FDB;
    std::shared_ptr<TTallysetManager> FManager;
    QChar FSeparator;
};

TEST_F(ManagedQueriesTest, QueryIsClosedUntilRefreshAndSetSQLOpensNothing)
{
    IParametricQueryPtr q = FManager->AddQuery();
    q->SetSQL(c_sqlJrIncomesGetRecords);
    SetDecember();
    EXPECT_FALSE(q->GetQuery()->Active());
    q->Refresh();
    EXPECT_TRUE(q->GetQuery()->Active());
    EXPECT_EQ(Rows(q), 5);
    q->SetSQL(QStringLiteral("select * from Tags"));
    EXPECT_EQ(Rows(q), 5);
}

TEST_F(ManagedQueriesTest, UnchangedValueReopensNothingAndKeepsTheRow)
{
    IParametricQueryPtr q = OpenJournal();
    q->GetQuery()->LocateByID(3);
    AddIncome(2, 1, false); // only a reopen can show it

    FManager->SetBDate(EncodeDate(2011, 12, 1) + 0.5); // same day literal
    FManager->SetPlannedInclude(false);
    FManager->SetIDSet(QString());
    EXPECT_EQ(Rows(q), 5);
    EXPECT_EQ(CurrentID(q), 3);

    FManager->SetBDate(EncodeDate(2011, 11, 30));
    EXPECT_EQ(Rows(q), 6);
    EXPECT_EQ(CurrentID(q), 3);
}

struct PeriodCase
{
    const char *Name;
    int BeginDay;
    int ExpectedID;
};

class PeriodChangeTest : public ManagedQueriesTest, public ::testing::WithParamInterface<PeriodCase>
{
};

TEST_P(PeriodChangeTest, KeepsTheRecordWhileItIsInThePeriod)
{
    IParametricQueryPtr q = OpenJournal();
    q->GetQuery()->LocateByID(3);
    FManager->SetBDate(EncodeDate(2011, 12, GetParam().BeginDay));
    EXPECT_EQ(CurrentID(q), GetParam().ExpectedID);
}

INSTANTIATE_TEST_SUITE_P(BeginDays, PeriodChangeTest, ::testing::Values(
    PeriodCase{"StillInside", 2, 3},
    PeriodCase{"FirstDayIsTheRecordsDay", 3, 3},
    PeriodCase{"RecordLeftThePeriod", 4, 4}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST_F(ManagedQueriesTest, PlannedSwitchReopensWithPlannedRows)
{
    IParametricQueryPtr q = OpenJournal();
    q->GetQuery()->LocateByID(5);
    FManager->SetPlannedInclude(true);
    EXPECT_EQ(Rows(q), 6);
    EXPECT_EQ(CurrentID(q), 5);
}

TEST_F(ManagedQueriesTest, EmptyValueSubstitutesNothingAndStaysStored)
{
    IParametricQueryPtr q = TParametricQuery::Create(FDB);
    q->SetSQL(QStringLiteral("select count(*) as n from CashTypes where ID > 0 #extra#"));
    q->SetParam(QStringLiteral("extra"), QStringLiteral("and ID > 1"));
    q->Refresh();
    EXPECT_EQ(q->GetQuery()->GetData()->Fields(0)->AsInteger(), 1);

    q->SetParam(QStringLiteral("extra"), QString());
    EXPECT_EQ(Impl(q).Param(QStringLiteral("extra")), QString(QChar(0)));
    EXPECT_EQ(Impl(q).CompletedSQL(), QStringLiteral("select count(*) as n from CashTypes where ID > 0 "));
    EXPECT_EQ(q->GetQuery()->GetData()->Fields(0)->AsInteger(), 2);

    FDB->ExecSQL(Format(c_sqlLibNewRecord, {c_tbCashTypes, QStringLiteral("Вклад")}));
    q->SetParam(QStringLiteral("extra"), QString());
    EXPECT_EQ(q->GetQuery()->GetData()->Fields(0)->AsInteger(), 2) << "the empty value is unchanged";
}

TEST_F(ManagedQueriesTest, NamesIgnoreLetterCase)
{
    IParametricQueryPtr q = TParametricQuery::Create(FDB->CreateQuery());
    q->SetSQL(QStringLiteral("select ID from Incomes where OperationDate >= #BDate# order by ID"));
    q->SetParam(QStringLiteral("bdate"), MSAccessDate(EncodeDate(2011, 12, 5)));
    q->Refresh();
    EXPECT_EQ(Rows(q), 2);

    FDB->ExecSQL(Format(c_sqlDeleteRecordByID, {c_tbJrIncomes, 6}));
    q->SetParam(QStringLiteral("BDATE"), MSAccessDate(EncodeDate(2011, 12, 5)));
    EXPECT_EQ(Rows(q), 2) << "the same parameter under another spelling, unchanged";
    q->SetParam(QStringLiteral("BDATE"), MSAccessDate(EncodeDate(2011, 12, 4)));
    EXPECT_EQ(Rows(q), 2);
    q->GetQuery()->GetData()->First();
    EXPECT_EQ(CurrentID(q), 4);
    EXPECT_EQ(Impl(q).CompletedSQL(), QStringLiteral("select ID from Incomes where OperationDate >= #12/4/2011# order by ID"));
}

TEST_F(ManagedQueriesTest, PlaceholderNeverSetMakesRefreshFail)
{
    IParametricQueryPtr q = FManager->AddQuery();
    q->SetSQL(c_sqlJrIncomesGetRecords);
    FManager->SetBDate(EncodeDate(2011, 12, 1));
    EXPECT_THROW(FManager->Refresh(), EDatabaseError);
    EXPECT_FALSE(q->GetQuery()->Active());
}

TEST_F(ManagedQueriesTest, PeriodSettersWriteLiteralsAndFlags)
{
    IParametricQueryPtr q = FManager->AddQuery();
    FManager->SetBDate(EncodeDate(2011, 12, 1) + 0.75);
    FManager->SetEDate(EncodeDate(2012, 1, 5));
    FManager->SetPlannedInclude(true);
    EXPECT_EQ(Impl(q).Param(QStringLiteral("bdate")), QStringLiteral("#12/1/2011#"));
    EXPECT_EQ(Impl(q).Param(QStringLiteral("edate")), QStringLiteral("#1/5/2012#"));
    EXPECT_EQ(Impl(q).Param(QStringLiteral("planned")), QStringLiteral("1"));
    FManager->SetPlannedInclude(false);
    EXPECT_EQ(Impl(q).Param(QStringLiteral("planned")), QStringLiteral("0"));
}

struct IDSetCase
{
    const char *Name;
    const char *IDSet;
    const char *Condition;
    std::vector<const char *> CashTypes; // rows of the balances report
};

class IDSetTest : public ManagedQueriesTest, public ::testing::WithParamInterface<IDSetCase>
{
};

TEST_P(IDSetTest, BecomesTheCashTypeCondition)
{
    IParametricQueryPtr q = FManager->AddQuery();
    q->SetSQL(c_sqlRepMainReport);
    SetDecember();
    FManager->SetIDSet(QString::fromUtf8(GetParam().IDSet));
    FManager->Refresh();
    EXPECT_EQ(Impl(q).Param(QStringLiteral("idset_condition")), QString::fromUtf8(GetParam().Condition));
    QStringList expected;
    for (const char *name : GetParam().CashTypes)
        expected << QString::fromUtf8(name);
    TStrings names;
    q->GetQuery()->ToStrings(QStringLiteral("ct_id"), c_fldName, names);
    EXPECT_EQ(names.ToStringList(), expected);
}

INSTANTIATE_TEST_SUITE_P(Sets, IDSetTest, ::testing::Values(
    IDSetCase{"NoneTickedGivesEvery", "", "ct.id > 0", {"O'Key", "Карта"}},
    IDSetCase{"One", "2", "ct.id in (2)", {"O'Key"}},
    IDSetCase{"Three", "3", "ct.id in (3)", {}},
    IDSetCase{"Several", "1,2", "ct.id in (1,2)", {"O'Key", "Карта"}}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST_F(ManagedQueriesTest, IDSetThatIsNotAListOfNumbersIsRefused)
{
    IParametricQueryPtr q = OpenJournal();
    for (const char *bad : {"1) or (1=1", "1;delete from CashTypes", "a", "1,,2", ","}) {
        EXPECT_THROW(FManager->SetIDSet(QString::fromUtf8(bad)), Exception) << bad;
        EXPECT_EQ(Impl(q).Param(QStringLiteral("idset_condition")), QStringLiteral("ct.id > 0")) << bad;
    }
    EXPECT_TRUE(q->GetQuery()->Active());
}

TEST_F(ManagedQueriesTest, SmartFilterOnANeverOpenedQueryDoesNothing)
{
    IParametricQueryPtr q = FManager->AddQuery();
    q->SetSQL(c_sqlJrIncomesGetRecords);
    q->SmartFilter(c_fldCashTypeName, true);
    EXPECT_FALSE(q->GetQuery()->Active());
    SetDecember();
    FManager->Refresh();
    EXPECT_EQ(Rows(q), 5);
}

TEST_F(ManagedQueriesTest, SmartFilterByTheCurrentValueUntilSwitchedOff)
{
    IParametricQueryPtr q = OpenJournal();
    q->GetQuery()->LocateByID(4); // on "O'Key"
    q->SmartFilter(c_fldCashTypeName, true);
    EXPECT_EQ(q->GetQuery()->GetData()->Filter(), QStringLiteral("CashTypeName = 'O''Key'"));
    EXPECT_EQ(Rows(q), 2);
    EXPECT_EQ(CurrentID(q), 2);

    FManager->SetPlannedInclude(true);
    FManager->SetBDate(EncodeDate(2011, 11, 1));
    EXPECT_EQ(Rows(q), 2) << "the filter stays across reopening";

    q->SmartFilter(c_fldCashTypeName, false);
    EXPECT_EQ(Rows(q), 6);
    EXPECT_EQ(CurrentID(q), 1);
}

TEST_F(ManagedQueriesTest, FailingQueryStopsTheBroadcast)
{
    const QString byID = QStringLiteral("select ID from CashTypes where ID > #minid# order by ID");
    IParametricQueryPtr first = FManager->AddQuery();
    IParametricQueryPtr failing = FManager->AddQuery();
    IParametricQueryPtr later = FManager->AddQuery();
    first->SetSQL(QStringLiteral("select ID from CashTypes order by ID"));
    failing->SetSQL(byID);
    later->SetSQL(byID);
    FManager->SetParam(QStringLiteral("minid"), QStringLiteral("0"));
    FManager->Refresh();
    FDB->ExecSQL(Format(c_sqlLibNewRecord, {c_tbCashTypes, QStringLiteral("Вклад")}));

    EXPECT_THROW(FManager->SetParam(QStringLiteral("minid"), QStringLiteral("0 +")), EDatabaseError);
    EXPECT_EQ(Impl(first).Param(QStringLiteral("minid")), QStringLiteral("0 +"));
    EXPECT_EQ(Rows(first), 3) << "reopened although its template lacks the placeholder";
    EXPECT_EQ(Impl(failing).Param(QStringLiteral("minid")), QStringLiteral("0 +"));
    EXPECT_FALSE(failing->GetQuery()->Active());
    EXPECT_EQ(Impl(later).Param(QStringLiteral("minid")), QStringLiteral("0"));
    EXPECT_TRUE(later->GetQuery()->Active());
    EXPECT_EQ(Rows(later), 2) << "not reopened";

    // A closed query waits for Refresh; a later change reaches the others again.
    FManager->SetParam(QStringLiteral("minid"), QStringLiteral("1"));
    EXPECT_FALSE(failing->GetQuery()->Active());
    EXPECT_EQ(Rows(later), 2);
    FManager->Refresh();
    EXPECT_EQ(Rows(failing), 2);
}

TEST_F(ManagedQueriesTest, RegistryKeepsOrderAndSkipsReleasedQueries)
{
    IParametricQueryPtr a = FManager->AddQuery();
    IParametricQueryPtr b = FManager->AddQuery();
    FManager->AddQuery(); // released at once by its caller
    EXPECT_EQ(FManager->GetQuery(0), a);
    EXPECT_EQ(FManager->GetQuery(1), b);
    EXPECT_EQ(FManager->GetQuery(2), nullptr);
    EXPECT_EQ(FManager->GetQuery(3), nullptr);
    EXPECT_EQ(FManager->GetQuery(-1), nullptr);
    a->SetSQL(Format(c_sqlLibGetRecords, {c_tbCashTypes}));
    b->SetSQL(QStringLiteral("select * from Tags"));
    EXPECT_NO_THROW(FManager->SetParam(QStringLiteral("x"), QStringLiteral("1")));
    EXPECT_NO_THROW(FManager->Refresh());
    EXPECT_TRUE(a->GetQuery()->Active());
    EXPECT_TRUE(b->GetQuery()->Active());
}

TEST_F(ManagedQueriesTest, RCountCountsTheReferences)
{
    EXPECT_EQ(FManager->GetRCount(), 1);
    {
        ITallysetManagerPtr asInterface = FManager;
        IQueriesManagerPtr asBase = FManager;
        EXPECT_EQ(FManager->GetRCount(), 3);
        EXPECT_EQ(asInterface->GetRCount(), 3);
    }
    EXPECT_EQ(FManager->GetRCount(), 1);
    TTallysetManager unowned(FDB);
    EXPECT_EQ(unowned.GetRCount(), 0);
}

} // namespace
