#include "support/TempDatabase.h"

#include "db/Schema.h"
#include "platform/Exception.h"
#include "platform/SqlEngine.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(SqlEngine, OpensTheSchemaFile)
{
    TTempDatabase db;
    TSqlConnection &c = db.Connection();
    c.Execute("insert into CashTypes(Name) values(\"Карта\")");
    auto rows = c.Select("select ID, Name from CashTypes");
    ASSERT_EQ(rows->Rows.size(), 1);
    EXPECT_EQ(rows->Rows[0][1].toString(), QStringLiteral("Карта"));
}
