#include "sidepanel/TaskBar.LinksFrame.h"

#include "platform/widgets/ActionList.h"

#include <QEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QtMath>

namespace {

// Margins of the frame around its list. The list reaches down to the frame's bottom
// edge, so the 2 pixels the measured height keeps below the last link stay in it.
constexpr int c_MarginLeft = 10;
constexpr int c_MarginTop = 10;
constexpr int c_MarginRight = 10;
constexpr TColor clActiveCaption = 0xFF000002;

// Hands the painting of every entry to the frame.
class TLinksDelegate : public QStyledItemDelegate
{
public:
    TLinksDelegate(TFLinksFrame *frame)
        : QStyledItemDelegate(frame), FFrame(frame) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        FFrame->lbLinksDrawItem(*painter, index.row(), option.rect, option.state);
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        return QSize(0, FFrame->EntryHeight(index.row()));
    }

private:
    TFLinksFrame *FFrame;
};

// Lays text out into lines of width, each placed below the previous one.
void LayoutLines(QTextLayout &layout, int width)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(qMax(1, width));
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
}

QString LayoutText(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    result.replace(QLatin1Char('\n'), QChar::LineSeparator);
    result.replace(QLatin1Char('\r'), QChar::LineSeparator);
    return result;
}

} // namespace

QFont NarrowPanelFont(const QFont &font)
{
    QFont result = font;
    QStringList families = font.families();
    if (families.isEmpty())
        families << font.family();
    if (families.first().compare(QLatin1String("Tahoma"), Qt::CaseInsensitive) == 0
        && !families.contains(QLatin1String("DejaVu Sans Condensed"))) {
        families.insert(1, QStringLiteral("DejaVu Sans Condensed"));
        result.setFamilies(families);
    }
    return result;
}

int WrappedTextHeight(const QString &text, const QFont &font, int width)
{
    QTextLayout layout(LayoutText(text), font);
    LayoutLines(layout, width);
    if (layout.lineCount() == 0)
        return QFontMetrics(font).height();
    const QTextLine last = layout.lineAt(layout.lineCount() - 1);
    return qCeil(last.position().y() + last.height());
}

void DrawWrappedText(QPainter &canvas, const QString &text, const QRect &rect)
{
    const QString shown = LayoutText(text);
    QTextLayout layout(shown, canvas.font());
    LayoutLines(layout, rect.width());
    canvas.save();
    canvas.setClipRect(rect, Qt::IntersectClip);
    const QPointF origin = rect.topLeft();
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const bool more = i + 1 < layout.lineCount();
        const bool nextFits = !more || layout.lineAt(i + 1).position().y() + layout.lineAt(i + 1).height() <= rect.height();
        if (nextFits) {
            line.draw(&canvas, origin);
            continue;
        }
        QString rest = shown.mid(line.textStart());
        rest.replace(QChar::LineSeparator, QLatin1Char(' '));
        const QFontMetrics metrics(canvas.font());
        canvas.drawText(QPointF(origin.x(), origin.y() + line.position().y() + line.ascent()),
                        metrics.elidedText(rest, Qt::ElideRight, rect.width()));
        break;
    }
    canvas.restore();
}

TFLinksFrame::TFLinksFrame(QWidget *parent)
    : QWidget(parent)
    , lbLinks(new QListWidget(this))
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    resize(193, 93);

    lbLinks->setFrameShape(QFrame::NoFrame);
    lbLinks->setFocusPolicy(Qt::NoFocus);
    lbLinks->setSelectionMode(QAbstractItemView::NoSelection);
    lbLinks->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lbLinks->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lbLinks->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    lbLinks->setUniformItemSizes(false);
    lbLinks->setItemDelegate(new TLinksDelegate(this));
    lbLinks->viewport()->setMouseTracking(true);
    lbLinks->viewport()->installEventFilter(this);
    ApplyListFont();
    PlaceList();
}

TFLinksFrame::~TFLinksFrame()
{
    lbLinks->viewport()->removeEventFilter(this);
}

void TFLinksFrame::SetImageList(const QList<QIcon> &images)
{
    FImageList = images;
    lbLinks->viewport()->update();
}

void TFLinksFrame::SetItemIndex(int value)
{
    if (value == FItemIndex)
        return;
    FItemIndex = value;
    lbLinks->viewport()->update();
}

void TFLinksFrame::AddLink(TAction *link)
{
    if (!link)
        return;
    lbLinks->addItem(link->Caption());
    FLinks.append(link);
    SetItemsHeight();
}

void TFLinksFrame::AddLinks(const QList<TAction *> &links)
{
    for (TAction *link : links)
        AddLink(link);
}

void TFLinksFrame::ClearLinks()
{
    lbLinks->clear();
    FLinks.clear();
    FItemIndex = -1;
}

int TFLinksFrame::LinkCount() const
{
    return lbLinks->count();
}

TAction *TFLinksFrame::Link(int index) const
{
    return index >= 0 && index < FLinks.size() ? FLinks.at(index).data() : nullptr;
}

int TFLinksFrame::EntryHeight(int index) const
{
    const QListWidgetItem *item = lbLinks->item(index);
    const int height = item ? item->sizeHint().height() : -1;
    return height > 0 ? height : c_MinItemHeight;
}

void TFLinksFrame::SetItemsHeight()
{
    if (lbLinks->hasFocus())
        setFocus();
    int total = 12;
    for (int i = 0; i < lbLinks->count(); ++i) {
        const int height = qMax(GetItemHeight(i), int(c_MinItemHeight));
        total += height;
        lbLinks->item(i)->setSizeHint(QSize(0, height));
    }
    // Hit tests and painting see the new heights at once.
    lbLinks->doItemsLayout();
    if (!FCanResize)
        return;
    if (OnHeightChange)
        OnHeightChange(this, total);
    resize(width(), total);
}

int TFLinksFrame::GetItemHeight(int index) const
{
    const QListWidgetItem *item = lbLinks->item(index);
    if (!item)
        return 0;
    int width = ListWidth();
    if (!FImageList.isEmpty())
        width -= c_ImageSize + 3;
    return WrappedTextHeight(item->text(), lbLinks->font(), width) + 3;
}

int TFLinksFrame::ListWidth() const
{
    return qMax(0, width() - c_MarginLeft - c_MarginRight);
}

void TFLinksFrame::FrameResize()
{
    if (width() == FOldWidth)
        return;
    // Set first: the height request below may resize the frame again.
    FOldWidth = width();
    SetItemsHeight();
    update();
}

void TFLinksFrame::lbLinksDrawItem(QPainter &canvas, int index, QRect rect, QStyle::State)
{
    canvas.save();
    canvas.fillRect(rect, lbLinks->palette().color(QPalette::Base));
    TAction *action = Link(index);
    if (!FImageList.isEmpty()) {
        const int image = action ? action->ImageIndex() : -1;
        if (image >= 0 && image < FImageList.size())
            FImageList.at(image).paint(&canvas, QRect(rect.left() + 1, rect.top(), c_ImageSize, c_ImageSize),
                                       Qt::AlignCenter, QIcon::Normal);
        rect.setLeft(rect.left() + c_ImageSize + 3);
    }
    QFont font = lbLinks->font();
    QColor color = lbLinks->palette().color(QPalette::Text);
    if (index == FItemIndex) {
        font.setUnderline(true);
        color = TColorToQColor(clActiveCaption);
    }
    canvas.setFont(font);
    canvas.setPen(color);
    const QListWidgetItem *item = lbLinks->item(index);
    DrawWrappedText(canvas, action ? action->Caption() : item ? item->text() : QString(), rect);
    canvas.restore();
}

void TFLinksFrame::lbLinksMouseMove(QPoint pos)
{
    const int index = lbLinks->indexAt(pos).row();
    SetItemIndex(index);
    if (index >= 0)
        lbLinks->viewport()->setCursor(Qt::PointingHandCursor);
    else
        lbLinks->viewport()->setCursor(Qt::ArrowCursor);
}

void TFLinksFrame::lbLinksMouseLeave()
{
    SetItemIndex(-1);
}

void TFLinksFrame::lbLinksMouseDown(Qt::MouseButton, QPoint pos)
{
    // A press without a move before it (a touch, a click right after a scroll)
    // still aims at the link under it.
    lbLinksMouseMove(pos);
    if (TAction *action = Link(FItemIndex))
        action->Execute();
}

void TFLinksFrame::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ApplyListFont();
        SetItemsHeight();
    }
}

void TFLinksFrame::ApplyListFont()
{
    lbLinks->setFont(NarrowPanelFont(font()));
}

void TFLinksFrame::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    PlaceList();
    FrameResize();
}

bool TFLinksFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != lbLinks->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        lbLinksMouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
        return true;
    case QEvent::Leave:
        lbLinksMouseLeave();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // The second press of a double click runs nothing: one click, one run.
        if (event->type() == QEvent::MouseButtonPress) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            lbLinksMouseDown(mouse->button(), mouse->position().toPoint());
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TFLinksFrame::PlaceList()
{
    lbLinks->setGeometry(c_MarginLeft, c_MarginTop, ListWidth(), qMax(0, height() - c_MarginTop));
}
