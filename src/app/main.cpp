#include "app/Main.h"
#include "app/Settings.h"
#include "controls/DesignUtils.h"
#include "platform/DateTime.h"
#include "platform/Dialogs.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/QtDialogHook.h"

#include <QLocale>
#include <QTimer>
#include <memory>

// The program takes no arguments. For tests, the environment variable
// TALLYSET_AUTOCLOSE_MS closes the main window (as its close box does) that
// many milliseconds after the message loop has started.
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
