#include "platform/Strings.h"

#include <gtest/gtest.h>

namespace
{
TStrings ListOf(const QStringList &items)
{
    TStrings list;
    for (const QString &item : items)
        list.Add(item);
    return list;
}

struct TCommaCase
{
    const char *Name;
    QString Text;
    QStringList Items;
};

void PrintTo(const TCommaCase &c, std::ostream *os) { *os << c.Name; }

// --- reading, spaces separate (the tag iterator's rules)

class CommaTextRead : public ::testing::TestWithParam<TCommaCase>
{
};

TEST_P(CommaTextRead, GivesItems)
{
    TStrings list;
    list.SetCommaText(GetParam().Text);
    EXPECT_EQ(list.ToStringList(), GetParam().Items);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommaTextRead,
    ::testing::Values(
        TCommaCase{"empty", "", {}},
        TCommaCase{"only_blanks", " \t ", {}},
        TCommaCase{"comma_and_blank_separate", "a,b c", {"a", "b", "c"}},
        TCommaCase{"two_commas_give_empty_item", "a,,b", {"a", "", "b"}},
        TCommaCase{"trailing_comma_gives_empty_last", "a,", {"a", ""}},
        TCommaCase{"comma_then_blank_at_end_adds_nothing", "a, ", {"a"}},
        TCommaCase{"lone_comma", ",", {"", ""}},
        TCommaCase{"quoted_holds_blank", "\"a b\",c", {"a b", "c"}},
        TCommaCase{"quoted_holds_comma", "\"x,y\",z", {"x,y", "z"}},
        TCommaCase{"doubled_quote_is_one", "\"a\"\"b\"", {"a\"b"}},
        TCommaCase{"two_quotes_are_one_empty_item", "\"\"", {""}},
        TCommaCase{"unclosed_quote_runs_to_end", "\"abc, d", {"abc, d"}},
        TCommaCase{"text_after_closing_quote_is_next_item", "\"a\"b,c", {"a", "b", "c"}},
        TCommaCase{"blanks_around_items_skipped", "  a  ,  b  ", {"a", "b"}},
        TCommaCase{"control_codes_are_blanks", QString("x") + QChar(1) + "y\tz\r\nw", {"x", "y", "z", "w"}},
        TCommaCase{"code_zero_is_ordinary", QString("x") + QChar(0) + "y", {QString("x") + QChar(0) + "y"}},
        TCommaCase{"spaces_split_tag_names", "food,house hold", {"food", "house", "hold"}},
        TCommaCase{"cyrillic", "еда, транспорт", {"еда", "транспорт"}},
        TCommaCase{"quote_inside_item_is_ordinary", "a\"b", {"a\"b"}}));

// --- reading, spaces belong to items

class DelimitedTextNoSpaceRead : public ::testing::TestWithParam<TCommaCase>
{
};

TEST_P(DelimitedTextNoSpaceRead, GivesItems)
{
    TStrings list;
    list.SetDelimitedText(GetParam().Text, false);
    EXPECT_EQ(list.ToStringList(), GetParam().Items);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DelimitedTextNoSpaceRead,
    ::testing::Values(TCommaCase{"space_inside_item", "food,house hold", {"food", "house hold"}},
                      TCommaCase{"leading_and_trailing_spaces_kept", " a , b", {" a ", " b"}},
                      TCommaCase{"only_spaces_is_one_item", "   ", {"   "}},
                      TCommaCase{"tab_still_separates", "a\tb", {"a", "b"}},
                      TCommaCase{"quoted_comma", "\"x,y\",z", {"x,y", "z"}},
                      TCommaCase{"empty_items", "a,,b,", {"a", "", "b", ""}},
                      TCommaCase{"empty", "", {}}));

// --- writing

struct TWriteCase
{
    const char *Name;
    QStringList Items;
    QString SpacesSeparate; // CommaText()
    QString SpacesOrdinary; // DelimitedText(false)
};

void PrintTo(const TWriteCase &c, std::ostream *os) { *os << c.Name; }

class CommaTextWrite : public ::testing::TestWithParam<TWriteCase>
{
};

TEST_P(CommaTextWrite, WritesBothVariants)
{
    TStrings list = ListOf(GetParam().Items);
    EXPECT_EQ(list.CommaText(), GetParam().SpacesSeparate);
    EXPECT_EQ(list.DelimitedText(false), GetParam().SpacesOrdinary);
}

TEST_P(CommaTextWrite, ReadsBackTheSameItems)
{
    TStrings written = ListOf(GetParam().Items);
    TStrings full;
    full.SetCommaText(written.CommaText());
    EXPECT_EQ(full.ToStringList(), GetParam().Items);
    TStrings noSpace;
    noSpace.SetDelimitedText(written.DelimitedText(false), false);
    EXPECT_EQ(noSpace.ToStringList(), GetParam().Items);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommaTextWrite,
    ::testing::Values(TWriteCase{"no_items", {}, "", ""},
                      TWriteCase{"one_empty_item", {""}, "\"\"", "\"\""},
                      TWriteCase{"plain", {"a", "b"}, "a,b", "a,b"},
                      TWriteCase{"blank_quotes_only_when_spaces_separate", {"house hold", "x"},
                                 "\"house hold\",x", "house hold,x"},
                      TWriteCase{"comma_quotes", {"a,b"}, "\"a,b\"", "\"a,b\""},
                      TWriteCase{"double_quote_doubled", {"say \"hi\""}, "\"say \"\"hi\"\"\"", "\"say \"\"hi\"\"\""},
                      TWriteCase{"tab_quotes_in_both", {"x\ty"}, "\"x\ty\"", "\"x\ty\""},
                      TWriteCase{"empty_last_item", {"a", ""}, "a,", "a,"},
                      TWriteCase{"two_empty_items", {"", ""}, ",", ","},
                      TWriteCase{"empty_first_item", {"", "a"}, ",a", ",a"},
                      TWriteCase{"empty_items_in_middle", {"a", "", "", "b"}, "a,,,b", "a,,,b"},
                      TWriteCase{"cyrillic", {"еда", "транспорт"}, "еда,транспорт", "еда,транспорт"}));

// --- name=value pairs and the rest of the list

TEST(Strings, NameValuePairsIgnoreCaseOfNames)
{
    TStrings list;
    list.SetValues("bdate", "#1/1/2012#");
    list.SetValues("Planned", "1");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Values("BDATE"), "#1/1/2012#");
    EXPECT_EQ(list.IndexOfName("planned"), 1);

    list.SetValues("BDate", "#2/1/2012#"); // replaced in place, name as now written
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], "BDate=#2/1/2012#");
    EXPECT_EQ(list.Names(0), "BDate");
    EXPECT_EQ(list.ValueFromIndex(0), "#2/1/2012#");

    list.SetValues("planned", ""); // an empty value removes the pair
    EXPECT_EQ(list.ToStringList(), QStringList{"BDate=#2/1/2012#"});
    list.SetValues("missing", ""); // removing what is not there changes nothing
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Values("missing"), "");
}

TEST(Strings, ValueKeepsLaterEqualSignsAndItemWithoutOneHasNoName)
{
    TStrings list = ListOf({"a=b=c", "plain", "=v"});
    EXPECT_EQ(list.Names(0), "a");
    EXPECT_EQ(list.ValueFromIndex(0), "b=c");
    EXPECT_EQ(list.Names(1), "");
    EXPECT_EQ(list.ValueFromIndex(1), "");
    EXPECT_EQ(list.IndexOfName("plain"), -1);
    EXPECT_EQ(list.IndexOfName(""), 2);
}

TEST(Strings, IndexOfFollowsCaseSensitive)
{
    TStrings list = ListOf({"Еда", "Dom"});
    EXPECT_EQ(list.IndexOf("еда"), 0);
    EXPECT_EQ(list.IndexOf("DOM"), 1);
    list.CaseSensitive = true;
    EXPECT_EQ(list.IndexOf("еда"), -1);
    EXPECT_EQ(list.IndexOf("Еда"), 0);
}

TEST(Strings, ObjectsTravelWithTheirItems)
{
    TStrings list;
    list.AddObject("b", 20);
    list.Insert(0, "a", 10);
    list.Insert(2, "c", 30);
    EXPECT_EQ(list.ToStringList(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(list.Objects(0), 10);
    EXPECT_EQ(list.Objects(2), 30);
    list.Delete(1);
    EXPECT_EQ(list.Objects(1), 30);
    list.SetObjects(1, 31);
    EXPECT_EQ(list.Objects(1), 31);
}

TEST(Strings, IndexOutsideTheListRaises)
{
    TStrings list = ListOf({"a"});
    EXPECT_THROW(list.Strings(1), EStringListError);
    EXPECT_THROW(list[-1], EStringListError);
    EXPECT_THROW(list.Objects(1), EStringListError);
    EXPECT_THROW(list.SetStrings(1, "x"), EStringListError);
    EXPECT_THROW(list.Delete(1), EStringListError);
    EXPECT_THROW(list.Insert(2, "x"), EStringListError);
    EXPECT_THROW(list.Names(5), EStringListError);
    EXPECT_EQ(list.ToStringList(), QStringList{"a"});
}

TEST(Strings, TextSplitsAtEveryKindOfLineBreak)
{
    TStrings list;
    list.SetText("a\r\nb\rc\nd\n");
    EXPECT_EQ(list.ToStringList(), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(list.Text(), "a\nb\nc\nd");
    list.SetText("x\n\ny");
    EXPECT_EQ(list.ToStringList(), (QStringList{"x", "", "y"}));
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
}
} // namespace
