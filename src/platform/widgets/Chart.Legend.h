#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

// One row of the legend: colour, label (empty labels shown as a dash) and value text.
struct TChartLegendRow
{
    QColor Color;
    QString Label;
    QString Value;
};

// The legend beside a chart's plot: a framed list of colour swatches, labels elided to
// the width given and values right-aligned.
class TChartLegend : public QWidget
{
public:
    explicit TChartLegend(QWidget *parent);

    void SetRows(QList<TChartLegendRow> rows);
    const QList<TChartLegendRow> &Rows() const { return FRows; }

    int RowHeight() const;
    int ValueWidth() const;
    // Width that shows every label whole (capped by the chart).
    int PreferredWidth() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    static constexpr int c_pad = 8;
    static constexpr int c_swatch = 11;
    static constexpr int c_gap = 6;
    QList<TChartLegendRow> FRows;
};
