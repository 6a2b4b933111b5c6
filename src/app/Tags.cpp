#include "app/Tags.h"

#include "app/Settings.h"
#include "db/Constants.h"
#include "platform/widgets/Application.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

TFTags::TFTags(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FTags"));
    setWindowTitle(QStringLiteral("Выбор тэгов"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    setWindowOpacity(200.0 / 255.0);
    resize(259, 277);

    lbTags = new QListWidget(this);
    lbTags->setObjectName(QStringLiteral("lbTags"));
    lbTags->setFrameShape(QFrame::NoFrame);
    lbTags->setSelectionMode(QAbstractItemView::SingleSelection);
    lbTags->viewport()->setCursor(Qt::PointingHandCursor);
    QPalette pal = lbTags->palette();
    pal.setColor(QPalette::Base, Qt::white);
    lbTags->setPalette(pal);
    QFont font = lbTags->font();
    font.setPointSizeF(7.5);
    font.setUnderline(true);
    lbTags->setFont(font);
    // Items at least 12 pixels high; a larger font keeps its own height.
    lbTags->setUniformItemSizes(true);
    lbTags->setStyleSheet(QStringLiteral("QListWidget::item { min-height: 12px; padding-left: 2px; }"));
    connect(lbTags, &QListWidget::itemDoubleClicked, this, [this] {
        try {
            lbTagsDblClick();
        } catch (...) {
            TApplication::HandleException();
        }
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lbTags);

    // Without a stored placement the picker keeps its default, centred place.
    if (AppSettings && AppSettings->LoadInteger(c_iniTags, c_iniKeyWindowState, -1) >= 0)
        AppSettings->LoadFormSettings(c_iniTags, this);
}

TFTags::~TFTags() = default;

void TFTags::SetTags(const TStrings &names)
{
    lbTags->clear();
    for (int i = 0; i < names.Count(); ++i)
        lbTags->addItem(names[i]);
    if (lbTags->count() > 0)
        lbTags->setCurrentRow(0);
}

void TFTags::lbTagsDblClick()
{
    QListWidgetItem *item = lbTags->currentItem();
    if (item == nullptr || !item->isSelected() || !FTagSelectHandler)
        return;
    FTagSelectHandler(item->text());
}

void TFTags::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    // Enter chooses nothing and must not close the picker.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFTags::done(int result)
{
    if (!FSaved) {
        FSaved = true;
        try {
            if (AppSettings)
                AppSettings->SaveFormSetings(c_iniTags, this);
        } catch (...) {
            TApplication::HandleException();
        }
    }
    QDialog::done(result);
}

void ShowTags(const TStrings &tagsLib, TTagSelectHandler tagSelectHandler)
{
    TFTags form(QApplication::activeWindow());
    form.SetTagSelectHandler(std::move(tagSelectHandler));
    form.SetTags(tagsLib);
    form.exec();
}
