#include "platform/widgets/Messages.h"

#include <QCoreApplication>

TMessageEvent::TMessageEvent(unsigned msg, qintptr wParam, qintptr lParam)
    : QEvent(EventType()), Msg(msg), WParam(wParam), LParam(lParam)
{
}

QEvent::Type TMessageEvent::EventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

bool PostMessage(QObject *receiver, unsigned msg, qintptr wParam, qintptr lParam)
{
    if (!receiver)
        return false;
    QCoreApplication::postEvent(receiver, new TMessageEvent(msg, wParam, lParam));
    return true;
}

TMessageMap::TMessageMap(QObject *target) : QObject(target), FTarget(target)
{
    if (target)
        target->installEventFilter(this);
}

void TMessageMap::SetHandler(unsigned msg, TMessageHandler handler)
{
    if (handler)
        FHandlers.insert(msg, std::move(handler));
    else
        FHandlers.remove(msg);
}

bool TMessageMap::Dispatch(QEvent *event)
{
    if (!event || event->type() != TMessageEvent::EventType())
        return false;
    auto *message = static_cast<TMessageEvent *>(event);
    const auto it = FHandlers.constFind(message->Msg);
    if (it == FHandlers.constEnd())
        return false;
    const TMessageHandler handler = it.value();
    handler(*message);
    return true;
}

bool TMessageMap::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FTarget && Dispatch(event))
        return true;
    return QObject::eventFilter(watched, event);
}
