#pragma once

#include "platform/Exception.h"
#include "platform/Settings.Interfaces.h"
#include "sidepanel/Classes.ExtPanel.h"

#include <QList>
#include <QMargins>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QTimer;
class TFrameBar;

enum TFrameBarItemState { isExpanded, isCollapsed };
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// A frame asks the side panel for a height: sender is the frame, height the pixels it
// needs below the header. TFrameBar::FrameHeightChange is the handler that serves it.
using THeightChangeEvent = std::function<void(QWidget *sender, int height)>;

// Raised for an item index outside 0 .. Count - 1.
class EFrameBarIndexError : public Exception
{
public:
    using Exception::Exception;
};

// The header strip of an item: a TExtPanel with a small triangle at its right edge.
class THeaderPanel : public TExtPanel
{
    Q_OBJECT

public:
    explicit THeaderPanel(QWidget *parent = nullptr);

    TScrollDirection ArrowDirection() const { return FArrowDirection; }
    void SetArrowDirection(TScrollDirection value);

protected:
    void Paint(QPainter &canvas) override;
    // A caption too long for the header stops 2 pixels left of the triangle.
    QRect CaptionClip() const override { return QRect(0, 0, qMax(0, width() - 12), height()); }

private:
    TScrollDirection FArrowDirection = sdUp;
};

// A white card of the frame bar: a header that collapses and expands the card with an
// easing animation, and one embedded frame below it. Created by TFrameBar::AddItem.
class TFrameBarItem : public QWidget
{
    Q_OBJECT

public:
    explicit TFrameBarItem(QWidget *parent = nullptr);
    ~TFrameBarItem() override;

    // Position in the bar's list.
    int Index() const { return FIndex; }
    THeaderPanel *Header() const { return FHeader; }

    // The frame is parented to the item and dies with it unless its owner deletes it
    // first (the item then simply has no frame). Null leaves the item unchanged apart
    // from forgetting the old frame, which is hidden. Otherwise the frame sits below
    // the header, as wide as the item, and the item's height becomes header plus frame.
    QWidget *Frame() const { return FFrame; }
    void SetFrame(QWidget *value);
    // alTop keeps the frame's own height; alClient makes it fill the item below the header.
    TAlign FrameAlign() const { return FFrameAlign; }
    void SetFrameAlign(TAlign value);

    TFrameBarItemState State() const { return FState; }
    // A different state starts the collapse or the expansion; the same state does nothing.
    void SetState(TFrameBarItemState value);

    quint16 TitleHeight() const;
    // Sets the header's height only; the item's own height is kept.
    void SetTitleHeight(quint16 value);
    // The height the item has when expanded: the restore height while collapsed or
    // while an expansion runs, else the current height.
    int RealHeight() const;
    // Expanded: the height changes at once (a running expansion stops). Collapsed: only
    // the restore height takes the value.
    void SetHeight(quint16 value);
    // The least height a drag or the settings give the item: the header plus the
    // frame's minimumHeight.
    int MinimumHeight() const;

    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // Space kept around the item in the bar (left 5, top 5, right 5, bottom 0).
    QMargins Margins() const { return FAlignWithMargins ? FMargins : QMargins(); }

    void HeaderClick();
    void Collapse();
    void Expand();
    // One animation step each: a quarter of the remaining distance, the last 3 pixels or
    // fewer (or an overshoot) at once; the timer runs again only if a step remains.
    void CollapseProcess();
    void ExpandProcess();
    // The step the timer runs next, if it is on.
    void Tick();
    bool IsAnimating() const;
    QTimer *ResizeTimer() const { return FResizeTimer.get(); }

    // Places the item in the bar, top-aligned with its margins (null takes it out).
    void SetParent(TFrameBar *bar);
    // Lets the user drag the item's bottom edge, never below MinimumHeight, until the
    // left button is released; Escape ends the drag with the height it started from.
    // globalPos is where the drag starts (usually the press that asked for it).
    void StartSizing(const QPoint &globalPos);
    bool IsSizing() const { return FSizing; }

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    friend class TFrameBar;
    void ApplyHeight(int value);
    void SetBounds(const QRect &rect);
    void SetTop(int value);
    void AlignChildren();
    void RequestAlign();
    void EndSizing();

    int FIndex = -1;
    QPointer<QWidget> FFrame;
    THeaderPanel *FHeader;
    TFrameBarItemState FState = isExpanded;
    std::unique_ptr<QTimer> FResizeTimer;
    quint16 FOldHeight = 0;
    void (TFrameBarItem::*FOnTimer)() = nullptr;
    TFrameBar *FBar = nullptr;
    TAlign FFrameAlign = alTop;
    TColor FColor = 0xFFFFFF;
    QMargins FMargins{5, 5, 5, 0};
    bool FAlignWithMargins = false;
    bool FApplyingHeight = false;
    bool FAligningChildren = false;
    bool FChildrenPending = false;
    bool FSizing = false;
    bool FHadMouseTracking = false;
    int FSizingStartY = 0;
    int FSizingStartHeight = 0;
};

// The side panel: a scrolling strip of items stacked from the top with 5-pixel gaps,
// on a gradient background. Keeps its width and every item's state and height.
class TFrameBar : public TExtScrollBox, public ISettingsStoreable
{
    Q_OBJECT

public:
    explicit TFrameBar(QWidget *parent = nullptr);
    ~TFrameBar() override;

    // Appends an item below the last one with the caption and the frame (may be null)
    // and applies the title settings to every item.
    TFrameBarItem *AddItem(const QString &caption, QWidget *frame);
    // Throws EFrameBarIndexError outside 0 .. Count - 1.
    TFrameBarItem *GetItem(int index) const;
    TFrameBarItem *Items(int index) const { return GetItem(index); }
    // The first item holding frame, or null.
    TFrameBarItem *GetFrameItem(const QWidget *frame) const;
    TFrameBarItem *FrameItems(const QWidget *frame) const { return GetFrameItem(frame); }
    int GetCount() const { return int(FItems.size()); }
    int Count() const { return GetCount(); }

    // Restacks the visible items in list order from the top.
    void RealignItems();
    // Hides the item, or shows it again in its list position among the visible items.
    // Throws EFrameBarIndexError outside 0 .. Count - 1.
    void SetItemVisible(int index, bool visible);
    // Applies the title settings to every item.
    void SettingItems();

    // The handler for a frame's height request: the item holding frame gets height
    // plus the title height (capped at 65535, a negative request counts as 0) and the
    // bar restacks. A frame that is in no item is ignored.
    void FrameHeightChange(QWidget *frame, int height);

    quint16 TitleHeight() const { return FTitleHeight; }
    void SetTitleHeight(quint16 value);
    TExtPanelStyle TitleStyle() const { return FTitleStyle; }
    void SetTitleStyle(TExtPanelStyle value);
    const QPixmap &TitlePicture() const { return FTitlePicture; }
    void SetTitlePicture(const QPixmap &value);
    TColor TitleGradientStartColor() const { return FTitleGradientStartColor; }
    void SetTitleGradientStartColor(TColor value);
    TColor TitleGradientEndColor() const { return FTitleGradientEndColor; }
    void SetTitleGradientEndColor(TColor value);
    TGradientDirection TitleGradientDirection() const { return FTitleGradientDirection; }
    void SetTitleGradientDirection(TGradientDirection value);

    // Resizes the bar and makes the width its preferred one (sizeHint), so layouts
    // and splitters start from it; in a horizontal splitter already laid out, the
    // neighbouring widget gives or takes the difference.
    void SetWidth(int value);
    QSize sizeHint() const override;

    // Keys "Width", "Item_<i>_state" and "Item_<i>_height" of section. Missing or
    // unusable values keep the current width, the expanded state and the current height;
    // a height below an item's MinimumHeight becomes that minimum.
    void LoadSettings(ISettingsManager &settingsManager, const QString &section) override;
    void SaveSettings(ISettingsManager &settingsManager, const QString &section) override;

protected:
    void ClientResized() override;

private:
    friend class TFrameBarItem;
    // Stacks the visible items by their tops; control, if given, goes first among equal
    // tops. A request made while stacking runs another pass afterwards.
    void AlignItems(TFrameBarItem *control);

    QList<QPointer<TFrameBarItem>> FItems;
    quint16 FTitleHeight = 24;
    TExtPanelStyle FTitleStyle = psSolid;
    QPixmap FTitlePicture;
    TColor FTitleGradientStartColor = 0;
    TColor FTitleGradientEndColor = 0;
    TGradientDirection FTitleGradientDirection = gdHorizontal;
    int FWidthHint = 0;
    bool FAligning = false;
    bool FAlignPending = false;
};
