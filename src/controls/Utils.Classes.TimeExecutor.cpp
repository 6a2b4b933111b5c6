#include "controls/Utils.Classes.TimeExecutor.h"

#include <QTimer>
#include <climits>

TTimeExecutor::TTimeExecutor(quint32 interval, TSimpleMethod method)
    : FTimer(std::make_unique<QTimer>()), FMethod(std::move(method)), FInterval(interval)
{
    FTimer->setInterval(int(qMin<quint32>(interval, INT_MAX)));
    FTimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(FTimer.get(), &QTimer::timeout, FTimer.get(), [this] { TimerOnTime(); });
}

TTimeExecutor::~TTimeExecutor() = default;

void TTimeExecutor::ExecMethod()
{
    FTimer->stop();
    FTimer->start();
}

void TTimeExecutor::TimerOnTime()
{
    FTimer->stop();
    if (!FMethod)
        return;
    // A copy, so the call survives the method destroying this executor.
    TSimpleMethod method = FMethod;
    method();
}

bool TTimeExecutor::Pending() const
{
    return FTimer->isActive();
}
