#include "model/Classes.Diagrams.h"

#include "db/Constants.h"
#include "db/Utils.h"
#include "model/Classes.Reports.h"
#include "platform/Strings.h"

TDiagramManager::TDiagramManager(IDBConnectionPtr db, ITallysetManagerPtr manager)
    : FDB(std::move(db)), FManager(std::move(manager))
{
    FChartIncomes = TReportIncomes::New(FDB, FManager->AddQuery());
    FChartExpenses = TReportExpenses::New(FDB, FManager->AddQuery());
    FChartExpensesByTags = TReportExpensesByTags::New(FDB, FManager->AddQuery());
}

void TDiagramManager::ShowSimpleChart(TChartSeries &series, const IQueryPtr &query, const QString &labelFieldName,
                                      const QString &valueFieldName)
{
    TDataSet *data = query->GetData();
    TField *label = data->FieldByName(labelFieldName);
    TField *value = data->FieldByName(valueFieldName);
    series.Clear();
    data->First();
    while (!data->Eof())
    {
        series.AddPoint(value->AsFloat(), label->AsString(), clTeeColor);
        data->Next();
    }
}

void TDiagramManager::ShowReportChart(TChartSeries &series, const ITallysetCustomReportPtr &report)
{
    report->Refresh();
    ShowSimpleChart(series, report->GetQuery()->GetQuery(), QStringLiteral("name"), QStringLiteral("sv"));
}

void TDiagramManager::ShowIncomesChart(TChartSeries &series)
{
    ShowReportChart(series, FChartIncomes);
}

void TDiagramManager::ShowExpensesChart(TChartSeries &series)
{
    ShowReportChart(series, FChartExpenses);
}

void TDiagramManager::ShowExpensesByTagsChart(TChartSeries &series)
{
    ShowReportChart(series, FChartExpensesByTags);
}

void TDiagramManager::ShowExpensesCompareChart(TChartSeries &series, int expensesTypeID, bool plannedInclude)
{
    TStringList params;
    params.SetValues(QStringLiteral("type_id"), QString::number(expensesTypeID));
    params.SetValues(QStringLiteral("planned"), plannedInclude ? QStringLiteral("1") : QStringLiteral("0"));
    IQueryPtr query = FDB->CreateQuery();
    query->Open(SetTextValues(c_sqlRepExpensesCompare, params));
    TDataSet *data = query->GetData();
    TField *year = data->FieldByName(QStringLiteral("y"));
    TField *month = data->FieldByName(QStringLiteral("m"));
    TField *value = data->FieldByName(QStringLiteral("sv"));
    series.Clear();
    data->First();
    int lastYear = 0;
    while (!data->Eof())
    {
        QString label = QString::number(month->AsInteger());
        if (year->AsInteger() != lastYear)
        {
            lastYear = year->AsInteger();
            label = QString::number(lastYear) + QLatin1Char('.') + label;
        }
        series.AddPoint(value->AsFloat(), label, clTeeColor);
        data->Next();
    }
}
