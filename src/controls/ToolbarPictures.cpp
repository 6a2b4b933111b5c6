#include "controls/ToolbarPictures.h"

#include "platform/Exception.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
#include <vector>

namespace ToolbarPictures {
namespace {

// One palette and one line weight for every picture.
constexpr qreal kLine = 1.3;
const QColor kInk(0x34, 0x40, 0x5e);        // text, darkest outlines
const QColor kPaperTop(0xff, 0xff, 0xff);
const QColor kPaperBottom(0xe9, 0xee, 0xf9);
const QColor kPaperLine(0x8a, 0x98, 0xbd);
const QColor kPaperText(0xb4, 0xc0, 0xdc);
const QColor kBlue(0x4a, 0x78, 0xc8);
const QColor kGreen(0x4f, 0xa8, 0x3c);
const QColor kAmber(0xf0, 0xa8, 0x32);
const QColor kRed(0xd9, 0x4a, 0x38);
const QColor kTeal(0x2f, 0x8f, 0xb5);
const QColor kSlate(0x62, 0x71, 0x96);
const QColor kLime(0xc9, 0xe6, 0xa6);

constexpr int kStripWidth = 585;
constexpr int kStripHeight = 75;
constexpr int kTileWidth = 101;
constexpr int kLibStripHeight = 25;
constexpr int kLibTileWidth = 24;

enum class TGlyph { Logo, Libs, Add, Edit, Delete, Filter, Calc, SmallAdd, SmallEdit, SmallDelete };

struct TButtonDef
{
    const char *Name;
    QRect Rect;
    TGlyph Glyph;
    const char *Label; // drawn beside a small glyph; null for the toolbar
};

// The main window's toolbar, then the list editor's strip.
const TButtonDef kButtons[] = {
    {"ZarnImgButton1", QRect(7, 0, 83, 75), TGlyph::Logo, nullptr},
    {"zibLibs", QRect(100, 27, 60, 45), TGlyph::Libs, nullptr},
    {"zibRecAdd", QRect(190, 27, 60, 45), TGlyph::Add, nullptr},
    {"zibRecEdit", QRect(255, 27, 60, 45), TGlyph::Edit, nullptr},
    {"zibRecDelete", QRect(320, 27, 60, 45), TGlyph::Delete, nullptr},
    {"zibFilter", QRect(410, 27, 60, 45), TGlyph::Filter, nullptr},
    {"zibCalc", QRect(475, 27, 60, 45), TGlyph::Calc, nullptr},
    {"btAdd", QRect(0, 0, 80, 25), TGlyph::SmallAdd, "Добавить"},
    {"btEdit", QRect(90, 0, 105, 25), TGlyph::SmallEdit, "Редактировать"},
    {"btDelete", QRect(205, 0, 75, 25), TGlyph::SmallDelete, "Удалить"},
};
constexpr int kToolbarButtons = 7;

bool OnLibStrip(const TButtonDef &def)
{
    return def.Label != nullptr;
}

// Vertical separators of the strip, between the button groups.
const int kSeparators[] = {95, 175, 395};

// Captions over the button groups: centre x and text.
struct TCaption
{
    int Centre;
    const char *Text;
};
const TCaption kCaptions[] = {{130, "Справочники"}, {285, "Записи"}, {472, "Сервис"}};

const TButtonDef &FindButton(const QString &name)
{
    for (const TButtonDef &def : kButtons) {
        if (name == QLatin1String(def.Name))
            return def;
    }
    throw Exception(QStringLiteral("Нет рисунков для кнопки \"%1\"").arg(name));
}

QColor Mix(const QColor &a, const QColor &b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

QColor Light(const QColor &c, qreal t = 0.35) { return Mix(c, Qt::white, t); }
QColor Dark(const QColor &c, qreal t = 0.35) { return Mix(c, Qt::black, t); }

QPen Outline(const QColor &c, qreal width = kLine)
{
    QPen pen(c, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QLinearGradient Vertical(const QRectF &r, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// A shape filled with a soft top-to-bottom gradient of its colour and
// outlined with its dark shade.
void Body(QPainter &p, const QPainterPath &path, const QColor &c)
{
    const QRectF r = path.boundingRect();
    p.setPen(Outline(Dark(c, 0.42)));
    p.setBrush(Vertical(r, Light(c, 0.38), c));
    p.drawPath(path);
}

// The glossy upper half of a round shape.
void Gloss(QPainter &p, const QRectF &r)
{
    QPainterPath clip;
    clip.addEllipse(r.adjusted(1.2, 1.2, -1.2, -1.2));
    QRectF upper(r.left(), r.top(), r.width(), r.height() * 0.55);
    QPainterPath half;
    half.addEllipse(upper.adjusted(r.width() * 0.12, 1.0, -r.width() * 0.12, 0));
    QLinearGradient g(upper.topLeft(), upper.bottomLeft());
    g.setColorAt(0, QColor(255, 255, 255, 170));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(half.intersected(clip));
}

// Strip background --------------------------------------------------------

void PaintStripRows(QPainter &p, const QRect &r)
{
    QLinearGradient g(0, 0, 0, kStripHeight);
    g.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    g.setColorAt(0.45, QColor(0xf3, 0xf6, 0xfe));
    g.setColorAt(1.0, QColor(0xdd, 0xe4, 0xf7));
    p.fillRect(r, g);
    // A bright line over a darker one closes the strip towards the pages.
    p.fillRect(QRect(r.left(), kStripHeight - 2, r.width(), 1), QColor(0xf7, 0xf9, 0xff));
    p.fillRect(QRect(r.left(), kStripHeight - 1, r.width(), 1), QColor(0xa8, 0xb5, 0xda));
}

void PaintSeparator(QPainter &p, int x)
{
    QLinearGradient dark(0, 30, 0, 70);
    dark.setColorAt(0, QColor(0xa8, 0xb5, 0xda, 0));
    dark.setColorAt(0.5, QColor(0xa8, 0xb5, 0xda, 255));
    dark.setColorAt(1, QColor(0xa8, 0xb5, 0xda, 0));
    QLinearGradient bright(0, 30, 0, 70);
    bright.setColorAt(0, QColor(255, 255, 255, 0));
    bright.setColorAt(0.5, QColor(255, 255, 255, 255));
    bright.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRect(x, 30, 1, 40), dark);
    p.fillRect(QRect(x + 1, 30, 1, 40), bright);
}

// The list editor's strip: the same light rows, 25 pixels high.
QImage LibStripImage(int width)
{
    QImage image(width, kLibStripHeight, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, kLibStripHeight);
    g.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    g.setColorAt(0.45, QColor(0xf3, 0xf6, 0xfe));
    g.setColorAt(1.0, QColor(0xdd, 0xe4, 0xf7));
    p.fillRect(image.rect(), g);
    p.fillRect(QRect(0, kLibStripHeight - 1, width, 1), QColor(0xa8, 0xb5, 0xda));
    return image;
}

QImage StripImage()
{
    QImage image(kStripWidth, kStripHeight, QImage::Format_RGB32);
    QPainter p(&image);
    PaintStripRows(p, image.rect());
    for (int x : kSeparators)
        PaintSeparator(p, x);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    p.setFont(font);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const TCaption &caption : kCaptions) {
        const QRect box(caption.Centre - 60, 9, 120, 14);
        p.setPen(QColor(255, 255, 255, 200));
        p.drawText(box.translated(0, 1), Qt::AlignCenter, QString::fromUtf8(caption.Text));
        p.setPen(QColor(0x5c, 0x6b, 0x93));
        p.drawText(box, Qt::AlignCenter, QString::fromUtf8(caption.Text));
    }
    return image;
}

// Glyphs: drawn on transparency, in a 32 × 32 box ---------------------------

void DrawPage(QPainter &p, const QRectF &r)
{
    const qreal fold = 6;
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.setPen(Outline(kPaperLine));
    p.setBrush(Vertical(r, kPaperTop, kPaperBottom));
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(0xd6, 0xde, 0xf2));
    p.drawPath(corner);
    p.setPen(Outline(kPaperText));
    for (int i = 0; i < 4; ++i) {
        const qreal y = r.top() + 8 + i * 4;
        const qreal right = r.right() - (i == 0 ? fold + 2 : 3.5);
        p.drawLine(QPointF(r.left() + 3.5, y), QPointF(right - (i == 3 ? 4 : 0), y));
    }
}

void DrawBadge(QPainter &p, const QPointF &centre, qreal radius, const QColor &c)
{
    const QRectF r(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath circle;
    circle.addEllipse(r);
    Body(p, circle, c);
    Gloss(p, r);
}

// A green badge with a white plus; proportions follow the radius.
void BadgePlus(QPainter &p, const QPointF &c, qreal radius)
{
    const qreal k = radius / 9, arm = 4.2 * k;
    DrawBadge(p, c, radius, kGreen);
    p.setPen(QPen(Dark(kGreen, 0.45), 4.6 * k, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - arm, c.y() + 0.6 * k), QPointF(c.x() + arm, c.y() + 0.6 * k));
    p.drawLine(QPointF(c.x(), c.y() - arm + 0.6 * k), QPointF(c.x(), c.y() + arm + 0.6 * k));
    p.setPen(QPen(Qt::white, 2.6 * k, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - arm, c.y()), QPointF(c.x() + arm, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - arm), QPointF(c.x(), c.y() + arm));
}

// A red badge with a white cross.
void BadgeCross(QPainter &p, const QPointF &c, qreal radius)
{
    const qreal k = radius / 9, d = 3.4 * k;
    DrawBadge(p, c, radius, kRed);
    p.setPen(QPen(Dark(kRed, 0.45), 4.6 * k, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - d, c.y() - d + 0.6 * k), QPointF(c.x() + d, c.y() + d + 0.6 * k));
    p.drawLine(QPointF(c.x() + d, c.y() - d + 0.6 * k), QPointF(c.x() - d, c.y() + d + 0.6 * k));
    p.setPen(QPen(Qt::white, 2.6 * k, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - d, c.y() - d), QPointF(c.x() + d, c.y() + d));
    p.drawLine(QPointF(c.x() + d, c.y() - d), QPointF(c.x() - d, c.y() + d));
}

// A pencil from its tip along `angle` degrees (counter-clockwise from the
// x axis), `len` long; proportions follow the length.
void Pencil(QPainter &p, const QPointF &tip, qreal angle, qreal len, bool shadow)
{
    const qreal k = len / 25, half = 3.4 * k;
    p.save();
    p.translate(tip);
    p.rotate(-angle);
    if (shadow) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x34, 0x40, 0x5e, 40));
        p.drawRoundedRect(QRectF(6 * k, -half + 1.6 * k, len - 6 * k, 2 * half), 1.5 * k, 1.5 * k);
    }
    QPainterPath wood;
    wood.moveTo(0, 0);
    wood.lineTo(6 * k, -half);
    wood.lineTo(6 * k, half);
    wood.closeSubpath();
    p.setPen(Outline(QColor(0x9a, 0x6c, 0x2a)));
    p.setBrush(QColor(0xf6, 0xdc, 0xa8));
    p.drawPath(wood);
    QPainterPath lead;
    lead.moveTo(0, 0);
    lead.lineTo(2.2 * k, -1.25 * k);
    lead.lineTo(2.2 * k, 1.25 * k);
    lead.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPath(lead);
    const QRectF body(6 * k, -half, 13 * k, 2 * half);
    QLinearGradient across(0, -half, 0, half);
    across.setColorAt(0, Light(kAmber, 0.55));
    across.setColorAt(0.45, kAmber);
    across.setColorAt(1, Dark(kAmber, 0.18));
    p.setPen(Outline(Dark(kAmber, 0.42)));
    p.setBrush(across);
    p.drawRect(body);
    p.setPen(Outline(QColor(255, 255, 255, 120)));
    p.drawLine(QPointF(7 * k, -1.2 * k), QPointF(18.5 * k, -1.2 * k));
    const QRectF ferrule(19 * k, -half, 2.6 * k, 2 * half);
    QLinearGradient metal(0, -half, 0, half);
    metal.setColorAt(0, QColor(0xee, 0xf0, 0xf5));
    metal.setColorAt(1, QColor(0x9c, 0xa4, 0xb8));
    p.setPen(Outline(QColor(0x6f, 0x78, 0x90)));
    p.setBrush(metal);
    p.drawRect(ferrule);
    const qreal round = 1.5 * k, from = 21.6 * k;
    QPainterPath eraser;
    eraser.moveTo(from, -half);
    eraser.lineTo(len - round, -half);
    eraser.quadTo(len, -half, len, -half + round);
    eraser.lineTo(len, half - round);
    eraser.quadTo(len, half, len - round, half);
    eraser.lineTo(from, half);
    eraser.closeSubpath();
    Body(p, eraser, QColor(0xe8, 0x7f, 0x90));
    p.restore();
}

void GlyphAdd(QPainter &p)
{
    DrawPage(p, QRectF(3.5, 2.5, 19, 25));
    BadgePlus(p, QPointF(22, 21.5), 9);
}

void GlyphDelete(QPainter &p)
{
    DrawPage(p, QRectF(3.5, 2.5, 19, 25));
    BadgeCross(p, QPointF(22, 21.5), 9);
}

void GlyphEdit(QPainter &p)
{
    DrawPage(p, QRectF(3.5, 2.5, 19, 25));
    Pencil(p, QPointF(12, 27), 50, 25, true);
}

void DrawBook(QPainter &p, const QRectF &cover, const QColor &c)
{
    // Pages show below and right of the cover.
    QPainterPath pages;
    pages.addRoundedRect(cover.translated(2.2, 2.2), 1.5, 1.5);
    p.setPen(Outline(kPaperLine));
    p.setBrush(Vertical(cover, kPaperTop, kPaperBottom));
    p.drawPath(pages);
    p.setPen(Outline(kPaperText, 0.8));
    p.drawLine(QPointF(cover.left() + 3, cover.bottom() + 1.1), QPointF(cover.right() + 1.1, cover.bottom() + 1.1));
    p.drawLine(QPointF(cover.right() + 1.1, cover.top() + 3), QPointF(cover.right() + 1.1, cover.bottom() + 1.1));
    QPainterPath front;
    front.addRoundedRect(cover, 1.8, 1.8);
    Body(p, front, c);
    // Spine and title label.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawRect(QRectF(cover.left() + 0.7, cover.top() + 0.7, 2.6, cover.height() - 1.4));
    p.setPen(Outline(QColor(255, 255, 255, 110)));
    p.drawLine(QPointF(cover.left() + 3.6, cover.top() + 1.2), QPointF(cover.left() + 3.6, cover.bottom() - 1.2));
    const QRectF label(cover.left() + 6, cover.top() + 4, cover.width() - 9, 5.5);
    p.setPen(Outline(Dark(c, 0.3), 0.9));
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawRoundedRect(label, 1, 1);
}

void GlyphLibs(QPainter &p)
{
    DrawBook(p, QRectF(10.5, 2.5, 15, 22), kGreen);
    DrawBook(p, QRectF(3.5, 6.5, 15, 22), kBlue);
}

void GlyphFilter(QPainter &p)
{
    QPainterPath funnel;
    funnel.moveTo(3.5, 7);
    funnel.cubicTo(3.5, 9, 10, 15, 13, 18.5);
    funnel.lineTo(13, 27.5);
    funnel.lineTo(19, 24.5);
    funnel.lineTo(19, 18.5);
    funnel.cubicTo(22, 15, 28.5, 9, 28.5, 7);
    funnel.closeSubpath();
    QLinearGradient across(3.5, 0, 28.5, 0);
    across.setColorAt(0, Light(kTeal, 0.25));
    across.setColorAt(0.35, Light(kTeal, 0.55));
    across.setColorAt(1, Dark(kTeal, 0.12));
    p.setPen(Outline(Dark(kTeal, 0.45)));
    p.setBrush(across);
    p.drawPath(funnel);
    // The opening, seen from above.
    const QRectF rim(3.5, 3.5, 25, 7);
    QLinearGradient inside(rim.topLeft(), rim.bottomLeft());
    inside.setColorAt(0, Dark(kTeal, 0.35));
    inside.setColorAt(1, kTeal);
    p.setBrush(inside);
    p.drawEllipse(rim);
    p.setPen(Outline(QColor(255, 255, 255, 150)));
    p.drawArc(rim.adjusted(1.5, 1, -1.5, -1), 200 * 16, 140 * 16);
}

void GlyphCalc(QPainter &p)
{
    const QRectF body(6.5, 2.5, 19, 27);
    QPainterPath shape;
    shape.addRoundedRect(body, 3, 3);
    Body(p, shape, kSlate);
    const QRectF display(9.5, 5.5, 13, 6);
    p.setPen(Outline(Dark(kSlate, 0.5), 0.9));
    p.setBrush(Vertical(display, Light(kLime, 0.4), kLime));
    p.drawRoundedRect(display, 1, 1);
    p.setPen(Outline(Dark(kSlate, 0.35), 1.0));
    p.drawLine(QPointF(17, 8.5), QPointF(20.5, 8.5));
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRectF key(9.5 + col * 4.6, 14 + row * 3.8, 3.4, 2.6);
            const bool equals = row == 3 && col == 2;
            const QColor face = equals ? kAmber : QColor(0xf4, 0xf6, 0xfb);
            p.setPen(Qt::NoPen);
            p.setBrush(Vertical(key, Light(face, 0.3), Dark(face, 0.08)));
            p.drawRoundedRect(key, 0.8, 0.8);
        }
    }
}

// The emblem: a green tile with a tally of five.
void PaintLogo(QPainter &p, const QRectF &r)
{
    const qreal s = r.width();
    p.save();
    p.translate(r.topLeft());
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.22, s * 0.22);
    QLinearGradient g(0, 0, 0, s);
    g.setColorAt(0, Light(kGreen, 0.35));
    g.setColorAt(1, Dark(kGreen, 0.12));
    p.setPen(Outline(Dark(kGreen, 0.45), qMax<qreal>(kLine, s / 36)));
    p.setBrush(g);
    p.drawPath(tile);
    QPainterPath upper;
    upper.addRoundedRect(QRectF(s * 0.08, s * 0.05, s * 0.84, s * 0.45), s * 0.18, s * 0.18);
    QLinearGradient gloss(0, s * 0.05, 0, s * 0.5);
    gloss.setColorAt(0, QColor(255, 255, 255, 140));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawPath(upper);
    const qreal w = s * 0.075;
    auto tally = [&](const QColor &c, qreal dy) {
        p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i) {
            const qreal x = s * (0.30 + 0.13 * i);
            p.drawLine(QPointF(x, s * 0.25 + dy), QPointF(x, s * 0.75 + dy));
        }
        p.drawLine(QPointF(s * 0.20, s * 0.68 + dy), QPointF(s * 0.82, s * 0.32 + dy));
    };
    tally(QColor(0x1f, 0x5a, 0x18, 110), s * 0.025);
    tally(Qt::white, 0);
    p.restore();
}

void GlyphLogo(QPainter &p, const QSize &size)
{
    const qreal side = 46;
    PaintLogo(p, QRectF((size.width() - side) / 2, 5, side, side));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRect(0, 54, size.width(), 16), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Tallyset"));
}

QRect LabelRoom(const TButtonDef &def)
{
    return QRect(25, 0, def.Rect.width() - 29, def.Rect.height() - 1);
}

// One font for all labels: the largest, up to 11 pixels, that fits every one.
QFont LabelFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    for (int size = 11; size > 8; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        bool fits = true;
        for (const TButtonDef &def : kButtons) {
            if (OnLibStrip(def) && metrics.horizontalAdvance(QString::fromUtf8(def.Label)) > LabelRoom(def).width())
                fits = false;
        }
        if (fits)
            return font;
    }
    font.setPixelSize(8);
    return font;
}

// The glyph of a button on transparency, of the button's size.
QImage GlyphImage(const TButtonDef &def)
{
    QImage image(def.Rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (def.Glyph == TGlyph::Logo) {
        GlyphLogo(p, def.Rect.size());
        return image;
    }
    if (OnLibStrip(def)) {
        // A 16-pixel glyph, then the label in the space left.
        p.save();
        p.translate(5, 4.5);
        switch (def.Glyph) {
        case TGlyph::SmallAdd: BadgePlus(p, QPointF(8, 8), 6.5); break;
        case TGlyph::SmallDelete: BadgeCross(p, QPointF(8, 8), 6.5); break;
        default: Pencil(p, QPointF(2.5, 14), 45, 16.5, false); break;
        }
        p.restore();
        p.setFont(LabelFont());
        p.setPen(kInk);
        p.drawText(LabelRoom(def), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(def.Label));
        return image;
    }
    const bool dropDown = def.Glyph == TGlyph::Libs;
    p.translate(dropDown ? 10 : 14, 6);
    switch (def.Glyph) {
    case TGlyph::Libs: GlyphLibs(p); break;
    case TGlyph::Add: GlyphAdd(p); break;
    case TGlyph::Edit: GlyphEdit(p); break;
    case TGlyph::Delete: GlyphDelete(p); break;
    case TGlyph::Filter: GlyphFilter(p); break;
    case TGlyph::Calc: GlyphCalc(p); break;
    default: break;
    }
    if (dropDown) {
        // The drop-down arrow right of the books.
        p.resetTransform();
        QPainterPath arrow;
        arrow.moveTo(44.5, 21);
        arrow.lineTo(51.5, 21);
        arrow.lineTo(48, 25);
        arrow.closeSubpath();
        p.setPen(Outline(kInk, 1.0));
        p.setBrush(kInk);
        p.drawPath(arrow);
    }
    return image;
}

// Pixel work on transparent glyphs -------------------------------------------

template <typename F>
QImage MapPixels(const QImage &source, F f)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = f(line[x]);
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage Lightened(const QImage &glyph, qreal t)
{
    return MapPixels(glyph, [t](QRgb c) {
        auto up = [t](int v) { return v + int((255 - v) * t); };
        return qRgba(up(qRed(c)), up(qGreen(c)), up(qBlue(c)), qAlpha(c));
    });
}

QImage Darkened(const QImage &glyph, qreal t)
{
    return MapPixels(glyph, [t](QRgb c) {
        auto down = [t](int v) { return int(v * (1 - t)); };
        return qRgba(down(qRed(c)), down(qGreen(c)), down(qBlue(c)), qAlpha(c));
    });
}

QImage Faded(const QImage &glyph)
{
    return MapPixels(glyph, [](QRgb c) {
        const int grey = qGray(c);
        const int v = grey + (255 - grey) * 30 / 100;
        return qRgba(v, v, v, qAlpha(c) * 55 / 100);
    });
}

// A soft halo from the glyph's outline: its alpha blurred and tinted.
QImage Glow(const QImage &glyph, const QColor &tint, int radius)
{
    const int w = glyph.width(), h = glyph.height();
    std::vector<int> alpha(size_t(w) * h), scratch(alpha.size());
    const QImage src = glyph.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        for (int x = 0; x < w; ++x)
            alpha[size_t(y) * w + x] = qAlpha(line[x]);
    }
    auto blur = [&](bool horizontal) {
        const int n = horizontal ? w : h, m = horizontal ? h : w;
        for (int j = 0; j < m; ++j) {
            for (int i = 0; i < n; ++i) {
                int sum = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int at = std::clamp(i + k, 0, n - 1);
                    sum += horizontal ? alpha[size_t(j) * w + at] : alpha[size_t(at) * w + j];
                }
                const size_t to = horizontal ? size_t(j) * w + i : size_t(i) * w + j;
                scratch[to] = sum / (2 * radius + 1);
            }
        }
        alpha.swap(scratch);
    };
    for (int pass = 0; pass < 2; ++pass) {
        blur(true);
        blur(false);
    }
    QImage halo(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(halo.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int a = std::min(255, alpha[size_t(y) * w + x] * 2) * tint.alpha() / 255;
            line[x] = qRgba(tint.red(), tint.green(), tint.blue(), a);
        }
    }
    return halo.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Plates behind the glyph -----------------------------------------------------

void PaintHoverPlate(QPainter &p, const QRectF &r)
{
    p.setPen(Outline(QColor(0x9c, 0xb6, 0xe6), 1.0));
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(255, 255, 255, 245));
    g.setColorAt(0.5, QColor(0xf1, 0xf6, 0xff, 235));
    g.setColorAt(1, QColor(0xd9, 0xe6, 0xfb, 235));
    p.setBrush(g);
    p.drawRoundedRect(r, 5, 5);
    p.setPen(Outline(QColor(255, 255, 255, 220), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 4, 4);
}

void PaintDownPlate(QPainter &p, const QRectF &r)
{
    p.setPen(Outline(QColor(0x7c, 0x93, 0xc4), 1.0));
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0xbe, 0xcd, 0xea));
    g.setColorAt(0.4, QColor(0xd2, 0xdd, 0xf3));
    g.setColorAt(1, QColor(0xe1, 0xe9, 0xf8));
    p.setBrush(g);
    p.drawRoundedRect(r, 5, 5);
    // Inner shadow along the top edge.
    p.setPen(Outline(QColor(0x34, 0x40, 0x5e, 45), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(r.left() + 4, r.top() + 1.5), QPointF(r.right() - 4, r.top() + 1.5));
}

enum class TLook { Normal, Over, Down, Disable };

// A state picture: the glyph over the strip's own pixels. Buttons with a plate
// show it under the pointer and while pressed; the logo only glows and sinks.
QPixmap Compose(const QImage &base, const QImage &glyph, TLook look, bool plated)
{
    QImage image = base.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const bool small = image.height() < 30;
    const QRectF plate = QRectF(image.rect()).adjusted(small ? 0.5 : 1.5, small ? 0.5 : 1.5, small ? -0.5 : -1.5,
                                                       small ? -1.5 : -1.5);
    switch (look) {
    case TLook::Normal:
        p.drawImage(0, 0, glyph);
        break;
    case TLook::Over:
        if (plated)
            PaintHoverPlate(p, plate);
        p.drawImage(0, 0, Glow(glyph, QColor(0xff, 0xe9, 0x9a, plated ? 200 : 230), small ? 2 : 4));
        p.drawImage(0, 0, Lightened(glyph, 0.16));
        break;
    case TLook::Down:
        if (plated)
            PaintDownPlate(p, plate);
        p.drawImage(1, 1, Darkened(glyph, 0.14));
        break;
    case TLook::Disable:
        p.drawImage(0, 0, Faded(glyph));
        break;
    }
    p.end();
    return QPixmap::fromImage(image.convertToFormat(QImage::Format_RGB32));
}

} // namespace

QStringList ButtonNames()
{
    QStringList names;
    for (int i = 0; i < kToolbarButtons; ++i)
        names.append(QLatin1String(kButtons[i].Name));
    return names;
}

QStringList LibEditorButtonNames()
{
    QStringList names;
    for (const TButtonDef &def : kButtons) {
        if (OnLibStrip(def))
            names.append(QLatin1String(def.Name));
    }
    return names;
}

QRect ButtonRect(const QString &buttonName)
{
    return FindButton(buttonName).Rect;
}

TButtonPictures ButtonPictures(const QString &buttonName)
{
    const TButtonDef &def = FindButton(buttonName);
    const QImage base = OnLibStrip(def) ? LibStripImage(def.Rect.width()) : StripImage().copy(def.Rect);
    const QImage glyph = GlyphImage(def);
    TButtonPictures pictures;
    const bool plated = def.Glyph != TGlyph::Logo;
    pictures.Normal = Compose(base, glyph, TLook::Normal, plated);
    pictures.Over = Compose(base, glyph, TLook::Over, plated);
    pictures.Down = Compose(base, glyph, TLook::Down, plated);
    pictures.Disable = Compose(base, glyph, TLook::Disable, plated);
    return pictures;
}

QPixmap StripBackground()
{
    return QPixmap::fromImage(StripImage());
}

QPixmap TopStripTile()
{
    QImage image(kTileWidth, kStripHeight, QImage::Format_RGB32);
    QPainter p(&image);
    PaintStripRows(p, image.rect());
    p.end();
    return QPixmap::fromImage(image);
}

QPixmap LibEditorTile()
{
    return QPixmap::fromImage(LibStripImage(kLibTileWidth));
}

QPixmap ProgramLogo(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    PaintLogo(p, QRectF(0, 0, side, side));
    p.end();
    return QPixmap::fromImage(image);
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(ProgramLogo(side));
    return icon;
}

} // namespace ToolbarPictures
