#include "support/ui/MainWindowEnv.h"

#include "app/Settings.h"
#include "platform/Exception.h"
#include "platform/SqlEngine.h"
#include "support/TempDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>

namespace {

QString JetDate(const QDate &date)
{
    return date.toString(QStringLiteral("MM/dd/yyyy"));
}

QString Quoted(const QString &text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

} // namespace

TMainWindowEnv::TMainWindowEnv(bool withDatabase)
{
    FHadXdg = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    FSavedXdg = qgetenv("XDG_DATA_HOME");
    if (withDatabase)
        FDatabase = std::make_unique<TTempDatabase>(QStringLiteral("Orvanta/Tallyset/db/tallyset.mdb"));
    qputenv("XDG_DATA_HOME", DataHome().toUtf8());
    FormatSettings() = TFormatSettings();
}

TMainWindowEnv::~TMainWindowEnv()
{
    FinalizeSettingsUnit();
    FormatSettings() = TFormatSettings();
    if (FHadXdg)
        qputenv("XDG_DATA_HOME", FSavedXdg);
    else
        qunsetenv("XDG_DATA_HOME");
}

QString TMainWindowEnv::DataHome() const
{
    return FDatabase ? FDatabase->Folder() : FEmptyHome.path();
}

TSqlConnection &TMainWindowEnv::Db()
{
    if (!FDatabase)
        throw Exception(QStringLiteral("This sandbox has no database"));
    return FDatabase->Connection();
}

void TMainWindowEnv::WriteIni(const QString &text) const
{
    QDir().mkpath(ProgramFolder());
    QFile file(IniPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Exception(QStringLiteral("Cannot write %1").arg(IniPath()));
    file.write(text.toUtf8());
}

QString TMainWindowEnv::ReadIni() const
{
    QFile file(IniPath());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

std::unique_ptr<TFMain> TMainWindowEnv::Open()
{
    InitSettingsUnit();
    auto window = std::make_unique<TFMain>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        throw Exception(QStringLiteral("The main window was not exposed"));
    ProcessPosted();
    return window;
}

int TMainWindowEnv::Insert(const QString &sql)
{
    Db().Execute(sql);
    return int(Db().LastInsertId());
}

int TMainWindowEnv::AddCashType(const QString &name)
{
    return Insert(QStringLiteral("insert into CashTypes(Name) values(%1)").arg(Quoted(name)));
}

int TMainWindowEnv::AddIncomeType(const QString &name)
{
    return Insert(QStringLiteral("insert into IncomeTypes(Name) values(%1)").arg(Quoted(name)));
}

int TMainWindowEnv::AddExpenseType(const QString &name)
{
    return Insert(QStringLiteral("insert into ExpenseTypes(Name) values(%1)").arg(Quoted(name)));
}

int TMainWindowEnv::AddIncome(const QDate &date, int cashType, int type, double sum, const QString &description,
                              bool planned)
{
    return Insert(QStringLiteral("insert into Incomes(OperationDate, CashTypeID, TypeID, SumValue, Planned, "
                                 "Description) values(#%1#, %2, %3, %4, %5, %6)")
                      .arg(JetDate(date))
                      .arg(cashType)
                      .arg(type)
                      .arg(sum, 0, 'f', 2)
                      .arg(planned ? 1 : 0)
                      .arg(Quoted(description)));
}

int TMainWindowEnv::AddExpense(const QDate &date, int cashType, int type, double sum, const QString &description,
                               bool planned)
{
    return Insert(QStringLiteral("insert into Expenses(OperationDate, CashTypeID, TypeID, SumValue, Planned, "
                                 "Description) values(#%1#, %2, %3, %4, %5, %6)")
                      .arg(JetDate(date))
                      .arg(cashType)
                      .arg(type)
                      .arg(sum, 0, 'f', 2)
                      .arg(planned ? 1 : 0)
                      .arg(Quoted(description)));
}

int TMainWindowEnv::AddTransfer(const QDate &date, int src, int dst, double sum, const QString &description)
{
    return Insert(QStringLiteral("insert into Transfers(OperationDate, SrcCashTypeID, DstCashTypeID, SumValue, "
                                 "Planned, Description) values(#%1#, %2, %3, %4, 0, %5)")
                      .arg(JetDate(date))
                      .arg(src)
                      .arg(dst)
                      .arg(sum, 0, 'f', 2)
                      .arg(Quoted(description)));
}

int TMainWindowEnv::Count(const QString &table)
{
    const auto rows = Db().Select(QStringLiteral("select count(*) from %1").arg(table));
    return rows->Rows.value(0).value(0).toInt();
}

void RunEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void ProcessPosted()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}
