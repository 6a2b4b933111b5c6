#pragma once

#include <QEvent>
#include <QHash>
#include <QObject>
#include <functional>

// A window message (number, wParam, lParam) delivered as a posted event.
class TMessageEvent : public QEvent
{
public:
    TMessageEvent(unsigned msg, qintptr wParam, qintptr lParam);
    // The event type shared by all window messages.
    static QEvent::Type EventType();

    unsigned Msg;
    qintptr WParam;
    qintptr LParam;
};

// Queues the message for `receiver`; it is handled after the events already
// queued, once control is back in the event loop. False without a receiver.
// Messages still queued when the receiver is destroyed are dropped.
bool PostMessage(QObject *receiver, unsigned msg, qintptr wParam = 0, qintptr lParam = 0);

using TMessageHandler = std::function<void(TMessageEvent &)>;

// The message handlers of one window: installed on the window as an event
// filter, it takes the messages that have a handler; other messages and
// events go on to the window.
class TMessageMap : public QObject
{
    Q_OBJECT
public:
    // Handles the messages of `target` (also its parent).
    explicit TMessageMap(QObject *target);

    // An empty handler removes the message's handler.
    void SetHandler(unsigned msg, TMessageHandler handler);
    bool HasHandler(unsigned msg) const { return FHandlers.contains(msg); }
    // Runs the handler of a message event; true when one ran.
    bool Dispatch(QEvent *event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QObject *FTarget;
    QHash<unsigned, TMessageHandler> FHandlers;
};
