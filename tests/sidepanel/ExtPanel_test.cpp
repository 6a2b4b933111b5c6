#include "sidepanel/Classes.ExtPanel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QRgb Rgb(TColor color)
{
    return TColorToQColor(color).rgb();
}

// True for pixels clearly darker than any of the light backgrounds used here.
bool IsInk(QRgb pixel)
{
    return qGray(pixel) < 110;
}

// Columns that hold at least one ink pixel.
QList<int> InkColumns(const QImage &image)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (IsInk(image.pixel(x, y))) {
                columns.append(x);
                break;
            }
    return columns;
}

QImage Grab(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct ColorCase {
    TColor Color;
    int Red, Green, Blue;
};

class ColorConversion : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorConversion, LowByteIsRed)
{
    const ColorCase c = GetParam();
    EXPECT_EQ(TColorToQColor(c.Color), QColor(c.Red, c.Green, c.Blue));
}

INSTANTIATE_TEST_SUITE_P(Colors, ColorConversion,
                         ::testing::Values(ColorCase{0x4CCD9E, 158, 205, 76}, ColorCase{0xFFEEEB, 235, 238, 255},
                                           ColorCase{0xE0E0E0, 224, 224, 224}, ColorCase{0x0000FF, 255, 0, 0},
                                           ColorCase{0xFF0000, 0, 0, 255}, ColorCase{0xFFFFFF, 255, 255, 255},
                                           ColorCase{0xFF00000C, 171, 171, 171}));

TEST(ColorConversionSystem, SystemColoursFollowThePalette)
{
    const QPalette pal = QApplication::palette();
    EXPECT_EQ(TColorToQColor(0xFF00000F), pal.color(QPalette::Button));
    EXPECT_EQ(TColorToQColor(0xFF000008), pal.color(QPalette::Text));
    EXPECT_EQ(TColorToQColor(0xFF000005), pal.color(QPalette::Base));
}

TEST(GradientFillCanvas, HorizontalRunsFromStartAtLeftToEndAtRight)
{
    QImage image(180, 7, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter p(&image);
        GradientFillCanvas(p, 0xE0E0E0, 0xFFFFFF, image.rect(), gdHorizontal);
    }
    EXPECT_EQ(image.pixel(0, 0), qRgb(224, 224, 224));
    EXPECT_EQ(image.pixel(0, 6), qRgb(224, 224, 224));
    EXPECT_EQ(image.pixel(179, 6), qRgb(255, 255, 255));
    EXPECT_NEAR(qRed(image.pixel(90, 3)), 240, 1);
    for (int x = 1; x < 180; ++x) {
        EXPECT_GE(qRed(image.pixel(x, 0)), qRed(image.pixel(x - 1, 0))) << x;
        EXPECT_EQ(image.pixel(x, 0), image.pixel(x, 6)) << x;
    }
}

TEST(GradientFillCanvas, VerticalRunsFromStartAtTopToEndAtBottomInsideTheRect)
{
    QImage image(50, 30, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter p(&image);
        GradientFillCanvas(p, 0x4CCD9E, 0xFFFFFF, QRect(5, 6, 40, 18), gdVertical);
    }
    EXPECT_EQ(image.pixel(5, 6), qRgb(158, 205, 76));
    EXPECT_EQ(image.pixel(44, 6), qRgb(158, 205, 76));
    EXPECT_EQ(image.pixel(44, 23), qRgb(255, 255, 255));
    EXPECT_LT(qRed(image.pixel(20, 10)), qRed(image.pixel(20, 20)));
    // Nothing outside the rectangle.
    EXPECT_EQ(image.pixel(4, 10), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(20, 24), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(45, 10), qRgb(0, 0, 0));
}

struct ArrowCase {
    TScrollDirection Direction;
    QList<QPoint> Corners;
};

class Arrow : public ::testing::TestWithParam<ArrowCase> {};

TEST_P(Arrow, UnitPointsTimesSizePlusLocation)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setPen(Qt::black);
        p.setBrush(Qt::red);
        DrawArrow(p, GetParam().Direction, QPoint(5, 6), 3);
        // Pen and brush are restored.
        EXPECT_EQ(p.brush().color(), QColor(Qt::red));
    }
    int ink = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (image.pixel(x, y) == qRgb(0, 0, 0)) {
                ++ink;
                EXPECT_TRUE(x >= 5 && x <= 11 && y >= 6 && y <= 12) << x << "," << y;
            }
    for (const QPoint &corner : GetParam().Corners)
        EXPECT_EQ(image.pixel(corner), qRgb(0, 0, 0)) << corner.x() << "," << corner.y();
    // A filled triangle of about half of its 7 x 4 bounding box.
    EXPECT_GE(ink, 10);
    EXPECT_LE(ink, 20);
}

INSTANTIATE_TEST_SUITE_P(Directions, Arrow,
                         ::testing::Values(ArrowCase{sdUp, {{5, 9}, {8, 6}, {11, 9}}},
                                           ArrowCase{sdDown, {{5, 6}, {8, 9}, {11, 6}}},
                                           ArrowCase{sdLeft, {{8, 6}, {5, 9}, {8, 12}}},
                                           ArrowCase{sdRight, {{5, 6}, {8, 9}, {5, 12}}}));

class ExtPanelPaint : public ::testing::Test
{
protected:
    ExtPanelPaint()
    {
        Panel.resize(160, 18);
        Panel.SetStyle(psGradient);
        Panel.SetGradientStartColor(0x4CCD9E);
        Panel.SetGradientEndColor(0xFFFFFF);
        Panel.SetGradientDirection(gdVertical);
        Panel.SetAlignment(taLeftJustify);
    }

    QImage PureGradient() const
    {
        QImage image(Panel.size(), QImage::Format_RGB32);
        QPainter p(&image);
        GradientFillCanvas(p, 0x4CCD9E, 0xFFFFFF, image.rect(), gdVertical);
        return image;
    }

    TExtPanel Panel;
};

TEST_F(ExtPanelPaint, BlankCaptionDrawsOnlyTheGradient)
{
    for (const QString &caption : {QString(), QStringLiteral("   "), QStringLiteral(" \t ")}) {
        Panel.SetCaption(caption);
        EXPECT_EQ(Grab(Panel), PureGradient()) << caption.size();
    }
}

TEST_F(ExtPanelPaint, LeftCaptionStartsTenPixelsInVerticallyCentred)
{
    Panel.SetCaption(QStringLiteral("Общие задачи"));
    const QImage image = Grab(Panel);
    const QList<int> columns = InkColumns(image);
    ASSERT_FALSE(columns.isEmpty());
    EXPECT_GE(columns.first(), 10);
    EXPECT_LE(columns.first(), 12);

    const QFontMetrics fm(Panel.font());
    const int top = 18 / 2 - fm.height() / 2;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (IsInk(image.pixel(x, y))) {
                EXPECT_GE(y, top);
                EXPECT_LT(y, top + fm.height());
            }
    // The background around the text is still the gradient.
    EXPECT_EQ(image.pixel(2, 0), PureGradient().pixel(2, 0));
    EXPECT_EQ(image.pixel(159, 17), qRgb(255, 255, 255));
}

TEST_F(ExtPanelPaint, RightAndCentreCaptionsFollowTheTextWidth)
{
    Panel.SetCaption(QStringLiteral("Итого"));
    const int textWidth = QFontMetrics(Panel.font()).horizontalAdvance(Panel.Caption());

    Panel.SetAlignment(taRightJustify);
    QList<int> columns = InkColumns(Grab(Panel));
    ASSERT_FALSE(columns.isEmpty());
    EXPECT_GE(columns.first(), 160 - 3 - textWidth);
    EXPECT_LE(columns.last(), 160 - 3);

    Panel.SetAlignment(taCenter);
    columns = InkColumns(Grab(Panel));
    ASSERT_FALSE(columns.isEmpty());
    EXPECT_GE(columns.first(), 80 - textWidth / 2);
    EXPECT_LE(columns.first(), 80 - textWidth / 2 + 2);
}

TEST_F(ExtPanelPaint, OverlongCaptionIsCutAtTheEdge)
{
    Panel.SetCaption(QString(300, QChar(u'Ж')));
    const QImage image = Grab(Panel);
    EXPECT_EQ(image.size(), QSize(160, 18));
    const QList<int> columns = InkColumns(image);
    ASSERT_FALSE(columns.isEmpty());
    EXPECT_GE(columns.first(), 10);
    // Drawn up to the right edge: cut, not shortened.
    EXPECT_GE(columns.last(), 155);
}

TEST_F(ExtPanelPaint, PictureIsStretchedOverThePanel)
{
    QImage source(2, 2, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(255, 0, 0));
    source.setPixel(1, 0, qRgb(0, 255, 0));
    source.setPixel(0, 1, qRgb(0, 0, 255));
    source.setPixel(1, 1, qRgb(255, 255, 0));
    Panel.SetStyle(psPicture);
    Panel.SetPicture(QPixmap::fromImage(source));
    const QImage image = Grab(Panel);
    EXPECT_EQ(image.pixel(3, 2), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(156, 2), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(3, 15), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(156, 15), qRgb(255, 255, 0));
}

TEST_F(ExtPanelPaint, PictureStyleWithoutPictureLeavesTheBackgroundButDrawsTheCaption)
{
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 255));
    parent.setPalette(pal);
    parent.resize(200, 40);
    Panel.setParent(&parent);
    Panel.move(10, 10);
    Panel.SetStyle(psPicture);
    Panel.SetCaption(QStringLiteral("Дополнительно"));
    const QImage image = Grab(parent);
    EXPECT_EQ(image.pixel(12, 11), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(165, 26), qRgb(255, 255, 255));
    EXPECT_FALSE(InkColumns(image.copy(QRect(10, 10, 160, 18))).isEmpty());
    Panel.setParent(nullptr);
}

TEST_F(ExtPanelPaint, SolidStyleFillsTheColourWithARaisedBevel)
{
    Panel.SetStyle(psSolid);
    Panel.SetColor(0x00FFFF); // yellow
    Panel.SetCaption(QStringLiteral("Итого"));
    const QImage image = Grab(Panel);
    EXPECT_EQ(image.pixel(0, 0), Rgb(0xFF000014));
    EXPECT_EQ(image.pixel(159, 17), Rgb(0xFF000010));
    EXPECT_EQ(image.pixel(3, 3), qRgb(255, 255, 0));
    // The platform's own caption drawing: left-justified inside the bevel.
    const QList<int> columns = InkColumns(image.copy(1, 1, 158, 16));
    ASSERT_FALSE(columns.isEmpty());
    EXPECT_LE(columns.first(), 3);

    Panel.SetBevelOuter(bvNone);
    EXPECT_EQ(Grab(Panel).pixel(0, 0), qRgb(255, 255, 0));
}

TEST(ExtPanelClick, ClickNeedsPressAndReleaseInside)
{
    TExtPanel panel;
    panel.resize(100, 20);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    QSignalSpy clicks(&panel, &TExtPanel::Click);
    QTest::mouseClick(&panel, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(&panel, Qt::RightButton, Qt::NoModifier, QPoint(50, 10));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
    QTest::mouseRelease(&panel, Qt::LeftButton, Qt::NoModifier, QPoint(150, 10));
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ExtScrollBox, GradientFillsTheVisibleAreaBehindTransparentChildren)
{
    TExtScrollBox box;
    box.resize(180, 200);
    box.SetGradientStartColor(0xE0E0E0);
    box.SetGradientEndColor(0xFFFFFF);
    box.SetGradientDirection(gdHorizontal);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.frameShape(), QFrame::NoFrame);
    EXPECT_EQ(box.Client()->width(), 180);
    const QImage image = Grab(box);
    EXPECT_EQ(image.pixel(0, 100), qRgb(224, 224, 224));
    EXPECT_EQ(image.pixel(179, 100), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(0, 0), image.pixel(0, 199));

    box.SetGradientStartColor(0x0000FF);
    EXPECT_EQ(Grab(box).pixel(0, 50), qRgb(255, 0, 0));
}

TEST(ExtScrollBox, ScrollsWhenTheContentIsHigherThanTheBox)
{
    TExtScrollBox box;
    box.resize(180, 200);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.SetContentHeight(150);
    QApplication::processEvents();
    EXPECT_EQ(box.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(box.Client()->height(), 200);

    box.SetContentHeight(700);
    QApplication::processEvents();
    EXPECT_TRUE(box.verticalScrollBar()->isVisible());
    EXPECT_EQ(box.verticalScrollBar()->maximum(), 700 - box.viewport()->height());
    EXPECT_EQ(box.Client()->width(), box.viewport()->width());
    EXPECT_LT(box.viewport()->width(), 180);
}

} // namespace
