#include "platform/widgets/Chart.Series.h"

#include "platform/widgets/Chart.SeriesBuilder.h"
#include "platform/widgets/Chart.h"

#include <QAreaSeries>
#include <QChart>
#include <QLineSeries>
#include <QPieSeries>
#include <QStackedBarSeries>

#include <algorithm>
#include <cmath>

namespace {

double Sane(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

} // namespace

TQtChartSeries::TQtChartSeries(TChart *chart, TSeriesKind kind)
    : FChart(chart)
    , FKind(kind)
    , FBuilder(TSeriesBuilder::Make(kind))
    , FQt(FBuilder->QtSeries())
{
}

TQtChartSeries::~TQtChartSeries()
{
    if (FAttached && FChart && FChart->Chart())
        FChart->Chart()->removeSeries(FQt);
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

TColor TQtChartSeries::GivenColor(int index) const
{
    return index >= 0 && index < Count() ? FPoints[size_t(index)].Color : clTeeColor;
}

std::vector<int> TQtChartSeries::Order() const
{
    std::vector<int> order(FPoints.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    if (FBuilder->LargestFirst())
        std::stable_sort(order.begin(), order.end(),
                         [this](int a, int b) { return FPoints[size_t(a)].Value > FPoints[size_t(b)].Value; });
    return order;
}

QColor TQtChartSeries::Color(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    const QColor own = TChart::ToQColor(GivenColor(index));
    return own.isValid() ? own : FBuilder->AutoColor(*this, index);
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
    FBuilder->Fill(*this);
    FDirty = false;
}
