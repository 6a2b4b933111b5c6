#include "platform/SqlEngine.h"

#include "platform/Exception.h"
#include "platform/JetSql.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <sqlite3.h>
#include <vector>

namespace
{

const char kNameCollation[] = "NAMECASE";
const int kBusyTimeoutMs = 10000;

QString EngineText(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// ---- Unicode case-insensitive name collation -------------------------------

bool IsAscii(const unsigned char *s, int n)
{
    for (int i = 0; i < n; ++i)
        if (s[i] & 0x80)
            return false;
    return true;
}

int BinaryCompare(const unsigned char *a, int na, const unsigned char *b, int nb)
{
    const int c = std::memcmp(a, b, size_t(std::min(na, nb)));
    if (c != 0)
        return c < 0 ? -1 : 1;
    return na < nb ? -1 : (na > nb ? 1 : 0);
}

// Case-folded order first, the exact text as the tie-breaker, so the order is
// total and the same on every machine and locale.
int CompareNames(void *, int na, const void *va, int nb, const void *vb)
{
    const auto *a = static_cast<const unsigned char *>(va);
    const auto *b = static_cast<const unsigned char *>(vb);
    if (IsAscii(a, na) && IsAscii(b, nb)) {
        const int n = std::min(na, nb);
        for (int i = 0; i < n; ++i) {
            unsigned char ca = a[i], cb = b[i];
            if (ca >= 'A' && ca <= 'Z')
                ca += 32;
            if (cb >= 'A' && cb <= 'Z')
                cb += 32;
            if (ca != cb)
                return ca < cb ? -1 : 1;
        }
        if (na != nb)
            return na < nb ? -1 : 1;
    } else {
        const QString fa = QString::fromUtf8(reinterpret_cast<const char *>(a), na).toCaseFolded();
        const QString fb = QString::fromUtf8(reinterpret_cast<const char *>(b), nb).toCaseFolded();
        const int c = QString::compare(fa, fb, Qt::CaseSensitive);
        if (c != 0)
            return c < 0 ? -1 : 1;
    }
    return BinaryCompare(a, na, b, nb);
}

// ---- like() with Unicode case folding --------------------------------------

// One element of a compiled pattern: % (any run), _ (any one character), a
// literal character, or a bracketed set [abc], [a-z], [!abc].
struct TLikeItem
{
    enum Kind { Any, One, Literal, Set } kind = Literal;
    char16_t ch = 0;
    bool negated = false;
    std::vector<std::pair<char16_t, char16_t>> ranges;

    bool Matches(char16_t c) const
    {
        switch (kind) {
        case One:
            return true;
        case Literal:
            return c == ch;
        case Set: {
            bool in = false;
            for (const auto &r : ranges)
                if (c >= r.first && c <= r.second) {
                    in = true;
                    break;
                }
            return in != negated;
        }
        case Any:
            break;
        }
        return false;
    }
};

struct TLikePattern
{
    QByteArray source;
    char16_t escape = 0;
    bool hasEscape = false;
    std::vector<TLikeItem> items;
};

void CompilePattern(const QString &folded, bool hasEscape, char16_t escape, std::vector<TLikeItem> &items)
{
    const char16_t *p = reinterpret_cast<const char16_t *>(folded.utf16());
    const qsizetype n = folded.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        TLikeItem item;
        item.kind = TLikeItem::Literal;
        if (hasEscape && c == escape) {
            item.ch = i + 1 < n ? p[++i] : c;
        } else if (c == u'%') {
            if (!items.empty() && items.back().kind == TLikeItem::Any)
                continue;
            item.kind = TLikeItem::Any;
        } else if (c == u'_') {
            item.kind = TLikeItem::One;
        } else if (c == u'[') {
            // The first character after "[" (or "[!") belongs to the set even
            // when it is "]", so "[]]" and "[[]" match a bracket.
            qsizetype start = i + 1;
            bool negated = false;
            if (start + 1 < n && p[start] == u'!' && p[start + 1] != u']') {
                negated = true;
                ++start;
            }
            qsizetype close = -1;
            for (qsizetype j = start + 1; j < n; ++j)
                if (p[j] == u']') {
                    close = j;
                    break;
                }
            if (close < 0) {
                item.ch = c;
            } else {
                item.kind = TLikeItem::Set;
                item.negated = negated;
                for (qsizetype j = start; j < close; ++j) {
                    if (j + 2 < close && p[j + 1] == u'-') {
                        item.ranges.emplace_back(std::min(p[j], p[j + 2]), std::max(p[j], p[j + 2]));
                        j += 2;
                    } else {
                        item.ranges.emplace_back(p[j], p[j]);
                    }
                }
                i = close;
            }
        } else {
            item.ch = c;
        }
        items.push_back(std::move(item));
    }
}

// Iterative wildcard matching: every item but % consumes exactly one character,
// so backtracking to the last % is enough (linear per % position).
bool MatchPattern(const std::vector<TLikeItem> &items, const QString &text)
{
    const char16_t *t = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    const size_t m = items.size();
    size_t pi = 0;
    qsizetype ti = 0;
    size_t starItem = size_t(-1);
    qsizetype starText = 0;
    while (ti < n) {
        if (pi < m && items[pi].kind == TLikeItem::Any) {
            starItem = pi++;
            starText = ti;
        } else if (pi < m && items[pi].Matches(t[ti])) {
            ++pi;
            ++ti;
        } else if (starItem != size_t(-1)) {
            pi = starItem + 1;
            ti = ++starText;
        } else {
            return false;
        }
    }
    while (pi < m && items[pi].kind == TLikeItem::Any)
        ++pi;
    return pi == m;
}

void DeletePattern(void *p)
{
    delete static_cast<TLikePattern *>(p);
}

// like(pattern, text[, escape]): X LIKE Y [ESCAPE Z] calls like(Y, X[, Z]).
void LikeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    const auto *pat = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int patBytes = sqlite3_value_bytes(argv[0]);
    if (patBytes > sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)) {
        sqlite3_result_error(ctx, "LIKE or GLOB pattern too complex", -1);
        return;
    }
    bool hasEscape = false;
    char16_t escape = 0;
    if (argc == 3) {
        const QString e = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[2])),
                                            sqlite3_value_bytes(argv[2]))
                              .toCaseFolded();
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        hasEscape = true;
        escape = e.at(0).unicode();
    }

    auto *compiled = static_cast<TLikePattern *>(sqlite3_get_auxdata(ctx, 0));
    if (!compiled || compiled->source.size() != patBytes || compiled->hasEscape != hasEscape ||
        compiled->escape != escape || std::memcmp(compiled->source.constData(), pat, size_t(patBytes)) != 0) {
        auto fresh = std::make_unique<TLikePattern>();
        fresh->source = QByteArray(pat, patBytes);
        fresh->hasEscape = hasEscape;
        fresh->escape = escape;
        CompilePattern(QString::fromUtf8(pat, patBytes).toCaseFolded(), hasEscape, escape, fresh->items);
        compiled = fresh.get();
        sqlite3_set_auxdata(ctx, 0, fresh.release(), DeletePattern);
        // SQLite may drop the auxiliary data at once; then the pattern is gone too.
        if (sqlite3_get_auxdata(ctx, 0) != compiled) {
            TLikePattern local;
            local.hasEscape = hasEscape;
            local.escape = escape;
            CompilePattern(QString::fromUtf8(pat, patBytes).toCaseFolded(), hasEscape, escape, local.items);
            const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[1])),
                                                   sqlite3_value_bytes(argv[1]))
                                     .toCaseFolded();
            sqlite3_result_int(ctx, MatchPattern(local.items, text) ? 1 : 0);
            return;
        }
    }
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[1])),
                                           sqlite3_value_bytes(argv[1]))
                             .toCaseFolded();
    sqlite3_result_int(ctx, MatchPattern(compiled->items, text) ? 1 : 0);
}

// ---- statements -------------------------------------------------------------

class TStatement
{
public:
    TStatement(sqlite3 *db, const QString &jetSql) : FDb(db)
    {
        const QByteArray sql = TranslateJetSql(jetSql).toUtf8();
        const char *tail = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &FStmt, &tail) != SQLITE_OK)
            throw EDatabaseError(EngineText(db));
        if (!FStmt)
            throw EDatabaseError(QStringLiteral("The SQL text holds no statement"));
        // The translator refuses a second statement; this keeps the engine honest too.
        const char *end = sql.constData() + sql.size();
        while (tail && tail < end && (*tail == ';' || *tail == ' ' || *tail == '\t' || *tail == '\r' || *tail == '\n'))
            ++tail;
        if (tail && tail < end) {
            sqlite3_stmt *next = nullptr;
            const char *rest = nullptr;
            const int rc = sqlite3_prepare_v2(db, tail, int(end - tail), &next, &rest);
            const bool another = rc != SQLITE_OK || next != nullptr;
            sqlite3_finalize(next);
            if (another) {
                sqlite3_finalize(FStmt);
                FStmt = nullptr;
                throw EDatabaseError(QStringLiteral("The SQL text holds more than one statement"));
            }
        }
    }
    ~TStatement() { sqlite3_finalize(FStmt); }
    TStatement(const TStatement &) = delete;
    TStatement &operator=(const TStatement &) = delete;

    sqlite3_stmt *Get() const { return FStmt; }
    // Steps once; true while a row is ready. Raises on an engine error.
    bool Step()
    {
        const int rc = sqlite3_step(FStmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw EDatabaseError(EngineText(FDb));
    }

private:
    sqlite3 *FDb;
    sqlite3_stmt *FStmt = nullptr;
};

void ExecPlain(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString text = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        throw EDatabaseError(text);
    }
}

// ---- values -------------------------------------------------------------------

TFieldType TypeFromDeclaration(const char *decl)
{
    if (!decl || !*decl)
        return TFieldType::Unknown;
    const QByteArray d = QByteArray(decl).toUpper();
    if (d.contains("DATE") || d.contains("TIME"))
        return TFieldType::DateTime;
    if (d.contains("INT"))
        return TFieldType::Integer;
    if (d.contains("CHAR") || d.contains("CLOB") || d.contains("TEXT"))
        return TFieldType::String;
    if (d.contains("REAL") || d.contains("FLOA") || d.contains("DOUB") || d.contains("NUM") || d.contains("DEC") ||
        d.contains("CURRENCY") || d.contains("MONEY"))
        return TFieldType::Float;
    return TFieldType::String;
}

inline int Digits(const unsigned char *s, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return -1;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

// Days from 1 March of year 0 style civil calendar arithmetic (proleptic Gregorian).
inline long long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = unsigned((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1);
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

const long long kEpochDays = DaysFromCivil(1899, 12, 30);

// 'YYYY-MM-DD' with an optional ' HH:MM:SS' (or 'T', fractions of a second
// ignored) to a TDateTime. False for any other text.
bool ParseIsoDateTime(const unsigned char *s, int n, double &result)
{
    if (n < 10 || s[4] != '-' || s[7] != '-')
        return false;
    const int y = Digits(s, 4), m = Digits(s + 5, 2), d = Digits(s + 8, 2);
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return false;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (d > kDays[m - 1] + (m == 2 && leap ? 1 : 0))
        return false;
    int secs = 0;
    if (n > 10) {
        if (n < 19 || (s[10] != ' ' && s[10] != 'T') || s[13] != ':' || s[16] != ':')
            return false;
        const int hh = Digits(s + 11, 2), mi = Digits(s + 14, 2), ss = Digits(s + 17, 2);
        if (hh < 0 || hh > 23 || mi < 0 || mi > 59 || ss < 0 || ss > 59)
            return false;
        if (n > 19 && (s[19] != '.' || n == 20 || Digits(s + 20, n - 20) < 0))
            return false;
        secs = hh * 3600 + mi * 60 + ss;
    }
    const double days = double(DaysFromCivil(y, m, d) - kEpochDays);
    const double frac = secs / 86400.0;
    // Before the epoch the time of day still counts forward from midnight.
    result = days >= 0 ? days + frac : days - frac;
    return true;
}

// Shares the text of repeated values (list names in journals) instead of
// allocating one string per cell. Gives up on columns of distinct texts.
class TTextCache
{
public:
    QString Get(const char *s, int n)
    {
        if (n == 0)
            return QString();
        if (FOff)
            return QString::fromUtf8(s, n);
        if (FSlots.empty())
            FSlots.resize(kSlots);
        const quint64 h = Hash(s, n);
        size_t i = size_t(h) & (kSlots - 1);
        // Linear probing over a table kept at most half full.
        while (FSlots[i].used) {
            const TSlot &slot = FSlots[i];
            if (slot.hash == h && slot.bytes.size() == n && std::memcmp(slot.bytes.constData(), s, size_t(n)) == 0) {
                ++FHits;
                return slot.text;
            }
            i = (i + 1) & (kSlots - 1);
        }
        QString text = QString::fromUtf8(s, n);
        if (++FMisses > 256 && FMisses > 4 * FHits) {
            FOff = true;
            std::vector<TSlot>().swap(FSlots);
        } else if (FCount < kSlots / 2) {
            FSlots[i] = TSlot{true, h, QByteArray(s, n), text};
            ++FCount;
        }
        return text;
    }

private:
    static constexpr size_t kSlots = 8192;
    struct TSlot
    {
        bool used = false;
        quint64 hash = 0;
        QByteArray bytes;
        QString text;
    };
    static quint64 Hash(const char *s, int n)
    {
        quint64 h = quint64(n) * 0x9E3779B97F4A7C15ull;
        int i = 0;
        for (; i + 8 <= n; i += 8) {
            quint64 k;
            std::memcpy(&k, s + i, 8);
            h = (h ^ k) * 0xFF51AFD7ED558CCDull;
            h ^= h >> 29;
        }
        quint64 k = 0;
        std::memcpy(&k, s + i, size_t(n - i));
        h = (h ^ k) * 0xC4CEB9FE1A85EC53ull;
        return h ^ (h >> 32);
    }
    std::vector<TSlot> FSlots;
    size_t FCount = 0;
    qint64 FHits = 0;
    qint64 FMisses = 0;
    bool FOff = false;
};

// Stores a value into a cell that holds no value yet (a default QVariant owns
// nothing, so it is overwritten in place instead of being assigned to).
template <typename T>
inline void Put(QVariant &cell, T &&value)
{
    new (&cell) QVariant(std::forward<T>(value));
}

struct TColumnScan
{
    TFieldType declared = TFieldType::Unknown;
    bool anyReal = false;
    bool anyInteger = false;
    bool anyText = false;
    bool allTextIsDate = true;
    TTextCache cache;
};

} // namespace

QString ConnectionStringDataSource(const QString &connectionString)
{
    const QStringList parts = connectionString.split(QLatin1Char(';'));
    for (const QString &part : parts) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (part.left(eq).trimmed().compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return QString();
}

TSqlConnection::TSqlConnection() = default;

TSqlConnection::~TSqlConnection()
{
    Close();
}

void TSqlConnection::RegisterFunctions(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function_v2(db, "like", 2, flags, nullptr, LikeFunction, nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_create_function_v2(db, "like", 3, flags, nullptr, LikeFunction, nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_create_collation_v2(db, kNameCollation, SQLITE_UTF8, nullptr, CompareNames, nullptr) != SQLITE_OK)
        throw EDatabaseError(EngineText(db));
}

void TSqlConnection::Open(const QString &connectionString)
{
    Close();
    const QString fileName = ConnectionStringDataSource(connectionString);
    if (fileName.isEmpty())
        throw EDatabaseError(QStringLiteral("В строке подключения не указан файл базы данных (Data Source)"));
    const QFileInfo info(fileName);
    if (!info.exists())
        throw EDatabaseError(QStringLiteral("Файл базы данных %1 не найден").arg(fileName));
    if (!info.isFile())
        throw EDatabaseError(QStringLiteral("%1 не является файлом базы данных").arg(fileName));

    sqlite3 *db = nullptr;
    const QByteArray name = QFile::encodeName(fileName);
    // A connection belongs to one thread, so SQLite's per-call locking is not needed.
    const int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw EDatabaseError(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
        if (sqlite3_db_readonly(db, "main") == 1)
            throw EDatabaseError(QStringLiteral("файл доступен только для чтения"));
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        RegisterFunctions(db);
        // Reading the schema proves the file is an SQLite database.
        ExecPlain(db, "SELECT count(*) FROM sqlite_schema");
        ExecPlain(db, "PRAGMA foreign_keys = ON");
        // A write-ahead log lets a second running program read while this one
        // writes; both wait for each other's writes through the busy timeout.
        sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    } catch (const Exception &e) {
        sqlite3_close(db);
        throw EDatabaseError(QStringLiteral("Не удаётся открыть базу данных %1: %2").arg(fileName, e.Message()));
    }
    FDb = db;
    FFileName = fileName;
    FTransactionDepth = 0;
}

void TSqlConnection::Close()
{
    if (!FDb)
        return;
    sqlite3_close_v2(FDb);
    FDb = nullptr;
    FFileName.clear();
    FTransactionDepth = 0;
}

static sqlite3 *Require(sqlite3 *db)
{
    if (!db)
        throw EDatabaseError(QStringLiteral("Нет соединения с базой данных"));
    return db;
}

void TSqlConnection::Execute(const QString &jetSql)
{
    TStatement stmt(Require(FDb), jetSql);
    while (stmt.Step()) {
    }
}

std::shared_ptr<TRowSet> TSqlConnection::Select(const QString &jetSql)
{
    TStatement stmt(Require(FDb), jetSql);
    sqlite3_stmt *s = stmt.Get();
    auto result = std::make_shared<TRowSet>();
    const int columns = sqlite3_column_count(s);
    std::vector<TColumnScan> scan(static_cast<size_t>(columns));
    result->ColumnNames.reserve(columns);
    result->ColumnTypes.reserve(columns);
    for (int c = 0; c < columns; ++c) {
        result->ColumnNames.append(QString::fromUtf8(sqlite3_column_name(s, c)));
        scan[size_t(c)].declared = TypeFromDeclaration(sqlite3_column_decltype(s, c));
    }

    QVector<QVector<QVariant>> &rows = result->Rows;
    // One column access per cell; the values are read on this connection's own thread.
    while (stmt.Step()) {
        QVector<QVariant> row(columns);
        QVariant *cells = row.data();
        for (int c = 0; c < columns; ++c) {
            TColumnScan &col = scan[size_t(c)];
            sqlite3_value *value = sqlite3_column_value(s, c);
            switch (sqlite3_value_type(value)) {
            case SQLITE_INTEGER: {
                const qlonglong v = sqlite3_value_int64(value);
                col.anyInteger = true;
                if (col.declared == TFieldType::Float || col.declared == TFieldType::DateTime)
                    Put(cells[c], double(v));
                else if (col.declared == TFieldType::String)
                    Put(cells[c], QString::number(v));
                else
                    Put(cells[c], v);
                break;
            }
            case SQLITE_FLOAT: {
                col.anyReal = true;
                if (col.declared == TFieldType::String)
                    Put(cells[c], QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(value)),
                                                          sqlite3_value_bytes(value)));
                else
                    Put(cells[c], sqlite3_value_double(value));
                break;
            }
            case SQLITE_NULL:
                break;
            default: { // text; a blob is read as text too
                const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
                const int bytes = sqlite3_value_bytes(value);
                col.anyText = true;
                double date;
                const bool isDate = (col.declared == TFieldType::DateTime || col.allTextIsDate) &&
                                    ParseIsoDateTime(reinterpret_cast<const unsigned char *>(text), bytes, date);
                if (!isDate)
                    col.allTextIsDate = false;
                if (isDate && col.declared == TFieldType::DateTime)
                    Put(cells[c], date);
                else
                    Put(cells[c], col.cache.Get(text, bytes));
                break;
            }
            }
        }
        rows.append(std::move(row));
    }

    // Columns of expressions take their type from their values: any real makes
    // a number column, integers an integer column, texts that are all days or
    // moments (a date literal as a selected value) a date column, else texts.
    for (int c = 0; c < columns; ++c) {
        TColumnScan &col = scan[size_t(c)];
        TFieldType type = col.declared;
        if (type == TFieldType::Unknown) {
            if (col.anyReal)
                type = TFieldType::Float;
            else if (col.anyInteger)
                type = TFieldType::Integer;
            else if (col.anyText && col.allTextIsDate)
                type = TFieldType::DateTime;
            else
                type = TFieldType::String;
            if (type == TFieldType::Float || type == TFieldType::DateTime) {
                for (QVector<QVariant> &row : rows) {
                    QVariant &v = row[c];
                    if (type == TFieldType::Float && v.typeId() == QMetaType::LongLong) {
                        v = QVariant(double(v.toLongLong()));
                    } else if (type == TFieldType::DateTime && v.typeId() == QMetaType::QString) {
                        const QByteArray bytes = v.toString().toUtf8();
                        double date = 0;
                        ParseIsoDateTime(reinterpret_cast<const unsigned char *>(bytes.constData()),
                                         int(bytes.size()), date);
                        v = QVariant(date);
                    }
                }
            }
        }
        result->ColumnTypes.append(type);
    }
    return result;
}

qint64 TSqlConnection::LastInsertId() const
{
    return sqlite3_last_insert_rowid(Require(FDb));
}

// The outermost level takes the write lock at once (BEGIN IMMEDIATE), so a
// second running program waits for it instead of failing half-way; inner
// levels are savepoints.
void TSqlConnection::BeginTransaction()
{
    sqlite3 *db = Require(FDb);
    if (sqlite3_get_autocommit(db))
        FTransactionDepth = 0;
    if (FTransactionDepth == 0)
        ExecPlain(db, "BEGIN IMMEDIATE");
    else
        ExecPlain(db, QByteArray("SAVEPOINT sp").append(QByteArray::number(FTransactionDepth)).constData());
    ++FTransactionDepth;
}

void TSqlConnection::CommitTransaction()
{
    sqlite3 *db = Require(FDb);
    if (FTransactionDepth == 0 || sqlite3_get_autocommit(db)) {
        FTransactionDepth = 0;
        throw EDatabaseError(QStringLiteral("No transaction is active"));
    }
    if (FTransactionDepth == 1)
        ExecPlain(db, "COMMIT");
    else
        ExecPlain(db, QByteArray("RELEASE sp").append(QByteArray::number(FTransactionDepth - 1)).constData());
    --FTransactionDepth;
}

void TSqlConnection::RollbackTransaction()
{
    sqlite3 *db = Require(FDb);
    // The engine may have rolled everything back by itself after an I/O error.
    if (FTransactionDepth == 0 || sqlite3_get_autocommit(db)) {
        const bool had = FTransactionDepth > 0;
        FTransactionDepth = 0;
        if (!had)
            throw EDatabaseError(QStringLiteral("No transaction is active"));
        return;
    }
    if (FTransactionDepth == 1) {
        ExecPlain(db, "ROLLBACK");
    } else {
        const QByteArray name = QByteArray("sp").append(QByteArray::number(FTransactionDepth - 1));
        ExecPlain(db, QByteArray("ROLLBACK TO ").append(name).append("; RELEASE ").append(name).constData());
    }
    --FTransactionDepth;
}

TTransaction::TTransaction(TSqlConnection &connection) : FConnection(connection)
{
    FConnection.BeginTransaction();
}

TTransaction::~TTransaction()
{
    if (FDone)
        return;
    try {
        FConnection.RollbackTransaction();
    } catch (...) {
        // A destructor never throws; the connection keeps its own count right.
    }
}

void TTransaction::Commit()
{
    if (FDone)
        throw EDatabaseError(QStringLiteral("The transaction is already committed"));
    FConnection.CommitTransaction();
    FDone = true;
}
