#include "sidepanel/TaskBar.CashTypeFilterFrame.h"

#include "platform/DataSet.h"

#include <QListWidget>
#include <QStringList>

namespace {

constexpr int c_Margin = 3;

} // namespace

TFCashTypeFilterFrame::TFCashTypeFilterFrame(QWidget *parent)
    : QWidget(parent)
    , chlbCashTypes(new QListWidget(this))
{
    resize(165, 139);
    chlbCashTypes->setFrameShape(QFrame::Box);
    chlbCashTypes->setFrameShadow(QFrame::Plain);
    chlbCashTypes->setLineWidth(1);
    chlbCashTypes->setUniformItemSizes(true);
    chlbCashTypes->setSelectionMode(QAbstractItemView::SingleSelection);
    chlbCashTypes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = chlbCashTypes->palette();
    palette.setColor(QPalette::WindowText, QColor(0x9C, 0xA6, 0xB4)); // the border
    chlbCashTypes->setPalette(palette);
    connect(chlbCashTypes, &QListWidget::itemChanged, this, [this](QListWidgetItem *) {
        if (!FFilling)
            chlbCashTypesClickCheck();
    });
    chlbCashTypes->setGeometry(c_Margin, c_Margin, width() - 2 * c_Margin, height() - 2 * c_Margin);
}

void TFCashTypeFilterFrame::AddCashTypesFromQuery(TDataSet *data)
{
    FFilling = true;
    chlbCashTypes->clear();
    try {
        if (data && data->Active()) {
            TField *name = data->FieldByName(QStringLiteral("Name"));
            TField *id = data->FieldByName(QStringLiteral("ID"));
            while (!data->Eof()) {
                auto *item = new QListWidgetItem(name->AsString());
                item->setData(Qt::UserRole, id->AsInteger());
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Checked);
                item->setToolTip(item->text());
                item->setSizeHint(QSize(0, ItemHeight()));
                chlbCashTypes->addItem(item);
                data->Next();
            }
        }
    } catch (...) {
        FFilling = false;
        ProcessFrameHeight();
        throw;
    }
    FFilling = false;
    ProcessFrameHeight();
}

QString TFCashTypeFilterFrame::GetSelectedCashTypes() const
{
    QStringList ids;
    for (int i = 0; i < Count(); ++i)
        if (Checked(i))
            ids << QString::number(CashTypeID(i));
    return ids.join(QLatin1Char(','));
}

int TFCashTypeFilterFrame::Count() const
{
    return chlbCashTypes->count();
}

int TFCashTypeFilterFrame::CashTypeID(int index) const
{
    const QListWidgetItem *item = chlbCashTypes->item(index);
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

bool TFCashTypeFilterFrame::Checked(int index) const
{
    const QListWidgetItem *item = chlbCashTypes->item(index);
    return item && item->checkState() == Qt::Checked;
}

int TFCashTypeFilterFrame::ItemHeight() const
{
    return qMax(16, chlbCashTypes->fontMetrics().height() + 3);
}

void TFCashTypeFilterFrame::ProcessFrameHeight()
{
    const int height = Count() * (ItemHeight() + 2) + 2 * c_Margin;
    if (OnHeightChange)
        OnHeightChange(this, height);
    resize(width(), height);
}

void TFCashTypeFilterFrame::chlbCashTypesClickCheck()
{
    if (OnChecked)
        OnChecked(this);
    chlbCashTypes->viewport()->update();
}

void TFCashTypeFilterFrame::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    chlbCashTypes->setGeometry(c_Margin, c_Margin, qMax(0, width() - 2 * c_Margin), qMax(0, height() - 2 * c_Margin));
}
