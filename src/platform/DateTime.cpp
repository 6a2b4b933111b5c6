#include "platform/DateTime.h"

#include "platform/Exception.h"

#include <QLocale>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
constexpr qint64 c_julianDayOfZero = 2415019; // 30 December 1899
constexpr qint64 c_msecsPerDay = 86400000;

// Splits a day number into its day and its time of day in milliseconds.
// The integer part carries the sign, the fraction is the time of day.
void SplitDateTime(TDateTime value, qint64 &day, qint64 &msecs)
{
    // Values no date can have (NaN, far beyond year 9999) are kept from overflowing.
    if (!std::isfinite(value))
        value = 0;
    value = std::clamp(value, -1e9, 1e9);
    double whole = std::trunc(value);
    day = static_cast<qint64>(whole);
    msecs = static_cast<qint64>(std::llround(std::fabs(value - whole) * c_msecsPerDay));
    if (msecs >= c_msecsPerDay)
    {
        msecs -= c_msecsPerDay;
        // The next calendar day: one up for positive numbers, one up for negative ones too
        // (day -1 is 29 December 1899, day 0 the day after).
        day += 1;
    }
}

TDateTime ComposeDateTime(qint64 day, qint64 msecs)
{
    double time = static_cast<double>(msecs) / c_msecsPerDay;
    return day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time;
}

// One element of a Qt date or time format: a run of one pattern letter, or literal text.
struct TFormatToken
{
    QChar Letter; // null for literal text
    int Count = 0;
    QString Literal;
};

QVector<TFormatToken> TokenizeFormat(const QString &format)
{
    QVector<TFormatToken> tokens;
    auto appendLiteral = [&tokens](const QString &text) {
        if (text.isEmpty())
            return;
        if (!tokens.isEmpty() && tokens.last().Letter.isNull())
            tokens.last().Literal += text;
        else
            tokens.append({QChar(), 0, text});
    };
    for (int i = 0; i < format.size();)
    {
        QChar c = format.at(i);
        if (c == QLatin1Char('\''))
        {
            int j = i + 1;
            QString literal;
            while (j < format.size())
            {
                if (format.at(j) == QLatin1Char('\''))
                {
                    if (j + 1 < format.size() && format.at(j + 1) == QLatin1Char('\''))
                    {
                        literal += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                literal += format.at(j++);
            }
            if (j == i + 1 && j < format.size())
                literal = QStringLiteral("'"); // '' outside quotes is one quote
            appendLiteral(literal);
            i = j + 1;
        }
        else if (c.isLetter() && c.unicode() < 128)
        {
            int j = i;
            while (j < format.size() && format.at(j) == c)
                ++j;
            tokens.append({c, j - i, QString()});
            i = j;
        }
        else
        {
            appendLiteral(QString(c));
            ++i;
        }
    }
    return tokens;
}

QString QuoteLiteral(const QString &text)
{
    bool plain = true;
    for (QChar c : text)
        if (c.isLetter() || c == QLatin1Char('\''))
            plain = false;
    if (plain)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// The locale's short date as a format with two-digit day and month and a four-digit year.
// A format that is not a numeric day, month and year (the C locale's "d MMM yyyy", a
// month name, a missing part) gives "dd.MM.yyyy".
QString NormalizeShortDateFormat(const QString &format)
{
    const QString fallback = QStringLiteral("dd.MM.yyyy");
    int days = 0, months = 0, years = 0;
    QString result;
    for (const TFormatToken &token : TokenizeFormat(format))
    {
        if (token.Letter.isNull())
            result += QuoteLiteral(token.Literal);
        else if (token.Letter == QLatin1Char('d') && token.Count > 2)
            continue; // a day name has no place in a numeric date
        else if (token.Letter == QLatin1Char('d'))
            ++days, result += QStringLiteral("dd");
        else if (token.Letter == QLatin1Char('M') && token.Count <= 2)
            ++months, result += QStringLiteral("MM");
        else if (token.Letter == QLatin1Char('y'))
            ++years, result += QStringLiteral("yyyy");
        else
            return fallback;
    }
    if (days != 1 || months != 1 || years != 1)
        return fallback;
    // Literals left around a dropped day name.
    return result.trimmed();
}

QString NormalizeLongTimeFormat(const QString &format)
{
    QVector<TFormatToken> tokens;
    for (const TFormatToken &token : TokenizeFormat(format))
        if (token.Letter != QLatin1Char('t')) // no time zone
            tokens.append(token);
    // Blanks left at either end by the dropped zone.
    if (!tokens.isEmpty() && tokens.first().Letter.isNull())
    {
        QString &literal = tokens.first().Literal;
        while (!literal.isEmpty() && literal.front().isSpace())
            literal.remove(0, 1);
    }
    if (!tokens.isEmpty() && tokens.last().Letter.isNull())
    {
        QString &literal = tokens.last().Literal;
        while (!literal.isEmpty() && literal.back().isSpace())
            literal.chop(1);
    }
    QString result;
    for (const TFormatToken &token : tokens)
        result += token.Letter.isNull() ? QuoteLiteral(token.Literal) : QString(token.Count, token.Letter);
    return result;
}

// Literal text that ends the long time format ("ч." in "H:mm:ss' ч.'"), trimmed.
QString TrailingTimeLiteral()
{
    QVector<TFormatToken> tokens = TokenizeFormat(FormatSettings().LongTimeFormat);
    if (tokens.isEmpty() || !tokens.last().Letter.isNull())
        return QString();
    return tokens.last().Literal.trimmed();
}

QChar FirstSeparator(const QString &format)
{
    for (const TFormatToken &token : TokenizeFormat(format))
        if (token.Letter.isNull())
        {
            QString literal = token.Literal.trimmed();
            if (!literal.isEmpty())
                return literal.at(0);
        }
    return QLatin1Char('.');
}

bool ReadDigits(const QString &text, int &pos, int minDigits, int maxDigits, int &value)
{
    int start = pos;
    value = 0;
    while (pos < text.size() && pos - start < maxDigits && text.at(pos) >= QLatin1Char('0') &&
           text.at(pos) <= QLatin1Char('9'))
    {
        value = value * 10 + (text.at(pos).unicode() - '0');
        ++pos;
    }
    return pos - start >= minDigits;
}

// Reads a date by the short date format from `pos`; day and month take one or two
// digits, the year exactly four.
bool ParseDate(const QString &text, int &pos, TDateTime &result)
{
    int year = -1, month = -1, day = -1;
    for (const TFormatToken &token : TokenizeFormat(FormatSettings().ShortDateFormat))
    {
        if (token.Letter.isNull())
        {
            for (QChar c : token.Literal)
            {
                if (c.isSpace())
                {
                    while (pos < text.size() && text.at(pos).isSpace())
                        ++pos;
                    continue;
                }
                if (pos >= text.size() || text.at(pos) != c)
                    return false;
                ++pos;
            }
            continue;
        }
        bool ok = false;
        if (token.Letter == QLatin1Char('d'))
            ok = day < 0 && ReadDigits(text, pos, 1, 2, day);
        else if (token.Letter == QLatin1Char('M'))
            ok = month < 0 && ReadDigits(text, pos, 1, 2, month);
        else if (token.Letter == QLatin1Char('y'))
            ok = year < 0 && ReadDigits(text, pos, 4, 4, year);
        if (!ok)
            return false;
    }
    return year >= 0 && month >= 0 && day >= 0 && TryEncodeDate(year, month, day, result);
}

// Reads "h:mm[:ss[.zzz]]" with an optional AM/PM mark from `pos` to the end of `text`.
bool ParseTime(const QString &text, int &pos, TDateTime &result)
{
    int hour = 0, min = 0, sec = 0, msec = 0;
    if (!ReadDigits(text, pos, 1, 2, hour))
        return false;
    if (pos >= text.size() || text.at(pos) != QLatin1Char(':'))
        return false;
    ++pos;
    if (!ReadDigits(text, pos, 2, 2, min))
        return false;
    if (pos < text.size() && text.at(pos) == QLatin1Char(':'))
    {
        ++pos;
        if (!ReadDigits(text, pos, 2, 2, sec))
            return false;
        if (pos < text.size() && (text.at(pos) == QLatin1Char('.') || text.at(pos) == QLatin1Char(',')))
        {
            ++pos;
            int start = pos;
            if (!ReadDigits(text, pos, 1, 3, msec))
                return false;
            for (int digits = pos - start; digits < 3; ++digits)
                msec *= 10;
        }
    }
    // What follows: an AM/PM mark, the format's closing literal, or nothing.
    QString rest = text.mid(pos).trimmed();
    QString trailing = TrailingTimeLiteral();
    if (!trailing.isEmpty() && rest.endsWith(trailing))
        rest = rest.chopped(trailing.size()).trimmed();
    if (rest.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0 ||
        rest.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0)
    {
        if (hour < 1 || hour > 12)
            return false;
        bool pm = rest.at(0).toUpper() == QLatin1Char('P');
        hour = hour % 12 + (pm ? 12 : 0);
    }
    else if (!rest.isEmpty())
        return false;
    pos = text.size();
    if (hour > 23 || min > 59 || sec > 59)
        return false;
    result = EncodeTime(hour, min, sec, msec);
    return true;
}
} // namespace

TFormatSettings &FormatSettings()
{
    static TFormatSettings settings;
    return settings;
}

void UseDotDecimalSeparator()
{
    TFormatSettings &fs = FormatSettings();
    fs.DecimalSeparator = QLatin1Char('.');
    if (fs.ThousandSeparator == QLatin1Char('.'))
        fs.ThousandSeparator = QChar(0x00A0);
}

void InitFormatSettingsFromLocale()
{
    QLocale locale;
    TFormatSettings &fs = FormatSettings();
    fs.DecimalSeparator = locale.decimalPoint().isEmpty() ? QLatin1Char('.') : locale.decimalPoint().at(0);
    fs.ThousandSeparator =
        locale.groupSeparator().isEmpty() ? QChar(0x00A0) : locale.groupSeparator().at(0);
    fs.ShortDateFormat = NormalizeShortDateFormat(locale.dateFormat(QLocale::ShortFormat));
    fs.DateSeparator = FirstSeparator(fs.ShortDateFormat);
    fs.LongTimeFormat = NormalizeLongTimeFormat(locale.timeFormat(QLocale::LongFormat));
    if (fs.LongTimeFormat.isEmpty())
        fs.LongTimeFormat = QStringLiteral("hh:mm:ss");
}

bool TryEncodeDate(int year, int month, int day, TDateTime &result)
{
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return false;
    result = static_cast<double>(QDate(year, month, day).toJulianDay() - c_julianDayOfZero);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result))
        throw EConvertError(QStringLiteral("Invalid date: %1-%2-%3").arg(year).arg(month).arg(day));
    return result;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        throw EConvertError(
            QStringLiteral("Invalid time: %1:%2:%3.%4").arg(hour).arg(min).arg(sec).arg(msec));
    return static_cast<double>(((hour * 60 + min) * 60 + sec) * 1000 + msec) / c_msecsPerDay;
}

void DecodeDate(TDateTime value, int &year, int &month, int &day)
{
    QDate date = ToQDate(value);
    year = date.year();
    month = date.month();
    day = date.day();
}

void DecodeTime(TDateTime value, int &hour, int &min, int &sec, int &msec)
{
    qint64 day = 0, ms = 0;
    SplitDateTime(value, day, ms);
    hour = static_cast<int>(ms / 3600000);
    min = static_cast<int>(ms / 60000 % 60);
    sec = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

TDateTime Now() { return FromQDateTime(QDateTime::currentDateTime()); }

TDateTime Date() { return FromQDate(QDate::currentDate()); }

TDateTime IncMonth(TDateTime value, int months)
{
    qint64 day = 0, ms = 0;
    SplitDateTime(value, day, ms);
    QDate date = QDate::fromJulianDay(day + c_julianDayOfZero);
    // QDate::addMonths clamps to the last day of a shorter month.
    QDate moved = date.addMonths(months);
    return ComposeDateTime(moved.toJulianDay() - c_julianDayOfZero, ms);
}

TDateTime StartOfTheMonth(TDateTime value)
{
    QDate date = ToQDate(value);
    return FromQDate(QDate(date.year(), date.month(), 1));
}

TDateTime EndOfTheMonth(TDateTime value)
{
    QDate date = ToQDate(value);
    return FromQDate(QDate(date.year(), date.month(), date.daysInMonth()));
}

QDate ToQDate(TDateTime value)
{
    qint64 day = 0, ms = 0;
    SplitDateTime(value, day, ms);
    return QDate::fromJulianDay(day + c_julianDayOfZero);
}

QDateTime ToQDateTime(TDateTime value)
{
    qint64 day = 0, ms = 0;
    SplitDateTime(value, day, ms);
    return QDateTime(QDate::fromJulianDay(day + c_julianDayOfZero),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

TDateTime FromQDate(const QDate &date)
{
    if (!date.isValid())
        return 0;
    return static_cast<double>(date.toJulianDay() - c_julianDayOfZero);
}

TDateTime FromQDateTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return 0;
    return ComposeDateTime(dateTime.date().toJulianDay() - c_julianDayOfZero,
                           dateTime.time().msecsSinceStartOfDay());
}

QString DateToStr(TDateTime value)
{
    return QLocale::c().toString(ToQDate(value), FormatSettings().ShortDateFormat);
}

QString TimeToStr(TDateTime value)
{
    qint64 day = 0, ms = 0;
    SplitDateTime(value, day, ms);
    return QLocale::c().toString(QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)),
                                 FormatSettings().LongTimeFormat);
}

QString DateTimeToStr(TDateTime value)
{
    qint64 day = 0, ms = 0;
    SplitDateTime(value, day, ms);
    if (ms == 0)
        return DateToStr(value);
    return DateToStr(value) + QLatin1Char(' ') + TimeToStr(value);
}

bool TryStrToDate(const QString &text, TDateTime &result)
{
    QString trimmed = text.trimmed();
    int pos = 0;
    TDateTime value = 0;
    if (!ParseDate(trimmed, pos, value) || pos != trimmed.size())
        return false;
    result = value;
    return true;
}

bool TryStrToDateTime(const QString &text, TDateTime &result)
{
    QString trimmed = text.trimmed();
    int pos = 0;
    TDateTime date = 0;
    if (!ParseDate(trimmed, pos, date))
        return false;
    if (pos == trimmed.size())
    {
        result = date;
        return true;
    }
    if (!trimmed.at(pos).isSpace())
        return false;
    while (pos < trimmed.size() && trimmed.at(pos).isSpace())
        ++pos;
    TDateTime time = 0;
    if (!ParseTime(trimmed, pos, time) || pos != trimmed.size())
        return false;
    result = date >= 0 ? date + time : date - time;
    return true;
}

TDateTime StrToDateTime(const QString &text)
{
    TDateTime result = 0;
    if (!TryStrToDateTime(text, result))
        throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(text));
    return result;
}
