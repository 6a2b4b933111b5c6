#include "ModelFixture.h"

#include "db/Classes.TallysetManager.h"
#include "model/Classes.Journals.h"

namespace
{

class TagsTest : public TModelTest
{
protected:
    TagsTest()
    {
        FCard = AddName(QStringLiteral("CashTypes"), QStringLiteral("Карта"));
        FFood = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Еда"));
        FTravel = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Поездки"));
        AddName(QStringLiteral("Tags"), QStringLiteral("отпуск"));
        FManager = TTallysetManager::Create(FDB);
        FJournal = TExpensesJournal::New(FDB, FManager->AddQuery());
        FManager->SetBDate(D(2011, 12, 1));
        FManager->SetEDate(D(2011, 12, 31));
        FManager->SetPlannedInclude(true);
        FManager->SetIDSet(QString());
        FManager->Refresh();
    }

    TJournalRecord Expense(const QString &tags, double sum = 10, int typeID = 0)
    {
        TJournalRecord rec = TJournalRecord::Create(D(2011, 12, 5));
        rec.ExpenseCashType() = TLink::Create(FCard, QString());
        rec.ExpenseType() = TLink::Create(typeID ? typeID : FFood, QString());
        rec.Sum = sum;
        rec.Tags = tags;
        return rec;
    }
    // Names of the tags linked to the expense, in link order.
    QStringList Linked(int expenseID)
    {
        return Column(QStringLiteral("select t.Name as Name from ExpensesTags et inner join Tags t on t.ID = et.TagID "
                                     "where et.OwnerID = %1 order by et.rowid")
                          .arg(expenseID));
    }
    QStringList AllTags() { return Column(QStringLiteral("select Name from Tags order by ID")); }
    QString StoredText(int expenseID)
    {
        return Scalar(QStringLiteral("select Tags from Expenses where ID = %1").arg(expenseID)).toString();
    }

    int FCard = 0, FFood = 0, FTravel = 0;
    std::shared_ptr<TTallysetManager> FManager;
    std::shared_ptr<TCommonJournal> FJournal;
};

struct TTagTextCase
{
    const char *Text;
    QStringList Linked;
    QStringList AllTags;
};

void PrintTo(const TTagTextCase &c, std::ostream *os)
{
    *os << c.Text;
}

class TagTextTest : public TagsTest, public ::testing::WithParamInterface<TTagTextCase>
{
};

TEST_P(TagTextTest, ItemsBecomeLinksAndTheTextStaysAsTyped)
{
    const TTagTextCase c = GetParam();
    const QString text = QString::fromUtf8(c.Text);
    const int id = FJournal->AddRecord(Expense(text)).ID;
    EXPECT_EQ(Linked(id), c.Linked);
    EXPECT_EQ(AllTags(), c.AllTags);
    EXPECT_EQ(StoredText(id), text);
    EXPECT_EQ(FJournal->GetCurrentRecord().Tags, text);
}

const QString kHoliday = QStringLiteral("отпуск");
const QString kSea = QStringLiteral("море");

INSTANTIATE_TEST_SUITE_P(
    Texts, TagTextTest,
    ::testing::Values(TTagTextCase{"", {}, {kHoliday}},
                      TTagTextCase{"Отпуск", {kHoliday}, {kHoliday}},
                      TTagTextCase{"отпуск море", {kHoliday, kSea}, {kHoliday, kSea}},
                      TTagTextCase{"\"отпуск море\",еда",
                                   {QStringLiteral("отпуск море"), QStringLiteral("еда")},
                                   {kHoliday, QStringLiteral("отпуск море"), QStringLiteral("еда")}},
                      TTagTextCase{"a,,b", {"a", "b"}, {kHoliday, "a", "b"}},
                      TTagTextCase{"море,", {kSea}, {kHoliday, kSea}},
                      TTagTextCase{"\" \",,море", {kSea}, {kHoliday, kSea}},
                      TTagTextCase{"еда,Еда,ЕДА", {QStringLiteral("еда")}, {kHoliday, QStringLiteral("еда")}},
                      TTagTextCase{"море отпуск МОРЕ", {kSea, kHoliday}, {kHoliday, kSea}},
                      TTagTextCase{"50%,5_", {"50%", "5_"}, {kHoliday, "50%", "5_"}},
                      TTagTextCase{"\" отпуск\",\"море \"", {kHoliday, kSea}, {kHoliday, kSea}}));

TEST_F(TagsTest, UpdateRebuildsTheLinks)
{
    TJournalRecord rec = FJournal->AddRecord(Expense(QStringLiteral("a,b")));
    FJournal->UpdateRecord(rec);
    EXPECT_EQ(Linked(rec.ID), (QStringList{"a", "b"}));

    rec.Tags = QStringLiteral("b,c");
    FJournal->UpdateRecord(rec);
    EXPECT_EQ(Linked(rec.ID), (QStringList{"b", "c"}));
    EXPECT_EQ(AllTags(), (QStringList{kHoliday, "a", "b", "c"}));

    rec.Tags.clear();
    FJournal->UpdateRecord(rec);
    EXPECT_EQ(Linked(rec.ID), QStringList{});
    EXPECT_EQ(StoredText(rec.ID), QString());
}

TEST_F(TagsTest, SaveTagsStoresTheTextAndRefreshesTheJournalOntoTheExpense)
{
    const int first = FJournal->AddRecord(Expense(QString())).ID;
    const int second = AddExpense(D(2011, 12, 6), FFood, FCard, 5);
    FJournal->Refresh();
    ASSERT_EQ(FJournal->GetCurrentRecord().ID, first);

    FJournal->GetTagsManager()->SaveTags(QStringLiteral("Кафе \"Ромашка\" море"), second);
    EXPECT_EQ(FJournal->GetCurrentRecord().ID, second);
    EXPECT_EQ(FJournal->GetCurrentRecord().Tags, QStringLiteral("Кафе \"Ромашка\" море"));
    EXPECT_EQ(Linked(second), (QStringList{QStringLiteral("Кафе"), QStringLiteral("Ромашка"), kSea}));
}

TEST_F(TagsTest, TagsByTypeListsEachTagOnceInNameOrder)
{
    FJournal->AddRecord(Expense(QStringLiteral("море,отпуск")));
    FJournal->AddRecord(Expense(QStringLiteral("Отпуск,Автобус")));
    FJournal->AddRecord(Expense(QString(), 10, FTravel));

    TStrings food;
    FJournal->GetTagsManager()->GetTagsByType(FFood, food);
    EXPECT_EQ(food.ToStringList(), (QStringList{QStringLiteral("Автобус"), kSea, kHoliday}));
    EXPECT_EQ(food.Objects(2), Scalar(QStringLiteral("select ID from Tags where Name = 'отпуск'")).toInt());

    TStrings travel;
    travel.AddObject(QStringLiteral("old"), 1);
    FJournal->GetTagsManager()->GetTagsByType(FTravel, travel);
    EXPECT_EQ(travel.Count(), 0);
}

// A statement of the save fails part-way: nothing of the save stays, and the
// engine's error reaches the caller.
TEST_F(TagsTest, FailedAddLeavesNothing)
{
    ExecNative("CREATE TRIGGER fail_second_link BEFORE INSERT ON ExpensesTags "
               "WHEN (SELECT count(*) FROM ExpensesTags WHERE OwnerID = NEW.OwnerID) >= 1 "
               "BEGIN SELECT RAISE(ABORT, 'injected failure'); END");
    try
    {
        FJournal->AddRecord(Expense(QStringLiteral("новый,отпуск")));
        ADD_FAILURE() << "the save went through";
    }
    catch (const EDatabaseError &e)
    {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("injected failure"))) << e.Message().toStdString();
    }
    EXPECT_EQ(Count(QStringLiteral("Expenses")), 0);
    EXPECT_EQ(Count(QStringLiteral("ExpensesTags")), 0);
    EXPECT_EQ(AllTags(), QStringList{kHoliday});
    EXPECT_EQ(FDB->Engine().TransactionDepth(), 0);

    // The connection goes on working, and a save that succeeds is committed.
    ExecNative("DROP TRIGGER fail_second_link");
    const int id = FJournal->AddRecord(Expense(QStringLiteral("новый,отпуск"))).ID;
    auto other = FTemp.OpenConnection();
    EXPECT_EQ(other->Select(QStringLiteral("select count(*) from ExpensesTags where OwnerID = %1").arg(id))->Rows.at(0).at(0).toInt(), 2);
}

TEST_F(TagsTest, FailedUpdateKeepsTheOldRecordLinksAndTags)
{
    TJournalRecord rec = Expense(QStringLiteral("отпуск"));
    rec.Description = QStringLiteral("старое");
    rec = FJournal->AddRecord(rec);
    ExecNative("CREATE TRIGGER fail_tag_text BEFORE UPDATE OF Tags ON Expenses "
               "BEGIN SELECT RAISE(ABORT, 'injected failure'); END");

    TJournalRecord changed = rec;
    changed.Sum = 20;
    changed.Description = QStringLiteral("новое");
    changed.Tags = QStringLiteral("море,новый");
    EXPECT_THROW(FJournal->UpdateRecord(changed), EDatabaseError);

    EXPECT_EQ(Scalar(QStringLiteral("select SumValue from Expenses where ID = %1").arg(rec.ID)).toDouble(), 10.0);
    EXPECT_EQ(Scalar(QStringLiteral("select Description from Expenses where ID = %1").arg(rec.ID)).toString(),
              QStringLiteral("старое"));
    EXPECT_EQ(StoredText(rec.ID), QStringLiteral("отпуск"));
    EXPECT_EQ(Linked(rec.ID), QStringList{kHoliday});
    EXPECT_EQ(AllTags(), QStringList{kHoliday});

    // The tags manager on its own is whole as well.
    EXPECT_THROW(FJournal->GetTagsManager()->SaveTags(QStringLiteral("море"), rec.ID), EDatabaseError);
    EXPECT_EQ(Linked(rec.ID), QStringList{kHoliday});
    EXPECT_EQ(AllTags(), QStringList{kHoliday});
    EXPECT_EQ(FDB->Engine().TransactionDepth(), 0);
}

} // namespace
