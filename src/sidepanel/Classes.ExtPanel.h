#pragma once

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QScrollArea>
#include <QString>
#include <QWidget>
#include <QtGlobal>

class QPainter;

// Colours: red in the low byte ($00BBGGRR); a high byte of $FF names a system colour
// whose index is the low byte.
using TColor = quint32;

enum TExtPanelStyle { psSolid, psGradient, psPicture };
enum TGradientDirection { gdHorizontal, gdVertical };
enum TScrollDirection { sdLeft, sdRight, sdUp, sdDown };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBevelCut { bvNone, bvLowered, bvRaised };

// The RGB colour of a TColor; system colours come from the application palette,
// the ones the palette has no role for from the classic desktop scheme.
QColor TColorToQColor(TColor color);

// Fills rect with a two-colour linear gradient: the first column (gdHorizontal) or row
// (gdVertical) has exactly the start colour, the last exactly the end colour.
void GradientFillCanvas(QPainter &canvas, TColor startColor, TColor endColor, const QRect &rect,
                        TGradientDirection direction);

// Draws a filled triangle whose corners are its direction's unit points times size plus
// location, outline and fill in the painter's pen colour; pen and brush stay as they were.
void DrawArrow(QPainter &canvas, TScrollDirection direction, QPoint location, int size);

// A panel that paints a solid, gradient or picture background and its own caption.
class TExtPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TExtPanel(QWidget *parent = nullptr);

    TExtPanelStyle Style() const { return FStyle; }
    void SetStyle(TExtPanelStyle value);
    TColor GradientStartColor() const { return FGradientStartColor; }
    void SetGradientStartColor(TColor value);
    TColor GradientEndColor() const { return FGradientEndColor; }
    void SetGradientEndColor(TColor value);
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection value);
    // The picture is shared with the caller (Qt pixmaps are implicitly shared); a null
    // pixmap means no picture.
    const QPixmap &Picture() const { return FPicture; }
    void SetPicture(const QPixmap &value);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // Background and bevel of the solid style.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value);

Q_SIGNALS:
    // A left-button press and release inside the panel; a double click is one click.
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

    // Paints background and caption by Style on an open painter.
    virtual void Paint(QPainter &canvas);
    // Draws the caption in the gradient and picture styles: nothing for a blank caption,
    // else the untrimmed text vertically centred, 10 pixels from the left when left-justified.
    void PaintCaption(QPainter &canvas);
    // The area the caption may cover; text beyond it is cut. The whole panel here.
    virtual QRect CaptionClip() const { return rect(); }

private:
    void PaintSolid(QPainter &canvas);

    QPixmap FPicture;
    TGradientDirection FGradientDirection = gdHorizontal;
    TExtPanelStyle FStyle = psSolid;
    TColor FGradientStartColor = 0;
    TColor FGradientEndColor = 0;
    QString FCaption;
    TAlignment FAlignment = taCenter;
    TColor FColor = 0xFF00000F; // clBtnFace
    TBevelCut FBevelOuter = bvRaised;
    bool FPressed = false;
};

// A scroll box that paints a gradient over its whole visible area. Child controls go on
// Client(), a transparent widget scrolled inside the box.
class TExtScrollBox : public QScrollArea
{
    Q_OBJECT

public:
    explicit TExtScrollBox(QWidget *parent = nullptr);

    TColor GradientStartColor() const { return FGradientStartColor; }
    void SetGradientStartColor(TColor value);
    TColor GradientEndColor() const { return FGradientEndColor; }
    void SetGradientEndColor(TColor value);
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection value);
    // Painted under the gradient; shows only where the gradient does not reach.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);

    QWidget *Client() const { return FClient; }
    // Height of what the client holds; the client is as wide as the visible area and at
    // least as high, and the box scrolls vertically when the content is higher.
    int ContentHeight() const { return FContentHeight; }
    void SetContentHeight(int value);
    // Repaints the background synchronously (when the box is shown).
    void Invalidate();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Called after the visible area changed its size.
    virtual void ClientResized() {}

private:
    void UpdateClientGeometry();

    QWidget *FClient;
    int FContentHeight = 0;
    TGradientDirection FGradientDirection = gdHorizontal;
    TColor FGradientStartColor = 0;
    TColor FGradientEndColor = 0;
    TColor FColor = 0xFF00000F; // clBtnFace
};
