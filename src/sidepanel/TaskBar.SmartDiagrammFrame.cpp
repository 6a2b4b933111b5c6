#include "sidepanel/TaskBar.SmartDiagrammFrame.h"

#include "db/Constants.h"
#include "db/Utils.h"
#include "platform/Exception.h"
#include "platform/widgets/Chart.h"
#include "sidepanel/TaskBar.LinksFrame.h"

#include <QBarSet>
#include <QChart>
#include <QEvent>
#include <QLinearGradient>
#include <QStackedBarSeries>
#include <QVBoxLayout>

namespace {

QString Planned(bool plannedInclude)
{
    return plannedInclude ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

TFSmartDiagramm::TFSmartDiagramm(QWidget *parent)
    : QWidget(parent)
{
    resize(170, 170);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    chSmartChart = new TChart(this);
    chSmartChart->SetCompact(true);
    chSmartChart->SetLegendVisible(false);
    chSmartChart->SetMarksVisible(false);
    layout->addWidget(chSmartChart);
    Line = chSmartChart->AddSeries(TSeriesKind::skArea, QString(), false);
    Histogramm = chSmartChart->AddSeries(TSeriesKind::skBar, QString(), false);
    SingleLine = chSmartChart->AddSeries(TSeriesKind::skLine, QString(), true);
    ApplyTitleFont();
}

void TFSmartDiagramm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        ApplyTitleFont();
}

// A title for the panel's width: small and narrow, so the usual titles fit whole.
void TFSmartDiagramm::ApplyTitleFont()
{
    QFont title = NarrowPanelFont(font());
    title.setBold(false);
    title.setPixelSize(10);
    chSmartChart->Chart()->setTitleFont(title);
    chSmartChart->SetTitle(chSmartChart->Title());
}

void TFSmartDiagramm::Init(IDBConnectionPtr db)
{
    FDB = std::move(db);
}

TQtChartSeries &TFSmartDiagramm::Prepare(bool bars, const QString &title)
{
    Histogramm->SetActive(bars);
    Line->SetActive(!bars);
    SingleLine->SetActive(false);
    TQtChartSeries &series = bars ? *Histogramm : *Line;
    series.Clear();
    chSmartChart->SetTitle(title);
    return series;
}

IQueryPtr TFSmartDiagramm::Open(const QString &statement, const TStrings &params)
{
    if (!FDB)
        throw Exception(QStringLiteral("Диаграмма не подключена к базе данных"));
    IQueryPtr query = FDB->CreateQuery();
    query->Open(SetTextValues(statement, params));
    return query;
}

void TFSmartDiagramm::AddThreeBars(const IQueryPtr &query, const QStringList &labels)
{
    TDataSet *data = query->GetData();
    TField *value = data->FieldByName(QStringLiteral("sv"));
    data->First();
    for (const QString &label : labels) {
        if (data->Eof())
            break;
        Histogramm->AddPoint(value->AsFloat(), label, clTeeColor);
        data->Next();
    }
    StyleBars();
}

// Bars in their own colours with a left-to-right gradient, a quarter transparent.
void TFSmartDiagramm::StyleBars()
{
    chSmartChart->Flush();
    QStackedBarSeries *bars = Histogramm->BarSeries();
    if (!bars)
        return;
    const QList<QBarSet *> sets = bars->barSets();
    for (QBarSet *set : sets) {
        // The chart keeps its sets between fillings; the colour of a set styled before
        // is remembered with it, as its brush is a gradient by then.
        QVariant remembered = set->property("tallysetBarColor");
        if (!remembered.isValid()) {
            remembered = set->color();
            set->setProperty("tallysetBarColor", remembered);
        }
        const QColor base = remembered.value<QColor>();
        QColor left = base.lighter(135);
        QColor right = base;
        left.setAlphaF(0.74f);
        right.setAlphaF(0.74f);
        QLinearGradient fill(QPointF(0, 0), QPointF(1, 0));
        fill.setCoordinateMode(QGradient::ObjectBoundingMode);
        fill.setColorAt(0, left);
        fill.setColorAt(1, right);
        set->setBrush(fill);
    }
}

void TFSmartDiagramm::ShowExpensesDayDiagram(TDateTime BDate, TDateTime EDate, TDateTime Value, bool PlannedInclude)
{
    Prepare(true, QStringLiteral("Средний дневной расход"));
    TStringList params;
    params.SetValues(QStringLiteral("cdate"), MSAccessDate(Value));
    params.SetValues(QStringLiteral("bdate"), MSAccessDate(BDate));
    params.SetValues(QStringLiteral("edate"), MSAccessDate(EDate));
    params.SetValues(QStringLiteral("planned"), Planned(PlannedInclude));
    const IQueryPtr query = Open(c_sqlRepExpensesDayStat, params);
    AddThreeBars(query, {QStringLiteral("день"), QStringLiteral("месяц"), QStringLiteral("общий")});
}

void TFSmartDiagramm::ShowCashRemainderDiagram(const QString &Name, int CashTypeID, TDateTime BDate, TDateTime,
                                               TDateTime Value, bool PlannedInclude)
{
    TQtChartSeries &series = Prepare(false, Name + QStringLiteral(". Движение"));
    TStringList params;
    params.SetValues(QStringLiteral("CashTypeID"), QString::number(CashTypeID));
    params.SetValues(QStringLiteral("bdate"), MSAccessDate(BDate));
    params.SetValues(QStringLiteral("edate"), MSAccessDate(Value));
    params.SetValues(QStringLiteral("planned"), Planned(PlannedInclude));
    const IQueryPtr query = Open(c_sqlRepCashTypeRemainders, params);
    TDataSet *data = query->GetData();
    TField *date = data->FieldByName(c_fldOperationDate);
    TField *sum = data->FieldByName(c_fldSumValue);
    data->First();
    if (data->Eof())
        return;
    double running = sum->AsFloat();
    series.AddPoint(running, QStringLiteral("ост."), clTeeColor);
    data->Next();
    while (!data->Eof()) {
        running += sum->AsFloat();
        int year = 0, month = 0, day = 0;
        DecodeDate(date->AsDateTime(), year, month, day);
        series.AddPoint(running, QString::number(day), clTeeColor);
        data->Next();
    }
}

void TFSmartDiagramm::ShowExpensesByTypeDiagram(const QString &Name, int TypeID, TDateTime BDate, TDateTime EDate,
                                                TDateTime Value, bool PlannedInclude)
{
    Prepare(true, Name + QStringLiteral(". Траты"));
    TStringList params;
    params.SetValues(QStringLiteral("type_id"), QString::number(TypeID));
    params.SetValues(QStringLiteral("cdate"), MSAccessDate(Value));
    params.SetValues(QStringLiteral("bdate"), MSAccessDate(BDate));
    params.SetValues(QStringLiteral("edate"), MSAccessDate(EDate));
    params.SetValues(QStringLiteral("planned"), Planned(PlannedInclude));
    const IQueryPtr query = Open(c_sqlRepExpensesByType, params);
    AddThreeBars(query, {QStringLiteral("день"), QStringLiteral("период"), QStringLiteral("среднее")});
}

void TFSmartDiagramm::ShowExpensesByTagsDiagram(int ID, TDateTime BDate, TDateTime EDate, TDateTime,
                                                bool PlannedInclude)
{
    Prepare(true, QStringLiteral("Расходы по тегам"));
    TStringList params;
    params.SetValues(QStringLiteral("id"), QString::number(ID));
    params.SetValues(QStringLiteral("bdate"), MSAccessDate(BDate));
    params.SetValues(QStringLiteral("edate"), MSAccessDate(EDate));
    params.SetValues(QStringLiteral("planned"), Planned(PlannedInclude));
    const IQueryPtr query = Open(c_sqlRepExpensesByTag, params);
    TDataSet *data = query->GetData();
    TField *name = data->FieldByName(c_fldName);
    TField *value = data->FieldByName(QStringLiteral("sv"));
    data->First();
    while (!data->Eof()) {
        Histogramm->AddPoint(value->AsFloat(), name->AsString(), clTeeColor);
        data->Next();
    }
    StyleBars();
}
