#pragma once

#include "platform/ChartSeries.h"

#include <QString>
#include <QStringList>
#include <vector>

// A chart series that keeps what it was given, for tests of code that fills charts.
class TRecordingSeries : public TChartSeries
{
public:
    struct TPoint
    {
        double Value;
        QString Label;
        TColor Color;
    };

    void Clear() override
    {
        Points.clear();
        ++ClearCount;
    }
    void AddPoint(double value, const QString &label, TColor color = clTeeColor) override
    {
        Points.push_back(TPoint{value, label, color});
    }
    void SetActive(bool active) override { FActive = active; }
    bool Active() const override { return FActive; }
    int Count() const override { return int(Points.size()); }

    QStringList Labels() const
    {
        QStringList result;
        for (const TPoint &p : Points)
            result << p.Label;
        return result;
    }
    std::vector<double> Values() const
    {
        std::vector<double> result;
        for (const TPoint &p : Points)
            result.push_back(p.Value);
        return result;
    }

    std::vector<TPoint> Points;
    int ClearCount = 0;

private:
    bool FActive = false;
};
