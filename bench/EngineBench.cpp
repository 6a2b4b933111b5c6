// Benchmarks of the engine and the dataset on their own: the translation of a
// long statement, a decade of a journal fetched into a rowset (with a plain
// sqlite3 twin that steps the same statement and reads every value), and
// sorting and filtering a fetched journal in the dataset.

#include "BenchData.h"

#include "db/Constants.h"
#include "db/Schema.h"
#include "platform/DataSet.h"
#include "platform/JetSql.h"
#include "platform/SqlEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <map>
#include <sqlite3.h>

namespace
{

QString Filled(QString sql)
{
    return sql.replace(QLatin1String("#bdate#"), QLatin1String("#1/1/2016#"))
        .replace(QLatin1String("#edate#"), QLatin1String("#12/31/2025#"))
        .replace(QLatin1String("#planned#"), QLatin1String("1"))
        .replace(QLatin1String("#idset_condition#"), QLatin1String("ct.id > 0"));
}

TSqlConnection &EngineConnection(int operations)
{
    static std::map<int, std::unique_ptr<TSqlConnection>> connections;
    auto &c = connections[operations];
    if (!c) {
        c = std::make_unique<TSqlConnection>();
        c->Open(BenchData::ConnectionString(BenchData::DatabaseFor(operations)));
    }
    return *c;
}

void BM_TranslateBalancesStatement(benchmark::State &state)
{
    const QString sql = Filled(c_sqlRepMainReport);
    for (auto _ : state)
        benchmark::DoNotOptimize(TranslateJetSql(sql));
    state.SetBytesProcessed(int64_t(state.iterations()) * sql.size() * 2);
}
BENCHMARK(BM_TranslateBalancesStatement);

void BM_SelectDecadeOfExpenses(benchmark::State &state)
{
    TSqlConnection &c = EngineConnection(int(state.range(0)));
    const QString sql = Filled(c_sqlJrExpensesGetRecords);
    qsizetype rows = 0;
    for (auto _ : state)
        rows = c.Select(sql)->Rows.size();
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_SelectDecadeOfExpenses)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_SelectDecadeOfExpensesRaw(benchmark::State &state)
{
    TSqlConnection &c = EngineConnection(int(state.range(0)));
    const QByteArray sql = TranslateJetSql(Filled(c_sqlJrExpensesGetRecords)).toUtf8();
    sqlite3 *db = c.Handle();
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(db));
            return;
        }
        const int columns = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int col = 0; col < columns; ++col) {
                switch (sqlite3_column_type(stmt, col)) {
                case SQLITE_INTEGER: benchmark::DoNotOptimize(sqlite3_column_int64(stmt, col)); break;
                case SQLITE_FLOAT: benchmark::DoNotOptimize(sqlite3_column_double(stmt, col)); break;
                case SQLITE_TEXT: benchmark::DoNotOptimize(sqlite3_column_text(stmt, col)); break;
                default: break;
                }
            }
        }
        sqlite3_finalize(stmt);
    }
}
BENCHMARK(BM_SelectDecadeOfExpensesRaw)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

std::shared_ptr<TRowSet> DecadeOfExpenses()
{
    static std::shared_ptr<TRowSet> rows = EngineConnection(100000).Select(Filled(c_sqlJrExpensesGetRecords));
    return rows;
}

void BM_DataSetSortTwoColumns(benchmark::State &state)
{
    TDataSet ds;
    ds.Open(DecadeOfExpenses());
    for (auto _ : state)
        ds.SetSort(state.iterations() % 2 ? QStringLiteral("CashTypeName DESC, SumValue ASC")
                                          : QStringLiteral("TypeName ASC, OperationDate DESC"));
    state.counters["rows"] = ds.RecordCount();
}
BENCHMARK(BM_DataSetSortTwoColumns)->Unit(benchmark::kMillisecond);

void BM_DataSetFilter(benchmark::State &state)
{
    TDataSet ds;
    ds.Open(DecadeOfExpenses());
    ds.First();
    const QString type = ds.FieldByName(QStringLiteral("TypeName"))->AsString().replace("'", "''");
    const QString sum = ds.FieldByName(QStringLiteral("SumValue"))->AsString();
    for (auto _ : state) {
        ds.SetFilter(QStringLiteral("TypeName = '%1'").arg(type));
        ds.SetFilter(QStringLiteral("SumValue = '%1'").arg(sum));
    }
    state.counters["rows"] = double(DecadeOfExpenses()->Rows.size());
}
BENCHMARK(BM_DataSetFilter)->Unit(benchmark::kMillisecond);

} // namespace
