#pragma once

#include <QString>
#include <memory>

enum class TMsgDlgType { mtInformation, mtWarning, mtError, mtConfirmation };

// Every modal message or question of the program goes through one replaceable
// hook: the application installs the Qt dialogs, tests install a recorder.
class IDialogHook
{
public:
    virtual ~IDialogHook() = default;
    // A message with one OK button.
    virtual void ShowMessage(const QString &caption, const QString &text, TMsgDlgType type) = 0;
    // A Yes/No question with the question icon; true for Yes.
    virtual bool Question(const QString &caption, const QString &text) = 0;
    // An input box; true and `value` changed for OK, false for Cancel.
    virtual bool InputQuery(const QString &caption, const QString &prompt, QString &value) = 0;
};

// The installed hook; without one, messages go to the log and questions answer No.
IDialogHook &DialogHook();
// Installs `hook` (nullptr: the default) and returns the previous one.
std::shared_ptr<IDialogHook> SetDialogHook(std::shared_ptr<IDialogHook> hook);

// The application title: caption of the program's message boxes.
QString ApplicationTitle();
void SetApplicationTitle(const QString &title);
