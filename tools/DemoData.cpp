#include "DemoData.h"

#include "platform/Exception.h"
#include "platform/SqlEngine.h"

#include <QStringList>
#include <cmath>
#include <random>
#include <sqlite3.h>

namespace DemoData
{
namespace
{

const QStringList kCashTypes = {
    "Наличные", "Дебетовая карта", "Кредитная карта", "Сберегательный счёт", "Кошелёк супруги",
    "Валютный счёт", "Копилка", "Брокерский счёт", "Карта для путешествий", "Детская карта"};
const QStringList kIncomeTypes = {
    "Зарплата", "Премия", "Подработка", "Проценты по вкладу", "Подарки", "Возврат долга",
    "Продажа вещей", "Кэшбэк", "Пособие", "Аренда гаража"};
const QStringList kExpenseTypes = {
    "Продукты", "Коммунальные услуги", "Транспорт", "Связь и интернет", "Одежда и обувь",
    "Здоровье", "Развлечения", "Кафе и рестораны", "Дом и ремонт", "Образование", "Подарки",
    "Автомобиль", "Красота и уход", "Домашние животные", "Спорт", "Путешествия", "Налоги",
    "Страхование", "Книги", "Благотворительность"};
const QStringList kTags = {
    "еда", "дети", "отпуск", "работа", "праздник", "здоровье", "дача", "подписки", "бензин",
    "такси", "аптека", "кино", "ремонт", "мебель", "школа", "кружки", "кошка", "день рождения",
    "Новый год", "сад", "рынок", "доставка", "техника", "абонемент", "музыка", "поездка",
    "гости", "бабушка", "скидка", "онлайн"};

class TStatement
{
public:
    TStatement(sqlite3 *db, const char *sql) : FDb(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &FStmt, nullptr) != SQLITE_OK)
            throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
    }
    ~TStatement() { sqlite3_finalize(FStmt); }
    TStatement &Bind(int i, qint64 v) { sqlite3_bind_int64(FStmt, i, v); return *this; }
    TStatement &Bind(int i, double v) { sqlite3_bind_double(FStmt, i, v); return *this; }
    TStatement &Bind(int i, const QString &v)
    {
        const QByteArray utf8 = v.toUtf8();
        sqlite3_bind_text(FStmt, i, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
        return *this;
    }
    void Run()
    {
        const int rc = sqlite3_step(FStmt);
        sqlite3_reset(FStmt);
        sqlite3_clear_bindings(FStmt);
        if (rc != SQLITE_DONE)
            throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(FDb)));
    }

private:
    sqlite3 *FDb;
    sqlite3_stmt *FStmt = nullptr;
};

QStringList Names(const QStringList &pool, int count)
{
    QStringList result;
    for (int i = 0; i < count; ++i)
        result << (i < pool.size() ? pool.at(i) : QStringLiteral("%1 %2").arg(pool.at(i % pool.size())).arg(i / pool.size() + 1));
    return result;
}

void FillList(TStatement &insert, const QStringList &names)
{
    for (const QString &n : names)
        insert.Bind(1, n).Run();
}

double Round2(double v) { return std::round(v * 100.0) / 100.0; }

} // namespace

void FillLists(TSqlConnection &db, const TGeneratorOptions &options)
{
    TTransaction tr(db);
    sqlite3 *h = db.Handle();
    TStatement cash(h, "insert into CashTypes(Name) values(?)");
    TStatement incomes(h, "insert into IncomeTypes(Name) values(?)");
    TStatement expenses(h, "insert into ExpenseTypes(Name) values(?)");
    TStatement tags(h, "insert into Tags(Name) values(?)");
    FillList(cash, Names(kCashTypes, options.CashTypes));
    FillList(incomes, Names(kIncomeTypes, options.IncomeTypes));
    FillList(expenses, Names(kExpenseTypes, options.ExpenseTypes));
    FillList(tags, Names(kTags, options.Tags));
    tr.Commit();
}

void FillOperations(TSqlConnection &db, const TGeneratorOptions &options)
{
    if (options.Operations <= 0)
        return;
    const qint64 days = options.FirstDay.daysTo(options.LastDay) + 1;
    if (days <= 0)
        throw Exception(QStringLiteral("Пустой диапазон дат"));

    std::mt19937 rnd(options.Seed);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rnd); };
    auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rnd) < p; };
    // Spending is skewed: most expenses are small, a few are large.
    std::lognormal_distribution<double> expenseAmount(6.3, 1.0);
    std::lognormal_distribution<double> incomeAmount(9.8, 0.6);
    std::lognormal_distribution<double> transferAmount(8.5, 0.8);

    TTransaction tr(db);
    sqlite3 *h = db.Handle();
    TStatement income(h, "insert into Incomes(TypeID, CashTypeID, OperationDate, SumValue, Planned, Description) values(?, ?, ?, ?, ?, ?)");
    TStatement expense(h, "insert into Expenses(TypeID, CashTypeID, OperationDate, SumValue, Planned, Description, Tags) values(?, ?, ?, ?, ?, ?, ?)");
    TStatement transfer(h, "insert into Transfers(SrcCashTypeID, DstCashTypeID, OperationDate, SumValue, Planned, Description) values(?, ?, ?, ?, ?, ?)");
    TStatement link(h, "insert into ExpensesTags(OwnerID, TagID) values(?, ?)");

    const QStringList tagNames = Names(kTags, options.Tags);
    const QStringList expenseDescriptions = {"", "", "", "по списку", "к празднику", "акция в магазине",
                                             "на неделю", "срочно", "с доставкой", "по карте лояльности"};
    const QStringList incomeDescriptions = {"", "за месяц", "аванс", "квартальная", "перевод от родителей"};

    // Operations in date order, so identities follow dates as when typed in.
    for (int i = 0; i < options.Operations; ++i) {
        const qint64 offset = qint64(i) * days / options.Operations;
        const QString date = options.FirstDay.addDays(offset).toString(Qt::ISODate);
        const qint64 planned = chance(options.PlannedShare) ? 1 : 0;
        const qint64 cash = uniform(1, options.CashTypes);
        const int kind = uniform(0, 99);
        if (kind < 12) {
            income.Bind(1, qint64(uniform(1, options.IncomeTypes))).Bind(2, cash).Bind(3, date)
                .Bind(4, Round2(incomeAmount(rnd))).Bind(5, planned)
                .Bind(6, incomeDescriptions.at(uniform(0, incomeDescriptions.size() - 1))).Run();
        } else if (kind < 92 || options.CashTypes < 2) {
            const int tagCount = chance(0.55) ? uniform(1, 3) : 0;
            QStringList tags;
            QList<qint64> ids;
            for (int t = 0; t < tagCount && options.Tags > 0; ++t) {
                const int id = uniform(1, options.Tags);
                if (!ids.contains(id)) {
                    ids << id;
                    tags << tagNames.at(id - 1);
                }
            }
            expense.Bind(1, qint64(uniform(1, options.ExpenseTypes))).Bind(2, cash).Bind(3, date)
                .Bind(4, Round2(expenseAmount(rnd))).Bind(5, planned)
                .Bind(6, expenseDescriptions.at(uniform(0, expenseDescriptions.size() - 1)))
                .Bind(7, tags.join(',')).Run();
            const qint64 owner = sqlite3_last_insert_rowid(h);
            for (qint64 id : ids)
                link.Bind(1, owner).Bind(2, id).Run();
        } else {
            qint64 dst = uniform(1, options.CashTypes - 1);
            if (dst >= cash)
                ++dst;
            transfer.Bind(1, cash).Bind(2, dst).Bind(3, date).Bind(4, Round2(transferAmount(rnd)))
                .Bind(5, planned).Bind(6, QStringLiteral("")).Run();
        }
    }
    tr.Commit();
}

void FillDemoYear(TSqlConnection &db, const QDate &today)
{
    TGeneratorOptions o;
    o.CashTypes = 4;
    o.IncomeTypes = 5;
    o.ExpenseTypes = 12;
    o.Tags = 16;
    FillLists(db, o);

    // Actual operations: the twelve months up to today.
    o.FirstDay = QDate(today.year(), today.month(), 1).addMonths(-11);
    o.LastDay = today;
    o.Operations = int(o.FirstDay.daysTo(today)) * 3;
    o.PlannedShare = 0;
    FillOperations(db, o);

    // Planned operations: the rest of this month and the next one.
    o.FirstDay = today.addDays(1);
    o.LastDay = QDate(today.year(), today.month(), 1).addMonths(2).addDays(-1);
    o.Operations = int(o.FirstDay.daysTo(o.LastDay)) + 1;
    o.PlannedShare = 1;
    o.Seed += 1;
    FillOperations(db, o);
}

} // namespace DemoData
