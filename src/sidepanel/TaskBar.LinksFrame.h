#pragma once

#include "sidepanel/Classes.FrameBar.h"

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QStyle>
#include <QWidget>

class QListWidget;
class QPainter;
class TAction;

// Task links of the current journal page in the side panel: each link is an action
// drawn with its picture and its caption, word-wrapped. Hovering underlines a link,
// a press of any mouse button runs its action (TAction::Execute). The frame measures
// its links and, once CanResize is set, asks for and takes exactly the height they need.
class TFLinksFrame : public QWidget
{
    Q_OBJECT

public:
    explicit TFLinksFrame(QWidget *parent = nullptr);
    ~TFLinksFrame() override;

    // The list of links: one entry per link, its text the caption the action had when
    // it was added. Owner-drawn, variable entry heights, no border, no focus; its font
    // is the frame's (NarrowPanelFont).
    QListWidget *lbLinks;

    // Pictures of the links, indexed by the actions' ImageIndex; empty for none.
    const QList<QIcon> &ImageList() const { return FImageList; }
    void SetImageList(const QList<QIcon> &images);
    static constexpr int c_ImageSize = 16;

    // The link under the mouse pointer, -1 for none. A new value repaints the list.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int value);

    THeightChangeEvent OnHeightChange;
    // While false the links are measured but the frame neither reports nor changes its height.
    bool CanResize() const { return FCanResize; }
    void SetCanResize(bool value) { FCanResize = value; }

    // Appends a link for the action and re-measures; a null action is ignored.
    void AddLink(TAction *link);
    void AddLinks(const QList<TAction *> &links);
    // Empties the list; the height is recomputed by the next AddLink.
    void ClearLinks();
    int LinkCount() const;
    // The action of an entry; null when it is gone or the index is out of range.
    TAction *Link(int index) const;
    // The height an entry has in the list.
    int EntryHeight(int index) const;

    // Measures every link, sets the entries' heights (at least c_MinItemHeight) and,
    // when CanResize is set, reports 12 plus their sum and takes that height.
    void SetItemsHeight();
    // The height an entry's text needs in the list's width (beside its picture), plus 3.
    int GetItemHeight(int index) const;
    static constexpr int c_MinItemHeight = 22;
    // The width the links get (the frame's width less its side margins).
    int ListWidth() const;

    // A change of width re-measures; a change of height alone does nothing.
    void FrameResize();

    // Paints one entry: background, picture, caption (underlined and coloured when
    // hovered); never a focus rectangle.
    void lbLinksDrawItem(QPainter &canvas, int index, QRect rect, QStyle::State state);
    // pos in the list's viewport.
    void lbLinksMouseMove(QPoint pos);
    void lbLinksMouseLeave();
    void lbLinksMouseDown(Qt::MouseButton button, QPoint pos);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void PlaceList();
    void ApplyListFont();

    QList<QIcon> FImageList;
    QList<QPointer<TAction>> FLinks; // the entries' actions, by entry index
    int FItemIndex = -1;
    bool FCanResize = false;
    int FOldWidth = 0;
};

// The side panel's width is laid out for the narrow Tahoma: where the font asks for
// Tahoma first, the condensed DejaVu face is its stand-in, keeping texts about as wide.
QFont NarrowPanelFont(const QFont &font);

// Wraps text at word boundaries into width (a word wider than a line breaks where it
// must) and returns the height of the lines; the measure the links and their drawing share.
int WrappedTextHeight(const QString &text, const QFont &font, int width);
// Draws text wrapped as WrappedTextHeight measures it from the top of rect; a line
// after which the rest no longer fits ends in an ellipsis.
void DrawWrappedText(QPainter &canvas, const QString &text, const QRect &rect);
