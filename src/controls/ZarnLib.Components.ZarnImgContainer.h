#pragma once

#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QWidget>

// A strip that tiles one picture over its whole area from the top-left corner
// and holds other controls. Without a picture it is white.
class TCustomZarnImgContainer : public QWidget
{
    Q_OBJECT
public:
    // 200 × 100 until the owner sizes it.
    explicit TCustomZarnImgContainer(QWidget *parent = nullptr);
    ~TCustomZarnImgContainer() override;

    const QPixmap &Image() const { return FImage; }
    // Copies the picture and repaints.
    void SetImage(const QPixmap &picture);

    // Top-left corners of the tiles over a client area: rows from y = 0 while
    // y < height, within a row from x = 0 while x <= width; at least one tile.
    // Empty for a tile of zero width or height.
    static QList<QPoint> TileOrigins(const QSize &client, const QSize &tile);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap FImage;
};

// The picture strip as window layouts use it.
class TZarnImgContainer : public TCustomZarnImgContainer
{
    Q_OBJECT
    Q_PROPERTY(QPixmap Image READ Image WRITE SetImage)
public:
    using TCustomZarnImgContainer::TCustomZarnImgContainer;
};
