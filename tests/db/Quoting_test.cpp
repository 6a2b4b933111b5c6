#include "db/Constants.h"
#include "db/DBEngine.Core.h"
#include "db/Utils.h"
#include "platform/DateTime.h"
#include "platform/Format.h"
#include "support/TempDatabase.h"

#include <gtest/gtest.h>

#include <random>

// Texts written into statements through QuotedProcess come back unchanged,
// and no text can end its literal early or add a statement.

namespace {

class QuotingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FSeparator = FormatSettings().DecimalSeparator;
        FormatSettings().DecimalSeparator = QLatin1Char('.');
        FDB = TDBConnection::Create();
        ASSERT_TRUE(FDB->Connect(FTemp.ConnectionString()));
        FDB->ExecSQL(Format(c_sqlLibNewRecord, {c_tbCashTypes, QStringLiteral("Карта")}));
        FDB->ExecSQL(Format(c_sqlLibNewRecord, {c_tbExpenseTypes, QStringLiteral("Продукты")}));
    }
    void TearDown() override { FormatSettings().DecimalSeparator = FSeparator; }

    // Stores `description`, `tags` and `name` through the program's statements
    // (the schema admits no empty list name: an empty `name` is skipped);
    // returns the new expense's identity.
    int Store(const QString &description, const QString &tags, const QString &name)
    {
        FDB->ExecSQL(Format(c_sqlJrExpensesNewRecord,
                            {1, 1, MSAccessDate(EncodeDate(2012, 1, 5)), 1.0, 0, QuotedProcess(description)}));
        const int id = FDB->GetLastIdentity();
        FDB->ExecSQL(Format(c_sqlTagsUpdateRecord, {QuotedProcess(tags), id}));
        if (!name.isEmpty())
            FDB->ExecSQL(Format(c_sqlLibNewRecord, {c_tbTags, QuotedProcess(name)}));
        return id;
    }

    // Compares what was stored with what the expected lists hold, row by row
    // in identity order; reports the first mismatches.
    void ExpectStored(const QStringList &descriptions, const QStringList &tags, const QStringList &names)
    {
        IQueryPtr q = FDB->CreateQuery();
        q->Open(QStringLiteral("select ID, Description, Tags from Expenses order by ID"));
        ASSERT_EQ(q->GetData()->RecordCount(), descriptions.size());
        int mismatches = 0;
        for (int i = 0; i < descriptions.size(); ++i, q->GetData()->Next()) {
            const QString d = q->GetData()->FieldByName(c_fldDescription)->AsString();
            const QString t = q->GetData()->FieldByName(c_fldTags)->AsString();
            if (d != descriptions[i] || t != tags[i]) {
                if (++mismatches <= 3)
                    ADD_FAILURE() << "expense " << i + 1 << ": stored [" << d.toStdString() << "] / ["
                                  << t.toStdString() << "], written [" << descriptions[i].toStdString() << "] / ["
                                  << tags[i].toStdString() << "]";
            }
        }
        q->Open(QStringLiteral("select Name from Tags order by ID"));
        ASSERT_EQ(q->GetData()->RecordCount(), names.size());
        for (int i = 0; i < names.size(); ++i, q->GetData()->Next()) {
            const QString n = q->GetData()->FieldByName(c_fldName)->AsString();
            if (n != names[i] && ++mismatches <= 6)
                ADD_FAILURE() << "tag " << i + 1 << ": stored [" << n.toStdString() << "], written ["
                              << names[i].toStdString() << "]";
        }
        EXPECT_EQ(mismatches, 0);

        q->Open(Format(c_sqlLibGetRecords, {c_tbCashTypes}));
        EXPECT_EQ(q->GetData()->RecordCount(), 1) << "no other table was touched";
        q->Open(Format(c_sqlLibGetRecords, {c_tbExpenseTypes}));
        EXPECT_EQ(q->GetData()->RecordCount(), 1);
    }

    TTempDatabase FTemp;
    IDBConnectionPtr FDB;
    QChar FSeparator;
};

TEST_F(QuotingTest, HostileTextsStayInsideTheirLiterals)
{
    const QStringList texts = {
        QStringLiteral("\"); delete from Expenses; --"),
        QStringLiteral("\" or 1=1 or \""),
        QStringLiteral("\"; drop table Tags; \""),
        QStringLiteral("\""),
        QStringLiteral("\"\""),
        QStringLiteral("a\"\"b"),
        QStringLiteral("'"),
        QStringLiteral("'); delete from CashTypes; --"),
        QStringLiteral("#1/1/2000#"),
        QStringLiteral("#bdate# #planned#"),
        QStringLiteral("%s %d %f %% %"),
        QStringLiteral("select @@identity"),
        QStringLiteral("50% _скидка_ [x]"),
        QStringLiteral("строка 1\r\nстрока 2\nстрока 3\r"),
        QStringLiteral("-- comment"),
        QStringLiteral("/* open comment"),
        QStringLiteral("\\\" backslash"),
        QStringLiteral("Заказ \"Ёлка\" №5; «ёжик» 😀"),
        QString(),
        QStringLiteral("  blanks  "),
    };
    QStringList tags, names;
    for (int i = 0; i < texts.size(); ++i) {
        const QString tag = texts[(i + 1) % texts.size()];
        tags << tag;
        if (!texts[i].isEmpty())
            names << texts[i];
        EXPECT_EQ(Store(texts[i], tag, texts[i]), i + 1);
    }
    ExpectStored(texts, tags, names);
}

TEST_F(QuotingTest, RandomTextsReadBackUnchanged)
{
    QString alphabet = QStringLiteral("\"'#%_;\n\r[]\"\"''##%%__;; \t-*(),=\\/@|?!.:<>{}");
    alphabet += QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
    alphabet += QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    std::mt19937 random(20111201);
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
    auto text = [&] {
        QString t;
        const int n = length(random);
        for (int i = 0; i < n; ++i)
            t += alphabet[pick(random)];
        return t;
    };

    const int count = 3000;
    QStringList descriptions, tags, names;
    {
        TTransaction transaction(FDB->Engine());
        for (int i = 0; i < count; ++i) {
            descriptions << text();
            tags << text();
            names << text();
            if (names.last().isEmpty())
                names.last() = QStringLiteral("\"");
            ASSERT_EQ(Store(descriptions.last(), tags.last(), names.last()), i + 1)
                << descriptions.last().toStdString();
        }
        transaction.Commit();
    }
    ExpectStored(descriptions, tags, names);
}

} // namespace
