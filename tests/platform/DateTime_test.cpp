#include "platform/DateTime.h"
#include "platform/Exception.h"

#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>

namespace
{
// Restores FormatSettings and the default locale after each test.
class DateTimeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FSavedSettings = FormatSettings();
        FSavedLocale = QLocale();
        FormatSettings() = TFormatSettings();
    }
    void TearDown() override
    {
        QLocale::setDefault(FSavedLocale);
        FormatSettings() = FSavedSettings;
    }
    TFormatSettings FSavedSettings;
    QLocale FSavedLocale;
};

struct TDateCase
{
    int Year, Month, Day;
    double DayNumber;
};

class EncodeDateCases : public ::testing::TestWithParam<TDateCase>
{
};

TEST_P(EncodeDateCases, GivesDayNumberAndBack)
{
    const TDateCase &c = GetParam();
    EXPECT_EQ(EncodeDate(c.Year, c.Month, c.Day), c.DayNumber);
    int y = 0, m = 0, d = 0;
    DecodeDate(c.DayNumber, y, m, d);
    EXPECT_EQ(y, c.Year);
    EXPECT_EQ(m, c.Month);
    EXPECT_EQ(d, c.Day);
}

INSTANTIATE_TEST_SUITE_P(Days, EncodeDateCases,
                         ::testing::Values(TDateCase{1899, 12, 30, 0}, TDateCase{1899, 12, 29, -1},
                                           TDateCase{1900, 1, 1, 2}, TDateCase{1900, 3, 1, 61},
                                           TDateCase{2000, 1, 1, 36526}, TDateCase{2012, 2, 29, 40968},
                                           TDateCase{2012, 5, 12, 41041}, TDateCase{1, 1, 1, -693593},
                                           TDateCase{9999, 12, 31, 2958465}));

TEST_F(DateTimeTest, ImpossibleDatesAreRefused)
{
    const int cases[][3] = {{2012, 2, 30}, {2011, 2, 29}, {2012, 13, 1}, {2012, 0, 1}, {2012, 4, 31}, {0, 1, 1}, {10000, 1, 1}};
    for (const auto &c : cases)
    {
        TDateTime value = 123;
        EXPECT_FALSE(TryEncodeDate(c[0], c[1], c[2], value)) << c[0] << "-" << c[1] << "-" << c[2];
        EXPECT_EQ(value, 123);
        EXPECT_THROW(EncodeDate(c[0], c[1], c[2]), EConvertError);
    }
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
}

TEST_F(DateTimeTest, TimeOfDayIsTheFraction)
{
    TDateTime value = EncodeDate(2012, 5, 12) + EncodeTime(18, 30, 15, 250);
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(value, h, m, s, ms);
    EXPECT_EQ(h, 18);
    EXPECT_EQ(m, 30);
    EXPECT_EQ(s, 15);
    EXPECT_EQ(ms, 250);
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(ToQDateTime(value), QDateTime(QDate(2012, 5, 12), QTime(18, 30, 15, 250)));
    EXPECT_EQ(FromQDateTime(QDateTime(QDate(2012, 5, 12), QTime(18, 30, 15, 250))), value);
    EXPECT_EQ(FromQDate(QDate(2012, 5, 12)), 41041);
    EXPECT_EQ(ToQDate(value), QDate(2012, 5, 12));

    // Before day 0 the sign is on the day only: -1.25 is 29 December 1899, 06:00.
    EXPECT_EQ(ToQDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
}

TEST_F(DateTimeTest, AlmostMidnightRoundsIntoTheNextDay)
{
    // Half a millisecond before midnight: date and time decode consistently.
    TDateTime value = EncodeDate(2012, 5, 12) + (86400000.0 - 0.4) / 86400000.0;
    EXPECT_EQ(ToQDate(value), QDate(2012, 5, 13));
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(value, h, m, s, ms);
    EXPECT_EQ(h * 3600000 + m * 60000 + s * 1000 + ms, 0);
    EXPECT_EQ(DateTimeToStr(value), "13.05.2012");
}

TEST_F(DateTimeTest, ValuesNoDateCanHaveStayDefined)
{
    EXPECT_EQ(DateTimeToStr(std::nan("")), "30.12.1899");
    EXPECT_TRUE(ToQDate(1e300).isValid());
    EXPECT_TRUE(ToQDate(-1e300).isValid());
}

TEST_F(DateTimeTest, IncMonthClampsAndKeepsTime)
{
    TDateTime time = EncodeTime(10, 0, 0, 0);
    EXPECT_EQ(IncMonth(EncodeDate(2012, 1, 31) + time), EncodeDate(2012, 2, 29) + time);
    EXPECT_EQ(IncMonth(EncodeDate(2011, 1, 31)), EncodeDate(2011, 2, 28));
    EXPECT_EQ(IncMonth(EncodeDate(2012, 3, 31), -1), EncodeDate(2012, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2011, 12, 15), 1), EncodeDate(2012, 1, 15));
    EXPECT_EQ(IncMonth(EncodeDate(2012, 1, 15), -13), EncodeDate(2010, 12, 15));
    EXPECT_EQ(IncMonth(EncodeDate(2012, 5, 12), 0), EncodeDate(2012, 5, 12));
}

TEST_F(DateTimeTest, MonthBoundsDropTheTime)
{
    TDateTime value = EncodeDate(2012, 2, 10) + 0.75;
    EXPECT_EQ(StartOfTheMonth(value), EncodeDate(2012, 2, 1));
    EXPECT_EQ(EndOfTheMonth(value), EncodeDate(2012, 2, 29));
    EXPECT_EQ(EndOfTheMonth(EncodeDate(2011, 12, 1)), EncodeDate(2011, 12, 31));
}

TEST_F(DateTimeTest, NowAndDateAreToday)
{
    TDateTime now = Now();
    TDateTime today = Date();
    EXPECT_EQ(today, static_cast<double>(static_cast<long long>(today)));
    EXPECT_GE(now, today);
    EXPECT_LT(now, today + 1.001); // a run across midnight may see tomorrow's Now
}

TEST_F(DateTimeTest, DateTimeToStrShowsTimeOnlyWhenNotMidnight)
{
    EXPECT_EQ(DateTimeToStr(EncodeDate(2012, 5, 2)), "02.05.2012");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2012, 5, 2) + EncodeTime(8, 5, 7, 0)), "02.05.2012 08:05:07");
    EXPECT_EQ(DateToStr(EncodeDate(2012, 5, 2) + 0.5), "02.05.2012");
    EXPECT_EQ(TimeToStr(EncodeDate(2012, 5, 2) + 0.5), "12:00:00");
    EXPECT_EQ(DateToStr(EncodeDate(987, 1, 3)), "03.01.0987");

    FormatSettings().ShortDateFormat = "MM/dd/yyyy";
    EXPECT_EQ(DateTimeToStr(EncodeDate(2012, 5, 2)), "05/02/2012");
}

struct TParseCase
{
    const char *Text;
    bool Ok;
    double Value;
};

void PrintTo(const TParseCase &c, std::ostream *os) { *os << '"' << c.Text << '"'; }

class StrToDateCases : public ::testing::TestWithParam<TParseCase>
{
protected:
    void SetUp() override
    {
        FSaved = FormatSettings();
        FormatSettings() = TFormatSettings();
    }
    void TearDown() override { FormatSettings() = FSaved; }
    TFormatSettings FSaved;
};

TEST_P(StrToDateCases, ReadsStrictly)
{
    TDateTime value = -7;
    EXPECT_EQ(TryStrToDate(QString::fromUtf8(GetParam().Text), value), GetParam().Ok);
    EXPECT_EQ(value, GetParam().Ok ? GetParam().Value : -7);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrToDateCases,
    ::testing::Values(TParseCase{"12.05.2012", true, 41041}, TParseCase{"1.5.2012", true, 41030},
                      TParseCase{" 12.05.2012 ", true, 41041}, TParseCase{"29.02.2012", true, 40968},
                      TParseCase{"31.02.2012", false, 0}, TParseCase{"29.02.2011", false, 0},
                      TParseCase{"__.__.____", false, 0}, TParseCase{"12.05.", false, 0},
                      TParseCase{"12.05", false, 0}, TParseCase{"", false, 0}, TParseCase{"12.05.12", false, 0},
                      TParseCase{"12/05/2012", false, 0}, TParseCase{"12.05.2012x", false, 0},
                      TParseCase{"12.05.2012 10:00", false, 0}, TParseCase{"123.05.2012", false, 0},
                      TParseCase{"12.05.20123", false, 0}, TParseCase{"-1.05.2012", false, 0},
                      TParseCase{"00.05.2012", false, 0}, TParseCase{"12.00.2012", false, 0}));

class StrToDateTimeCases : public StrToDateCases
{
};

TEST_P(StrToDateTimeCases, ReadsStrictly)
{
    TDateTime value = -7;
    EXPECT_EQ(TryStrToDateTime(QString::fromUtf8(GetParam().Text), value), GetParam().Ok);
    EXPECT_DOUBLE_EQ(value, GetParam().Ok ? GetParam().Value : -7);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrToDateTimeCases,
    ::testing::Values(TParseCase{"12.05.2012", true, 41041}, TParseCase{"12.05.2012 18:00:00", true, 41041.75},
                      TParseCase{"12.05.2012 18:00", true, 41041.75}, TParseCase{"12.05.2012   6:00:00", true, 41041.25},
                      TParseCase{"12.05.2012 00:00:00", true, 41041}, TParseCase{"12.05.2012 25:00:00", false, 0},
                      TParseCase{"12.05.2012 13:60", false, 0}, TParseCase{"12.05.2012 13:5", false, 0},
                      TParseCase{"12.05.2012 13:05:07 xyz", false, 0}, TParseCase{"12.05.201213:05", false, 0},
                      TParseCase{"12.05.2012 ", true, 41041}, TParseCase{"31.02.2012 10:00", false, 0},
                      TParseCase{"12.05.2012 13:", false, 0}, TParseCase{"12.05.2012 6:00 PM", true, 41041.75},
                      TParseCase{"12.05.2012 12:00 am", true, 41041}, TParseCase{"12.05.2012 13:00 PM", false, 0}));

TEST_F(DateTimeTest, StrToDateTimeRaisesForBadText)
{
    EXPECT_EQ(StrToDateTime("12.05.2012 06:00:00"), 41041.25);
    EXPECT_THROW(StrToDateTime("31.02.2012"), EConvertError);
}

TEST_F(DateTimeTest, FormatOrderFollowsShortDateFormat)
{
    FormatSettings().ShortDateFormat = "MM/dd/yyyy";
    TDateTime value = 0;
    ASSERT_TRUE(TryStrToDate("05/12/2012", value));
    EXPECT_EQ(value, EncodeDate(2012, 5, 12));
    EXPECT_FALSE(TryStrToDate("13/05/2012", value));
    FormatSettings().ShortDateFormat = "yyyy-MM-dd";
    ASSERT_TRUE(TryStrToDate("2012-05-12", value));
    EXPECT_EQ(value, EncodeDate(2012, 5, 12));
}

struct TLocaleCase
{
    const char *Locale;
    QChar DecimalSeparator;
    QString ShortDateFormat;
    QString Shown; // DateTimeToStr of 2 May 2012, 18:30:05
};

void PrintTo(const TLocaleCase &c, std::ostream *os) { *os << c.Locale; }

class LocaleCases : public ::testing::TestWithParam<TLocaleCase>
{
protected:
    void SetUp() override
    {
        FSavedSettings = FormatSettings();
        FSavedLocale = QLocale();
    }
    void TearDown() override
    {
        QLocale::setDefault(FSavedLocale);
        FormatSettings() = FSavedSettings;
    }
    TFormatSettings FSavedSettings;
    QLocale FSavedLocale;
};

TEST_P(LocaleCases, SettingsComeFromTheLocaleAndReadBack)
{
    QLocale::setDefault(QLocale(QString::fromLatin1(GetParam().Locale)));
    InitFormatSettingsFromLocale();
    EXPECT_EQ(FormatSettings().DecimalSeparator, GetParam().DecimalSeparator);
    EXPECT_EQ(FormatSettings().ShortDateFormat, GetParam().ShortDateFormat);
    TDateTime value = EncodeDate(2012, 5, 2) + EncodeTime(18, 30, 5, 0);
    QString shown = DateTimeToStr(value);
    EXPECT_EQ(shown, GetParam().Shown);
    TDateTime back = 0;
    ASSERT_TRUE(TryStrToDateTime(shown, back)) << shown.toStdString();
    EXPECT_DOUBLE_EQ(back, value);
    ASSERT_TRUE(TryStrToDateTime(DateTimeToStr(EncodeDate(2012, 5, 2)), back));
    EXPECT_EQ(back, EncodeDate(2012, 5, 2));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleCases,
    ::testing::Values(TLocaleCase{"ru_RU", QLatin1Char(','), "dd.MM.yyyy", "02.05.2012 18:30:05"},
                      TLocaleCase{"en_US", QLatin1Char('.'), "MM/dd/yyyy", "05/02/2012 6:30:05 PM"},
                      TLocaleCase{"de_DE", QLatin1Char(','), "dd.MM.yyyy", "02.05.2012 18:30:05"},
                      TLocaleCase{"sv_SE", QLatin1Char(','), "yyyy-MM-dd", "2012-05-02 18:30:05"},
                      // C has no numeric short date ("d MMM yyyy"): day, month and year with dots.
                      TLocaleCase{"C", QLatin1Char('.'), "dd.MM.yyyy", "02.05.2012 18:30:05"}));

TEST_F(DateTimeTest, RussianLocaleSeparators)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    InitFormatSettingsFromLocale();
    EXPECT_EQ(FormatSettings().DateSeparator, QLatin1Char('.'));
    EXPECT_EQ(FormatSettings().ThousandSeparator, QLocale().groupSeparator().at(0));
    EXPECT_FALSE(FormatSettings().LongTimeFormat.contains('t')); // no time zone in the long time
}
} // namespace
