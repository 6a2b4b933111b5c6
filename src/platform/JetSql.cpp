#include "platform/JetSql.h"

#include "platform/Exception.h"

#include <QDate>
#include <vector>

namespace
{

inline bool IsSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v';
}

inline bool IsIdentStart(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c >= 0x80;
}

inline bool IsIdentChar(char16_t c)
{
    return IsIdentStart(c) || (c >= u'0' && c <= u'9') || c == u'$';
}

inline bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Case-insensitive comparison of an ASCII word with a piece of the text.
bool SameWord(const char16_t *s, qsizetype n, const char *lower)
{
    qsizetype i = 0;
    for (; i < n && lower[i]; ++i) {
        char16_t c = s[i];
        if (c >= u'A' && c <= u'Z')
            c += 32;
        if (c != char16_t(lower[i]))
            return false;
    }
    return i == n && lower[i] == 0;
}

[[noreturn]] void Refuse(const QString &text)
{
    throw EDatabaseError(text);
}

// A run of decimal digits at p[i..]; advances i. -1 when there is none.
int ReadNumber(const char16_t *p, qsizetype n, qsizetype &i, int maxDigits)
{
    int v = 0, digits = 0;
    while (i < n && IsDigit(p[i]) && digits < maxDigits) {
        v = v * 10 + (p[i] - u'0');
        ++i;
        ++digits;
    }
    if (i < n && IsDigit(p[i]))
        return -1;
    return digits ? v : -1;
}

// The inside of a Jet date literal: "m/d/yyyy" or "yyyy-m-d", optionally
// followed by a time "h:mm[:ss]" with an optional AM/PM. Gives the SQLite
// text 'yyyy-mm-dd' with ' HH:MM:SS' when the time is not midnight.
bool DateLiteral(const char16_t *p, qsizetype n, QString &out)
{
    qsizetype i = 0;
    while (i < n && IsSpace(p[i]))
        ++i;
    int year, month, day;
    const int first = ReadNumber(p, n, i, 4);
    if (first < 0 || i >= n)
        return false;
    if (p[i] == u'/') {
        ++i;
        month = first;
        day = ReadNumber(p, n, i, 2);
        if (day < 0 || i >= n || p[i] != u'/')
            return false;
        ++i;
        year = ReadNumber(p, n, i, 4);
    } else if (p[i] == u'-') {
        ++i;
        year = first;
        month = ReadNumber(p, n, i, 2);
        if (month < 0 || i >= n || p[i] != u'-')
            return false;
        ++i;
        day = ReadNumber(p, n, i, 2);
    } else {
        return false;
    }
    if (year < 1 || !QDate::isValid(year, month, day))
        return false;

    int hour = 0, minute = 0, second = 0;
    while (i < n && IsSpace(p[i]))
        ++i;
    if (i < n) {
        hour = ReadNumber(p, n, i, 2);
        if (hour < 0 || i >= n || p[i] != u':')
            return false;
        ++i;
        minute = ReadNumber(p, n, i, 2);
        if (minute < 0 || minute > 59)
            return false;
        if (i < n && p[i] == u':') {
            ++i;
            second = ReadNumber(p, n, i, 2);
            if (second < 0 || second > 59)
                return false;
        }
        while (i < n && IsSpace(p[i]))
            ++i;
        if (i + 1 < n && (p[i + 1] == u'M' || p[i + 1] == u'm')) {
            const bool pm = p[i] == u'P' || p[i] == u'p';
            if (!pm && p[i] != u'A' && p[i] != u'a')
                return false;
            if (hour < 1 || hour > 12)
                return false;
            hour = hour % 12 + (pm ? 12 : 0);
            i += 2;
            while (i < n && IsSpace(p[i]))
                ++i;
        }
        if (i != n || hour > 23)
            return false;
    }
    char16_t buf[24];
    int k = 0;
    auto put = [&](int value, int digits) {
        for (int d = digits - 1; d >= 0; --d) {
            buf[k + d] = char16_t(u'0' + value % 10);
            value /= 10;
        }
        k += digits;
    };
    buf[k++] = u'\'';
    put(year, 4);
    buf[k++] = u'-';
    put(month, 2);
    buf[k++] = u'-';
    put(day, 2);
    if (hour || minute || second) {
        buf[k++] = u' ';
        put(hour, 2);
        buf[k++] = u':';
        put(minute, 2);
        buf[k++] = u':';
        put(second, 2);
    }
    buf[k++] = u'\'';
    out = QString(reinterpret_cast<const QChar *>(buf), k);
    return true;
}

class TTranslator
{
public:
    explicit TTranslator(const QString &text)
        : FText(text), P(reinterpret_cast<const char16_t *>(text.utf16())), N(text.size())
    {
    }

    QString Run()
    {
        qsizetype i = 0;
        while (i < N) {
            const char16_t c = P[i];
            if (IsSpace(c)) {
                ++i;
                continue;
            }
            if (c == u'-' && i + 1 < N && P[i + 1] == u'-') {
                i = SkipLineComment(i);
                continue;
            }
            if (c == u'/' && i + 1 < N && P[i + 1] == u'*') {
                i = SkipBlockComment(i);
                continue;
            }
            if (FEnded) {
                if (c == u';') {
                    ++i;
                    continue;
                }
                Refuse(QStringLiteral("The SQL text holds more than one statement"));
            }
            if (c == u';') {
                FEnded = true;
                ++i;
                continue;
            }
            if (c == u'\'') {
                i = SkipQuoted(i, u'\'');
                Significant(kOther);
            } else if (c == u'"') {
                i = DoubleQuoted(i);
                Significant(kOther);
            } else if (c == u'[') {
                i = SkipQuoted(i, u']');
                Significant(kOther);
            } else if (c == u'`') {
                i = SkipQuoted(i, u'`');
                Significant(kOther);
            } else if (c == u'#') {
                i = DateHash(i);
                Significant(kOther);
            } else if (c == u'@' && i + 1 < N && P[i + 1] == u'@') {
                i = Identity(i);
                Significant(kOther);
            } else if (c == u'(') {
                i = OpenParen(i);
            } else if (c == u')') {
                i = CloseParen(i);
                Significant(kOther);
            } else if (IsIdentStart(c)) {
                i = Word(i);
            } else if (IsDigit(c) || (c == u'.' && i + 1 < N && IsDigit(P[i + 1]))) {
                i = SkipNumber(i);
                Significant(kOther);
            } else {
                ++i;
                Significant(kOther);
            }
        }
        if (!FChanged)
            return FText;
        Flush(N);
        return FOut;
    }

private:
    enum TPrev { kStart, kLParen, kSetOp, kUnion, kOther };
    enum TParen { kPlain, kSubquery, kFirstMember, kDatePart };
    struct TOpen
    {
        TParen kind;
        qsizetype outPos;   // where "(" stands in the output
        QString closing;    // replacement for the matching ")"
    };

    // Copies the unchanged text up to `to` into the output.
    void Flush(qsizetype to)
    {
        if (FOut.isEmpty() && FCopied == 0)
            FOut.reserve(N + 64);
        FOut.append(QStringView(P + FCopied, to - FCopied));
        FCopied = to;
    }
    void Replace(qsizetype from, qsizetype to, QStringView with)
    {
        Flush(from);
        FOut.append(with);
        FCopied = to;
        FChanged = true;
    }

    void Significant(TPrev kind) { FPrev = kind; }

    qsizetype SkipLineComment(qsizetype i) const
    {
        while (i < N && P[i] != u'\n')
            ++i;
        return i;
    }
    qsizetype SkipBlockComment(qsizetype i) const
    {
        i += 2;
        while (i + 1 < N && !(P[i] == u'*' && P[i + 1] == u'/'))
            ++i;
        return i + 1 < N ? i + 2 : N;
    }
    // A quoted piece closed by `close`, a doubled `close` standing for one.
    qsizetype SkipQuoted(qsizetype i, char16_t close) const
    {
        ++i;
        while (i < N) {
            if (P[i] == close) {
                if (close != u']' && i + 1 < N && P[i + 1] == close) {
                    i += 2;
                    continue;
                }
                return i + 1;
            }
            ++i;
        }
        return N;
    }
    qsizetype SkipNumber(qsizetype i) const
    {
        while (i < N) {
            const char16_t c = P[i];
            if (IsIdentChar(c) || c == u'.')
                ++i;
            else if ((c == u'+' || c == u'-') && (P[i - 1] == u'e' || P[i - 1] == u'E'))
                ++i;
            else
                break;
        }
        return i;
    }
    // Next significant position after i (spaces and comments skipped).
    qsizetype NextToken(qsizetype i) const
    {
        while (i < N) {
            if (IsSpace(P[i]))
                ++i;
            else if (P[i] == u'-' && i + 1 < N && P[i + 1] == u'-')
                i = SkipLineComment(i);
            else if (P[i] == u'/' && i + 1 < N && P[i + 1] == u'*')
                i = SkipBlockComment(i);
            else
                break;
        }
        return i;
    }
    qsizetype WordEnd(qsizetype i) const
    {
        while (i < N && IsIdentChar(P[i]))
            ++i;
        return i;
    }
    bool WordAt(qsizetype i, const char *lower) const
    {
        if (i >= N || !IsIdentStart(P[i]))
            return false;
        return SameWord(P + i, WordEnd(i) - i, lower);
    }

    // "text" becomes 'text': "" inside stands for one ", a ' is doubled.
    qsizetype DoubleQuoted(qsizetype i)
    {
        const qsizetype start = i;
        QString literal;
        literal.reserve(32);
        literal.append(QLatin1Char('\''));
        ++i;
        bool closed = false;
        while (i < N) {
            const char16_t c = P[i];
            if (c == u'"') {
                if (i + 1 < N && P[i + 1] == u'"') {
                    literal.append(QLatin1Char('"'));
                    i += 2;
                    continue;
                }
                ++i;
                closed = true;
                break;
            }
            if (c == u'\'')
                literal.append(QLatin1Char('\''));
            literal.append(QChar(c));
            ++i;
        }
        if (!closed)
            Refuse(QStringLiteral("Unterminated text literal in the SQL text"));
        literal.append(QLatin1Char('\''));
        Replace(start, i, literal);
        return i;
    }

    qsizetype DateHash(qsizetype i)
    {
        qsizetype close = i + 1;
        while (close < N && P[close] != u'#' && P[close] != u'\n' && close - i <= 40)
            ++close;
        QString literal;
        if (close >= N || P[close] != u'#' || !DateLiteral(P + i + 1, close - i - 1, literal)) {
            const qsizetype end = close < N && P[close] == u'#' ? close + 1 : std::min(close, N);
            Refuse(QStringLiteral("Invalid date literal %1").arg(QStringView(P + i, end - i)));
        }
        Replace(i, close + 1, literal);
        return close + 1;
    }

    qsizetype Identity(qsizetype i)
    {
        const qsizetype end = WordEnd(i + 2);
        if (SameWord(P + i + 2, end - i - 2, "identity"))
            Replace(i, end, u"last_insert_rowid()");
        return end;
    }

    qsizetype Word(qsizetype i)
    {
        const qsizetype end = WordEnd(i);
        const qsizetype len = end - i;
        TPrev kind = kOther;
        if (len == 5 && SameWord(P + i, len, "union")) {
            kind = kUnion;
        } else if (len == 3 && SameWord(P + i, len, "all")) {
            kind = FPrev == kUnion ? kSetOp : kOther;
        } else if ((len == 6 && SameWord(P + i, len, "except")) || (len == 9 && SameWord(P + i, len, "intersect"))) {
            kind = kSetOp;
        } else if (FPrev == kStart && len == 6 && SameWord(P + i, len, "pragma")) {
            // It would put SQLite's ASCII-only like() back in place of ours.
            const qsizetype next = NextToken(end);
            if (WordAt(next, "case_sensitive_like"))
                Refuse(QStringLiteral("PRAGMA case_sensitive_like is not allowed"));
        } else if (len == 8 && SameWord(P + i, len, "datepart")) {
            const qsizetype next = DatePart(i, end);
            if (next != end) {
                Significant(kOther);
                return next;
            }
        }
        Significant(kind);
        return end;
    }

    // DatePart("yyyy"|"q"|"m"|"d"|"h"|"n"|"s", x) becomes CAST(strftime(...,
    // x) AS INTEGER); the rest of the call is translated as usual and its
    // closing parenthesis completes the cast. Returns `end` when the call is
    // not of that form (left for the engine to judge).
    qsizetype DatePart(qsizetype start, qsizetype end)
    {
        qsizetype i = NextToken(end);
        if (i >= N || P[i] != u'(')
            return end;
        i = NextToken(i + 1);
        if (i >= N || (P[i] != u'"' && P[i] != u'\''))
            return end;
        const char16_t quote = P[i];
        const qsizetype litStart = i + 1;
        const qsizetype litEnd = SkipQuoted(i, quote) - 1;
        if (litEnd <= litStart || P[litEnd] != quote)
            return end;
        i = NextToken(litEnd + 1);
        if (i >= N || P[i] != u',')
            return end;
        const qsizetype afterComma = i + 1;

        const QStringView code(P + litStart, litEnd - litStart);
        const char *format = nullptr;
        bool quarter = false;
        if (code.compare(u"yyyy", Qt::CaseInsensitive) == 0)
            format = "%Y";
        else if (code.compare(u"q", Qt::CaseInsensitive) == 0)
            format = "%m", quarter = true;
        else if (code.compare(u"m", Qt::CaseInsensitive) == 0)
            format = "%m";
        else if (code.compare(u"d", Qt::CaseInsensitive) == 0)
            format = "%d";
        else if (code.compare(u"h", Qt::CaseInsensitive) == 0)
            format = "%H";
        else if (code.compare(u"n", Qt::CaseInsensitive) == 0)
            format = "%M";
        else if (code.compare(u"s", Qt::CaseInsensitive) == 0)
            format = "%S";
        else
            Refuse(QStringLiteral("DatePart: unsupported interval \"%1\"").arg(code));

        const QString head = QStringLiteral("%1CAST(strftime('%2',").arg(quarter ? QStringLiteral("((") : QString(),
                                                                          QLatin1String(format));
        Replace(start, afterComma, head);
        FParens.push_back({kDatePart, FOut.size(), quarter ? QStringLiteral(") AS INTEGER) + 2) / 3)")
                                                           : QStringLiteral(") AS INTEGER)")});
        return afterComma;
    }

    // A parenthesised select that is a member of a compound select becomes
    // select * from (select ...), which SQLite accepts, own order by included.
    qsizetype OpenParen(qsizetype i)
    {
        const TPrev prev = FPrev;
        Significant(kLParen);
        if (!WordAt(NextToken(i + 1), "select")) {
            FParens.push_back({kPlain, -1, QString()});
            return i + 1;
        }
        if (prev == kSetOp || prev == kUnion) {
            Replace(i, i, u"select * from ");
            FParens.push_back({kSubquery, -1, QString()});
        } else if (prev == kStart || prev == kLParen) {
            Flush(i);
            FParens.push_back({kFirstMember, FOut.size(), QString()});
        } else {
            FParens.push_back({kSubquery, -1, QString()});
        }
        return i + 1;
    }

    qsizetype CloseParen(qsizetype i)
    {
        if (FParens.empty())
            return i + 1; // unbalanced: the engine reports it
        TOpen open = std::move(FParens.back());
        FParens.pop_back();
        if (open.kind == kDatePart) {
            Replace(i, i + 1, open.closing);
        } else if (open.kind == kFirstMember) {
            const qsizetype next = NextToken(i + 1);
            if (WordAt(next, "union") || WordAt(next, "except") || WordAt(next, "intersect")) {
                Flush(i);
                FOut.insert(open.outPos, QLatin1String("select * from "));
                FChanged = true;
                // Positions recorded after this one moved along with the text.
                for (TOpen &o : FParens)
                    if (o.outPos > open.outPos)
                        o.outPos += 14;
            }
        }
        return i + 1;
    }

    const QString &FText;
    const char16_t *P;
    const qsizetype N;
    QString FOut;
    qsizetype FCopied = 0;
    bool FChanged = false;
    bool FEnded = false;
    TPrev FPrev = kStart;
    std::vector<TOpen> FParens;
};

} // namespace

QString TranslateJetSql(const QString &jetSql)
{
    return TTranslator(jetSql).Run();
}
