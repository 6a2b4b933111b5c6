#pragma once

#include "platform/widgets/Chart.Legend.h"
#include "platform/widgets/Chart.Series.h"

#include <QColor>
#include <QList>
#include <QWidget>

#include <memory>
#include <vector>

class QCategoryAxis;
class QChart;
class QChartView;
class QGraphicsSimpleTextItem;
class QLabel;
class QScrollArea;

// The chart widget: a QChartView with its QChart, antialiased, a calm palette,
// category axis at the bottom and value axis on the left for bar, area and line
// series, and an optional legend beside the plot listing the points of the first
// active pie or bar series as label and right-aligned value (two decimals, thousands
// separated, FormatSettings' separators). Long labels are elided; an empty chart
// says "Нет данных".
class TChart : public QWidget
{
    Q_OBJECT
public:
    explicit TChart(QWidget *parent = nullptr);
    ~TChart() override;

    // A new series, drawn once active; owned by the chart.
    TQtChartSeries *AddSeries(TSeriesKind kind, const QString &name = QString(), bool active = true);
    int SeriesCount() const { return int(FSeries.size()); }
    TQtChartSeries *Series(int index) const;

    void SetTitle(const QString &title);
    QString Title() const { return FTitle; }
    void SetLegendVisible(bool visible);
    bool LegendVisible() const { return FLegendVisible; }
    QList<TChartLegendRow> LegendRows();
    // The small side-panel look: no margins, small axis labels, smaller title.
    void SetCompact(bool compact);
    bool Compact() const { return FCompact; }
    // Marks: the value over every bar and point, label and value beside every slice
    // (off by default).
    void SetMarksVisible(bool visible);
    bool MarksVisible() const { return FMarks; }
    // The mark texts drawn, in series and point order (marks that would overlap are left out).
    QStringList MarkTexts();

    QChart *Chart() const { return FChart; }
    // Axes of bar, area and line series. AxisX holds one label per labelled point with the
    // point's index as its end value; labels are elided, HTML-escaped and made unique with
    // zero-width spaces (U+200B); dense points are labelled every k-th.
    QChartView *View() const { return FView; }
    QCategoryAxis *AxisY() const { return FAxisY; }
    QCategoryAxis *AxisX() const { return FAxisX; }
    // True while the "Нет данных" note is shown.
    bool EmptyNoteVisible();
    // Applies pending point and switch changes to the Qt Charts objects now.
    void Flush();

    // The automatic colour for point `index`: 30 distinct colours, then again.
    static QColor PaletteColor(int index);
    // $00BBGGRR to QColor; invalid for clTeeColor and system colours.
    static QColor ToQColor(TColor color);
    // The label as shown: a dash for an empty one.
    static QString ShownLabel(const QString &label);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class TQtChartSeries;
    void Schedule();
    void UpdateAxes();
    void UpdateCategories();
    void UpdateTitle();
    void UpdateLegend();
    void UpdateNote();
    void ApplyLook();
    void UpdateMarks();
    void PlaceMarks();

    QChartView *FView = nullptr;
    QChart *FChart = nullptr;
    QCategoryAxis *FAxisX = nullptr;
    QCategoryAxis *FAxisY = nullptr;
    QScrollArea *FLegendArea = nullptr;
    TChartLegend *FLegend = nullptr;
    QLabel *FNote = nullptr;
    std::vector<std::unique_ptr<TQtChartSeries>> FSeries;
    QStringList FCategoryLabels;
    QString FTitle;
    bool FLegendVisible = false;
    bool FCompact = false;
    bool FMarks = false;
    struct TMark
    {
        QGraphicsSimpleTextItem *Item;
        const TQtChartSeries *Series;
        int Index;
    };
    std::vector<TMark> FMarkItems; // owned by the chart's scene
    bool FScheduled = false;
};
