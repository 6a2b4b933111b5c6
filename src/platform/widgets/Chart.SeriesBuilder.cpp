#include "platform/widgets/Chart.SeriesBuilder.h"

#include "platform/widgets/Chart.Look.h"
#include "platform/widgets/Chart.h"

#include <QAreaSeries>
#include <QBarSet>
#include <QChartView>
#include <QCursor>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QStackedBarSeries>
#include <QToolTip>

#include <algorithm>

using namespace ChartLook;

QColor TSeriesBuilder::AutoColor(const TQtChartSeries &series, int index) const
{
    return TChart::PaletteColor(index);
}

QString TSeriesBuilder::TipText(const TQtChartSeries &series, int index) const
{
    return TChart::ShownLabel(series.Label(index)) + QStringLiteral(": ") + AmountText(series.Value(index));
}

void TSeriesBuilder::ShowTip(const TQtChartSeries &series, int index, bool on) const
{
    if (on)
        QToolTip::showText(QCursor::pos(), TipText(series, index), series.Chart()->View());
    else
        QToolTip::hideText();
}

namespace {

// One slice per point, largest first, palette colours by rank; marks as slice labels.
class TPieBuilder : public TSeriesBuilder
{
public:
    TPieBuilder()
        : TSeriesBuilder(new QPieSeries)
    {
        Pie()->setPieSize(0.82);
    }

    bool LargestFirst() const override { return true; }

    QColor AutoColor(const TQtChartSeries &series, int index) const override
    {
        const std::vector<int> order = series.Order();
        return TChart::PaletteColor(int(std::find(order.begin(), order.end(), index) - order.begin()));
    }

    void Fill(const TQtChartSeries &series) override
    {
        QPieSeries *pie = Pie();
        pie->clear();
        const bool marks = series.Chart()->MarksVisible();
        const std::vector<int> order = series.Order();
        QList<QPieSlice *> slices;
        slices.reserve(qsizetype(order.size()));
        for (size_t rank = 0; rank < order.size(); ++rank) {
            const int index = order[rank];
            const QString label = series.Label(index);
            const double value = series.Value(index);
            auto *slice = new QPieSlice(label, std::max(0.0, value));
            const QColor own = TChart::ToQColor(series.GivenColor(index));
            slice->setColor(own.isValid() ? own : TChart::PaletteColor(int(rank)));
            slice->setBorderColor(Qt::white);
            slice->setBorderWidth(1);
            slice->setLabelVisible(marks);
            if (marks) {
                slice->setLabel((TChart::ShownLabel(label) + QStringLiteral(": ") + AmountText(value)).toHtmlEscaped());
                slice->setLabelColor(c_ink);
                slice->setLabelArmLengthFactor(0.08);
            }
            slice->setExplodeDistanceFactor(0.04);
            QObject::connect(slice, &QPieSlice::hovered, series.Chart(), [this, &series, slice, index](bool on) {
                slice->setExploded(on);
                ShowTip(series, index, on);
            });
            slices.append(slice);
        }
        pie->append(slices);
    }

protected:
    // With the point's share of all positive values.
    QString TipText(const TQtChartSeries &series, int index) const override
    {
        QString text = TSeriesBuilder::TipText(series, index);
        double total = 0;
        for (int i = 0; i < series.Count(); ++i)
            total += std::max(0.0, series.Value(i));
        if (total > 0)
            text += QStringLiteral(" (%1 %)").arg(FormatFloat(QStringLiteral("0.0"), 100.0 * std::max(0.0, series.Value(index)) / total));
        return text;
    }

private:
    QPieSeries *Pie() const { return static_cast<QPieSeries *>(QtSeries()); }
};

// One bar per point in the order added, each in its own colour. One set per colour,
// zero outside its own bars: a colour per bar without a set per bar. Sets are kept from
// one filling to the next (Qt Charts grows with every set it has to create and drop);
// a set whose colour is no longer used goes.
class TBarBuilder : public TSeriesBuilder
{
public:
    TBarBuilder()
        : TSeriesBuilder(new QStackedBarSeries)
    {
        Bars()->setBarWidth(0.7);
    }

    void Fill(const TQtChartSeries &series) override
    {
        QStackedBarSeries *bars = Bars();
        const int n = series.Count();
        std::vector<std::vector<double>> wanted(FSets.size(), std::vector<double>(size_t(n), 0.0));
        std::vector<bool> used(FSets.size(), false);
        for (int i = 0; i < n; ++i) {
            const QRgb c = series.Color(i).rgba();
            size_t k = 0;
            while (k < FSets.size() && FSets[k].first != c)
                ++k;
            if (k == FSets.size()) {
                auto *set = new QBarSet(series.Name());
                set->setColor(QColor::fromRgba(c));
                set->setBorderColor(QColor::fromRgba(c));
                set->setPen(Qt::NoPen);
                QObject::connect(set, &QBarSet::hovered, series.Chart(),
                                 [this, &series](bool on, int index) { ShowTip(series, index, on); });
                bars->append(set);
                FSets.emplace_back(c, set);
                wanted.emplace_back(size_t(n), 0.0);
                used.push_back(false);
            }
            used[k] = true;
            wanted[k][size_t(i)] = series.Value(i);
        }
        for (size_t k = FSets.size(); k-- > 0;) {
            QBarSet *set = FSets[k].second;
            const std::vector<double> &values = wanted[k];
            if (!used[k]) {
                bars->remove(set);
                FSets.erase(FSets.begin() + std::ptrdiff_t(k));
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
    }

private:
    QStackedBarSeries *Bars() const { return static_cast<QStackedBarSeries *>(QtSeries()); }

    std::vector<std::pair<QRgb, QBarSet *>> FSets; // by colour, owned by the bar series
};

// Area and line: one point per value at x = its index, drawn in one colour.
class TPlotBuilder : public TSeriesBuilder
{
public:
    QColor AutoColor(const TQtChartSeries &, int) const override { return TChart::PaletteColor(0); }

protected:
    using TSeriesBuilder::TSeriesBuilder;

    static QList<QPointF> Points(const TQtChartSeries &series)
    {
        QList<QPointF> points;
        for (int i = 0; i < series.Count(); ++i)
            points.append(QPointF(i, series.Value(i)));
        return points;
    }
    static QColor LineColor(const TQtChartSeries &series)
    {
        return series.Count() ? series.Color(0) : TChart::PaletteColor(0);
    }
};

// Filled from the points down to the zero line.
class TAreaBuilder : public TPlotBuilder
{
public:
    TAreaBuilder()
        : TPlotBuilder(new QAreaSeries)
    {
        auto *area = Area();
        FUpper = new QLineSeries(area);
        FLower = new QLineSeries(area);
        area->setUpperSeries(FUpper);
        area->setLowerSeries(FLower);
        area->setPointsVisible(false);
    }

    void Fill(const TQtChartSeries &series) override
    {
        const QList<QPointF> upper = Points(series);
        QList<QPointF> lower;
        for (const QPointF &p : upper)
            lower.append(QPointF(p.x(), 0));
        FUpper->replace(upper);
        FLower->replace(lower);
        const QColor c = LineColor(series);
        QLinearGradient fill(QPointF(0, 0), QPointF(0, 1));
        fill.setCoordinateMode(QGradient::ObjectBoundingMode);
        QColor top = c;
        top.setAlphaF(0.61);
        QColor bottom = Qt::white;
        bottom.setAlphaF(0.61);
        fill.setColorAt(0, top);
        fill.setColorAt(1, bottom);
        Area()->setBrush(fill);
        Area()->setPen(QPen(c.darker(110), 2));
    }

private:
    QAreaSeries *Area() const { return static_cast<QAreaSeries *>(QtSeries()); }

    QLineSeries *FUpper; // outline, owned by the area
    QLineSeries *FLower; // base at zero, owned by the area
};

class TLineBuilder : public TPlotBuilder
{
public:
    TLineBuilder()
        : TPlotBuilder(new QLineSeries)
    {
    }

    void Fill(const TQtChartSeries &series) override
    {
        auto *line = static_cast<QLineSeries *>(QtSeries());
        line->replace(Points(series));
        line->setPen(QPen(LineColor(series), 2));
    }
};

} // namespace

std::unique_ptr<TSeriesBuilder> TSeriesBuilder::Make(TSeriesKind kind)
{
    switch (kind) {
    case TSeriesKind::skPie:
        return std::make_unique<TPieBuilder>();
    case TSeriesKind::skBar:
        return std::make_unique<TBarBuilder>();
    case TSeriesKind::skArea:
        return std::make_unique<TAreaBuilder>();
    case TSeriesKind::skLine:
        return std::make_unique<TLineBuilder>();
    }
    Q_UNREACHABLE();
    return nullptr;
}
