#pragma once

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QString>

// Day numbers with a fractional time of day: days since 30 December 1899.
using TDateTime = double;

// Process-wide number and date conventions. Taken from the system locale by
// InitFormatSettingsFromLocale() at start; tests set the fields directly.
struct TFormatSettings
{
    QChar DecimalSeparator = QLatin1Char('.');
    QChar ThousandSeparator = QChar(0x00A0);
    QChar DateSeparator = QLatin1Char('.');
    // Qt date format ("dd.MM.yyyy"): day, month and year, two, two and four digits.
    QString ShortDateFormat = QStringLiteral("dd.MM.yyyy");
    // Qt time format ("hh:mm:ss").
    QString LongTimeFormat = QStringLiteral("hh:mm:ss");
};

TFormatSettings &FormatSettings();
// Sets the decimal separator to "."; a thousands separator of "." then becomes a
// non-breaking space, so the two never coincide.
void UseDotDecimalSeparator();
// Fills FormatSettings() from the default QLocale (call before any window exists):
// separators, the short date with two-digit day and month and a four-digit year
// ("dd.MM.yyyy" when the locale's is not numeric, as in C), the long time without a
// time zone.
void InitFormatSettingsFromLocale();

// Throws EConvertError for an impossible date.
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime &result);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeDate(TDateTime value, int &year, int &month, int &day);
void DecodeTime(TDateTime value, int &hour, int &min, int &sec, int &msec);

TDateTime Now();
TDateTime Date();
// Same day number `months` months later (clamped to the month's last day), time kept.
TDateTime IncMonth(TDateTime value, int months = 1);
TDateTime StartOfTheMonth(TDateTime value);
TDateTime EndOfTheMonth(TDateTime value); // the last day, time 0

QDate ToQDate(TDateTime value);
QDateTime ToQDateTime(TDateTime value);
TDateTime FromQDate(const QDate &date);
TDateTime FromQDateTime(const QDateTime &dateTime);

// Texts under FormatSettings().
QString DateToStr(TDateTime value);
QString TimeToStr(TDateTime value);
// Short date, then a blank and the long time only when the time of day is not midnight.
QString DateTimeToStr(TDateTime value);
// Strict: the text must follow ShortDateFormat with one- or two-digit day and
// month and a four-digit year, and be a real date; blanks around are ignored.
// "31.02.2012", "12.05." and "__.__.____" are false. `result` changes only on success.
bool TryStrToDate(const QString &text, TDateTime &result);
// Accepts a short date optionally followed by blanks and a time "h:mm[:ss[.zzz]]",
// optionally with AM/PM.
bool TryStrToDateTime(const QString &text, TDateTime &result);
TDateTime StrToDateTime(const QString &text); // EConvertError when it does not convert
