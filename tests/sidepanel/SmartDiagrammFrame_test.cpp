#include "sidepanel/TaskBar.SmartDiagrammFrame.h"

#include "db/DBEngine.Core.h"
#include "db/Utils.h"
#include "platform/Exception.h"
#include "platform/widgets/Chart.h"
#include "support/TempDatabase.h"

#include <QBarSet>
#include <QSet>
#include <QChart>
#include <QChartView>
#include <QStackedBarSeries>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct TPointRow
{
    QString Label;
    double Value;
    bool operator==(const TPointRow &other) const { return Label == other.Label && qFuzzyCompare(Value + 1, other.Value + 1); }
};

void PrintTo(const TPointRow &row, std::ostream *os)
{
    *os << '(' << row.Label.toStdString() << ", " << row.Value << ')';
}

std::vector<TPointRow> Points(const TQtChartSeries *series)
{
    std::vector<TPointRow> rows;
    for (int i = 0; i < series->Count(); ++i)
        rows.push_back({series->Label(i), series->Value(i)});
    return rows;
}

TDateTime D(int y, int m, int d)
{
    return EncodeDate(y, m, d);
}

// A database with two cash types, two expense types and tags, and the chart frame on it.
class SmartDiagrammTest : public ::testing::Test
{
protected:
    SmartDiagrammTest()
    {
        FDB = TDBConnection::Create();
        FDB->Connect(FTemp.ConnectionString());
        FCard = AddName("CashTypes", "Карта");
        FCash = AddName("CashTypes", "Наличные");
        FSalary = AddName("IncomeTypes", "Зарплата");
        FFood = AddName("ExpenseTypes", "Еда");
        FTransport = AddName("ExpenseTypes", "Транспорт");
        FHoliday = AddName("Tags", "отпуск");
        FSea = AddName("Tags", "море");
        Frame.Init(FDB);
        Frame.resize(170, 170);
    }

    int AddName(const char *table, const char *name)
    {
        FDB->ExecSQL(QStringLiteral("insert into %1(Name) values(\"%2\")").arg(QLatin1String(table), QString::fromUtf8(name)));
        return FDB->GetLastIdentity();
    }
    int Add(const char *table, const char *links, int link1, int link2, TDateTime date, double sum, bool planned = false)
    {
        FDB->ExecSQL(QStringLiteral("insert into %1(%2, OperationDate, SumValue, Planned) values(%3, %4, %5, %6, %7)")
                         .arg(QLatin1String(table), QLatin1String(links))
                         .arg(link1)
                         .arg(link2)
                         .arg(MSAccessDate(date), QString::number(sum, 'f', 2))
                         .arg(planned ? 1 : 0));
        return FDB->GetLastIdentity();
    }
    int Expense(TDateTime date, int type, int cash, double sum, bool planned = false)
    {
        return Add("Expenses", "TypeID, CashTypeID", type, cash, date, sum, planned);
    }
    int Income(TDateTime date, int cash, double sum, bool planned = false)
    {
        return Add("Incomes", "TypeID, CashTypeID", FSalary, cash, date, sum, planned);
    }
    int Transfer(TDateTime date, int src, int dst, double sum)
    {
        return Add("Transfers", "SrcCashTypeID, DstCashTypeID", src, dst, date, sum);
    }
    void Tag(int expense, int tag)
    {
        FDB->ExecSQL(QStringLiteral("insert into ExpensesTags(OwnerID, TagID) values(%1, %2)").arg(expense).arg(tag));
    }

    void ExpectSwitched(bool bars)
    {
        EXPECT_EQ(Frame.Histogramm->Active(), bars);
        EXPECT_EQ(Frame.Line->Active(), !bars);
        EXPECT_FALSE(Frame.SingleLine->Active());
    }

    TTempDatabase FTemp;
    IDBConnectionPtr FDB;
    TFSmartDiagramm Frame;
    int FCard = 0, FCash = 0, FSalary = 0, FFood = 0, FTransport = 0, FHoliday = 0, FSea = 0;
};

TEST_F(SmartDiagrammTest, BlankUntilTheFirstDrawing)
{
    EXPECT_TRUE(Frame.SingleLine->Active());
    EXPECT_EQ(Frame.SingleLine->Count(), 0);
    EXPECT_FALSE(Frame.Histogramm->Active());
    EXPECT_FALSE(Frame.Line->Active());
    EXPECT_TRUE(Frame.chSmartChart->EmptyNoteVisible());
    EXPECT_FALSE(Frame.chSmartChart->LegendVisible());
}

// The record of the 10th, movements of its cash type on the 3rd, 7th and 20th.
TEST_F(SmartDiagrammTest, TheBalanceRunsFromBeforeThePeriodToTheRecordsDay)
{
    Income(D(2024, 2, 20), FCard, 1000);
    Expense(D(2024, 1, 5), FFood, FCard, 150);
    Transfer(D(2024, 2, 25), FCard, FCash, 50);
    Expense(D(2024, 3, 3), FFood, FCard, 100);
    Income(D(2024, 3, 7), FCard, 50);
    Transfer(D(2024, 3, 7), FCard, FCash, 30);
    Transfer(D(2024, 3, 7), FCash, FCard, 5);
    Expense(D(2024, 3, 10), FTransport, FCard, 20);
    Expense(D(2024, 3, 20), FFood, FCard, 200);
    Expense(D(2024, 3, 8), FFood, FCash, 999); // another cash type
    Expense(D(2024, 3, 9), FFood, FCard, 400, true); // planned, excluded

    Frame.ShowCashRemainderDiagram(QStringLiteral("Карта"), FCard, D(2024, 3, 1), D(2024, 3, 31), D(2024, 3, 10), false);
    ExpectSwitched(false);
    EXPECT_EQ(Frame.chSmartChart->Title(), QStringLiteral("Карта. Движение"));
    EXPECT_EQ(Points(Frame.Line), (std::vector<TPointRow>{{"ост.", 800}, {"3", 700}, {"7", 725}, {"10", 705}}));
    EXPECT_EQ(Frame.Histogramm->Count(), 0);

    // With planned operations the 9th appears.
    Frame.ShowCashRemainderDiagram(QStringLiteral("Карта"), FCard, D(2024, 3, 1), D(2024, 3, 31), D(2024, 3, 10), true);
    EXPECT_EQ(Points(Frame.Line),
              (std::vector<TPointRow>{{"ост.", 800}, {"3", 700}, {"7", 725}, {"9", 325}, {"10", 305}}));
}

TEST_F(SmartDiagrammTest, ACashTypeWithoutEarlierMovementStartsAtZero)
{
    Expense(D(2024, 3, 2), FFood, FCash, 10);
    Frame.ShowCashRemainderDiagram(QStringLiteral("Наличные"), FCash, D(2024, 3, 1), D(2024, 3, 31), D(2024, 3, 2), false);
    EXPECT_EQ(Points(Frame.Line), (std::vector<TPointRow>{{"ост.", 0}, {"2", -10}}));
}

TEST_F(SmartDiagrammTest, TheDayChartComparesTheDayWithThePeriodAndAllTime)
{
    Expense(D(2024, 3, 4), FFood, FCard, 30);
    Expense(D(2024, 3, 4), FTransport, FCash, 10);
    Expense(D(2024, 3, 5), FFood, FCard, 20);
    Expense(D(2024, 3, 4), FFood, FCard, 500, true); // planned
    Expense(D(2024, 2, 1), FFood, FCard, 90);

    Frame.ShowExpensesDayDiagram(D(2024, 3, 1), D(2024, 3, 31), D(2024, 3, 4), false);
    ExpectSwitched(true);
    EXPECT_EQ(Frame.chSmartChart->Title(), QStringLiteral("Средний дневной расход"));
    // Days with expenses: 4th (40) and 5th (20) in the period, and 1 February (90).
    EXPECT_EQ(Points(Frame.Histogramm), (std::vector<TPointRow>{{"день", 40}, {"месяц", 30}, {"общий", 50}}));

    Frame.ShowExpensesDayDiagram(D(2024, 3, 1), D(2024, 3, 31), D(2024, 3, 4), true);
    EXPECT_EQ(Points(Frame.Histogramm),
              (std::vector<TPointRow>{{"день", 540}, {"месяц", 280}, {"общий", (540 + 20 + 90) / 3.0}}));
}

TEST_F(SmartDiagrammTest, TheTypeChartCountsPlannedOnlyInTheMonthlyAverage)
{
    Expense(D(2024, 3, 4), FFood, FCard, 30);
    Expense(D(2024, 3, 4), FFood, FCash, 5);
    Expense(D(2024, 3, 4), FTransport, FCard, 7);
    Expense(D(2024, 3, 12), FFood, FCard, 15);
    Expense(D(2024, 3, 4), FFood, FCard, 100, true);
    Expense(D(2024, 1, 20), FFood, FCard, 50);

    Frame.ShowExpensesByTypeDiagram(QStringLiteral("Еда"), FFood, D(2024, 3, 1), D(2024, 3, 31), D(2024, 3, 4), false);
    ExpectSwitched(true);
    EXPECT_EQ(Frame.chSmartChart->Title(), QStringLiteral("Еда. Траты"));
    // Months of Еда: January 50, March 150 with the planned one.
    EXPECT_EQ(Points(Frame.Histogramm), (std::vector<TPointRow>{{"день", 35}, {"период", 50}, {"среднее", 100}}));
}

TEST_F(SmartDiagrammTest, TheTagChartHasOneBarPerTagOfTheRecord)
{
    const int untagged = Expense(D(2024, 3, 4), FFood, FCard, 30);
    const int both = Expense(D(2024, 3, 5), FFood, FCard, 20);
    Tag(both, FHoliday);
    Tag(both, FSea);
    Tag(Expense(D(2024, 3, 6), FTransport, FCard, 7), FSea);
    Tag(Expense(D(2024, 4, 6), FTransport, FCard, 1000), FSea); // after the period
    Tag(Expense(D(2024, 3, 7), FTransport, FCard, 300, true), FHoliday); // planned

    Frame.ShowExpensesByTagsDiagram(both, D(2024, 3, 1), D(2024, 3, 31), D(2024, 3, 5), false);
    ExpectSwitched(true);
    EXPECT_EQ(Frame.chSmartChart->Title(), QStringLiteral("Расходы по тегам"));
    std::vector<TPointRow> bars = Points(Frame.Histogramm);
    std::sort(bars.begin(), bars.end(), [](const TPointRow &a, const TPointRow &b) { return a.Label < b.Label; });
    EXPECT_EQ(bars, (std::vector<TPointRow>{{"море", 27}, {"отпуск", 20}}));

    Frame.ShowExpensesByTagsDiagram(untagged, D(2024, 3, 1), D(2024, 3, 31), D(2024, 3, 4), false);
    EXPECT_EQ(Frame.Histogramm->Count(), 0);
}

TEST_F(SmartDiagrammTest, BarsHaveTheirOwnColoursAndAHorizontalGradient)
{
    Expense(D(2024, 3, 4), FFood, FCard, 30);
    // A second filling reuses the chart's bar sets.
    Frame.ShowExpensesDayDiagram(D(2024, 3, 1), D(2024, 3, 31), D(2024, 3, 4), false);
    Frame.ShowExpensesByTypeDiagram(QStringLiteral("Еда"), FFood, D(2024, 3, 1), D(2024, 3, 31), D(2024, 3, 4), false);
    Frame.chSmartChart->Flush();
    const QList<QBarSet *> sets = Frame.Histogramm->BarSeries()->barSets();
    ASSERT_EQ(sets.size(), 3);
    QSet<QRgb> colours;
    for (int i = 0; i < 3; ++i)
        colours.insert(Frame.Histogramm->Color(i).rgb());
    for (QBarSet *set : sets) {
        const QGradient *gradient = set->brush().gradient();
        ASSERT_NE(gradient, nullptr);
        ASSERT_EQ(gradient->type(), QGradient::LinearGradient);
        const auto *linear = static_cast<const QLinearGradient *>(gradient);
        EXPECT_EQ(linear->start().y(), linear->finalStop().y());
        EXPECT_LT(linear->start().x(), linear->finalStop().x());
        EXPECT_NEAR(gradient->stops().first().second.alphaF(), 0.74, 0.01);
        EXPECT_TRUE(colours.contains(gradient->stops().last().second.rgb()));
    }
    EXPECT_NE(Frame.Histogramm->Color(0), Frame.Histogramm->Color(1));
}

// An empty expenses journal hands over zero and empty values: the charts are drawn for them.
TEST_F(SmartDiagrammTest, AnEmptyJournalDrawsZeroValues)
{
    Frame.ShowExpensesDayDiagram(D(2024, 3, 1), D(2024, 3, 31), 0, false);
    EXPECT_EQ(Points(Frame.Histogramm), (std::vector<TPointRow>{{"день", 0}, {"месяц", 0}, {"общий", 0}}));
    Frame.ShowExpensesByTypeDiagram(QString(), 0, D(2024, 3, 1), D(2024, 3, 31), 0, false);
    EXPECT_EQ(Points(Frame.Histogramm), (std::vector<TPointRow>{{"день", 0}, {"период", 0}, {"среднее", 0}}));
    EXPECT_EQ(Frame.chSmartChart->Title(), QStringLiteral(". Траты"));
    Frame.ShowCashRemainderDiagram(QString(), 0, D(2024, 3, 1), D(2024, 3, 31), 0, false);
    EXPECT_EQ(Points(Frame.Line), (std::vector<TPointRow>{{"ост.", 0}}));
    Frame.ShowExpensesByTagsDiagram(0, D(2024, 3, 1), D(2024, 3, 31), 0, false);
    EXPECT_EQ(Frame.Histogramm->Count(), 0);
    Frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame));
    EXPECT_FALSE(Frame.grab().isNull());
}

TEST_F(SmartDiagrammTest, AFailingQueryLeavesTheChartSwitchedClearedAndTitled)
{
    Expense(D(2024, 3, 4), FFood, FCard, 30);
    Frame.ShowExpensesDayDiagram(D(2024, 3, 1), D(2024, 3, 31), D(2024, 3, 4), false);
    ASSERT_EQ(Frame.Histogramm->Count(), 3);
    FDB->ExecSQL(QStringLiteral("drop table ExpensesTags"));
    EXPECT_THROW(Frame.ShowExpensesByTagsDiagram(1, D(2024, 3, 1), D(2024, 3, 31), 0, false), EDatabaseError);
    EXPECT_EQ(Frame.Histogramm->Count(), 0);
    EXPECT_EQ(Frame.chSmartChart->Title(), QStringLiteral("Расходы по тегам"));

    TFSmartDiagramm unconnected;
    EXPECT_THROW(unconnected.ShowExpensesDayDiagram(0, 0, 0, false), Exception);
    EXPECT_EQ(unconnected.chSmartChart->Title(), QStringLiteral("Средний дневной расход"));
}

} // namespace

#include "app/Settings.h"
#include "model/Classes.Libs.h"
#include "platform/widgets/ActionList.h"
#include "sidepanel/TaskBar.CashTypeFilterFrame.h"
#include "sidepanel/TaskBar.LinksFrame.h"
#include "sidepanel/TaskBar.NotesFrame.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWindow>
#include <QtMath>

namespace {

// The whole side panel built as the main window builds it, on each page and during a
// collapse, saved for a look under <build>/screenshots.
class SidePanelScreenshotTest : public SmartDiagrammTest
{
protected:
    SidePanelScreenshotTest()
    {
        QFont font;
        font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
        font.setPointSize(8);
        Bar.setFont(NarrowPanelFont(font));
        Bar.setGeometry(0, 0, 180, 423);
        Bar.SetColor(0xFFEEEB);

        QList<QIcon> images;
        for (QColor color : {QColor(0x6c, 0xbf, 0x4a), QColor(0x4a, 0x78, 0xc8), QColor(0xf0, 0xa8, 0x32)}) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(color.darker(140));
            p.setBrush(color);
            p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 2, 2);
            images << QIcon(pixmap);
        }
        Add = Actions.AddAction(QStringLiteral("Добавить запись"));
        Add->SetImageIndex(0);
        IncomeTypes = Actions.AddAction(QStringLiteral("Виды доходов"));
        IncomeTypes->SetImageIndex(1);
        ExpenseTypes = Actions.AddAction(QStringLiteral("Виды расходов"));
        ExpenseTypes->SetImageIndex(1);
        CashTypes = Actions.AddAction(QStringLiteral("Виды денежных средств"));
        CashTypes->SetImageIndex(2);

        auto heightChange = [this](QWidget *sender, int height) { Bar.FrameHeightChange(sender, height); };
        Links = new TFLinksFrame;
        Links->SetImageList(images);
        Links->OnHeightChange = heightChange;
        Chart = new TFSmartDiagramm;
        Chart->Init(FDB);
        Notes = new TFNotesFrame;
        Notes->SetText(QStringLiteral("Оплатить интернет до 15-го\nКупить подарок маме\n\nПроверить выписку по карте"));
        Filter = new TFCashTypeFilterFrame;
        Filter->OnHeightChange = heightChange;

        Bar.SetGradientStartColor(0xE0E0E0);
        Bar.SetGradientEndColor(0xFFFFFF);
        Bar.SetGradientDirection(gdHorizontal);
        Bar.SetTitleHeight(18);
        Bar.SetTitleStyle(psGradient);
        Bar.SetTitleGradientStartColor(0x4CCD9E);
        Bar.SetTitleGradientEndColor(0xFFFFFF);
        Bar.SetTitleGradientDirection(gdVertical);
        Bar.AddItem(QStringLiteral("Общие задачи"), Links);
        Links->SetCanResize(true);
        Bar.AddItem(QStringLiteral("Диаграммы"), Chart);
        Bar.AddItem(QStringLiteral("Фильтр по видам средств"), Filter);
        Bar.AddItem(QStringLiteral("Дополнительно"), Notes);
        TAppSetting none{QString()};
        Bar.LoadSettings(none, QStringLiteral("FrameBar"));

        AddName("CashTypes", "Сберегательный счёт");
        TCashTypesLib cashTypes(FDB);
        cashTypes.Refresh();
        cashTypes.GetQuery()->GetData()->First();
        Filter->AddCashTypesFromQuery(cashTypes.GetQuery()->GetData());

        Expense(D(2024, 3, 4), FFood, FCard, 30);
        Expense(D(2024, 3, 5), FFood, FCard, 20);
        Expense(D(2024, 2, 1), FFood, FCard, 90);
        Chart->ShowExpensesDayDiagram(D(2024, 3, 1), D(2024, 3, 31), D(2024, 3, 4), false);

        Bar.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Bar));
    }

    // Items and links of a page, as the page change sets them.
    void ShowPage(int page)
    {
        static const QString addCaptions[] = {QStringLiteral("Добавить доход"), QStringLiteral("Добавить расход"),
                                              QStringLiteral("Добавить перевод")};
        const bool journal = page >= 0 && page <= 2;
        if (journal)
            Add->SetCaption(addCaptions[page]);
        Links->ClearLinks();
        Bar.SetItemVisible(0, journal);
        Bar.SetItemVisible(1, page == 1);
        Bar.SetItemVisible(2, page == 3);
        if (journal) {
            TAction *list = page == 0 ? IncomeTypes : page == 1 ? ExpenseTypes : CashTypes;
            Links->AddLinks({Add, list});
            if (page != 2)
                Links->AddLink(CashTypes);
        }
        QApplication::processEvents();
    }

    QImage Save(const QString &name)
    {
        const QImage image = Bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString folder = QStringLiteral(TALLYSET_BINARY_DIR "/screenshots");
        QDir().mkpath(folder);
        EXPECT_TRUE(image.save(folder + QStringLiteral("/") + name));
        return image;
    }

    // Dark pixels in a rectangle of the image.
    static int Ink(const QImage &image, const QRect &rect)
    {
        int ink = 0;
        const QRect r = rect.intersected(image.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                ink += qGray(image.pixel(x, y)) < 110;
        return ink;
    }

    // Header gradient, the triangle at the right and a caption in the header of item.
    void ExpectHeader(const QImage &image, TFrameBarItem *item)
    {
        const QPoint at = item->mapTo(&Bar, QPoint(0, 0));
        EXPECT_EQ(image.pixel(at.x() + 1, at.y()), qRgb(158, 205, 76));
        EXPECT_EQ(image.pixel(at.x() + 1, at.y() + 17), qRgb(255, 255, 255));
        EXPECT_GT(Ink(image, QRect(at.x() + item->width() - 10, at.y() + 5, 8, 8)), 2);
        EXPECT_GT(Ink(image, QRect(at.x() + 10, at.y() + 2, 60, 14)), 20);
    }

    TActionList Actions;
    TFrameBar Bar;
    TFLinksFrame *Links = nullptr;
    TFSmartDiagramm *Chart = nullptr;
    TFNotesFrame *Notes = nullptr;
    TFCashTypeFilterFrame *Filter = nullptr;
    TAction *Add = nullptr;
    TAction *IncomeTypes = nullptr;
    TAction *ExpenseTypes = nullptr;
    TAction *CashTypes = nullptr;
};

TEST_F(SidePanelScreenshotTest, EachPage)
{
    const char *names[] = {"incomes", "expenses", "transfers", "reports", "diagrams"};
    for (int page = 0; page < 5; ++page) {
        SCOPED_TRACE(names[page]);
        ShowPage(page);
        const QImage image = Save(QStringLiteral("sidepanel_%1.png").arg(QLatin1String(names[page])));
        // Background from light grey at the left to white at the right, below the items
        // (the expenses page fills the panel and scrolls).
        if (page != 1) {
            EXPECT_EQ(image.pixel(0, image.height() - 2), qRgb(224, 224, 224));
            EXPECT_EQ(image.pixel(179, image.height() - 2), qRgb(255, 255, 255));
        }
        for (int i = 0; i < Bar.Count(); ++i)
            if (!Bar.GetItem(i)->isHidden())
                ExpectHeader(image, Bar.GetItem(i));
        if (page == 1) {
            Chart->chSmartChart->Flush();
            EXPECT_EQ(Chart->chSmartChart->Chart()->title(), QStringLiteral("Средний дневной расход"));
        }
        if (page <= 2) {
            // Every link has ink on its line.
            for (int i = 0; i < Links->LinkCount(); ++i) {
                const QRect entry = Links->lbLinks->visualItemRect(Links->lbLinks->item(i));
                const QPoint at = Links->lbLinks->viewport()->mapTo(&Bar, entry.topLeft());
                EXPECT_GT(Ink(image, QRect(at.x() + 19, at.y(), entry.width() - 19, entry.height())), 30) << i;
            }
        }
    }
    ShowPage(0);
    EXPECT_EQ(Bar.GetItem(0)->height(), 96);
}

// Long drags of the notes grip, down past the panel's end and up past the header.
TEST_F(SidePanelScreenshotTest, AfterALongGripDrag)
{
    ShowPage(3);
    TFrameBarItem *notes = Bar.GetItem(3);
    QWindow *window = Bar.windowHandle();
    ASSERT_NE(window, nullptr);
    const auto drag = [&](int dy) {
        Bar.ensureWidgetVisible(Notes->pnResize);
        QApplication::processEvents();
        const QPoint grip = Notes->pnResize->mapTo(&Bar, QPoint(60, 2));
        QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, grip);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(window, grip + QPoint(0, dy * step / 4));
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, grip + QPoint(0, dy));
        QApplication::processEvents();
    };

    const int before = notes->height();
    drag(300);
    EXPECT_EQ(notes->height(), before + 300);
    Save(QStringLiteral("sidepanel_notes_drag_down.png"));

    drag(-2000);
    Bar.verticalScrollBar()->setValue(0);
    EXPECT_EQ(notes->height(), notes->MinimumHeight());
    const QImage image = Save(QStringLiteral("sidepanel_notes_drag_up.png"));
    ExpectHeader(image, notes);
    // The grip stays at the item's bottom and three lines of notes show (the first
    // note wraps onto the second line here).
    EXPECT_EQ(Notes->pnResize->mapTo(notes, QPoint(0, 4)).y(), notes->height());
    const int line = Notes->mNotes->fontMetrics().lineSpacing();
    const int margin = qCeil(Notes->mNotes->document()->documentMargin());
    const QPoint text = Notes->mNotes->viewport()->mapTo(&Bar, QPoint(0, margin));
    const int width = Notes->mNotes->viewport()->width();
    EXPECT_GE(Notes->mNotes->viewport()->height(), 3 * line + 2 * margin);
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(Ink(image, QRect(text.x(), text.y() + i * line, width, line)), i == 1 ? 8 : 30) << i;
}

TEST_F(SidePanelScreenshotTest, DuringACollapse)
{
    ShowPage(1);
    TFrameBarItem *chart = Bar.GetItem(1);
    chart->Collapse();
    for (int i = 0; i < 3; ++i)
        chart->Tick();
    const QImage image = Save(QStringLiteral("sidepanel_collapse.png"));
    ExpectHeader(image, chart);
    EXPECT_EQ(Chart->chSmartChart->Chart()->title(), QStringLiteral("Средний дневной расход"));
    EXPECT_LT(chart->height(), chart->RealHeight());
    EXPECT_EQ(Bar.GetItem(3)->y(), chart->y() + chart->height() + 5);
}

} // namespace

#include "app/Main.h"
#include "platform/widgets/DBGridEh.h"
#include "platform/widgets/DateEdit.h"
#include "support/RecordingDialogHook.h"
#include "support/ui/MainWindowEnv.h"

namespace {

// The context chart in the running main window, on a database of one March.
class MainWindowChartTest : public ::testing::Test
{
protected:
    enum { colDate = 0, colCashType = 1, colType = 2, colDescription = 3, colTags = 4, colSum = 5 };

    void TearDown() override { Window.reset(); }

    void Open(const char *bdate = "01.03.2024", const char *edate = "31.03.2024")
    {
        Env.WriteIni(QStringLiteral("[main]\nbdate=%1\nedate=%2\npage_index=1\n").arg(QLatin1String(bdate), QLatin1String(edate)));
        Window = Env.Open();
        Chart = Window->FSmartDiagrammFrame;
        ASSERT_NE(Chart, nullptr);
        RunEventLoop(120);
        ASSERT_FALSE(Window->FSmartDiagrammTimer->Pending());
    }

    void StandOn(int column)
    {
        Window->dbgExpenses->setFocus();
        Window->dbgExpenses->SetSelectedIndex(column);
        ASSERT_EQ(Window->dbgExpenses->SelectedColumn()->FieldName(),
                  (QStringList{"OperationDate", "CashTypeName", "TypeName", "Description", "Tags", "SumValue"}[column]));
    }

    // What the chart shows: its title and the points of the series drawn.
    QString Shown() const
    {
        QStringList parts{Chart->chSmartChart->Title()};
        for (const TQtChartSeries *series : {Chart->Histogramm, Chart->Line})
            if (series->Active())
                for (int i = 0; i < series->Count(); ++i)
                    parts << series->Label(i) + QLatin1Char('=') + QString::number(series->Value(i));
        return parts.join(QLatin1Char(' '));
    }

    TRecordedDialogs Dialogs;
    TMainWindowEnv Env;
    std::unique_ptr<TFMain> Window;
    TFSmartDiagramm *Chart = nullptr;
};

TEST_F(MainWindowChartTest, TheFirstDrawingFollowsTheStartUp)
{
    const int card = Env.AddCashType(QStringLiteral("Карта"));
    const int food = Env.AddExpenseType(QStringLiteral("Еда"));
    Env.AddExpense(QDate(2024, 3, 4), card, food, 30);
    Env.AddExpense(QDate(2024, 3, 5), card, food, 20);
    Open();
    // The grid starts on the date column and the first row.
    EXPECT_EQ(Shown(), QStringLiteral("Средний дневной расход день=30 месяц=25 общий=25"));
    EXPECT_EQ(Window->FrameBar()->FrameItems(Chart)->Header()->Caption(), QStringLiteral("Диаграммы"));
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

TEST_F(MainWindowChartTest, TwentyQuickRowMovesDrawOnceForTheLastRow)
{
    const int card = Env.AddCashType(QStringLiteral("Карта"));
    QList<int> types;
    for (int i = 0; i < 22; ++i) {
        types << Env.AddExpenseType(QStringLiteral("Вид %1").arg(i + 1));
        Env.AddExpense(QDate(2024, 3, 1 + i), card, types.last(), 10 + i);
    }
    Open();
    StandOn(colType);
    RunEventLoop(120);
    const QString before = Shown();
    ASSERT_EQ(before, QStringLiteral("Вид 1. Траты день=10 период=10 среднее=10"));

    // Key presses come faster than the delay: no event loop runs between them.
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(Window->dbgExpenses, Qt::Key_Down);
        EXPECT_TRUE(Window->FSmartDiagrammTimer->Pending());
        EXPECT_EQ(Shown(), before) << "move " << i;
    }
    ASSERT_EQ(Window->FExpensesJournal->CurrentRecord().Link2.Name, QStringLiteral("Вид 21"));
    RunEventLoop(120);
    EXPECT_EQ(Shown(), QStringLiteral("Вид 21. Траты день=30 период=30 среднее=30"));
    // Nothing else is drawn afterwards.
    Chart->chSmartChart->SetTitle(QStringLiteral("метка"));
    RunEventLoop(120);
    EXPECT_EQ(Chart->chSmartChart->Title(), QStringLiteral("метка"));
}

TEST_F(MainWindowChartTest, TheColumnChoosesTheChartAndTheAmountColumnKeepsIt)
{
    const int card = Env.AddCashType(QStringLiteral("Карта"));
    const int food = Env.AddExpenseType(QStringLiteral("Еда"));
    const int transport = Env.AddExpenseType(QStringLiteral("Транспорт"));
    const int salary = Env.AddIncomeType(QStringLiteral("Зарплата"));
    Env.AddIncome(QDate(2024, 2, 20), card, salary, 1000);
    Env.AddExpense(QDate(2024, 3, 3), card, food, 100);
    Env.AddExpense(QDate(2024, 3, 10), card, transport, 20, QStringLiteral("метро"));
    Env.AddExpense(QDate(2024, 3, 20), card, food, 200);
    Open();
    QTest::keyClick(Window->dbgExpenses, Qt::Key_Down);

    StandOn(colCashType);
    RunEventLoop(120);
    EXPECT_EQ(Shown(), QStringLiteral("Карта. Движение ост.=1000 3=900 10=880"));
    StandOn(colType);
    RunEventLoop(120);
    const QString typeChart = Shown();
    EXPECT_EQ(typeChart, QStringLiteral("Транспорт. Траты день=20 период=20 среднее=20"));
    StandOn(colDescription);
    Chart->chSmartChart->SetTitle(QString());
    RunEventLoop(120);
    EXPECT_EQ(Shown(), typeChart);

    StandOn(colSum);
    EXPECT_TRUE(Window->FSmartDiagrammTimer->Pending());
    RunEventLoop(120);
    EXPECT_EQ(Shown(), typeChart);
    QTest::keyClick(Window->dbgExpenses, Qt::Key_Down);
    QTest::keyClick(Window->dbgExpenses, Qt::Key_Up);
    QTest::keyClick(Window->dbgExpenses, Qt::Key_Up);
    RunEventLoop(120);
    EXPECT_EQ(Shown(), typeChart);
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

TEST_F(MainWindowChartTest, APeriodChangeRedrawsTheDayChartUnlessTheNewPeriodIsEmpty)
{
    const int card = Env.AddCashType(QStringLiteral("Карта"));
    const int food = Env.AddExpenseType(QStringLiteral("Еда"));
    Env.AddExpense(QDate(2024, 3, 4), card, food, 30);
    Env.AddExpense(QDate(2024, 3, 5), card, food, 10);
    Env.AddExpense(QDate(2024, 4, 2), card, food, 50);
    Open();
    StandOn(colDate);
    RunEventLoop(120);
    ASSERT_EQ(Shown(), QStringLiteral("Средний дневной расход день=30 месяц=20 общий=30"));

    Window->deBDate->SetDate(EncodeDate(2024, 3, 5));
    RunEventLoop(120);
    EXPECT_EQ(Shown(), QStringLiteral("Средний дневной расход день=10 месяц=10 общий=30"));

    Window->deEdate->SetDate(EncodeDate(2024, 12, 31));
    RunEventLoop(120);
    ASSERT_EQ(Shown(), QStringLiteral("Средний дневной расход день=10 месяц=30 общий=30"));
    Window->deBDate->SetDate(EncodeDate(2024, 6, 1));
    RunEventLoop(120);
    EXPECT_TRUE(Window->FExpensesJournal->GetQuery()->GetQuery()->IsEmpty());
    EXPECT_EQ(Shown(), QStringLiteral("Средний дневной расход день=10 месяц=30 общий=30"));
}

TEST_F(MainWindowChartTest, AnEmptyJournalDrawsZerosOnEveryColumn)
{
    Env.AddCashType(QStringLiteral("Карта"));
    Open();
    StandOn(colDate);
    RunEventLoop(120);
    EXPECT_EQ(Shown(), QStringLiteral("Средний дневной расход день=0 месяц=0 общий=0"));
    StandOn(colCashType);
    RunEventLoop(120);
    EXPECT_EQ(Shown(), QStringLiteral(". Движение ост.=0"));
    StandOn(colTags);
    RunEventLoop(120);
    EXPECT_EQ(Shown(), QStringLiteral("Расходы по тегам"));
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

TEST_F(MainWindowChartTest, ClosingFreesTheExecutorBeforeTheFrame)
{
    const int card = Env.AddCashType(QStringLiteral("Карта"));
    const int food = Env.AddExpenseType(QStringLiteral("Еда"));
    Env.AddExpense(QDate(2024, 3, 4), card, food, 30);
    Env.AddExpense(QDate(2024, 3, 5), card, food, 10);
    Open();
    QPointer<TFSmartDiagramm> frame = Chart;
    QTest::keyClick(Window->dbgExpenses, Qt::Key_Down);
    ASSERT_TRUE(Window->FSmartDiagrammTimer->Pending());
    Window->close();
    EXPECT_FALSE(Window->FSmartDiagrammTimer);
    EXPECT_TRUE(frame.isNull());
    EXPECT_EQ(Window->FSmartDiagrammFrame, nullptr);
    EXPECT_EQ(Window->FLinksFrame, nullptr);
    EXPECT_EQ(Window->FrameBar()->GetItem(1)->Frame(), nullptr);
    RunEventLoop(120);
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

} // namespace
