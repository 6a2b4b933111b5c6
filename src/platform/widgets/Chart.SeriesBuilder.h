#pragma once

#include "platform/widgets/Chart.Series.h"

#include <QColor>
#include <QString>

#include <memory>

class QAbstractSeries;

// Draws one kind of TQtChartSeries on Qt Charts: makes the Qt Charts series and fills
// it from the series' points. One builder per kind.
class TSeriesBuilder
{
public:
    static std::unique_ptr<TSeriesBuilder> Make(TSeriesKind kind);
    virtual ~TSeriesBuilder() = default;

    // The Qt Charts series made with the builder; its owner is the TQtChartSeries.
    QAbstractSeries *QtSeries() const { return FQt; }
    // Replaces what the Qt Charts series draws with the points of `series`.
    virtual void Fill(const TQtChartSeries &series) = 0;
    // True where points are drawn largest first instead of in the order added.
    virtual bool LargestFirst() const { return false; }
    // The colour of a point that has none of its own.
    virtual QColor AutoColor(const TQtChartSeries &series, int index) const;

protected:
    explicit TSeriesBuilder(QAbstractSeries *qt)
        : FQt(qt)
    {
    }
    // The text shown while the pointer rests on a point.
    virtual QString TipText(const TQtChartSeries &series, int index) const;
    // Shows the tip of a point while `on`, hides it after.
    void ShowTip(const TQtChartSeries &series, int index, bool on) const;

private:
    QAbstractSeries *FQt;
};
