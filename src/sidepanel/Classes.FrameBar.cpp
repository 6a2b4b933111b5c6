#include "sidepanel/Classes.FrameBar.h"

#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSplitter>
#include <QTimer>

// THeaderPanel

THeaderPanel::THeaderPanel(QWidget *parent)
    : TExtPanel(parent)
{
}

void THeaderPanel::SetArrowDirection(TScrollDirection value)
{
    FArrowDirection = value;
    update();
}

void THeaderPanel::Paint(QPainter &canvas)
{
    TExtPanel::Paint(canvas);
    canvas.setPen(Qt::black);
    DrawArrow(canvas, FArrowDirection, QPoint(width() - 10, height() / 2 - 2), 3);
}

// TFrameBarItem

TFrameBarItem::TFrameBarItem(QWidget *parent)
    : QWidget(parent)
    , FHeader(new THeaderPanel(this))
    , FResizeTimer(std::make_unique<QTimer>())
{
    resize(width(), 100);
    FResizeTimer->setInterval(1);
    connect(FResizeTimer.get(), &QTimer::timeout, this, &TFrameBarItem::Tick);
    FHeader->resize(width(), 18);
    FHeader->SetAlignment(taLeftJustify);
    connect(FHeader, &TExtPanel::Click, this, &TFrameBarItem::HeaderClick);
    AlignChildren();
}

TFrameBarItem::~TFrameBarItem()
{
    FResizeTimer->stop();
    if (FFrame)
        FFrame->removeEventFilter(this);
}

void TFrameBarItem::SetFrame(QWidget *value)
{
    if (FFrame && FFrame != value) {
        FFrame->removeEventFilter(this);
        FFrame->hide();
    }
    FFrame = value;
    if (!value)
        return;
    value->move(0, TitleHeight());
    value->setParent(this);
    FFrameAlign = alTop;
    value->installEventFilter(this);
    value->show();
    SetHeight(quint16(qMin(0xFFFF, TitleHeight() + value->height())));
    AlignChildren();
}

void TFrameBarItem::SetFrameAlign(TAlign value)
{
    FFrameAlign = value == alClient ? alClient : alTop;
    AlignChildren();
}

void TFrameBarItem::SetState(TFrameBarItemState value)
{
    if (value == FState)
        return;
    if (value == isCollapsed)
        Collapse();
    else
        Expand();
}

quint16 TFrameBarItem::TitleHeight() const
{
    return quint16(FHeader->height());
}

void TFrameBarItem::SetTitleHeight(quint16 value)
{
    FHeader->resize(FHeader->width(), value);
    AlignChildren();
}

int TFrameBarItem::RealHeight() const
{
    const bool expanding = FResizeTimer->isActive() && FOnTimer == &TFrameBarItem::ExpandProcess;
    return FState == isCollapsed || expanding ? FOldHeight : height();
}

void TFrameBarItem::SetHeight(quint16 value)
{
    if (FState == isCollapsed) {
        FOldHeight = value;
        return;
    }
    FResizeTimer->stop();
    ApplyHeight(value);
}

int TFrameBarItem::MinimumHeight() const
{
    return TitleHeight() + (FFrame && FFrame->parentWidget() == this ? FFrame->minimumHeight() : 0);
}

void TFrameBarItem::SetColor(TColor value)
{
    FColor = value;
    update();
}

void TFrameBarItem::HeaderClick()
{
    if (FState == isCollapsed)
        Expand();
    else
        Collapse();
}

void TFrameBarItem::Collapse()
{
    // A collapse that interrupts an expansion keeps the expansion's target as the
    // height to restore, so quick clicks never shrink the item for good.
    const bool expanding = FResizeTimer->isActive() && FOnTimer == &TFrameBarItem::ExpandProcess;
    FHeader->SetArrowDirection(sdDown);
    FState = isCollapsed;
    if (!expanding)
        FOldHeight = quint16(qMin(height(), 0xFFFF));
    FOnTimer = &TFrameBarItem::CollapseProcess;
    FResizeTimer->start();
}

void TFrameBarItem::Expand()
{
    FHeader->SetArrowDirection(sdUp);
    FState = isExpanded;
    FOnTimer = &TFrameBarItem::ExpandProcess;
    FResizeTimer->start();
}

void TFrameBarItem::CollapseProcess()
{
    FResizeTimer->stop();
    const int target = TitleHeight();
    const int distance = height() - target;
    if (distance <= 3) {
        ApplyHeight(target);
        return;
    }
    ApplyHeight(height() - distance / 4);
    FResizeTimer->start();
}

void TFrameBarItem::ExpandProcess()
{
    FResizeTimer->stop();
    const int distance = FOldHeight - height();
    if (distance <= 3) {
        ApplyHeight(FOldHeight);
        return;
    }
    ApplyHeight(height() + distance / 4);
    FResizeTimer->start();
}

void TFrameBarItem::Tick()
{
    if (FResizeTimer->isActive() && FOnTimer)
        (this->*FOnTimer)();
}

bool TFrameBarItem::IsAnimating() const
{
    return FResizeTimer->isActive();
}

void TFrameBarItem::SetParent(TFrameBar *bar)
{
    FBar = bar;
    setParent(bar ? bar->Client() : nullptr);
    FAlignWithMargins = true;
    if (bar)
        show();
    RequestAlign();
}

void TFrameBarItem::StartSizing(const QPoint &globalPos)
{
    if (FState == isCollapsed)
        return;
    if (FFrame && FFrame->parentWidget() == this)
        SetFrameAlign(alClient);
    FResizeTimer->stop();
    FSizing = true;
    FSizingStartY = globalPos.y();
    FSizingStartHeight = height();
    FHadMouseTracking = hasMouseTracking();
    setMouseTracking(true);
    setCursor(Qt::SizeVerCursor);
    grabMouse(Qt::SizeVerCursor);
    grabKeyboard();
}

void TFrameBarItem::EndSizing()
{
    if (!FSizing)
        return;
    FSizing = false;
    releaseKeyboard();
    releaseMouse();
    unsetCursor();
    setMouseTracking(FHadMouseTracking);
}

bool TFrameBarItem::event(QEvent *event)
{
    const bool result = QWidget::event(event);
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
        RequestAlign();
    return result;
}

bool TFrameBarItem::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FFrame && event->type() == QEvent::Resize)
        AlignChildren();
    return QWidget::eventFilter(watched, event);
}

void TFrameBarItem::paintEvent(QPaintEvent *)
{
    QPainter canvas(this);
    canvas.fillRect(rect(), TColorToQColor(FColor));
}

void TFrameBarItem::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    AlignChildren();
    if (!FApplyingHeight)
        RequestAlign();
}

void TFrameBarItem::mousePressEvent(QMouseEvent *event)
{
    // Other buttons pressed during a drag neither end nor change it.
    if (FSizing) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TFrameBarItem::mouseMoveEvent(QMouseEvent *event)
{
    if (FSizing) {
        const int wanted = FSizingStartHeight + int(event->globalPosition().y()) - FSizingStartY;
        ApplyHeight(qBound(qMin(MinimumHeight(), 0xFFFF), wanted, 0xFFFF));
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void TFrameBarItem::mouseReleaseEvent(QMouseEvent *event)
{
    if (FSizing && event->button() == Qt::LeftButton) {
        EndSizing();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void TFrameBarItem::keyPressEvent(QKeyEvent *event)
{
    if (!FSizing) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->key() == Qt::Key_Escape) {
        EndSizing();
        ApplyHeight(FSizingStartHeight);
    }
}

void TFrameBarItem::ApplyHeight(int value)
{
    FApplyingHeight = true;
    resize(width(), value);
    FApplyingHeight = false;
    AlignChildren();
    RequestAlign();
}

void TFrameBarItem::SetBounds(const QRect &rect)
{
    FApplyingHeight = true;
    setGeometry(rect);
    FApplyingHeight = false;
    AlignChildren();
}

void TFrameBarItem::SetTop(int value)
{
    move(x(), value);
    if (!isHidden())
        RequestAlign();
}

void TFrameBarItem::AlignChildren()
{
    // A frame that answers its own resize with a new height comes back here; that
    // request is served by another pass once the current one is done.
    if (FAligningChildren) {
        FChildrenPending = true;
        return;
    }
    FAligningChildren = true;
    for (int pass = 0; pass < 8; ++pass) {
        FChildrenPending = false;
        const int th = FHeader->height();
        const QRect header(0, 0, width(), th);
        if (FHeader->geometry() != header)
            FHeader->setGeometry(header);
        if (FFrame && FFrame->parentWidget() == this) {
            const int h = FFrameAlign == alClient ? qMax(0, height() - th) : FFrame->height();
            const QRect frame(0, th, width(), h);
            if (FFrame->geometry() != frame)
                FFrame->setGeometry(frame);
        }
        if (!FChildrenPending)
            break;
    }
    FAligningChildren = false;
}

void TFrameBarItem::RequestAlign()
{
    if (FBar && parentWidget() == FBar->Client())
        FBar->AlignItems(this);
}

// TFrameBar

TFrameBar::TFrameBar(QWidget *parent)
    : TExtScrollBox(parent)
{
    SetColor(0xFF00000C); // application workspace
}

TFrameBar::~TFrameBar()
{
    for (const QPointer<TFrameBarItem> &item : std::as_const(FItems))
        delete item.data();
    FItems.clear();
}

TFrameBarItem *TFrameBar::AddItem(const QString &caption, QWidget *frame)
{
    auto *item = new TFrameBarItem;
    if (!FItems.isEmpty() && FItems.last())
        item->move(item->x(), FItems.last()->y() + 1);
    item->SetParent(this);
    FItems.append(item);
    item->FIndex = int(FItems.size()) - 1;
    item->Header()->SetCaption(caption);
    item->SetTitleHeight(FTitleHeight);
    item->SetFrame(frame);
    SettingItems();
    return item;
}

TFrameBarItem *TFrameBar::GetItem(int index) const
{
    if (index < 0 || index >= FItems.size())
        throw EFrameBarIndexError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return FItems.at(index);
}

TFrameBarItem *TFrameBar::GetFrameItem(const QWidget *frame) const
{
    if (!frame)
        return nullptr;
    for (const QPointer<TFrameBarItem> &item : FItems)
        if (item && item->Frame() == frame)
            return item;
    return nullptr;
}

void TFrameBar::RealignItems()
{
    int y = 5;
    for (const QPointer<TFrameBarItem> &item : std::as_const(FItems)) {
        if (!item || item->isHidden())
            continue;
        item->SetTop(y);
        y = item->y() + item->height() + 5;
    }
}

void TFrameBar::SetItemVisible(int index, bool visible)
{
    TFrameBarItem *item = GetItem(index);
    if (!item || !item->isHidden() == visible)
        return;
    if (!visible) {
        item->hide();
        return;
    }
    int top = 0;
    for (int i = index - 1; i >= 0; --i) {
        if (FItems.at(i) && !FItems.at(i)->isHidden()) {
            top = FItems.at(i)->y() + 1;
            break;
        }
    }
    item->move(item->x(), top);
    item->show();
}

void TFrameBar::SettingItems()
{
    for (const QPointer<TFrameBarItem> &item : std::as_const(FItems)) {
        if (!item)
            continue;
        item->SetTitleHeight(FTitleHeight);
        THeaderPanel *header = item->Header();
        header->SetStyle(FTitleStyle);
        header->SetPicture(FTitlePicture);
        header->SetGradientStartColor(FTitleGradientStartColor);
        header->SetGradientEndColor(FTitleGradientEndColor);
        header->SetGradientDirection(FTitleGradientDirection);
    }
}

void TFrameBar::FrameHeightChange(QWidget *frame, int height)
{
    TFrameBarItem *item = GetFrameItem(frame);
    if (!item)
        return;
    const int total = qBound(0, height, 0xFFFF) + FTitleHeight;
    item->SetHeight(quint16(qMin(total, 0xFFFF)));
    RealignItems();
}

void TFrameBar::SetTitleHeight(quint16 value)
{
    FTitleHeight = value;
    SettingItems();
}

void TFrameBar::SetTitleStyle(TExtPanelStyle value)
{
    FTitleStyle = value;
    SettingItems();
}

void TFrameBar::SetTitlePicture(const QPixmap &value)
{
    FTitlePicture = value;
    SettingItems();
}

void TFrameBar::SetTitleGradientStartColor(TColor value)
{
    FTitleGradientStartColor = value;
    SettingItems();
}

void TFrameBar::SetTitleGradientEndColor(TColor value)
{
    FTitleGradientEndColor = value;
    SettingItems();
}

void TFrameBar::SetTitleGradientDirection(TGradientDirection value)
{
    FTitleGradientDirection = value;
    SettingItems();
}

void TFrameBar::SetWidth(int value)
{
    FWidthHint = value;
    resize(value, height());
    updateGeometry();
    // In a splitter that has been laid out, the splitter decides the width: the
    // neighbour gives or takes the difference.
    auto *splitter = qobject_cast<QSplitter *>(parentWidget());
    if (!splitter || splitter->orientation() != Qt::Horizontal)
        return;
    const int index = splitter->indexOf(this);
    QList<int> sizes = splitter->sizes();
    if (index < 0 || sizes.size() < 2 || sizes.at(index) <= 0)
        return;
    const int neighbour = index + 1 < sizes.size() ? index + 1 : index - 1;
    const int delta = value - sizes.at(index);
    sizes[index] = value;
    sizes[neighbour] = qMax(0, sizes.at(neighbour) - delta);
    splitter->setSizes(sizes);
}

QSize TFrameBar::sizeHint() const
{
    const QSize base = TExtScrollBox::sizeHint();
    return FWidthHint > 0 ? QSize(FWidthHint, base.height()) : base;
}

void TFrameBar::LoadSettings(ISettingsManager &settingsManager, const QString &section)
{
    const int width = settingsManager.LoadInteger(section, QStringLiteral("Width"), this->width());
    if (width > 0)
        SetWidth(width);
    for (int i = 0; i < FItems.size(); ++i) {
        TFrameBarItem *item = FItems.at(i);
        if (!item)
            continue;
        const QString prefix = QStringLiteral("Item_") + QString::number(i);
        const int state = settingsManager.LoadInteger(section, prefix + QStringLiteral("_state"), 0) & 0xFF;
        item->SetState(state == isCollapsed ? isCollapsed : isExpanded);
        int height = settingsManager.LoadInteger(section, prefix + QStringLiteral("_height"), item->height());
        const int least = item->MinimumHeight();
        // A value the bar cannot have written (negative, too large, or below the header
        // of an item that needs no more) keeps the current height; any other value below
        // the minimum becomes the minimum.
        if (height > 0xFFFF || height < 0 || (height < item->TitleHeight() && least <= item->TitleHeight()))
            height = item->height();
        item->SetHeight(quint16(qBound(least, height, 0xFFFF)));
        if (item->Frame())
            item->SetFrameAlign(alClient);
    }
}

void TFrameBar::SaveSettings(ISettingsManager &settingsManager, const QString &section)
{
    settingsManager.SaveInteger(section, QStringLiteral("Width"), width());
    for (int i = 0; i < FItems.size(); ++i) {
        TFrameBarItem *item = FItems.at(i);
        if (!item)
            continue;
        const QString prefix = QStringLiteral("Item_") + QString::number(i);
        settingsManager.SaveInteger(section, prefix + QStringLiteral("_state"), int(item->State()));
        settingsManager.SaveInteger(section, prefix + QStringLiteral("_height"), item->RealHeight());
    }
}

void TFrameBar::ClientResized()
{
    AlignItems(nullptr);
}

void TFrameBar::AlignItems(TFrameBarItem *control)
{
    if (FAligning) {
        FAlignPending = true;
        return;
    }
    FAligning = true;
    QWidget *client = Client();
    // A few passes settle requests made while stacking (a frame re-measuring itself
    // after a width change asks for a new height).
    for (int pass = 0; pass < 8; ++pass) {
        FAlignPending = false;
        QList<TFrameBarItem *> order;
        if (control && !control->isHidden() && control->parentWidget() == client)
            order.append(control);
        const QList<TFrameBarItem *> children = client->findChildren<TFrameBarItem *>(Qt::FindDirectChildrenOnly);
        for (TFrameBarItem *child : children) {
            if (child == control || child->isHidden())
                continue;
            qsizetype j = 0;
            while (j < order.size() && !(child->y() < order.at(j)->y()))
                ++j;
            order.insert(j, child);
        }
        int y = 0;
        const int width = client->width();
        for (TFrameBarItem *item : std::as_const(order)) {
            const QMargins m = item->Margins();
            const QRect bounds(m.left(), y + m.top(), qMax(0, width - m.left() - m.right()), item->height());
            if (item->geometry() != bounds)
                item->SetBounds(bounds);
            y = bounds.top() + bounds.height() + m.bottom();
        }
        SetContentHeight(y);
        control = nullptr;
        if (!FAlignPending)
            break;
    }
    FAligning = false;
}
