#include "platform/widgets/DateEdit.h"

#include <QCalendarWidget>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct TDateFormat
{
    const char *Format;
    char Separator;
};

class DateEditTest : public ::testing::Test
{
protected:
    void SetUp() override { FSaved = FormatSettings(); }
    void TearDown() override { FormatSettings() = FSaved; }

    static void Use(const TDateFormat &f)
    {
        FormatSettings().ShortDateFormat = QString::fromLatin1(f.Format);
        FormatSettings().DateSeparator = QLatin1Char(f.Separator);
    }
    // Types `keys` into an empty edit from its first position, as a user would.
    static void Type(TDateEdit &edit, const QString &keys)
    {
        edit.setFocus();
        QTest::keyClick(&edit, Qt::Key_Home);
        QTest::keyClicks(&edit, keys);
    }

    TFormatSettings FSaved;
};

void PrintTo(const TDateFormat &f, std::ostream *os)
{
    *os << f.Format;
}

const TDateFormat c_dmy{"dd.MM.yyyy", '.'};
const TDateFormat c_mdy{"MM/dd/yyyy", '/'};

TEST_F(DateEditTest, MaskFollowsTheShortDateFormat)
{
    const struct
    {
        TDateFormat Format;
        const char *Mask;
        const char *Blank;
    } cases[] = {
        {c_dmy, "99.99.9999;_", "__.__.____"},
        {c_mdy, "99/99/9999;_", "__/__/____"},
        {{"yyyy-MM-dd", '-'}, "9999-99-99;_", "____-__-__"},
        // A format the edit cannot use falls back to day, month, year with the separator.
        {{"dddd d MMMM", '.'}, "99.99.9999;_", "__.__.____"},
    };
    for (const auto &c : cases) {
        Use(c.Format);
        TDateEdit edit;
        EXPECT_EQ(edit.Mask(), QString::fromLatin1(c.Mask)) << c.Format.Format;
        EXPECT_EQ(edit.displayText(), QString::fromLatin1(c.Blank)) << c.Format.Format;
        EXPECT_EQ(edit.Date(), 0.0);
    }
}

// What the user types (digits only, the mask adds the separators) and the day it gives.
struct TTypedCase
{
    const char *Keys;
    int Year, Month, Day; // 0: day zero
};

void PrintTo(const TTypedCase &c, std::ostream *os)
{
    *os << '"' << c.Keys << '"';
}

class DateEditTyped : public DateEditTest, public ::testing::WithParamInterface<TTypedCase>
{
};

TEST_P(DateEditTyped, TypedTextReadsAsDayOrDayZero)
{
    Use(c_dmy);
    TDateEdit edit;
    edit.show();
    Type(edit, QString::fromLatin1(GetParam().Keys));
    const TTypedCase &c = GetParam();
    const TDateTime expected = c.Year ? EncodeDate(c.Year, c.Month, c.Day) : 0.0;
    EXPECT_EQ(edit.Date(), expected) << c.Keys << " shown as " << edit.displayText().toStdString();
    EXPECT_EQ(edit.HasDate(), c.Year != 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, DateEditTyped,
                         ::testing::Values(TTypedCase{"05032012", 2012, 3, 5},
                                           TTypedCase{"29022012", 2012, 2, 29},
                                           TTypedCase{"01011900", 1900, 1, 1},
                                           TTypedCase{"31129999", 9999, 12, 31},
                                           TTypedCase{"", 0, 0, 0},
                                           TTypedCase{"3102", 0, 0, 0},      // incomplete
                                           TTypedCase{"0503201", 0, 0, 0},   // year incomplete
                                           TTypedCase{"31022012", 0, 0, 0},  // impossible day
                                           TTypedCase{"29022011", 0, 0, 0},  // not a leap year
                                           TTypedCase{"00012012", 0, 0, 0},
                                           TTypedCase{"01132012", 0, 0, 0},
                                           TTypedCase{"31121899", 0, 0, 0},  // before 1900
                                           TTypedCase{"01010001", 0, 0, 0},
                                           TTypedCase{"ab12cd", 0, 0, 0}));  // letters never enter

TEST_F(DateEditTest, ClearedDigitCountsAsDayZero)
{
    Use(c_dmy);
    TDateEdit edit;
    edit.show();
    Type(edit, QStringLiteral("05032012"));
    ASSERT_EQ(edit.Date(), EncodeDate(2012, 3, 5));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.displayText(), QStringLiteral("05.03.201_"));
    EXPECT_EQ(edit.Date(), 0.0);
}

class DateEditFormats : public DateEditTest, public ::testing::WithParamInterface<TDateFormat>
{
};

TEST_P(DateEditFormats, SetDateAndTypingRoundTrip)
{
    Use(GetParam());
    const QString sep(QLatin1Char(GetParam().Separator));
    const bool monthFirst = GetParam().Format[0] == 'M';
    TDateEdit edit;
    edit.show();

    // The time of day is dropped.
    edit.SetDate(EncodeDate(2012, 3, 5) + 0.75);
    EXPECT_EQ(edit.displayText(), monthFirst ? QStringLiteral("03") + sep + "05" + sep + "2012"
                                             : QStringLiteral("05") + sep + "03" + sep + "2012");
    EXPECT_EQ(edit.Date(), EncodeDate(2012, 3, 5));

    edit.SetDate(0);
    Type(edit, monthFirst ? QStringLiteral("12312011") : QStringLiteral("31122011"));
    EXPECT_EQ(edit.Date(), EncodeDate(2011, 12, 31));
    EXPECT_EQ(edit.displayText(), DateToStr(EncodeDate(2011, 12, 31)));

    for (const TDateTime day : {EncodeDate(1900, 1, 1), EncodeDate(2000, 2, 29), EncodeDate(9999, 12, 31)}) {
        edit.SetDate(day);
        EXPECT_EQ(edit.Date(), day) << edit.displayText().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, DateEditFormats, ::testing::Values(c_dmy, c_mdy));

TEST_F(DateEditTest, ValuesOutsideTheRangeEmptyTheEdit)
{
    Use(c_dmy);
    TDateEdit edit;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const double value : {0.0, 1.0, -5.5, TDateEdit::MaxDate() + 1, 1e12, nan, inf, -inf}) {
        edit.SetDate(EncodeDate(2012, 3, 5));
        edit.SetDate(value);
        EXPECT_EQ(edit.displayText(), QStringLiteral("__.__.____")) << value;
        EXPECT_EQ(edit.Date(), 0.0) << value;
    }
    EXPECT_EQ(TDateEdit::MinDate(), EncodeDate(1900, 1, 1));
    EXPECT_EQ(TDateEdit::MaxDate(), EncodeDate(9999, 12, 31));
}

TEST_F(DateEditTest, ChangedOnlyWhenTheTextChanges)
{
    Use(c_dmy);
    TDateEdit edit;
    edit.show();
    QSignalSpy changed(&edit, &TDateEdit::Changed);

    edit.SetDate(0); // already empty
    EXPECT_EQ(changed.count(), 0);
    edit.SetDate(EncodeDate(2012, 3, 5));
    EXPECT_EQ(changed.count(), 1);
    edit.SetDate(EncodeDate(2012, 3, 5) + 0.5); // same day, same text
    EXPECT_EQ(changed.count(), 1);
    edit.SetDate(EncodeDate(2012, 3, 6));
    EXPECT_EQ(changed.count(), 2);
    edit.SetDate(0);
    EXPECT_EQ(changed.count(), 3);

    // Every typed digit changes the text; a refused letter does not.
    changed.clear();
    Type(edit, QStringLiteral("01"));
    EXPECT_EQ(changed.count(), 2);
    QTest::keyClick(&edit, Qt::Key_X);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(DateEditTest, CalendarPutsThePickedDayIntoTheEdit)
{
    Use(c_mdy);
    TDateEdit edit;
    edit.show();
    edit.SetDate(EncodeDate(2012, 3, 5));
    QSignalSpy changed(&edit, &TDateEdit::Changed);

    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    QCalendarWidget *calendar = edit.Calendar();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->selectedDate(), QDate(2012, 3, 5));
    EXPECT_EQ(calendar->minimumDate(), QDate(1900, 1, 1));

    auto *view = calendar->findChild<QTableView *>();
    ASSERT_NE(view, nullptr);
    QTest::keyClick(view, Qt::Key_Right); // one day on
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(edit.Calendar(), nullptr);
    EXPECT_EQ(edit.Date(), EncodeDate(2012, 3, 6));
    EXPECT_EQ(edit.displayText(), QStringLiteral("03/06/2012"));
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(DateEditTest, CalendarOfAnEmptyEditStartsToday)
{
    Use(c_dmy);
    TDateEdit edit;
    edit.show();
    edit.ShowCalendar();
    ASSERT_NE(edit.Calendar(), nullptr);
    EXPECT_EQ(edit.Calendar()->selectedDate(), QDate::currentDate());
    EXPECT_EQ(edit.Date(), 0.0);
}

TEST_F(DateEditTest, NarrowEditKeepsTheDateWholeAndDropsTheButton)
{
    Use(c_dmy);
    TDateEdit edit;
    edit.SetDate(EncodeDate(2012, 12, 28));
    edit.show();
    const int whole = edit.fontMetrics().horizontalAdvance(edit.displayText());
    EXPECT_GT(edit.minimumSizeHint().width(), whole);
    edit.resize(edit.sizeHint());
    EXPECT_TRUE(edit.CalendarButtonShown());
    edit.resize(edit.minimumSizeHint());
    EXPECT_FALSE(edit.CalendarButtonShown());
    // The text area still holds the whole date: the cursor after the last digit is inside
    // the edit, and with it there the first digit has not scrolled off.
    auto cursorAt = [&edit](int pos) {
        edit.setCursorPosition(pos);
        return edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    };
    EXPECT_LE(cursorAt(10), edit.width());
    EXPECT_GE(cursorAt(0), 0);
    EXPECT_GE(cursorAt(10) - cursorAt(0), whole - 2);
}

TEST_F(DateEditTest, NewFormatKeepsTheDay)
{
    Use(c_dmy);
    TDateEdit edit;
    edit.SetDate(EncodeDate(2012, 3, 5));
    Use(c_mdy);
    edit.ApplyFormatSettings();
    EXPECT_EQ(edit.displayText(), QStringLiteral("03/05/2012"));
    EXPECT_EQ(edit.Date(), EncodeDate(2012, 3, 5));
}

} // namespace
