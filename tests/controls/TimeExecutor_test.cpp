#include "controls/Utils.Classes.TimeExecutor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace {

// Runs the event loop until `done` or `timeoutMs` has passed; returns done().
bool WaitFor(const std::function<bool()> &done, int timeoutMs = 2000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QTest::qWait(5);
    return done();
}

TEST(TimeExecutor, TwentyQuickRequestsRunOnce)
{
    int runs = 0;
    TTimeExecutor executor(50, [&] { ++runs; });
    EXPECT_EQ(executor.Interval(), 50u);
    EXPECT_FALSE(executor.Pending());
    for (int i = 0; i < 20; ++i) {
        executor.ExecMethod();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(executor.Pending());
    EXPECT_TRUE(WaitFor([&] { return runs > 0; }));
    QTest::qWait(200);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(executor.Pending());
}

TEST(TimeExecutor, RequestWithinTheDelayPostponesTheRun)
{
    int runs = 0;
    TTimeExecutor executor(300, [&] { ++runs; });
    executor.ExecMethod();
    QTest::qWait(30);
    executor.ExecMethod();
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(WaitFor([&] { return runs > 0; }));
    QTest::qWait(400);
    EXPECT_EQ(runs, 1);
}

TEST(TimeExecutor, EachPauseRunsAgain)
{
    int runs = 0;
    TTimeExecutor executor(20, [&] { ++runs; });
    executor.ExecMethod();
    EXPECT_TRUE(WaitFor([&] { return runs == 1; }));
    executor.ExecMethod();
    EXPECT_TRUE(WaitFor([&] { return runs == 2; }));
}

TEST(TimeExecutor, WithoutMethodOnlyRunsTheTimer)
{
    TTimeExecutor executor(20);
    executor.ExecMethod();
    EXPECT_TRUE(executor.Pending());
    EXPECT_TRUE(WaitFor([&] { return !executor.Pending(); }));
}

TEST(TimeExecutor, DestroyingWhilePendingCancelsTheRun)
{
    int runs = 0;
    auto executor = std::make_unique<TTimeExecutor>(20, [&] { ++runs; });
    executor->ExecMethod();
    executor.reset();
    QTest::qWait(100);
    EXPECT_EQ(runs, 0);
}

TEST(TimeExecutor, RequestFromTheMethodSchedulesANewRun)
{
    int runs = 0;
    std::unique_ptr<TTimeExecutor> executor;
    executor = std::make_unique<TTimeExecutor>(10, [&] {
        EXPECT_FALSE(executor->Pending());
        if (++runs < 3)
            executor->ExecMethod();
    });
    executor->ExecMethod();
    EXPECT_TRUE(WaitFor([&] { return runs == 3; }));
    QTest::qWait(60);
    EXPECT_EQ(runs, 3);
}

TEST(TimeExecutor, MethodMayDestroyTheExecutor)
{
    int runs = 0;
    std::unique_ptr<TTimeExecutor> executor;
    executor = std::make_unique<TTimeExecutor>(10, [&] {
        ++runs;
        executor.reset();
        ++runs;
    });
    executor->ExecMethod();
    EXPECT_TRUE(WaitFor([&] { return executor == nullptr; }));
    EXPECT_EQ(runs, 2);
}

TEST(TimeExecutor, TickCallsTheMethodAndStopsTheTimer)
{
    int runs = 0;
    TTimeExecutor executor(10000, [&] { ++runs; });
    executor.ExecMethod();
    executor.TimerOnTime();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(executor.Pending());
}

} // namespace
