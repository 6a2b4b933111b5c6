#include "sidepanel/Classes.ExtPanel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QScrollBar>

QColor TColorToQColor(TColor color)
{
    if ((color >> 24) != 0xFF)
        return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));

    const QPalette pal = QApplication::palette();
    switch (color & 0xFF) {
    case 0: return QColor(200, 200, 200);                       // scroll bar
    case 1: return QColor(58, 110, 165);                        // desktop
    case 2: return pal.color(QPalette::Active, QPalette::Highlight); // active caption
    case 3: return QColor(191, 205, 219);                       // inactive caption
    case 4: return pal.color(QPalette::Window);                 // menu
    case 5: return pal.color(QPalette::Base);                   // window
    case 6: return QColor(100, 100, 100);                       // window frame
    case 7: return pal.color(QPalette::WindowText);             // menu text
    case 8: return pal.color(QPalette::Text);                   // window text
    case 9: return pal.color(QPalette::HighlightedText);        // caption text
    case 10: return QColor(180, 180, 180);                      // active border
    case 11: return QColor(244, 247, 252);                      // inactive border
    case 12: return QColor(171, 171, 171);                      // application workspace
    case 13: return pal.color(QPalette::Active, QPalette::Highlight);
    case 14: return pal.color(QPalette::Active, QPalette::HighlightedText);
    case 15: return pal.color(QPalette::Button);                // button face
    case 16: return pal.color(QPalette::Dark);                  // button shadow
    case 17: return pal.color(QPalette::Disabled, QPalette::Text); // grey text
    case 18: return pal.color(QPalette::ButtonText);
    case 19: return QColor(0, 0, 0);                            // inactive caption text
    case 20: return pal.color(QPalette::Light);                 // button highlight
    case 21: return pal.color(QPalette::Shadow);                // 3D dark shadow
    case 22: return pal.color(QPalette::Midlight);              // 3D light
    case 23: return pal.color(QPalette::ToolTipText);
    case 24: return pal.color(QPalette::ToolTipBase);
    case 26: return pal.color(QPalette::Link);                  // hot light
    case 27: return QColor(185, 209, 234);                      // gradient active caption
    case 28: return QColor(215, 228, 242);                      // gradient inactive caption
    case 29: return pal.color(QPalette::Active, QPalette::Highlight); // menu highlight
    case 30: return pal.color(QPalette::Window);                // menu bar
    default: return QColor(0, 0, 0);
    }
}

void GradientFillCanvas(QPainter &canvas, TColor startColor, TColor endColor, const QRect &rect,
                        TGradientDirection direction)
{
    if (rect.isEmpty())
        return;
    const QColor s = TColorToQColor(startColor);
    const QColor e = TColorToQColor(endColor);
    const bool horizontal = direction == gdHorizontal;
    const int n = horizontal ? rect.width() : rect.height();
    auto mix = [n](int a, int b, int i) { return n > 1 ? a + qRound(double(b - a) * i / (n - 1)) : a; };
    for (int i = 0; i < n; ++i) {
        const QColor c(mix(s.red(), e.red(), i), mix(s.green(), e.green(), i), mix(s.blue(), e.blue(), i));
        if (horizontal)
            canvas.fillRect(QRect(rect.left() + i, rect.top(), 1, rect.height()), c);
        else
            canvas.fillRect(QRect(rect.left(), rect.top() + i, rect.width(), 1), c);
    }
}

void DrawArrow(QPainter &canvas, TScrollDirection direction, QPoint location, int size)
{
    static const QPoint units[4][3] = {
        {{1, 0}, {0, 1}, {1, 2}}, // sdLeft
        {{0, 0}, {1, 1}, {0, 2}}, // sdRight
        {{0, 1}, {1, 0}, {2, 1}}, // sdUp
        {{0, 0}, {1, 1}, {2, 0}}, // sdDown
    };
    QPoint p[3];
    for (int i = 0; i < 3; ++i)
        p[i] = units[direction][i] * size + location;

    // Every pixel whose corner point lies inside the triangle or on its edges, as a filled
    // polygon with a one-pixel outline covers it.
    auto edge = [](QPoint a, QPoint b, QPoint c) {
        return qint64(b.x() - a.x()) * (c.y() - a.y()) - qint64(b.y() - a.y()) * (c.x() - a.x());
    };
    const int left = qMin(p[0].x(), qMin(p[1].x(), p[2].x()));
    const int right = qMax(p[0].x(), qMax(p[1].x(), p[2].x()));
    const int top = qMin(p[0].y(), qMin(p[1].y(), p[2].y()));
    const int bottom = qMax(p[0].y(), qMax(p[1].y(), p[2].y()));
    const QColor color = canvas.pen().color();
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const QPoint c(x, y);
            const qint64 e0 = edge(p[0], p[1], c), e1 = edge(p[1], p[2], c), e2 = edge(p[2], p[0], c);
            if ((e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0))
                canvas.fillRect(QRect(x, y, 1, 1), color);
        }
}

// TExtPanel

TExtPanel::TExtPanel(QWidget *parent)
    : QWidget(parent)
{
}

void TExtPanel::SetStyle(TExtPanelStyle value)
{
    FStyle = value;
    update();
}

void TExtPanel::SetGradientStartColor(TColor value)
{
    FGradientStartColor = value;
    update();
}

void TExtPanel::SetGradientEndColor(TColor value)
{
    FGradientEndColor = value;
    update();
}

void TExtPanel::SetGradientDirection(TGradientDirection value)
{
    FGradientDirection = value;
    update();
}

void TExtPanel::SetPicture(const QPixmap &value)
{
    FPicture = value;
    update();
}

void TExtPanel::SetCaption(const QString &value)
{
    FCaption = value;
    update();
}

void TExtPanel::SetAlignment(TAlignment value)
{
    FAlignment = value;
    update();
}

void TExtPanel::SetColor(TColor value)
{
    FColor = value;
    update();
}

void TExtPanel::SetBevelOuter(TBevelCut value)
{
    FBevelOuter = value;
    update();
}

void TExtPanel::paintEvent(QPaintEvent *)
{
    QPainter canvas(this);
    Paint(canvas);
}

void TExtPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        FPressed = true;
    event->accept();
}

void TExtPanel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = FPressed && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        FPressed = false;
    event->accept();
    if (click)
        Q_EMIT Click();
}

void TExtPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The press that made the double click starts no second click.
    FPressed = false;
    event->accept();
}

void TExtPanel::Paint(QPainter &canvas)
{
    switch (FStyle) {
    case psSolid:
        PaintSolid(canvas);
        return;
    case psGradient:
        GradientFillCanvas(canvas, FGradientStartColor, FGradientEndColor, rect(), FGradientDirection);
        break;
    case psPicture:
        if (!FPicture.isNull())
            canvas.drawPixmap(QRect(0, 0, width(), height()), FPicture);
        break;
    }
    PaintCaption(canvas);
}

void TExtPanel::PaintSolid(QPainter &canvas)
{
    QRect r = rect();
    if (FBevelOuter != bvNone && r.width() > 1 && r.height() > 1) {
        const QColor light = TColorToQColor(0xFF000014); // button highlight
        const QColor dark = TColorToQColor(0xFF000010);  // button shadow
        const QColor topLeft = FBevelOuter == bvRaised ? light : dark;
        const QColor bottomRight = FBevelOuter == bvRaised ? dark : light;
        canvas.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
        canvas.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
        canvas.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        canvas.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
        r.adjust(1, 1, -1, -1);
    }
    canvas.fillRect(r, TColorToQColor(FColor));
    if (FCaption.isEmpty())
        return;
    int flags = Qt::TextSingleLine | Qt::TextExpandTabs | Qt::AlignVCenter;
    flags |= FAlignment == taLeftJustify    ? Qt::AlignLeft
             : FAlignment == taRightJustify ? Qt::AlignRight
                                            : Qt::AlignHCenter;
    canvas.save();
    canvas.setClipRect(r);
    canvas.setFont(font());
    canvas.setPen(palette().color(foregroundRole()));
    canvas.drawText(r, flags, FCaption);
    canvas.restore();
}

void TExtPanel::PaintCaption(QPainter &canvas)
{
    if (FCaption.trimmed().isEmpty())
        return;
    canvas.setBrush(Qt::NoBrush);
    canvas.setFont(font());
    canvas.setPen(palette().color(foregroundRole()));
    const QFontMetrics fm(font());
    const int textHeight = fm.height();
    const int textWidth = fm.horizontalAdvance(FCaption);
    const int y = height() / 2 - textHeight / 2;
    int x = 0;
    switch (FAlignment) {
    case taLeftJustify: x = 10; break;
    case taRightJustify: x = width() - 3 - textWidth; break;
    case taCenter: x = width() / 2 - textWidth / 2; break;
    }
    canvas.save();
    canvas.setClipRect(CaptionClip(), Qt::IntersectClip);
    canvas.drawText(QPoint(x, y + fm.ascent()), FCaption);
    canvas.restore();
}

// TExtScrollBox

TExtScrollBox::TExtScrollBox(QWidget *parent)
    : QScrollArea(parent)
    , FClient(new QWidget)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidget(FClient);
    // The client lets the box's gradient show through between its children.
    FClient->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(20);
    UpdateClientGeometry();
}

void TExtScrollBox::SetGradientStartColor(TColor value)
{
    FGradientStartColor = value;
    Invalidate();
}

void TExtScrollBox::SetGradientEndColor(TColor value)
{
    FGradientEndColor = value;
    Invalidate();
}

void TExtScrollBox::SetGradientDirection(TGradientDirection value)
{
    FGradientDirection = value;
    Invalidate();
}

void TExtScrollBox::SetColor(TColor value)
{
    FColor = value;
    Invalidate();
}

void TExtScrollBox::SetContentHeight(int value)
{
    FContentHeight = qMax(0, value);
    UpdateClientGeometry();
}

void TExtScrollBox::Invalidate()
{
    if (viewport()->isVisible())
        viewport()->repaint();
    else
        viewport()->update();
}

void TExtScrollBox::paintEvent(QPaintEvent *)
{
    QPainter canvas(viewport());
    const QRect r = viewport()->rect();
    canvas.fillRect(r, TColorToQColor(FColor));
    GradientFillCanvas(canvas, FGradientStartColor, FGradientEndColor, r, FGradientDirection);
}

void TExtScrollBox::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    UpdateClientGeometry();
    ClientResized();
}

void TExtScrollBox::UpdateClientGeometry()
{
    const QSize area = viewport()->size();
    const QSize wanted(area.width(), qMax(FContentHeight, area.height()));
    if (FClient->size() != wanted)
        FClient->resize(wanted);
}
