#pragma once

#include "platform/Dialogs.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <deque>
#include <memory>
#include <optional>

// One dialog the program showed.
struct TRecordedDialog
{
    enum class TKind { Message, Question, Input };
    TKind Kind = TKind::Message;
    QString Caption;
    QString Text;                                      // message, question or prompt
    TMsgDlgType Type = TMsgDlgType::mtInformation;     // questions: mtConfirmation
    QString InitialValue;                              // input boxes: the value offered
};

// A dialog hook for tests: records every message, question and input box, and
// answers questions and input boxes from one queue of prepared answers, in order.
// A question or input box with no answer queued, or with an answer of the other
// kind, fails the current test (and is answered No / Cancel).
class TRecordingDialogHook : public IDialogHook
{
public:
    void AnswerYes() { FAnswers.push_back({TAnswer::TKind::Question, true, {}}); }
    void AnswerNo() { FAnswers.push_back({TAnswer::TKind::Question, false, {}}); }
    // The input box is left with OK and `value`.
    void AnswerInput(const QString &value) { FAnswers.push_back({TAnswer::TKind::Input, true, value}); }
    void AnswerCancel() { FAnswers.push_back({TAnswer::TKind::Input, false, {}}); }

    const QVector<TRecordedDialog> &Records() const { return FRecords; }
    int Count() const { return FRecords.size(); }
    const TRecordedDialog &Last() const;
    // Texts of all records in order.
    QStringList Texts() const;
    // Texts of messages only / questions only.
    QStringList MessageTexts() const;
    QStringList QuestionTexts() const;
    int PendingAnswers() const { return static_cast<int>(FAnswers.size()); }
    // Forgets the records (queued answers stay).
    void ClearRecords() { FRecords.clear(); }

    void ShowMessage(const QString &caption, const QString &text, TMsgDlgType type) override;
    bool Question(const QString &caption, const QString &text) override;
    bool InputQuery(const QString &caption, const QString &prompt, QString &value) override;

private:
    struct TAnswer
    {
        enum class TKind { Question, Input };
        TKind Kind;
        bool Accept;
        QString Value;
    };
    std::optional<TAnswer> TakeAnswer(TAnswer::TKind kind, const TRecordedDialog &record);
    QStringList TextsOf(TRecordedDialog::TKind kind) const;

    QVector<TRecordedDialog> FRecords;
    std::deque<TAnswer> FAnswers;
};

// Installs a hook for its lifetime and then restores the hook that was installed before.
class TScopedDialogHook
{
public:
    explicit TScopedDialogHook(std::shared_ptr<IDialogHook> hook);
    ~TScopedDialogHook();
    TScopedDialogHook(const TScopedDialogHook &) = delete;
    TScopedDialogHook &operator=(const TScopedDialogHook &) = delete;

private:
    std::shared_ptr<IDialogHook> FPrevious;
};

// A fresh recorder installed for the scope:
//     TRecordedDialogs dialogs;
//     dialogs->AnswerYes();
//     ... code that asks ...
//     EXPECT_EQ(dialogs->QuestionTexts(), QStringList{...});
// On destruction, answers that were never asked for fail the test, then the
// previous hook comes back.
class TRecordedDialogs
{
public:
    TRecordedDialogs();
    ~TRecordedDialogs();
    TRecordedDialogs(const TRecordedDialogs &) = delete;
    TRecordedDialogs &operator=(const TRecordedDialogs &) = delete;

    TRecordingDialogHook *operator->() const { return FHook.get(); }
    TRecordingDialogHook &Hook() const { return *FHook; }

private:
    std::shared_ptr<TRecordingDialogHook> FHook;
    TScopedDialogHook FInstall;
};
