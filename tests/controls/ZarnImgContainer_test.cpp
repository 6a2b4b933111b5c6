#include "controls/ZarnLib.Components.ZarnImgButton.h"
#include "controls/ZarnLib.Components.ZarnImgContainer.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A tile whose every pixel differs from its neighbours, so a misplaced tile shows.
QPixmap Pattern(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / qMax(1, size.width() - 1), y * 255 / qMax(1, size.height() - 1), (x + y) % 7 * 30));
    return QPixmap::fromImage(image);
}

struct TTileCase
{
    QSize Client;
    QSize Tile;
    QList<int> Xs;
    QList<int> Ys;
};

class TileOriginsTest : public ::testing::TestWithParam<TTileCase>
{
};

TEST_P(TileOriginsTest, RowsAndColumns)
{
    const TTileCase &c = GetParam();
    QList<QPoint> expected;
    for (int y : c.Ys)
        for (int x : c.Xs)
            expected.append(QPoint(x, y));
    EXPECT_EQ(TCustomZarnImgContainer::TileOrigins(c.Client, c.Tile), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tiles, TileOriginsTest,
    ::testing::Values(
        // The main window's strip.
        TTileCase{QSize(932, 75), QSize(101, 75), {0, 101, 202, 303, 404, 505, 606, 707, 808, 909}, {0}},
        // A tile also starts at x equal to the client width.
        TTileCase{QSize(909, 75), QSize(101, 75), {0, 101, 202, 303, 404, 505, 606, 707, 808, 909}, {0}},
        TTileCase{QSize(100, 150), QSize(50, 75), {0, 50, 100}, {0, 75}},
        TTileCase{QSize(100, 151), QSize(50, 75), {0, 50, 100}, {0, 75, 150}},
        // A picture larger than the container: once.
        TTileCase{QSize(537, 75), QSize(585, 75), {0}, {0}},
        // An empty client still gets one tile.
        TTileCase{QSize(0, 0), QSize(24, 25), {0}, {0}},
        // A picture without width or height is never tiled.
        TTileCase{QSize(100, 100), QSize(0, 25), {}, {}},
        TTileCase{QSize(100, 100), QSize(24, 0), {}, {}}));

// Every pixel of the container shows the tile pixel at its position modulo the tile.
void ExpectTiled(const QImage &shown, const QImage &tile)
{
    int wrong = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != tile.pixel(x % tile.width(), y % tile.height()))
                ++wrong;
    EXPECT_EQ(wrong, 0);
}

TEST(ZarnImgContainer, TilesCoverTheWholeStrip)
{
    QWidget window;
    window.resize(932, 200);
    TZarnImgContainer strip(&window);
    strip.setGeometry(0, 0, 932, 75);
    const QPixmap tile = Pattern(QSize(101, 75));
    strip.SetImage(tile);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ExpectTiled(strip.grab().toImage(), tile.toImage());

    // Several rows, and again after growing.
    strip.setGeometry(0, 0, 250, 160);
    ExpectTiled(strip.grab().toImage(), tile.toImage());
    strip.resize(400, 190);
    ExpectTiled(strip.grab().toImage(), tile.toImage());
}

TEST(ZarnImgContainer, LargerPictureIsClipped)
{
    TZarnImgContainer strip;
    strip.resize(537, 75);
    const QPixmap picture = Pattern(QSize(585, 75));
    strip.SetImage(picture);
    EXPECT_EQ(strip.grab().toImage(), picture.toImage().copy(0, 0, 537, 75));
}

TEST(ZarnImgContainer, WhiteWithoutPicture)
{
    TZarnImgContainer strip;
    EXPECT_EQ(strip.size(), QSize(200, 100));
    QImage white(200, 100, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(strip.grab().toImage().convertToFormat(QImage::Format_RGB32), white);
    strip.SetImage(Pattern(QSize(10, 10)));
    EXPECT_NE(strip.grab().toImage().convertToFormat(QImage::Format_RGB32), white);
    strip.SetImage(QPixmap());
    EXPECT_EQ(strip.grab().toImage().convertToFormat(QImage::Format_RGB32), white);
}

TEST(ZarnImgContainer, ChildrenDrawOverTheTiles)
{
    TZarnImgContainer strip;
    strip.resize(120, 40);
    strip.SetImage(Pattern(QSize(24, 25)));
    TZarnImgButton button(&strip);
    button.move(30, 5);
    QPixmap red(20, 10);
    red.fill(Qt::red);
    button.SetImgNormal(red);
    const QImage shown = strip.grab().toImage();
    EXPECT_EQ(shown.pixelColor(35, 10), QColor(Qt::red));
    EXPECT_EQ(shown.pixel(5, 5), Pattern(QSize(24, 25)).toImage().pixel(5, 5));
}

} // namespace
