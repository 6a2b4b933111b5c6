#include "sidepanel/TaskBar.CashTypeFilterFrame.h"

#include "db/Classes.TallysetManager.h"
#include "db/DBEngine.Core.h"
#include "db/Utils.h"
#include "model/Classes.Libs.h"
#include "model/Classes.Reports.h"
#include "platform/Exception.h"
#include "support/TempDatabase.h"
#include "support/ui/CheckList.h"

#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Cash types 1, 3 and 7 with an income each, the balances report under the period
// manager, and the filter frame in a side panel, wired as the main window wires them.
class CashTypeFilterTest : public ::testing::Test
{
protected:
    CashTypeFilterTest()
    {
        FDB = TDBConnection::Create();
        FDB->Connect(FTemp.ConnectionString());
        FDB->ExecSQL(QStringLiteral("insert into IncomeTypes(Name) values(\"Зарплата\")"));
        const int salary = FDB->GetLastIdentity();
        for (auto [id, name] : {std::pair{1, "Банк"}, std::pair{3, "Карта"}, std::pair{7, "Наличные"}}) {
            FDB->ExecSQL(QStringLiteral("insert into CashTypes(ID, Name) values(%1, \"%2\")").arg(id).arg(QString::fromUtf8(name)));
            FDB->ExecSQL(QStringLiteral("insert into Incomes(TypeID, CashTypeID, OperationDate, SumValue, Planned) "
                                        "values(%1, %2, %3, 100.00, 0)")
                             .arg(salary)
                             .arg(id)
                             .arg(MSAccessDate(EncodeDate(2024, 3, 5))));
        }
        FCashTypes = std::make_shared<TCashTypesLib>(FDB);
        FManager = TTallysetManager::Create(FDB);
        FReport = TReportMain::New(FDB, FManager->AddQuery());

        Bar.setGeometry(0, 0, 180, 423);
        Bar.SetTitleHeight(18);
        Frame = new TFCashTypeFilterFrame;
        Frame->OnChecked = [this](QWidget *sender) {
            EXPECT_EQ(sender, Frame);
            ++Checks;
            FManager->SetIDSet(Frame->GetSelectedCashTypes());
        };
        Frame->OnHeightChange = [this](QWidget *sender, int height) {
            Requests.append(height);
            Bar.FrameHeightChange(sender, height);
        };
        Item = Bar.AddItem(QStringLiteral("Фильтр по видам средств"), Frame);
    }

    // The first fill of the program's start.
    void Start()
    {
        Fill();
        FManager->SetBDate(EncodeDate(2024, 3, 1));
        FManager->SetEDate(EncodeDate(2024, 3, 31));
        FManager->SetPlannedInclude(false);
        FManager->SetIDSet(Frame->GetSelectedCashTypes());
        FManager->Refresh();
        Bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Bar));
    }

    void Fill()
    {
        FCashTypes->Refresh();
        TDataSet *data = FCashTypes->GetQuery()->GetData();
        data->First();
        Frame->AddCashTypesFromQuery(data);
    }

    QList<int> ReportCashTypes()
    {
        QList<int> ids;
        TDataSet *data = FReport->GetQuery()->GetQuery()->GetData();
        for (data->First(); !data->Eof(); data->Next())
            ids << data->FieldByName(QStringLiteral("ct_id"))->AsInteger();
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    void ClickCheckBox(int row)
    {
        QListWidget *list = Frame->chlbCashTypes;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CheckBoxCenter(list, row));
    }

    TTempDatabase FTemp;
    IDBConnectionPtr FDB;
    ITallysetLibPtr FCashTypes;
    std::shared_ptr<TTallysetManager> FManager;
    std::shared_ptr<TTallysetCustomReport> FReport;
    TFrameBar Bar;
    TFCashTypeFilterFrame *Frame = nullptr;
    TFrameBarItem *Item = nullptr;
    int Checks = 0;
    QList<int> Requests;
};

TEST_F(CashTypeFilterTest, TheFillChecksEveryCashTypeAndSizesTheItemToThem)
{
    Start();
    ASSERT_EQ(Frame->Count(), 3);
    EXPECT_EQ(Frame->chlbCashTypes->item(1)->text(), QStringLiteral("Карта"));
    EXPECT_EQ(Frame->CashTypeID(1), 3);
    EXPECT_EQ(Frame->GetSelectedCashTypes(), QStringLiteral("1,3,7"));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Frame->Checked(i)) << i;
    EXPECT_TRUE(FCashTypes->GetQuery()->GetData()->Eof());
    EXPECT_EQ(Checks, 0);
    const int height = 3 * (Frame->ItemHeight() + 2) + 6;
    EXPECT_EQ(Requests, QList<int>{height});
    EXPECT_EQ(Frame->height(), height);
    EXPECT_EQ(Item->height(), 18 + height);
    // Every entry shows without scrolling.
    EXPECT_FALSE(Frame->chlbCashTypes->verticalScrollBar()->isVisible());
    EXPECT_EQ(ReportCashTypes(), (QList<int>{1, 3, 7}));
}

TEST_F(CashTypeFilterTest, TheSelectionFollowsTheListOrderNotTheIdentities)
{
    FDB->ExecSQL(QStringLiteral("update CashTypes set Name = \"Сейф\" where ID = 1"));
    Start();
    // By name: Карта (3), Наличные (7), Сейф (1).
    EXPECT_EQ(Frame->GetSelectedCashTypes(), QStringLiteral("3,7,1"));
    ClickCheckBox(1);
    EXPECT_EQ(Frame->GetSelectedCashTypes(), QStringLiteral("3,1"));
}

TEST_F(CashTypeFilterTest, UncheckingACashTypeReopensTheBalancesWithTheRest)
{
    Start();
    ClickCheckBox(1); // Карта, 3
    EXPECT_EQ(Checks, 1);
    EXPECT_FALSE(Frame->Checked(1));
    EXPECT_EQ(Frame->GetSelectedCashTypes(), QStringLiteral("1,7"));
    EXPECT_EQ(ReportCashTypes(), (QList<int>{1, 7}));

    // The keyboard changes a check mark as well.
    Frame->chlbCashTypes->setFocus();
    Frame->chlbCashTypes->setCurrentRow(2);
    QTest::keyClick(Frame->chlbCashTypes, Qt::Key_Space);
    EXPECT_EQ(Checks, 2);
    EXPECT_EQ(Frame->GetSelectedCashTypes(), QStringLiteral("1"));
    EXPECT_EQ(ReportCashTypes(), (QList<int>{1}));
}

TEST_F(CashTypeFilterTest, NothingCheckedMeansEveryCashType)
{
    Start();
    for (int i = 0; i < 3; ++i)
        ClickCheckBox(i);
    EXPECT_EQ(Checks, 3);
    EXPECT_EQ(Frame->GetSelectedCashTypes(), QString());
    EXPECT_EQ(ReportCashTypes(), (QList<int>{1, 3, 7}));
}

TEST_F(CashTypeFilterTest, ARefillChecksAllAgainButTheReportKeepsItsConditionUntilACheckChanges)
{
    Start();
    ClickCheckBox(1);
    ASSERT_EQ(ReportCashTypes(), (QList<int>{1, 7}));
    const int checks = Checks;

    // The cash types list changed: a new cash type with an income of its own.
    TLibRecord added = TLibRecord::Create(QStringLiteral("Вклад"), -1);
    FCashTypes->AddLibRecord(added);
    FDB->ExecSQL(QStringLiteral("insert into Incomes(TypeID, CashTypeID, OperationDate, SumValue, Planned) "
                                "values(1, %1, %2, 5.00, 0)")
                     .arg(added.ID)
                     .arg(MSAccessDate(EncodeDate(2024, 3, 6))));
    auto second = std::make_shared<TCashTypesLib>(FDB);
    second->Refresh();
    second->GetQuery()->GetData()->First();
    Frame->AddCashTypesFromQuery(second->GetQuery()->GetData());
    FReport->Refresh();

    EXPECT_EQ(Frame->Count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Frame->Checked(i)) << i;
    EXPECT_EQ(Checks, checks);
    EXPECT_EQ(Item->height(), 18 + 4 * (Frame->ItemHeight() + 2) + 6);
    EXPECT_EQ(ReportCashTypes(), (QList<int>{1, 7}));

    // The next check mark passes the whole new selection.
    ClickCheckBox(0);
    ClickCheckBox(0);
    EXPECT_EQ(Frame->GetSelectedCashTypes(), QStringLiteral("1,%1,3,7").arg(added.ID));
    EXPECT_EQ(ReportCashTypes(), (QList<int>{1, 3, 7, added.ID}));
}

TEST_F(CashTypeFilterTest, AnEmptyListGivesHeightSixAndAnEmptySelection)
{
    FDB->ExecSQL(QStringLiteral("delete from Incomes"));
    FDB->ExecSQL(QStringLiteral("delete from CashTypes"));
    Start();
    EXPECT_EQ(Frame->Count(), 0);
    EXPECT_EQ(Frame->GetSelectedCashTypes(), QString());
    EXPECT_EQ(Frame->height(), 6);
    EXPECT_EQ(Item->height(), 18 + 6);
}

TEST_F(CashTypeFilterTest, TwoHundredCashTypesGrowTheItemAndTheBarScrolls)
{
    for (int i = 0; i < 200; ++i)
        FDB->ExecSQL(QStringLiteral("insert into CashTypes(Name) values(\"Счёт №%1\")").arg(i + 100));
    Start();
    ASSERT_EQ(Frame->Count(), 203);
    const int height = 203 * (Frame->ItemHeight() + 2) + 6;
    EXPECT_EQ(Frame->height(), height);
    EXPECT_EQ(Item->height(), 18 + height);
    EXPECT_FALSE(Frame->chlbCashTypes->verticalScrollBar()->isVisible());
    QScrollBar *scroll = Bar.verticalScrollBar();
    EXPECT_TRUE(scroll->isVisible());
    EXPECT_GE(scroll->maximum(), 18 + height + 5 - Bar.viewport()->height());
    // The last entry is reachable by scrolling the bar.
    scroll->setValue(scroll->maximum());
    QListWidget *list = Frame->chlbCashTypes;
    const QPoint last = list->viewport()->mapTo(Bar.viewport(), list->visualItemRect(list->item(202)).center());
    EXPECT_GE(last.y(), 0);
    EXPECT_LT(last.y(), Bar.viewport()->height());
    EXPECT_EQ(Frame->GetSelectedCashTypes().count(QLatin1Char(',')), 202);
}

TEST_F(CashTypeFilterTest, ADatasetWithoutTheNameColumnIsRefusedAndTheListLeftEmpty)
{
    Start();
    IQueryPtr query = FDB->CreateQuery();
    query->Open(QStringLiteral("select ID from CashTypes"));
    EXPECT_THROW(Frame->AddCashTypesFromQuery(query->GetData()), EDatabaseError);
    EXPECT_EQ(Frame->Count(), 0);
    EXPECT_EQ(Frame->GetSelectedCashTypes(), QString());
}

} // namespace

#include "app/Main.h"
#include "support/RecordingDialogHook.h"
#include "support/ui/MainWindowEnv.h"

namespace {

// The filter in the running main window.
TEST(MainWindowCashTypeFilter, ChecksReachTheBalancesAndARefillShowsEveryCashType)
{
    TRecordedDialogs dialogs;
    TMainWindowEnv env;
    const int bank = env.AddCashType(QStringLiteral("Банк"));
    const int card = env.AddCashType(QStringLiteral("Карта"));
    const int cash = env.AddCashType(QStringLiteral("Наличные"));
    const int salary = env.AddIncomeType(QStringLiteral("Зарплата"));
    const QDate today = QDate::currentDate();
    for (int id : {bank, card, cash})
        env.AddIncome(today, id, salary, 100);
    env.WriteIni(QStringLiteral("[main]\npage_index=3\n"));
    std::unique_ptr<TFMain> window = env.Open();
    TFCashTypeFilterFrame *filter = window->FCashTypeFilterFrame;
    ASSERT_NE(filter, nullptr);
    TDataSet *balances = window->FRepMain->GetQuery()->GetQuery()->GetData();
    auto reported = [&] {
        QList<int> ids;
        for (balances->First(); !balances->Eof(); balances->Next())
            ids << balances->FieldByName(QStringLiteral("ct_id"))->AsInteger();
        std::sort(ids.begin(), ids.end());
        return ids;
    };
    EXPECT_FALSE(window->FrameBar()->GetItem(2)->isHidden());
    EXPECT_EQ(window->FrameBar()->GetItem(2)->height(), 18 + 3 * (filter->ItemHeight() + 2) + 6);
    EXPECT_EQ(filter->GetSelectedCashTypes(), QStringLiteral("%1,%2,%3").arg(bank).arg(card).arg(cash));
    EXPECT_EQ(reported(), (QList<int>{bank, card, cash}));

    QListWidget *list = filter->chlbCashTypes;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CheckBoxCenter(list, 1));
    EXPECT_EQ(window->SelectedCashTypes(), QStringLiteral("%1,%2").arg(bank).arg(cash));
    EXPECT_EQ(reported(), (QList<int>{bank, cash}));

    TLibRecord added = TLibRecord::Create(QStringLiteral("Вклад"), -1);
    window->FCashTypes->AddLibRecord(added);
    EXPECT_EQ(filter->Count(), 4);
    EXPECT_EQ(filter->GetSelectedCashTypes().count(QLatin1Char(',')), 3);
    EXPECT_EQ(window->FrameBar()->GetItem(2)->height(), 18 + 4 * (filter->ItemHeight() + 2) + 6);
    EXPECT_EQ(reported(), (QList<int>{bank, card, cash}));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CheckBoxCenter(list, 3));
    EXPECT_EQ(reported(), (QList<int>{bank, card}));
    EXPECT_EQ(dialogs->Count(), 0) << dialogs->Texts().join(" | ").toStdString();
    window.reset();
}

} // namespace
