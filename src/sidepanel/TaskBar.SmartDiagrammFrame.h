#pragma once

#include "db/DBEngine.Interfaces.h"
#include "platform/DateTime.h"

#include <QString>
#include <QWidget>

class TChart;
class TQtChartSeries;

// The context chart of the side panel. Each Show... method draws one chart for the
// current expense record with exactly one query on a fresh query object: BDate and
// EDate are the working period, Value the record's operation date, PlannedInclude
// the planned switch. A query error propagates; the chart is then left switched,
// cleared and titled.
class TFSmartDiagramm : public QWidget
{
    Q_OBJECT

public:
    explicit TFSmartDiagramm(QWidget *parent = nullptr);

    TChart *chSmartChart;
    // The cash balance curve.
    TQtChartSeries *Line;
    // The bars of the other charts.
    TQtChartSeries *Histogramm;
    // Never filled; active and empty until the first drawing, switched off by every chart.
    TQtChartSeries *SingleLine;

    // Keeps the connection the charts query.
    void Init(IDBConnectionPtr db);
    IDBConnectionPtr DB() const { return FDB; }

    // "Средний дневной расход": bars "день", "месяц", "общий".
    void ShowExpensesDayDiagram(TDateTime BDate, TDateTime EDate, TDateTime Value, bool PlannedInclude);
    // Name + ". Движение": the balance before BDate ("ост."), then the balance after each
    // day up to Value on which the cash type moved, labelled with the day of the month.
    void ShowCashRemainderDiagram(const QString &Name, int CashTypeID, TDateTime BDate, TDateTime EDate,
                                  TDateTime Value, bool PlannedInclude);
    // Name + ". Траты": bars "день", "период", "среднее".
    void ShowExpensesByTypeDiagram(const QString &Name, int TypeID, TDateTime BDate, TDateTime EDate,
                                   TDateTime Value, bool PlannedInclude);
    // "Расходы по тегам": one bar per tag of expense ID with the period's expenses carrying it.
    void ShowExpensesByTagsDiagram(int ID, TDateTime BDate, TDateTime EDate, TDateTime Value, bool PlannedInclude);

protected:
    void changeEvent(QEvent *event) override;

private:
    void ApplyTitleFont();
    // Switches the series for bars or for the curve, clears the one switched on, sets the title.
    TQtChartSeries &Prepare(bool bars, const QString &title);
    // Runs the statement with the parameters on a fresh query; raises without a connection.
    IQueryPtr Open(const QString &statement, const TStrings &params);
    // Up to three rows of "sv" as bars with these labels.
    void AddThreeBars(const IQueryPtr &query, const QStringList &labels);
    void StyleBars();

    IDBConnectionPtr FDB;
};
