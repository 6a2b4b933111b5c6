#pragma once

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

class QMenu;

// bsDown: pressed; bsUp: resting; bsOver: the pointer is over the button.
enum TButtonState { bsDown = 0, bsUp = 1, bsOver = 2 };

// The four pictures of a picture button; a null pixmap is a missing picture.
struct TButtonPictures
{
    QPixmap Normal;
    QPixmap Over;
    QPixmap Down;
    QPixmap Disable;
};

// A hint "Title|Text" as tooltip rich text: the title bold, the text below it.
// A hint without "|" is all text; an empty hint gives an empty tooltip.
QString BalloonHintHtml(const QString &hint);

// A button drawn entirely from its pictures. The picture shown is chosen from
// the enabled state, State and Checked (see SetCurrentBitmap), and the button
// takes the size of the picture it shows whenever it is invalidated.
class TCustomZarnImgButton : public QWidget
{
    Q_OBJECT
public:
    explicit TCustomZarnImgButton(QWidget *parent = nullptr);
    ~TCustomZarnImgButton() override;

    // Each setter copies the picture and invalidates the button.
    const QPixmap &ImgNormal() const { return FImgNormal; }
    void SetImgNormal(const QPixmap &picture);
    const QPixmap &ImgOver() const { return FImgOver; }
    void SetImgOver(const QPixmap &picture);
    const QPixmap &ImgDown() const { return FImgDown; }
    void SetImgDown(const QPixmap &picture);
    const QPixmap &ImgDisable() const { return FImgDisable; }
    void SetImgDisable(const QPixmap &picture);
    void SetPictures(const TButtonPictures &pictures);

    TButtonState State() const { return FState; }
    // Stores a different value and invalidates; the same value does nothing.
    void SetState(TButtonState value);
    bool AutoCheck() const { return FAutoCheck; }
    // Switching AutoCheck off also clears Checked.
    void SetAutoCheck(bool value);
    bool Checked() const { return FChecked; }
    // Stores a different value and invalidates. A checked button rests with
    // its hover picture.
    void SetChecked(bool value);
    // Not owned; popped up under the button on a left press.
    QMenu *DropDownMenu() const;
    void SetDropDownMenu(QMenu *menu);

    // "Title|Text", shown as a tooltip with the title bold.
    const QString &Hint() const { return FHint; }
    void SetHint(const QString &hint);

    // The picture on screen; null until a picture has been chosen.
    const QPixmap &CurrentBitmap() const { return FCurBitmap; }

    // Chooses the picture, takes its size and schedules a repaint.
    void Invalidate();

    QSize sizeHint() const override;

Q_SIGNALS:
    // The left button was pressed and released over the button.
    void Click();

protected:
    // Chooses the current bitmap: the disabled picture when disabled and
    // present; otherwise by state (pressed, hover, normal or, when checked,
    // hover at rest). A state without its picture keeps the previous one.
    void SetCurrentBitmap();

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void LeftDown();

    QPixmap FImgNormal;
    QPixmap FImgOver;
    QPixmap FImgDown;
    QPixmap FImgDisable;
    QPixmap FCurBitmap;
    TButtonState FState = bsUp;
    bool FAutoCheck = false;
    bool FChecked = false;
    QPointer<QMenu> FDropDownMenu;
    QString FHint;
    bool FClickPending = false; // a left press began here and may end in a click
    bool FMenuOpen = false;
};

// The picture button as window layouts use it.
class TZarnImgButton : public TCustomZarnImgButton
{
    Q_OBJECT
    Q_PROPERTY(QPixmap ImgNormal READ ImgNormal WRITE SetImgNormal)
    Q_PROPERTY(QPixmap ImgOver READ ImgOver WRITE SetImgOver)
    Q_PROPERTY(QPixmap ImgDown READ ImgDown WRITE SetImgDown)
    Q_PROPERTY(QPixmap ImgDisable READ ImgDisable WRITE SetImgDisable)
    Q_PROPERTY(bool AutoCheck READ AutoCheck WRITE SetAutoCheck)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
public:
    using TCustomZarnImgButton::TCustomZarnImgButton;
};
