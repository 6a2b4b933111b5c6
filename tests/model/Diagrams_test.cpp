#include "ModelFixture.h"

#include "db/Classes.TallysetManager.h"
#include "model/Classes.Diagrams.h"
#include "support/RecordingSeries.h"

namespace
{

class DiagramsTest : public TModelTest
{
protected:
    DiagramsTest()
    {
        FCard = AddName(QStringLiteral("CashTypes"), QStringLiteral("Карта"));
        FSalary = AddName(QStringLiteral("IncomeTypes"), QStringLiteral("Зарплата"));
        FFood = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Еда"));
        FTaxi = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Такси"));
        FManager = TTallysetManager::Create(FDB);
        // A journal's query registered before, as in the main window.
        FManager->AddQuery();
        FDiagrams = std::make_unique<TDiagramManager>(FDB, FManager);
    }
    void OpenPeriod(TDateTime bdate, TDateTime edate, bool planned)
    {
        FManager->SetBDate(bdate);
        FManager->SetEDate(edate);
        FManager->SetPlannedInclude(planned);
        FManager->SetIDSet(QString());
    }

    int FCard = 0, FSalary = 0, FFood = 0, FTaxi = 0;
    std::shared_ptr<TTallysetManager> FManager;
    std::unique_ptr<TDiagramManager> FDiagrams;
    TRecordingSeries FSeries;
};

TEST_F(DiagramsTest, ReportsJoinThePeriodManagerAfterEarlierQueries)
{
    EXPECT_EQ(FManager->QueryCount(), 4);
    AddIncome(D(2011, 12, 1), FSalary, FCard, 100);
    AddIncome(D(2011, 12, 2), FSalary, FCard, 50, true);
    OpenPeriod(D(2011, 12, 1), D(2011, 12, 31), false);
    FDiagrams->ShowIncomesChart(FSeries);
    EXPECT_EQ(FSeries.Labels(), QStringList{QStringLiteral("Зарплата")});
    EXPECT_EQ(FSeries.Values(), std::vector<double>{100});
    EXPECT_EQ(FSeries.Points[0].Color, clTeeColor);

    // Each call redraws from scratch with the period last broadcast.
    FManager->SetPlannedInclude(true);
    FDiagrams->ShowIncomesChart(FSeries);
    FDiagrams->ShowIncomesChart(FSeries);
    EXPECT_EQ(FSeries.Values(), std::vector<double>{150});

    OpenPeriod(D(2012, 1, 1), D(2012, 1, 31), true);
    FDiagrams->ShowIncomesChart(FSeries);
    EXPECT_EQ(FSeries.Count(), 0);
}

TEST_F(DiagramsTest, ExpensesByTypeAndByTag)
{
    const int holiday = AddName(QStringLiteral("Tags"), QStringLiteral("отпуск"));
    const int sea = AddName(QStringLiteral("Tags"), QStringLiteral("море"));
    const int tagged = AddExpense(D(2011, 12, 3), FFood, FCard, 50);
    LinkTag(tagged, holiday);
    LinkTag(tagged, sea);
    AddExpense(D(2011, 12, 4), FTaxi, FCard, 30);
    AddExpense(D(2011, 12, 5), FTaxi, FCard, 10);
    OpenPeriod(D(2011, 12, 1), D(2011, 12, 31), false);

    FDiagrams->ShowExpensesChart(FSeries);
    EXPECT_EQ(FSeries.Labels(), (QStringList{QStringLiteral("Еда"), QStringLiteral("Такси")}));
    EXPECT_EQ(FSeries.Values(), (std::vector<double>{50, 40}));

    FDiagrams->ShowExpensesByTagsChart(FSeries);
    ASSERT_EQ(FSeries.Count(), 3);
    EXPECT_EQ(FSeries.Points[0].Label, QString());
    EXPECT_EQ(FSeries.Points[0].Value, 40.0);
    EXPECT_EQ(FSeries.Points[1].Value, 50.0);
    EXPECT_EQ(FSeries.Points[2].Value, 50.0);
    QStringList tags{FSeries.Points[1].Label, FSeries.Points[2].Label};
    tags.sort();
    EXPECT_EQ(tags, (QStringList{QStringLiteral("море"), QStringLiteral("отпуск")}));
}

TEST_F(DiagramsTest, CompareChartLabelsMonthsAndMarksYearChanges)
{
    AddExpense(D(2011, 11, 3), FFood, FCard, 10);
    AddExpense(D(2011, 11, 30), FFood, FCard, 5);
    AddExpense(D(2011, 12, 31), FFood, FCard, 20);
    AddExpense(D(2012, 1, 1), FFood, FCard, 30);
    AddExpense(D(2012, 2, 15), FFood, FCard, 40);
    AddExpense(D(2012, 3, 1), FFood, FCard, 7, true);
    AddExpense(D(2012, 4, 1), FTaxi, FCard, 99);
    // The working period does not matter for the comparison.
    OpenPeriod(D(2011, 12, 1), D(2011, 12, 31), false);

    FDiagrams->ShowExpensesCompareChart(FSeries, FFood, false);
    EXPECT_EQ(FSeries.Labels(), (QStringList{"2011.11", "12", "2012.1", "2"}));
    EXPECT_EQ(FSeries.Values(), (std::vector<double>{15, 20, 30, 40}));

    FDiagrams->ShowExpensesCompareChart(FSeries, FFood, true);
    EXPECT_EQ(FSeries.Labels(), (QStringList{"2011.11", "12", "2012.1", "2", "3"}));
}

TEST_F(DiagramsTest, CompareChartOfPlannedOnlyTypeIsEmptyWithoutPlanned)
{
    AddExpense(D(2012, 3, 1), FTaxi, FCard, 7, true);
    FSeries.AddPoint(1, QStringLiteral("old"));
    FDiagrams->ShowExpensesCompareChart(FSeries, FTaxi, false);
    EXPECT_EQ(FSeries.Count(), 0);
    FDiagrams->ShowExpensesCompareChart(FSeries, FTaxi, true);
    EXPECT_EQ(FSeries.Labels(), QStringList{"2012.3"});
}

TEST_F(DiagramsTest, AFailingQueryLeavesTheSeriesAsItWas)
{
    AddIncome(D(2011, 12, 1), FSalary, FCard, 100);
    OpenPeriod(D(2011, 12, 1), D(2011, 12, 31), false);
    FDiagrams->ShowIncomesChart(FSeries);
    ASSERT_EQ(FSeries.Count(), 1);
    const int clears = FSeries.ClearCount;

    ExecNative("DROP TABLE Incomes");
    EXPECT_THROW(FDiagrams->ShowIncomesChart(FSeries), EDatabaseError);
    EXPECT_EQ(FSeries.Labels(), QStringList{QStringLiteral("Зарплата")});
    EXPECT_EQ(FSeries.ClearCount, clears);
}

} // namespace
