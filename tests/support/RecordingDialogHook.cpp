#include "support/RecordingDialogHook.h"

#include <gtest/gtest.h>

namespace
{
const char *KindName(TRecordedDialog::TKind kind)
{
    switch (kind)
    {
    case TRecordedDialog::TKind::Message:
        return "message";
    case TRecordedDialog::TKind::Question:
        return "question";
    case TRecordedDialog::TKind::Input:
        return "input box";
    }
    return "dialog";
}
} // namespace

const TRecordedDialog &TRecordingDialogHook::Last() const
{
    static const TRecordedDialog none{TRecordedDialog::TKind::Message, {}, {}, TMsgDlgType::mtInformation, {}};
    if (FRecords.isEmpty())
    {
        ADD_FAILURE() << "No dialog was shown";
        return none;
    }
    return FRecords.last();
}

QStringList TRecordingDialogHook::Texts() const
{
    QStringList texts;
    for (const TRecordedDialog &record : FRecords)
        texts.append(record.Text);
    return texts;
}

QStringList TRecordingDialogHook::TextsOf(TRecordedDialog::TKind kind) const
{
    QStringList texts;
    for (const TRecordedDialog &record : FRecords)
        if (record.Kind == kind)
            texts.append(record.Text);
    return texts;
}

QStringList TRecordingDialogHook::MessageTexts() const { return TextsOf(TRecordedDialog::TKind::Message); }

QStringList TRecordingDialogHook::QuestionTexts() const { return TextsOf(TRecordedDialog::TKind::Question); }

void TRecordingDialogHook::ShowMessage(const QString &caption, const QString &text, TMsgDlgType type)
{
    FRecords.append({TRecordedDialog::TKind::Message, caption, text, type, {}});
}

std::optional<TRecordingDialogHook::TAnswer> TRecordingDialogHook::TakeAnswer(TAnswer::TKind kind,
                                                                              const TRecordedDialog &record)
{
    if (FAnswers.empty())
    {
        ADD_FAILURE() << "Unexpected " << KindName(record.Kind) << " with no answer queued: caption \""
                      << record.Caption.toStdString() << "\", text \"" << record.Text.toStdString() << "\"";
        return std::nullopt;
    }
    TAnswer answer = FAnswers.front();
    FAnswers.pop_front();
    if (answer.Kind != kind)
    {
        ADD_FAILURE() << "The next queued answer is for "
                      << (answer.Kind == TAnswer::TKind::Question ? "a question" : "an input box") << ", but a "
                      << KindName(record.Kind) << " came: \"" << record.Text.toStdString() << "\"";
        return std::nullopt;
    }
    return answer;
}

bool TRecordingDialogHook::Question(const QString &caption, const QString &text)
{
    FRecords.append({TRecordedDialog::TKind::Question, caption, text, TMsgDlgType::mtConfirmation, {}});
    std::optional<TAnswer> answer = TakeAnswer(TAnswer::TKind::Question, FRecords.last());
    return answer && answer->Accept;
}

bool TRecordingDialogHook::InputQuery(const QString &caption, const QString &prompt, QString &value)
{
    FRecords.append({TRecordedDialog::TKind::Input, caption, prompt, TMsgDlgType::mtConfirmation, value});
    std::optional<TAnswer> answer = TakeAnswer(TAnswer::TKind::Input, FRecords.last());
    if (!answer || !answer->Accept)
        return false;
    value = answer->Value;
    return true;
}

TScopedDialogHook::TScopedDialogHook(std::shared_ptr<IDialogHook> hook)
    : FPrevious(SetDialogHook(std::move(hook)))
{
}

TScopedDialogHook::~TScopedDialogHook() { SetDialogHook(std::move(FPrevious)); }

TRecordedDialogs::TRecordedDialogs()
    : FHook(std::make_shared<TRecordingDialogHook>()), FInstall(FHook)
{
}

TRecordedDialogs::~TRecordedDialogs()
{
    if (FHook->PendingAnswers() > 0)
        ADD_FAILURE() << FHook->PendingAnswers() << " queued dialog answer(s) were never asked for";
}
