#include "sidepanel/TaskBar.NotesFrame.h"

#include "app/Settings.h"
#include "sidepanel/Classes.FrameBar.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFrame>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

TEST(NotesFrame, StartsOnTheNotesTabWithItsTwoPages)
{
    TFNotesFrame frame;
    ASSERT_EQ(frame.sPageControl1->count(), 2);
    EXPECT_EQ(frame.sPageControl1->tabText(0), QStringLiteral("Заметки"));
    EXPECT_EQ(frame.sPageControl1->tabText(1), QStringLiteral("Календарь"));
    EXPECT_EQ(frame.sPageControl1->currentWidget(), frame.tsNotes);
    EXPECT_EQ(frame.mNotes->palette().color(QPalette::Base), QColor(255, 255, 230));
    EXPECT_EQ(frame.pnResize->height(), 4);
    EXPECT_EQ(frame.pnResize->cursor().shape(), Qt::SizeVerCursor);
    EXPECT_EQ(frame.Text(), QString());
}

// The notes go to the settings file at close and come back at the next start.
class NotesStoreTest : public ::testing::TestWithParam<QString>
{
protected:
    QTemporaryDir Dir;
};

TEST_P(NotesStoreTest, TheTextSurvivesASaveAndALoad)
{
    const QString ini = Dir.filePath(QStringLiteral("tallyset.ini"));
    {
        TFNotesFrame frame;
        frame.SetText(GetParam());
        ISettingsManagerPtr settings = TAppSetting::Create(ini);
        settings->SaveText(QStringLiteral("main"), QStringLiteral("notes"), frame.Text());
    }
    TFNotesFrame frame;
    ISettingsManagerPtr settings = TAppSetting::Create(ini);
    frame.SetText(settings->LoadText(QStringLiteral("main"), QStringLiteral("notes"), QString()));
    EXPECT_EQ(frame.Text(), GetParam());
    EXPECT_EQ(frame.mNotes->document()->blockCount(), GetParam().count(QLatin1Char('\n')) + 1);
    EXPECT_EQ(frame.mNotes->document()->findBlockByNumber(0).text(), GetParam().section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r')));
}

QString LongNotes()
{
    QString text;
    for (int i = 0; text.size() < 100000; ++i)
        text += QStringLiteral("Строка %1: купить хлеба, молока; оплатить \"свет\" = 1 200,50 № 7\n").arg(i);
    text.truncate(100000);
    return text;
}

INSTANTIATE_TEST_SUITE_P(Texts, NotesStoreTest,
                         ::testing::Values(QStringLiteral("Купить хлеба\nОплатить интернет\n\nДень рождения 12.05"),
                                           QStringLiteral("\nпервая строка пустая и последняя тоже\n"),
                                           QStringLiteral("одна строка"), QStringLiteral("с Windows\r\nдве строки"),
                                           LongNotes()));

TEST(NotesFrame, CrLfLineEndsAreKeptAndEveryKindBreaksALine)
{
    TFNotesFrame frame;
    frame.SetText(QStringLiteral("a\r\nb\rc\nd"));
    EXPECT_EQ(frame.mNotes->document()->blockCount(), 4);
    EXPECT_EQ(frame.Text(), QStringLiteral("a\r\nb\r\nc\r\nd"));
    frame.SetText(QStringLiteral("a\rb\nc"));
    EXPECT_EQ(frame.mNotes->document()->blockCount(), 3);
    EXPECT_EQ(frame.Text(), QStringLiteral("a\nb\nc"));
}

TEST(NotesFrame, TheGripOfAFrameWithoutAParentDoesNothing)
{
    TFNotesFrame frame;
    frame.resize(223, 208);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QTest::mousePress(frame.pnResize, Qt::LeftButton, Qt::NoModifier, QPoint(20, 2));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    QTest::mouseRelease(frame.pnResize, Qt::LeftButton, Qt::NoModifier, QPoint(20, 2));
    EXPECT_EQ(frame.height(), 208);
}

class MemorySettings : public ISettingsManager
{
public:
    QMap<QString, int> Integers;
    void SaveFormSetings(const QString &, QWidget *) override {}
    void LoadFormSettings(const QString &, QWidget *) override {}
    void SaveGridSettings(const QString &, const IGridColumns &) override {}
    void LoadGridSettings(const QString &, IGridColumns &) override {}
    void SaveDateTime(const QString &, const QString &, TDateTime) override {}
    TDateTime LoadDateTime(const QString &, const QString &, TDateTime value) override { return value; }
    void SaveBoolean(const QString &, const QString &, bool) override {}
    bool LoadBoolean(const QString &, const QString &) override { return false; }
    void SaveInteger(const QString &, const QString &name, int value) override { Integers[name] = value; }
    int LoadInteger(const QString &, const QString &name, int value) override { return Integers.value(name, value); }
    void SaveText(const QString &, const QString &, const QString &) override {}
    QString LoadText(const QString &, const QString &, const QString &value) override { return value; }
};

// The notes item between two others in a side panel, as the program has it.
class NotesGripTest : public ::testing::Test
{
protected:
    NotesGripTest()
    {
        Bar.setGeometry(0, 0, 180, 600);
        Bar.SetTitleHeight(18);
        Above = Bar.AddItem(QStringLiteral("Общие задачи"), nullptr);
        Notes = new TFNotesFrame;
        Item = Bar.AddItem(QStringLiteral("Дополнительно"), Notes);
        Below = Bar.AddItem(QStringLiteral("Ниже"), nullptr);
        MemorySettings none;
        Bar.LoadSettings(none, QStringLiteral("FrameBar"));
        Bar.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Bar));
    }

    // Presses the grip, drags it by dy pixels in two moves and releases it.
    void Drag(int dy)
    {
        const QPoint grip(40, 2);
        QTest::mousePress(Notes->pnResize, Qt::LeftButton, Qt::NoModifier, grip);
        const QPoint start = Notes->pnResize->mapTo(Item, grip);
        QTest::mouseMove(Item, start + QPoint(0, dy / 2));
        QTest::mouseMove(Item, start + QPoint(0, dy));
        QTest::mouseRelease(Item, Qt::LeftButton, Qt::NoModifier, start + QPoint(0, dy));
    }

    // The item at its least height still shows the grip and three lines of notes.
    void ExpectThePadShows()
    {
        const int lines = 3 * Notes->mNotes->fontMetrics().lineSpacing();
        EXPECT_GE(Item->height(), 18 + 4 + lines);
        EXPECT_EQ(Notes->pnResize->mapTo(Item, QPoint(0, 4)).y(), Item->height()) << "the grip is at the bottom";
        EXPECT_GE(Notes->mNotes->viewport()->height(), lines);
        EXPECT_TRUE(Notes->mNotes->isVisibleTo(Item));
    }

    TFrameBar Bar;
    TFrameBarItem *Above = nullptr;
    TFrameBarItem *Item = nullptr;
    TFrameBarItem *Below = nullptr;
    TFNotesFrame *Notes = nullptr;
};

TEST_F(NotesGripTest, DraggingTheGripResizesTheItemAndTheBarSavesIt)
{
    ASSERT_EQ(Item->height(), 18 + 208);
    Drag(60);
    EXPECT_FALSE(Item->IsSizing());
    EXPECT_EQ(Item->height(), 18 + 208 + 60);
    // The frame fills the item, the grip stays at its bottom, the item below moves along.
    EXPECT_EQ(Notes->geometry(), QRect(0, 18, Item->width(), 208 + 60));
    EXPECT_EQ(Notes->pnResize->mapTo(Item, QPoint(0, 4)).y(), Item->height());
    EXPECT_EQ(Below->y(), Item->y() + Item->height() + 5);

    Drag(-100);
    EXPECT_EQ(Item->height(), 18 + 208 - 40);
    MemorySettings settings;
    Bar.SaveSettings(settings, QStringLiteral("FrameBar"));
    EXPECT_EQ(settings.Integers.value(QStringLiteral("Item_1_height")), 18 + 208 - 40);

    // Moving after the release changes nothing.
    QTest::mouseMove(Item, QPoint(40, 10));
    EXPECT_EQ(Item->height(), 18 + 208 - 40);
}


TEST_F(NotesGripTest, TheItemCannotBeDraggedSmallerThanTheNotesNeed)
{
    Drag(-1000);
    EXPECT_EQ(Item->height(), Item->MinimumHeight());
    ExpectThePadShows();
    EXPECT_EQ(Below->y(), Item->y() + Item->height() + 5);
    MemorySettings settings;
    Bar.SaveSettings(settings, QStringLiteral("FrameBar"));
    EXPECT_EQ(settings.Integers.value(QStringLiteral("Item_1_height")), Item->MinimumHeight());
}

// A height stored too small (as an earlier drag to the header left it) comes back as
// the least height; collapsed, it is the height the item expands to.
TEST_F(NotesGripTest, ATooSmallStoredHeightBecomesTheLeastHeight)
{
    for (int stored : {0, 18, 30}) {
        SCOPED_TRACE(stored);
        MemorySettings settings;
        settings.Integers[QStringLiteral("Item_1_height")] = stored;
        Bar.LoadSettings(settings, QStringLiteral("FrameBar"));
        QApplication::processEvents();
        EXPECT_EQ(Item->height(), Item->MinimumHeight());
        ExpectThePadShows();

        settings.Integers[QStringLiteral("Item_1_state")] = isCollapsed;
        Bar.LoadSettings(settings, QStringLiteral("FrameBar"));
        EXPECT_EQ(Item->RealHeight(), Item->MinimumHeight());
        Item->SetState(isExpanded);
        while (Item->IsAnimating())
            Item->Tick();
        EXPECT_EQ(Item->height(), Item->MinimumHeight());
    }
    MemorySettings settings;
    settings.Integers[QStringLiteral("Item_1_height")] = 300;
    Bar.LoadSettings(settings, QStringLiteral("FrameBar"));
    EXPECT_EQ(Item->height(), 300);
}

// Presses, moves and keys go through the window, so the grab decides who gets them.
TEST_F(NotesGripTest, OnlyTheLeftButtonDragsAndEscapePutsTheHeightBack)
{
    QWindow *window = Bar.windowHandle();
    ASSERT_NE(window, nullptr);
    const int before = Item->height();
    const QPoint grip = Notes->pnResize->mapTo(&Bar, QPoint(40, 2));

    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(window, button, Qt::NoModifier, grip);
        EXPECT_FALSE(Item->IsSizing());
        QTest::mouseMove(window, grip + QPoint(0, 80));
        QTest::mouseRelease(window, button, Qt::NoModifier, grip + QPoint(0, 80));
        QTest::mouseMove(window, grip + QPoint(0, 120));
        EXPECT_EQ(Item->height(), before);
    }

    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, grip);
    ASSERT_TRUE(Item->IsSizing());
    QTest::mouseMove(window, grip + QPoint(0, 80));
    EXPECT_EQ(Item->height(), before + 80);
    // A right-button click during the drag neither ends nor moves it.
    QTest::mouseClick(window, Qt::RightButton, Qt::NoModifier, grip + QPoint(0, 80));
    EXPECT_TRUE(Item->IsSizing());
    QTest::mouseMove(window, grip - QPoint(0, 1000));
    EXPECT_EQ(Item->height(), Item->MinimumHeight());
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(Item->IsSizing());
    EXPECT_EQ(Item->height(), before);
    EXPECT_EQ(Below->y(), Item->y() + before + 5);

    QTest::mouseMove(window, grip + QPoint(0, 40));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, grip + QPoint(0, 40));
    EXPECT_EQ(Item->height(), before);
    MemorySettings settings;
    Bar.SaveSettings(settings, QStringLiteral("FrameBar"));
    EXPECT_EQ(settings.Integers.value(QStringLiteral("Item_1_height")), before);
}

} // namespace

#include "app/Main.h"
#include "support/RecordingDialogHook.h"
#include "support/ui/MainWindowEnv.h"

namespace {

void Type(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(widget, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// The notes item of the running main window: typed lines and a dragged height come
// back at the next start.
TEST(MainWindowNotes, TypedLinesAndTheDraggedHeightComeBackAtTheNextStart)
{
    TRecordedDialogs dialogs;
    TMainWindowEnv env;
    int height = 0;
    {
        std::unique_ptr<TFMain> window = env.Open();
        TFNotesFrame *notes = window->FNotesFrame;
        ASSERT_NE(notes, nullptr);
        TFrameBarItem *item = window->FrameBar()->GetItem(3);
        ASSERT_EQ(item->Frame(), notes);
        notes->mNotes->setFocus();
        Type(notes->mNotes, QStringLiteral("Купить хлеба\nПозвонить в банк\n\nКонец"));

        const QPoint grip(30, 2);
        QTest::mousePress(notes->pnResize, Qt::LeftButton, Qt::NoModifier, grip);
        const QPoint start = notes->pnResize->mapTo(item, grip);
        QTest::mouseMove(item, start - QPoint(0, 40));
        QTest::mouseRelease(item, Qt::LeftButton, Qt::NoModifier, start - QPoint(0, 40));
        height = item->height();
        window->close();
        EXPECT_TRUE(env.ReadIni().contains(QStringLiteral("notes=Купить хлеба#10Позвонить в банк#10#10Конец")));
        EXPECT_TRUE(env.ReadIni().contains(QStringLiteral("Item_3_height=%1").arg(height)));
    }
    std::unique_ptr<TFMain> window = env.Open();
    EXPECT_EQ(window->FNotesFrame->Text(), QStringLiteral("Купить хлеба\nПозвонить в банк\n\nКонец"));
    EXPECT_EQ(window->FNotesFrame->sPageControl1->currentWidget(), window->FNotesFrame->tsNotes);
    EXPECT_EQ(window->FrameBar()->GetItem(3)->height(), height);
    EXPECT_EQ(dialogs->Count(), 0) << dialogs->Texts().join(" | ").toStdString();
    window.reset();
}

} // namespace
