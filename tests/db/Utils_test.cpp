#include "db/Utils.h"
#include "platform/DateTime.h"
#include "platform/Dialogs.h"
#include "support/RecordingDialogHook.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

struct DateCase
{
    const char *Name;
    TDateTime Value;
    const char *Expected;
};

class MSAccessDateTest : public ::testing::TestWithParam<DateCase>
{
};

TEST_P(MSAccessDateTest, WritesMonthDayYear)
{
    EXPECT_EQ(MSAccessDate(GetParam().Value), QString::fromUtf8(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(Dates, MSAccessDateTest, ::testing::Values(
    DateCase{"FirstOfDecember", EncodeDate(2011, 12, 1), "#12/1/2011#"},
    DateCase{"EveningTimeDropped", EncodeDate(2012, 1, 5) + EncodeTime(18, 30, 0, 0), "#1/5/2012#"},
    DateCase{"LastMomentOfDay", EncodeDate(2012, 1, 5) + EncodeTime(23, 59, 59, 999), "#1/5/2012#"},
    DateCase{"EndOfYear", EncodeDate(2011, 12, 31), "#12/31/2011#"},
    DateCase{"LeapDay", EncodeDate(2000, 2, 29), "#2/29/2000#"},
    DateCase{"DayZero", 0.0, "#12/30/1899#"},
    DateCase{"BeforeDayZero", EncodeDate(1850, 3, 7), "#3/7/1850#"},
    DateCase{"LastSupportedDay", EncodeDate(9999, 12, 31), "#12/31/9999#"}),
    [](const auto &info) { return std::string(info.param.Name); });

struct QuoteCase
{
    const char *Name;
    const char *Text;
    const char *Expected;
};

class QuotedProcessTest : public ::testing::TestWithParam<QuoteCase>
{
};

TEST_P(QuotedProcessTest, DoublesDoubleQuotesOnly)
{
    EXPECT_EQ(QuotedProcess(QString::fromUtf8(GetParam().Text)), QString::fromUtf8(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(Texts, QuotedProcessTest, ::testing::Values(
    QuoteCase{"Empty", "", ""},
    QuoteCase{"NoQuote", "Продукты и быт", "Продукты и быт"},
    QuoteCase{"OneQuote", "\"", "\"\""},
    QuoteCase{"TwoQuotes", "\"\"", "\"\"\"\""},
    QuoteCase{"InnerQuotes", "ООО \"Рога\"", "ООО \"\"Рога\"\""},
    QuoteCase{"OtherSpecialsUnchanged", "it's #1/2/2000# 50% a_b; [x]\n", "it's #1/2/2000# 50% a_b; [x]\n"}),
    [](const auto &info) { return std::string(info.param.Name); });

struct SubstCase
{
    const char *Name;
    const char *Text;
    std::vector<const char *> Pairs; // name=value; "\x01" in a value marks the code-0 text
    const char *Expected;
};

TStrings MakePairs(const std::vector<const char *> &pairs)
{
    TStrings list;
    for (const char *p : pairs) {
        QString item = QString::fromUtf8(p);
        item.replace(QChar(1), QChar(0));
        list.Add(item);
    }
    return list;
}

class SetTextValuesTest : public ::testing::TestWithParam<SubstCase>
{
};

TEST_P(SetTextValuesTest, Substitutes)
{
    const SubstCase &c = GetParam();
    EXPECT_EQ(SetTextValues(QString::fromUtf8(c.Text), MakePairs(c.Pairs)), QString::fromUtf8(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(Templates, SetTextValuesTest, ::testing::Values(
    SubstCase{"EveryOccurrence", "a >= #bdate# and b < #bdate#", {"bdate=#1/5/2012#"},
              "a >= #1/5/2012# and b < #1/5/2012#"},
    SubstCase{"OtherLetterCase", "x = #BDATE# or y = #BDate#", {"bdate=#1/5/2012#"},
              "x = #1/5/2012# or y = #1/5/2012#"},
    SubstCase{"CyrillicNameOtherCase", "v = #ИМЯ#", {"имя=7"}, "v = 7"},
    SubstCase{"CodeZeroRemovesPlaceholder", "where #idset_condition# order", {"idset_condition=\x01"},
              "where  order"},
    SubstCase{"UnknownPlaceholderStays", "a = #edate# and b = #bdate#", {"bdate=#1/5/2012#"},
              "a = #edate# and b = #1/5/2012#"},
    SubstCase{"EmptyListUnchanged", "a = #bdate#", {}, "a = #bdate#"},
    SubstCase{"ValueWithEqualsSign", "where #cond#", {"cond=ct.id = 3"}, "where ct.id = 3"},
    SubstCase{"SeveralPairs", "#planned#|#type_id#|#cdate#", {"planned=1", "type_id=42", "cdate=#2/29/2000#"},
              "1|42|#2/29/2000#"},
    SubstCase{"NameIsNotPrefixMatched", "#bdate# #bdate2#", {"bdate=X"}, "X #bdate2#"}),
    [](const auto &info) { return std::string(info.param.Name); });

struct DeleteCase
{
    const char *Name;
    const char *Deleted;
    const char *Src;
    bool Found;
    const char *Expected;
};

class DeleteFromStrListTest : public ::testing::TestWithParam<DeleteCase>
{
};

TEST_P(DeleteFromStrListTest, RemovesFirstMatch)
{
    const DeleteCase &c = GetParam();
    QString src = QString::fromUtf8(c.Src);
    EXPECT_EQ(DeleteFromStrList(QString::fromUtf8(c.Deleted), src), c.Found);
    EXPECT_EQ(src, QString::fromUtf8(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(Lists, DeleteFromStrListTest, ::testing::Values(
    DeleteCase{"CyrillicOtherCase", "Еда", "еда,транспорт", true, "транспорт"},
    DeleteCase{"Missing", "кино", "еда,транспорт", false, "еда,транспорт"},
    DeleteCase{"MissingKeepsOddSpelling", "x", " a , b ,", false, " a , b ,"},
    DeleteCase{"SpacesBelongToItem", "house hold", "food,house hold", true, "food"},
    DeleteCase{"SpaceItemWrittenWithoutQuotes", "food", "food,house hold", true, "house hold"},
    DeleteCase{"OnlyFirstOccurrence", "a", "a,b,a", true, "b,a"},
    DeleteCase{"LastItem", "a", "a", true, ""},
    DeleteCase{"QuotedItemWithQuote", "a\"b", "\"a\"\"b\",c", true, "c"},
    DeleteCase{"ItemWithCommaKeepsQuotes", "c", "\"a,b\",c", true, "\"a,b\""},
    DeleteCase{"EmptyItem", "", "a,,b", true, "a,b"},
    DeleteCase{"OneEmptyItemLeft", "b", ",b", true, "\"\""},
    DeleteCase{"TabSeparates", "b", "a\tb", true, "a"},
    DeleteCase{"QuotedItemWithSpaceKeepsQuotes", "c", "\"a b\",c", true, "\"a b\""},
    DeleteCase{"BlanksAroundItemIgnored", "b", "a, b", true, "a"},
    DeleteCase{"BlanksInsideQuotesIgnored", " b", "\" B \",a", true, "a"}),
    [](const auto &info) { return std::string(info.param.Name); });

struct IterCase
{
    const char *Name;
    const char *Src;
    std::vector<const char *> Items;
};

class StringIteratorTest : public ::testing::TestWithParam<IterCase>
{
};

QStringList Drain(IStringIterator &it)
{
    QStringList items;
    while (it.Next())
        items << it.Current();
    return items;
}

TEST_P(StringIteratorTest, YieldsItemsThenRestartsAfterReset)
{
    QStringList expected;
    for (const char *item : GetParam().Items)
        expected << QString::fromUtf8(item);
    IStringIteratorPtr it = TStringIterator::New(QString::fromUtf8(GetParam().Src));
    EXPECT_EQ(Drain(*it), expected);
    EXPECT_FALSE(it->Next());
    it->Reset();
    EXPECT_EQ(Drain(*it), expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, StringIteratorTest, ::testing::Values(
    IterCase{"Empty", "", {}},
    IterCase{"Single", "отпуск", {"отпуск"}},
    IterCase{"EmptyMiddle", "a,,b", {"a", "", "b"}},
    IterCase{"TrailingComma", "a,", {"a", ""}},
    IterCase{"QuotedWithBlank", "\"a b\",c", {"a b", "c"}},
    IterCase{"BlanksSeparate", "food,house hold", {"food", "house", "hold"}},
    IterCase{"DoubledQuoteInside", "\"x\"\"y\",z", {"x\"y", "z"}}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST(StringIterator, CurrentBeforeFirstNextIsEmpty)
{
    IStringIteratorPtr it = TStringIterator::New(QStringLiteral("a,b"));
    EXPECT_EQ(it->Current(), QString());
    ASSERT_TRUE(it->Next());
    EXPECT_EQ(it->Current(), QStringLiteral("a"));
}

class MessageBoxesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FOldTitle = ApplicationTitle();
        SetApplicationTitle(QStringLiteral("Tallyset 1.0"));
    }
    void TearDown() override { SetApplicationTitle(FOldTitle); }
    QString FOldTitle;
};

TEST_F(MessageBoxesTest, ShowInfoCaptionsWithTitleAndFormats)
{
    TRecordedDialogs dialogs;
    ShowInfo(QStringLiteral("Такая запись уже существует"));
    ShowInfo(QStringLiteral("Неверно задано значение \"%s\" (%d)"), {QStringLiteral("Вид средств"), 2});
    ASSERT_EQ(dialogs->Count(), 2);
    EXPECT_EQ(dialogs->Records()[0].Kind, TRecordedDialog::TKind::Message);
    EXPECT_EQ(dialogs->Records()[0].Caption, QStringLiteral("Tallyset 1.0"));
    EXPECT_EQ(dialogs->Records()[0].Type, TMsgDlgType::mtInformation);
    EXPECT_EQ(dialogs->MessageTexts(), (QStringList{QStringLiteral("Такая запись уже существует"),
                                                    QStringLiteral("Неверно задано значение \"Вид средств\" (2)")}));
}

TEST_F(MessageBoxesTest, QuestionDlgReturnsTheAnswer)
{
    TRecordedDialogs dialogs;
    dialogs->AnswerYes();
    dialogs->AnswerNo();
    EXPECT_TRUE(QuestionDlg(QStringLiteral("Удалить текущую запись?")));
    EXPECT_FALSE(QuestionDlg(QStringLiteral("Запись \"%s\" не найдена в справочнике! Добавить?"), {QStringLiteral("Еда")}));
    ASSERT_EQ(dialogs->Count(), 2);
    EXPECT_EQ(dialogs->Records()[0].Caption, QStringLiteral("Tallyset 1.0"));
    EXPECT_EQ(dialogs->QuestionTexts(), (QStringList{QStringLiteral("Удалить текущую запись?"),
                                                     QStringLiteral("Запись \"Еда\" не найдена в справочнике! Добавить?")}));
}

} // namespace
