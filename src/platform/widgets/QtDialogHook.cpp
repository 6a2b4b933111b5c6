#include "platform/widgets/QtDialogHook.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString CaptionOrTitle(const QString &caption)
{
    return caption.isEmpty() ? ApplicationTitle() : caption;
}

QMessageBox::Icon IconOf(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QMessageBox::Warning;
    case TMsgDlgType::mtError:
        return QMessageBox::Critical;
    case TMsgDlgType::mtConfirmation:
        return QMessageBox::Question;
    default:
        return QMessageBox::Information;
    }
}

} // namespace

void TQtDialogHook::ShowMessage(const QString &caption, const QString &text, TMsgDlgType type)
{
    QMessageBox box(IconOf(type), CaptionOrTitle(caption), text, QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton *ok = box.addButton(ButtonOk(), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

bool TQtDialogHook::Question(const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::Question, CaptionOrTitle(caption), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton *yes = box.addButton(ButtonYes(), QMessageBox::YesRole);
    QPushButton *no = box.addButton(ButtonNo(), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

bool TQtDialogHook::InputQuery(const QString &caption, const QString &prompt, QString &value)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(CaptionOrTitle(caption));
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
    dialog.setOkButtonText(ButtonOk());
    dialog.setCancelButtonText(ButtonCancel());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.textValue();
    return true;
}
