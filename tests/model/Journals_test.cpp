#include "ModelFixture.h"

#include "db/Classes.TallysetManager.h"
#include "db/Constants.h"
#include "model/Classes.Journals.h"
#include "platform/Format.h"

#include <cmath>

namespace
{

class JournalsTest : public TModelTest
{
protected:
    JournalsTest()
    {
        FCard = AddName(QStringLiteral("CashTypes"), QStringLiteral("Карта"));
        FCash = AddName(QStringLiteral("CashTypes"), QStringLiteral("Наличные"));
        FSalary = AddName(QStringLiteral("IncomeTypes"), QStringLiteral("Зарплата"));
        FFood = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Еда"));
        FManager = TTallysetManager::Create(FDB);
    }

    std::shared_ptr<TCommonJournal> NewJournal(TJournalClass journalClass)
    {
        return journalClass(FDB, FManager->AddQuery());
    }
    // The working period of December 2011 (by default), opened like the main window does.
    void OpenPeriod(TDateTime bdate = D(2011, 12, 1), TDateTime edate = D(2011, 12, 31), bool planned = false)
    {
        FManager->SetBDate(bdate);
        FManager->SetEDate(edate);
        FManager->SetPlannedInclude(planned);
        FManager->SetIDSet(QString());
        FManager->Refresh();
    }
    TJournalRecord Income(TDateTime date, double sum, bool planned = false)
    {
        TJournalRecord rec = TJournalRecord::Create(date);
        rec.IncomeCashType() = TLink::Create(FCard, QString());
        rec.IncomeType() = TLink::Create(FSalary, QString());
        rec.Sum = sum;
        rec.Planned = planned;
        return rec;
    }
    static QStringList IDs(const std::shared_ptr<TCommonJournal> &journal)
    {
        return Column(journal->GetQuery()->GetQuery(), QStringLiteral("ID"));
    }

    int FCard = 0, FCash = 0, FSalary = 0, FFood = 0;
    std::shared_ptr<TTallysetManager> FManager;
};

// Every journal kind stores its links in its own columns and reads them back.
struct TKindCase
{
    TJournalClass Class;
    TJournalKind Kind;
    const char *Table;
    const char *Link1Column;
    const char *Link2Column;
};

void PrintTo(const TKindCase &c, std::ostream *os)
{
    *os << c.Table;
}

class JournalKindsTest : public JournalsTest, public ::testing::WithParamInterface<TKindCase>
{
};

TEST_P(JournalKindsTest, AddStoresEveryFieldAndReadsItBack)
{
    const TKindCase c = GetParam();
    std::shared_ptr<TCommonJournal> journal = NewJournal(c.Class);
    EXPECT_EQ(journal->GetKind(), c.Kind);
    OpenPeriod();

    const int link2 = c.Kind == jkIncomes ? FSalary : c.Kind == jkExpenses ? FFood : FCash;
    const QString link2Name = c.Kind == jkIncomes   ? QStringLiteral("Зарплата")
                              : c.Kind == jkExpenses ? QStringLiteral("Еда")
                                                     : QStringLiteral("Наличные");
    TJournalRecord rec = TJournalRecord::Create(D(2011, 12, 5));
    rec.Link1 = TLink::Create(FCard, QString());
    rec.Link2 = TLink::Create(link2, QString());
    rec.Sum = 12.5;
    rec.Description = QStringLiteral("Сказал \"да\", 100%");
    rec.ID = 777;

    const TJournalRecord added = journal->AddRecord(rec);
    ASSERT_GT(added.ID, 0);
    EXPECT_NE(added.ID, 777);

    const QString where = QStringLiteral(" from %1 where ID = %2").arg(QLatin1String(c.Table)).arg(added.ID);
    EXPECT_EQ(Scalar(QStringLiteral("select %1").arg(QLatin1String(c.Link1Column)) + where).toInt(), FCard);
    EXPECT_EQ(Scalar(QStringLiteral("select %1").arg(QLatin1String(c.Link2Column)) + where).toInt(), link2);
    EXPECT_EQ(Scalar(QStringLiteral("select typeof(OperationDate) || ' ' || OperationDate") + where).toString(),
              QStringLiteral("text 2011-12-05"));
    EXPECT_EQ(Scalar(QStringLiteral("select SumValue") + where).toDouble(), 12.5);
    EXPECT_EQ(Scalar(QStringLiteral("select Planned") + where).toInt(), 0);
    EXPECT_EQ(Scalar(QStringLiteral("select Description") + where).toString(), rec.Description);

    const TJournalRecord read = journal->GetCurrentRecord();
    EXPECT_EQ(read.ID, added.ID);
    EXPECT_EQ(read.Date, D(2011, 12, 5));
    EXPECT_FALSE(read.Planned);
    EXPECT_EQ(read.Sum, 12.5);
    EXPECT_EQ(read.Description, rec.Description);
    EXPECT_EQ(read.Link1.ID, FCard);
    EXPECT_EQ(read.Link1.Name, QStringLiteral("Карта"));
    EXPECT_EQ(read.Link2.ID, link2);
    EXPECT_EQ(read.Link2.Name, link2Name);
}

INSTANTIATE_TEST_SUITE_P(Kinds, JournalKindsTest,
                         ::testing::Values(TKindCase{&TIncomesJournal::New, jkIncomes, "Incomes", "CashTypeID", "TypeID"},
                                           TKindCase{&TExpensesJournal::New, jkExpenses, "Expenses", "CashTypeID", "TypeID"},
                                           TKindCase{&TTransfersJournal::New, jkTransfers, "Transfers", "SrcCashTypeID",
                                                     "DstCashTypeID"}));

TEST_F(JournalsTest, AddPositionsOnTheNewRecordOnlyWhenItIsListed)
{
    std::shared_ptr<TCommonJournal> journal = NewJournal(&TIncomesJournal::New);
    const int first = AddIncome(D(2011, 12, 2), FSalary, FCard, 10);
    const int second = AddIncome(D(2011, 12, 3), FSalary, FCard, 20);
    OpenPeriod(D(2011, 12, 1), D(2011, 12, 30));

    const int inside = journal->AddRecord(Income(D(2011, 12, 10), 30)).ID;
    EXPECT_EQ(journal->GetCurrentRecord().ID, inside);

    const int after = journal->AddRecord(Income(D(2011, 12, 31), 40)).ID;
    EXPECT_EQ(Count(QStringLiteral("Incomes where ID = %1").arg(after)), 1);
    EXPECT_EQ(journal->GetCurrentRecord().ID, first);

    const int planned = journal->AddRecord(Income(D(2011, 12, 20), 50, true)).ID;
    EXPECT_EQ(Scalar(QStringLiteral("select Planned from Incomes where ID = %1").arg(planned)).toInt(), 1);
    EXPECT_EQ(journal->GetCurrentRecord().ID, first);
    EXPECT_EQ(IDs(journal), (QStringList{QString::number(first), QString::number(second), QString::number(inside)}));

    FManager->SetPlannedInclude(true);
    EXPECT_EQ(IDs(journal), (QStringList{QString::number(first), QString::number(second), QString::number(inside),
                                         QString::number(planned)}));
}

TEST_F(JournalsTest, UpdateRewritesTheRecordAndStaysOnIt)
{
    std::shared_ptr<TCommonJournal> journal = NewJournal(&TExpensesJournal::New);
    const int cafe = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Кафе"));
    const int first = AddExpense(D(2011, 12, 2), FFood, FCard, 10);
    const int second = AddExpense(D(2011, 12, 3), FFood, FCard, 20);
    OpenPeriod();

    TJournalRecord rec = TJournalRecord::Create(D(2011, 12, 4));
    rec.ID = second;
    rec.ExpenseCashType() = TLink::Create(FCash, QString());
    rec.ExpenseType() = TLink::Create(cafe, QString());
    rec.Sum = 99.999;
    rec.Planned = false;
    rec.Description = QStringLiteral("обед");
    journal->UpdateRecord(rec);

    const TJournalRecord read = journal->GetCurrentRecord();
    EXPECT_EQ(read.ID, second);
    EXPECT_EQ(read.Link1.Name, QStringLiteral("Наличные"));
    EXPECT_EQ(read.Link2.Name, QStringLiteral("Кафе"));
    EXPECT_EQ(read.Sum, 100.0);
    EXPECT_EQ(read.Date, D(2011, 12, 4));
    EXPECT_EQ(read.Description, QStringLiteral("обед"));
    EXPECT_EQ(Scalar(QStringLiteral("select SumValue from Expenses where ID = %1").arg(first)).toDouble(), 10.0);

    // An identity that no longer exists matches nothing and is not reported.
    rec.ID = second + 100;
    rec.Sum = 1;
    journal->UpdateRecord(rec);
    EXPECT_EQ(Scalar(QStringLiteral("select sum(SumValue) from Expenses")).toDouble(), 110.0);
}

TEST_F(JournalsTest, DeleteMovesToTheRowThatFollowed)
{
    std::shared_ptr<TCommonJournal> journal = NewJournal(&TTransfersJournal::New);
    journal->SetLib(std::make_shared<TCashTypesLib>(FDB), std::make_shared<TCashTypesLib>(FDB));
    const int a = AddTransfer(D(2011, 12, 1), FCard, FCash, 1);
    const int b = AddTransfer(D(2011, 12, 2), FCard, FCash, 2);
    const int c = AddTransfer(D(2011, 12, 3), FCash, FCard, 3);
    OpenPeriod();
    ASSERT_EQ(journal->GetCurrentRecord().ID, a);

    journal->DeleteCurrentRecord();
    EXPECT_EQ(Count(QStringLiteral("Transfers where ID = %1").arg(a)), 0);
    EXPECT_EQ(journal->GetCurrentRecord().ID, b);

    // Deleting the last row leaves the journal on one of the remaining rows.
    journal->GetQuery()->GetQuery()->LocateByID(c);
    journal->DeleteRecord(c);
    EXPECT_EQ(journal->GetCurrentRecord().ID, b);

    journal->DeleteCurrentRecord();
    EXPECT_TRUE(journal->GetQuery()->GetQuery()->IsEmpty());
    // On an empty journal the delete runs for identity -1 and matches nothing.
    AddTransfer(D(2012, 1, 5), FCard, FCash, 4);
    EXPECT_NO_THROW(journal->DeleteCurrentRecord());
    EXPECT_EQ(Count(QStringLiteral("Transfers")), 1);
}

TEST_F(JournalsTest, CurrentRecordOfAnEmptyJournalIsFresh)
{
    std::shared_ptr<TCommonJournal> journal = NewJournal(&TExpensesJournal::New);
    const TJournalRecord closed = journal->GetCurrentRecord();
    EXPECT_EQ(closed.ID, -1);
    OpenPeriod();
    const TDateTime before = Now();
    const TJournalRecord rec = journal->GetCurrentRecord();
    EXPECT_EQ(rec.ID, -1);
    EXPECT_EQ(rec.Link1.ID, -1);
    EXPECT_EQ(rec.Link2.ID, -1);
    EXPECT_EQ(rec.Sum, 0.0);
    EXPECT_FALSE(rec.Planned);
    EXPECT_TRUE(rec.Tags.isEmpty());
    EXPECT_LE(std::fabs(rec.Date - before), 1.0 / 24 / 60);
}

TEST_F(JournalsTest, SavingSwitchesTheDecimalSeparatorAndWritesAmountsWithTwoDecimals)
{
    std::shared_ptr<TCommonJournal> journal = NewJournal(&TIncomesJournal::New);
    OpenPeriod();
    FormatSettings().DecimalSeparator = QLatin1Char(',');
    const struct
    {
        double Sum;
        double Stored;
    } cases[] = {{1234.567, 1234.57}, {12.5, 12.5}, {-5.004, -5.0}};
    for (const auto &c : cases)
    {
        const int id = journal->AddRecord(Income(D(2011, 12, 1), c.Sum)).ID;
        EXPECT_EQ(Scalar(QStringLiteral("select SumValue from Incomes where ID = %1").arg(id)).toDouble(), c.Stored)
            << c.Sum;
    }
    EXPECT_EQ(FormatSettings().DecimalSeparator, QLatin1Char('.'));
}

TEST_F(JournalsTest, SavingNeverLeavesTheThousandsSeparatorEqualToTheDecimalOne)
{
    std::shared_ptr<TCommonJournal> journal = NewJournal(&TIncomesJournal::New);
    OpenPeriod();
    const QChar nbsp(0x00A0);
    const struct
    {
        QChar Decimal, Thousand; // before the save, as the locale gave them
        QString Shown;           // 1234567.891 with ",0.00" after the save
    } cases[] = {
        {QLatin1Char(','), QLatin1Char('.'), QStringLiteral("1\u00A0234\u00A0567.89")}, // de_DE
        {QLatin1Char(','), nbsp, QStringLiteral("1\u00A0234\u00A0567.89")},             // ru_RU
        {QLatin1Char('.'), QLatin1Char(','), QStringLiteral("1,234,567.89")},             // en_US
    };
    for (const auto &c : cases)
    {
        for (bool update : {false, true})
        {
            SCOPED_TRACE(QStringLiteral("%1%2 %3").arg(c.Decimal, c.Thousand).arg(update).toStdString());
            FormatSettings().DecimalSeparator = c.Decimal;
            FormatSettings().ThousandSeparator = c.Thousand;
            TJournalRecord rec = Income(D(2011, 12, 1), 1234567.891);
            if (update)
            {
                rec.ID = AddIncome(D(2011, 12, 1), FSalary, FCard, 1);
                journal->UpdateRecord(rec);
            }
            else
                journal->AddRecord(rec);
            EXPECT_EQ(FormatSettings().DecimalSeparator, QLatin1Char('.'));
            EXPECT_EQ(FormatFloat(QStringLiteral(",0.00"), 1234567.891), c.Shown);
        }
    }
}

TEST_F(JournalsTest, ListsAreHeldByIndex)
{
    std::shared_ptr<TCommonJournal> journal = NewJournal(&TIncomesJournal::New);
    auto cash = std::make_shared<TCashTypesLib>(FDB);
    auto kinds = std::make_shared<TIncomeTypesLib>(FDB);
    journal->SetLib(cash, kinds);
    EXPECT_EQ(journal->GetLib(0), cash);
    EXPECT_EQ(journal->GetLib(1), kinds);
    EXPECT_THROW(journal->GetLib(2), Exception);
    EXPECT_THROW(journal->GetLib(-1), Exception);
}

// A journal without a period manager follows the period set on itself.
TEST_F(JournalsTest, OwnQueryFollowsItsOwnPeriod)
{
    std::shared_ptr<TCommonJournal> journal = TIncomesJournal::New(FDB);
    const int nov = AddIncome(D(2011, 11, 30), FSalary, FCard, 1);
    const int dec = AddIncome(D(2011, 12, 1), FSalary, FCard, 2);
    const int planned = AddIncome(D(2011, 12, 2), FSalary, FCard, 3, true);
    journal->SetBDate(D(2011, 12, 1));
    journal->SetEDate(D(2011, 12, 31));
    journal->SetIncludePlanned(false);
    journal->Refresh();
    EXPECT_EQ(IDs(journal), QStringList{QString::number(dec)});
    journal->SetIncludePlanned(true);
    EXPECT_EQ(IDs(journal), (QStringList{QString::number(dec), QString::number(planned)}));
    journal->SetBDate(D(2011, 11, 1));
    EXPECT_EQ(IDs(journal), (QStringList{QString::number(nov), QString::number(dec), QString::number(planned)}));
}

} // namespace
