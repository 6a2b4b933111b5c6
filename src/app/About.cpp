#include "app/About.h"

#include "controls/ToolbarPictures.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFAbout::TFAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    setModal(true);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("lbIcon"));
    icon->setPixmap(ToolbarPictures::ProgramLogo(64));
    icon->setAlignment(Qt::AlignTop);

    auto *name = new QLabel(QStringLiteral("Tallyset"), this);
    name->setObjectName(QStringLiteral("lbName"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    name->setFont(big);

    auto *version = new QLabel(QStringLiteral("Версия %1").arg(VersionText()), this);
    version->setObjectName(QStringLiteral("lbVersion"));
    auto *purpose = new QLabel(QStringLiteral("Учёт домашнего бюджета: доходы, расходы и переводы,\n"
                                              "отчёты по видам средств и диаграммы."),
                               this);
    purpose->setObjectName(QStringLiteral("lbPurpose"));

    auto *text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(purpose);
    text->addStretch();

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

QString TFAbout::VersionText()
{
    return QStringLiteral(TALLYSET_VERSION);
}

void TFAbout::Execute(QWidget *parent)
{
    TFAbout box(parent);
    box.exec();
}
