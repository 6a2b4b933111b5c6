// The reports and diagrams pages on awkward data: an empty database, a period
// without operations, one expense type with a very long name, and a record
// added on the expenses page reaching the reports at once.

#include "app/Main.h"
#include "platform/DataSet.h"
#include "platform/widgets/ActionList.h"
#include "platform/widgets/Chart.h"
#include "platform/widgets/DBGridEh.h"
#include "support/RecordingDialogHook.h"
#include "support/ui/MainWindowEnv.h"

#include <QComboBox>
#include <QListWidget>
#include <QPieSeries>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

void ClickEntry(QListWidget *list, int row)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

TDataSet *Data(const ITallysetCustomJournalPtr &report)
{
    return report->GetQuery()->GetQuery()->GetData();
}

class MainPagesTest : public ::testing::Test
{
protected:
    void TearDown() override { Window.reset(); }

    void UsePeriod(const char *bdate, const char *edate)
    {
        Env.WriteIni(QStringLiteral("[main]\nbdate=%1\nedate=%2\n").arg(QLatin1String(bdate), QLatin1String(edate)));
    }

    // Clicks every chart of the list in turn; returns the point counts.
    QVector<int> DrawEveryChart()
    {
        Window->SetJournalPage(jpDiagrams);
        QVector<int> counts;
        for (int i = 0; i < Window->lbReportsList->count(); ++i) {
            ClickEntry(Window->lbReportsList, i);
            Window->DiagramChart->Flush();
            counts << (i < 3 ? Window->Series1->Count() : Window->Series2->Count());
        }
        return counts;
    }

    TRecordedDialogs Dialogs;
    TMainWindowEnv Env;
    std::unique_ptr<TFMain> Window;
};

TEST_F(MainPagesTest, AnEmptyDatabaseLeavesEveryPageUsableAndEveryChartEmpty)
{
    Window = Env.Open();
    Window->SetJournalPage(jpReports);
    EXPECT_EQ(Data(Window->FRepMain)->RecordCount(), 0);
    EXPECT_EQ(Data(Window->FRepIncomes)->RecordCount(), 0);
    EXPECT_EQ(Data(Window->FRepExpenses)->RecordCount(), 0);
    EXPECT_EQ(DrawEveryChart(), (QVector<int>{0, 0, 0, 0}));
    EXPECT_EQ(Window->cbParam1->count(), 0);
    EXPECT_TRUE(Window->pnParams->isVisible());
    RunEventLoop(50);
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

TEST_F(MainPagesTest, APeriodWithoutOperationsKeepsTheBalancesAndEmptiesThePies)
{
    const int card = Env.AddCashType(QStringLiteral("Карта"));
    const int salary = Env.AddIncomeType(QStringLiteral("Зарплата"));
    const int food = Env.AddExpenseType(QStringLiteral("Еда"));
    Env.AddIncome(QDate(2012, 1, 10), card, salary, 1000);
    Env.AddExpense(QDate(2012, 1, 12), card, food, 250.5);
    UsePeriod("01.02.2012", "29.02.2012");
    Window = Env.Open();

    TDataSet *balances = Data(Window->FRepMain);
    ASSERT_EQ(balances->RecordCount(), 1);
    balances->First();
    EXPECT_DOUBLE_EQ(balances->FieldByName("startrem")->AsFloat(), 749.5);
    EXPECT_DOUBLE_EQ(balances->FieldByName("endrem")->AsFloat(), 749.5);
    EXPECT_DOUBLE_EQ(balances->FieldByName("debet")->AsFloat(), 0);
    EXPECT_EQ(Data(Window->FRepExpenses)->RecordCount(), 0);
    // The comparison ignores the period: January's expense is still a bar.
    EXPECT_EQ(DrawEveryChart(), (QVector<int>{0, 0, 0, 1}));
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

TEST_F(MainPagesTest, OneExpenseTypeWithAFiveHundredCharacterName)
{
    const QString longName = QString(500, QChar(0x0416)); // "ЖЖЖ..."
    const int card = Env.AddCashType(QString(500, QLatin1Char('c')));
    const int type = Env.AddExpenseType(longName);
    Env.AddExpense(QDate(2012, 2, 5), card, type, 40);
    Env.AddExpense(QDate(2012, 3, 5), card, type, 60);
    UsePeriod("01.02.2012", "31.03.2012");
    Window = Env.Open();

    // Untagged expenses make one point with an empty label in the by-tag chart.
    EXPECT_EQ(DrawEveryChart(), (QVector<int>{0, 1, 1, 2}));
    ClickEntry(Window->lbReportsList, 1);
    Window->DiagramChart->Flush();
    EXPECT_EQ(Window->Series1->Label(0), longName);
    EXPECT_DOUBLE_EQ(Window->Series1->Value(0), 100);
    ClickEntry(Window->lbReportsList, 3);
    ASSERT_EQ(Window->cbParam1->count(), 1);
    EXPECT_EQ(Window->cbParam1->itemText(0), longName);

    Window->SetJournalPage(jpReports);
    TDataSet *expenses = Data(Window->FRepExpenses);
    ASSERT_EQ(expenses->RecordCount(), 1);
    EXPECT_EQ(expenses->FieldByName("Name")->AsString(), longName);
    EXPECT_EQ(Window->dbgExpensesReport->Columns(1)->FooterText(), QStringLiteral("100.00"));
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

TEST_F(MainPagesTest, AnExpenseAddedOnTheExpensesPageShowsInTheReportsAtOnce)
{
    const int card = Env.AddCashType(QStringLiteral("Карта"));
    const int food = Env.AddExpenseType(QStringLiteral("Еда"));
    Env.AddExpense(QDate(2012, 2, 5), card, food, 40);
    UsePeriod("01.02.2012", "29.02.2012");
    Window = Env.Open();
    Window->JournalEditor = [&](const ITallysetJournalPtr &journal, TEditorMode) {
        TJournalRecord rec = TJournalRecord::Create(EncodeDate(2012, 2, 10));
        rec.Link1 = TLink::Create(card, QString());
        rec.Link2 = TLink::Create(food, QString());
        rec.Sum = 0.35;
        journal->AddRecord(rec);
    };

    Window->SetJournalPage(jpExpenses);
    ASSERT_TRUE(Window->acJournalAdd->Execute());
    ProcessPosted();

    TDataSet *expenses = Data(Window->FRepExpenses);
    ASSERT_EQ(expenses->RecordCount(), 1);
    expenses->First();
    EXPECT_DOUBLE_EQ(expenses->FieldByName("sv")->AsFloat(), 40.35);
    TDataSet *balances = Data(Window->FRepMain);
    ASSERT_EQ(balances->RecordCount(), 1);
    balances->First();
    EXPECT_DOUBLE_EQ(balances->FieldByName("credit")->AsFloat(), 40.35);
    EXPECT_EQ(Window->dbgReportMain->FindColumn("credit")->FooterText(), QStringLiteral("40.35"));
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

} // namespace
