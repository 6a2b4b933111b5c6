#pragma once

#include "platform/ChartSeries.h"

#include <QColor>
#include <QList>
#include <QWidget>

#include <memory>
#include <vector>

class QAbstractSeries;
class QAreaSeries;
class QBarSet;
class QChart;
class QCategoryAxis;
class QChartView;
class QGraphicsSimpleTextItem;
class QLabel;
class QLineSeries;
class QPieSeries;
class QScrollArea;
class QStackedBarSeries;
class TChart;
class TChartLegend;

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
    // The colour the point is drawn in (palette colour for clTeeColor).
    QColor Color(int index) const;
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
    void Rebuild();
    // Point indexes in drawing order (descending values for a pie).
    std::vector<int> Order() const;
    void Touch();

    TChart *FChart;
    TSeriesKind FKind;
    std::vector<TPoint> FPoints;
    bool FActive = true;
    bool FDirty = true;
    bool FAttached = false;
    QString FName;
    // Owned while detached from the chart; the QChart owns it while attached.
    QAbstractSeries *FQt = nullptr;
    QLineSeries *FUpper = nullptr; // area outline
    QLineSeries *FLower = nullptr; // area base at zero
    std::vector<std::pair<QRgb, QBarSet *>> FBarSets; // bar sets by colour, owned by FQt
};

// One row of the legend: colour, label (empty labels shown as a dash) and value text.
struct TChartLegendRow
{
    QColor Color;
    QString Label;
    QString Value;
};

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
    void ShowPointTip(const TQtChartSeries *series, int index);
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
