#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/DateTime.h"
#include "platform/Exception.h"

#include <QDate>
#include <gtest/gtest.h>

namespace
{

// ID, Name, SumValue, OperationDate
std::shared_ptr<TRowSet> Ledger(const QVector<QVector<QVariant>> &rows)
{
    auto r = std::make_shared<TRowSet>();
    r->ColumnNames = {"ID", "Name", "SumValue", "OperationDate"};
    r->ColumnTypes = {TFieldType::Integer, TFieldType::String, TFieldType::Float, TFieldType::DateTime};
    r->Rows = rows;
    return r;
}

QVector<QVariant> Row(qlonglong id, const QVariant &name, const QVariant &sum, const QVariant &date)
{
    return {QVariant(id), name, sum, date};
}

std::shared_ptr<TRowSet> Sample()
{
    const double d1 = EncodeDate(2011, 12, 1), d2 = EncodeDate(2011, 12, 2);
    return Ledger({
        Row(1, QStringLiteral("Молоко"), 12.5, d1),
        Row(2, QStringLiteral("хлеб"), 3.0, d2),
        Row(3, QStringLiteral("Хлеб"), 12.5, d1),
        Row(4, QVariant(), QVariant(), QVariant()),
        Row(5, QStringLiteral("O'Brien"), 7.25, d2 + 0.5),
    });
}

QList<qlonglong> Ids(TDataSet &ds)
{
    QList<qlonglong> ids;
    for (int i = 0; i < ds.RecordCount(); ++i)
        ids << ds.ValueAt(i, 0).toLongLong();
    return ids;
}

class DataSetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FSaved = FormatSettings();
        QObject::connect(&FDs, &TDataSet::DataChanged, [this] { FEvents << "data"; });
        QObject::connect(&FDs, &TDataSet::AfterScroll, [this] { FEvents << "scroll"; });
    }
    void TearDown() override { FormatSettings() = FSaved; }

    TFormatSettings FSaved;
    TDataSet FDs;
    QStringList FEvents;
};

TEST_F(DataSetTest, CursorWalksAndStopsAtBothEnds)
{
    FDs.Open(Sample());
    EXPECT_EQ(FDs.RecNo(), 1);
    EXPECT_TRUE(FDs.Bof());
    EXPECT_FALSE(FDs.Eof());
    QList<int> seen;
    while (!FDs.Eof()) {
        seen << FDs.FieldByName("id")->AsInteger();
        FDs.Next();
    }
    EXPECT_EQ(seen, (QList<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(FDs.RecNo(), 5) << "past the end the cursor stays on the last row";
    EXPECT_EQ(FDs.FieldByName("Name")->AsString(), QStringLiteral("O'Brien"));

    FDs.Prior();
    EXPECT_FALSE(FDs.Eof());
    EXPECT_EQ(FDs.RecNo(), 4);
    FDs.First();
    FDs.Prior();
    EXPECT_TRUE(FDs.Bof());
    EXPECT_EQ(FDs.RecNo(), 1);
    FDs.Last();
    EXPECT_TRUE(FDs.Eof());
    EXPECT_FALSE(FDs.Bof());
    EXPECT_EQ(FDs.RecNo(), 5);

    FDs.SetRecNo(3);
    EXPECT_EQ(FDs.FieldByName("ID")->AsInteger(), 3);
    EXPECT_FALSE(FDs.Eof());
    FDs.SetRecNo(99);
    EXPECT_EQ(FDs.RecNo(), 5);
    FDs.SetRecNo(0);
    EXPECT_EQ(FDs.RecNo(), 1);
}

TEST_F(DataSetTest, EmptyAndClosedDatasets)
{
    EXPECT_TRUE(FDs.Eof());
    EXPECT_TRUE(FDs.Bof());
    EXPECT_TRUE(FDs.IsEmpty());
    for (const auto &call : std::vector<std::function<void()>>{[&] { FDs.First(); }, [&] { FDs.Next(); },
                                                               [&] { FDs.RecNo(); }, [&] { FDs.SetSort("ID"); },
                                                               [&] { FDs.Locate("ID", 1); }}) {
        try {
            call();
            ADD_FAILURE() << "a closed dataset moved";
        } catch (const EDatabaseError &e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Dataset not open"));
        }
    }

    FDs.Open(Ledger({}));
    EXPECT_TRUE(FDs.Active());
    EXPECT_TRUE(FDs.IsEmpty());
    EXPECT_TRUE(FDs.Eof());
    EXPECT_TRUE(FDs.Bof());
    EXPECT_EQ(FDs.RecNo(), 0);
    FDs.Next();
    FDs.Last();
    EXPECT_EQ(FDs.FieldByName("ID")->AsInteger(), 0);
    EXPECT_EQ(FDs.FieldByName("SumValue")->AsFloat(), 0.0);
    EXPECT_EQ(FDs.FieldByName("Name")->AsString(), QString());
    EXPECT_EQ(FEvents, QStringList{"data"}) << "no row, no scroll";
}

TEST_F(DataSetTest, FieldsByNameAndNulls)
{
    FDs.Open(Sample());
    EXPECT_EQ(FDs.FieldByName("sumvalue"), FDs.FindField("SUMVALUE"));
    EXPECT_EQ(FDs.FindField("Missing"), nullptr);
    try {
        FDs.FieldByName("Missing");
        ADD_FAILURE();
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Field 'Missing' not found"));
    }
    FDs.SetRecNo(4);
    TField *name = FDs.FieldByName("Name");
    EXPECT_TRUE(name->IsNull());
    EXPECT_EQ(name->AsString(), QString());
    EXPECT_EQ(FDs.FieldByName("SumValue")->AsFloat(), 0.0);
    EXPECT_EQ(FDs.FieldByName("SumValue")->AsInteger(), 0);
    EXPECT_EQ(FDs.FieldByName("OperationDate")->AsDateTime(), 0.0);

    FDs.Open(Sample());
    EXPECT_EQ(FDs.FieldByName("Name"), name) << "a reopen with the same columns keeps the field objects";
}

TEST_F(DataSetTest, TextFormsFollowTheFormatSettings)
{
    FormatSettings().DecimalSeparator = QLatin1Char(',');
    FormatSettings().ShortDateFormat = QStringLiteral("dd.MM.yyyy");
    FDs.Open(Sample());
    EXPECT_EQ(FDs.FieldByName("SumValue")->AsString(), QStringLiteral("12,5"));
    EXPECT_EQ(FDs.FieldByName("OperationDate")->AsString(), QStringLiteral("01.12.2011"));
    EXPECT_EQ(FDs.FieldByName("ID")->AsString(), QStringLiteral("1"));
    FDs.Last();
    EXPECT_TRUE(FDs.FieldByName("OperationDate")->AsString().startsWith(QStringLiteral("02.12.2011 12")));
    EXPECT_THROW(FDs.FieldByName("Name")->AsInteger(), EConvertError);
}

TEST_F(DataSetTest, LocateMatchesExactlyOrStays)
{
    FDs.Open(Sample());
    FDs.SetRecNo(2);
    EXPECT_TRUE(FDs.Locate("ID", 3));
    EXPECT_EQ(FDs.RecNo(), 3);
    EXPECT_FALSE(FDs.Locate("ID", 42));
    EXPECT_EQ(FDs.RecNo(), 3);
    EXPECT_FALSE(FDs.Locate("Name", QStringLiteral("молоко"))) << "texts compare exactly";
    EXPECT_TRUE(FDs.Locate("name", QStringLiteral("Молоко")));
    EXPECT_EQ(FDs.RecNo(), 1);
    EXPECT_TRUE(FDs.Locate("SumValue", 7.25));
    EXPECT_EQ(FDs.RecNo(), 5);
    EXPECT_TRUE(FDs.Locate("OperationDate", QDate(2011, 12, 2)));
    EXPECT_EQ(FDs.RecNo(), 2);
    EXPECT_TRUE(FDs.Locate("Name", QVariant()));
    EXPECT_EQ(FDs.RecNo(), 4);
}

TEST_F(DataSetTest, SortIsStableMultiColumnAndCaseInsensitive)
{
    FDs.Open(Sample());
    FDs.SetSort("SumValue DESC, Name ASC");
    EXPECT_EQ(Ids(FDs), (QList<qlonglong>{1, 3, 5, 2, 4})) << "NULLs count lowest";
    FDs.SetSort("OperationDate, ID DESC");
    EXPECT_EQ(Ids(FDs), (QList<qlonglong>{4, 3, 1, 2, 5}));
    // "хлеб" and "Хлеб" tie without case and keep their order either way.
    FDs.SetSort("Name");
    EXPECT_EQ(Ids(FDs), (QList<qlonglong>{4, 5, 1, 2, 3}));
    FDs.SetSort("Name DESC");
    EXPECT_EQ(Ids(FDs), (QList<qlonglong>{2, 3, 1, 5, 4}));
    EXPECT_EQ(FDs.RecNo(), 1);
    EXPECT_EQ(FDs.FieldByName("ID")->AsInteger(), 2);

    EXPECT_THROW(FDs.SetSort("Nope DESC"), EDatabaseError);
    EXPECT_EQ(FDs.Sort(), QStringLiteral("Name DESC"));
    FDs.SetSort("");
    EXPECT_EQ(Ids(FDs), (QList<qlonglong>{1, 2, 3, 4, 5}));
}

TEST_F(DataSetTest, FilterComparesTextFormsAndSurvivesOpen)
{
    FormatSettings().DecimalSeparator = QLatin1Char(',');
    FDs.Open(Sample());
    FDs.SetRecNo(3);
    FDs.SetFilter("");
    EXPECT_EQ(FDs.RecNo(), 3) << "switching off a filter that is not on changes nothing";

    FDs.SetFilter("SumValue = '12,5'");
    EXPECT_EQ(Ids(FDs), (QList<qlonglong>{1, 3}));
    EXPECT_EQ(FDs.RecNo(), 1);
    FDs.SetFilter("Name = 'O''Brien'");
    EXPECT_EQ(Ids(FDs), (QList<qlonglong>{5}));
    FDs.SetFilter("Name = 'хлеб'");
    EXPECT_EQ(Ids(FDs), (QList<qlonglong>{2}));
    FDs.SetFilter("OperationDate = '" + DateToStr(EncodeDate(2011, 12, 1)) + "'");
    EXPECT_EQ(Ids(FDs), (QList<qlonglong>{1, 3}));

    FDs.SetSort("ID DESC");
    FDs.Open(Sample());
    EXPECT_EQ(Ids(FDs), (QList<qlonglong>{1, 3})) << "the filter stays, the sort goes";
    EXPECT_EQ(FDs.Sort(), QString());

    EXPECT_THROW(FDs.SetFilter("Name like 'x'"), EDatabaseError);
    EXPECT_THROW(FDs.SetFilter("Nope = 'x'"), EDatabaseError);
    EXPECT_EQ(Ids(FDs), (QList<qlonglong>{1, 3})) << "a refused filter leaves the one in force";
    FDs.SetFilter("");
    EXPECT_EQ(FDs.RecordCount(), 5);
}

TEST_F(DataSetTest, SignalsFollowChangesAndMoves)
{
    TDataSource source;
    QStringList forwarded;
    QObject::connect(&source, &TDataSource::DataSetChanged, [&] { forwarded << "bound"; });
    QObject::connect(&source, &TDataSource::DataChange, [&] { forwarded << "data"; });
    QObject::connect(&source, &TDataSource::CurrentChanged, [&] { forwarded << "scroll"; });
    source.SetDataSet(&FDs);
    EXPECT_EQ(source.DataSet(), &FDs);

    FDs.Open(Sample());
    FDs.Next();
    FDs.Last();
    FDs.Next(); // already on the last row
    FDs.SetRecNo(5);
    FDs.SetSort("Name");
    FDs.SetFilter("Name = 'нет такого'");
    EXPECT_EQ(FEvents, (QStringList{"data", "scroll", "scroll", "scroll", "data", "scroll", "data"}));
    EXPECT_EQ(forwarded, (QStringList{"bound", "data", "scroll", "scroll", "scroll", "data", "scroll", "data"}));

    FDs.SetFilter("");
    forwarded.clear();
    {
        TDataSet other;
        source.SetDataSet(&other);
        FDs.First();
        other.Open(Sample());
    }
    EXPECT_EQ(forwarded, (QStringList{"bound", "data", "scroll", "bound"}));
    EXPECT_EQ(source.DataSet(), nullptr);
}

} // namespace
