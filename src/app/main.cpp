#include "app/Main.h"
#include "app/Settings.h"
#include "controls/DesignUtils.h"
#include "platform/DateTime.h"
#include "platform/Dialogs.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/QtDialogHook.h"

#include <QLocale>
#include <QStringList>
#include <QTextStream>
#include <QTimer>
#include <memory>

namespace {

// Answers the program's questions from a list ("yes,no") in order, No once the
// list is used up, and writes every message and question with its answer to
// the standard error instead of showing it.
class TScriptedDialogHook : public IDialogHook
{
public:
    explicit TScriptedDialogHook(const QString &answers) : FAnswers(answers.split(QLatin1Char(','), Qt::SkipEmptyParts)) {}
    void ShowMessage(const QString &, const QString &text, TMsgDlgType) override { Log(QStringLiteral("message"), text); }
    bool Question(const QString &, const QString &text) override
    {
        const bool yes = !FAnswers.isEmpty() && FAnswers.takeFirst().trimmed() == QLatin1String("yes");
        Log(yes ? QStringLiteral("question (yes)") : QStringLiteral("question (no)"), text);
        return yes;
    }
    bool InputQuery(const QString &, const QString &prompt, QString &) override
    {
        Log(QStringLiteral("input (cancel)"), prompt);
        return false;
    }

private:
    static void Log(const QString &kind, const QString &text) { QTextStream(stderr) << kind << ": " << text << Qt::endl; }
    QStringList FAnswers;
};

} // namespace

// The program takes no arguments. For tests of the started program:
// TALLYSET_AUTOCLOSE_MS closes the main window (as its close box does) that many
// milliseconds after the message loop has started; on the offscreen platform only,
// TALLYSET_TEST_ANSWERS answers the program's dialogs (TScriptedDialogHook).
int main(int argc, char **argv)
{
    TApplication application(argc, argv);
    TApplication::SetTitle(QStringLiteral("Tallyset 1.0"));
    QApplication::setApplicationName(QStringLiteral("Tallyset"));
    QApplication::setApplicationVersion(QStringLiteral(TALLYSET_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tallyset"));

    // Widgets keep the locale they were built with: set it before any window.
    QLocale::setDefault(QLocale::system());
    InitFormatSettingsFromLocale();
    ApplyProgramLook(application);
    const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
    if (offscreen && qEnvironmentVariableIsSet("TALLYSET_TEST_ANSWERS"))
        SetDialogHook(std::make_shared<TScriptedDialogHook>(qEnvironmentVariable("TALLYSET_TEST_ANSWERS")));
    else
        SetDialogHook(std::make_shared<TQtDialogHook>());

    InitSettingsUnit();

    auto window = std::make_unique<TFMain>();
    FMain = window.get();
    window->show();

    bool autoCloseSet = false;
    const int autoCloseMs = qEnvironmentVariableIntValue("TALLYSET_AUTOCLOSE_MS", &autoCloseSet);
    if (autoCloseSet && autoCloseMs >= 0)
        QTimer::singleShot(autoCloseMs, window.get(), [w = window.get()] { w->close(); });

    const int result = TApplication::exec();

    TDBGridEhDecorator::FreeInstances();
    FinalizeSettingsUnit();
    window.reset();
    SetDialogHook(nullptr);
    return result;
}
