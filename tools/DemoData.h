#pragma once

#include <QDate>
#include <QString>

class TSqlConnection;

// Fills databases made by the schema code with generated bookkeeping data.
// Everything is written in one transaction through prepared statements.
namespace DemoData
{

struct TGeneratorOptions
{
    int Operations = 1000;   // incomes + expenses + transfers, about 12 : 80 : 8
    QDate FirstDay;          // first day of the range
    QDate LastDay;           // last day of the range (inclusive)
    int CashTypes = 5;
    int IncomeTypes = 6;
    int ExpenseTypes = 14;
    int Tags = 24;
    double PlannedShare = 0.03; // share of operations marked planned
    unsigned Seed = 20111201;
};

// Reference lists with realistic Russian names; returns nothing, raises on failure.
void FillLists(TSqlConnection &db, const TGeneratorOptions &options);
// Operations spread over [FirstDay, LastDay]; lists must be filled first.
void FillOperations(TSqlConnection &db, const TGeneratorOptions &options);

// A household year ending with the current month, planned operations ahead.
void FillDemoYear(TSqlConnection &db, const QDate &today);

} // namespace DemoData
