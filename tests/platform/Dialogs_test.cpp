#include "platform/Dialogs.h"

#include "support/RecordingDialogHook.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace
{
class DialogsTest : public ::testing::Test
{
protected:
    void SetUp() override { FSavedTitle = ApplicationTitle(); }
    void TearDown() override { SetApplicationTitle(FSavedTitle); }
    QString FSavedTitle;
};

TEST_F(DialogsTest, WithoutAHookQuestionsAnswerNoAndInputIsCancelled)
{
    std::shared_ptr<IDialogHook> previous = SetDialogHook(nullptr);
    DialogHook().ShowMessage("Tallyset 1.0", "logged", TMsgDlgType::mtError);
    EXPECT_FALSE(DialogHook().Question("Tallyset 1.0", "Удалить?"));
    QString value = "kept";
    EXPECT_FALSE(DialogHook().InputQuery("Tallyset 1.0", "Имя", value));
    EXPECT_EQ(value, "kept");
    SetDialogHook(previous);
}

TEST_F(DialogsTest, RecorderAnswersInOrderAndRecordsEverything)
{
    SetApplicationTitle("Tallyset 1.0");
    TRecordedDialogs dialogs;
    dialogs->AnswerYes();
    dialogs->AnswerInput("Новое");
    dialogs->AnswerNo();
    dialogs->AnswerCancel();

    DialogHook().ShowMessage(ApplicationTitle(), "Готово", TMsgDlgType::mtInformation);
    EXPECT_TRUE(DialogHook().Question(ApplicationTitle(), "Первый?"));
    QString value = "старое";
    EXPECT_TRUE(DialogHook().InputQuery(ApplicationTitle(), "Имя", value));
    EXPECT_EQ(value, "Новое");
    EXPECT_FALSE(DialogHook().Question(ApplicationTitle(), "Второй?"));
    value = "оставить";
    EXPECT_FALSE(DialogHook().InputQuery(ApplicationTitle(), "Имя", value));
    EXPECT_EQ(value, "оставить");

    EXPECT_EQ(dialogs->Count(), 5);
    EXPECT_EQ(dialogs->Texts(), (QStringList{"Готово", "Первый?", "Имя", "Второй?", "Имя"}));
    EXPECT_EQ(dialogs->MessageTexts(), QStringList{"Готово"});
    EXPECT_EQ(dialogs->QuestionTexts(), (QStringList{"Первый?", "Второй?"}));
    EXPECT_EQ(dialogs->Records().at(2).Kind, TRecordedDialog::TKind::Input);
    EXPECT_EQ(dialogs->Records().at(2).InitialValue, "старое");
    EXPECT_EQ(dialogs->Records().at(0).Type, TMsgDlgType::mtInformation);
    EXPECT_EQ(dialogs->Last().Caption, "Tallyset 1.0");
    EXPECT_EQ(dialogs->PendingAnswers(), 0);
}

TEST_F(DialogsTest, RecorderFailsTheTestForAQuestionWithoutAnswer)
{
    TRecordingDialogHook hook;
    bool answer = true;
    EXPECT_NONFATAL_FAILURE(answer = hook.Question("c", "Удалить запись?"), "Удалить запись?");
    EXPECT_FALSE(answer);
    hook.AnswerYes();
    QString value;
    EXPECT_NONFATAL_FAILURE(answer = hook.InputQuery("c", "Имя", value), "input box");
    EXPECT_FALSE(answer);
    EXPECT_EQ(hook.Count(), 2);
}

TEST_F(DialogsTest, UnusedAnswersFailTheTest)
{
    EXPECT_NONFATAL_FAILURE(
        {
            TRecordedDialogs dialogs;
            dialogs->AnswerYes();
        },
        "never asked for");
}

TEST_F(DialogsTest, ScopedHooksRestoreThePreviousOne)
{
    auto outer = std::make_shared<TRecordingDialogHook>();
    TScopedDialogHook installOuter(outer);
    {
        TRecordedDialogs inner;
        DialogHook().ShowMessage("c", "inner", TMsgDlgType::mtWarning);
        EXPECT_EQ(inner->MessageTexts(), QStringList{"inner"});
    }
    DialogHook().ShowMessage("c", "outer", TMsgDlgType::mtWarning);
    EXPECT_EQ(outer->MessageTexts(), QStringList{"outer"});
}
} // namespace
