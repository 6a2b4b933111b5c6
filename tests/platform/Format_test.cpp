#include "platform/DateTime.h"
#include "platform/Exception.h"
#include "platform/Format.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace
{
// Each test starts from the default FormatSettings ("." decimals, no-break space
// thousands) and gets the previous ones back afterwards.
class FormatSettingsGuard
{
public:
    FormatSettingsGuard() : FSaved(FormatSettings()) { FormatSettings() = TFormatSettings(); }
    ~FormatSettingsGuard() { FormatSettings() = FSaved; }

private:
    TFormatSettings FSaved;
};

class FormatTest : public ::testing::Test
{
    FormatSettingsGuard FGuard;
};

const QChar nbsp(0x00A0);

struct TFormatCase
{
    const char *Name;
    QString Format;
    QVariantList Args;
    QString Result;
};

void PrintTo(const TFormatCase &c, std::ostream *os) { *os << c.Name; }

class FormatCases : public ::testing::TestWithParam<TFormatCase>
{
    FormatSettingsGuard FGuard;
};

TEST_P(FormatCases, Formats)
{
    EXPECT_EQ(Format(GetParam().Format, GetParam().Args), GetParam().Result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatCases,
    ::testing::Values(
        TFormatCase{"no_conversions", "select 1", {}, "select 1"},
        TFormatCase{"text", "select * from %s order by Name", {QString("CashTypes")}, "select * from CashTypes order by Name"},
        TFormatCase{"text_with_percent_passes_unchanged", "like \"%s\"", {QString("50%d")}, "like \"50%d\""},
        TFormatCase{"integers", "%d,%d,%d", {0, -42, qint64(5000000000)}, "0,-42,5000000000"},
        TFormatCase{"boolean_as_integer", "%d/%d", {true, false}, "1/0"},
        TFormatCase{"fixed_two_decimals", "%f", {12.5}, "12.50"},
        TFormatCase{"fixed_rounds_as_written", "%f %f %f", {2.675, 1.005, 0.125}, "2.68 1.01 0.13"},
        TFormatCase{"fixed_negative", "%f", {-1234.567}, "-1234.57"},
        TFormatCase{"fixed_no_negative_zero", "%f", {-0.001}, "0.00"},
        TFormatCase{"fixed_carry", "%f", {999.999}, "1000.00"},
        TFormatCase{"fixed_no_grouping", "%f", {12345678.9}, "12345678.90"},
        TFormatCase{"fixed_large", "%f", {1e20}, "100000000000000000000.00"},
        TFormatCase{"fixed_small", "%f", {1e-9}, "0.00"},
        TFormatCase{"percent_sign", "100%% %d%%", {5}, "100% 5%"},
        TFormatCase{"cyrillic", "Запись \"%s\" не найдена", {QString("Еда")}, "Запись \"Еда\" не найдена"},
        TFormatCase{"journal_insert",
                    "values (%d, %d, %s, %f, %d, \"%s\")",
                    {3, 7, QString("#5/1/2012#"), 150.0, true, QString("x")},
                    "values (3, 7, #5/1/2012#, 150.00, 1, \"x\")"}));

TEST_F(FormatTest, FixedUsesTheDecimalSeparator)
{
    FormatSettings().DecimalSeparator = QLatin1Char(',');
    EXPECT_EQ(Format("%f", {12.5}), "12,50");
    FormatSettings().DecimalSeparator = QLatin1Char('.');
    EXPECT_EQ(Format("%f", {12.5}), "12.50");
}

struct TBadFormatCase
{
    const char *Name;
    QString Format;
    QVariantList Args;
};

void PrintTo(const TBadFormatCase &c, std::ostream *os) { *os << c.Name; }

class BadFormatCases : public ::testing::TestWithParam<TBadFormatCase>
{
};

TEST_P(BadFormatCases, RaiseConvertErrorNamingTheFormat)
{
    try
    {
        Format(GetParam().Format, GetParam().Args);
        FAIL() << "no error";
    }
    catch (const EConvertError &e)
    {
        EXPECT_TRUE(e.Message().contains(GetParam().Format)) << e.Message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadFormatCases,
    ::testing::Values(TBadFormatCase{"too_few", "%d %d", {1}}, TBadFormatCase{"none_given", "%s", {}},
                      TBadFormatCase{"too_many", "%d", {1, 2}}, TBadFormatCase{"double_for_d", "%d", {1.5}},
                      TBadFormatCase{"text_for_d", "%d", {QString("1")}}, TBadFormatCase{"int_for_f", "%f", {1}},
                      TBadFormatCase{"text_for_f", "%f", {QString("1.5")}}, TBadFormatCase{"int_for_s", "%s", {1}},
                      TBadFormatCase{"empty_variant", "%s", {QVariant()}}, TBadFormatCase{"unknown_kind", "%x", {1}},
                      TBadFormatCase{"lone_percent", "50%", {}}));

struct TFloatFormatCase
{
    QString Format;
    double Value;
    QString Result;
};

void PrintTo(const TFloatFormatCase &c, std::ostream *os)
{
    *os << '"' << c.Format.toStdString() << "\" " << c.Value;
}

class FormatFloatCases : public ::testing::TestWithParam<TFloatFormatCase>
{
    FormatSettingsGuard FGuard;
};

TEST_P(FormatFloatCases, Formats)
{
    EXPECT_EQ(FormatFloat(GetParam().Format, GetParam().Value), GetParam().Result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatFloatCases,
    ::testing::Values(TFloatFormatCase{",0.00", 0.5, "0.50"}, TFloatFormatCase{",.00", 0.5, ".50"},
                      TFloatFormatCase{",.00", -0.5, "-.50"}, TFloatFormatCase{",0.00", -0.5, "-0.50"},
                      TFloatFormatCase{",0.00", 0, "0.00"}, TFloatFormatCase{",.00", 0, ".00"},
                      TFloatFormatCase{",0.00", 1234567.891, QString("1") + nbsp + "234" + nbsp + "567.89"},
                      TFloatFormatCase{",.00", -1234.5, QString("-1") + nbsp + "234.50"},
                      TFloatFormatCase{",0.00", 999.995, QString("1") + nbsp + "000.00"},
                      TFloatFormatCase{",0.00", 100, "100.00"}, TFloatFormatCase{",0.00", -0.001, "0.00"},
                      TFloatFormatCase{"0.00", 1234.5, "1234.50"}, TFloatFormatCase{"#,##0.00", 1234.5, QString("1") + nbsp + "234.50"},
                      TFloatFormatCase{"0.##", 1.5, "1.5"}, TFloatFormatCase{"0.##", 2, "2"},
                      TFloatFormatCase{"0", 2.5, "3"}, TFloatFormatCase{"000", 7, "007"},
                      TFloatFormatCase{",0.00 руб.", 5, "5.00 руб."}));

TEST_F(FormatTest, FormatFloatUsesBothSeparators)
{
    FormatSettings().DecimalSeparator = QLatin1Char(',');
    FormatSettings().ThousandSeparator = QLatin1Char(' ');
    EXPECT_EQ(FormatFloat(",0.00", 1234.5), "1 234,50");
    EXPECT_EQ(FormatFloat(",.00", 0.25), ",25");
}

struct TFloatTextCase
{
    double Value;
    QString Text;
};

void PrintTo(const TFloatTextCase &c, std::ostream *os) { *os << c.Text.toStdString(); }

class FloatToStrCases : public ::testing::TestWithParam<TFloatTextCase>
{
    FormatSettingsGuard FGuard;
};

TEST_P(FloatToStrCases, ShortestTextReadsBack)
{
    EXPECT_EQ(FloatToStr(GetParam().Value), GetParam().Text);
    double back = 0;
    ASSERT_TRUE(TryStrToFloat(GetParam().Text, back));
    EXPECT_EQ(back, GetParam().Value);

    FormatSettings().DecimalSeparator = QLatin1Char(',');
    QString comma = FloatToStr(GetParam().Value);
    EXPECT_FALSE(comma.contains('.'));
    ASSERT_TRUE(TryStrToFloat(comma, back));
    EXPECT_EQ(back, GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FloatToStrCases,
    ::testing::Values(TFloatTextCase{0, "0"}, TFloatTextCase{0.1, "0.1"}, TFloatTextCase{12.5, "12.5"},
                      TFloatTextCase{-3, "-3"}, TFloatTextCase{1.0 / 3, "0.3333333333333333"},
                      TFloatTextCase{123456789012345, "123456789012345"}, TFloatTextCase{1e15, "1E15"},
                      TFloatTextCase{1e20, "1E20"}, TFloatTextCase{-2.5e-7, "-2.5E-7"},
                      TFloatTextCase{0.00001, "0.00001"}, TFloatTextCase{0.1 + 0.2, "0.30000000000000004"}));

struct TParseFloatCase
{
    QString Text;
    bool Ok;
    double Value;
};

void PrintTo(const TParseFloatCase &c, std::ostream *os) { *os << '"' << c.Text.toStdString() << '"'; }

class StrToFloatCases : public ::testing::TestWithParam<TParseFloatCase>
{
    FormatSettingsGuard FGuard;
};

TEST_P(StrToFloatCases, ReadsUnderThePointSeparator)
{
    double value = -99;
    EXPECT_EQ(TryStrToFloat(GetParam().Text, value), GetParam().Ok);
    EXPECT_EQ(value, GetParam().Ok ? GetParam().Value : -99);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrToFloatCases,
    ::testing::Values(TParseFloatCase{"12.5", true, 12.5}, TParseFloatCase{"12,5", false, 0},
                      TParseFloatCase{"-3", true, -3}, TParseFloatCase{"+3", true, 3},
                      TParseFloatCase{".5", true, 0.5}, TParseFloatCase{"5.", true, 5},
                      TParseFloatCase{" 7.25 ", true, 7.25}, TParseFloatCase{"1e20", true, 1e20},
                      TParseFloatCase{"1.5E-3", true, 0.0015}, TParseFloatCase{"", false, 0},
                      TParseFloatCase{".", false, 0}, TParseFloatCase{"-", false, 0},
                      TParseFloatCase{"1.2.3", false, 0}, TParseFloatCase{"1 000", false, 0},
                      TParseFloatCase{"1e", false, 0}, TParseFloatCase{"1e+", false, 0},
                      TParseFloatCase{"e5", false, 0}, TParseFloatCase{"inf", false, 0},
                      TParseFloatCase{"nan", false, 0}, TParseFloatCase{"1e400", false, 0},
                      TParseFloatCase{"0x10", false, 0}, TParseFloatCase{"12.5р", false, 0},
                      TParseFloatCase{"--1", false, 0}, TParseFloatCase{"١٢", false, 0}));

TEST_F(FormatTest, CommaSeparatorRefusesThePoint)
{
    FormatSettings().DecimalSeparator = QLatin1Char(',');
    double value = -99;
    ASSERT_TRUE(TryStrToFloat("12,5", value));
    EXPECT_EQ(value, 12.5);
    value = -99;
    EXPECT_FALSE(TryStrToFloat("12.5", value));
    EXPECT_EQ(value, -99);
}

struct TParseIntCase
{
    QString Text;
    bool Ok;
    int Value;
};

void PrintTo(const TParseIntCase &c, std::ostream *os) { *os << '"' << c.Text.toStdString() << '"'; }

class StrToIntCases : public ::testing::TestWithParam<TParseIntCase>
{
};

TEST_P(StrToIntCases, ReadsDecimalOrHex)
{
    int value = -99;
    EXPECT_EQ(TryStrToInt(GetParam().Text, value), GetParam().Ok);
    EXPECT_EQ(value, GetParam().Ok ? GetParam().Value : -99);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrToIntCases,
    ::testing::Values(TParseIntCase{"42", true, 42}, TParseIntCase{"-42", true, -42}, TParseIntCase{"+7", true, 7},
                      TParseIntCase{" 5 ", true, 5}, TParseIntCase{"08", true, 8}, TParseIntCase{"0x3", true, 3},
                      TParseIntCase{"0X1f", true, 31}, TParseIntCase{"-0x10", true, -16},
                      TParseIntCase{"0x7FFFFFFF", true, std::numeric_limits<int>::max()},
                      TParseIntCase{"2147483647", true, std::numeric_limits<int>::max()},
                      TParseIntCase{"-2147483648", true, std::numeric_limits<int>::min()},
                      TParseIntCase{"2147483648", false, 0}, TParseIntCase{"-2147483649", false, 0},
                      TParseIntCase{"0x80000000", false, 0}, TParseIntCase{"99999999999999999999", false, 0},
                      TParseIntCase{"0x", false, 0}, TParseIntCase{"0xZ", false, 0}, TParseIntCase{"abc", false, 0},
                      TParseIntCase{"", false, 0}, TParseIntCase{"12.0", false, 0}, TParseIntCase{"1 2", false, 0},
                      TParseIntCase{"-", false, 0}, TParseIntCase{"x3", false, 0}));
} // namespace
