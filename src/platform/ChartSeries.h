#pragma once

#include <QString>
#include <QtGlobal>

// Colours: red in the low byte ($00BBGGRR); a high byte of $FF names a system colour.
using TColor = quint32;
// Lets the chart pick the next colour of its palette.
constexpr TColor clTeeColor = 0x20000000;

// What the model needs of a chart series; the widgets implement it on Qt Charts.
class TChartSeries
{
public:
    virtual ~TChartSeries() = default;
    virtual void Clear() = 0;
    virtual void AddPoint(double value, const QString &label, TColor color = clTeeColor) = 0;
    virtual void SetActive(bool active) = 0;
    virtual bool Active() const = 0;
    virtual int Count() const = 0;
};
