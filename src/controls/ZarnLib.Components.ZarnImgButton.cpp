#include "controls/ZarnLib.Components.ZarnImgButton.h"

#include <QEnterEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace {

QSize PictureSize(const QPixmap &picture)
{
    return picture.deviceIndependentSize().toSize();
}

} // namespace

QString BalloonHintHtml(const QString &hint)
{
    if (hint.isEmpty())
        return {};
    const qsizetype bar = hint.indexOf(u'|');
    if (bar < 0)
        return QStringLiteral("<qt>%1</qt>").arg(hint.toHtmlEscaped());
    const QString title = hint.left(bar).trimmed();
    const QString text = hint.mid(bar + 1).trimmed();
    if (text.isEmpty())
        return QStringLiteral("<qt><b>%1</b></qt>").arg(title.toHtmlEscaped());
    return QStringLiteral("<qt><b>%1</b><br/>%2</qt>").arg(title.toHtmlEscaped(), text.toHtmlEscaped());
}

TCustomZarnImgButton::TCustomZarnImgButton(QWidget *parent) : QWidget(parent)
{
    // The pictures cover the whole button: no background fill under them.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

TCustomZarnImgButton::~TCustomZarnImgButton() = default;

void TCustomZarnImgButton::SetImgNormal(const QPixmap &picture)
{
    FImgNormal = picture;
    Invalidate();
}

void TCustomZarnImgButton::SetImgOver(const QPixmap &picture)
{
    FImgOver = picture;
    Invalidate();
}

void TCustomZarnImgButton::SetImgDown(const QPixmap &picture)
{
    FImgDown = picture;
    Invalidate();
}

void TCustomZarnImgButton::SetImgDisable(const QPixmap &picture)
{
    FImgDisable = picture;
    Invalidate();
}

void TCustomZarnImgButton::SetPictures(const TButtonPictures &pictures)
{
    FImgNormal = pictures.Normal;
    FImgOver = pictures.Over;
    FImgDown = pictures.Down;
    FImgDisable = pictures.Disable;
    Invalidate();
}

void TCustomZarnImgButton::SetState(TButtonState value)
{
    if (FState == value)
        return;
    FState = value;
    Invalidate();
}

void TCustomZarnImgButton::SetAutoCheck(bool value)
{
    FAutoCheck = value;
    if (!value)
        SetChecked(false);
}

void TCustomZarnImgButton::SetChecked(bool value)
{
    if (FChecked == value)
        return;
    FChecked = value;
    Invalidate();
}

QMenu *TCustomZarnImgButton::DropDownMenu() const
{
    return FDropDownMenu;
}

void TCustomZarnImgButton::SetDropDownMenu(QMenu *menu)
{
    FDropDownMenu = menu;
}

void TCustomZarnImgButton::SetHint(const QString &hint)
{
    FHint = hint;
    setToolTip(BalloonHintHtml(hint));
}

void TCustomZarnImgButton::Invalidate()
{
    SetCurrentBitmap();
    if (!FCurBitmap.isNull()) {
        const QSize size = PictureSize(FCurBitmap);
        if (this->size() != size) {
            resize(size);
            updateGeometry();
        }
    }
    update();
}

QSize TCustomZarnImgButton::sizeHint() const
{
    if (!FCurBitmap.isNull())
        return PictureSize(FCurBitmap);
    return QWidget::sizeHint();
}

void TCustomZarnImgButton::SetCurrentBitmap()
{
    const QPixmap *chosen = nullptr;
    if (!isEnabled() && !FImgDisable.isNull()) {
        chosen = &FImgDisable;
    } else {
        switch (FState) {
        case bsDown:
            if (!FImgDown.isNull())
                chosen = &FImgDown;
            break;
        case bsUp:
            if (FChecked && !FImgOver.isNull())
                chosen = &FImgOver;
            else if (!FImgNormal.isNull())
                chosen = &FImgNormal;
            break;
        case bsOver:
            if (!FImgOver.isNull())
                chosen = &FImgOver;
            break;
        }
    }
    if (chosen)
        FCurBitmap = *chosen;
}

void TCustomZarnImgButton::paintEvent(QPaintEvent *)
{
    SetCurrentBitmap();
    QPainter painter(this);
    if (FCurBitmap.isNull()) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    painter.drawPixmap(0, 0, FCurBitmap);
    // Until the next invalidation the button may be larger than its picture.
    const QSize size = PictureSize(FCurBitmap);
    if (width() > size.width())
        painter.fillRect(size.width(), 0, width() - size.width(), height(), Qt::white);
    if (height() > size.height())
        painter.fillRect(0, size.height(), qMin(width(), size.width()), height() - size.height(), Qt::white);
}

void TCustomZarnImgButton::LeftDown()
{
    FClickPending = true;
    SetState(bsDown);
    if (FAutoCheck)
        SetChecked(!FChecked);
    if (FDropDownMenu) {
        // The menu takes the rest of the press: no click follows.
        FClickPending = false;
        // Pressed while the menu is open; resting once it has closed.
        QPointer<TCustomZarnImgButton> self(this);
        FMenuOpen = true;
        FDropDownMenu->exec(mapToGlobal(QPoint(0, height())));
        if (!self)
            return;
        FMenuOpen = false;
        SetState(bsUp);
    }
}

void TCustomZarnImgButton::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        LeftDown();
}

void TCustomZarnImgButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Comes after the second press of a double click, which then raises no
    // second click.
    event->accept();
    if (event->button() == Qt::LeftButton)
        FClickPending = false;
}

void TCustomZarnImgButton::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    SetState((event->buttons() & Qt::LeftButton) ? bsDown : bsOver);
}

void TCustomZarnImgButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = FClickPending && rect().contains(event->position().toPoint());
    FClickPending = false;
    SetState(bsUp);
    if (click)
        Q_EMIT Click();
}

void TCustomZarnImgButton::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (isEnabled() && FState != bsDown)
        SetState(bsOver);
}

void TCustomZarnImgButton::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (!FMenuOpen)
        SetState(bsUp);
}

void TCustomZarnImgButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        Invalidate();
}
