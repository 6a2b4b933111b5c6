#include "platform/widgets/AmountEdit.h"

#include "platform/DateTime.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <limits>

namespace {

class AmountEditTest : public ::testing::Test
{
protected:
    void SetUp() override { FSaved = FormatSettings(); }
    void TearDown() override { FormatSettings() = FSaved; }

    static void UseSeparator(char sep) { FormatSettings().DecimalSeparator = QLatin1Char(sep); }
    static void Type(TAmountEdit &edit, const QString &keys)
    {
        edit.clear();
        edit.setFocus();
        QTest::keyClicks(&edit, keys);
    }

    TFormatSettings FSaved;
};

struct TAmountCase
{
    char Separator;
    const char *Text;
    TAmountParse Result;
    double Value; // for apOk
};

void PrintTo(const TAmountCase &c, std::ostream *os)
{
    *os << "'" << c.Separator << "' \"" << c.Text << '"';
}

class AmountEditTyped : public AmountEditTest, public ::testing::WithParamInterface<TAmountCase>
{
};

// Typed into a real edit: valid texts give their value, every other text is refused
// with its reason and reads as 0, never as a nearby number.
TEST_P(AmountEditTyped, ReadsOnlyStrictAmounts)
{
    const TAmountCase &c = GetParam();
    UseSeparator(c.Separator);
    TAmountEdit edit;
    edit.show();
    Type(edit, QString::fromLatin1(c.Text));
    ASSERT_EQ(edit.text(), QString::fromLatin1(c.Text)); // kept as typed
    EXPECT_EQ(edit.Check(), c.Result);
    const bool ok = c.Result == TAmountParse::apOk || c.Result == TAmountParse::apEmpty;
    EXPECT_EQ(edit.IsValid(), ok);
    EXPECT_EQ(edit.Value(), ok ? c.Value : 0.0);
    EXPECT_EQ(edit.ErrorText().isEmpty(), ok);
    EXPECT_EQ(edit.toolTip(), edit.ErrorText());
}

using P = TAmountParse;
INSTANTIATE_TEST_SUITE_P(
    Cases, AmountEditTyped,
    ::testing::Values(TAmountCase{'.', "12.5", P::apOk, 12.5},
                      TAmountCase{'.', "12.50", P::apOk, 12.5},
                      TAmountCase{'.', "0.05", P::apOk, 0.05},
                      TAmountCase{'.', "1234567.89", P::apOk, 1234567.89},
                      TAmountCase{'.', "007", P::apOk, 7},
                      TAmountCase{'.', " 42 ", P::apOk, 42},
                      TAmountCase{'.', "999999999999.99", P::apOk, 999999999999.99},
                      TAmountCase{'.', "", P::apEmpty, 0},
                      TAmountCase{'.', "12,5", P::apBadChar, 0},
                      TAmountCase{'.', "1 000", P::apBadChar, 0},
                      TAmountCase{'.', "12a", P::apBadChar, 0},
                      TAmountCase{'.', "abc", P::apBadChar, 0},
                      TAmountCase{'.', "1e20", P::apBadChar, 0},
                      TAmountCase{'.', "+5", P::apBadChar, 0},
                      TAmountCase{'.', "5-3", P::apBadChar, 0},
                      TAmountCase{'.', "-5", P::apNegative, 0},
                      TAmountCase{'.', "1.2.3", P::apTwoSeparators, 0},
                      TAmountCase{'.', ".5", P::apNoIntDigits, 0},
                      TAmountCase{'.', "5.", P::apNoFracDigits, 0},
                      TAmountCase{'.', "12.345", P::apTooManyDecimals, 0},
                      TAmountCase{'.', "1000000000000", P::apTooLarge, 0},
                      TAmountCase{'.', "100000000000000000000", P::apTooLarge, 0},
                      TAmountCase{',', "12,5", P::apOk, 12.5},
                      TAmountCase{',', "0,99", P::apOk, 0.99},
                      TAmountCase{',', "12.5", P::apBadChar, 0},
                      TAmountCase{',', "1,2,3", P::apTwoSeparators, 0},
                      TAmountCase{',', ",5", P::apNoIntDigits, 0},
                      TAmountCase{',', "5,", P::apNoFracDigits, 0},
                      TAmountCase{',', "0,001", P::apTooManyDecimals, 0},
                      TAmountCase{',', "-0,5", P::apNegative, 0},
                      TAmountCase{',', "1e20", P::apBadChar, 0}));

TEST_F(AmountEditTest, TextTypedUnderOneSeparatorIsRefusedUnderTheOther)
{
    UseSeparator(',');
    TAmountEdit edit;
    edit.show();
    Type(edit, QStringLiteral("12,5"));
    ASSERT_EQ(edit.Value(), 12.5);
    UseSeparator('.'); // the first saved record switches the process to "."
    EXPECT_FALSE(edit.IsValid());
    EXPECT_EQ(edit.Value(), 0.0);
    EXPECT_EQ(edit.text(), QStringLiteral("12,5"));
}

TEST_F(AmountEditTest, SetValueWritesCentsWithTheCurrentSeparator)
{
    const struct
    {
        char Separator;
        double Value;
        const char *Text;
    } cases[] = {
        {'.', 12.5, "12.5"}, {',', 12.5, "12,5"}, {',', 1234.56, "1234,56"}, {'.', 0.1 + 0.2, "0.3"},
        {'.', 7, "7"},       {'.', 0, "0"},       {',', 2.0 / 3, "0,67"},     {'.', -3, "-3"},
    };
    for (const auto &c : cases) {
        UseSeparator(c.Separator);
        TAmountEdit edit;
        edit.SetValue(c.Value);
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.Text)) << c.Value;
        if (c.Value >= 0)
            EXPECT_NEAR(edit.Value(), c.Value, 0.005) << c.Value;
    }
    // A negative value is shown as it is and refused, not made positive.
    TAmountEdit edit;
    edit.SetValue(-3);
    EXPECT_FALSE(edit.IsValid());
    edit.SetValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(edit.text(), QString());
}

TEST_F(AmountEditTest, ChangedOnlyWhenTheTextChanges)
{
    TAmountEdit edit;
    edit.show();
    QSignalSpy changed(&edit, &TAmountEdit::Changed);
    edit.SetValue(5);
    edit.SetValue(5);
    EXPECT_EQ(changed.count(), 1);
    Type(edit, QStringLiteral("12"));
    EXPECT_EQ(changed.count(), 4); // cleared, "1", "12"
}

// Pocket-calculator sequences: keys, then the display and the value.
TEST_F(AmountEditTest, CalculatorSequences)
{
    UseSeparator(',');
    const struct
    {
        double Start;
        const char *Keys; // digits, '.', + - * /, '=', 'C', '<' backspace
        const char *Display;
        double Value;
        bool Error;
    } cases[] = {
        {0, "12+3=", "15", 15, false},
        {0, "2*3+4=", "10", 10, false},
        {0, "10/4=", "2,5", 2.5, false},
        {0, "1.5*2=", "3", 3, false},
        {0, "9-12=", "-3", -3, false},
        {0, "5+=", "10", 10, false},
        {100, "*2=", "200", 200, false},
        {100, "+-5=", "95", 95, false},  // the last operator counts
        {0, "123<4", "124", 124, false},
        {0, "12+3C", "0", 0, false},
        {0, "5/0=", "Ошибка", 0, true},
        {0, "5/0=7", "7", 7, false},     // a digit leaves the error
        {0, ".5+1=", "1,5", 1.5, false},
        {0, "999999999*9999999=", "Ошибка", 0, true},
    };
    for (const auto &c : cases) {
        TCalculator calc;
        calc.SetValue(c.Start);
        for (const char *k = c.Keys; *k; ++k) {
            if (*k >= '0' && *k <= '9')
                calc.Digit(*k - '0');
            else if (*k == '.')
                calc.Separator();
            else if (*k == '=')
                calc.Equals();
            else if (*k == 'C')
                calc.Clear();
            else if (*k == '<')
                calc.Backspace();
            else
                calc.Operator(QLatin1Char(*k));
        }
        EXPECT_EQ(calc.Display(), QString::fromUtf8(c.Display)) << c.Keys;
        EXPECT_EQ(calc.Value(), c.Value) << c.Keys;
        EXPECT_EQ(calc.Error(), c.Error) << c.Keys;
    }
}

class AmountEditPopup : public AmountEditTest
{
protected:
    static void Click(TCalculatorPopup *popup, const char *button)
    {
        auto *b = popup->findChild<QPushButton *>(QLatin1String(button));
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }
};

TEST_F(AmountEditPopup, ButtonsPutTheResultIntoTheEdit)
{
    UseSeparator(',');
    TAmountEdit edit;
    edit.show();
    Type(edit, QStringLiteral("100"));
    QSignalSpy changed(&edit, &TAmountEdit::Changed);

    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    TCalculatorPopup *popup = edit.Calculator();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->DisplayText(), QStringLiteral("100"));
    for (const char *b : {"btnDiv", "btn8", "btnEquals"})
        Click(popup, b);
    EXPECT_EQ(edit.Calculator(), nullptr);
    EXPECT_EQ(edit.text(), QStringLiteral("12,5"));
    EXPECT_EQ(edit.Value(), 12.5);
    EXPECT_EQ(changed.count(), 1);

    // Results are put in as cents.
    edit.ShowCalculator();
    popup = edit.Calculator();
    ASSERT_NE(popup, nullptr);
    for (const char *b : {"btnClear", "btn1", "btn0", "btnDiv", "btn3", "btnEquals"})
        Click(popup, b);
    EXPECT_EQ(edit.text(), QStringLiteral("3,33"));
}

TEST_F(AmountEditPopup, KeysWorkAndErrorsLeaveTheEditAlone)
{
    UseSeparator('.');
    TAmountEdit edit;
    edit.show();
    edit.SetValue(20);

    edit.ShowCalculator();
    TCalculatorPopup *popup = edit.Calculator();
    ASSERT_NE(popup, nullptr);
    QTest::keyClicks(popup, QStringLiteral("/0"));
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(popup->DisplayText(), QStringLiteral("Ошибка"));
    EXPECT_EQ(edit.Calculator(), popup); // stays open
    EXPECT_EQ(edit.text(), QStringLiteral("20"));

    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_EQ(edit.Calculator(), nullptr);
    EXPECT_EQ(edit.text(), QStringLiteral("20"));

    edit.ShowCalculator();
    popup = edit.Calculator();
    ASSERT_NE(popup, nullptr);
    QTest::keyClicks(popup, QStringLiteral("+2,5"));  // "," is the point key too
    EXPECT_EQ(popup->DisplayText(), QStringLiteral("2.5"));
    QTest::keyClick(popup, Qt::Key_Enter);
    EXPECT_EQ(edit.text(), QStringLiteral("22.5"));
}

TEST_F(AmountEditPopup, InvalidTextStartsTheCalculatorAtZero)
{
    TAmountEdit edit;
    edit.show();
    Type(edit, QStringLiteral("12,5")); // not a number under "."
    edit.ShowCalculator();
    ASSERT_NE(edit.Calculator(), nullptr);
    EXPECT_EQ(edit.Calculator()->DisplayText(), QStringLiteral("0"));
    QTest::keyClick(edit.Calculator(), Qt::Key_Escape);
    EXPECT_EQ(edit.text(), QStringLiteral("12,5"));
}

} // namespace
