// The main window on a real database in a sandboxed data folder: start-up and
// settings, the working period, pages and enable rules, the posted actions,
// the smart filter, sorting, painting, the reports and diagrams pages.
#include "app/Main.h"
#include "controls/ZarnLib.Components.ZarnImgButton.h"
#include "db/DBEngine.ManagedQueries.h"
#include "db/Utils.h"
#include "platform/DataSet.h"
#include "platform/Format.h"
#include "platform/widgets/ActionList.h"
#include "platform/widgets/Chart.h"
#include "platform/widgets/DBGridEh.h"
#include "platform/widgets/DateEdit.h"
#include "sidepanel/TaskBar.CashTypeFilterFrame.h"
#include "support/RecordingDialogHook.h"
#include "support/ui/CheckList.h"
#include "support/ui/MainWindowEnv.h"

#include <QApplication>
#include <QBarSet>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QPieSeries>
#include <QPieSlice>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <functional>

namespace {

QString Param(const ITallysetCustomJournalPtr &journal, const char *name)
{
    auto query = std::dynamic_pointer_cast<TParametricQuery>(journal->GetQuery());
    return query ? query->Param(QLatin1String(name)) : QStringLiteral("<no parametric query>");
}

TDataSet *Data(const ITallysetCustomJournalPtr &journal)
{
    return journal->GetQuery()->GetQuery()->GetData();
}

TDateTime Day(int year, int month, int day)
{
    return EncodeDate(year, month, day);
}

QPoint CellCenter(TDBGridEh *grid, int row, int column)
{
    return grid->visualRect(grid->model()->index(row, column)).center();
}

void ClickTitle(TDBGridEh *grid, int column, Qt::KeyboardModifiers modifiers = {})
{
    QHeaderView *header = grid->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, modifiers, at);
}

void ClickItem(QListWidget *list, int row)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

struct TEditorCall
{
    ITallysetJournalPtr Journal;
    TEditorMode Mode;
};

class MainTest : public ::testing::Test
{
protected:
    void TearDown() override { Window.reset(); }

    // The window with the editors replaced by recorders.
    void Open()
    {
        Window = Env.Open();
        Window->JournalEditor = [this](const ITallysetJournalPtr &journal, TEditorMode mode) {
            EditorCalls.append({journal, mode});
            if (OnEditor)
                OnEditor(journal, mode);
        };
        Window->LibEditor = [this](const ITallysetLibPtr &lib) { LibCalls.append(lib); };
    }

    // Cash types "Карта" and "Наличные", income types, expense types "Еда" and "Транспорт".
    void AddLists()
    {
        Card = Env.AddCashType(QStringLiteral("Карта"));
        Cash = Env.AddCashType(QStringLiteral("Наличные"));
        Salary = Env.AddIncomeType(QStringLiteral("Зарплата"));
        Bonus = Env.AddIncomeType(QStringLiteral("Премия"));
        Food = Env.AddExpenseType(QStringLiteral("Еда"));
        Transport = Env.AddExpenseType(QStringLiteral("Транспорт"));
    }

    void UsePeriod(const char *bdate, const char *edate)
    {
        Env.WriteIni(QStringLiteral("[main]\nbdate=%1\nedate=%2\n").arg(QLatin1String(bdate), QLatin1String(edate)));
    }

    TRecordedDialogs Dialogs;
    TMainWindowEnv Env;
    std::unique_ptr<TFMain> Window;
    QVector<TEditorCall> EditorCalls;
    QVector<ITallysetLibPtr> LibCalls;
    std::function<void(const ITallysetJournalPtr &, TEditorMode)> OnEditor;
    int Card = 0, Cash = 0, Salary = 0, Bonus = 0, Food = 0, Transport = 0;
};

// ---------------------------------------------------------------------------
// Start-up, layout and settings

TEST_F(MainTest, FirstStartShowsTheCurrentMonthWithoutPlannedOnTheIncomesPage)
{
    ASSERT_FALSE(QFile::exists(Env.IniPath()));
    Open();
    const TDateTime today = Date();
    EXPECT_EQ(Window->deBDate->Date(), StartOfTheMonth(today));
    EXPECT_EQ(Window->deEdate->Date(), EndOfTheMonth(today));
    EXPECT_FALSE(Window->chbPlannedInclude->isChecked());
    EXPECT_EQ(Window->JournalPage(), jpIncomes);
    EXPECT_EQ(Window->CurrentJournal(), Window->FIncomesJournal);
    EXPECT_TRUE(Window->InitComplete());
    EXPECT_TRUE(Window->FDB->IsActive());
    EXPECT_EQ(Param(Window->FIncomesJournal, "bdate"), MSAccessDate(StartOfTheMonth(today)));
    EXPECT_EQ(Param(Window->FRepMain, "edate"), MSAccessDate(EndOfTheMonth(today)));
    EXPECT_EQ(Param(Window->FExpensesJournal, "planned"), QStringLiteral("0"));
    EXPECT_TRUE(Data(Window->FIncomesJournal)->Active());
    EXPECT_TRUE(Data(Window->FRepExpenses)->Active());
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tallyset 1.0"));
    EXPECT_EQ(Window->acJournalAdd->Caption(), QStringLiteral("Добавить доход"));
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

TEST_F(MainTest, WindowHasItsPagesGridsAndToolbar)
{
    Open();
    QStringList tabs;
    for (int i = 0; i < Window->pcJournals->count(); ++i)
        tabs << Window->pcJournals->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Доходы", "Расходы", "Переводы", "Результаты", "Диаграммы"}));

    const struct
    {
        TDBGridEh *Grid;
        QStringList Fields;
        QStringList Titles;
        QList<int> Widths;
        int FooterRows;
    } grids[] = {
        {Window->dbgIncomes, {"OperationDate", "CashTypeName", "TypeName", "Description", "SumValue"},
         {"Дата", "Средства", "Вид дохода", "Описание", "Сумма"}, {80, 100, 150, 250, 74}, 1},
        {Window->dbgExpenses, {"OperationDate", "CashTypeName", "TypeName", "Description", "Tags", "SumValue"},
         {"Дата", "Средства", "Вид расхода", "Описание", "Теги", "Сумма"}, {80, 100, 150, 200, 90, 80}, 1},
        {Window->dbgTransfers, {"OperationDate", "SrcCashTypeName", "DstCashTypeName", "Description", "SumValue"},
         {"Дата", "Откуда", "Куда", "Описание", "Сумма"}, {80, 90, 90, 200, 80}, 0},
        {Window->dbgReportMain, {"Name", "startrem", "debet", "transferdebet", "transfercredit", "credit", "endrem"},
         {"Средства", "Было", "Доход", "Зачислено", "Списано", "Расход", "Осталось"}, {90, 70, 70, 70, 70, 70, 70}, 1},
        {Window->dbgIncomesReport, {"Name", "sv"}, {"Вид дохода", "Сумма"}, {150, 70}, 1},
        {Window->dbgExpensesReport, {"Name", "sv"}, {"Вид расхода", "Сумма"}, {150, 70}, 1},
    };
    const QStringList amounts{"SumValue", "sv", "startrem", "debet", "transferdebet", "transfercredit", "credit", "endrem"};
    for (const auto &g : grids) {
        SCOPED_TRACE(g.Grid->objectName().toStdString());
        QStringList fields, titles;
        QList<int> widths;
        for (int i = 0; i < g.Grid->ColumnCount(); ++i) {
            fields << g.Grid->Columns(i)->FieldName();
            titles << g.Grid->Columns(i)->Title();
            widths << g.Grid->Columns(i)->Width();
        }
        EXPECT_EQ(fields, g.Fields);
        EXPECT_EQ(titles, g.Titles);
        EXPECT_EQ(widths, g.Widths);
        EXPECT_EQ(g.Grid->FooterRowCount(), g.FooterRows);
        EXPECT_TRUE(g.Grid->ReadOnly());
        EXPECT_TRUE(g.Grid->OptionsEh() & dghMultiSortMarking);
        for (int i = 0; i < g.Grid->ColumnCount(); ++i) {
            TColumnEh *c = g.Grid->Columns(i);
            const bool amount = amounts.contains(c->FieldName());
            SCOPED_TRACE(c->FieldName().toStdString());
            EXPECT_EQ(c->DisplayFormat(), amount ? QStringLiteral(",0.00") : QString());
            const bool footer = amount && g.FooterRows > 0;
            EXPECT_EQ(c->FooterValueType(), footer ? TFooterValueType::fvtSum : TFooterValueType::fvtNone);
            if (footer) {
                EXPECT_EQ(c->FooterDisplayFormat(), QStringLiteral(",.00"));
            }
        }
    }

    const struct
    {
        TZarnImgButton *Button;
        QRect Rect;
    } buttons[] = {{Window->ZarnImgButton1, {7, 0, 83, 75}}, {Window->zibLibs, {100, 27, 60, 45}},
                   {Window->zibRecAdd, {190, 27, 60, 45}},   {Window->zibRecEdit, {255, 27, 60, 45}},
                   {Window->zibRecDelete, {320, 27, 60, 45}}, {Window->zibFilter, {410, 27, 60, 45}},
                   {Window->zibCalc, {475, 27, 60, 45}}};
    for (const auto &b : buttons)
        EXPECT_EQ(b.Button->geometry(), b.Rect) << b.Button->objectName().toStdString();
    EXPECT_EQ(Window->zibLibs->DropDownMenu(), Window->pmLibs);
    EXPECT_EQ(Window->pmLibs->actions(),
              (QList<QAction *>{Window->acLibCashTypes, Window->acLibIncomeTypes, Window->acLibExpenseTypes}));
    EXPECT_EQ(Window->sbFrameBar->width(), 180);
    EXPECT_EQ(Window->chbPlannedInclude->text(), QStringLiteral("планируемые операции "));

    QStringList reports;
    for (int i = 0; i < Window->lbReportsList->count(); ++i)
        reports << Window->lbReportsList->item(i)->text();
    EXPECT_EQ(reports, (QStringList{"Доходы", "Расходы", "Расходы по тегам", "Сравнение расходов"}));
    QStringList items;
    for (int i = 0; i < Window->FrameBar()->Count(); ++i)
        items << Window->FrameBar()->Items(i)->Header()->Caption();
    EXPECT_EQ(items, (QStringList{"Общие задачи", "Диаграммы", "Фильтр по видам средств", "Дополнительно"}));
}

TEST_F(MainTest, TheLogoOpensTheAboutBoxModally)
{
    Open();
    QString shown;
    QTimer::singleShot(50, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            shown = modal->objectName();
            modal->close();
        }
    });
    QTest::mouseClick(Window->ZarnImgButton1, Qt::LeftButton);
    EXPECT_EQ(shown, QStringLiteral("FAbout"));
}

TEST_F(MainTest, StoredEndBeforeBeginMovesTheBeginBeforeTheEnd)
{
    UsePeriod("10.05.2012", "01.03.2012");
    Open();
    EXPECT_EQ(Window->deEdate->Date(), Day(2012, 3, 1));
    EXPECT_EQ(Window->deBDate->Date(), Day(2012, 1, 31));
    EXPECT_EQ(Param(Window->FExpensesJournal, "bdate"), QStringLiteral("#1/31/2012#"));
    EXPECT_EQ(Param(Window->FExpensesJournal, "edate"), QStringLiteral("#3/1/2012#"));
}

TEST_F(MainTest, TypingABeginAfterTheEndMovesTheEndAndTellsTheManager)
{
    UsePeriod("01.05.2012", "31.05.2012");
    Open();
    Window->deBDate->setFocus();
    QTest::keyClick(Window->deBDate, Qt::Key_Home);
    QTest::keyClicks(Window->deBDate, QStringLiteral("15062012"));
    EXPECT_EQ(Window->deBDate->Date(), Day(2012, 6, 15));
    EXPECT_EQ(Window->deEdate->Date(), Day(2012, 7, 16));
    for (const ITallysetCustomJournalPtr &j :
         {ITallysetCustomJournalPtr(Window->FIncomesJournal), ITallysetCustomJournalPtr(Window->FRepMain)}) {
        EXPECT_EQ(Param(j, "bdate"), QStringLiteral("#6/15/2012#"));
        EXPECT_EQ(Param(j, "edate"), QStringLiteral("#7/16/2012#"));
    }
    EXPECT_EQ(Dialogs->Count(), 0);
}

TEST_F(MainTest, IncompleteOrImpossibleDatesCountAsDayZeroAndLeaveTheOtherDate)
{
    AddLists();
    Env.AddIncome(QDate(2012, 5, 10), Card, Salary, 100);
    UsePeriod("01.05.2012", "31.05.2012");
    Open();
    const struct
    {
        TDateEdit *Edit;
        const char *Keys; // typed from the first position; "" clears the edit
        TDateEdit *Other;
        TDateTime OtherDate;
        const char *Param;
    } cases[] = {
        {Window->deBDate, "31022012", Window->deEdate, Day(2012, 5, 31), "bdate"},
        {Window->deBDate, "", Window->deEdate, Day(2012, 5, 31), "bdate"},
        {Window->deEdate, "31022012", Window->deBDate, Day(2012, 5, 1), "edate"},
        {Window->deEdate, "", Window->deBDate, Day(2012, 5, 1), "edate"},
        {Window->deEdate, "3105", Window->deBDate, Day(2012, 5, 1), "edate"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.Param) + " " + c.Keys);
        Window->deBDate->SetDate(Day(2012, 5, 1));
        Window->deEdate->SetDate(Day(2012, 5, 31));
        c.Edit->setFocus();
        c.Edit->selectAll();
        QTest::keyClick(c.Edit, Qt::Key_Delete);
        QTest::keyClick(c.Edit, Qt::Key_Home);
        QTest::keyClicks(c.Edit, QLatin1String(c.Keys));
        EXPECT_EQ(c.Edit->Date(), 0.0);
        EXPECT_EQ(c.Other->Date(), c.OtherDate);
        EXPECT_EQ(Param(Window->FIncomesJournal, c.Param), MSAccessDate(0));
        RunEventLoop(20);
    }
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

TEST_F(MainTest, StoredPageIndexOutsideThePagesSelectsNoPage)
{
    AddLists();
    Env.AddIncome(QDate::currentDate(), Card, Salary, 100);
    for (int stored : {-1, 5, 42}) {
        SCOPED_TRACE(stored);
        Env.WriteIni(QStringLiteral("[main]\npage_index=%1\n").arg(stored));
        Open();
        RunEventLoop(20);
        EXPECT_EQ(Window->JournalPage(), jpNone);
        EXPECT_EQ(Window->CurrentJournal(), nullptr);
        EXPECT_EQ(Window->CurrentJournalGrid(), nullptr);
        QTabBar *bar = Window->pcJournals->tabBar();
        EXPECT_FALSE(bar->isTabVisible(bar->currentIndex())) << "a page looks selected";
        for (QWidget *page : {Window->tsIncomes, Window->tsExpenses, Window->tsTransfers, Window->tsReports,
                              Window->tsDiagrams})
            EXPECT_FALSE(page->isVisible()) << page->objectName().toStdString();
        for (TAction *a : {Window->acJournalAdd, Window->acJournalEdit, Window->acJournalDelete, Window->acJournalFilter})
            EXPECT_FALSE(a->Enabled()) << a->objectName().toStdString();
        EXPECT_FALSE(Window->zibRecAdd->isEnabled());
        EXPECT_TRUE(Window->acLibCashTypes->Enabled());
        TFrameBar *side = Window->FrameBar();
        EXPECT_FALSE(side->Items(0)->isVisibleTo(side));
        EXPECT_FALSE(side->Items(1)->isVisibleTo(side));
        EXPECT_FALSE(side->Items(2)->isVisibleTo(side));
        EXPECT_TRUE(side->Items(3)->isVisibleTo(side));
        if (stored == 5) {
            Window->close();
            EXPECT_TRUE(Env.ReadIni().contains(QLatin1String("page_index=-1"))) << Env.ReadIni().toStdString();
            Window.reset();
            continue;
        }

        // The user picks a page: it works as usual and the five tabs stay.
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(jpExpenses).center());
        EXPECT_EQ(Window->JournalPage(), jpExpenses);
        EXPECT_EQ(Window->pcJournals->count(), 5);
        EXPECT_TRUE(Window->tsExpenses->isVisible());
        Window.reset();
    }
}

TEST_F(MainTest, EnableRulesFollowThePageAndTheJournalsRows)
{
    AddLists();
    const QDate today = QDate::currentDate();
    Env.AddIncome(today, Card, Salary, 100);
    Env.AddTransfer(today, Card, Cash, 30);
    Open();
    const struct
    {
        TJournalPage Page;
        bool Add;
        bool Edit;
        const char *Caption;
        QStringList Links;
        bool Items[4];
    } pages[] = {
        {jpIncomes, true, true, "Добавить доход", {"Добавить доход", "Виды доходов", "Виды денежных средств"},
         {true, false, false, true}},
        {jpExpenses, true, false, "Добавить расход", {"Добавить расход", "Виды расходов", "Виды денежных средств"},
         {true, true, false, true}},
        {jpTransfers, true, true, "Добавить перевод", {"Добавить перевод", "Виды денежных средств"},
         {true, false, false, true}},
        {jpReports, false, false, "Добавить перевод", {}, {false, false, true, true}},
        {jpDiagrams, false, false, "Добавить перевод", {}, {false, false, false, true}},
    };
    for (const auto &p : pages) {
        SCOPED_TRACE(int(p.Page));
        Window->SetJournalPage(p.Page);
        RunEventLoop(20);
        EXPECT_EQ(Window->JournalPage(), p.Page);
        EXPECT_EQ(Window->acJournalAdd->Enabled(), p.Add);
        EXPECT_EQ(Window->acJournalEdit->Enabled(), p.Edit);
        EXPECT_EQ(Window->acJournalDelete->Enabled(), p.Edit);
        EXPECT_EQ(Window->acJournalFilter->Enabled(), p.Edit);
        EXPECT_EQ(Window->zibRecAdd->isEnabled(), p.Add);
        EXPECT_EQ(Window->zibRecEdit->isEnabled(), p.Edit);
        EXPECT_EQ(Window->zibRecDelete->isEnabled(), p.Edit);
        EXPECT_EQ(Window->zibFilter->isEnabled(), p.Edit);
        for (TAction *a : {Window->acLibCashTypes, Window->acLibIncomeTypes, Window->acLibExpenseTypes,
                           Window->acExit, Window->acRunCalc})
            EXPECT_TRUE(a->Enabled()) << a->objectName().toStdString();
        EXPECT_EQ(Window->acJournalAdd->Caption(), QString::fromUtf8(p.Caption));
        QStringList links;
        for (TAction *a : Window->PageLinks(p.Page))
            links << a->Caption();
        EXPECT_EQ(links, p.Links);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Window->FrameBar()->Items(i)->isVisibleTo(Window->FrameBar()), p.Items[i]) << "item " << i;
    }
}

TEST_F(MainTest, DoubleClickAndKeysOnAnEmptyGridDoNothing)
{
    AddLists();
    Open();
    Window->SetJournalPage(jpExpenses);
    RunEventLoop(20);
    ASSERT_EQ(Data(Window->FExpensesJournal)->RecordCount(), 0);
    QTest::mouseDClick(Window->dbgExpenses->viewport(), Qt::LeftButton, {}, QPoint(40, 12));
    Window->dbgExpenses->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Delete, Qt::Key_Down, Qt::Key_Space, Qt::Key_A})
        QTest::keyClick(Window->dbgExpenses, key);
    RunEventLoop(30);
    EXPECT_TRUE(EditorCalls.isEmpty());
    EXPECT_EQ(Dialogs->Count(), 0);
}

// ---------------------------------------------------------------------------
// Actions through the action-control message

TEST_F(MainTest, AddAndEditArePostedAndHandledAfterTheClick)
{
    AddLists();
    const QDate today = QDate::currentDate();
    Env.AddExpense(today, Card, Food, 40, QStringLiteral("хлеб"));
    Open();
    Window->SetJournalPage(jpExpenses);
    RunEventLoop(20);

    QTest::mouseClick(Window->zibRecAdd, Qt::LeftButton);
    EXPECT_TRUE(EditorCalls.isEmpty()) << "the editor opened inside the click";
    ProcessPosted();
    ASSERT_EQ(EditorCalls.size(), 1);
    EXPECT_EQ(EditorCalls[0].Journal, Window->FExpensesJournal);
    EXPECT_EQ(EditorCalls[0].Mode, emNew);

    QTest::mouseClick(Window->zibRecEdit, Qt::LeftButton);
    EXPECT_EQ(EditorCalls.size(), 1);
    ProcessPosted();
    ASSERT_EQ(EditorCalls.size(), 2);
    EXPECT_EQ(EditorCalls[1].Mode, emEdit);

    QTest::mouseDClick(Window->dbgExpenses->viewport(), Qt::LeftButton, {}, CellCenter(Window->dbgExpenses, 0, 1));
    EXPECT_EQ(EditorCalls.size(), 2);
    ProcessPosted();
    ASSERT_EQ(EditorCalls.size(), 3);
    EXPECT_EQ(EditorCalls[2].Mode, emEdit);
    EXPECT_EQ(EditorCalls[2].Journal, Window->FExpensesJournal);

    // A request still queued when the user has left the journal does nothing.
    QTest::mouseClick(Window->zibRecAdd, Qt::LeftButton);
    Window->SetJournalPage(jpReports);
    ProcessPosted();
    EXPECT_EQ(EditorCalls.size(), 3);
}

TEST_F(MainTest, ReportsAreRefreshedAfterTheEditorWhetherOrNotItSaved)
{
    AddLists();
    const QDate today = QDate::currentDate();
    Env.AddExpense(today, Card, Food, 40);
    Open();
    Window->SetJournalPage(jpExpenses);
    TDataSet *report = Data(Window->FRepExpenses);
    ASSERT_EQ(report->RecordCount(), 1);
    auto total = [&] { return Window->dbgExpensesReport->FooterValue(1); };
    EXPECT_DOUBLE_EQ(total(), 40);

    // The editor saves a record.
    OnEditor = [&](const ITallysetJournalPtr &journal, TEditorMode) {
        TJournalRecord rec = TJournalRecord::Create(FromQDate(today));
        rec.ExpenseCashType() = TLink::Create(Card, QStringLiteral("Карта"));
        rec.ExpenseType() = TLink::Create(Transport, QStringLiteral("Транспорт"));
        rec.Sum = 25;
        journal->AddRecord(rec);
    };
    Window->acJournalAdd->Execute();
    ProcessPosted();
    EXPECT_DOUBLE_EQ(total(), 65);
    EXPECT_EQ(report->RecordCount(), 2);

    // The editor is cancelled; the reports are refreshed all the same.
    OnEditor = nullptr;
    Env.AddExpense(today, Cash, Food, 10);
    Window->acJournalEdit->Execute();
    ProcessPosted();
    EXPECT_EQ(EditorCalls.size(), 2);
    EXPECT_DOUBLE_EQ(total(), 75);
}

TEST_F(MainTest, DeleteIsAskedWhenTheMessageIsHandled)
{
    AddLists();
    const QDate today = QDate::currentDate();
    Env.AddExpense(today, Card, Food, 40);
    Env.AddExpense(today, Card, Transport, 15);
    Open();
    Window->SetJournalPage(jpExpenses);
    RunEventLoop(20);

    Dialogs->AnswerNo();
    QTest::mouseClick(Window->zibRecDelete, Qt::LeftButton);
    EXPECT_EQ(Dialogs->Count(), 0) << "asked inside the click";
    ProcessPosted();
    EXPECT_EQ(Dialogs->QuestionTexts(), QStringList{QStringLiteral("Удалить текущую запись?")});
    EXPECT_EQ(Env.Count(QStringLiteral("Expenses")), 2);
    EXPECT_DOUBLE_EQ(Window->dbgExpensesReport->FooterValue(1), 55);

    Dialogs->AnswerYes();
    const int deleted = Window->FExpensesJournal->GetCurrentRecord().ID;
    QTest::mouseClick(Window->zibRecDelete, Qt::LeftButton);
    ProcessPosted();
    EXPECT_EQ(Dialogs->QuestionTexts().size(), 2);
    EXPECT_EQ(Env.Count(QStringLiteral("Expenses")), 1);
    EXPECT_EQ(Env.Db().Select(QStringLiteral("select count(*) from Expenses where ID = %1").arg(deleted))->Rows[0][0].toInt(), 0);
    EXPECT_EQ(Data(Window->FExpensesJournal)->RecordCount(), 1);
    EXPECT_DOUBLE_EQ(Window->dbgExpensesReport->FooterValue(1), 55 - (deleted == 1 ? 40 : 15));
}

TEST_F(MainTest, ARequestForARecordThatIsGoneByThenDoesNothing)
{
    AddLists();
    Env.AddExpense(QDate::currentDate(), Card, Food, 40);
    Open();
    Window->SetJournalPage(jpExpenses);
    RunEventLoop(20);
    Dialogs->AnswerYes();
    QTest::mouseClick(Window->zibRecDelete, Qt::LeftButton);
    QTest::mouseClick(Window->zibRecDelete, Qt::LeftButton);
    QTest::mouseClick(Window->zibRecEdit, Qt::LeftButton);
    ProcessPosted();
    EXPECT_EQ(Dialogs->QuestionTexts().size(), 1);
    EXPECT_EQ(Env.Count(QStringLiteral("Expenses")), 0);
    EXPECT_TRUE(EditorCalls.isEmpty());
    RunEventLoop(20);
    EXPECT_FALSE(Window->acJournalDelete->Enabled());
}

TEST_F(MainTest, ListActionsOpenTheListEditorOnTheirList)
{
    Open();
    const struct
    {
        TAction *Action;
        ITallysetLibPtr Lib;
    } cases[] = {{Window->acLibCashTypes, Window->FCashTypes},
                 {Window->acLibIncomeTypes, Window->FIncomeTypesLib},
                 {Window->acLibExpenseTypes, Window->FExpenseTypesLib}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Action->objectName().toStdString());
        LibCalls.clear();
        Window->SetJournalPage(jpReports);
        c.Action->trigger();
        EXPECT_TRUE(LibCalls.isEmpty());
        ProcessPosted();
        ASSERT_EQ(LibCalls.size(), 1);
        EXPECT_EQ(LibCalls[0], c.Lib);
    }
}

// ---------------------------------------------------------------------------
// Smart filter and sorting

TEST_F(MainTest, EachJournalKeepsItsOwnSmartFilterAndTheButtonShowsIt)
{
    AddLists();
    const QDate today = QDate::currentDate();
    Env.AddExpense(today, Card, Food, 40, QStringLiteral("хлеб"));
    Env.AddExpense(today, Card, Transport, 15, QStringLiteral("метро"));
    Env.AddExpense(today, Cash, Food, 60, QStringLiteral("молоко"));
    Env.AddIncome(today, Card, Salary, 1000);
    Env.AddIncome(today, Cash, Bonus, 200);
    Open();
    Window->SetJournalPage(jpExpenses);
    TDataSet *expenses = Data(Window->FExpensesJournal);
    TDataSet *incomes = Data(Window->FIncomesJournal);
    Window->dbgExpenses->SetSelectedIndex(2);
    ASSERT_TRUE(expenses->Locate(QStringLiteral("TypeName"), QStringLiteral("Транспорт")));
    RunEventLoop(20);
    auto shown = [&](bool filtered) {
        EXPECT_EQ(Window->acJournalFilter->Checked(), filtered);
        EXPECT_EQ(Window->zibFilter->Checked(), filtered);
        EXPECT_TRUE(Window->zibFilter->isEnabled());
    };

    QTest::mouseClick(Window->zibFilter, Qt::LeftButton);
    shown(true);
    EXPECT_EQ(expenses->RecordCount(), 1);

    // The incomes page shows the incomes' own state; its press filters the incomes only.
    Window->SetJournalPage(jpIncomes);
    Window->dbgIncomes->SetSelectedIndex(1);
    RunEventLoop(20);
    shown(false);
    QTest::mouseClick(Window->zibFilter, Qt::LeftButton);
    shown(true);
    EXPECT_EQ(incomes->RecordCount(), 1);
    EXPECT_EQ(expenses->RecordCount(), 1);

    // Back on the expenses, still filtered, the last matching row deleted: the button
    // stays pressed and enabled, and one press shows every expense again.
    Window->SetJournalPage(jpExpenses);
    RunEventLoop(20);
    shown(true);
    Window->FExpensesJournal->DeleteCurrentRecord();
    RunEventLoop(20);
    ASSERT_EQ(expenses->RecordCount(), 0);
    shown(true);
    QTest::mouseClick(Window->zibFilter, Qt::LeftButton);
    RunEventLoop(20);
    shown(false);
    EXPECT_EQ(expenses->RecordCount(), 2);
    EXPECT_EQ(incomes->RecordCount(), 1) << "the incomes keep their own filter";

    // Off the journal pages the button is neither pressed nor enabled.
    Window->SetJournalPage(jpReports);
    RunEventLoop(20);
    EXPECT_FALSE(Window->acJournalFilter->Enabled());
    EXPECT_FALSE(Window->zibFilter->Checked());

    Window->SetJournalPage(jpIncomes);
    RunEventLoop(20);
    shown(true);
    QTest::mouseClick(Window->zibFilter, Qt::LeftButton);
    shown(false);
    EXPECT_EQ(incomes->RecordCount(), 2);
    EXPECT_FALSE(Window->FilterProcess());
}

TEST_F(MainTest, ASmartFilterLeftWithoutRowsCanStillBeSwitchedOff)
{
    AddLists();
    const QDate today = QDate::currentDate();
    Env.AddExpense(today, Card, Food, 40, QStringLiteral("хлеб"));
    Env.AddExpense(today, Card, Transport, 15, QStringLiteral("метро"));
    Open();
    Window->SetJournalPage(jpExpenses);
    TDataSet *expenses = Data(Window->FExpensesJournal);
    Window->dbgExpenses->SetSelectedIndex(2);
    ASSERT_TRUE(expenses->Locate(QStringLiteral("TypeName"), QStringLiteral("Транспорт")));
    RunEventLoop(20);
    QTest::mouseClick(Window->zibFilter, Qt::LeftButton);
    ASSERT_EQ(expenses->RecordCount(), 1);

    Window->FExpensesJournal->DeleteCurrentRecord();
    RunEventLoop(20);
    EXPECT_EQ(expenses->RecordCount(), 0);
    EXPECT_FALSE(Window->acJournalEdit->Enabled());
    EXPECT_FALSE(Window->acJournalDelete->Enabled());
    EXPECT_TRUE(Window->acJournalFilter->Enabled()) << "the filter that hides every row must stay reachable";

    QTest::mouseClick(Window->zibFilter, Qt::LeftButton);
    EXPECT_FALSE(Window->acJournalFilter->Checked());
    EXPECT_EQ(expenses->RecordCount(), 1);
    RunEventLoop(20);
    EXPECT_TRUE(Window->acJournalFilter->Enabled());
}

TEST_F(MainTest, SmartFilterDoesNotReenterWhileItRuns)
{
    AddLists();
    const QDate today = QDate::currentDate();
    Env.AddExpense(today, Card, Food, 40);
    Env.AddExpense(today, Card, Transport, 15);
    Open();
    Window->SetJournalPage(jpExpenses);
    Window->dbgExpenses->SetSelectedIndex(2);
    RunEventLoop(20);
    TDataSet *expenses = Data(Window->FExpensesJournal);
    int nested = 0;
    bool guardSeen = false;
    QObject::connect(expenses, &TDataSet::DataChanged, Window.get(), [&] {
        ++nested;
        guardSeen = Window->FilterProcess();
        Window->acJournalFilter->Execute();
    });
    Window->acJournalFilter->Execute();
    EXPECT_GE(nested, 1);
    EXPECT_TRUE(guardSeen);
    EXPECT_TRUE(Window->acJournalFilter->Checked());
    EXPECT_EQ(expenses->RecordCount(), 1);
    EXPECT_FALSE(Window->FilterProcess());
}

TEST_F(MainTest, TwoSortMarkersSortByBothInMarkingOrder)
{
    AddLists();
    Env.AddIncome(QDate(2012, 5, 3), Card, Salary, 300);
    Env.AddIncome(QDate(2012, 5, 9), Card, Salary, 50);
    Env.AddIncome(QDate(2012, 5, 9), Cash, Bonus, 20);
    Env.AddIncome(QDate(2012, 5, 1), Cash, Bonus, 70);
    UsePeriod("01.05.2012", "31.05.2012");
    Open();
    TDataSet *incomes = Data(Window->FIncomesJournal);
    ClickTitle(Window->dbgIncomes, 0);
    ClickTitle(Window->dbgIncomes, 4, Qt::ControlModifier);
    ClickTitle(Window->dbgIncomes, 4, Qt::ControlModifier);
    EXPECT_EQ(incomes->Sort(), QStringLiteral("OperationDate DESC, SumValue ASC"));
    QList<double> sums;
    for (incomes->First(); !incomes->Eof(); incomes->Next())
        sums << incomes->FieldByName(QStringLiteral("SumValue"))->AsFloat();
    EXPECT_EQ(sums, (QList<double>{20, 50, 300, 70}));

    // A report grid sorts its own report only.
    Window->SetJournalPage(jpReports);
    RunEventLoop(20);
    ClickTitle(Window->dbgIncomesReport, 1);
    EXPECT_EQ(Data(Window->FRepIncomes)->Sort(), QStringLiteral("sv DESC"));
    EXPECT_EQ(Data(Window->FRepExpenses)->Sort(), QString());
    EXPECT_EQ(incomes->Sort(), QStringLiteral("OperationDate DESC, SumValue ASC"));

    // Removing the markers restores the query's order.
    Window->dbgIncomes->ClearSortMarkers();
    EXPECT_EQ(incomes->Sort(), QString());
}

TEST_F(MainTest, ChangedCashTypesRefreshTheReportsAndOtherListsDoNot)
{
    AddLists();
    const QDate today = QDate::currentDate();
    Env.AddIncome(today, Card, Salary, 100);
    Open();
    TDataSet *balances = Data(Window->FRepMain);
    TDataSet *incomes = Data(Window->FRepIncomes);
    ASSERT_EQ(balances->RecordCount(), 1);
    auto total = [&] { return Window->dbgIncomesReport->FooterValue(1); };

    // Written behind the program's back: only a refresh of the reports shows it.
    Env.AddIncome(today, Cash, Bonus, 50);
    TLibRecord type = TLibRecord::Create(QStringLiteral("Подарки"), -1);
    Window->FIncomeTypesLib->AddLibRecord(type);
    TLibRecord expenseType = TLibRecord::Create(QStringLiteral("Связь"), -1);
    Window->FExpenseTypesLib->AddLibRecord(expenseType);
    ASSERT_GT(expenseType.ID, 0);
    EXPECT_EQ(balances->RecordCount(), 1);
    EXPECT_DOUBLE_EQ(total(), 100);

    TLibRecord wallet = TLibRecord::Create(QStringLiteral("Копилка"), -1);
    Window->FCashTypes->AddLibRecord(wallet);
    ASSERT_GT(wallet.ID, 0);
    EXPECT_EQ(balances->RecordCount(), 2);
    EXPECT_EQ(incomes->RecordCount(), 2);
    EXPECT_DOUBLE_EQ(total(), 150);

    Env.AddIncome(today, Cash, Bonus, 25);
    Window->FCashTypes->EditLibRecord(TLibRecord::Create(QStringLiteral("Кошелёк"), Cash));
    EXPECT_TRUE(balances->Locate(QStringLiteral("Name"), QStringLiteral("Кошелёк")));
    EXPECT_DOUBLE_EQ(total(), 175);

    Env.AddIncome(today, Card, Salary, 5);
    Window->FCashTypes->DeleteRecord(wallet.ID);
    EXPECT_DOUBLE_EQ(total(), 180);
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

TEST_F(MainTest, AfterACashTypeChangeTheBalancesShowExactlyTheTickedCashTypes)
{
    AddLists();
    const int spare = Env.AddCashType(QStringLiteral("Копилка"));
    const QDate today = QDate::currentDate();
    Env.AddIncome(today, Card, Salary, 100);
    Env.AddIncome(today, Cash, Bonus, 50);
    Open();
    Window->SetJournalPage(jpReports);
    RunEventLoop(20);
    QListWidget *filter = Window->FCashTypeFilterFrame->chlbCashTypes;
    TDataSet *balances = Data(Window->FRepMain);
    auto rows = [&] {
        QStringList names;
        for (balances->First(); !balances->Eof(); balances->Next())
            names << balances->FieldByName(QStringLiteral("Name"))->AsString();
        return names;
    };
    auto allTicked = [&] {
        for (int i = 0; i < filter->count(); ++i)
            if (filter->item(i)->checkState() != Qt::Checked)
                return false;
        return filter->count() > 0;
    };

    const struct
    {
        const char *Change;
        std::function<void()> Run;
        QStringList Shown;
    } changes[] = {
        {"add", [&] { TLibRecord r = TLibRecord::Create(QStringLiteral("Вклад"), -1); Window->FCashTypes->AddLibRecord(r); },
         {"Карта", "Наличные"}},
        {"rename", [&] { Window->FCashTypes->EditLibRecord(TLibRecord::Create(QStringLiteral("Кошелёк"), Cash)); },
         {"Карта", "Кошелёк"}},
        {"delete", [&] { Window->FCashTypes->DeleteRecord(spare); }, {"Карта", "Кошелёк"}},
    };
    for (const auto &c : changes) {
        SCOPED_TRACE(c.Change);
        // The user unticks the card: the balances drop it.
        const int card = int(filter->row(filter->findItems(QStringLiteral("Карта"), Qt::MatchExactly).value(0)));
        ASSERT_GE(card, 0);
        QTest::mouseClick(filter->viewport(), Qt::LeftButton, Qt::NoModifier, CheckBoxCenter(filter, card));
        ASSERT_EQ(filter->item(card)->checkState(), Qt::Unchecked);
        ASSERT_FALSE(rows().contains(QStringLiteral("Карта")));

        // Refilled with every entry ticked, the balances show every cash type that moved.
        c.Run();
        EXPECT_TRUE(allTicked());
        EXPECT_EQ(rows(), c.Shown);
    }
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

TEST_F(MainTest, TheContextChartFollowsTheCurrentExpenseAndColumnAfterAPause)
{
    AddLists();
    Env.AddExpense(QDate(2012, 5, 3), Card, Food, 40, QStringLiteral("хлеб"));
    const int second = Env.AddExpense(QDate(2012, 5, 9), Cash, Transport, 15, QStringLiteral("метро"));
    UsePeriod("01.05.2012", "31.05.2012");
    Open();
    ASSERT_TRUE(Window->FSmartDiagrammTimer);
    RunEventLoop(120);
    EXPECT_FALSE(Window->FSmartDiagrammTimer->Pending());
    Window->SetJournalPage(jpExpenses);
    TDataSet *expenses = Data(Window->FExpensesJournal);
    expenses->Last();
    EXPECT_TRUE(Window->FSmartDiagrammTimer->Pending()) << "a row change asks for a deferred refresh";

    const struct
    {
        int Column;
        TSmartDiagramRequest::TKind Kind;
        const char *Name;
        int ID;
    } cases[] = {
        {1, TSmartDiagramRequest::sdkCashRemainder, "Наличные", Cash},
        {2, TSmartDiagramRequest::sdkExpensesByType, "Транспорт", Transport},
        {3, TSmartDiagramRequest::sdkExpensesByType, "Транспорт", Transport},
        {4, TSmartDiagramRequest::sdkExpensesByTags, "", second},
        {5, TSmartDiagramRequest::sdkNone, "", -1},
        {0, TSmartDiagramRequest::sdkExpensesDay, "", -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Column);
        RunEventLoop(80);
        Window->dbgExpenses->SetSelectedIndex(c.Column);
        EXPECT_TRUE(Window->FSmartDiagrammTimer->Pending()) << "a column change asks for a deferred refresh";
        const TSmartDiagramRequest r = Window->SmartDiagramRequest();
        EXPECT_EQ(r.Kind, c.Kind);
        EXPECT_EQ(r.Name, QString::fromUtf8(c.Name));
        EXPECT_EQ(r.ID, c.ID);
        EXPECT_EQ(r.Value, Day(2012, 5, 9));
        EXPECT_EQ(r.BDate, Day(2012, 5, 1));
        EXPECT_EQ(r.EDate, Day(2012, 5, 31));
    }
    Window->close();
    EXPECT_FALSE(Window->FSmartDiagrammTimer) << "the executor goes with the close";
}

// ---------------------------------------------------------------------------
// Painting

TEST_F(MainTest, PlannedRowsAreRedAndTheFocusedCellIsGreen)
{
    AddLists();
    Env.AddIncome(QDate(2012, 5, 3), Card, Salary, 300, QStringLiteral("аванс"), true);
    Env.AddIncome(QDate(2012, 5, 9), Card, Bonus, 50, QStringLiteral("премия"));
    Env.WriteIni(QStringLiteral("[main]\nbdate=01.05.2012\nedate=31.05.2012\nplanned=1\n"));
    Open();
    TDBGridEh *grid = Window->dbgIncomes;
    Window->activateWindow();
    grid->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->hasFocus(); }));
    grid->SetSelectedIndex(2);
    Data(Window->FIncomesJournal)->SetRecNo(2);

    struct TCell
    {
        int Row, Col;
        QColor Font, Brush;
    };
    QVector<TCell> cells;
    auto decorated = grid->OnDrawColumnCell;
    grid->OnDrawColumnCell = [&](TDBGridEh &g, TGridDrawCell &cell) {
        decorated(g, cell);
        cells.append({cell.Row, cell.DataCol, cell.FontColor, cell.BrushColor});
    };
    const QImage image = grid->grab().toImage();
    grid->OnDrawColumnCell = decorated;

    TDataSet *data = Data(Window->FIncomesJournal);
    int plannedRow = -1;
    for (int row = 0; row < data->RecordCount(); ++row)
        if (data->ValueAt(row, data->FieldByName(QStringLiteral("Planned"))->Index()).toInt() == 1)
            plannedRow = row;
    ASSERT_GE(plannedRow, 0);
    ASSERT_FALSE(cells.isEmpty());
    int focused = 0;
    for (const TCell &c : cells) {
        EXPECT_EQ(c.Font, c.Row == plannedRow ? QColor(255, 0, 0) : QColor(32, 32, 32)) << c.Row << "," << c.Col;
        if (c.Row == 1 && c.Col == 2) {
            EXPECT_EQ(c.Brush, QColor(190, 222, 136));
            ++focused;
        }
    }
    EXPECT_GE(focused, 1);
    const QRect rect = grid->visualRect(grid->model()->index(1, 2));
    const QPoint inGrab = grid->viewport()->mapTo(grid, rect.topLeft()) + QPoint(3, 3);
    EXPECT_EQ(QColor(image.pixel(inGrab * image.devicePixelRatio())), QColor(190, 222, 136));
}

// ---------------------------------------------------------------------------
// Closing

TEST_F(MainTest, F10AndTheCloseBoxSaveTheSameSettings)
{
    AddLists();
    Env.AddExpense(QDate(2012, 5, 3), Card, Food, 40);
    const QString initial = QStringLiteral("[main]\nbdate=01.05.2012\nedate=31.05.2012\nnotes=a#10b\n");
    auto run = [&](bool withF10) {
        Env.WriteIni(initial);
        Open();
        Window->SetJournalPage(jpTransfers);
        Window->chbPlannedInclude->setChecked(true);
        Window->deEdate->SetDate(Day(2012, 6, 30));
        Window->dbgExpenses->SetColumnWidth(3, 230);
        if (withF10) {
            Window->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(Window.get()));
            QTest::keyClick(Window.get(), Qt::Key_F10);
        } else {
            Window->windowHandle()->close();
        }
        EXPECT_FALSE(Window->isVisible());
        const QString saved = Env.ReadIni();
        // Saved once: a further close writes nothing.
        QFile::remove(Env.IniPath());
        Window->close();
        Window.reset();
        EXPECT_FALSE(QFile::exists(Env.IniPath()));
        return saved;
    };
    const QString byF10 = run(true);
    const QString byCloseBox = run(false);
    EXPECT_EQ(byF10, byCloseBox);
    for (const char *line : {"[main_form]", "[FrameBar]", "[gridIncomes]", "[gridExpenses]", "[gridTransfers]",
                             "[gridReportMain]", "[gridReportIncomes]", "[gridReportExpenses]", "[main]",
                             "page_index=2", "planned=1", "bdate=01.05.2012", "edate=30.06.2012", "col_3=230",
                             "notes=a#10b", "Height=197", "Width=329"})
        EXPECT_TRUE(byF10.contains(QLatin1String(line))) << line << "\n" << byF10.toStdString();
}

TEST_F(MainTest, SettingsFromTheFirstCloseAreRestoredOnTheNextStart)
{
    Open();
    Window->SetJournalPage(jpReports);
    RunEventLoop(30);
    QList<int> sizes = Window->sSplitter4->sizes();
    Window->sSplitter4->setSizes({sizes[0] + sizes[1] - 150, 150});
    Window->sSplitter3->setSizes({200, Window->sSplitter3->width() - 200});
    Window->FrameBar()->SetWidth(210);
    Window->sSplitter1->setSizes({210, Window->sSplitter1->width() - 210});
    RunEventLoop(30);
    Window->close();
    Window.reset();
    const QString ini = Env.ReadIni();
    EXPECT_TRUE(ini.contains(QLatin1String("Height=150"))) << ini.toStdString();
    EXPECT_TRUE(ini.contains(QLatin1String("Width=200"))) << ini.toStdString();

    Open();
    EXPECT_EQ(Window->JournalPage(), jpReports);
    RunEventLoop(30);
    EXPECT_EQ(Window->pnSecondReports->height(), 150);
    EXPECT_EQ(Window->dbgIncomesReport->width(), 200);
    EXPECT_EQ(Window->FrameBar()->width(), 210);
}

// ---------------------------------------------------------------------------
// Reports and diagrams pages

TEST_F(MainTest, OneTickedCashTypeLeavesOneBalanceRowWhoseFootersAreThatRow)
{
    AddLists();
    const QDate today = QDate::currentDate();
    Env.AddIncome(today, Card, Salary, 1000);
    Env.AddIncome(today, Cash, Bonus, 300);
    Env.AddExpense(today, Card, Food, 120);
    Env.AddExpense(today, Cash, Transport, 45);
    Env.AddTransfer(today, Card, Cash, 200);
    Open();
    Window->SetJournalPage(jpReports);
    RunEventLoop(20);
    TDataSet *balances = Data(Window->FRepMain);
    ASSERT_EQ(balances->RecordCount(), 2);
    auto values = [](TDataSet *data) {
        QStringList rows;
        for (data->First(); !data->Eof(); data->Next())
            rows << data->FieldByName(QStringLiteral("Name"))->AsString() + "=" +
                        data->FieldByName(QStringLiteral("sv"))->AsString();
        return rows;
    };
    const QStringList incomesBefore = values(Data(Window->FRepIncomes));
    const QStringList expensesBefore = values(Data(Window->FRepExpenses));

    Window->FManager->SetIDSet(QString::number(Cash));
    ASSERT_EQ(balances->RecordCount(), 1);
    balances->First();
    EXPECT_EQ(balances->FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Наличные"));
    TDBGridEh *grid = Window->dbgReportMain;
    for (int c = 1; c < grid->ColumnCount(); ++c) {
        SCOPED_TRACE(grid->Columns(c)->FieldName().toStdString());
        const double value = balances->FieldByName(grid->Columns(c)->FieldName())->AsFloat();
        EXPECT_DOUBLE_EQ(grid->FooterValue(c), value);
    }
    EXPECT_DOUBLE_EQ(balances->FieldByName(QStringLiteral("endrem"))->AsFloat(), 300 - 45 + 200);
    EXPECT_EQ(values(Data(Window->FRepIncomes)), incomesBefore);
    EXPECT_EQ(values(Data(Window->FRepExpenses)), expensesBefore);
}

class MainDiagramsTest : public MainTest
{
protected:
    void SetUp() override
    {
        AddLists();
        Env.AddIncome(QDate(2012, 2, 3), Card, Salary, 1000);
        Env.AddIncome(QDate(2012, 2, 20), Card, Salary, 500);
        Env.AddIncome(QDate(2012, 2, 9), Cash, Bonus, 300);
        Env.AddIncome(QDate(2012, 3, 9), Cash, Bonus, 700);
        Env.AddExpense(QDate(2012, 1, 5), Card, Food, 100);
        Env.AddExpense(QDate(2012, 2, 5), Card, Food, 40);
        Env.AddExpense(QDate(2012, 2, 7), Cash, Transport, 70);
        UsePeriod("01.02.2012", "29.02.2012");
        Open();
    }

    // The slices of the pie as drawn, largest first: "label=value".
    QStringList Pie()
    {
        Window->DiagramChart->Flush();
        QStringList slices;
        if (QPieSeries *pie = Window->Series1->PieSeries())
            for (QPieSlice *slice : pie->slices())
                slices << slice->label() + "=" + QString::number(slice->value());
        return slices;
    }
    // The bars as drawn: "label=value", the value summed over the colour sets.
    QStringList Bars()
    {
        Window->DiagramChart->Flush();
        QStringList bars;
        QStackedBarSeries *series = Window->Series2->BarSeries();
        if (!series)
            return bars;
        for (int i = 0; i < Window->Series2->Count(); ++i) {
            double sum = 0;
            for (QBarSet *set : series->barSets())
                sum += set->at(i);
            bars << Window->Series2->Label(i) + "=" + QString::number(sum);
        }
        return bars;
    }
};

TEST_F(MainDiagramsTest, EnteringThePageDrawsTheFirstChartFromTheDatabase)
{
    ASSERT_EQ(Window->lbReportsList->currentRow(), -1);
    Window->SetJournalPage(jpDiagrams);
    EXPECT_EQ(Window->lbReportsList->currentRow(), 0);
    EXPECT_TRUE(Window->Series1->Active());
    EXPECT_FALSE(Window->Series2->Active());
    EXPECT_FALSE(Window->pnParams->isVisible());
    EXPECT_EQ(Pie(), (QStringList{"Зарплата=1500", "Премия=300"}));

    ClickItem(Window->lbReportsList, 1);
    EXPECT_EQ(Pie(), (QStringList{"Транспорт=70", "Еда=40"}));
    QTest::keyClick(Window->lbReportsList, Qt::Key_Up);
    EXPECT_EQ(Window->lbReportsList->currentRow(), 0);
    EXPECT_EQ(Pie(), (QStringList{"Зарплата=1500", "Премия=300"}));
    EXPECT_EQ(Dialogs->Count(), 0);
}

TEST_F(MainDiagramsTest, ComparisonShowsTheBarsAndASecondClickResetsTheType)
{
    Window->SetJournalPage(jpDiagrams);
    ClickItem(Window->lbReportsList, 3);
    EXPECT_TRUE(Window->pnParams->isVisible());
    EXPECT_FALSE(Window->Series1->Active());
    EXPECT_TRUE(Window->Series2->Active());
    ASSERT_EQ(Window->cbParam1->count(), 2);
    EXPECT_EQ(Window->cbParam1->itemText(0), QStringLiteral("Еда"));
    EXPECT_EQ(Window->cbParam1->itemData(0).toInt(), Food);
    EXPECT_EQ(Window->cbParam1->itemData(1).toInt(), Transport);
    EXPECT_EQ(Bars(), (QStringList{"2012.1=100", "2=40"}));

    // Another type chosen by the user.
    Window->cbParam1->setFocus();
    QTest::keyClick(Window->cbParam1, Qt::Key_Down);
    EXPECT_EQ(Window->cbParam1->currentIndex(), 1);
    EXPECT_EQ(Bars(), (QStringList{"2012.2=70"}));

    ClickItem(Window->lbReportsList, 3);
    EXPECT_EQ(Window->cbParam1->currentIndex(), 0);
    EXPECT_EQ(Bars(), (QStringList{"2012.1=100", "2=40"}));

    ClickItem(Window->lbReportsList, 0);
    EXPECT_FALSE(Window->pnParams->isVisible());
    EXPECT_TRUE(Window->Series1->Active());
    EXPECT_FALSE(Window->Series2->Active());
}

TEST_F(MainDiagramsTest, APeriodChangeLeavesTheShownPieUntilTheListIsClicked)
{
    Window->SetJournalPage(jpDiagrams);
    const QStringList february{"Зарплата=1500", "Премия=300"};
    ASSERT_EQ(Pie(), february);
    Window->deEdate->SetDate(Day(2012, 3, 31));
    RunEventLoop(20);
    EXPECT_EQ(Pie(), february);
    ClickItem(Window->lbReportsList, 0);
    EXPECT_EQ(Pie(), (QStringList{"Зарплата=1500", "Премия=1000"}));

    // Leaving and re-entering the page redraws with the current period.
    Window->deBDate->SetDate(Day(2012, 3, 1));
    Window->SetJournalPage(jpIncomes);
    EXPECT_EQ(Pie(), (QStringList{"Зарплата=1500", "Премия=1000"}));
    Window->SetJournalPage(jpDiagrams);
    EXPECT_EQ(Pie(), (QStringList{"Премия=700"}));
}

// ---------------------------------------------------------------------------
// Without a database

QString CreateDatabaseQuestion(const TMainWindowEnv &env)
{
    return QStringLiteral("Файл базы данных %1 не найден. Создать новую пустую базу данных?").arg(env.DatabasePath());
}

TEST(MainWithoutDatabase, RefusingANewDatabaseShowsOneErrorAndOpensWithTheRestoredStateAndEmptyGrids)
{
    TRecordedDialogs dialogs;
    dialogs->AnswerNo();
    TMainWindowEnv env(false);
    env.WriteIni(QStringLiteral("[main]\nbdate=01.02.2012\nedate=29.02.2012\npage_index=1\nplanned=1\n"));
    std::unique_ptr<TFMain> window = env.Open();
    ASSERT_EQ(dialogs->Count(), 2) << dialogs->Texts().join(" | ").toStdString();
    EXPECT_EQ(dialogs->QuestionTexts(), QStringList{CreateDatabaseQuestion(env)});
    EXPECT_EQ(dialogs->Last().Type, TMsgDlgType::mtError);
    EXPECT_FALSE(dialogs->Last().Text.isEmpty());
    dialogs->ClearRecords();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->InitComplete());
    EXPECT_FALSE(window->FDB->IsActive());
    EXPECT_EQ(window->deBDate->Date(), Day(2012, 2, 1));
    EXPECT_EQ(window->deEdate->Date(), Day(2012, 2, 29));
    EXPECT_TRUE(window->chbPlannedInclude->isChecked());
    EXPECT_EQ(window->JournalPage(), jpExpenses);
    EXPECT_EQ(window->dbgExpenses->model()->rowCount(), 0);
    EXPECT_FALSE(Data(window->FExpensesJournal)->Active());

    RunEventLoop(300);
    QTest::mouseMove(window->zibRecAdd);
    RunEventLoop(100);
    EXPECT_EQ(dialogs->Count(), 0);
    EXPECT_FALSE(window->acJournalEdit->Enabled());

    // The diagrams page draws nothing while the connection is not active.
    window->SetJournalPage(jpDiagrams);
    RunEventLoop(100);
    EXPECT_EQ(window->Series1->Count(), 0);
    EXPECT_EQ(dialogs->Count(), 0);

    window->close();
    EXPECT_TRUE(env.ReadIni().contains(QLatin1String("page_index=4")));
    EXPECT_FALSE(QFile::exists(env.DatabasePath()));
    EXPECT_FALSE(QDir(env.ProgramFolder() + QStringLiteral("/db")).exists());
}

TEST(MainWithoutDatabase, ANewDatabaseIsMadeOnYesAndTheStartGoesOn)
{
    TRecordedDialogs dialogs;
    dialogs->AnswerYes();
    TMainWindowEnv env(false);
    std::unique_ptr<TFMain> window = env.Open();
    EXPECT_EQ(dialogs->Texts(), QStringList{CreateDatabaseQuestion(env)});
    ASSERT_TRUE(window->InitComplete());
    ASSERT_TRUE(window->FDB->IsActive());
    EXPECT_TRUE(QFile::exists(env.DatabasePath()));
    EXPECT_EQ(Data(window->FIncomesJournal)->RecordCount(), 0);
    EXPECT_EQ(window->FCashTypeFilterFrame->Count(), 0);

    // Empty and usable: lists and a record are saved and shown.
    TLibRecord card = TLibRecord::Create(QStringLiteral("Карта"), -1);
    window->FCashTypes->AddLibRecord(card);
    TLibRecord food = TLibRecord::Create(QStringLiteral("Еда"), -1);
    window->FExpenseTypesLib->AddLibRecord(food);
    window->SetJournalPage(jpExpenses);
    TJournalRecord rec = TJournalRecord::Create(Date());
    rec.ExpenseCashType() = TLink::Create(card.ID, card.Name);
    rec.ExpenseType() = TLink::Create(food.ID, food.Name);
    rec.Sum = 40;
    window->FExpensesJournal->AddRecord(rec);
    window->ReportsRefresh();
    RunEventLoop(20);
    EXPECT_EQ(window->dbgExpenses->model()->rowCount(), 1);
    EXPECT_EQ(window->FCashTypeFilterFrame->Count(), 1);
    EXPECT_DOUBLE_EQ(window->dbgExpensesReport->FooterValue(1), 40);
    EXPECT_TRUE(window->acJournalEdit->Enabled());
    EXPECT_EQ(dialogs->Count(), 1) << dialogs->Texts().join(" | ").toStdString();
}

TEST(MainWithoutDatabase, WhatIsAlreadyAtThePathIsNeverReplaced)
{
    const struct
    {
        const char *Name;
        std::function<void(const QString &path)> Make;
    } cases[] = {
        {"a file that is no database",
         [](const QString &path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("not a database, but the user's");
         }},
        {"a dangling symbolic link",
         [](const QString &path) { ASSERT_TRUE(QFile::link(path + QStringLiteral(".gone"), path)); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TRecordedDialogs dialogs;
        TMainWindowEnv env(false);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(env.DatabasePath()).absolutePath()));
        c.Make(env.DatabasePath());
        const QFileInfo before(env.DatabasePath());
        const QByteArray bytes = before.isSymLink() ? before.symLinkTarget().toUtf8() : [&] {
            QFile file(env.DatabasePath());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        std::unique_ptr<TFMain> window = env.Open();
        EXPECT_TRUE(dialogs->QuestionTexts().isEmpty());
        ASSERT_EQ(dialogs->Count(), 1);
        EXPECT_EQ(dialogs->Last().Type, TMsgDlgType::mtError);
        EXPECT_FALSE(window->FDB->IsActive());
        window->close();
        window.reset();
        const QFileInfo after(env.DatabasePath());
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        if (after.isSymLink()) {
            EXPECT_EQ(after.symLinkTarget().toUtf8(), bytes);
            EXPECT_FALSE(after.exists());
        } else {
            QFile file(env.DatabasePath());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), bytes);
        }
    }
}

// ---------------------------------------------------------------------------
// Calculator

class MainCalculatorTest : public MainTest
{
protected:
    void SetUp() override
    {
        FSavedPath = qgetenv("PATH");
        Open();
    }
    void TearDown() override
    {
        qputenv("PATH", FSavedPath);
        MainTest::TearDown();
    }
    QString Script(const QString &name, const QString &body)
    {
        const QString path = FBin.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(body.toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    QTemporaryDir FBin;
    QByteArray FSavedPath;
};

TEST_F(MainCalculatorTest, StartsTheFirstCalculatorOnPath)
{
    const QString marker = FBin.filePath(QStringLiteral("started"));
    Script(QStringLiteral("xcalc"), QStringLiteral("#!/bin/sh\necho xcalc > '%1'\n").arg(marker));
    Script(QStringLiteral("galculator"), QStringLiteral("#!/bin/sh\necho galculator > '%1'\n").arg(marker));
    qputenv("PATH", FBin.path().toUtf8());
    Window->RunCalculator();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 5000));
    QFile file(marker);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().trimmed(), QByteArray("galculator"));
}

TEST_F(MainCalculatorTest, NoCalculatorOrAFailedStartRaisesTheSystemsText)
{
    qputenv("PATH", FBin.path().toUtf8());
    try {
        Window->RunCalculator();
        ADD_FAILURE() << "no error without a calculator";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().contains(qt_error_string(ENOENT))) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(QLatin1String("gnome-calculator"))) << e.Message().toStdString();
    }
    Script(QStringLiteral("kcalc"), QStringLiteral("#!/nonexistent/interpreter\n"));
    try {
        Window->RunCalculator();
        ADD_FAILURE() << "no error for a calculator that cannot start";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().startsWith(QLatin1String("kcalc: "))) << e.Message().toStdString();
    }
}

} // namespace
