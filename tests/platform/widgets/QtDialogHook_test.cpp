#include "platform/widgets/QtDialogHook.h"

#include "platform/widgets/GridTestSupport.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <functional>

namespace {

// Runs `act` on the modal dialog once it is up.
void WhenModal(std::function<void(QWidget *)> act)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            act(modal);
            return;
        }
        QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
}

QStringList ButtonTexts(QMessageBox *box)
{
    QStringList texts;
    for (QAbstractButton *b : box->buttons())
        texts << b->text();
    return texts;
}

QAbstractButton *ButtonWithText(QWidget *dialog, const QString &text)
{
    for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

class QtDialogHook : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FTitle = ApplicationTitle();
        SetApplicationTitle(QStringLiteral("Tallyset 1.0"));
    }
    void TearDown() override { SetApplicationTitle(FTitle); }

    TQtDialogHook Hook;

private:
    QString FTitle;
};

} // namespace

TEST_F(QtDialogHook, MessageShowsTextCaptionIconAndOneOkButton)
{
    struct TCase
    {
        QString Caption;
        TMsgDlgType Type;
        QString ExpectedCaption;
        QMessageBox::Icon Icon;
    };
    for (const TCase &c : {TCase{"", TMsgDlgType::mtInformation, "Tallyset 1.0", QMessageBox::Information},
                           TCase{"Справочник", TMsgDlgType::mtError, "Справочник", QMessageBox::Critical},
                           TCase{"", TMsgDlgType::mtWarning, "Tallyset 1.0", QMessageBox::Warning}}) {
        QString caption, text;
        QStringList buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        WhenModal([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            ASSERT_NE(box, nullptr);
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = ButtonTexts(box);
            QTest::mouseClick(ButtonWithText(box, "OK"), Qt::LeftButton);
        });
        Hook.ShowMessage(c.Caption, QStringLiteral("Неверная дата"), c.Type);
        EXPECT_EQ(caption, c.ExpectedCaption);
        EXPECT_EQ(text, "Неверная дата");
        EXPECT_EQ(icon, c.Icon);
        EXPECT_EQ(buttons, QStringList{"OK"});
    }
}

TEST_F(QtDialogHook, QuestionAnswersYesNoAndEscape)
{
    struct TCase
    {
        const char *Press; // button text, or "Esc"
        bool Expected;
    };
    for (const TCase &c : {TCase{"Да", true}, TCase{"Нет", false}, TCase{"Esc", false}}) {
        QStringList buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString caption;
        QString defaultButton;
        WhenModal([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            ASSERT_NE(box, nullptr);
            buttons = ButtonTexts(box);
            icon = box->icon();
            caption = box->windowTitle();
            defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
            if (QString(c.Press) == "Esc")
                QTest::keyClick(box, Qt::Key_Escape);
            else
                QTest::mouseClick(ButtonWithText(box, QString::fromUtf8(c.Press)), Qt::LeftButton);
        });
        EXPECT_EQ(Hook.Question(QString(), QStringLiteral("Удалить запись?")), c.Expected) << c.Press;
        EXPECT_EQ(buttons, QStringList({"Да", "Нет"}));
        EXPECT_EQ(icon, QMessageBox::Question);
        EXPECT_EQ(caption, "Tallyset 1.0");
        EXPECT_EQ(defaultButton, "Да");
    }
}

TEST_F(QtDialogHook, InputQueryOkChangesTheValueCancelKeepsIt)
{
    QString value = QStringLiteral("Карта");
    QString prompt, offered, caption;
    QStringList buttons;
    WhenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QInputDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        caption = dialog->windowTitle();
        prompt = dialog->labelText();
        offered = dialog->textValue();
        for (QAbstractButton *b : dialog->findChildren<QDialogButtonBox *>().value(0)->buttons())
            buttons << b->text();
        dialog->setTextValue(QStringLiteral("Кредитная карта"));
        QTest::mouseClick(ButtonWithText(dialog, "OK"), Qt::LeftButton);
    });
    EXPECT_TRUE(Hook.InputQuery(QStringLiteral("Новая запись"), QStringLiteral("Наименование"), value));
    EXPECT_EQ(value, "Кредитная карта");
    EXPECT_EQ(caption, "Новая запись");
    EXPECT_EQ(prompt, "Наименование");
    EXPECT_EQ(offered, "Карта");
    EXPECT_EQ(buttons.size(), 2);
    EXPECT_TRUE(buttons.contains("OK"));
    EXPECT_TRUE(buttons.contains("Отмена"));

    WhenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QInputDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->setTextValue(QStringLiteral("Не то"));
        QTest::mouseClick(ButtonWithText(dialog, "Отмена"), Qt::LeftButton);
    });
    EXPECT_FALSE(Hook.InputQuery(QString(), QStringLiteral("Наименование"), value));
    EXPECT_EQ(value, "Кредитная карта");
}
