#include "EditorFixture.h"

#include "app/LibEditor.h"
#include "controls/ZarnLib.Components.ZarnImgButton.h"
#include "db/Constants.h"
#include "platform/Format.h"
#include "platform/widgets/ActionList.h"
#include "platform/widgets/DBGridEh.h"

#include <QHeaderView>
#include <memory>

namespace
{

class LibEditorTest : public TEditorTest
{
protected:
    std::unique_ptr<TFLibEditor> Open(const ITallysetLibPtr &lib)
    {
        auto editor = std::make_unique<TFLibEditor>();
        editor->Initialize(lib);
        editor->show();
        editor->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(editor.get()));
        editor->dbgLib->setFocus();
        return editor;
    }
    // The names the grid's dataset holds, in row order, and the current one.
    static QStringList Rows(TFLibEditor &e)
    {
        QStringList names;
        TDataSet *data = e.dbgLib->DataSet();
        const int recNo = data->RecNo();
        for (data->First(); !data->Eof(); data->Next())
            names << data->FieldByName(QStringLiteral("Name"))->AsString();
        data->SetRecNo(recNo);
        return names;
    }
    static QString Current(TFLibEditor &e) { return e.Lib()->GetCurrentRecord().Name; }
    static void Click(TCustomZarnImgButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    static void Key(TFLibEditor &e, Qt::Key key) { QTest::keyClick(e.dbgLib, key); }
    // Counts the calls of the list's refresh handler.
    void CountRefreshes(const ITallysetLibPtr &lib)
    {
        lib->SetLibRefreshHandler([this](ITallysetLib &) { ++FRefreshes; });
    }
    void Seed()
    {
        FCard = AddName(QStringLiteral("CashTypes"), QStringLiteral("Карта"));
        FCash = AddName(QStringLiteral("CashTypes"), QStringLiteral("Наличные"));
        FBank = AddName(QStringLiteral("CashTypes"), QStringLiteral("Вклад"));
    }

    int FCard = 0, FCash = 0, FBank = 0;
    int FRefreshes = 0;
};

TEST_F(LibEditorTest, ShowsTheListInNameOrderUnderItsCaption)
{
    Seed();
    auto e = Open(FCashTypes);
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Справочник \"Виды денежных средств\""));
    EXPECT_EQ(Rows(*e), (QStringList{QStringLiteral("Вклад"), QStringLiteral("Карта"), QStringLiteral("Наличные")}));
    ASSERT_EQ(e->dbgLib->ColumnCount(), 1);
    EXPECT_EQ(e->dbgLib->Columns(0)->Title(), QStringLiteral("Наименование"));
    EXPECT_EQ(e->dbgLib->Columns(0)->FieldName(), QStringLiteral("Name"));
    EXPECT_EQ(e->dbgLib->ColumnWidth(0), 200);
    EXPECT_EQ(e->acAddRecord->ShortCut(), QKeySequence(Qt::Key_Insert));
    EXPECT_EQ(e->acDeleteRecord->ShortCut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(e->acExit->ShortCut(), QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(e->acEditRecord->shortcuts().contains(QKeySequence(Qt::Key_Return)));

    // A title click marks the column but the entries stay in name order.
    const QHeaderView *header = e->dbgLib->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 50, 5));
    EXPECT_EQ(Rows(*e), (QStringList{QStringLiteral("Вклад"), QStringLiteral("Карта"), QStringLiteral("Наличные")}));
}

TEST_F(LibEditorTest, EmptyListDisablesRenameAndDeleteButNotAdd)
{
    auto e = Open(FIncomeTypes);
    e->alLibEditor->UpdateActions();
    EXPECT_FALSE(e->acEditRecord->isEnabled());
    EXPECT_FALSE(e->acDeleteRecord->isEnabled());
    EXPECT_FALSE(e->btEdit->isEnabled());
    EXPECT_FALSE(e->btDelete->isEnabled());
    EXPECT_TRUE(e->acAddRecord->isEnabled());
    EXPECT_TRUE(e->btAdd->isEnabled());
    EXPECT_TRUE(e->acExit->isEnabled());
    // Neither the keys nor the buttons ask anything.
    Key(*e, Qt::Key_Delete);
    Key(*e, Qt::Key_Return);
    Click(e->btDelete);
    Click(e->btEdit);
    EXPECT_EQ(FDialogs->Count(), 0);

    FDialogs->AnswerInput(QStringLiteral("Зарплата"));
    Click(e->btAdd);
    e->alLibEditor->UpdateActions();
    EXPECT_TRUE(e->acEditRecord->isEnabled());
    EXPECT_TRUE(e->btDelete->isEnabled());
}

TEST_F(LibEditorTest, AddAsksForTheNameAndCancelAddsNothing)
{
    Seed();
    CountRefreshes(FCashTypes);
    auto e = Open(FCashTypes);
    FDialogs->AnswerCancel();
    Click(e->btAdd);
    ASSERT_EQ(FDialogs->Count(), 1);
    const TRecordedDialog &box = FDialogs->Last();
    EXPECT_EQ(box.Kind, TRecordedDialog::TKind::Input);
    EXPECT_EQ(box.Caption, QStringLiteral("Добавление записи"));
    EXPECT_EQ(box.Text, QStringLiteral("Укажите наименование для новой записи"));
    EXPECT_EQ(box.InitialValue, QStringLiteral("Новая запись"));
    EXPECT_EQ(Count(QStringLiteral("CashTypes")), 3);
    EXPECT_EQ(FRefreshes, 0);
}

TEST_F(LibEditorTest, InsertAddsTheNameStandsOnItAndNotifiesTheList)
{
    Seed();
    CountRefreshes(FCashTypes);
    auto e = Open(FCashTypes);
    FDialogs->AnswerInput(QStringLiteral("Биржа"));
    Key(*e, Qt::Key_Insert);
    EXPECT_EQ(FDialogs->Count(), 1);
    EXPECT_EQ(Rows(*e), (QStringList{QStringLiteral("Биржа"), QStringLiteral("Вклад"), QStringLiteral("Карта"),
                                     QStringLiteral("Наличные")}));
    EXPECT_EQ(Current(*e), QStringLiteral("Биржа"));
    EXPECT_EQ(e->dbgLib->currentIndex().row(), 0);
    EXPECT_EQ(FRefreshes, 1);
}

TEST_F(LibEditorTest, AddOfAnExistingNameInOtherLetterCaseIsRefused)
{
    Seed();
    CountRefreshes(FCashTypes);
    auto e = Open(FCashTypes);
    FDialogs->AnswerInput(QStringLiteral("кАРТА"));
    Click(e->btAdd);
    EXPECT_EQ(FDialogs->MessageTexts(), QStringList{c_msgRecordAlreadyExists});
    EXPECT_EQ(Rows(*e), (QStringList{QStringLiteral("Вклад"), QStringLiteral("Карта"), QStringLiteral("Наличные")}));
    EXPECT_EQ(FRefreshes, 0);
}

TEST_F(LibEditorTest, BlankNamesAreRefusedAndLongNamesKeptWhole)
{
    Seed();
    CountRefreshes(FCashTypes);
    auto e = Open(FCashTypes);
    FDialogs->AnswerInput(QStringLiteral("   "));
    Click(e->btAdd);
    FDialogs->AnswerInput(QString());
    Key(*e, Qt::Key_Return);
    EXPECT_EQ(FDialogs->MessageTexts(), (QStringList{c_msgEmptyLibRecordName, c_msgEmptyLibRecordName}));
    EXPECT_EQ(Rows(*e), (QStringList{QStringLiteral("Вклад"), QStringLiteral("Карта"), QStringLiteral("Наличные")}));
    EXPECT_EQ(FRefreshes, 0);

    const QString longName = QString(10000, QChar(0x044F));
    FDialogs->AnswerInput(longName);
    Click(e->btAdd);
    EXPECT_EQ(Current(*e), longName);
    EXPECT_EQ(Scalar(QStringLiteral("select max(length(Name)) from CashTypes")).toInt(), 10000);
}

TEST_F(LibEditorTest, EnterRenamesTheCurrentEntry)
{
    Seed();
    CountRefreshes(FCashTypes);
    auto e = Open(FCashTypes);
    FCashTypes->GetQuery()->LocateByID(FCard);
    FDialogs->AnswerInput(QStringLiteral("Кредитка"));
    Key(*e, Qt::Key_Return);
    ASSERT_EQ(FDialogs->Count(), 1);
    EXPECT_EQ(FDialogs->Last().Caption, QStringLiteral("Изменение записи"));
    EXPECT_EQ(FDialogs->Last().Text, QStringLiteral("Укажите новое наименование для записи"));
    EXPECT_EQ(FDialogs->Last().InitialValue, QStringLiteral("Карта"));
    EXPECT_EQ(Scalar(QStringLiteral("select Name from CashTypes where ID = %1").arg(FCard)).toString(),
              QStringLiteral("Кредитка"));
    EXPECT_EQ(Current(*e), QStringLiteral("Кредитка"));
    EXPECT_EQ(FRefreshes, 1);

    // The grid's double-click renames as well; Cancel changes nothing.
    FDialogs->AnswerCancel();
    const QRect row = e->dbgLib->visualRect(e->dbgLib->model()->index(0, 0));
    QTest::mouseDClick(e->dbgLib->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(FDialogs->Count(), 2);
    EXPECT_EQ(FDialogs->Last().InitialValue, QStringLiteral("Вклад"));
    EXPECT_EQ(FRefreshes, 1);
}

TEST_F(LibEditorTest, RenameToAnotherEntrysNameIsRefused)
{
    Seed();
    CountRefreshes(FCashTypes);
    auto e = Open(FCashTypes);
    FCashTypes->GetQuery()->LocateByID(FCard);
    FDialogs->AnswerInput(QStringLiteral("наличные"));
    Click(e->btEdit);
    EXPECT_EQ(FDialogs->MessageTexts(), QStringList{c_msgRecordAlreadyExists});
    EXPECT_EQ(Column(QStringLiteral("select Name from CashTypes order by ID")),
              (QStringList{QStringLiteral("Карта"), QStringLiteral("Наличные"), QStringLiteral("Вклад")}));
    EXPECT_EQ(FRefreshes, 0);

    // Its own name in other letter case is a rename.
    FDialogs->AnswerInput(QStringLiteral("КАРТА"));
    Click(e->btEdit);
    EXPECT_EQ(Scalar(QStringLiteral("select Name from CashTypes where ID = %1").arg(FCard)).toString(),
              QStringLiteral("КАРТА"));
    EXPECT_EQ(FRefreshes, 1);
}

TEST_F(LibEditorTest, DeleteAsksAndRemovesTheEntryOnYesOnly)
{
    Seed();
    CountRefreshes(FCashTypes);
    auto e = Open(FCashTypes);
    FCashTypes->GetQuery()->LocateByID(FCash);
    FDialogs->AnswerNo();
    Key(*e, Qt::Key_Delete);
    EXPECT_EQ(FDialogs->QuestionTexts(), QStringList{QStringLiteral("Удалить запись \"Наличные\"?")});
    EXPECT_EQ(Count(QStringLiteral("CashTypes")), 3);

    FDialogs->AnswerYes();
    Click(e->btDelete);
    EXPECT_EQ(Rows(*e), (QStringList{QStringLiteral("Вклад"), QStringLiteral("Карта")}));
    EXPECT_EQ(Current(*e), QStringLiteral("Вклад"));
    EXPECT_EQ(e->dbgLib->currentIndex().row(), 0);
    EXPECT_EQ(FRefreshes, 1);
}

TEST_F(LibEditorTest, DeleteOfAnEntryInUseIsShownAndLosesNothing)
{
    Seed();
    const int food = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Еда"));
    FDB->ExecSQL(QStringLiteral("insert into Expenses(TypeID, CashTypeID, OperationDate, SumValue, Planned) "
                                "values(%1, %2, #12/1/2011#, 5, 0)")
                     .arg(food)
                     .arg(FCard));
    CountRefreshes(FCashTypes);
    auto e = Open(FCashTypes);
    FCashTypes->GetQuery()->LocateByID(FCard);
    FDialogs->AnswerYes();
    Key(*e, Qt::Key_Delete);
    ASSERT_EQ(FDialogs->Count(), 2);
    EXPECT_EQ(FDialogs->Last().Kind, TRecordedDialog::TKind::Message);
    EXPECT_EQ(FDialogs->Last().Type, TMsgDlgType::mtError);
    EXPECT_EQ(FDialogs->Last().Text, c_msgRecordInUse);
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(Rows(*e), (QStringList{QStringLiteral("Вклад"), QStringLiteral("Карта"), QStringLiteral("Наличные")}));
    EXPECT_EQ(Count(QStringLiteral("Expenses")), 1);
    EXPECT_EQ(FRefreshes, 0);
    // The window goes on working.
    FDialogs->AnswerInput(QStringLiteral("Сейф"));
    Key(*e, Qt::Key_Insert);
    EXPECT_EQ(Count(QStringLiteral("CashTypes")), 4);
}

TEST_F(LibEditorTest, PlacementAndColumnWidthsAreKeptPerListAndSharedForTheGrid)
{
    Seed();
    {
        auto e = Open(FCashTypes);
        e->resize(500, 420);
        e->dbgLib->SetColumnWidth(0, 260);
        Key(*e, Qt::Key_Escape);
        EXPECT_FALSE(e->isVisible());
    }
    EXPECT_EQ(Ini(QStringLiteral("lib_editor_CashTypes"), QStringLiteral("Width")), QStringLiteral("500"));
    EXPECT_EQ(Ini(QStringLiteral("lib_editor_CashTypes"), QStringLiteral("Height")), QStringLiteral("420"));
    EXPECT_EQ(Ini(QStringLiteral("gridLib"), QStringLiteral("col_0")), QStringLiteral("260"));
    EXPECT_EQ(Ini(QStringLiteral("lib_editor_IncomeTypes"), QStringLiteral("Width")), QStringLiteral("<missing>"));

    auto again = Open(FCashTypes);
    EXPECT_EQ(again->size(), QSize(500, 420));
    EXPECT_EQ(again->dbgLib->ColumnWidth(0), 260);
    auto other = Open(FIncomeTypes);
    EXPECT_EQ(other->size(), QSize(415, 360));
    EXPECT_EQ(other->dbgLib->ColumnWidth(0), 260);
    EXPECT_EQ(other->SettingsSection(), QStringLiteral("lib_editor_IncomeTypes"));
    other->close();
    EXPECT_EQ(Ini(QStringLiteral("lib_editor_IncomeTypes"), QStringLiteral("Width")), QStringLiteral("415"));
}

TEST_F(LibEditorTest, EntryPointShowsTheListModallyUntilEsc)
{
    Seed();
    QString caption;
    QStringList rows;
    WhenModal([&](QWidget *modal) {
        auto *e = qobject_cast<TFLibEditor *>(modal);
        if (e == nullptr) {
            ADD_FAILURE() << "the list editor did not open";
            modal->close();
            return;
        }
        caption = e->windowTitle();
        rows = Rows(*e);
        e->activateWindow();
        QTest::keyClick(e->dbgLib, Qt::Key_Escape);
    });
    LibEdit(FExpenseTypes);
    EXPECT_EQ(caption, QStringLiteral("Справочник \"Виды расходов\""));
    EXPECT_EQ(rows, QStringList());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(LibEditorTest, Screenshot)
{
    Seed();
    AddName(QStringLiteral("CashTypes"), QStringLiteral("Банковская карта «Мир»"));
    auto e = Open(FCashTypes);
    const QString path = SaveScreenshot(e.get(), QStringLiteral("lib_editor"));
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(e->btAdd->geometry(), QRect(0, 0, 80, 25));
    EXPECT_EQ(e->btEdit->geometry(), QRect(90, 0, 105, 25));
    EXPECT_EQ(e->btDelete->geometry(), QRect(205, 0, 75, 25));
    EXPECT_EQ(e->dbgLib->geometry(), QRect(0, 25, e->width(), e->height() - 25));
    auto empty = Open(FIncomeTypes);
    SaveScreenshot(empty.get(), QStringLiteral("lib_editor_empty"));
}

} // namespace
