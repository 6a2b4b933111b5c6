// Benchmarks of the main window's data work on generated databases of ten years.
// Every BM_X has a BM_XRaw twin that replays, through plain sqlite3, exactly the
// statements BM_X made the engine run (captured with sqlite3_trace_v2), so the
// ratio X / XRaw is the cost of the program's layers over SQLite.

#include "BenchData.h"

#include "db/Classes.TallysetManager.h"
#include "db/Constants.h"
#include "db/DBEngine.Backup.h"
#include "db/DBEngine.Core.h"
#include "db/Schema.h"
#include "model/Classes.Diagrams.h"
#include "model/Classes.Journals.h"
#include "model/Classes.Libs.h"
#include "model/Classes.Reports.h"
#include "platform/DateTime.h"
#include "platform/SqlEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>
#include <map>
#include <sqlite3.h>
#include <sys/resource.h>

namespace
{

double PeakRssMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

// The object graph of the main window on one database.
struct TApp
{
    IDBConnectionPtr DB;
    ITallysetLibPtr IncomeTypes, ExpenseTypes, CashTypes;
    ITallysetManagerPtr Manager;
    ITallysetJournalPtr Incomes, Expenses, Transfers;
    ITallysetCustomReportPtr RepMain, RepIncomes, RepExpenses;
    std::unique_ptr<TDiagramManager> Diagrams;
    TDateTime BDate = EncodeDate(2025, 12, 1);
    TDateTime EDate = EncodeDate(2025, 12, 31);

    explicit TApp(const QString &path)
    {
        DB = TDBConnection::Create();
        IncomeTypes = std::make_shared<TIncomeTypesLib>(DB);
        ExpenseTypes = std::make_shared<TExpenseTypesLib>(DB);
        CashTypes = std::make_shared<TCashTypesLib>(DB);
        Manager = TTallysetManager::Create(DB);
        Incomes = TIncomesJournal::New(DB, Manager->AddQuery());
        Expenses = TExpensesJournal::New(DB, Manager->AddQuery());
        Transfers = TTransfersJournal::New(DB, Manager->AddQuery());
        Incomes->SetLib(CashTypes, IncomeTypes);
        Expenses->SetLib(CashTypes, ExpenseTypes);
        Transfers->SetLib(CashTypes, CashTypes);
        RepMain = TReportMain::New(DB, Manager->AddQuery());
        RepIncomes = TReportIncomes::New(DB, Manager->AddQuery());
        RepExpenses = TReportExpenses::New(DB, Manager->AddQuery());
        Diagrams = std::make_unique<TDiagramManager>(DB, Manager);
        DB->Connect(BenchData::ConnectionString(path));
        Manager->SetBDate(BDate);
        Manager->SetEDate(EDate);
        Manager->SetPlannedInclude(false);
        Manager->SetIDSet(QString());
        Manager->Refresh();
    }
};

TApp &AppFor(int operations)
{
    static std::map<int, std::unique_ptr<TApp>> apps;
    auto &app = apps[operations];
    if (!app)
        app = std::make_unique<TApp>(BenchData::DatabaseFor(operations));
    return *app;
}

// Statements SQLite ran while `work` ran on `db`.
QStringList Capture(TSqlConnection &db, const std::function<void()> &work)
{
    QStringList statements;
    auto cb = [](unsigned, void *ctx, void *, void *x) -> int {
        const char *sql = static_cast<const char *>(x);
        if (sql && strncmp(sql, "--", 2) != 0)
            static_cast<QStringList *>(ctx)->append(QString::fromUtf8(sql));
        return 0;
    };
    sqlite3_trace_v2(db.Handle(), SQLITE_TRACE_STMT, cb, &statements);
    work();
    sqlite3_trace_v2(db.Handle(), 0, nullptr, nullptr);
    return statements;
}

// A plain sqlite3 connection with the program's functions and collation.
struct TRawDb
{
    sqlite3 *Db = nullptr;
    explicit TRawDb(const QString &path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &Db, SQLITE_OPEN_READWRITE, nullptr);
        TSqlConnection::RegisterFunctions(Db);
        sqlite3_exec(Db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    }
    ~TRawDb() { sqlite3_close(Db); }

    // Runs the statements and reads every value of every row.
    void Replay(const QList<QByteArray> &statements, benchmark::State &state)
    {
        for (const QByteArray &sql : statements) {
            sqlite3_stmt *stmt = nullptr;
            if (sqlite3_prepare_v2(Db, sql.constData(), sql.size(), &stmt, nullptr) != SQLITE_OK) {
                state.SkipWithError(sqlite3_errmsg(Db));
                return;
            }
            const int columns = sqlite3_column_count(stmt);
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                for (int c = 0; c < columns; ++c) {
                    switch (sqlite3_column_type(stmt, c)) {
                    case SQLITE_INTEGER: benchmark::DoNotOptimize(sqlite3_column_int64(stmt, c)); break;
                    case SQLITE_FLOAT: benchmark::DoNotOptimize(sqlite3_column_double(stmt, c)); break;
                    case SQLITE_TEXT: benchmark::DoNotOptimize(sqlite3_column_text(stmt, c)); break;
                    default: break;
                    }
                }
            }
            sqlite3_finalize(stmt);
        }
    }
};

QList<QByteArray> Utf8(const QStringList &list)
{
    QList<QByteArray> out;
    for (const QString &s : list)
        out << s.toUtf8();
    return out;
}

void Finish(benchmark::State &state)
{
    state.counters["peak_rss_mb"] = PeakRssMb();
}

// Times `work` through the program, then records what SQLite ran for the twin.
void RunProgram(benchmark::State &state, TApp &app, const std::function<void()> &work,
                std::map<QString, QStringList> &captured, const QString &key)
{
    for (auto _ : state)
        work();
    captured[key] = Capture(app.DB->Engine(), work);
    Finish(state);
}

std::map<QString, QStringList> &Captured()
{
    static std::map<QString, QStringList> c;
    return c;
}

void RunRaw(benchmark::State &state, const QString &key, int operations,
            const std::function<void(TApp &)> &capture)
{
    TApp &app = AppFor(operations);
    auto it = Captured().find(key);
    if (it == Captured().end()) {
        Captured()[key] = Capture(app.DB->Engine(), [&] { capture(app); });
        it = Captured().find(key);
    }
    const QList<QByteArray> statements = Utf8(it->second);
    TRawDb raw(BenchData::DatabaseFor(operations));
    for (auto _ : state)
        raw.Replay(statements, state);
    state.counters["statements"] = double(statements.size());
    Finish(state);
}

QString Key(const char *name, int operations) { return QStringLiteral("%1/%2").arg(QLatin1String(name)).arg(operations); }

// Opening the nine registered queries of the main window.
void OpenAll(TApp &app) { app.Manager->Refresh(); }

// One change of the working period: the begin date moves by a month and back.
void PeriodChange(TApp &app)
{
    static bool flip = false;
    flip = !flip;
    app.Manager->SetBDate(flip ? IncMonth(app.BDate, -1) : app.BDate);
}

// Adding an expense with three tags through the expenses journal.
void SaveExpense(TApp &app)
{
    TJournalRecord rec = TJournalRecord::Create(EncodeDate(2025, 12, 15));
    rec.Link1 = TLink::Create(1, QString());
    rec.Link2 = TLink::Create(2, QString());
    rec.Sum = 123.45;
    rec.Description = QStringLiteral("Покупки на неделю");
    rec.Tags = QStringLiteral("еда,дети,рынок");
    app.Expenses->AddRecord(rec);
}

} // namespace

#define TALLYSET_BENCH_PAIR(Name, Work)                                                              \
    void BM_##Name(benchmark::State &state)                                                          \
    {                                                                                                \
        const int ops = int(state.range(0));                                                         \
        TApp &app = AppFor(ops);                                                                     \
        RunProgram(state, app, [&] { Work; }, Captured(), Key(#Name, ops));                          \
    }                                                                                                \
    void BM_##Name##Raw(benchmark::State &state)                                                     \
    {                                                                                                \
        const int ops = int(state.range(0));                                                         \
        RunRaw(state, Key(#Name, ops), ops, [&](TApp &app) { Work; });                               \
    }                                                                                                \
    BENCHMARK(BM_##Name)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);     \
    BENCHMARK(BM_##Name##Raw)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)

TALLYSET_BENCH_PAIR(OpenAll, OpenAll(app));
TALLYSET_BENCH_PAIR(PeriodChange, PeriodChange(app));
TALLYSET_BENCH_PAIR(ReportMain, app.RepMain->Refresh());
TALLYSET_BENCH_PAIR(ReportIncomes, app.RepIncomes->Refresh());
TALLYSET_BENCH_PAIR(ReportExpenses, app.RepExpenses->Refresh());
TALLYSET_BENCH_PAIR(ReportExpensesByTags, app.Manager->GetQuery(8)->Refresh());
TALLYSET_BENCH_PAIR(ReportExpensesCompare, {
    struct TNullSeries : TChartSeries
    {
        int N = 0;
        void Clear() override { N = 0; }
        void AddPoint(double, const QString &, TColor) override { ++N; }
        void SetActive(bool) override {}
        bool Active() const override { return true; }
        int Count() const override { return N; }
    } series;
    app.Diagrams->ShowExpensesCompareChart(series, 1, false);
});
// A consistent copy of the database while the program holds it open, as the
// start-of-day backup makes it (copy, sync, rename).
void BM_Backup(benchmark::State &state)
{
    const int ops = int(state.range(0));
    const QString source = AppFor(ops).DB->Engine().FileName();
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.mdb"));
    for (auto _ : state) {
        CopyDatabaseFile(source, copy);
        state.PauseTiming();
        QFile::remove(copy);
        state.ResumeTiming();
    }
    state.counters["size_mb"] = double(QFileInfo(source).size()) / (1024.0 * 1024.0);
    Finish(state);
}
BENCHMARK(BM_Backup)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Last: it adds rows to the databases the others read.
TALLYSET_BENCH_PAIR(SaveExpense, SaveExpense(app));

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
