#pragma once

#include "platform/Dialogs.h"

class QWidget;

// The dialog hook of the running program: Qt message boxes and input boxes
// with Russian buttons, modal to the active window. An empty caption is
// replaced by ApplicationTitle().
class TQtDialogHook : public IDialogHook
{
public:
    void ShowMessage(const QString &caption, const QString &text, TMsgDlgType type) override;
    // "Да" is the default button, Escape answers "Нет".
    bool Question(const QString &caption, const QString &text) override;
    bool InputQuery(const QString &caption, const QString &prompt, QString &value) override;

    static QString ButtonOk() { return QStringLiteral("OK"); }
    static QString ButtonCancel() { return QStringLiteral("Отмена"); }
    static QString ButtonYes() { return QStringLiteral("Да"); }
    static QString ButtonNo() { return QStringLiteral("Нет"); }
};
