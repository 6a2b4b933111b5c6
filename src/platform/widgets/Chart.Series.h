#pragma once

#include "platform/ChartSeries.h"

#include <QColor>
#include <QString>

#include <memory>
#include <vector>

class QAbstractSeries;
class QAreaSeries;
class QLineSeries;
class QPieSeries;
class QStackedBarSeries;
class TChart;
class TSeriesBuilder;

enum class TSeriesKind { skPie, skBar, skArea, skLine };

// A series of a TChart. Keeps its points and draws them through one Qt Charts series:
// - pie: one slice per point, largest first (ties keep their order of addition);
//   negative values are drawn as empty slices, the legend shows them as they are;
// - bar: one bar per point in the order added, each in its own colour, the label
//   under the bar; drawn as a QStackedBarSeries with one QBarSet per colour, each set
//   Count() values long and 0 outside its own bars; sets are kept from one filling to
//   the next while their colour is still used;
// - area: filled down to the zero line, one point per value, labels under the points;
// - line: as area without the fill.
// Non-finite values are kept as 0. Changes reach the Qt Charts objects when the chart
// next runs its event loop, or at once through TChart::Flush() or the accessors below.
class TQtChartSeries : public TChartSeries
{
public:
    ~TQtChartSeries() override;

    void Clear() override;
    void AddPoint(double value, const QString &label, TColor color = clTeeColor) override;
    // An inactive series keeps its points but is not drawn and not in the legend.
    void SetActive(bool active) override;
    bool Active() const override;
    int Count() const override;

    TSeriesKind Kind() const { return FKind; }
    TChart *Chart() const { return FChart; }
    // Points as added.
    double Value(int index) const;
    QString Label(int index) const;
    TColor GivenColor(int index) const;
    // The colour the point is drawn in (palette colour for clTeeColor).
    QColor Color(int index) const;
    // Point indexes in drawing order (descending values for a pie).
    std::vector<int> Order() const;
    void SetName(const QString &name);
    QString Name() const;

    // The Qt Charts objects, up to date; nullptr for another kind.
    QAbstractSeries *QtSeries();
    QPieSeries *PieSeries();
    QStackedBarSeries *BarSeries();
    QAreaSeries *AreaSeries();
    QLineSeries *LineSeries();

private:
    friend class TChart;
    struct TPoint
    {
        double Value;
        QString Label;
        TColor Color;
    };

    TQtChartSeries(TChart *chart, TSeriesKind kind);
    // Brings the Qt Charts series up to the points.
    void Rebuild();
    void Touch();

    TChart *FChart;
    TSeriesKind FKind;
    std::unique_ptr<TSeriesBuilder> FBuilder;
    std::vector<TPoint> FPoints;
    bool FActive = true;
    bool FDirty = true;
    bool FAttached = false;
    QString FName;
    // Made by FBuilder. Owned while detached from the chart; the QChart owns it while attached.
    QAbstractSeries *FQt = nullptr;
};
