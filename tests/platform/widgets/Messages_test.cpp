#include "platform/widgets/Messages.h"

#include "platform/widgets/GridTestSupport.h"

#include <QPushButton>
#include <QTest>

using gridtest::RunEventLoop;

namespace {

struct TSeen
{
    unsigned Msg;
    qintptr WParam;
    qintptr LParam;
    bool operator==(const TSeen &) const = default;
};

// A window that counts the events its own event() receives.
class TCountingWidget : public QWidget
{
public:
    int OwnMessageEvents = 0;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == TMessageEvent::EventType())
            ++OwnMessageEvents;
        return QWidget::event(e);
    }
};

} // namespace

TEST(Messages, PostedInAClickAreHandledAfterIt)
{
    TCountingWidget window;
    auto *messages = new TMessageMap(&window);
    QVector<TSeen> seen;
    messages->SetHandler(0x401, [&](TMessageEvent &m) { seen.append({m.Msg, m.WParam, m.LParam}); });
    messages->SetHandler(0x402, [&](TMessageEvent &m) { seen.append({m.Msg, m.WParam, m.LParam}); });
    auto *button = new QPushButton(QStringLiteral("Добавить"), &window);
    bool handledDuringClick = true;
    QObject::connect(button, &QPushButton::clicked, [&] {
        EXPECT_TRUE(PostMessage(&window, 0x402, 25, 0));
        EXPECT_TRUE(PostMessage(&window, 0x401, 0, 7));
        handledDuringClick = !seen.isEmpty();
    });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(handledDuringClick);
    EXPECT_TRUE(seen.isEmpty());
    RunEventLoop(10);
    EXPECT_EQ(seen, (QVector<TSeen>{{0x402, 25, 0}, {0x401, 0, 7}})) << "in posting order";
    EXPECT_EQ(window.OwnMessageEvents, 0) << "handled messages stop at the map";
}

TEST(Messages, UnhandledMessagesGoOnToTheWindow)
{
    TCountingWidget window;
    auto *messages = new TMessageMap(&window);
    int handled = 0;
    messages->SetHandler(0x401, [&](TMessageEvent &) { ++handled; });
    PostMessage(&window, 0x500, 1, 2);
    RunEventLoop(10);
    EXPECT_EQ(handled, 0);
    EXPECT_EQ(window.OwnMessageEvents, 1);

    messages->SetHandler(0x401, nullptr);
    EXPECT_FALSE(messages->HasHandler(0x401));
    PostMessage(&window, 0x401);
    RunEventLoop(10);
    EXPECT_EQ(handled, 0);
    EXPECT_EQ(window.OwnMessageEvents, 2);
}

TEST(Messages, DispatchTakesOnlyMessageEvents)
{
    TMessageMap messages(nullptr);
    int handled = 0;
    messages.SetHandler(7, [&](TMessageEvent &m) { handled += int(m.WParam); });
    QEvent other(QEvent::User);
    EXPECT_FALSE(messages.Dispatch(&other));
    TMessageEvent unknown(8, 1, 0);
    EXPECT_FALSE(messages.Dispatch(&unknown));
    TMessageEvent known(7, 5, 0);
    EXPECT_TRUE(messages.Dispatch(&known));
    EXPECT_EQ(handled, 5);
}

TEST(Messages, ReceiverGoneBeforeDeliveryDropsTheMessage)
{
    EXPECT_FALSE(PostMessage(nullptr, 0x401));
    int handled = 0;
    auto *window = new QWidget;
    auto *messages = new TMessageMap(window);
    messages->SetHandler(0x401, [&](TMessageEvent &) { ++handled; });
    PostMessage(window, 0x401);
    delete window;
    RunEventLoop(10);
    EXPECT_EQ(handled, 0);
}
