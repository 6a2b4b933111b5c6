#include "ModelFixture.h"

#include "db/Constants.h"
#include "model/Classes.Libs.h"

namespace
{

class LibsTest : public TModelTest
{
protected:
    LibsTest() : FLib(std::make_shared<TExpenseTypesLib>(FDB))
    {
        FLib->SetLibRefreshHandler([this](ITallysetLib &lib) {
            EXPECT_EQ(&lib, FLib.get());
            ++FNotified;
        });
    }
    QStringList Names() { return Column(QStringLiteral("select Name from ExpenseTypes order by ID")); }

    std::shared_ptr<TCommonLib> FLib;
    int FNotified = 0;
};

// An existing name and a name added next to it: either a duplicate (in any
// letter case and alphabet) or a distinct name that only the engine's pattern
// characters would have matched.
struct TAddCase
{
    const char *Existing;
    const char *Added;
    bool Duplicate;
};

void PrintTo(const TAddCase &c, std::ostream *os)
{
    *os << c.Existing << " / " << c.Added;
}

class LibsAddTest : public LibsTest, public ::testing::WithParamInterface<TAddCase>
{
};

TEST_P(LibsAddTest, DuplicateOrNew)
{
    const TAddCase c = GetParam();
    const int other = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Другое"));
    const int existing = AddName(QStringLiteral("ExpenseTypes"), QString::fromUtf8(c.Existing));
    FLib->Refresh();
    FLib->GetQuery()->LocateByID(other);

    TLibRecord rec = TLibRecord::Create(QString::fromUtf8(c.Added), -1);
    FLib->AddLibRecord(rec);

    if (c.Duplicate)
    {
        EXPECT_EQ(rec.ID, existing);
        EXPECT_EQ(FDialogs->MessageTexts(), QStringList{c_msgRecordAlreadyExists});
        EXPECT_EQ(Names(), (QStringList{QStringLiteral("Другое"), QString::fromUtf8(c.Existing)}));
        EXPECT_EQ(FNotified, 0);
    }
    else
    {
        EXPECT_GT(rec.ID, existing);
        EXPECT_EQ(FDialogs->Count(), 0);
        EXPECT_EQ(Names(), (QStringList{QStringLiteral("Другое"), QString::fromUtf8(c.Existing),
                                        QString::fromUtf8(c.Added)}));
        EXPECT_EQ(FNotified, 1);
        EXPECT_EQ(FLib->GetRecordID(QString::fromUtf8(c.Added)), rec.ID);
    }
    // The view stands on the entry of that name, new or existing.
    EXPECT_EQ(FLib->GetCurrentRecord().ID, rec.ID);
}

INSTANTIATE_TEST_SUITE_P(Names, LibsAddTest,
                         ::testing::Values(TAddCase{"еда", "Еда", true},
                                           TAddCase{"ЁЛКА", "ёлка", true},
                                           TAddCase{"Food", "FOOD", true},
                                           TAddCase{"Кафе \"Ромашка\"", "кафе \"ромашка\"", true},
                                           TAddCase{"50 рублей", "50%", false},
                                           TAddCase{"a1b", "a_b", false},
                                           TAddCase{"x", "[x]", false},
                                           TAddCase{"Кафе \"Ромашка\"", "Кафе \"Ромашка", false},
                                           TAddCase{"Кафе", "Кафе \"Ромашка\"", false}));

TEST_F(LibsTest, GetRecordIDMatchesPatternCharactersLiterally)
{
    const int percent = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("50%"));
    const int bracket = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("[a]_b"));
    EXPECT_EQ(FLib->GetRecordID(QStringLiteral("50%")), percent);
    EXPECT_EQ(FLib->GetRecordID(QStringLiteral("[A]_B")), bracket);
    EXPECT_EQ(FLib->GetRecordID(QStringLiteral("50")), -1);
    EXPECT_EQ(FLib->GetRecordID(QStringLiteral("5%")), -1);
    EXPECT_EQ(FLib->GetRecordID(QStringLiteral("%")), -1);
    EXPECT_EQ(FLib->GetRecordID(QStringLiteral("[a]xb")), -1);
}

TEST_F(LibsTest, RenameKeepsOwnNameInOtherCaseAndRefusesAnothersName)
{
    const int food = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("еда"));
    const int taxi = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Такси"));
    FLib->Refresh();
    FLib->GetQuery()->LocateByID(food);

    FLib->EditLibRecord(TLibRecord::Create(QStringLiteral("Еда"), food));
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Еда"), QStringLiteral("Такси")}));
    EXPECT_EQ(FLib->GetCurrentRecord().Name, QStringLiteral("Еда"));
    EXPECT_EQ(FNotified, 1);

    FLib->EditLibRecord(TLibRecord::Create(QStringLiteral("ТАКСИ"), food));
    EXPECT_EQ(FDialogs->MessageTexts(), QStringList{c_msgRecordAlreadyExists});
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Еда"), QStringLiteral("Такси")}));
    EXPECT_EQ(FNotified, 1);

    FLib->EditLibRecord(TLibRecord::Create(QStringLiteral("Такси \"Лидер\""), taxi));
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Еда"), QStringLiteral("Такси \"Лидер\"")}));
    EXPECT_EQ(FLib->GetRecordID(QStringLiteral("такси \"лидер\"")), taxi);
    // The view stays on the entry it showed.
    EXPECT_EQ(FLib->GetCurrentRecord().ID, food);
}

TEST_F(LibsTest, ConfirmAddAsksOnlyForMissingNames)
{
    const int food = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("еда"));

    const TLibRecord existing = FLib->ConfirmAdd(QStringLiteral("ЕДА"));
    EXPECT_EQ(existing.ID, food);
    EXPECT_EQ(existing.Name, QStringLiteral("ЕДА"));
    EXPECT_EQ(FDialogs->Count(), 0);

    FDialogs->AnswerNo();
    const TLibRecord refused = FLib->ConfirmAdd(QStringLiteral("Такси"));
    EXPECT_EQ(refused.ID, -1);
    EXPECT_EQ(FDialogs->QuestionTexts(),
              QStringList{QStringLiteral("Запись \"Такси\" не найдена в справочнике! Добавить?")});
    EXPECT_EQ(Names(), QStringList{QStringLiteral("еда")});

    FDialogs->AnswerYes();
    const TLibRecord added = FLib->ConfirmAdd(QStringLiteral("Такси"));
    EXPECT_GT(added.ID, food);
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("еда"), QStringLiteral("Такси")}));
    EXPECT_EQ(FLib->GetCurrentRecord().ID, added.ID);
    EXPECT_EQ(FNotified, 1);
}

TEST_F(LibsTest, ViewPositionAndCurrentRecord)
{
    EXPECT_EQ(FLib->GetCurrentRecord().ID, -1);
    EXPECT_EQ(FLib->GetCurrentRecord().Name, QString());

    AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("банк"));
    const int alpha = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Альфа"));
    const int deposit = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Вклад"));
    FLib->Refresh();
    EXPECT_EQ(Column(FLib->GetQuery(), QStringLiteral("Name")),
              (QStringList{QStringLiteral("Альфа"), QStringLiteral("банк"), QStringLiteral("Вклад")}));

    // A refresh keeps the entry the view showed.
    FLib->GetQuery()->LocateByID(deposit);
    AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Аванс"));
    FLib->Refresh();
    EXPECT_EQ(FLib->GetCurrentRecord().Name, QStringLiteral("Вклад"));

    // Deleting the shown entry puts the view on its first row; another entry stays shown.
    FLib->DeleteRecord(deposit);
    EXPECT_EQ(FLib->GetCurrentRecord().Name, QStringLiteral("Аванс"));
    FLib->GetQuery()->LocateByID(alpha);
    FLib->DeleteRecord(FLib->GetRecordID(QStringLiteral("банк")));
    EXPECT_EQ(FLib->GetCurrentRecord().ID, alpha);
    EXPECT_EQ(FNotified, 2);

    TStrings items;
    items.AddObject(QStringLiteral("old"), 99);
    FLib->ToStrings(items);
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items[0], QStringLiteral("Аванс"));
    EXPECT_EQ(items[1], QStringLiteral("Альфа"));
    EXPECT_EQ(items.Objects(1), alpha);
}

TEST_F(LibsTest, DeletingAnEntryInUseIsRefusedWithAMessage)
{
    const int cash = AddName(QStringLiteral("CashTypes"), QStringLiteral("Кошелёк"));
    const int food = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Еда"));
    const int tag = AddName(QStringLiteral("Tags"), QStringLiteral("отпуск"));
    const int expense = AddExpense(D(2011, 12, 1), food, cash, 10);
    LinkTag(expense, tag);

    auto cashTypes = std::make_shared<TCashTypesLib>(FDB);
    auto tags = std::make_shared<TTagsLib>(FDB);
    FLib->Refresh();
    for (const auto &[lib, id] : {std::pair<std::shared_ptr<TCommonLib>, int>{FLib, food}, {cashTypes, cash}, {tags, tag}})
    {
        SCOPED_TRACE(lib->GetLibAlias().toStdString());
        try
        {
            lib->DeleteRecord(id);
            ADD_FAILURE() << "delete of an entry in use went through";
        }
        catch (const Exception &e)
        {
            EXPECT_EQ(e.Message(), c_msgRecordInUse);
        }
        EXPECT_EQ(lib->GetRecordID(Scalar(QStringLiteral("select Name from %1 where ID = %2")
                                              .arg(lib->GetLibAlias())
                                              .arg(id))
                                       .toString()),
                  id);
    }
    EXPECT_EQ(FNotified, 0);
    EXPECT_EQ(FLib->GetCurrentRecord().ID, food);
    EXPECT_EQ(Count(QStringLiteral("ExpensesTags")), 1);
}

// Each list works on its own table under its own names.
TEST_F(LibsTest, EachListOwnsItsTable)
{
    struct TCase
    {
        std::shared_ptr<TCommonLib> Lib;
        QString Table;
        QString Name;
    };
    const TCase cases[] = {
        {std::make_shared<TIncomeTypesLib>(FDB), QStringLiteral("IncomeTypes"), QStringLiteral("Виды доходов")},
        {std::make_shared<TExpenseTypesLib>(FDB), QStringLiteral("ExpenseTypes"), QStringLiteral("Виды расходов")},
        {std::make_shared<TCashTypesLib>(FDB), QStringLiteral("CashTypes"), QStringLiteral("Виды денежных средств")},
        {std::make_shared<TTagsLib>(FDB), QStringLiteral("Tags"), QStringLiteral("Теги")},
    };
    for (const TCase &c : cases)
    {
        SCOPED_TRACE(c.Table.toStdString());
        TLibRecord rec = TLibRecord::Create(QStringLiteral("Запись ") + c.Table, -1);
        c.Lib->AddLibRecord(rec);
        EXPECT_EQ(Scalar(QStringLiteral("select Name from %1 where ID = %2").arg(c.Table).arg(rec.ID)).toString(),
                  rec.Name);
        EXPECT_EQ(c.Lib->GetLibAlias(), c.Table);
        EXPECT_EQ(c.Lib->GetLibName(), c.Name);
    }
    EXPECT_EQ(Count(QStringLiteral("ExpenseTypes")), 1);
}

} // namespace
