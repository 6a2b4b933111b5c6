#include "platform/widgets/Chart.h"

#include "platform/DateTime.h"
#include "platform/Format.h"

#include <QAreaSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QPointer>
#include <QStackedBarSeries>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

#include <limits>
#include <set>

static void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

class ChartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FSaved = FormatSettings();
        FormatSettings().DecimalSeparator = QLatin1Char(',');
        FormatSettings().ThousandSeparator = QLatin1Char(' ');
        FChart.resize(760, 460);
        FChart.show();
    }
    void TearDown() override { FormatSettings() = FSaved; }

    struct TBar
    {
        double Value;
        QColor Color;
    };
    // What the Qt Charts objects draw at each category: the one set with a bar there.
    static std::vector<TBar> Bars(QStackedBarSeries *series, int count)
    {
        std::vector<TBar> bars(size_t(count), TBar{0, QColor()});
        for (QBarSet *set : series->barSets()) {
            EXPECT_EQ(set->count(), count);
            for (int i = 0; i < set->count() && i < count; ++i)
                if (set->at(i) != 0) {
                    EXPECT_FALSE(bars[size_t(i)].Color.isValid()) << "two sets at " << i;
                    bars[size_t(i)] = {set->at(i), set->color()};
                }
        }
        return bars;
    }
    // Category labels in position order, without the marks that keep equal ones apart.
    QStringList Categories()
    {
        FChart.Flush();
        QCategoryAxis *axis = FChart.AxisX();
        QStringList labels = axis->categoriesLabels();
        std::sort(labels.begin(), labels.end(),
                  [axis](const QString &a, const QString &b) { return axis->endValue(a) < axis->endValue(b); });
        for (QString &l : labels)
            l.remove(QChar(0x200B));
        return labels;
    }

    TFormatSettings FSaved;
    TChart FChart;
};

TEST_F(ChartTest, PieSlicesLargestFirstWithLegendOfLabelsAndValues)
{
    TQtChartSeries *pie = FChart.AddSeries(TSeriesKind::skPie);
    FChart.SetLegendVisible(true);
    pie->AddPoint(4300, QStringLiteral("Транспорт"));
    pie->AddPoint(32000, QStringLiteral("Квартира"));
    pie->AddPoint(18450.5, QStringLiteral("Продукты"));
    pie->AddPoint(4300, QStringLiteral("Связь")); // tie: stays after "Транспорт"
    pie->AddPoint(1200, QStringLiteral("Книги"), 0x0000FF);  // own colour: red

    QPieSeries *qt = pie->PieSeries();
    ASSERT_NE(qt, nullptr);
    const QStringList labels{"Квартира", "Продукты", "Транспорт", "Связь", "Книги"};
    const double values[] = {32000, 18450.5, 4300, 4300, 1200};
    ASSERT_EQ(qt->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(qt->slices()[i]->label(), labels[i]);
        EXPECT_EQ(qt->slices()[i]->value(), values[i]);
        EXPECT_FALSE(qt->slices()[i]->isLabelVisible());
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(qt->slices()[i]->color(), TChart::PaletteColor(i)) << i;
    EXPECT_EQ(qt->slices()[4]->color(), QColor(255, 0, 0));
    // Points keep their order of addition and know their drawn colour.
    EXPECT_EQ(pie->Label(0), QStringLiteral("Транспорт"));
    EXPECT_EQ(pie->Color(1), TChart::PaletteColor(0));

    const QList<TChartLegendRow> rows = FChart.LegendRows();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].Label, QStringLiteral("Квартира"));
    EXPECT_EQ(rows[0].Value, QStringLiteral("32 000,00"));
    EXPECT_EQ(rows[1].Value, QStringLiteral("18 450,50"));
    EXPECT_EQ(rows[4].Value, QStringLiteral("1 200,00"));
    EXPECT_EQ(rows[4].Color, QColor(255, 0, 0));
    EXPECT_TRUE(FChart.Chart()->series().contains(qt));
    EXPECT_FALSE(FChart.AxisX()->isVisible());
    EXPECT_FALSE(FChart.EmptyNoteVisible());
}

TEST_F(ChartTest, BarsInOrderAddedEachInItsOwnColourLabelledUnderneath)
{
    TQtChartSeries *bar = FChart.AddSeries(TSeriesKind::skBar);
    const QStringList labels{"2011.11", "12", "2012.1", "2", "12"}; // equal labels stay apart
    const double values[] = {5400, 7200.5, 0, 4800, 6100};
    for (int i = 0; i < 5; ++i)
        bar->AddPoint(values[i], labels[i]);

    QStackedBarSeries *qt = bar->BarSeries();
    ASSERT_NE(qt, nullptr);
    const std::vector<TBar> bars = Bars(qt, 5);
    std::set<QRgb> colours;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bars[size_t(i)].Value, values[i]) << i;
        if (values[i] != 0) {
            EXPECT_EQ(bars[size_t(i)].Color, TChart::PaletteColor(i)) << i;
            colours.insert(bars[size_t(i)].Color.rgb());
        }
    }
    EXPECT_EQ(colours.size(), 4u);
    EXPECT_EQ(Categories(), labels);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(FChart.AxisX()->endValue(FChart.AxisX()->categoriesLabels()[i]), i);
    EXPECT_TRUE(FChart.AxisX()->isVisible());
    EXPECT_TRUE(FChart.AxisY()->isVisible());
    EXPECT_LE(FChart.AxisY()->min(), 0);
    EXPECT_GE(FChart.AxisY()->max(), 7200.5);
}

TEST_F(ChartTest, ValueAxisLabelsUseTheProgramsNumberFormat)
{
    TQtChartSeries *bar = FChart.AddSeries(TSeriesKind::skBar);
    bar->AddPoint(9900, QStringLiteral("a"));
    bar->AddPoint(1500, QStringLiteral("b"));
    FChart.Flush();
    QCategoryAxis *y = FChart.AxisY();
    EXPECT_EQ(y->min(), 0);
    EXPECT_EQ(y->max(), 10000);
    EXPECT_TRUE(y->categoriesLabels().contains(QStringLiteral("10 000")));

    bar->Clear();
    bar->AddPoint(0.4, QStringLiteral("a"));
    FChart.Flush();
    EXPECT_TRUE(y->categoriesLabels().contains(QStringLiteral("0,1"))) << y->categoriesLabels().join(QLatin1Char('|')).toStdString();
}

TEST_F(ChartTest, RefillReplacesThePointsWithoutGrowing)
{
    TQtChartSeries *pie = FChart.AddSeries(TSeriesKind::skPie);
    TQtChartSeries *bar = FChart.AddSeries(TSeriesKind::skBar);
    auto fill = [&](int count, double base) {
        for (TQtChartSeries *s : {pie, bar}) {
            s->Clear();
            for (int i = 0; i < count; ++i)
                s->AddPoint(base + i, QStringLiteral("p%1").arg(i));
        }
        FChart.Flush();
    };
    fill(12, 100);
    QPointer<QPieSlice> oldSlice = pie->PieSeries()->slices().first();
    const QList<QBarSet *> sets = bar->BarSeries()->barSets();
    EXPECT_EQ(sets.size(), 12);
    fill(12, 200);
    EXPECT_EQ(pie->Count(), 12);
    EXPECT_EQ(pie->PieSeries()->count(), 12);
    EXPECT_TRUE(oldSlice.isNull());
    // The colour sets are kept and hold the new values.
    EXPECT_EQ(bar->BarSeries()->barSets(), sets);
    std::vector<TBar> bars = Bars(bar->BarSeries(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(bars[size_t(i)].Value, 200 + i);
    EXPECT_EQ(Categories().size(), 12);

    // Fewer points: the sets of colours no longer used go, the others shrink.
    fill(3, 7);
    EXPECT_EQ(bar->BarSeries()->count(), 3);
    bars = Bars(bar->BarSeries(), 3);
    EXPECT_EQ(bars[2].Value, 9);
    EXPECT_EQ(bars[2].Color, TChart::PaletteColor(2));
    EXPECT_EQ(Categories(), (QStringList{"p0", "p1", "p2"}));

    pie->Clear();
    bar->Clear();
    EXPECT_EQ(pie->PieSeries()->count(), 0);
    EXPECT_EQ(bar->BarSeries()->count(), 0);
    EXPECT_TRUE(FChart.EmptyNoteVisible());
}

TEST_F(ChartTest, SwitchingSeriesOnAndOff)
{
    // As on the diagrams page: a pie and a bar series, switched against each other.
    TQtChartSeries *pie = FChart.AddSeries(TSeriesKind::skPie, QStringLiteral("Series1"), false);
    TQtChartSeries *bar = FChart.AddSeries(TSeriesKind::skBar, QStringLiteral("Series2"), false);
    FChart.SetLegendVisible(true);
    pie->AddPoint(10, QStringLiteral("a"));
    bar->AddPoint(20, QStringLiteral("b"));
    bar->AddPoint(30, QStringLiteral("c"));
    FChart.Flush();
    EXPECT_TRUE(FChart.Chart()->series().isEmpty());
    EXPECT_TRUE(FChart.EmptyNoteVisible());

    pie->SetActive(true);
    EXPECT_TRUE(pie->Active());
    FChart.Flush();
    EXPECT_EQ(FChart.Chart()->series(), QList<QAbstractSeries *>{pie->QtSeries()});
    EXPECT_EQ(FChart.LegendRows().size(), 1);
    EXPECT_FALSE(FChart.AxisY()->isVisible());

    pie->SetActive(false);
    bar->SetActive(true);
    FChart.Flush();
    EXPECT_EQ(FChart.Chart()->series(), QList<QAbstractSeries *>{bar->QtSeries()});
    EXPECT_EQ(FChart.LegendRows().size(), 2);
    EXPECT_EQ(FChart.LegendRows()[0].Label, QStringLiteral("b"));
    EXPECT_TRUE(FChart.AxisY()->isVisible());
    EXPECT_EQ(pie->Count(), 1); // an inactive series keeps its points

    // Changes reach the chart through the event loop without a Flush.
    bar->SetActive(false);
    pie->SetActive(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(FChart.Chart()->series(), QList<QAbstractSeries *>{pie->PieSeries()});
}

TEST_F(ChartTest, AreaFilledDownToZeroAndLine)
{
    // As in the side panel: an area, a bar and a line series, one drawn at a time.
    FChart.SetCompact(true);
    FChart.resize(180, 170);
    TQtChartSeries *area = FChart.AddSeries(TSeriesKind::skArea, QStringLiteral("Line"));
    TQtChartSeries *hist = FChart.AddSeries(TSeriesKind::skBar, QStringLiteral("Histogramm"), false);
    TQtChartSeries *line = FChart.AddSeries(TSeriesKind::skLine, QStringLiteral("SingleLine"), false);
    const double values[] = {1200, -300, 2500, 2000};
    const QStringList labels{"ост.", "3", "7", "10"};
    for (int i = 0; i < 4; ++i)
        area->AddPoint(values[i], labels[i]);
    FChart.SetTitle(QStringLiteral("Наличные. Движение"));

    QAreaSeries *qt = area->AreaSeries();
    ASSERT_NE(qt, nullptr);
    ASSERT_EQ(qt->upperSeries()->count(), 4);
    ASSERT_NE(qt->lowerSeries(), nullptr);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(qt->upperSeries()->at(i), QPointF(i, values[i]));
        EXPECT_EQ(qt->lowerSeries()->at(i), QPointF(i, 0));
    }
    EXPECT_EQ(Categories(), labels);
    EXPECT_LE(FChart.AxisY()->min(), -300);
    EXPECT_GE(FChart.AxisY()->max(), 2500);
    EXPECT_EQ(FChart.Chart()->title(), QStringLiteral("Наличные. Движение"));
    EXPECT_EQ(hist->BarSeries()->count(), 0);

    area->SetActive(false);
    line->SetActive(true);
    line->AddPoint(5, QStringLiteral("x"));
    EXPECT_EQ(line->LineSeries()->count(), 1);
    EXPECT_EQ(FChart.Chart()->series(), QList<QAbstractSeries *>{line->LineSeries()});
}

TEST_F(ChartTest, AwkwardPointsDoNotBreakTheChart)
{
    TQtChartSeries *pie = FChart.AddSeries(TSeriesKind::skPie);
    TQtChartSeries *bar = FChart.AddSeries(TSeriesKind::skBar, QString(), false);
    FChart.SetLegendVisible(true);
    const QString longLabel(500, QChar(0x0416));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (TQtChartSeries *s : {pie, bar}) {
        s->AddPoint(0, QString());
        s->AddPoint(120, longLabel);
        s->AddPoint(-50, QStringLiteral("<b>&"));
        s->AddPoint(nan, QStringLiteral("nan"));
    }
    FChart.SetTitle(longLabel);
    FChart.Flush();

    // The pie draws negative and unknown values as empty slices; the legend shows them.
    QPieSeries *qt = pie->PieSeries();
    ASSERT_EQ(qt->count(), 4);
    EXPECT_EQ(qt->slices()[0]->value(), 120);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(qt->slices()[i]->value(), 0);
    const QList<TChartLegendRow> rows = FChart.LegendRows();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].Label, longLabel);
    EXPECT_EQ(rows[1].Label, QStringLiteral("—")); // empty label
    EXPECT_EQ(rows[3].Value, QStringLiteral("-50,00"));

    // Long titles and labels are elided; labels are shown as text, not markup.
    EXPECT_LT(FChart.Chart()->title().size(), 200);
    EXPECT_TRUE(FChart.Chart()->title().endsWith(QChar(0x2026)));
    pie->SetActive(false);
    bar->SetActive(true);
    const QStringList cats = Categories();
    ASSERT_EQ(cats.size(), 4);
    EXPECT_EQ(cats[0], QStringLiteral("—"));
    EXPECT_LT(cats[1].size(), 60);
    EXPECT_TRUE(cats[1].endsWith(QChar(0x2026)));
    EXPECT_EQ(cats[2], QStringLiteral("&lt;b&gt;&amp;"));
    EXPECT_EQ(Bars(bar->BarSeries(), 4)[2].Value, -50);
    EXPECT_EQ(bar->Value(3), 0.0);

    // The legend never squeezes the plot below half the widget.
    EXPECT_GE(FChart.View()->width(), FChart.width() / 2);
    QTest::qWait(20);
    EXPECT_FALSE(FChart.grab().isNull());

    // Only zero values: nothing to draw in a pie.
    pie->Clear();
    pie->AddPoint(0, QStringLiteral("a"));
    bar->SetActive(false);
    pie->SetActive(true);
    EXPECT_TRUE(FChart.EmptyNoteVisible());
}

TEST_F(ChartTest, DenseLabelsAreThinnedNotOverlapped)
{
    TQtChartSeries *bar = FChart.AddSeries(TSeriesKind::skBar);
    for (int i = 0; i < 120; ++i)
        bar->AddPoint(i, QStringLiteral("%1.%2").arg(2010 + i / 12).arg(i % 12 + 1));
    FChart.Flush();
    QCategoryAxis *x = FChart.AxisX();
    const QStringList shown = x->categoriesLabels();
    ASSERT_GT(shown.size(), 5);
    ASSERT_LT(shown.size(), 120);
    EXPECT_EQ(x->labelsAngle(), -90);
    // Evenly thinned, each label on its own bar and naming it.
    const int every = int(x->endValue(shown[1]) - x->endValue(shown[0]));
    ASSERT_GT(every, 1);
    for (int k = 0; k < shown.size(); ++k) {
        const int at = int(x->endValue(shown[k]));
        EXPECT_EQ(at, k * every);
        EXPECT_EQ(QString(shown[k]).remove(QChar(0x200B)), bar->Label(at));
    }
    // Room between two turned labels fits the label's line.
    const double slot = double(FChart.View()->width()) / 120 * every;
    EXPECT_GE(slot, QFontMetrics(x->labelsFont()).height());
}

TEST_F(ChartTest, MarksShowValuesWhenAskedFor)
{
    TQtChartSeries *bar = FChart.AddSeries(TSeriesKind::skBar);
    TQtChartSeries *pie = FChart.AddSeries(TSeriesKind::skPie, QString(), false);
    bar->AddPoint(850, QStringLiteral("день"));
    bar->AddPoint(18450.5, QStringLiteral("период"));
    pie->AddPoint(5, QStringLiteral("a"));
    pie->AddPoint(7, QStringLiteral("<b>"));
    EXPECT_EQ(FChart.MarkTexts(), QStringList());

    FChart.SetMarksVisible(true);
    EXPECT_EQ(FChart.MarkTexts(), (QStringList{"850,00", "18 450,50"}));
    bar->Clear();
    bar->AddPoint(3, QStringLiteral("x"));
    EXPECT_EQ(FChart.MarkTexts(), QStringList{"3,00"});

    bar->SetActive(false);
    pie->SetActive(true);
    EXPECT_EQ(FChart.MarkTexts(), (QStringList{"&lt;b&gt;: 7,00", "a: 5,00"}));
    EXPECT_TRUE(pie->PieSeries()->slices()[0]->isLabelVisible());

    FChart.SetMarksVisible(false);
    EXPECT_EQ(FChart.MarkTexts(), QStringList());
    EXPECT_FALSE(pie->PieSeries()->slices()[0]->isLabelVisible());
    EXPECT_EQ(pie->PieSeries()->slices()[0]->label(), QStringLiteral("<b>"));
}

TEST_F(ChartTest, HoverTipNamesThePointAndItsShareOfThePie)
{
    TQtChartSeries *pie = FChart.AddSeries(TSeriesKind::skPie);
    TQtChartSeries *bar = FChart.AddSeries(TSeriesKind::skBar, QString(), false);
    for (TQtChartSeries *s : {pie, bar}) {
        s->AddPoint(300, QStringLiteral("a"));
        s->AddPoint(-50, QString());
        s->AddPoint(900, QStringLiteral("b"));
    }
    // Slices are largest first; negative values count as nothing in the share.
    const QList<QPieSlice *> slices = pie->PieSeries()->slices();
    Q_EMIT slices[0]->hovered(true);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("b: 900,00 (75,0 %)"));
    EXPECT_TRUE(slices[0]->isExploded());
    Q_EMIT slices[0]->hovered(false);
    EXPECT_FALSE(slices[0]->isExploded());
    Q_EMIT slices[2]->hovered(true);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("—: -50,00 (0,0 %)"));

    pie->SetActive(false);
    bar->SetActive(true);
    const QList<QBarSet *> sets = bar->BarSeries()->barSets();
    ASSERT_EQ(sets.size(), 3);
    Q_EMIT sets[2]->hovered(true, 2);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("b: 900,00"));
}

TEST_F(ChartTest, PaletteColoursAreDistinct)
{
    std::set<QRgb> colours;
    for (int i = 0; i < 30; ++i)
        colours.insert(TChart::PaletteColor(i).rgb());
    EXPECT_EQ(colours.size(), 30u);
    EXPECT_EQ(TChart::PaletteColor(30), TChart::PaletteColor(0));
    EXPECT_EQ(TChart::ToQColor(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_FALSE(TChart::ToQColor(clTeeColor).isValid());
    EXPECT_FALSE(TChart::ToQColor(0xFF000005).isValid()); // system colour: the palette's
}

} // namespace
