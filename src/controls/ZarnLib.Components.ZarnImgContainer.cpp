#include "controls/ZarnLib.Components.ZarnImgContainer.h"

#include <QPaintEvent>
#include <QPainter>

TCustomZarnImgContainer::TCustomZarnImgContainer(QWidget *parent) : QWidget(parent)
{
    // Paints its whole area; tiles hang from the top-left corner, so a resize
    // repaints only the area it uncovers.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    resize(200, 100);
}

TCustomZarnImgContainer::~TCustomZarnImgContainer() = default;

void TCustomZarnImgContainer::SetImage(const QPixmap &picture)
{
    FImage = picture;
    update();
}

QList<QPoint> TCustomZarnImgContainer::TileOrigins(const QSize &client, const QSize &tile)
{
    QList<QPoint> origins;
    if (tile.width() <= 0 || tile.height() <= 0)
        return origins;
    int y = 0;
    do {
        int x = 0;
        do {
            origins.append(QPoint(x, y));
            x += tile.width();
        } while (x <= client.width());
        y += tile.height();
    } while (y < client.height());
    return origins;
}

void TCustomZarnImgContainer::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QSize tile = FImage.deviceIndependentSize().toSize();
    if (FImage.isNull() || tile.isEmpty()) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    const QRect dirty = event->rect();
    for (const QPoint &origin : TileOrigins(size(), tile)) {
        if (dirty.intersects(QRect(origin, tile)))
            painter.drawPixmap(origin, FImage);
    }
}
