#pragma once

#include "db/Classes.TallysetManager.h"
#include "model/Classes.Reports.Interfaces.h"
#include "platform/ChartSeries.h"

// Fills chart series from query results: one point per row, in row order, with
// the chart's automatic colour. Holds no chart state; every Show... call runs
// exactly one query and clears the series only after that query succeeded.
class TDiagramManager
{
public:
    // Registers three reports (incomes, expenses, expenses by tag) with the
    // period manager, after every query registered before; opens nothing.
    TDiagramManager(IDBConnectionPtr db, ITallysetManagerPtr manager);
    TDiagramManager(const TDiagramManager &) = delete;
    TDiagramManager &operator=(const TDiagramManager &) = delete;

    // Clear the series, then one point per row: value from valueFieldName,
    // label from labelFieldName (case-insensitive names; NULL reads 0 or "").
    static void ShowSimpleChart(TChartSeries &series, const IQueryPtr &query, const QString &labelFieldName,
                                const QString &valueFieldName);

    // Re-run the report with the period it was last given; points are name and sv.
    void ShowIncomesChart(TChartSeries &series);
    void ShowExpensesChart(TChartSeries &series);
    void ShowExpensesByTagsChart(TChartSeries &series);
    // Monthly totals of one expense type over all time, oldest first; labels
    // are the month, with "yyyy." in front where the year changes.
    void ShowExpensesCompareChart(TChartSeries &series, int expensesTypeID, bool plannedInclude);

private:
    void ShowReportChart(TChartSeries &series, const ITallysetCustomReportPtr &report);

    IDBConnectionPtr FDB;
    ITallysetManagerPtr FManager;
    ITallysetCustomReportPtr FChartIncomes;
    ITallysetCustomReportPtr FChartExpenses;
    ITallysetCustomReportPtr FChartExpensesByTags;
};
