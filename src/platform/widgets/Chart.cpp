#include "platform/widgets/Chart.h"

#include "platform/Format.h"

#include <QAreaSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPainterPath>
#include <QPieSeries>
#include <QPieSlice>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Calm, distinct colours for the first ten points.
const QRgb c_palette[] = {0x4E79A7, 0xF28E2B, 0xE15759, 0x76B7B2, 0x59A14F,
                          0xEDC948, 0xB07AA1, 0xFF9DA7, 0x9C755F, 0xBAB0AC};
constexpr int c_paletteSize = int(sizeof c_palette / sizeof c_palette[0]);
constexpr int c_paletteRounds = 3; // then the colours repeat
const QChar c_uniqueMark(0x200B); // zero-width space keeps equal categories apart
const QColor c_ink(0x33, 0x3B, 0x45);
const QColor c_grid(0xD5, 0xDA, 0xE1);
const QColor c_border(0xB8, 0xBF, 0xC8);

constexpr int c_labelFrame = 13; // text margins and padding Qt Charts adds to a label

QFont CompactAxisFont(QFont font)
{
    font.setPixelSize(10);
    return font;
}

QString AmountText(double value)
{
    return FormatFloat(QStringLiteral(",0.00"), value);
}

double Sane(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

} // namespace

// ---- legend

class TChartLegend : public QWidget
{
public:
    explicit TChartLegend(QWidget *parent)
        : QWidget(parent)
    {
        setAutoFillBackground(false);
    }

    void SetRows(QList<TChartLegendRow> rows)
    {
        FRows = std::move(rows);
        updateGeometry();
        update();
    }
    const QList<TChartLegendRow> &Rows() const { return FRows; }

    int RowHeight() const { return fontMetrics().height() + 6; }
    int ValueWidth() const
    {
        int w = 0;
        for (const TChartLegendRow &r : FRows)
            w = std::max(w, fontMetrics().horizontalAdvance(r.Value));
        return w;
    }
    // Width that shows every label whole (capped by the chart).
    int PreferredWidth() const
    {
        int label = 0;
        for (const TChartLegendRow &r : FRows)
            label = std::max(label, fontMetrics().horizontalAdvance(r.Label));
        return c_pad + c_swatch + c_gap + label + c_gap * 2 + ValueWidth() + c_pad;
    }
    QSize sizeHint() const override
    {
        return QSize(PreferredWidth(), int(FRows.size()) * RowHeight() + 2 * c_pad);
    }
    QSize minimumSizeHint() const override { return QSize(0, sizeHint().height()); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (FRows.isEmpty())
            return;
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(QPen(c_border, 1));
        p.setBrush(QColor(255, 255, 255, 51));
        p.drawRoundedRect(frame, 6, 6);

        const QFontMetrics fm = fontMetrics();
        const int rowH = RowHeight();
        const int valueW = ValueWidth();
        const int valueX = width() - c_pad - valueW;
        const int labelX = c_pad + c_swatch + c_gap;
        const int labelW = std::max(0, valueX - c_gap * 2 - labelX);
        int y = c_pad;
        for (const TChartLegendRow &r : FRows) {
            const QRectF swatch(c_pad, y + (rowH - c_swatch) / 2.0, c_swatch, c_swatch);
            p.setPen(Qt::NoPen);
            p.setBrush(r.Color);
            p.drawRoundedRect(swatch, 2, 2);
            p.setPen(c_ink);
            p.drawText(QRect(labelX, y, labelW, rowH), Qt::AlignLeft | Qt::AlignVCenter,
                       fm.elidedText(r.Label, Qt::ElideRight, labelW));
            p.drawText(QRect(valueX, y, valueW, rowH), Qt::AlignRight | Qt::AlignVCenter, r.Value);
            y += rowH;
        }
    }

private:
    static constexpr int c_pad = 8;
    static constexpr int c_swatch = 11;
    static constexpr int c_gap = 6;
    QList<TChartLegendRow> FRows;
};

// ---- series

TQtChartSeries::TQtChartSeries(TChart *chart, TSeriesKind kind)
    : FChart(chart)
    , FKind(kind)
{
    switch (kind) {
    case TSeriesKind::skPie: {
        auto *pie = new QPieSeries;
        pie->setPieSize(0.82);
        FQt = pie;
        break;
    }
    case TSeriesKind::skBar: {
        auto *bars = new QStackedBarSeries;
        bars->setBarWidth(0.7);
        FQt = bars;
        break;
    }
    case TSeriesKind::skArea: {
        auto *area = new QAreaSeries;
        FUpper = new QLineSeries(area);
        FLower = new QLineSeries(area);
        area->setUpperSeries(FUpper);
        area->setLowerSeries(FLower);
        area->setPointsVisible(false);
        FQt = area;
        break;
    }
    case TSeriesKind::skLine: {
        auto *line = new QLineSeries;
        FQt = line;
        break;
    }
    }
}

TQtChartSeries::~TQtChartSeries()
{
    if (FAttached && FChart && FChart->FChart)
        FChart->FChart->removeSeries(FQt);
    delete FQt;
}

void TQtChartSeries::Touch()
{
    FDirty = true;
    FChart->Schedule();
}

void TQtChartSeries::Clear()
{
    FPoints.clear();
    FPoints.shrink_to_fit();
    Touch();
}

void TQtChartSeries::AddPoint(double value, const QString &label, TColor color)
{
    FPoints.push_back({Sane(value), label, color});
    Touch();
}

void TQtChartSeries::SetActive(bool active)
{
    if (FActive == active)
        return;
    FActive = active;
    FChart->Schedule();
}

bool TQtChartSeries::Active() const
{
    return FActive;
}

int TQtChartSeries::Count() const
{
    return int(FPoints.size());
}

double TQtChartSeries::Value(int index) const
{
    return index >= 0 && index < Count() ? FPoints[size_t(index)].Value : 0.0;
}

QString TQtChartSeries::Label(int index) const
{
    return index >= 0 && index < Count() ? FPoints[size_t(index)].Label : QString();
}

std::vector<int> TQtChartSeries::Order() const
{
    std::vector<int> order(FPoints.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    if (FKind == TSeriesKind::skPie)
        std::stable_sort(order.begin(), order.end(),
                         [this](int a, int b) { return FPoints[size_t(a)].Value > FPoints[size_t(b)].Value; });
    return order;
}

QColor TQtChartSeries::Color(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    const QColor own = TChart::ToQColor(FPoints[size_t(index)].Color);
    if (own.isValid())
        return own;
    if (FKind == TSeriesKind::skArea || FKind == TSeriesKind::skLine)
        return TChart::PaletteColor(0);
    int rank = index;
    if (FKind == TSeriesKind::skPie) {
        const std::vector<int> order = Order();
        rank = int(std::find(order.begin(), order.end(), index) - order.begin());
    }
    return TChart::PaletteColor(rank);
}

void TQtChartSeries::SetName(const QString &name)
{
    FName = name;
    FQt->setName(name);
}

QString TQtChartSeries::Name() const
{
    return FName;
}

QAbstractSeries *TQtChartSeries::QtSeries()
{
    FChart->Flush();
    return FQt;
}

QPieSeries *TQtChartSeries::PieSeries()
{
    return FKind == TSeriesKind::skPie ? static_cast<QPieSeries *>(QtSeries()) : nullptr;
}

QStackedBarSeries *TQtChartSeries::BarSeries()
{
    return FKind == TSeriesKind::skBar ? static_cast<QStackedBarSeries *>(QtSeries()) : nullptr;
}

QAreaSeries *TQtChartSeries::AreaSeries()
{
    return FKind == TSeriesKind::skArea ? static_cast<QAreaSeries *>(QtSeries()) : nullptr;
}

QLineSeries *TQtChartSeries::LineSeries()
{
    return FKind == TSeriesKind::skLine ? static_cast<QLineSeries *>(QtSeries()) : nullptr;
}

void TQtChartSeries::Rebuild()
{
    TChart *chart = FChart;
    switch (FKind) {
    case TSeriesKind::skPie: {
        auto *pie = static_cast<QPieSeries *>(FQt);
        pie->clear();
        const std::vector<int> order = Order();
        QList<QPieSlice *> slices;
        slices.reserve(qsizetype(order.size()));
        for (size_t rank = 0; rank < order.size(); ++rank) {
            const int index = order[rank];
            const TPoint &pt = FPoints[size_t(index)];
            auto *slice = new QPieSlice(pt.Label, std::max(0.0, pt.Value));
            QColor c = TChart::ToQColor(pt.Color);
            slice->setColor(c.isValid() ? c : TChart::PaletteColor(int(rank)));
            slice->setBorderColor(Qt::white);
            slice->setBorderWidth(1);
            slice->setLabelVisible(chart->FMarks);
            if (chart->FMarks) {
                slice->setLabel((TChart::ShownLabel(pt.Label) + QStringLiteral(": ") + AmountText(pt.Value)).toHtmlEscaped());
                slice->setLabelColor(c_ink);
                slice->setLabelArmLengthFactor(0.08);
            }
            slice->setExplodeDistanceFactor(0.04);
            QObject::connect(slice, &QPieSlice::hovered, chart, [chart, this, slice, index](bool on) {
                slice->setExploded(on);
                if (on)
                    chart->ShowPointTip(this, index);
                else
                    QToolTip::hideText();
            });
            slices.append(slice);
        }
        pie->append(slices);
        break;
    }
    case TSeriesKind::skBar: {
        // One set per colour, zero outside its own bars: a colour per bar without a set per
        // bar. Sets are kept from one filling to the next (Qt Charts grows with every set
        // it has to create and drop); a set whose colour is no longer used goes.
        auto *bars = static_cast<QStackedBarSeries *>(FQt);
        const int n = Count();
        std::vector<std::vector<double>> wanted(FBarSets.size(), std::vector<double>(size_t(n), 0.0));
        std::vector<bool> used(FBarSets.size(), false);
        for (int i = 0; i < n; ++i) {
            const QRgb c = Color(i).rgba();
            size_t k = 0;
            while (k < FBarSets.size() && FBarSets[k].first != c)
                ++k;
            if (k == FBarSets.size()) {
                auto *set = new QBarSet(FName);
                set->setColor(QColor::fromRgba(c));
                set->setBorderColor(QColor::fromRgba(c));
                set->setPen(Qt::NoPen);
                QObject::connect(set, &QBarSet::hovered, chart, [chart, this](bool on, int index) {
                    if (on)
                        chart->ShowPointTip(this, index);
                    else
                        QToolTip::hideText();
                });
                bars->append(set);
                FBarSets.emplace_back(c, set);
                wanted.emplace_back(size_t(n), 0.0);
                used.push_back(false);
            }
            used[k] = true;
            wanted[k][size_t(i)] = FPoints[size_t(i)].Value;
        }
        for (size_t k = FBarSets.size(); k-- > 0;) {
            QBarSet *set = FBarSets[k].second;
            const std::vector<double> &values = wanted[k];
            if (!used[k]) {
                bars->remove(set);
                FBarSets.erase(FBarSets.begin() + std::ptrdiff_t(k));
                continue;
            }
            if (set->count() != n) {
                set->remove(0, set->count());
                set->append(QList<qreal>(values.begin(), values.end()));
                continue;
            }
            for (int i = 0; i < n; ++i)
                if (set->at(i) != values[size_t(i)])
                    set->replace(i, values[size_t(i)]);
        }
        break;
    }
    case TSeriesKind::skArea: {
        auto *area = static_cast<QAreaSeries *>(FQt);
        QList<QPointF> upper, lower;
        for (int i = 0; i < Count(); ++i) {
            upper.append(QPointF(i, FPoints[size_t(i)].Value));
            lower.append(QPointF(i, 0));
        }
        FUpper->replace(upper);
        FLower->replace(lower);
        const QColor c = Count() ? Color(0) : TChart::PaletteColor(0);
        QLinearGradient fill(QPointF(0, 0), QPointF(0, 1));
        fill.setCoordinateMode(QGradient::ObjectBoundingMode);
        QColor top = c;
        top.setAlphaF(0.61);
        QColor bottom = Qt::white;
        bottom.setAlphaF(0.61);
        fill.setColorAt(0, top);
        fill.setColorAt(1, bottom);
        area->setBrush(fill);
        area->setPen(QPen(c.darker(110), 2));
        break;
    }
    case TSeriesKind::skLine: {
        auto *line = static_cast<QLineSeries *>(FQt);
        QList<QPointF> pts;
        for (int i = 0; i < Count(); ++i)
            pts.append(QPointF(i, FPoints[size_t(i)].Value));
        line->replace(pts);
        line->setPen(QPen(Count() ? Color(0) : TChart::PaletteColor(0), 2));
        break;
    }
    }
    FDirty = false;
}

// ---- chart

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

void TChart::ShowPointTip(const TQtChartSeries *series, int index)
{
    QString text = ShownLabel(series->Label(index)) + QStringLiteral(": ") + AmountText(series->Value(index));
    if (series->FKind == TSeriesKind::skPie) {
        double total = 0;
        for (const auto &p : series->FPoints)
            total += std::max(0.0, p.Value);
        if (total > 0)
            text += QStringLiteral(" (%1 %)").arg(FormatFloat(QStringLiteral("0.0"), 100.0 * std::max(0.0, series->Value(index)) / total));
    }
    QToolTip::showText(QCursor::pos(), text, FView);
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
