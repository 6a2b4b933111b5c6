#pragma once

#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/DateTime.h"
#include "platform/widgets/DBGridEh.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QHeaderView>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace gridtest {

// A journal-like rowset: ID, OperationDate, CashTypeName, Description, SumValue, Planned.
struct TJournalRow
{
    int Id;
    TDateTime Date;
    QString CashType;
    QString Description;
    double Sum;
    int Planned;
};

inline std::shared_ptr<TRowSet> JournalRows(const QVector<TJournalRow> &rows)
{
    auto set = std::make_shared<TRowSet>();
    set->ColumnNames = {"ID", "OperationDate", "CashTypeName", "Description", "SumValue", "Planned"};
    set->ColumnTypes = {TFieldType::Integer, TFieldType::DateTime, TFieldType::String,
                        TFieldType::String, TFieldType::Float, TFieldType::Integer};
    for (const TJournalRow &r : rows)
        set->Rows.append({QVariant(qlonglong(r.Id)), QVariant(r.Date), QVariant(r.CashType),
                          QVariant(r.Description), QVariant(r.Sum), QVariant(qlonglong(r.Planned))});
    return set;
}

// `count` rows dated from 1 March 2024 with sums 100, 200, ...; every
// `plannedEvery`-th row planned.
inline std::shared_ptr<TRowSet> NumberedRows(int count, int plannedEvery = 0)
{
    QVector<TJournalRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.append({i, EncodeDate(2024, 3, 1) + i - 1, QStringLiteral("Карта"), QStringLiteral("Запись %1").arg(i),
                     100.0 * i, plannedEvery > 0 && i % plannedEvery == 0 ? 1 : 0});
    return JournalRows(rows);
}

// Runs a real event loop (which waits for events, so idle processing happens).
inline void RunEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Sort-marked columns as "Field DIR, Field DIR" (down DESC, up ASC).
inline QString SortText(const TDBGridEh &grid)
{
    QStringList parts;
    for (TColumnEh *column : grid.SortMarkedColumns())
        parts << column->FieldName() + (column->SortMarker() == TSortMarker::smDown ? " DESC" : " ASC");
    return parts.join(", ");
}

// A window with a journal grid bound to a dataset; number formats fixed for the test.
class TGridFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FSavedFormat = FormatSettings();
        FormatSettings().DecimalSeparator = QLatin1Char('.');
        FormatSettings().ThousandSeparator = QLatin1Char(' ');
        FormatSettings().ShortDateFormat = QStringLiteral("dd.MM.yyyy");
        Window = std::make_unique<QWidget>();
        Window->resize(640, 300);
        DataSet = new TDataSet(Window.get());
        Source = new TDataSource(Window.get());
        Source->SetDataSet(DataSet);
        Grid = new TDBGridEh(Window.get());
        Grid->setGeometry(0, 0, 640, 300);
        Grid->AddColumn("OperationDate", QStringLiteral("Дата"), 80);
        Grid->AddColumn("CashTypeName", QStringLiteral("Средства"), 100);
        Grid->AddColumn("Description", QStringLiteral("Описание"), 200);
        TColumnEh *sum = Grid->AddColumn("SumValue", QStringLiteral("Сумма"), 80);
        sum->SetDisplayFormat(",0.00");
        sum->SetFooterValueType(TFooterValueType::fvtSum);
        sum->SetFooterDisplayFormat(",.00");
        sum->SetFooterEndEllipsis(true);
        Grid->SetDataSource(Source);
    }

    void TearDown() override
    {
        Window.reset();
        FormatSettings() = FSavedFormat;
    }

    void ShowAndFocus()
    {
        Window->show();
        Window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
        Grid->setFocus();
        QApplication::processEvents();
    }

    QString Cell(int row, int column) const
    {
        return Grid->model()->data(Grid->model()->index(row, column), Qt::DisplayRole).toString();
    }

    std::unique_ptr<QWidget> Window;
    TDataSet *DataSet = nullptr;
    TDataSource *Source = nullptr;
    TDBGridEh *Grid = nullptr;

private:
    TFormatSettings FSavedFormat;
};

} // namespace gridtest
