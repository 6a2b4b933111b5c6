#pragma once

#include "db/DBEngine.Core.h"
#include "db/Utils.h"
#include "platform/DateTime.h"
#include "platform/Exception.h"
#include "support/RecordingDialogHook.h"
#include "support/TempDatabase.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <sqlite3.h>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

// A fresh schema database with a connection, a dialog recorder, and helpers
// that write fixture rows with plain SQL (not through the model under test).
class TModelTest : public ::testing::Test
{
protected:
    TModelTest()
    {
        FDB = TDBConnection::Create();
        FDB->Connect(FTemp.ConnectionString());
    }
    ~TModelTest() override { FormatSettings() = FSavedFormat; }

    static TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }

    int AddName(const QString &table, const QString &name)
    {
        FDB->ExecSQL(QStringLiteral("insert into %1(Name) values(\"%2\")").arg(table, QuotedProcess(name)));
        return FDB->GetLastIdentity();
    }
    int AddOperation(const QString &table, const QString &linkColumns, int link1, int link2, TDateTime date,
                     double sum, bool planned)
    {
        FDB->ExecSQL(QStringLiteral("insert into %1(%2, OperationDate, SumValue, Planned) values(%3, %4, %5, %6, %7)")
                         .arg(table, linkColumns)
                         .arg(link1)
                         .arg(link2)
                         .arg(MSAccessDate(date), QString::number(sum, 'f', 2))
                         .arg(planned ? 1 : 0));
        return FDB->GetLastIdentity();
    }
    int AddIncome(TDateTime date, int typeID, int cashTypeID, double sum, bool planned = false)
    {
        return AddOperation(QStringLiteral("Incomes"), QStringLiteral("TypeID, CashTypeID"), typeID, cashTypeID, date,
                            sum, planned);
    }
    int AddExpense(TDateTime date, int typeID, int cashTypeID, double sum, bool planned = false)
    {
        return AddOperation(QStringLiteral("Expenses"), QStringLiteral("TypeID, CashTypeID"), typeID, cashTypeID,
                            date, sum, planned);
    }
    int AddTransfer(TDateTime date, int srcID, int dstID, double sum, bool planned = false)
    {
        return AddOperation(QStringLiteral("Transfers"), QStringLiteral("SrcCashTypeID, DstCashTypeID"), srcID, dstID,
                            date, sum, planned);
    }
    void LinkTag(int expenseID, int tagID)
    {
        FDB->ExecSQL(QStringLiteral("insert into ExpensesTags(OwnerID, TagID) values(%1, %2)").arg(expenseID).arg(tagID));
    }

    // The first column of the first row of `sql` (an invalid QVariant when empty).
    QVariant Scalar(const QString &sql)
    {
        IQueryPtr q = FDB->CreateQuery();
        q->Open(sql);
        if (q->IsEmpty())
            return {};
        return q->GetData()->Fields(0)->Value();
    }
    int Count(const QString &tableAndCondition)
    {
        return Scalar(QStringLiteral("select count(*) from ") + tableAndCondition).toInt();
    }
    // One column of every row of `sql`, as text, in row order.
    QStringList Column(const QString &sql, const QString &field = QStringLiteral("Name"))
    {
        IQueryPtr q = FDB->CreateQuery();
        q->Open(sql);
        return Column(q, field);
    }
    static QStringList Column(const IQueryPtr &q, const QString &field)
    {
        QStringList result;
        TDataSet *data = q->GetData();
        for (data->First(); !data->Eof(); data->Next())
            result << data->FieldByName(field)->AsString();
        return result;
    }
    // Runs native SQLite text on the connection (triggers for fault injection).
    void ExecNative(const char *sql)
    {
        char *error = nullptr;
        const int rc = sqlite3_exec(FDB->Engine().Handle(), sql, nullptr, nullptr, &error);
        const QString text = QString::fromUtf8(error ? error : "");
        sqlite3_free(error);
        ASSERT_EQ(rc, SQLITE_OK) << text.toStdString();
    }

    TTempDatabase FTemp;
    IDBConnectionPtr FDB;
    TRecordedDialogs FDialogs;

private:
    TFormatSettings FSavedFormat = FormatSettings();
};
