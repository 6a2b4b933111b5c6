#include "support/TempDatabase.h"

#include "db/Schema.h"
#include "platform/Exception.h"

TTempDatabase::TTempDatabase(const QString &fileName)
{
    if (!FDir.isValid())
        throw Exception(QStringLiteral("Cannot create a temporary folder: %1").arg(FDir.errorString()));
    FPath = FDir.filePath(fileName);
    CreateDatabaseFile(FPath);
}

TTempDatabase::~TTempDatabase() = default;

QString TTempDatabase::ConnectionStringFor(const QString &path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Persist Security Info=False").arg(path);
}

TSqlConnection &TTempDatabase::Connection()
{
    if (!FConnection)
        FConnection = std::make_unique<TSqlConnection>();
    if (!FConnection->Connected())
        FConnection->Open(ConnectionString());
    return *FConnection;
}

std::unique_ptr<TSqlConnection> TTempDatabase::OpenConnection() const
{
    auto connection = std::make_unique<TSqlConnection>();
    connection->Open(ConnectionString());
    return connection;
}
