#include "sidepanel/TaskBar.LinksFrame.h"

#include "platform/widgets/ActionList.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QFont WindowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    return font;
}

QList<QIcon> Pictures()
{
    QList<QIcon> images;
    for (QColor color : {QColor(0x6c, 0xbf, 0x4a), QColor(0x4a, 0x78, 0xc8), QColor(0xf0, 0xa8, 0x32)}) {
        QPixmap pixmap(16, 16);
        pixmap.fill(color);
        images << QIcon(pixmap);
    }
    return images;
}

// The links item of the side panel as the main window builds it.
class LinksFrameTest : public ::testing::Test
{
protected:
    LinksFrameTest()
    {
        Bar.setFont(WindowFont());
        Bar.setGeometry(0, 0, 180, 423);
        Bar.SetTitleHeight(18);
        Bar.SetTitleStyle(psGradient);
        Bar.SetTitleGradientStartColor(0x4CCD9E);
        Bar.SetTitleGradientEndColor(0xFFFFFF);
        Bar.SetTitleGradientDirection(gdVertical);
        Bar.SetGradientStartColor(0xE0E0E0);
        Bar.SetGradientEndColor(0xFFFFFF);
        Links = new TFLinksFrame;
        Links->SetImageList(Pictures());
        Links->OnHeightChange = [this](QWidget *sender, int height) {
            Requests.append(height);
            Bar.FrameHeightChange(sender, height);
        };
        Item = Bar.AddItem(QStringLiteral("Общие задачи"), Links);
        Links->SetCanResize(true);
        Add = Actions.AddAction(QStringLiteral("Добавить доход"));
        Add->SetImageIndex(0);
        Types = Actions.AddAction(QStringLiteral("Виды доходов"));
        Types->SetImageIndex(1);
        CashTypes = Actions.AddAction(QStringLiteral("Виды денежных средств"));
        CashTypes->SetImageIndex(2);
        for (TAction *action : {Add, Types, CashTypes})
            action->OnExecute = [this](TAction &a) { Runs.append(a.Caption()); };
    }

    void Show()
    {
        Bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Bar));
        // Shown at its width, the empty frame has asked for its margins alone.
        ASSERT_EQ(Requests.value(Requests.size() - 1), 12);
        Requests.clear();
    }

    QPoint EntryCenter(int index) const
    {
        return Links->lbLinks->visualItemRect(Links->lbLinks->item(index)).center();
    }

    TActionList Actions;
    TFrameBar Bar;
    TFLinksFrame *Links = nullptr;
    TFrameBarItem *Item = nullptr;
    TAction *Add = nullptr;
    TAction *Types = nullptr;
    TAction *CashTypes = nullptr;
    QList<int> Requests;
    QStringList Runs;
};

TEST_F(LinksFrameTest, IncomesPageLinksTakeTheMinimumAndTheItemBecomes96)
{
    Show();
    Links->AddLinks({Add, Types, CashTypes});
    ASSERT_EQ(Links->LinkCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_LE(Links->GetItemHeight(i), TFLinksFrame::c_MinItemHeight) << i;
        EXPECT_EQ(Links->EntryHeight(i), 22) << i;
        EXPECT_EQ(Links->lbLinks->visualItemRect(Links->lbLinks->item(i)).height(), 22) << i;
    }
    // Re-measured after each link: 12 + 22, 12 + 2 * 22, 12 + 3 * 22.
    EXPECT_EQ(Requests, (QList<int>{34, 56, 78}));
    EXPECT_EQ(Item->height(), 96);
    EXPECT_EQ(Links->height(), 78);
    EXPECT_EQ(Links->Link(0), Add);
    EXPECT_EQ(Links->lbLinks->item(1)->text(), QStringLiteral("Виды доходов"));
}

TEST_F(LinksFrameTest, ALongCaptionWrapsAndItsEntryTakesTheWrappedHeight)
{
    Show();
    TAction *longLink = Actions.AddAction(QStringLiteral("Перенести все плановые операции следующего месяца"));
    Links->AddLinks({Add, longLink});
    const QFontMetrics metrics(Links->lbLinks->font());
    const int textWidth = Links->ListWidth() - 16 - 3;
    ASSERT_GT(metrics.horizontalAdvance(longLink->Caption()), textWidth);
    const int wrapped = WrappedTextHeight(longLink->Caption(), Links->lbLinks->font(), textWidth);
    EXPECT_GE(wrapped, 2 * metrics.height());
    EXPECT_EQ(Links->EntryHeight(1), wrapped + 3);
    EXPECT_GT(Links->EntryHeight(1), 22);
    EXPECT_EQ(Item->height(), 18 + 12 + 22 + wrapped + 3);
    EXPECT_EQ(Links->height(), 12 + 22 + wrapped + 3);
}

TEST_F(LinksFrameTest, BeforeCanResizeTheEntriesAreMeasuredButNothingIsAsked)
{
    auto *frame = new TFLinksFrame;
    int asked = 0;
    frame->OnHeightChange = [&](QWidget *, int) { ++asked; };
    frame->resize(60, 93);
    frame->AddLink(Actions.AddAction(QStringLiteral("Добавить расход в журнал")));
    EXPECT_GT(frame->EntryHeight(0), 22);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(frame->height(), 93);
    delete frame;
}

TEST_F(LinksFrameTest, ANarrowerPanelReMeasuresAndAHeightChangeAloneDoesNot)
{
    Show();
    Links->AddLinks({Add, Types, CashTypes});
    ASSERT_EQ(Item->height(), 96);
    const int before = Requests.size();
    Links->resize(Links->width(), 200);
    EXPECT_EQ(Requests.size(), before);
    // Dragging the splitter: the bar and with it the frame get narrower.
    Bar.SetWidth(110);
    QApplication::processEvents();
    EXPECT_GT(Requests.size(), before);
    EXPECT_EQ(Links->width(), 100);
    EXPECT_GT(Item->height(), 96);
    int sum = 12;
    for (int i = 0; i < 3; ++i)
        sum += Links->EntryHeight(i);
    EXPECT_EQ(Item->height(), 18 + sum);
}

TEST_F(LinksFrameTest, HoverFollowsThePointerAndLeavesWithIt)
{
    Show();
    Links->AddLinks({Add, Types, CashTypes});
    QWidget *viewport = Links->lbLinks->viewport();
    // A move to where the pointer already is raises nothing: start elsewhere.
    QTest::mouseMove(viewport, EntryCenter(0));
    QTest::mouseMove(viewport, EntryCenter(1));
    EXPECT_EQ(Links->ItemIndex(), 1);
    EXPECT_EQ(viewport->cursor().shape(), Qt::PointingHandCursor);
    // Below the last link: no hover and the ordinary arrow.
    QTest::mouseMove(viewport, QPoint(20, 3 * 22 + 1));
    ASSERT_LT(3 * 22 + 1, viewport->height());
    EXPECT_EQ(Links->ItemIndex(), -1);
    EXPECT_EQ(viewport->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(viewport, EntryCenter(0));
    EXPECT_EQ(Links->ItemIndex(), 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(viewport, &leave);
    EXPECT_EQ(Links->ItemIndex(), -1);
}

TEST_F(LinksFrameTest, TheHoveredLinkIsUnderlinedInTheCaptionColour)
{
    Show();
    Links->AddLinks({Add, Types, CashTypes});
    const QColor hover = TColorToQColor(0xFF000002);
    auto hoverPixels = [&] {
        const QImage image = Links->lbLinks->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixel(x, y) == hover.rgb();
        return count;
    };
    EXPECT_EQ(hoverPixels(), 0);
    QTest::mouseMove(Links->lbLinks->viewport(), EntryCenter(1));
    QTest::mouseMove(Links->lbLinks->viewport(), EntryCenter(2));
    ASSERT_EQ(Links->ItemIndex(), 2);
    // The underline alone is a run as long as the caption.
    const QFontMetrics metrics(Links->lbLinks->font());
    EXPECT_GT(hoverPixels(), metrics.horizontalAdvance(QStringLiteral("Виды")));
}

class LinksPressTest : public LinksFrameTest, public ::testing::WithParamInterface<Qt::MouseButton>
{
};

TEST_P(LinksPressTest, AnyButtonOnALinkRunsItsActionOnce)
{
    Show();
    Links->AddLinks({Add, Types, CashTypes});
    QWidget *viewport = Links->lbLinks->viewport();
    QTest::mouseMove(viewport, EntryCenter(1));
    QTest::mouseClick(viewport, GetParam(), Qt::NoModifier, EntryCenter(1));
    EXPECT_EQ(Runs, QStringList{QStringLiteral("Виды доходов")});
    // Below the last link nothing runs.
    QTest::mouseClick(viewport, GetParam(), Qt::NoModifier, QPoint(20, 3 * 22 + 1));
    EXPECT_EQ(Runs.size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Buttons, LinksPressTest, ::testing::Values(Qt::LeftButton, Qt::RightButton, Qt::MiddleButton));

TEST_F(LinksFrameTest, ADisabledActionDoesNotRunAndAMissingOneIsNotAdded)
{
    Show();
    Links->AddLink(nullptr);
    EXPECT_EQ(Links->LinkCount(), 0);
    EXPECT_TRUE(Requests.isEmpty());
    Links->AddLinks({Add, nullptr, CashTypes});
    EXPECT_EQ(Links->LinkCount(), 2);
    Add->OnUpdate = [](TAction &a) { a.SetEnabled(false); };
    QTest::mouseClick(Links->lbLinks->viewport(), Qt::LeftButton, Qt::NoModifier, EntryCenter(0));
    EXPECT_TRUE(Runs.isEmpty());
    QTest::mouseClick(Links->lbLinks->viewport(), Qt::LeftButton, Qt::NoModifier, EntryCenter(1));
    EXPECT_EQ(Runs, QStringList{QStringLiteral("Виды денежных средств")});
}

TEST_F(LinksFrameTest, ClearingAndAddingTheNextPagesLinksResizes)
{
    Show();
    Links->AddLinks({Add, Types, CashTypes});
    ASSERT_EQ(Item->height(), 96);
    Links->ClearLinks();
    EXPECT_EQ(Links->LinkCount(), 0);
    EXPECT_EQ(Item->height(), 96);
    Add->SetCaption(QStringLiteral("Добавить перевод"));
    Links->AddLinks({Add, CashTypes});
    EXPECT_EQ(Item->height(), 18 + 12 + 2 * 22);
    EXPECT_EQ(Links->lbLinks->item(0)->text(), QStringLiteral("Добавить перевод"));
}

// Captions far wider than the panel, with and without blanks: every line is kept
// and the entry is as high as its lines.
class LongCaptionTest : public LinksFrameTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(LongCaptionTest, ThreeHundredCharactersWrapIntoTheirEntry)
{
    Show();
    QString caption;
    while (caption.size() < 300)
        caption += GetParam() ? QStringLiteral("слово ") : QStringLiteral("ж");
    caption.truncate(300);
    TAction *link = Actions.AddAction(caption);
    Links->AddLinks({link, Add});
    const QFontMetrics metrics(Links->lbLinks->font());
    const int lines = (Links->EntryHeight(0) - 3) / metrics.height();
    const int textWidth = Links->ListWidth() - 16 - 3;
    EXPECT_GE(lines, metrics.horizontalAdvance(caption) / textWidth);
    EXPECT_EQ(Item->height(), 18 + 12 + Links->EntryHeight(0) + 22);
    // Ink on the lowest text line of the long entry: the text reaches its last line.
    const QImage image = Links->lbLinks->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int lastLineY = Links->EntryHeight(0) - 3 - metrics.height() / 2;
    int ink = 0;
    for (int x = 19; x < image.width(); ++x)
        for (int y = lastLineY - 3; y <= lastLineY + 3; ++y)
            ink += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(ink, 0);
    // No ink to the right of the text area.
    for (int y = 0; y < image.height(); ++y)
        EXPECT_GT(qGray(image.pixel(image.width() - 1, y)), 200) << y;
}

INSTANTIATE_TEST_SUITE_P(Blanks, LongCaptionTest, ::testing::Values(true, false));

TEST(WrappedText, AnEntryTooLowEndsItsLastShownLineInAnEllipsis)
{
    QImage image(120, 14, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(WindowFont());
    painter.setPen(Qt::black);
    DrawWrappedText(painter, QStringLiteral("один два три четыре пять шесть семь"), image.rect());
    painter.end();
    QImage expected(120, 14, QImage::Format_RGB32);
    expected.fill(Qt::white);
    QPainter reference(&expected);
    reference.setFont(WindowFont());
    reference.setPen(Qt::black);
    const QFontMetrics metrics(WindowFont());
    reference.drawText(QPointF(0, metrics.ascent()),
                       metrics.elidedText(QStringLiteral("один два три четыре пять шесть семь"), Qt::ElideRight, 120));
    reference.end();
    EXPECT_EQ(image, expected);
}

} // namespace

#include "app/Main.h"
#include "support/RecordingDialogHook.h"
#include "support/ui/MainWindowEnv.h"

#include <QDir>
#include <QScrollBar>

namespace {

// The links item of the running main window.
class MainWindowLinksTest : public ::testing::Test
{
protected:
    void TearDown() override { Window.reset(); }

    void Open()
    {
        Window = Env.Open();
        Window->LibEditor = [this](const ITallysetLibPtr &lib) { LibCalls.append(lib); };
        Window->JournalEditor = [this](const ITallysetJournalPtr &journal, TEditorMode) { Journals.append(journal); };
        RunEventLoop(60);
    }

    QStringList Captions() const
    {
        QStringList captions;
        for (int i = 0; i < Window->FLinksFrame->LinkCount(); ++i)
            captions << Window->FLinksFrame->lbLinks->item(i)->text();
        return captions;
    }

    void Click(int link)
    {
        QListWidget *list = Window->FLinksFrame->lbLinks;
        const QPoint at = list->visualItemRect(list->item(link)).center();
        QTest::mouseMove(list->viewport(), at);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        ProcessPosted();
    }

    TRecordedDialogs Dialogs;
    TMainWindowEnv Env;
    std::unique_ptr<TFMain> Window;
    QVector<ITallysetLibPtr> LibCalls;
    QVector<ITallysetJournalPtr> Journals;
};

TEST_F(MainWindowLinksTest, EachJournalPageHasItsLinksMeasuredToTheirText)
{
    Open();
    TFrameBarItem *item = Window->FrameBar()->GetItem(0);
    ASSERT_EQ(item->Frame(), Window->FLinksFrame);
    EXPECT_EQ(Captions(), (QStringList{"Добавить доход", "Виды доходов", "Виды денежных средств"}));
    EXPECT_EQ(item->height(), 96);
    // With the chart the expenses page is taller than the panel: the scroll bar takes
    // width from the links, which are measured again.
    Window->SetJournalPage(jpExpenses);
    RunEventLoop(60);
    EXPECT_EQ(Captions(), (QStringList{"Добавить расход", "Виды расходов", "Виды денежных средств"}));
    EXPECT_TRUE(Window->FrameBar()->verticalScrollBar()->isVisible());
    EXPECT_EQ(Window->FLinksFrame->width(), Window->FrameBar()->viewport()->width() - 10);
    int entries = 0;
    for (int i = 0; i < 3; ++i)
        entries += Window->FLinksFrame->EntryHeight(i);
    EXPECT_EQ(item->height(), 18 + 12 + entries);
    EXPECT_GE(item->height(), 96);
    Window->SetJournalPage(jpTransfers);
    RunEventLoop(60);
    EXPECT_EQ(Captions(), (QStringList{"Добавить перевод", "Виды денежных средств"}));
    EXPECT_EQ(item->height(), 18 + 12 + 2 * 22);
    Window->SetJournalPage(jpReports);
    EXPECT_EQ(Window->FLinksFrame->LinkCount(), 0);
    EXPECT_TRUE(item->isHidden());
}

TEST_F(MainWindowLinksTest, ALinkRunsItsActionAsTheMenuDoes)
{
    Open();
    Click(1);
    ASSERT_EQ(LibCalls.size(), 1);
    EXPECT_EQ(LibCalls[0], Window->FIncomeTypesLib);
    Click(2);
    ASSERT_EQ(LibCalls.size(), 2);
    EXPECT_EQ(LibCalls[1], Window->FCashTypes);
    Window->SetJournalPage(jpExpenses);
    Click(0);
    ASSERT_EQ(Journals.size(), 1);
    EXPECT_EQ(Journals[0], Window->FExpensesJournal);
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

TEST_F(MainWindowLinksTest, ScreenshotsOfTheSidePanelOnEachPage)
{
    const int card = Env.AddCashType(QStringLiteral("Карта"));
    Env.AddCashType(QStringLiteral("Наличные"));
    const int food = Env.AddExpenseType(QStringLiteral("Еда"));
    const QDate today = QDate::currentDate();
    Env.AddExpense(QDate(today.year(), today.month(), 1), card, food, 30);
    Env.AddExpense(QDate(today.year(), today.month(), 2), card, food, 45);
    Open();
    const QString folder = QStringLiteral(TALLYSET_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    const char *names[] = {"incomes", "expenses", "transfers", "reports", "diagrams"};
    for (int page = 0; page < 5; ++page) {
        Window->SetJournalPage(page);
        RunEventLoop(120);
        const QImage image = Window->sbFrameBar->grab().toImage();
        EXPECT_TRUE(image.save(folder + QStringLiteral("/main_sidepanel_%1.png").arg(QLatin1String(names[page]))));
        // The notes item is always there, the others follow the page.
        EXPECT_FALSE(Window->FrameBar()->GetItem(3)->isHidden());
        EXPECT_EQ(Window->FrameBar()->GetItem(1)->isHidden(), page != jpExpenses);
        EXPECT_EQ(Window->FrameBar()->GetItem(2)->isHidden(), page != jpReports);
    }
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

} // namespace
