#include "platform/Exception.h"
#include "platform/JetSql.h"

#include <gtest/gtest.h>

namespace
{

struct TCase
{
    const char *Name;
    const char *Jet;
    const char *Sqlite;
};

void PrintTo(const TCase &c, std::ostream *os)
{
    *os << c.Name;
}

class JetTranslation : public ::testing::TestWithParam<TCase>
{
};

TEST_P(JetTranslation, Translates)
{
    const TCase &c = GetParam();
    EXPECT_EQ(TranslateJetSql(QString::fromUtf8(c.Jet)).toStdString(), std::string(c.Sqlite));
}

const TCase kCases[] = {
    {"PlainTextUnchanged", "select * from Incomes where ID = 5", "select * from Incomes where ID = 5"},
    {"DoubledDoubleQuoteAndSingleQuote", R"(insert into T(Name) values("a""b'c"))", R"(insert into T(Name) values('a"b''c'))"},
    {"LiteralKeepsSpecialCharacters", "select id from T where Name like \"Кафе #1/2/2011# 100% _x_ ; union all (select\nвторая\"",
     "select id from T where Name like 'Кафе #1/2/2011# 100% _x_ ; union all (select\nвторая'"},
    {"EmptyDoubleQuoted", R"(update T set Name = "" where ID = 1)", R"(update T set Name = '' where ID = 1)"},
    {"OnlyQuotesInside", R"(select """''""")", R"(select '"''''"')"},
    {"SingleQuotedLiteralUntouched", R"(select 'it''s "x" #1/1/2000# @@identity' from T)",
     R"(select 'it''s "x" #1/1/2000# @@identity' from T)"},
    {"CommentsUntouched", "select 1 -- \"x\" #bad#\n, 2 /* \"y\"; */", "select 1 -- \"x\" #bad#\n, 2 /* \"y\"; */"},
    {"BracketIdentifierUntouched", R"(select [a "b] from T)", R"(select [a "b] from T)"},
    {"DateLiteral", "where d >= #12/1/2011# and d <= #1/5/2012#", "where d >= '2011-12-01' and d <= '2012-01-05'"},
    {"DateLiteralEndOfYear", "select #12/31/2011# as OperationDate", "select '2011-12-31' as OperationDate"},
    {"DateLiteralWithTime", "values(#12/31/2011 7:05:09#)", "values('2011-12-31 07:05:09')"},
    {"DateLiteralMidnightIsADay", "values(#2/29/2012 0:00:00#)", "values('2012-02-29')"},
    {"DateLiteralPm", "values(#1/5/2012 1:30 PM#)", "values('2012-01-05 13:30:00')"},
    {"DateLiteralIso", "values(#2011-12-01#)", "values('2011-12-01')"},
    {"DatePartYearAndMonth", R"(select DatePart("yyyy", e.OperationDate) as g, datepart("m",e.OperationDate) from Expenses e)",
     "select CAST(strftime('%Y', e.OperationDate) AS INTEGER) as g, CAST(strftime('%m',e.OperationDate) AS INTEGER) from Expenses e"},
    {"DatePartOfAnExpression", R"(select DatePart("m", IIF(x, #1/2/2012#, (d))) from T)",
     "select CAST(strftime('%m', IIF(x, '2012-01-02', (d))) AS INTEGER) from T"},
    {"Identity", "select @@identity", "select last_insert_rowid()"},
    {"IdentityAnyCase", "SELECT @@IDENTITY", "SELECT last_insert_rowid()"},
    {"UnionAllMember", "select 1 union all (select 2)", "select 1 union all select * from (select 2)"},
    {"UnionAllMemberWithOrderBy", "select a from t union all (select b from u order by b )",
     "select a from t union all select * from (select b from u order by b )"},
    {"UnionAllFirstMember", "(select 1) union all (select 2)", "select * from (select 1) union all select * from (select 2)"},
    {"UnionAllNestedMembers", "select * from ((select 1) union all (select 2)) x",
     "select * from (select * from (select 1) union all select * from (select 2)) x"},
    {"DerivedTableUntouched", "select * from (select 1 union all select 2) t where id in (select 1)",
     "select * from (select 1 union all select 2) t where id in (select 1)"},
    {"ScalarSubqueryUntouched", "select all (select 1) union all select 2", "select all (select 1) union all select 2"},
    {"DialectPassesAsIs",
     "select IIF(Planned = 0, SumValue, 0), - SumValue, -Sum(x), SUM(a), sum(b), avg(c) from T where d between 1 and 2 and "
     "ct.id in (1,3) order by 5",
     "select IIF(Planned = 0, SumValue, 0), - SumValue, -Sum(x), SUM(a), sum(b), avg(c) from T where d between 1 and 2 and "
     "ct.id in (1,3) order by 5"},
    {"TrailingSemicolon", "select 1;", "select 1;"},
    {"TrailingSemicolonsAndBlanks", "select 1 ; ;\n ", "select 1 ; ;\n "},
};

INSTANTIATE_TEST_SUITE_P(Cases, JetTranslation, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TCase> &info) { return std::string(info.param.Name); });

struct TRefusal
{
    const char *Name;
    const char *Jet;
    const char *MessagePart;
};

void PrintTo(const TRefusal &c, std::ostream *os)
{
    *os << c.Name;
}

class JetRefusal : public ::testing::TestWithParam<TRefusal>
{
};

TEST_P(JetRefusal, RaisesDatabaseError)
{
    const TRefusal &c = GetParam();
    try {
        TranslateJetSql(QString::fromUtf8(c.Jet));
        ADD_FAILURE() << "accepted: " << c.Jet;
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.Message().contains(QString::fromUtf8(c.MessagePart))) << e.Message().toStdString();
    }
}

const TRefusal kRefusals[] = {
    {"SecondStatement", "select 1; select 2", "more than one statement"},
    {"SecondStatementAfterSemicolons", "delete from T where ID = 1;; drop table T", "more than one statement"},
    {"SecondStatementAfterComment", "select 1; -- x\n delete from T", "more than one statement"},
    {"Placeholder", "select * from T where d >= #bdate#", "Invalid date literal #bdate#"},
    {"ImpossibleDay", "select #2/30/2011#", "Invalid date literal #2/30/2011#"},
    {"ImpossibleMonth", "select #13/1/2011#", "Invalid date literal"},
    {"LoneHash", "select 1 # 2", "Invalid date literal"},
    {"DatePartWeek", R"(select DatePart("ww", d) from T)", "DatePart"},
    {"UnterminatedText", R"(select "abc)", "Unterminated"},
    {"CaseSensitiveLike", "PRAGMA case_sensitive_like = 1", "case_sensitive_like"},
};

INSTANTIATE_TEST_SUITE_P(Cases, JetRefusal, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<TRefusal> &info) { return std::string(info.param.Name); });

} // namespace
