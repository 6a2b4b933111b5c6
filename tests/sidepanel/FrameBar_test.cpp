#include "sidepanel/Classes.FrameBar.h"

#include "app/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMap>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// Settings kept in memory; sections and keys compare without regard to case.
class TMemorySettings : public ISettingsManager
{
public:
    QMap<QString, QString> Values;

    static QString Key(const QString &section, const QString &name) { return section.toLower() + "/" + name.toLower(); }
    void Set(const QString &section, const QString &name, const QString &value) { Values[Key(section, name)] = value; }
    bool Has(const QString &section, const QString &name) const { return Values.contains(Key(section, name)); }

    void SaveFormSetings(const QString &, QWidget *) override {}
    void LoadFormSettings(const QString &, QWidget *) override {}
    void SaveGridSettings(const QString &, const IGridColumns &) override {}
    void LoadGridSettings(const QString &, IGridColumns &) override {}
    void SaveDateTime(const QString &section, const QString &name, TDateTime value) override
    {
        Set(section, name, QString::number(value));
    }
    TDateTime LoadDateTime(const QString &section, const QString &name, TDateTime defaultValue) override
    {
        bool ok = false;
        const double v = Values.value(Key(section, name)).toDouble(&ok);
        return ok ? v : defaultValue;
    }
    void SaveBoolean(const QString &section, const QString &name, bool value) override
    {
        Set(section, name, value ? "1" : "0");
    }
    bool LoadBoolean(const QString &section, const QString &name) override { return LoadInteger(section, name, 0) != 0; }
    void SaveInteger(const QString &section, const QString &name, int value) override
    {
        Set(section, name, QString::number(value));
    }
    int LoadInteger(const QString &section, const QString &name, int defaultValue) override
    {
        bool ok = false;
        const int v = Values.value(Key(section, name)).toInt(&ok);
        return ok ? v : defaultValue;
    }
    void SaveText(const QString &section, const QString &name, const QString &value) override { Set(section, name, value); }
    QString LoadText(const QString &section, const QString &name, const QString &defaultValue) override
    {
        return Values.value(Key(section, name), defaultValue);
    }
};

const QList<int> c_collapse118 = {93, 75, 61, 51, 43, 37, 33, 30, 27, 25, 24, 23, 22, 21, 18};
const QList<int> c_expand118 = {43, 61, 75, 85, 93, 99, 103, 106, 109, 111, 112, 113, 114, 115, 118};

// Runs the item's animation step by step and returns the heights it passed through.
QList<int> RunAnimation(TFrameBarItem *item)
{
    QList<int> heights;
    while (item->IsAnimating() && heights.size() < 1000) {
        item->Tick();
        heights.append(item->height());
    }
    return heights;
}

QWidget *MakeFrame(int height)
{
    auto *frame = new QWidget;
    frame->resize(150, height);
    return frame;
}

bool IsInk(QRgb pixel)
{
    return qGray(pixel) < 110;
}

// Like the links frame: a width change re-measures and asks the bar for a new height.
class TMeasuringFrame : public QWidget
{
public:
    TFrameBar *Bar = nullptr;
    int Requests = 0;

    static int Needed(int width) { return 12000 / qMax(1, width); }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        if (event->size().width() == event->oldSize().width() || !Bar)
            return;
        ++Requests;
        // Only asks; filling the item is left to the item.
        Bar->FrameHeightChange(this, Needed(width()));
    }
};

// The side panel as the main window sets it up.
class FrameBarTest : public ::testing::Test
{
protected:
    FrameBarTest()
    {
        Bar.setGeometry(0, 0, 180, 423);
        Bar.SetColor(0xFFEEEB);
        Bar.SetGradientStartColor(0xE0E0E0);
        Bar.SetGradientEndColor(0xFFFFFF);
        Bar.SetGradientDirection(gdHorizontal);
        Bar.SetTitleHeight(18);
        Bar.SetTitleStyle(psGradient);
        Bar.SetTitleGradientStartColor(0x4CCD9E);
        Bar.SetTitleGradientEndColor(0xFFFFFF);
        Bar.SetTitleGradientDirection(gdVertical);
    }

    void Show()
    {
        Bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Bar));
        QApplication::processEvents();
    }

    // Four items of 118, 100, 80 and 60 pixels, header included.
    void AddFour()
    {
        Bar.AddItem(QStringLiteral("Общие задачи"), MakeFrame(100));
        Bar.AddItem(QStringLiteral("Диаграммы"), MakeFrame(82));
        Bar.AddItem(QStringLiteral("Фильтр по видам средств"), MakeFrame(62));
        Bar.AddItem(QStringLiteral("Дополнительно"), MakeFrame(42));
    }

    QList<int> Tops() const
    {
        QList<int> tops;
        for (int i = 0; i < Bar.Count(); ++i)
            tops.append(Bar.GetItem(i)->isHidden() ? -1 : Bar.GetItem(i)->y());
        return tops;
    }

    TFrameBar Bar;
};

TEST_F(FrameBarTest, ConstructionDefaults)
{
    TFrameBar bar;
    EXPECT_EQ(bar.TitleHeight(), 24);
    EXPECT_EQ(bar.Color(), 0xFF00000Cu);
    EXPECT_EQ(bar.Count(), 0);
    TFrameBarItem item;
    EXPECT_EQ(item.height(), 100);
    EXPECT_EQ(item.TitleHeight(), 18);
    EXPECT_EQ(item.State(), isExpanded);
    EXPECT_EQ(item.Color(), 0xFFFFFFu);
    EXPECT_EQ(item.ResizeTimer()->interval(), 1);
    EXPECT_FALSE(item.IsAnimating());
    EXPECT_EQ(item.Header()->ArrowDirection(), sdUp);
    EXPECT_EQ(item.Header()->Alignment(), taLeftJustify);
}

TEST_F(FrameBarTest, AddItemStacksItemsWithFivePixelGapsAndAppliesTitleSettings)
{
    AddFour();
    Show();
    ASSERT_EQ(Bar.Count(), 4);
    EXPECT_EQ(Tops(), (QList<int>{5, 128, 233, 318}));
    for (int i = 0; i < 4; ++i) {
        TFrameBarItem *item = Bar.GetItem(i);
        EXPECT_EQ(item->Index(), i);
        EXPECT_EQ(item->x(), 5);
        EXPECT_EQ(item->width(), 170);
        EXPECT_EQ(item->TitleHeight(), 18);
        EXPECT_EQ(item->Header()->Style(), psGradient);
        EXPECT_EQ(item->Header()->GradientStartColor(), 0x4CCD9Eu);
        EXPECT_EQ(item->Header()->GradientDirection(), gdVertical);
        EXPECT_EQ(item->Frame()->parentWidget(), item);
        EXPECT_EQ(item->Frame()->geometry(), QRect(0, 18, 170, item->height() - 18));
    }
    EXPECT_EQ(Bar.GetItem(0)->height(), 118);
    EXPECT_EQ(Bar.GetItem(3)->Header()->Caption(), QStringLiteral("Дополнительно"));

    // Title settings made later reach every item.
    Bar.SetTitleHeight(22);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Bar.GetItem(i)->TitleHeight(), 22);
}

TEST_F(FrameBarTest, CollapseAndExpandPassThroughTheQuarterSteps)
{
    AddFour();
    Show();
    TFrameBarItem *item = Bar.GetItem(0);
    TFrameBarItem *below = Bar.GetItem(1);
    ASSERT_EQ(item->height(), 118);

    item->Collapse();
    EXPECT_EQ(item->State(), isCollapsed);
    EXPECT_EQ(item->Header()->ArrowDirection(), sdDown);
    QList<int> heights;
    QList<int> belowTops;
    while (item->IsAnimating() && heights.size() < 1000) {
        item->Tick();
        heights.append(item->height());
        belowTops.append(below->y());
    }
    EXPECT_EQ(heights, c_collapse118);
    // The items below follow every step.
    for (int i = 0; i < heights.size(); ++i)
        EXPECT_EQ(belowTops[i], 5 + heights[i] + 5);
    EXPECT_EQ(item->RealHeight(), 118);

    item->Expand();
    EXPECT_EQ(item->State(), isExpanded);
    EXPECT_EQ(item->Header()->ArrowDirection(), sdUp);
    EXPECT_EQ(RunAnimation(item), c_expand118);
    EXPECT_EQ(below->y(), 128);
}

TEST_F(FrameBarTest, RealTimerRunsTheSameSteps)
{
    AddFour();
    Show();
    TFrameBarItem *item = Bar.GetItem(0);
    QList<int> heights;
    QObject::connect(item->ResizeTimer(), &QTimer::timeout, [&] { heights.append(item->height()); });
    item->HeaderClick();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !item->IsAnimating(); }, 5000));
    // The recorder runs after each step.
    EXPECT_EQ(heights, c_collapse118);
    heights.clear();
    item->HeaderClick();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !item->IsAnimating(); }, 5000));
    EXPECT_EQ(heights, c_expand118);
}

struct ShortMove {
    int Height;
    int Title;
    int Final;
};

class FrameBarShortMove : public FrameBarTest, public ::testing::WithParamInterface<ShortMove> {};

TEST_P(FrameBarShortMove, CollapseOfThreeOrLessIsOneStep)
{
    const ShortMove c = GetParam();
    TFrameBarItem *item = Bar.AddItem("x", MakeFrame(c.Height - 18));
    item->SetTitleHeight(quint16(c.Title));
    ASSERT_EQ(item->height(), c.Height);
    item->Collapse();
    EXPECT_EQ(RunAnimation(item), QList<int>{c.Final});
    EXPECT_EQ(item->RealHeight(), c.Height);
}

// 21 - 18 = 3; already at the header; 25 under a 30-pixel header is past the target.
INSTANTIATE_TEST_SUITE_P(Distances, FrameBarShortMove,
                         ::testing::Values(ShortMove{21, 18, 18}, ShortMove{19, 18, 18}, ShortMove{18, 18, 18},
                                           ShortMove{25, 30, 30}));

TEST_F(FrameBarTest, ExpandOfThreeOrLessIsOneStep)
{
    TFrameBarItem *item = Bar.AddItem("x", MakeFrame(100));
    item->Collapse();
    RunAnimation(item);
    item->SetHeight(21);
    item->Expand();
    EXPECT_EQ(RunAnimation(item), QList<int>{21});
}

TEST_F(FrameBarTest, SetHeightWhileCollapsedOnlyChangesTheRestoreHeight)
{
    AddFour();
    Show();
    TFrameBarItem *item = Bar.GetItem(0);
    item->Collapse();
    RunAnimation(item);
    item->SetHeight(150);
    EXPECT_EQ(item->height(), 18);
    EXPECT_EQ(item->RealHeight(), 150);
    EXPECT_EQ(Bar.GetItem(1)->y(), 28);
    item->HeaderClick();
    RunAnimation(item);
    EXPECT_EQ(item->height(), 150);
    EXPECT_EQ(Bar.GetItem(1)->y(), 160);
}

TEST_F(FrameBarTest, ClickDuringAnimationReversesFromTheCurrentHeight)
{
    TFrameBarItem *item = Bar.AddItem("x", MakeFrame(100));
    item->Collapse();
    for (int i = 0; i < 5; ++i)
        item->Tick();
    ASSERT_EQ(item->height(), 43);
    item->HeaderClick();
    EXPECT_EQ(item->State(), isExpanded);
    EXPECT_EQ(RunAnimation(item).first(), 43 + (118 - 43) / 4);
    EXPECT_EQ(item->height(), 118);

    // A collapse that interrupts an expansion keeps the full height to come back to.
    item->Collapse();
    RunAnimation(item);
    item->Expand();
    for (int i = 0; i < 3; ++i)
        item->Tick();
    ASSERT_EQ(item->height(), 75);
    EXPECT_EQ(item->RealHeight(), 118);
    item->HeaderClick();
    EXPECT_EQ(item->RealHeight(), 118);
    RunAnimation(item);
    EXPECT_EQ(item->height(), 18);
    item->HeaderClick();
    RunAnimation(item);
    EXPECT_EQ(item->height(), 118);
}

TEST_F(FrameBarTest, SetHeightDuringExpansionStopsItAtTheNewHeight)
{
    TFrameBarItem *item = Bar.AddItem("x", MakeFrame(100));
    item->Collapse();
    RunAnimation(item);
    item->Expand();
    item->Tick();
    item->SetHeight(60);
    EXPECT_FALSE(item->IsAnimating());
    EXPECT_EQ(item->height(), 60);
    EXPECT_EQ(item->RealHeight(), 60);
}

TEST_F(FrameBarTest, SetStateStartsTheAnimationOnlyOnAChange)
{
    TFrameBarItem *item = Bar.AddItem("x", MakeFrame(100));
    item->SetState(isExpanded);
    EXPECT_FALSE(item->IsAnimating());
    item->SetState(isCollapsed);
    EXPECT_TRUE(item->IsAnimating());
    EXPECT_EQ(RunAnimation(item), c_collapse118);
    item->SetState(isCollapsed);
    EXPECT_FALSE(item->IsAnimating());
}

TEST_F(FrameBarTest, HeaderMouseClickStartsACollapse)
{
    AddFour();
    Show();
    TFrameBarItem *item = Bar.GetItem(2);
    QTest::mouseClick(item->Header(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 9));
    EXPECT_EQ(item->State(), isCollapsed);
    EXPECT_EQ(item->Header()->ArrowDirection(), sdDown);
    EXPECT_TRUE(item->IsAnimating());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !item->IsAnimating(); }, 5000));
    EXPECT_EQ(item->height(), 18);
    EXPECT_EQ(Bar.GetItem(3)->y(), item->y() + 18 + 5);

    QTest::mouseClick(item->Header(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 9));
    EXPECT_EQ(item->State(), isExpanded);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !item->IsAnimating(); }, 5000));
    EXPECT_EQ(item->height(), 80);
}

// Double clicks through the window, as the platform delivers them: press, release,
// press with the double-click event, release.
TEST_F(FrameBarTest, ADoubleClickOnAHeaderTogglesTheItemOnce)
{
    AddFour();
    Show();
    TFrameBarItem *item = Bar.GetItem(2);
    QWindow *window = Bar.windowHandle();
    ASSERT_NE(window, nullptr);
    const QPoint header = item->Header()->mapTo(&Bar, QPoint(40, 9));

    QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, header);
    EXPECT_EQ(item->State(), isCollapsed);
    EXPECT_EQ(item->Header()->ArrowDirection(), sdDown);
    RunAnimation(item);
    EXPECT_EQ(item->height(), 18);

    QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, header);
    EXPECT_EQ(item->State(), isExpanded);
    RunAnimation(item);
    EXPECT_EQ(item->height(), 80);
}

TEST_F(FrameBarTest, HeaderTriangleFollowsTheState)
{
    TFrameBarItem *item = Bar.AddItem("x", MakeFrame(50));
    Show();
    auto ink = [&](int x, int y) {
        return IsInk(item->Header()->grab().toImage().pixel(x, y));
    };
    const int w = item->Header()->width();
    ASSERT_EQ(w, 170);
    // Expanded: pointing up, tip at (w - 7, 7), base on row 10.
    EXPECT_TRUE(ink(w - 7, 7));
    EXPECT_TRUE(ink(w - 10, 10));
    EXPECT_TRUE(ink(w - 4, 10));
    EXPECT_FALSE(ink(w - 7, 11));
    EXPECT_FALSE(ink(w - 10, 7));
    item->Collapse();
    // Collapsed: pointing down, base on row 7, tip at (w - 7, 10).
    EXPECT_TRUE(ink(w - 10, 7));
    EXPECT_TRUE(ink(w - 4, 7));
    EXPECT_TRUE(ink(w - 7, 10));
    EXPECT_FALSE(ink(w - 10, 10));
}

TEST_F(FrameBarTest, PictureHeaderWithoutPictureShowsCaptionAndTriangleOnTheCard)
{
    Bar.SetTitleStyle(psPicture);
    TFrameBarItem *item = Bar.AddItem(QStringLiteral("Дополнительно"), MakeFrame(50));
    Show();
    const QImage image = item->grab().toImage();
    EXPECT_EQ(image.pixel(2, 1), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(140, 16), qRgb(255, 255, 255));
    EXPECT_TRUE(IsInk(image.pixel(163, 7)));
    bool caption = false;
    for (int x = 10; x < 100; ++x)
        for (int y = 0; y < 18; ++y)
            caption = caption || IsInk(image.pixel(x, y));
    EXPECT_TRUE(caption);
}

TEST_F(FrameBarTest, OverlongCaptionIsCutInsideItsHeader)
{
    const QString caption(300, QChar(u'Ш'));
    TFrameBarItem *item = Bar.AddItem(caption, MakeFrame(50));
    Bar.AddItem(caption + caption, MakeFrame(30));
    Show();
    EXPECT_EQ(Bar.width(), 180);
    EXPECT_EQ(item->width(), 170);
    EXPECT_EQ(item->Header()->width(), 170);
    EXPECT_EQ(Bar.horizontalScrollBar()->maximum(), 0);
    const QImage image = item->grab().toImage();
    // Text runs to the header's right edge and stops at the header's bottom.
    bool nearEdge = false;
    for (int x = 140; x < 156; ++x)
        for (int y = 0; y < 18; ++y)
            nearEdge = nearEdge || IsInk(image.pixel(x, y));
    EXPECT_TRUE(nearEdge);
    for (int x = 0; x < 170; ++x)
        EXPECT_EQ(image.pixel(x, 20), qRgb(255, 255, 255)) << x;
    // The text stops short of the triangle, which stays clear.
    for (int y = 0; y < 18; ++y)
        for (int x : {158, 159, 167, 168, 169})
            EXPECT_FALSE(IsInk(image.pixel(x, y))) << x << "," << y;
    EXPECT_TRUE(IsInk(image.pixel(163, 7)));
}

TEST_F(FrameBarTest, HiddenItemsLeaveNoGaps)
{
    AddFour();
    Show();
    Bar.SetItemVisible(1, false);
    EXPECT_EQ(Tops(), (QList<int>{5, -1, 128, 213}));
    Bar.SetItemVisible(2, false);
    EXPECT_EQ(Tops(), (QList<int>{5, -1, -1, 128}));

    // Showing puts the item back in its list position.
    Bar.SetItemVisible(2, true);
    EXPECT_EQ(Tops(), (QList<int>{5, -1, 128, 213}));
    Bar.SetItemVisible(1, true);
    EXPECT_EQ(Tops(), (QList<int>{5, 128, 233, 318}));

    // No visible item before it: the item goes ahead of all others.
    Bar.SetItemVisible(0, false);
    EXPECT_EQ(Tops(), (QList<int>{-1, 5, 110, 195}));
    Bar.SetItemVisible(0, true);
    EXPECT_EQ(Tops(), (QList<int>{5, 128, 233, 318}));
}

TEST_F(FrameBarTest, SetItemVisibleWithTheCurrentVisibilityDoesNotMoveTheItem)
{
    AddFour();
    Show();
    Bar.GetItem(2)->move(5, 400); // out of place, as after a manual move
    Bar.SetItemVisible(2, true);
    EXPECT_EQ(Bar.GetItem(2)->y(), 400);
    Bar.SetItemVisible(1, false);
    Bar.SetItemVisible(1, false);
    EXPECT_TRUE(Bar.GetItem(1)->isHidden());
}

TEST_F(FrameBarTest, PagesShowTheirItems)
{
    AddFour();
    Show();
    // The reports page: filter and notes only.
    Bar.SetItemVisible(0, false);
    Bar.SetItemVisible(1, false);
    Bar.SetItemVisible(2, true);
    EXPECT_EQ(Tops(), (QList<int>{-1, -1, 5, 90}));
    // The expenses page: links, chart and notes.
    Bar.SetItemVisible(0, true);
    Bar.SetItemVisible(1, true);
    Bar.SetItemVisible(2, false);
    EXPECT_EQ(Tops(), (QList<int>{5, 128, -1, 233}));
}

TEST_F(FrameBarTest, RealignItemsRestacksVisibleItemsInListOrder)
{
    AddFour();
    Show();
    Bar.SetItemVisible(1, false);
    // Out of order: item 3 pulled to the top.
    Bar.GetItem(3)->move(5, 0);
    Bar.GetItem(3)->resize(170, 61);
    EXPECT_EQ(Bar.GetItem(3)->y(), 5);
    Bar.RealignItems();
    EXPECT_EQ(Tops(), (QList<int>{5, -1, 128, 213}));
    EXPECT_EQ(Bar.GetItem(3)->height(), 61);
}

TEST_F(FrameBarTest, IndexOutsideTheListThrows)
{
    AddFour();
    for (int index : {-1, 4, 100}) {
        EXPECT_THROW(Bar.GetItem(index), EFrameBarIndexError) << index;
        EXPECT_THROW(Bar.SetItemVisible(index, false), EFrameBarIndexError) << index;
    }
    try {
        Bar.GetItem(7);
    } catch (const EFrameBarIndexError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("List index out of bounds (7)"));
    }
}

TEST_F(FrameBarTest, FrameHeightChangeResizesItsItemAndRestacks)
{
    AddFour();
    Show();
    QWidget *frame = Bar.GetItem(1)->Frame();
    Bar.FrameHeightChange(frame, 78);
    EXPECT_EQ(Bar.GetItem(1)->height(), 96);
    EXPECT_EQ(Tops(), (QList<int>{5, 128, 229, 314}));
    EXPECT_EQ(Bar.GetFrameItem(frame), Bar.GetItem(1));

    QWidget stranger;
    Bar.FrameHeightChange(&stranger, 300);
    Bar.FrameHeightChange(nullptr, 300);
    EXPECT_EQ(Tops(), (QList<int>{5, 128, 229, 314}));

    Bar.FrameHeightChange(frame, -40);
    EXPECT_EQ(Bar.GetItem(1)->height(), 18);
}

TEST_F(FrameBarTest, FrameThatReMeasuresOnAWidthChangeGetsItsHeight)
{
    Bar.setGeometry(0, 0, 180, 800);
    AddFour();
    auto *frame = new TMeasuringFrame;
    frame->resize(150, 40);
    TFrameBarItem *item = Bar.AddItem(QStringLiteral("Общие задачи"), frame);
    frame->Bar = &Bar;
    TMemorySettings settings;
    Bar.LoadSettings(settings, "FrameBar");
    Show();
    for (int width : {180, 250, 130}) {
        Bar.SetWidth(width);
        QApplication::processEvents();
        const int itemWidth = width - 10;
        ASSERT_EQ(item->width(), itemWidth) << width;
        EXPECT_EQ(item->height(), TMeasuringFrame::Needed(itemWidth) + 18) << width;
        EXPECT_EQ(frame->geometry(), QRect(0, 18, itemWidth, item->height() - 18)) << width;
        EXPECT_EQ(item->y(), 5 + 118 + 5 + 100 + 5 + 80 + 5 + 60 + 5) << width;
    }
    EXPECT_GE(frame->Requests, 3);
}

TEST_F(FrameBarTest, ContentHigherThanTheBarScrolls)
{
    AddFour();
    Show();
    Bar.FrameHeightChange(Bar.GetItem(2)->Frame(), 1000);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(Bar.verticalScrollBar()->isVisible());
    const int bottom = Bar.GetItem(3)->y() + Bar.GetItem(3)->height();
    EXPECT_EQ(bottom, 5 + 118 + 5 + 100 + 5 + 1018 + 5 + 60);
    EXPECT_EQ(Bar.verticalScrollBar()->maximum(), bottom - Bar.viewport()->height());
    // The items narrow to the space left beside the scroll bar.
    EXPECT_EQ(Bar.GetItem(0)->width(), Bar.viewport()->width() - 10);
    Bar.verticalScrollBar()->setValue(Bar.verticalScrollBar()->maximum());
    const QPoint lastBottom = Bar.GetItem(3)->mapTo(&Bar, QPoint(0, 59));
    EXPECT_LT(lastBottom.y(), Bar.height());
    EXPECT_GE(lastBottom.y(), Bar.height() - 5);

    // Shrinking again removes the scroll bar and widens the items back.
    Bar.FrameHeightChange(Bar.GetItem(2)->Frame(), 62);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_FALSE(Bar.verticalScrollBar()->isVisible());
    EXPECT_EQ(Bar.GetItem(0)->width(), 170);
}

TEST_F(FrameBarTest, FrameWithoutItemsFrameAndAFrameDeletedByItsOwner)
{
    TFrameBarItem *empty = Bar.AddItem(QStringLiteral("Пусто"), nullptr);
    EXPECT_EQ(empty->Frame(), nullptr);
    EXPECT_EQ(empty->height(), 100);
    TFrameBarItem *item = Bar.AddItem("x", MakeFrame(40));
    delete item->Frame();
    EXPECT_EQ(item->Frame(), nullptr);
    EXPECT_EQ(Bar.GetFrameItem(nullptr), nullptr);
    TMemorySettings settings;
    Bar.SaveSettings(settings, "FrameBar");
    EXPECT_EQ(settings.LoadInteger("FrameBar", "Item_1_height", 0), 58);
}

TEST_F(FrameBarTest, SaveWritesTheRestoreHeightOfACollapsedItem)
{
    AddFour();
    Show();
    Bar.GetItem(1)->Collapse();
    RunAnimation(Bar.GetItem(1));
    TMemorySettings settings;
    Bar.SaveSettings(settings, "FrameBar");
    EXPECT_EQ(settings.Values.size(), 9);
    EXPECT_EQ(settings.LoadInteger("FrameBar", "Width", 0), 180);
    EXPECT_EQ(settings.LoadInteger("FrameBar", "Item_0_state", -1), 0);
    EXPECT_EQ(settings.LoadInteger("FrameBar", "Item_0_height", 0), 118);
    EXPECT_EQ(settings.LoadInteger("FrameBar", "Item_1_state", -1), 1);
    EXPECT_EQ(settings.LoadInteger("FrameBar", "Item_1_height", 0), 100);
    EXPECT_EQ(settings.LoadInteger("FrameBar", "Item_3_height", 0), 60);
}

TEST_F(FrameBarTest, LoadRestoresWidthStatesAndHeights)
{
    TMemorySettings settings;
    settings.Set("FrameBar", "Width", "230");
    settings.Set("FrameBar", "Item_0_state", "1");
    settings.Set("FrameBar", "Item_0_height", "150");
    settings.Set("FrameBar", "Item_1_height", "140");
    AddFour();
    Bar.LoadSettings(settings, "FrameBar");
    EXPECT_EQ(Bar.width(), 230);
    EXPECT_EQ(Bar.sizeHint().width(), 230);

    TFrameBarItem *first = Bar.GetItem(0);
    EXPECT_EQ(first->State(), isCollapsed);
    // The collapse starts from the designed height after start.
    EXPECT_EQ(RunAnimation(first), c_collapse118);
    Show();
    EXPECT_EQ(first->RealHeight(), 150);
    EXPECT_EQ(Bar.GetItem(1)->height(), 140);
    EXPECT_EQ(Bar.GetItem(2)->height(), 80);
    EXPECT_EQ(Tops(), (QList<int>{5, 28, 173, 258}));

    // Frames now fill their items below the header.
    EXPECT_EQ(Bar.GetItem(1)->Frame()->geometry(), QRect(0, 18, 220, 122));

    QTest::mouseClick(first->Header(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 9));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !first->IsAnimating(); }, 5000));
    EXPECT_EQ(first->height(), 150);
    EXPECT_EQ(first->Frame()->height(), 132);

    // What was loaded is saved back unchanged.
    TMemorySettings saved;
    Bar.SaveSettings(saved, "FrameBar");
    EXPECT_EQ(saved.LoadInteger("FrameBar", "Item_0_height", 0), 150);
    EXPECT_EQ(saved.LoadInteger("FrameBar", "Item_0_state", -1), 0);
    EXPECT_EQ(saved.LoadInteger("FrameBar", "Width", 0), 230);
}

TEST(FrameBarSplitter, StoredWidthHoldsInsideASplitter)
{
    TMemorySettings settings;
    settings.Set("FrameBar", "Width", "230");
    for (bool shownFirst : {false, true}) {
        QSplitter splitter;
        splitter.resize(800, 400);
        auto *bar = new TFrameBar(&splitter);
        splitter.addWidget(bar);
        splitter.addWidget(new QWidget);
        splitter.setStretchFactor(0, 0);
        splitter.setStretchFactor(1, 1);
        bar->SetWidth(180);
        if (shownFirst) {
            splitter.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&splitter));
        }
        bar->LoadSettings(settings, "FrameBar");
        splitter.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&splitter));
        QApplication::processEvents();
        EXPECT_EQ(bar->width(), 230) << shownFirst;
        EXPECT_EQ(splitter.sizes().at(0), 230) << shownFirst;
    }
}

TEST_F(FrameBarTest, SaveAndLoadRoundTripThroughANewBar)
{
    AddFour();
    Show();
    Bar.GetItem(2)->Collapse();
    RunAnimation(Bar.GetItem(2));
    Bar.FrameHeightChange(Bar.GetItem(3)->Frame(), 120);
    Bar.SetWidth(200);
    TMemorySettings settings;
    Bar.SaveSettings(settings, "FrameBar");

    TFrameBar next;
    next.setGeometry(0, 0, 180, 423);
    next.SetTitleHeight(18);
    for (int h : {100, 82, 62, 42})
        next.AddItem("x", MakeFrame(h));
    next.LoadSettings(settings, "FrameBar");
    RunAnimation(next.GetItem(2));
    EXPECT_EQ(next.width(), 200);
    EXPECT_EQ(next.GetItem(2)->State(), isCollapsed);
    EXPECT_EQ(next.GetItem(2)->height(), 18);
    EXPECT_EQ(next.GetItem(2)->RealHeight(), 80);
    EXPECT_EQ(next.GetItem(3)->height(), 138);
}

TEST_F(FrameBarTest, KeysGoToTheFrameBarSectionOfTheIniFile)
{
    AddFour();
    Show();
    Bar.GetItem(1)->Collapse();
    RunAnimation(Bar.GetItem(1));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("tallyset.ini");
    TAppSetting store(file);
    Bar.SaveSettings(store, "FrameBar");

    QFile ini(file);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(text.contains("[FrameBar]"));
    EXPECT_TRUE(text.contains("Width=180"));
    EXPECT_TRUE(text.contains("Item_1_state=1"));
    EXPECT_TRUE(text.contains("Item_1_height=100"));
    EXPECT_TRUE(text.contains("Item_3_height=60"));

    TFrameBar next;
    next.setGeometry(0, 0, 150, 423);
    next.SetTitleHeight(18);
    for (int h : {100, 82, 62, 42})
        next.AddItem("x", MakeFrame(h));
    next.LoadSettings(store, "FrameBar");
    EXPECT_EQ(next.width(), 180);
    EXPECT_EQ(next.GetItem(1)->State(), isCollapsed);
    EXPECT_EQ(next.GetItem(1)->RealHeight(), 100);
}

struct BadValue {
    const char *Key;
    const char *Value;
};

class FrameBarBadSettings : public FrameBarTest, public ::testing::WithParamInterface<BadValue> {};

TEST_P(FrameBarBadSettings, FallBackToTheCurrentValues)
{
    AddFour();
    TMemorySettings settings;
    settings.Set("FrameBar", GetParam().Key, GetParam().Value);
    Bar.LoadSettings(settings, "FrameBar");
    Show();
    EXPECT_EQ(Bar.width(), 180);
    EXPECT_EQ(Bar.GetItem(0)->State(), isExpanded);
    EXPECT_FALSE(Bar.GetItem(0)->IsAnimating());
    EXPECT_EQ(Bar.GetItem(0)->height(), 118);
}

INSTANTIATE_TEST_SUITE_P(Values, FrameBarBadSettings,
                         ::testing::Values(BadValue{"Width", "0"}, BadValue{"Width", "-50"}, BadValue{"Width", "abc"},
                                           BadValue{"Item_0_state", "2"}, BadValue{"Item_0_state", "-1"},
                                           BadValue{"Item_0_state", "256"}, BadValue{"Item_0_height", "-1"},
                                           BadValue{"Item_0_height", "70000"}, BadValue{"Item_0_height", "5"},
                                           BadValue{"Item_0_height", "x"}));

TEST_F(FrameBarTest, StateTakesTheLowByte)
{
    AddFour();
    TMemorySettings settings;
    settings.Set("FrameBar", "Item_0_state", "257");
    Bar.LoadSettings(settings, "FrameBar");
    EXPECT_EQ(Bar.GetItem(0)->State(), isCollapsed);
}

TEST_F(FrameBarTest, DraggingTheBottomEdgeResizesTheItem)
{
    AddFour();
    Show();
    TFrameBarItem *item = Bar.GetItem(3);
    const QPoint start = item->mapToGlobal(QPoint(50, 58));
    item->StartSizing(start);
    EXPECT_TRUE(item->IsSizing());
    QTest::mouseMove(item, QPoint(50, 98));
    EXPECT_EQ(item->height(), 100);
    QTest::mouseMove(item, QPoint(50, -40));
    EXPECT_EQ(item->height(), 18);
    QTest::mouseMove(item, QPoint(50, 78));
    QTest::mouseRelease(item, Qt::LeftButton, Qt::NoModifier, QPoint(50, 78));
    EXPECT_FALSE(item->IsSizing());
    EXPECT_EQ(item->height(), 80);
    EXPECT_EQ(item->Frame()->height(), 62);
    QTest::mouseMove(item, QPoint(50, 10));
    EXPECT_EQ(item->height(), 80);
    TMemorySettings settings;
    Bar.SaveSettings(settings, "FrameBar");
    EXPECT_EQ(settings.LoadInteger("FrameBar", "Item_3_height", 0), 80);
}

// The side panel as it looks in the program, for a look at the painting.
TEST_F(FrameBarTest, ScreenshotOfThreeItemsOneHalfCollapsed)
{
    QFont font = Bar.font();
    font.setPointSize(8);
    Bar.setFont(font);
    auto *links = new QWidget;
    auto *linksLayout = new QVBoxLayout(links);
    for (const char *text : {"Добавить расход", "Виды расходов", "Виды денежных средств"})
        linksLayout->addWidget(new QLabel(QString::fromUtf8(text)));
    links->resize(170, 78);
    auto *filter = new QWidget;
    auto *filterLayout = new QVBoxLayout(filter);
    for (const char *text : {"Кошелёк", "Карта", "Счёт в банке"}) {
        auto *box = new QCheckBox(QString::fromUtf8(text));
        box->setChecked(true);
        filterLayout->addWidget(box);
    }
    filter->resize(170, 100);
    auto *notes = new QPlainTextEdit(QStringLiteral("Купить хлеба"));
    notes->resize(170, 120);
    Bar.AddItem(QStringLiteral("Общие задачи"), links);
    Bar.AddItem(QStringLiteral("Фильтр по видам средств"), filter);
    Bar.AddItem(QStringLiteral("Дополнительно"), notes);
    Show();
    TFrameBarItem *half = Bar.GetItem(1);
    half->Collapse();
    for (int i = 0; i < 3; ++i)
        half->Tick();
    ASSERT_EQ(half->height(), 118 - 25 - 18 - 14);

    const QImage image = Bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString folder = QStringLiteral(TALLYSET_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(image.save(folder + QStringLiteral("/framebar.png")));

    // Background: light grey at the left edge to white at the right, in the gaps.
    EXPECT_EQ(image.pixel(0, 2), qRgb(224, 224, 224));
    EXPECT_EQ(image.pixel(179, 2), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(2, 200), qRgb(224, 224, 224));
    // Headers: green at the top to white at the bottom.
    const int top = half->y();
    EXPECT_EQ(image.pixel(6, top), qRgb(158, 205, 76));
    EXPECT_EQ(image.pixel(6, top + 17), qRgb(255, 255, 255));
    // The collapsing item shows its arrow pointing down and is cut below its header.
    EXPECT_TRUE(IsInk(image.pixel(5 + 170 - 7, top + 10)));
    EXPECT_EQ(Bar.GetItem(2)->y(), top + half->height() + 5);
}

} // namespace
