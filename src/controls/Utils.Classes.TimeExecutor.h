#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>

class QTimer;

// A method without arguments or result; an empty one is skipped.
using TSimpleMethod = std::function<void()>;

// Runs one method once, a fixed delay after the last request. Every ExecMethod
// restarts the full delay, so requests coming faster than the delay end in a
// single run after the last of them. The run comes from the event loop of the
// GUI thread; destroying the executor while a run is pending cancels it.
class TTimeExecutor
{
public:
    explicit TTimeExecutor(quint32 interval, TSimpleMethod method = {});
    ~TTimeExecutor();
    TTimeExecutor(const TTimeExecutor &) = delete;
    TTimeExecutor &operator=(const TTimeExecutor &) = delete;

    // Requests a run: stops the timer and starts it again, the delay counting from now.
    void ExecMethod();
    // The tick: stops the timer, then calls the method if one is set. A request
    // made by the method itself schedules a new run; the method may destroy
    // the executor.
    void TimerOnTime();

    quint32 Interval() const { return FInterval; }
    // True while a run is pending.
    bool Pending() const;

private:
    std::unique_ptr<QTimer> FTimer;
    TSimpleMethod FMethod;
    quint32 FInterval;
};
