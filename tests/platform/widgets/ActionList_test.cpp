#include "platform/widgets/ActionList.h"

#include "platform/Exception.h"
#include "platform/widgets/GridTestSupport.h"
#include "support/RecordingDialogHook.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

using gridtest::RunEventLoop;

namespace {

class ActionList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Window = std::make_unique<QWidget>();
        List = new TActionList(Window.get());
        Add = List->AddAction(QStringLiteral("Добавить запись"));
        Edit = List->AddAction(QStringLiteral("Редактировать запись"));
        List->OnUpdate = [this](TAction &action) {
            ++Updates;
            if (&action == Edit)
                action.SetEnabled(HasRow);
        };
        Add->OnExecute = [this](TAction &) { ++AddRuns; };
        Edit->OnExecute = [this](TAction &) { ++EditRuns; };
    }

    std::unique_ptr<QWidget> Window;
    TActionList *List = nullptr;
    TAction *Add = nullptr;
    TAction *Edit = nullptr;
    bool HasRow = false;
    int Updates = 0;
    int AddRuns = 0;
    int EditRuns = 0;
};

} // namespace

TEST_F(ActionList, UpdatesEveryActionWhenTheLoopGoesIdle)
{
    Edit->SetEnabled(true);
    RunEventLoop(30);
    EXPECT_GE(Updates, 2) << "once per action at least";
    EXPECT_FALSE(Edit->Enabled());

    HasRow = true;
    QTimer::singleShot(0, [] {}); // something happens, then the loop goes idle again
    RunEventLoop(30);
    EXPECT_TRUE(Edit->Enabled());
}

TEST_F(ActionList, IdleUpdatesDoNotSpinWhileNothingHappens)
{
    List->OnUpdate = [this](TAction &action) {
        ++Updates;
        action.SetCaption(QStringLiteral("Обновлено"));
        Window->update(); // a repaint asked for by the update is no reason for another update
    };
    Window->show();
    RunEventLoop(50);
    const int settled = Updates;
    RunEventLoop(300);
    EXPECT_LE(Updates - settled, 2 * 4) << "a few runs for the loop's own timer, not a busy loop";
}

TEST_F(ActionList, ExecuteUpdatesFirstAndRunsOnlyWhenEnabled)
{
    Edit->SetEnabled(true); // stale: the update disables it
    EXPECT_FALSE(Edit->Execute());
    EXPECT_EQ(EditRuns, 0);
    EXPECT_EQ(Updates, 1) << "the update of this action only";

    HasRow = true;
    Edit->SetEnabled(false); // stale the other way round
    EXPECT_TRUE(Edit->Execute());
    EXPECT_EQ(EditRuns, 1);

    TAction *noHandler = List->AddAction(QStringLiteral("Без обработчика"));
    EXPECT_FALSE(noHandler->Execute());
}

TEST_F(ActionList, ActionsOwnUpdateRunsAfterTheListsUpdate)
{
    QStringList order;
    List->OnUpdate = [&](TAction &action) {
        if (&action == Add)
            order << "list";
    };
    Add->OnUpdate = [&](TAction &) { order << "action"; };
    Add->Execute();
    EXPECT_EQ(order, QStringList({"list", "action"}));
}

TEST_F(ActionList, ButtonClickOnADisabledActionDoesNothing)
{
    auto *layout = new QVBoxLayout(Window.get());
    auto *button = new QToolButton(Window.get());
    button->setDefaultAction(Edit);
    layout->addWidget(button);
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));

    Edit->SetEnabled(true); // enabled on screen, but the update says no
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(EditRuns, 0);

    HasRow = true;
    Edit->SetEnabled(true);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(EditRuns, 1);
}

TEST_F(ActionList, CheckedChangesOnlyThroughTheHandlerOrAutoCheck)
{
    TAction *filter = List->AddAction(QStringLiteral("Фильтр"));
    filter->SetChecked(false);
    QVector<bool> seen;
    filter->OnExecute = [&](TAction &a) {
        seen << a.Checked();
        a.SetChecked(!a.Checked());
    };
    QSignalSpy toggles(filter, &QAction::toggled);
    filter->trigger(); // a menu item or a shortcut
    EXPECT_TRUE(filter->Checked());
    EXPECT_EQ(seen, QVector<bool>{false}) << "the handler sees the state before the toggle";
    filter->Execute(); // a picture button
    EXPECT_FALSE(filter->Checked());

    TAction *autoCheck = List->AddAction(QStringLiteral("Авто"));
    autoCheck->SetAutoCheck(true);
    bool inHandler = false;
    autoCheck->OnExecute = [&](TAction &a) { inHandler = a.Checked(); };
    autoCheck->Execute();
    EXPECT_TRUE(autoCheck->Checked());
    EXPECT_TRUE(inHandler);
    autoCheck->trigger();
    EXPECT_FALSE(autoCheck->Checked());
}

TEST_F(ActionList, ShortcutOfTheOwnerWindowExecutes)
{
    Add->SetShortCut(QKeySequence(Qt::Key_F10));
    Window->show();
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    QTest::keyClick(Window.get(), Qt::Key_F10);
    EXPECT_EQ(AddRuns, 1);
    EXPECT_TRUE(Window->actions().contains(Add));
}

TEST_F(ActionList, PropertiesAndImages)
{
    Add->SetCategory(QStringLiteral("Журналы"));
    Add->SetImageIndex(1);
    EXPECT_TRUE(Add->icon().isNull()) << "no images yet";
    QPixmap red(16, 16);
    red.fill(Qt::red);
    QPixmap blue(16, 16);
    blue.fill(Qt::blue);
    List->SetImages({QIcon(red), QIcon(blue)});
    EXPECT_EQ(Add->icon().pixmap(16, 16).toImage().pixelColor(4, 4), QColor(Qt::blue));
    Add->SetImageIndex(7);
    EXPECT_TRUE(Add->icon().isNull());
    EXPECT_EQ(Add->Category(), "Журналы");
    EXPECT_EQ(Add->Caption(), "Добавить запись");
    EXPECT_EQ(List->ActionCount(), 2);
    EXPECT_EQ(List->Actions(1), Edit);
    EXPECT_EQ(List->Actions(5), nullptr);
    delete Edit;
    Edit = nullptr;
    EXPECT_EQ(List->ActionCount(), 1);
    RunEventLoop(10); // the idle update skips the deleted action
}

TEST_F(ActionList, ErrorInAnIdleUpdateIsShownAndTheLoopGoesOn)
{
    // The idle update runs outside any event handler; its errors must not end the program.
    TRecordedDialogs dialogs;
    List->OnUpdate = [](TAction &) { throw Exception(QStringLiteral("Сбой обновления")); };
    bool later = false;
    QTimer::singleShot(20, [&] { later = true; });
    RunEventLoop(60);
    EXPECT_TRUE(later);
    ASSERT_GE(dialogs->Count(), 1);
    EXPECT_EQ(dialogs->Last().Text, "Сбой обновления");
    EXPECT_EQ(dialogs->Last().Type, TMsgDlgType::mtError);
    List->OnUpdate = nullptr;
}
