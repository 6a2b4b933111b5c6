#include "platform/widgets/Application.h"

#include "platform/Dialogs.h"
#include "platform/Exception.h"

#include <exception>

namespace {

bool g_ShowingError = false;

} // namespace

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    return GuardedNotify(*this, receiver, event);
}

bool TApplication::GuardedNotify(QApplication &application, QObject *receiver, QEvent *event)
{
    try {
        return application.QApplication::notify(receiver, event);
    } catch (...) {
        HandleException();
        return false;
    }
}

QString TApplication::Title()
{
    return ApplicationTitle();
}

void TApplication::SetTitle(const QString &title)
{
    SetApplicationTitle(title);
}

void TApplication::HandleException()
{
    QString text;
    try {
        throw;
    } catch (const Exception &e) {
        text = e.Message();
    } catch (const std::exception &e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = QStringLiteral("Неизвестная ошибка");
    }
    ShowException(text);
}

void TApplication::ShowException(const QString &text)
{
    if (g_ShowingError) {
        qWarning("%s", qUtf8Printable(text));
        return;
    }
    g_ShowingError = true;
    struct Guard { ~Guard() { g_ShowingError = false; } } guard;
    try {
        DialogHook().ShowMessage(ApplicationTitle(), text, TMsgDlgType::mtError);
    } catch (...) {
        qWarning("%s", qUtf8Printable(text));
    }
}
