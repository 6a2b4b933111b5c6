#include "platform/widgets/Chart.h"

#include "platform/Format.h"
#include "platform/widgets/Chart.Look.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

using namespace ChartLook;

namespace {

// Calm, distinct colours for the first ten points.
const QRgb c_palette[] = {0x4E79A7, 0xF28E2B, 0xE15759, 0x76B7B2, 0x59A14F,
                          0xEDC948, 0xB07AA1, 0xFF9DA7, 0x9C755F, 0xBAB0AC};
constexpr int c_paletteSize = int(sizeof c_palette / sizeof c_palette[0]);
constexpr int c_paletteRounds = 3; // then the colours repeat
const QChar c_uniqueMark(0x200B); // zero-width space keeps equal categories apart
const QColor c_grid(0xD5, 0xDA, 0xE1);

constexpr int c_labelFrame = 13; // text margins and padding Qt Charts adds to a label

QFont CompactAxisFont(QFont font)
{
    font.setPixelSize(10);
    return font;
}

} // namespace

TChart::TChart(QWidget *parent)
    : QWidget(parent)
{
    FChart = new QChart;
    FChart->legend()->hide();
    FChart->setBackgroundVisible(false);
    FChart->setAnimationOptions(QChart::NoAnimation);
    FChart->setTitleBrush(c_ink);

    FAxisX = new QCategoryAxis;
    FAxisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    FAxisY = new QCategoryAxis;
    FAxisY->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    FChart->addAxis(FAxisX, Qt::AlignBottom);
    FChart->addAxis(FAxisY, Qt::AlignLeft);
    for (QAbstractAxis *axis : {static_cast<QAbstractAxis *>(FAxisX), static_cast<QAbstractAxis *>(FAxisY)}) {
        axis->setLabelsColor(c_ink);
        axis->setLinePenColor(c_border);
        axis->setGridLineColor(c_grid);
        axis->setVisible(false);
    }
    FAxisX->setGridLineVisible(false);

    connect(FChart, &QChart::plotAreaChanged, this, &TChart::PlaceMarks);

    FView = new QChartView(FChart, this);
    FView->setRenderHint(QPainter::Antialiasing);
    FView->setRenderHint(QPainter::TextAntialiasing);
    FView->setFrameShape(QFrame::NoFrame);
    FView->setBackgroundBrush(Qt::NoBrush);
    FView->setStyleSheet(QStringLiteral("background: transparent"));
    FView->setMouseTracking(true);

    FNote = new QLabel(QStringLiteral("Нет данных"), FView);
    FNote->setObjectName(QStringLiteral("lbEmptyNote"));
    FNote->setAlignment(Qt::AlignCenter);
    FNote->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette notePalette = FNote->palette();
    notePalette.setColor(QPalette::WindowText, QColor(0x8A, 0x93, 0x9E));
    FNote->setPalette(notePalette);

    FLegend = new TChartLegend(this);
    FLegendArea = new QScrollArea(this);
    FLegendArea->setWidget(FLegend);
    FLegendArea->setWidgetResizable(false);
    FLegendArea->setFrameShape(QFrame::NoFrame);
    FLegendArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FLegendArea->setAlignment(Qt::AlignVCenter | Qt::AlignHCenter);
    FLegendArea->setStyleSheet(QStringLiteral("QScrollArea { background: transparent; }"));
    FLegendArea->viewport()->setAutoFillBackground(false);
    FLegendArea->hide();

    ApplyLook();
    Schedule();
}

TChart::~TChart()
{
    disconnect(FChart, nullptr, this, nullptr);
    FSeries.clear();
}

void TChart::SetMarksVisible(bool visible)
{
    if (FMarks == visible)
        return;
    FMarks = visible;
    for (auto &s : FSeries)
        if (s->FKind == TSeriesKind::skPie)
            s->Touch();
    Schedule();
}

QStringList TChart::MarkTexts()
{
    Flush();
    QStringList texts;
    for (const TMark &m : FMarkItems)
        if (m.Item->isVisible())
            texts.append(m.Item->text());
    for (const auto &s : FSeries)
        if (s->FActive && s->FKind == TSeriesKind::skPie && FMarks)
            for (QPieSlice *slice : static_cast<QPieSeries *>(s->FQt)->slices())
                texts.append(slice->label());
    return texts;
}

void TChart::UpdateMarks()
{
    for (const TMark &m : FMarkItems)
        delete m.Item;
    FMarkItems.clear();
    if (!FMarks)
        return;
    const QFont font = FAxisY->labelsFont();
    for (const auto &s : FSeries) {
        if (!s->FActive || s->FKind == TSeriesKind::skPie)
            continue;
        for (int i = 0; i < s->Count(); ++i) {
            auto *item = new QGraphicsSimpleTextItem(AmountText(s->Value(i)), FChart);
            item->setFont(font);
            item->setBrush(c_ink);
            item->setZValue(10);
            FMarkItems.push_back({item, s.get(), i});
        }
    }
    PlaceMarks();
}

void TChart::PlaceMarks()
{
    // A mark that would touch one already placed is left out.
    const QRectF plot = FChart->plotArea();
    QList<QRectF> placed;
    for (const TMark &m : FMarkItems) {
        const double v = m.Series->Value(m.Index);
        const QPointF at = FChart->mapToPosition(QPointF(m.Index, v), m.Series->FQt);
        const QRectF box = m.Item->boundingRect();
        QPointF pos(at.x() - box.width() / 2, v >= 0 ? at.y() - box.height() - 2 : at.y() + 2);
        pos.setY(std::clamp(pos.y(), plot.top(), std::max(plot.top(), plot.bottom() - box.height())));
        m.Item->setPos(pos);
        const QRectF rect = box.translated(pos).adjusted(-2, 0, 2, 0);
        bool free = plot.adjusted(-1, -1, 1, 1).contains(at);
        for (const QRectF &other : placed)
            free = free && !other.intersects(rect);
        m.Item->setVisible(free);
        if (free)
            placed.append(rect);
    }
}

TQtChartSeries *TChart::AddSeries(TSeriesKind kind, const QString &name, bool active)
{
    FSeries.push_back(std::unique_ptr<TQtChartSeries>(new TQtChartSeries(this, kind)));
    TQtChartSeries *s = FSeries.back().get();
    s->FActive = active;
    if (!name.isEmpty())
        s->SetName(name);
    Schedule();
    return s;
}

TQtChartSeries *TChart::Series(int index) const
{
    return index >= 0 && index < SeriesCount() ? FSeries[size_t(index)].get() : nullptr;
}

void TChart::SetTitle(const QString &title)
{
    FTitle = title;
    UpdateTitle();
}

void TChart::SetLegendVisible(bool visible)
{
    FLegendVisible = visible;
    Schedule();
}

QList<TChartLegendRow> TChart::LegendRows()
{
    Flush();
    return FLegendArea->isVisibleTo(this) ? FLegend->Rows() : QList<TChartLegendRow>();
}

void TChart::SetCompact(bool compact)
{
    FCompact = compact;
    ApplyLook();
    Schedule();
}

bool TChart::EmptyNoteVisible()
{
    Flush();
    return FNote->isVisibleTo(this);
}

QColor TChart::PaletteColor(int index)
{
    if (index < 0)
        index = 0;
    index %= c_paletteRounds * c_paletteSize;
    const QColor base = QColor::fromRgb(c_palette[index % c_paletteSize]);
    const int round = index / c_paletteSize;
    if (round == 0)
        return base;
    // Later rounds: the same tones turned round the colour wheel, alternately a little darker.
    float h, sat, val, a;
    base.getHsvF(&h, &sat, &val, &a);
    if (h < 0)
        h = 0;
    const float turned = std::fmod(h + 0.13f * float(round), 1.0f);
    const float value = round % 2 ? std::max(0.45f, val - 0.12f) : val;
    return QColor::fromHsvF(turned, std::clamp(sat, 0.25f, 0.55f), std::min(value, 0.82f));
}

QColor TChart::ToQColor(TColor color)
{
    if (color & 0xFF000000u)
        return {};
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

QString TChart::ShownLabel(const QString &label)
{
    return label.trimmed().isEmpty() ? QStringLiteral("—") : label;
}

void TChart::ApplyLook()
{
    const QFont axisFont = FCompact ? CompactAxisFont(font()) : font();
    QFont titleFont = font();
    titleFont.setBold(true);
    if (FCompact) {
        titleFont.setPixelSize(12);
        FChart->setMargins(QMargins(2, 2, 4, 2));
        FChart->layout()->setContentsMargins(0, 0, 0, 0);
    } else {
        titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
        FChart->setMargins(QMargins(8, 8, 12, 8));
        FChart->layout()->setContentsMargins(4, 4, 4, 4);
    }
    FAxisX->setLabelsFont(axisFont);
    FAxisY->setLabelsFont(axisFont);
    FChart->setTitleFont(titleFont);
    FNote->setFont(titleFont);
    update();
}

void TChart::Schedule()
{
    if (FScheduled)
        return;
    FScheduled = true;
    QMetaObject::invokeMethod(this, [this] { Flush(); }, Qt::QueuedConnection);
}

void TChart::Flush()
{
    if (!FScheduled)
        return;
    FScheduled = false;
    for (auto &s : FSeries)
        if (s->FDirty)
            s->Rebuild();
    for (auto &s : FSeries) {
        if (s->FActive == s->FAttached)
            continue;
        if (s->FActive) {
            FChart->addSeries(s->FQt);
            if (s->FKind != TSeriesKind::skPie) {
                s->FQt->attachAxis(FAxisX);
                s->FQt->attachAxis(FAxisY);
            }
        } else {
            FChart->removeSeries(s->FQt);
        }
        s->FAttached = s->FActive;
    }
    UpdateAxes();
    UpdateLegend();
    UpdateNote();
    UpdateTitle();
    UpdateMarks();
}

void TChart::UpdateAxes()
{
    const TQtChartSeries *labelsFrom = nullptr;
    bool any = false;
    double lo = 0, hi = 0;
    for (const auto &s : FSeries) {
        if (!s->FActive || s->FKind == TSeriesKind::skPie)
            continue;
        any = true;
        if (!labelsFrom || (labelsFrom->FKind != TSeriesKind::skBar && s->FKind == TSeriesKind::skBar))
            labelsFrom = s.get();
        for (const auto &p : s->FPoints) {
            lo = std::min(lo, p.Value);
            hi = std::max(hi, p.Value);
        }
    }
    FAxisX->setVisible(any);
    FAxisY->setVisible(any);
    if (!any) {
        FCategoryLabels.clear();
        UpdateCategories();
        return;
    }
    FCategoryLabels.clear();
    for (const auto &p : labelsFrom->FPoints)
        FCategoryLabels.append(p.Label);
    UpdateCategories();

    // Round the value range to a step of 1, 2, 2.5 or 5 times a power of ten.
    if (hi - lo <= 0)
        hi = lo + 1;
    const int ticks = FCompact ? 4 : 6;
    const double raw = (hi - lo) / (ticks - 1);
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    const double norm = raw / mag;
    const double step = (norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 2.5 ? 2.5 : norm <= 5 ? 5 : 10) * mag;
    const double min = std::floor(lo / step + 1e-9) * step;
    const double max = std::ceil(hi / step - 1e-9) * step;
    FAxisY->setRange(min, max);
    // Tick labels in the program's number format: grouped thousands, its separators.
    const int decimals = step >= 1 ? 0 : std::min(6, int(std::ceil(-std::log10(step) - 1e-9)));
    const QString format = decimals ? QStringLiteral(",0.") + QString(decimals, QLatin1Char('0')) : QStringLiteral(",0");
    for (const QString &label : FAxisY->categoriesLabels())
        FAxisY->remove(label);
    FAxisY->setStartValue(min);
    const int count = int(std::lround((max - min) / step));
    for (int i = 0; i <= count; ++i) {
        const double v = min + i * step;
        FAxisY->append(FormatFloat(format, std::fabs(v) < step * 1e-9 ? 0.0 : v), v);
    }
}

void TChart::UpdateCategories()
{
    for (const QString &label : FAxisX->categoriesLabels())
        FAxisX->remove(label);
    const int n = int(FCategoryLabels.size());
    FAxisX->setStartValue(-0.5);
    FAxisX->setRange(-0.5, std::max(0, n - 1) + 0.5);
    if (n == 0)
        return;
    // Labels sit on their points. Qt Charts draws each as rich text with a margin and cuts
    // it to the room between two labels, turned ones too: dense labels turn upright and
    // only every k-th point is labelled (the legend and the tooltip name every point).
    const QFont font = FCompact ? CompactAxisFont(this->font()) : this->font();
    const QFontMetrics fm(font);
    const int plotWidth = std::max(40, FView->width() - (FCompact ? 46 : 90));
    const double slot = double(plotWidth) / n;
    int widest = 0;
    for (const QString &label : FCategoryLabels)
        widest = std::max(widest, fm.horizontalAdvance(ShownLabel(label)));
    const bool level = widest + c_labelFrame <= slot || slot >= 60;
    const int every = level ? 1 : int(std::ceil((fm.height() + c_labelFrame) / slot));
    const int room = level ? int(slot) - c_labelFrame : (FCompact ? 48 : 110);
    FAxisX->setLabelsFont(font);
    FAxisX->setLabelsAngle(level ? 0 : -90);
    QHash<QString, int> seen;
    for (int i = 0; i < n; i += every) {
        QString text = fm.elidedText(ShownLabel(FCategoryLabels[i]), Qt::ElideRight, std::max(room, 8)).toHtmlEscaped();
        int &k = seen[text];
        if (k)
            text += QString(k, c_uniqueMark);
        ++k;
        FAxisX->append(text, i);
    }
}

void TChart::UpdateTitle()
{
    const QString shown = QFontMetrics(FChart->titleFont()).elidedText(FTitle, Qt::ElideRight, std::max(20, FView->width() - 24));
    FChart->setTitle(shown.toHtmlEscaped());
}

void TChart::UpdateLegend()
{
    QList<TChartLegendRow> rows;
    if (FLegendVisible) {
        for (auto &s : FSeries) {
            if (!s->FActive || (s->FKind != TSeriesKind::skPie && s->FKind != TSeriesKind::skBar))
                continue;
            for (int index : s->Order())
                rows.append({s->Color(index), ShownLabel(s->Label(index)), AmountText(s->Value(index))});
            break;
        }
    }
    FLegend->SetRows(rows);
    FLegendArea->setVisible(!rows.isEmpty());
    resizeEvent(nullptr);
}

void TChart::UpdateNote()
{
    bool drawn = false;
    for (const auto &s : FSeries) {
        if (!s->FActive)
            continue;
        for (const auto &p : s->FPoints)
            if (s->FKind != TSeriesKind::skPie || p.Value > 0) {
                drawn = true;
                break;
            }
    }
    FNote->setVisible(!drawn);
}

void TChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 0, height());
    back.setColorAt(0, Qt::white);
    back.setColorAt(1, FCompact ? QColor(0xF1, 0xF4, 0xF8) : QColor(0xE6, 0xE9, 0xEE));
    p.fillRect(rect(), back);
    if (!FCompact) {
        p.setPen(QPen(c_border, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

void TChart::resizeEvent(QResizeEvent *)
{
    const int w = width(), h = height();
    int legendW = 0;
    if (FLegendArea->isVisibleTo(this)) {
        const int cap = std::max(150, int(w * 0.42));
        const bool scroll = FLegend->sizeHint().height() > h - 16;
        legendW = std::min(FLegend->PreferredWidth() + (scroll ? FLegendArea->verticalScrollBar()->sizeHint().width() : 0), cap);
        const int legendH = std::min(h - 16, FLegend->sizeHint().height());
        FLegendArea->setGeometry(w - legendW - 10, (h - legendH) / 2, legendW, legendH);
        const int bar = scroll ? FLegendArea->verticalScrollBar()->sizeHint().width() : 0;
        FLegend->resize(legendW - bar, FLegend->sizeHint().height());
        legendW += 14;
    }
    const int inset = FCompact ? 0 : 1;
    FView->setGeometry(inset, inset, std::max(0, w - legendW - 2 * inset), std::max(0, h - 2 * inset));
    FNote->setGeometry(FView->rect());
    if (!FCategoryLabels.isEmpty())
        UpdateCategories();
    UpdateTitle();
}
