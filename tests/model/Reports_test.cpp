#include "ModelFixture.h"

#include "db/Classes.TallysetManager.h"
#include "model/Classes.Reports.h"

#include <map>

namespace
{

struct TBalanceRow
{
    QString Name;
    int CashTypeID;
    double StartRem, Debet, Credit, TransferDebet, TransferCredit, EndRem;
};

bool operator==(const TBalanceRow &a, const TBalanceRow &b)
{
    return a.Name == b.Name && a.CashTypeID == b.CashTypeID && a.StartRem == b.StartRem && a.Debet == b.Debet &&
           a.Credit == b.Credit && a.TransferDebet == b.TransferDebet && a.TransferCredit == b.TransferCredit &&
           a.EndRem == b.EndRem;
}

void PrintTo(const TBalanceRow &r, std::ostream *os)
{
    *os << r.Name.toStdString() << " #" << r.CashTypeID << ": " << r.StartRem << " +" << r.Debet << " -" << r.Credit
        << " +" << r.TransferDebet << " -" << r.TransferCredit << " = " << r.EndRem;
}

struct TTypeRow
{
    QString Name;
    bool NullID;
    double Fsv, Psv, Sv;
};

bool operator==(const TTypeRow &a, const TTypeRow &b)
{
    return a.Name == b.Name && a.NullID == b.NullID && a.Fsv == b.Fsv && a.Psv == b.Psv && a.Sv == b.Sv;
}

void PrintTo(const TTypeRow &r, std::ostream *os)
{
    *os << (r.NullID ? "(none) " : "") << r.Name.toStdString() << ": " << r.Fsv << " + " << r.Psv << " = " << r.Sv;
}

// A month of operations around December 2011 on three cash types with
// operations (one of them only after the period) and one without any.
class ReportsTest : public TModelTest
{
protected:
    ReportsTest()
    {
        FCard = AddName(QStringLiteral("CashTypes"), QStringLiteral("Карта"));
        FCash = AddName(QStringLiteral("CashTypes"), QStringLiteral("Наличные"));
        AddName(QStringLiteral("CashTypes"), QStringLiteral("Вклад"));
        FSafe = AddName(QStringLiteral("CashTypes"), QStringLiteral("Сейф"));
        const int salary = AddName(QStringLiteral("IncomeTypes"), QStringLiteral("Зарплата"));
        const int gifts = AddName(QStringLiteral("IncomeTypes"), QStringLiteral("Подарки"));
        const int food = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Еда"));
        const int transport = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Транспорт"));
        const int holiday = AddName(QStringLiteral("Tags"), QStringLiteral("отпуск"));
        const int sea = AddName(QStringLiteral("Tags"), QStringLiteral("море"));

        AddIncome(D(2011, 11, 30), salary, FCard, 1000);
        AddIncome(D(2011, 12, 1), salary, FCard, 200);
        AddIncome(D(2011, 12, 10), gifts, FCash, 300, true);
        AddIncome(D(2012, 1, 2), salary, FSafe, 500);
        const int endDay = AddExpense(D(2011, 12, 31), food, FCard, 50);
        LinkTag(endDay, holiday);
        LinkTag(endDay, sea);
        AddExpense(D(2012, 1, 1), food, FCard, 70);
        AddExpense(D(2011, 12, 5), transport, FCash, 30);
        LinkTag(AddExpense(D(2011, 12, 6), food, FCash, 20, true), sea);
        AddTransfer(D(2011, 12, 15), FCard, FCash, 100);
        AddTransfer(D(2011, 11, 20), FCash, FCard, 40);

        FManager = TTallysetManager::Create(FDB);
        const TReportClass classes[] = {&TReportMain::New, &TReportIncomes::New, &TReportExpenses::New,
                                        &TReportExpensesByTags::New};
        for (TReportClass reportClass : classes)
            FReports.push_back(reportClass(FDB, FManager->AddQuery()));
    }

    void OpenPeriod(TDateTime bdate, TDateTime edate, bool planned, const QString &idSet = QString())
    {
        FManager->SetBDate(bdate);
        FManager->SetEDate(edate);
        FManager->SetPlannedInclude(planned);
        FManager->SetIDSet(idSet);
        FManager->Refresh();
    }

    std::vector<TBalanceRow> Balances()
    {
        std::vector<TBalanceRow> rows;
        TDataSet *data = FReports[0]->GetQuery()->GetQuery()->GetData();
        for (data->First(); !data->Eof(); data->Next())
        {
            auto f = [data](const char *name) { return data->FieldByName(QLatin1String(name))->AsFloat(); };
            const TBalanceRow row{data->FieldByName(QStringLiteral("Name"))->AsString(),
                                  data->FieldByName(QStringLiteral("ct_id"))->AsInteger(),
                                  f("startrem"), f("debet"), f("credit"), f("transferdebet"), f("transfercredit"),
                                  f("endrem")};
            EXPECT_EQ(row.EndRem, row.StartRem + row.Debet - row.Credit + row.TransferDebet - row.TransferCredit)
                << row.Name.toStdString();
            rows.push_back(row);
        }
        return rows;
    }
    // Rows of report 1 (incomes), 2 (expenses) or 3 (by tag), in report order.
    std::vector<TTypeRow> Types(int report)
    {
        std::vector<TTypeRow> rows;
        TDataSet *data = FReports[report]->GetQuery()->GetQuery()->GetData();
        for (data->First(); !data->Eof(); data->Next())
            rows.push_back(TTypeRow{data->FieldByName(QStringLiteral("Name"))->AsString(),
                                    data->FieldByName(QStringLiteral("id"))->IsNull(),
                                    data->FieldByName(QStringLiteral("fsv"))->AsFloat(),
                                    data->FieldByName(QStringLiteral("psv"))->AsFloat(),
                                    data->FieldByName(QStringLiteral("sv"))->AsFloat()});
        return rows;
    }

    int FCard = 0, FCash = 0, FSafe = 0;
    std::shared_ptr<TTallysetManager> FManager;
    std::vector<std::shared_ptr<TTallysetCustomReport>> FReports;
};

TEST_F(ReportsTest, BalancesCountBoundariesAndTransfersWithoutPlanned)
{
    OpenPeriod(D(2011, 12, 1), D(2011, 12, 31), false);
    // The begin day counts in the period, the end day in the period and in
    // endrem, the day after nowhere; cash types without operations up to the
    // end date have no row.
    EXPECT_EQ(Balances(), (std::vector<TBalanceRow>{
                              {QStringLiteral("Карта"), FCard, 1040, 200, 50, 0, 100, 1090},
                              {QStringLiteral("Наличные"), FCash, -40, 0, 30, 100, 0, 30},
                          }));
}

TEST_F(ReportsTest, BalancesWithPlanned)
{
    OpenPeriod(D(2011, 12, 1), D(2011, 12, 31), true);
    EXPECT_EQ(Balances(), (std::vector<TBalanceRow>{
                              {QStringLiteral("Карта"), FCard, 1040, 200, 50, 0, 100, 1090},
                              {QStringLiteral("Наличные"), FCash, -40, 300, 50, 100, 0, 310},
                          }));
}

TEST_F(ReportsTest, CashTypeConditionFiltersOnlyTheBalances)
{
    OpenPeriod(D(2011, 12, 1), D(2011, 12, 31), false, QString::number(FCard));
    ASSERT_EQ(Balances().size(), 1u);
    EXPECT_EQ(Balances()[0].CashTypeID, FCard);
    EXPECT_EQ(Types(1).size(), 1u);
    EXPECT_EQ(Types(2).size(), 2u);

    FManager->SetIDSet(QStringLiteral("%1,%2").arg(FCash).arg(FSafe));
    ASSERT_EQ(Balances().size(), 1u);
    EXPECT_EQ(Balances()[0].CashTypeID, FCash);

    FManager->SetIDSet(QString());
    EXPECT_EQ(Balances().size(), 2u);
}

TEST_F(ReportsTest, PeriodWithoutOperations)
{
    OpenPeriod(D(2012, 2, 1), D(2012, 2, 29), true);
    EXPECT_EQ(Balances(), (std::vector<TBalanceRow>{
                              {QStringLiteral("Карта"), FCard, 1020, 0, 0, 0, 0, 1020},
                              {QStringLiteral("Наличные"), FCash, 310, 0, 0, 0, 0, 310},
                              {QStringLiteral("Сейф"), FSafe, 500, 0, 0, 0, 0, 500},
                          }));
    EXPECT_TRUE(Types(1).empty());
    EXPECT_TRUE(Types(2).empty());
    EXPECT_TRUE(Types(3).empty());
}

TEST_F(ReportsTest, PerTypeReportsSplitActualAndPlanned)
{
    OpenPeriod(D(2011, 12, 1), D(2011, 12, 31), false);
    EXPECT_EQ(Types(1), (std::vector<TTypeRow>{{QStringLiteral("Зарплата"), false, 200, 0, 200}}));
    EXPECT_EQ(Types(2), (std::vector<TTypeRow>{{QStringLiteral("Еда"), false, 50, 0, 50},
                                               {QStringLiteral("Транспорт"), false, 30, 0, 30}}));

    FManager->SetPlannedInclude(true);
    EXPECT_EQ(Types(1), (std::vector<TTypeRow>{{QStringLiteral("Зарплата"), false, 200, 0, 200},
                                               {QStringLiteral("Подарки"), false, 0, 300, 300}}));
    EXPECT_EQ(Types(2), (std::vector<TTypeRow>{{QStringLiteral("Еда"), false, 50, 20, 70},
                                               {QStringLiteral("Транспорт"), false, 30, 0, 30}}));
}

TEST_F(ReportsTest, ByTagCountsMultiTaggedExpensesForEachTagAndUntaggedOnce)
{
    OpenPeriod(D(2011, 12, 1), D(2011, 12, 31), true);
    // Ordered by sv.
    EXPECT_EQ(Types(3), (std::vector<TTypeRow>{{QString(), true, 30, 0, 30},
                                               {QStringLiteral("отпуск"), false, 50, 0, 50},
                                               {QStringLiteral("море"), false, 50, 20, 70}}));

    FManager->SetPlannedInclude(false);
    std::map<QString, double> sums;
    for (const TTypeRow &row : Types(3))
        sums[row.Name] += row.Sv;
    EXPECT_EQ(sums, (std::map<QString, double>{{QString(), 30}, {QStringLiteral("отпуск"), 50}, {QStringLiteral("море"), 50}}));
}

TEST_F(ReportsTest, ReportsKeepTheirRowAcrossAPeriodChange)
{
    OpenPeriod(D(2011, 12, 1), D(2011, 12, 31), true);
    IQueryPtr incomes = FReports[1]->GetQuery()->GetQuery();
    const int gifts = Scalar(QStringLiteral("select ID from IncomeTypes where Name = 'Подарки'")).toInt();
    incomes->LocateByID(gifts);
    FManager->SetBDate(D(2011, 11, 1));
    EXPECT_EQ(incomes->GetData()->FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Подарки"));
    EXPECT_EQ(Types(1)[0].Sv, 1200.0);
}

} // namespace
