#pragma once

#include <QApplication>
#include <QString>

// The application object. An error that escapes an event handler is shown
// through the dialog hook as an error message with its text, captioned with
// the application title, and the program goes on with the next event.
class TApplication : public QApplication
{
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // The application title (caption of the program's message boxes).
    static QString Title();
    static void SetTitle(const QString &title);

    // Delivers an event as QApplication does, showing an escaped error instead
    // of passing it on; false for an event whose handler failed.
    static bool GuardedNotify(QApplication &application, QObject *receiver, QEvent *event);
    // Shows the error being handled; call inside a catch block. While one error
    // is shown, further ones go to the log instead of stacking boxes.
    static void HandleException();
    // Shows `text` as an error message.
    static void ShowException(const QString &text);
};
