#pragma once

#include "app/Settings.h"
#include "db/Classes.TallysetManager.h"
#include "db/DBEngine.Core.h"
#include "db/Utils.h"
#include "model/Classes.Journals.h"
#include "model/Classes.Libs.h"
#include "platform/DateTime.h"
#include "platform/IniFile.h"
#include "support/RecordingDialogHook.h"
#include "support/TempDatabase.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

// Types `text` into `w` key by key; Cyrillic goes as text events.
inline void TypeText(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClicks(w, QString(c));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Clears a line edit with the keyboard (select all, delete), then types `text`.
inline void RetypeText(QLineEdit *w, const QString &text)
{
    w->setFocus();
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_Delete);
    TypeText(w, text);
}

// Runs `action` on the next modal window once it is up (polled from the event
// loop), so a test can act inside an exec() it has just started.
inline void WhenModal(std::function<void(QWidget *)> action, QWidget *notThis = nullptr)
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action, notThis, timer, poll] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != notThis && modal->isVisible()) {
            action(modal);
            *poll = nullptr;
            return;
        }
        if (timer->elapsed() > 5000) {
            ADD_FAILURE() << "no modal window appeared";
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, [poll] {
            if (*poll)
                (*poll)();
        });
    };
    QTimer::singleShot(0, [poll] { (*poll)(); });
}

// Double-clicks the row of an item view.
inline void DoubleClickRow(QAbstractItemView *view, int row)
{
    const QRect r = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, r.center());
}

// Saves `w` as a PNG under <build>/screenshots/ and returns the path.
inline QString SaveScreenshot(QWidget *w, const QString &name)
{
    const QString dir = QStringLiteral(TALLYSET_BINARY_DIR) + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    w->grab().save(path);
    return path;
}

// A fresh database with the lists, the three journals over a period manager,
// a dialog recorder and a settings store on a temporary INI file.
class TEditorTest : public ::testing::Test
{
protected:
    TEditorTest()
    {
        FormatSettings().DecimalSeparator = QLatin1Char(',');
        FormatSettings().DateSeparator = QLatin1Char('.');
        FormatSettings().ShortDateFormat = QStringLiteral("dd.MM.yyyy");
        FDB = TDBConnection::Create();
        FDB->Connect(FTemp.ConnectionString());
        FCashTypes = std::make_shared<TCashTypesLib>(FDB);
        FIncomeTypes = std::make_shared<TIncomeTypesLib>(FDB);
        FExpenseTypes = std::make_shared<TExpenseTypesLib>(FDB);
        FManager = TTallysetManager::Create(FDB);
        FIncomes = TIncomesJournal::New(FDB, FManager->AddQuery());
        FExpenses = TExpensesJournal::New(FDB, FManager->AddQuery());
        FTransfers = TTransfersJournal::New(FDB, FManager->AddQuery());
        FIncomes->SetLib(FCashTypes, FIncomeTypes);
        FExpenses->SetLib(FCashTypes, FExpenseTypes);
        FTransfers->SetLib(FCashTypes, FCashTypes);
        FSavedSettings = AppSettings;
        FIniPath = FTemp.Folder() + QStringLiteral("/tallyset.ini");
        AppSettings = TAppSetting::Create(FIniPath);
    }
    ~TEditorTest() override
    {
        AppSettings = FSavedSettings;
        FormatSettings() = FSavedFormat;
    }

    static TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }

    int AddName(const QString &table, const QString &name)
    {
        FDB->ExecSQL(QStringLiteral("insert into %1(Name) values(\"%2\")").arg(table, QuotedProcess(name)));
        return FDB->GetLastIdentity();
    }
    // The whole calendar as the working period, planned records included.
    void OpenAll()
    {
        FManager->SetBDate(D(1900, 1, 1));
        FManager->SetEDate(D(9999, 12, 31));
        FManager->SetPlannedInclude(true);
        FManager->SetIDSet(QString());
        FManager->Refresh();
    }
    std::shared_ptr<TCommonJournal> Journal(TJournalKind kind) const
    {
        switch (kind) {
        case jkIncomes:
            return FIncomes;
        case jkExpenses:
            return FExpenses;
        default:
            return FTransfers;
        }
    }

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
    QStringList Column(const QString &sql, const QString &field = QStringLiteral("Name"))
    {
        IQueryPtr q = FDB->CreateQuery();
        q->Open(sql);
        QStringList result;
        TDataSet *data = q->GetData();
        for (data->First(); !data->Eof(); data->Next())
            result << data->FieldByName(field)->AsString();
        return result;
    }
    void ExecNative(const char *sql)
    {
        char *error = nullptr;
        const int rc = sqlite3_exec(FDB->Engine().Handle(), sql, nullptr, nullptr, &error);
        const QString text = QString::fromUtf8(error ? error : "");
        sqlite3_free(error);
        ASSERT_EQ(rc, SQLITE_OK) << text.toStdString();
    }
    QString Ini(const QString &section, const QString &key) const
    {
        return TIniFile(FIniPath).ReadString(section, key, QStringLiteral("<missing>"));
    }

    TFormatSettings FSavedFormat = FormatSettings();
    TTempDatabase FTemp;
    IDBConnectionPtr FDB;
    std::shared_ptr<TCashTypesLib> FCashTypes;
    std::shared_ptr<TIncomeTypesLib> FIncomeTypes;
    std::shared_ptr<TExpenseTypesLib> FExpenseTypes;
    std::shared_ptr<TTallysetManager> FManager;
    std::shared_ptr<TCommonJournal> FIncomes, FExpenses, FTransfers;
    ISettingsManagerPtr FSavedSettings;
    QString FIniPath;
    TRecordedDialogs FDialogs;
};
