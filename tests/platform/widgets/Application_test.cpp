#include "platform/widgets/Application.h"

#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "support/RecordingDialogHook.h"

#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Throws from its event handler for user events: the kind of error chosen by the event's number.
class TThrower : public QObject
{
protected:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            throw EDatabaseError(QStringLiteral("Нет связи с базой данных"));
        if (e->type() == QEvent::Type(QEvent::User + 1))
            throw std::runtime_error("disk full");
        if (e->type() == QEvent::Type(QEvent::User + 2))
            throw 42;
        return QObject::event(e);
    }
};

QApplication &App()
{
    return *static_cast<QApplication *>(QCoreApplication::instance());
}

// The child run: a real TApplication whose event loop meets two errors and goes on.
int RunApplicationChild()
{
    static int argc = 1;
    static char name[] = "tallyset-child";
    static char *argv[] = {name, nullptr};
    auto hook = std::make_shared<TRecordingDialogHook>();
    bool wentOn = false;
    {
        TApplication app(argc, argv);
        TApplication::SetTitle(QStringLiteral("Tallyset 1.0"));
        SetDialogHook(hook);
        TThrower thrower;
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QTimer::singleShot(0, [] { throw std::runtime_error("timer failed"); });
        QTimer::singleShot(20, [&] {
            wentOn = true;
            QCoreApplication::quit();
        });
        app.exec();
        SetDialogHook(nullptr);
    }
    for (const TRecordedDialog &r : hook->Records())
        std::printf("%s|%s|%d\n", qUtf8Printable(r.Caption), qUtf8Printable(r.Text), int(r.Type));
    std::printf("went on: %d\n", wentOn ? 1 : 0);
    return 0;
}

// Runs before main when the test starts itself as the child.
const int g_Child = [] {
    if (qEnvironmentVariable("TALLYSET_APPLICATION_CHILD") != QLatin1String("1"))
        return 0;
    const int rc = RunApplicationChild();
    std::fflush(stdout);
    std::_Exit(rc);
}();

class Application : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FTitle = ApplicationTitle();
        TApplication::SetTitle(QStringLiteral("Tallyset 1.0"));
    }
    void TearDown() override { SetApplicationTitle(FTitle); }

private:
    QString FTitle;
};

} // namespace

TEST_F(Application, EscapedErrorsAreShownWithTheirText)
{
    struct TCase
    {
        int Offset;
        QString Text;
    };
    for (const TCase &c : {TCase{0, "Нет связи с базой данных"}, TCase{1, "disk full"}, TCase{2, "Неизвестная ошибка"}}) {
        TRecordedDialogs dialogs;
        TThrower thrower;
        QEvent event(QEvent::Type(QEvent::User + c.Offset));
        EXPECT_FALSE(TApplication::GuardedNotify(App(), &thrower, &event));
        ASSERT_EQ(dialogs->Count(), 1);
        EXPECT_EQ(dialogs->Last().Text, c.Text);
        EXPECT_EQ(dialogs->Last().Caption, "Tallyset 1.0");
        EXPECT_EQ(dialogs->Last().Type, TMsgDlgType::mtError);
    }
}

TEST_F(Application, EventsWithoutErrorsPassUnchanged)
{
    class TReceiver : public QObject
    {
    public:
        int Seen = 0;

    protected:
        bool event(QEvent *e) override
        {
            if (e->type() != QEvent::User)
                return QObject::event(e);
            ++Seen;
            return true;
        }
    };
    TRecordedDialogs dialogs;
    TReceiver receiver;
    QEvent handled(QEvent::User);
    EXPECT_TRUE(TApplication::GuardedNotify(App(), &receiver, &handled));
    EXPECT_EQ(receiver.Seen, 1);
    EXPECT_EQ(dialogs->Count(), 0);
}

TEST_F(Application, ErrorWhileAnErrorIsShownGoesToTheLog)
{
    // A hook whose box meets another failing event, as a nested event loop would.
    class TNestingHook : public TRecordingDialogHook
    {
    public:
        void ShowMessage(const QString &caption, const QString &text, TMsgDlgType type) override
        {
            TRecordingDialogHook::ShowMessage(caption, text, type);
            TThrower thrower;
            QEvent event(QEvent::User);
            TApplication::GuardedNotify(App(), &thrower, &event);
        }
    };
    auto hook = std::make_shared<TNestingHook>();
    TScopedDialogHook install(hook);
    TThrower thrower;
    QEvent event(QEvent::Type(QEvent::User + 1));
    TApplication::GuardedNotify(App(), &thrower, &event);
    EXPECT_EQ(hook->Texts(), QStringList{"disk full"});

    TApplication::GuardedNotify(App(), &thrower, &event);
    EXPECT_EQ(hook->Count(), 2) << "the next error is shown again";
}

TEST_F(Application, RunningProgramShowsErrorsAndGoesOn)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TALLYSET_APPLICATION_CHILD", "1");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    const int error = int(TMsgDlgType::mtError);
    EXPECT_EQ(out, QString("Tallyset 1.0|Нет связи с базой данных|%1\n"
                           "Tallyset 1.0|timer failed|%1\n"
                           "went on: 1\n")
                       .arg(error));
}
