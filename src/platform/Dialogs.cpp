#include "platform/Dialogs.h"

#include <QtGlobal>

namespace
{
// Without an installed hook: messages go to the log, questions answer No,
// input boxes are cancelled.
class TLogDialogHook : public IDialogHook
{
public:
    void ShowMessage(const QString &caption, const QString &text, TMsgDlgType) override
    {
        qWarning("%s: %s", qUtf8Printable(caption), qUtf8Printable(text));
    }
    bool Question(const QString &caption, const QString &text) override
    {
        qWarning("%s: %s (answered No)", qUtf8Printable(caption), qUtf8Printable(text));
        return false;
    }
    bool InputQuery(const QString &caption, const QString &prompt, QString &) override
    {
        qWarning("%s: %s (cancelled)", qUtf8Printable(caption), qUtf8Printable(prompt));
        return false;
    }
};

std::shared_ptr<IDialogHook> &InstalledHook()
{
    static std::shared_ptr<IDialogHook> hook;
    return hook;
}

IDialogHook &DefaultHook()
{
    static TLogDialogHook hook;
    return hook;
}

QString &Title()
{
    static QString title;
    return title;
}
} // namespace

IDialogHook &DialogHook()
{
    const std::shared_ptr<IDialogHook> &hook = InstalledHook();
    return hook ? *hook : DefaultHook();
}

std::shared_ptr<IDialogHook> SetDialogHook(std::shared_ptr<IDialogHook> hook)
{
    std::shared_ptr<IDialogHook> previous = std::move(InstalledHook());
    InstalledHook() = std::move(hook);
    return previous;
}

QString ApplicationTitle() { return Title(); }

void SetApplicationTitle(const QString &title) { Title() = title; }
