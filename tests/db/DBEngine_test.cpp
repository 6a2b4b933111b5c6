#include "db/Constants.h"
#include "db/DBEngine.Core.h"
#include "db/Utils.h"
#include "platform/Exception.h"
#include "platform/Format.h"
#include "support/TempDatabase.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

class DBEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FDB = TDBConnection::Create();
        ASSERT_TRUE(FDB->Connect(FTemp.ConnectionString()));
    }

    int AddEntry(const QString &table, const QString &name)
    {
        FDB->ExecSQL(Format(c_sqlLibNewRecord, {table, QuotedProcess(name)}));
        return FDB->GetLastIdentity();
    }
    // "А" (1), "В" (2), "Б" (3), "Г" (4) in CashTypes; by name: А, Б, В, Г.
    IQueryPtr OpenCashTypes()
    {
        for (const char *name : {"А", "В", "Б", "Г"})
            AddEntry(c_tbCashTypes, QString::fromUtf8(name));
        IQueryPtr q = FDB->CreateQuery();
        q->Open(Format(c_sqlLibGetRecords, {c_tbCashTypes}));
        return q;
    }
    static QString Name(const IQueryPtr &q) { return q->GetData()->FieldByName(c_fldName)->AsString(); }
    static int ID(const IQueryPtr &q) { return q->GetData()->FieldByName(c_fldID)->AsInteger(); }

    TTempDatabase FTemp;
    IDBConnectionPtr FDB;
};

TEST(DBConnection, ConnectsReconnectsAndRefusesMissingFile)
{
    TTempDatabase temp;
    IDBConnectionPtr db = TDBConnection::Create();
    EXPECT_FALSE(db->IsActive());
    EXPECT_TRUE(db->Connect(temp.ConnectionString()));
    EXPECT_TRUE(db->IsActive());
    EXPECT_TRUE(db->Connect(temp.ConnectionString()));
    EXPECT_TRUE(db->IsActive());

    const QString missing = temp.Folder() + QStringLiteral("/db/tallyset.mdb");
    IDBConnectionPtr other = TDBConnection::Create();
    EXPECT_THROW(other->Connect(TTempDatabase::ConnectionStringFor(missing)), EDatabaseError);
    EXPECT_FALSE(other->IsActive());
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(DBEngineTest, GetLastIdentityIsTheLastInsertOnTheConnection)
{
    const int a = AddEntry(c_tbIncomeTypes, QStringLiteral("Зарплата"));
    const int b = AddEntry(c_tbIncomeTypes, QStringLiteral("Премия"));
    const int c = AddEntry(c_tbCashTypes, QStringLiteral("Карта"));
    EXPECT_EQ(FDB->GetLastIdentity(), c);
    EXPECT_GT(a, 0);
    EXPECT_EQ(b, a + 1);

    IQueryPtr q = FDB->CreateQuery();
    q->Open(Format(c_sqlLibGetRecordID, {c_tbIncomeTypes, QStringLiteral("Премия")}));
    EXPECT_EQ(q->GetData()->Fields(0)->AsInteger(), b);

    FDB->ExecSQL(Format(c_sqlDeleteRecordByID, {c_tbIncomeTypes, b}));
    EXPECT_EQ(AddEntry(c_tbIncomeTypes, QStringLiteral("Подарок")), b + 1);
}

TEST_F(DBEngineTest, ExecSQLRaisesTheEngineErrorAndRunsNoSecondStatement)
{
    AddEntry(c_tbCashTypes, QStringLiteral("Карта"));
    EXPECT_THROW(FDB->ExecSQL(QStringLiteral("insert into NoSuchTable(Name) values(\"x\")")), EDatabaseError);
    EXPECT_THROW(FDB->ExecSQL(QStringLiteral("insert into Tags(Name) values(\"x\"); delete from CashTypes")),
                 EDatabaseError);
    IQueryPtr q = FDB->CreateQuery();
    q->Open(Format(c_sqlLibGetRecords, {c_tbCashTypes}));
    EXPECT_EQ(q->GetData()->RecordCount(), 1);
    q->Open(Format(c_sqlLibGetRecords, {c_tbTags}));
    EXPECT_TRUE(q->IsEmpty());
}

TEST_F(DBEngineTest, FailedOpenLeavesTheQueryClosed)
{
    IQueryPtr q = OpenCashTypes();
    ASSERT_TRUE(q->Active());
    EXPECT_THROW(q->Open(QStringLiteral("select * from NoSuchTable")), EDatabaseError);
    EXPECT_FALSE(q->Active());
    EXPECT_TRUE(q->IsEmpty());
    q->LocateByID(1); // a closed query ignores it
    q->Open(Format(c_sqlLibGetRecords, {c_tbCashTypes}));
    EXPECT_TRUE(q->Active());
    EXPECT_EQ(Name(q), QStringLiteral("А"));
}

TEST_F(DBEngineTest, QueriesOfOneConnectionAreIndependent)
{
    IQueryPtr a = OpenCashTypes();
    IQueryPtr b = FDB->CreateQuery();
    EXPECT_FALSE(b->Active());
    b->Open(Format(c_sqlLibGetRecords, {c_tbCashTypes}));
    a->LocateByID(4);
    EXPECT_EQ(Name(a), QStringLiteral("Г"));
    EXPECT_EQ(Name(b), QStringLiteral("А"));
}

struct LocateCase
{
    const char *Name;
    int ID;
    const char *Expected; // the row standing on "В" before the call
};

class LocateByIDTest : public DBEngineTest, public ::testing::WithParamInterface<LocateCase>
{
};

TEST_P(LocateByIDTest, MovesOnlyToAnExistingID)
{
    IQueryPtr q = OpenCashTypes();
    q->LocateByID(2);
    ASSERT_EQ(Name(q), QStringLiteral("В"));
    q->LocateByID(GetParam().ID);
    EXPECT_EQ(Name(q), QString::fromUtf8(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(IDs, LocateByIDTest, ::testing::Values(
    LocateCase{"Existing", 3, "Б"},
    LocateCase{"Last", 4, "Г"},
    LocateCase{"Missing", 99, "В"},
    LocateCase{"Zero", 0, "В"},
    LocateCase{"Negative", -1, "В"}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST_F(DBEngineTest, SavePositionRemembersIDOrNothing)
{
    TDBQuery q(FDB->Engine());
    q.SavePosition();
    EXPECT_EQ(q.KeyID(), -1) << "closed";

    q.Open(Format(c_sqlLibGetRecords, {c_tbTags}));
    q.SavePosition();
    EXPECT_EQ(q.KeyID(), 0) << "empty result";
    q.RestorePosition();
    EXPECT_TRUE(q.IsEmpty());

    AddEntry(c_tbTags, QStringLiteral("море"));
    q.Open(QStringLiteral("select Name from Tags"));
    q.SavePosition();
    EXPECT_EQ(q.KeyID(), -1) << "no ID column";

    q.Open(QStringLiteral("select name as NAME, id as id from Tags"));
    q.SavePosition();
    EXPECT_EQ(q.KeyID(), 1) << "ID found in any letter case";
}

TEST_F(DBEngineTest, RestorePositionFindsTheRowAfterReopen)
{
    IQueryPtr q = OpenCashTypes();
    q->LocateByID(2); // "В", third by name
    q->SavePosition();
    AddEntry(c_tbCashTypes, QStringLiteral("Аа")); // sorts before "Б"
    q->Open(Format(c_sqlLibGetRecords, {c_tbCashTypes}));
    ASSERT_EQ(Name(q), QStringLiteral("А"));
    q->RestorePosition();
    EXPECT_EQ(ID(q), 2);
    EXPECT_EQ(q->GetData()->RecNo(), 4);

    FDB->ExecSQL(Format(c_sqlDeleteRecordByID, {c_tbCashTypes, 2}));
    q->Open(Format(c_sqlLibGetRecords, {c_tbCashTypes}));
    q->RestorePosition();
    EXPECT_EQ(q->GetData()->RecNo(), 1) << "a vanished row leaves the query on its first row";
}

TEST_F(DBEngineTest, ToStringsListsNamesWithIDsAndClearsFirst)
{
    IQueryPtr q = OpenCashTypes();
    q->LocateByID(4);
    TStrings dst;
    dst.AddObject(QStringLiteral("старое"), 77);
    q->ToStrings(c_fldID, c_fldName, dst);
    EXPECT_EQ(dst.ToStringList(), (QStringList{"А", "Б", "В", "Г"}));
    ASSERT_EQ(dst.Count(), 4);
    EXPECT_EQ(dst.Objects(0), 1);
    EXPECT_EQ(dst.Objects(1), 3);
    EXPECT_EQ(dst.Objects(2), 2);
    EXPECT_EQ(dst.Objects(3), 4);
    EXPECT_TRUE(q->GetData()->Eof());

    q->Open(Format(c_sqlLibGetRecords, {c_tbTags}));
    q->ToStrings(c_fldID, c_fldName, dst);
    EXPECT_EQ(dst.Count(), 0);
}

TEST_F(DBEngineTest, SortKeepsTheCurrentRowAndOpenForgetsIt)
{
    IQueryPtr q = OpenCashTypes();
    q->LocateByID(3); // "Б"
    q->Sort(QStringLiteral("Name DESC"));
    EXPECT_EQ(Name(q), QStringLiteral("Б"));
    EXPECT_EQ(q->GetData()->RecNo(), 3);
    q->GetData()->First();
    EXPECT_EQ(Name(q), QStringLiteral("Г"));

    q->Sort(QString());
    EXPECT_EQ(Name(q), QStringLiteral("Г"));
    q->GetData()->First();
    EXPECT_EQ(Name(q), QStringLiteral("А"));

    q->Sort(QStringLiteral("ID DESC"));
    q->Open(Format(c_sqlLibGetRecords, {c_tbCashTypes}));
    EXPECT_EQ(Name(q), QStringLiteral("А")) << "Open returns to the order of the SQL";

    IQueryPtr closed = FDB->CreateQuery();
    EXPECT_THROW(closed->Sort(QStringLiteral("Name ASC")), EDatabaseError);
}

TEST_F(DBEngineTest, FilterShowsMatchingRowsAndSurvivesOpen)
{
    IQueryPtr q = OpenCashTypes();
    q->LocateByID(2);
    q->Filter(QString());
    EXPECT_EQ(ID(q), 2) << "clearing no filter moves nothing";

    q->Filter(QStringLiteral("Name = 'Б'"));
    EXPECT_EQ(q->GetData()->RecordCount(), 1);
    EXPECT_EQ(ID(q), 3);

    AddEntry(c_tbCashTypes, QStringLiteral("Б"));
    AddEntry(c_tbCashTypes, QStringLiteral("O'Key"));
    q->Open(Format(c_sqlLibGetRecords, {c_tbCashTypes}));
    EXPECT_EQ(q->GetData()->RecordCount(), 2);

    q->Filter(QStringLiteral("Name = 'O''Key'"));
    EXPECT_EQ(q->GetData()->RecordCount(), 1);
    EXPECT_EQ(Name(q), QStringLiteral("O'Key"));

    q->Filter(QStringLiteral("Name = 'нет такого'"));
    EXPECT_TRUE(q->IsEmpty());

    q->Filter(QString());
    EXPECT_EQ(q->GetData()->RecordCount(), 6);
    EXPECT_EQ(q->GetData()->RecNo(), 1);
}

} // namespace
