#pragma once

#include "app/Main.h"
#include "platform/DateTime.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class TSqlConnection;
class TTempDatabase;

// A sandbox for the main window: XDG_DATA_HOME on a temporary folder that holds
// the database at the program's own path (made by the schema code), or no
// database at all; FormatSettings at "dd.MM.yyyy" with "." as decimal
// separator. The destructor finalises the settings store and restores
// XDG_DATA_HOME and FormatSettings.
//
//     TMainWindowEnv env;
//     int card = env.AddCashType("Карта");
//     auto window = env.Open();          // settings initialised, window shown
class TMainWindowEnv
{
public:
    explicit TMainWindowEnv(bool withDatabase = true);
    ~TMainWindowEnv();
    TMainWindowEnv(const TMainWindowEnv &) = delete;
    TMainWindowEnv &operator=(const TMainWindowEnv &) = delete;

    QString DataHome() const;
    QString ProgramFolder() const { return DataHome() + QStringLiteral("/Orvanta/Tallyset"); }
    QString IniPath() const { return ProgramFolder() + QStringLiteral("/tallyset.ini"); }
    QString DatabasePath() const { return ProgramFolder() + QStringLiteral("/db/tallyset.mdb"); }

    // A connection of the test's own on the database (fails without one).
    TSqlConnection &Db();

    // The settings file before the window reads it; ReadIni gives "" when missing.
    void WriteIni(const QString &text) const;
    QString ReadIni() const;

    // Initialises the settings store, then creates and shows the main window
    // and waits until it is exposed and the start-up messages are handled.
    std::unique_ptr<TFMain> Open();

    int AddCashType(const QString &name);
    int AddIncomeType(const QString &name);
    int AddExpenseType(const QString &name);
    int AddIncome(const QDate &date, int cashType, int type, double sum, const QString &description = QString(),
                  bool planned = false);
    int AddExpense(const QDate &date, int cashType, int type, double sum, const QString &description = QString(),
                   bool planned = false);
    int AddTransfer(const QDate &date, int src, int dst, double sum, const QString &description = QString());
    int Count(const QString &table);

private:
    int Insert(const QString &sql);

    std::unique_ptr<TTempDatabase> FDatabase;
    QTemporaryDir FEmptyHome;
    QByteArray FSavedXdg;
    bool FHadXdg = false;
};

// Lets the event loop run (idle updates included) for `milliseconds`.
void RunEventLoop(int milliseconds);
// Delivers the posted events without waiting.
void ProcessPosted();
