#include "db/Classes.Backups.h"
#include "db/DBEngine.Backup.h"
#include "db/Schema.h"
#include "platform/SqlEngine.h"
#include "support/FileSizeLimit.h"
#include "support/ReadOnlyFolder.h"
#include "support/TempDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

void Exec(sqlite3 *db, const QString &sql)
{
    char *error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    ASSERT_EQ(rc, SQLITE_OK) << (error ? error : "") << " in " << sql.toStdString();
}

void ExecOn(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Exec(db, sql);
    sqlite3_close(db);
}

// Lists and `count` expenses, a tenth as many incomes and transfers; the
// descriptions make the file a few pages per hundred rows.
void Fill(sqlite3 *db, int count, int first = 1)
{
    Exec(db, "INSERT OR IGNORE INTO CashTypes(ID, Name) VALUES(1, 'Наличные'), (2, 'Карта');"
             "INSERT OR IGNORE INTO IncomeTypes(ID, Name) VALUES(1, 'Зарплата');"
             "INSERT OR IGNORE INTO ExpenseTypes(ID, Name) VALUES(1, 'Еда')");
    const QString rows = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) ")
                             .arg(first)
                             .arg(first + count - 1);
    Exec(db, rows + "INSERT INTO Expenses(OperationDate, TypeID, CashTypeID, SumValue, Description) "
                    "SELECT date('2016-01-01', '+' || (i % 3650) || ' days'), 1, 1 + i % 2, i * 1.25, "
                    "'покупка ' || hex(randomblob(30)) FROM n");
    Exec(db, rows + "INSERT INTO Incomes(OperationDate, TypeID, CashTypeID, SumValue) "
                    "SELECT date('2016-01-01', '+' || (i % 3650) || ' days'), 1, 1, i FROM n WHERE i % 10 = 0");
    Exec(db, rows + "INSERT INTO Transfers(OperationDate, SrcCashTypeID, DstCashTypeID, SumValue) "
                    "SELECT date('2016-01-01', '+' || (i % 3650) || ' days'), 1, 2, i FROM n WHERE i % 10 = 5");
}

// Counts and sums of the journals: equal fingerprints mean equal bookkeeping.
QString Fingerprint(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *stmt = nullptr;
    QString result;
    if (sqlite3_prepare_v2(db,
                           "SELECT (SELECT count(*) || '/' || total(SumValue) || '/' || total(ID) FROM Expenses) || ' ' ||"
                           " (SELECT count(*) || '/' || total(SumValue) FROM Incomes) || ' ' ||"
                           " (SELECT count(*) || '/' || total(SumValue) FROM Transfers)",
                           -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    else
        result = QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

QString Pragma(const QString &path, const char *pragma)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *stmt = nullptr;
    QString result;
    if (sqlite3_prepare_v2(db, pragma, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    else
        result = QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

QByteArray FileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Every entry of a folder, hidden ones included.
QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QDateTime At(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// A database of a few megabytes (many steps of a copy) in a temporary folder, closed.
class BackupsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Fill(FTemp.Connection().Handle(), 20000);
        FTemp.Connection().Close();
    }

    QString Live() const { return FTemp.Path(); }
    QString Folder() const { return BackupsFolder(Live()); }

    TTempDatabase FTemp;
    const QDateTime FNow = At("2024-05-15 12:00:00");
};

// ---- copies -------------------------------------------------------------------

TEST_F(BackupsTest, CopyIsOneSnapshotWhileAnotherProgramWrites)
{
    const QString before = Fingerprint(Live());
    auto writer = FTemp.OpenConnection();
    int steps = 0;
    const QString copy = MakeBackup(Live(), FNow, [&](qint64 done, qint64 total) {
        // Between the steps another program adds and deletes rows.
        if (++steps == 1) {
            Fill(writer->Handle(), 3000, 100000);
            Exec(writer->Handle(), "DELETE FROM Expenses WHERE ID % 7 = 0");
        }
        EXPECT_LE(done, total);
        return true;
    });
    ASSERT_GT(steps, 2) << "the file must take several steps";
    EXPECT_EQ(Fingerprint(copy), before);
    EXPECT_NE(Fingerprint(Live()), before);
    EXPECT_EQ(Pragma(copy, "PRAGMA integrity_check"), "ok");
    // A single self-contained file: no log beside it, so any tool opens it read-only.
    EXPECT_EQ(Pragma(copy, "PRAGMA journal_mode"), "delete");
    EXPECT_EQ(Entries(Folder()), QStringList{QFileInfo(copy).fileName()});
}

TEST_F(BackupsTest, NamesStayUniqueWithinASecondAndTheListIsNewestFirst)
{
    const QString first = MakeBackup(Live(), FNow);
    const QString second = MakeBackup(Live(), FNow);
    const QString older = MakeBackup(Live(), FNow.addDays(-3));
    EXPECT_EQ(QFileInfo(first).fileName(), "tallyset-2024-05-15-120000.mdb");
    EXPECT_EQ(QFileInfo(second).fileName(), "tallyset-2024-05-15-120001.mdb");
    EXPECT_EQ(QFileInfo(older).fileName(), "tallyset-2024-05-12-120000.mdb");

    // Files that are not finished copies of this program.
    for (const char *name : {"notes.txt", ".tallyset-copy.AbC123", ".tallyset-copy.AbC123-journal",
                             "tallyset-2024-13-01-000000.mdb", "tallyset-2024-05-15-120002.mdb-journal",
                             "damaged-tallyset-2024-05-01-000000.mdb"}) {
        QFile f(QDir(Folder()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QVector<TBackupInfo> list = ListBackups(Folder());
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0].Path, second);
    EXPECT_EQ(list[1].Path, first);
    EXPECT_EQ(list[2].Path, older);
    EXPECT_EQ(list[0].Time, FNow.addSecs(1));
    EXPECT_EQ(list[0].Size, QFileInfo(second).size());
    EXPECT_EQ(list[0].Operations, 20000 + 2000 + 2000);

    // An explicit name is never overwritten.
    const QByteArray hash = FileHash(first);
    EXPECT_THROW(CopyDatabaseFile(Live(), first), EBackupError);
    EXPECT_EQ(FileHash(first), hash);
}

TEST_F(BackupsTest, FullDiskFailsWithItsReasonAndLeavesNoCopy)
{
    const QByteArray hash = FileHash(Live());
    QDir().mkpath(Folder());
    try {
        TFileSizeLimit limit(256 * 1024);
        MakeBackup(Live(), FNow);
        FAIL() << "the copy cannot fit";
    } catch (const EBackupError &e) {
        EXPECT_TRUE(e.Message().contains(Live())) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("размер")) << e.Message().toStdString();
    }
    EXPECT_EQ(Entries(Folder()), QStringList());
    EXPECT_EQ(FileHash(Live()), hash);
    EXPECT_EQ(Pragma(Live(), "PRAGMA integrity_check"), "ok");
}

TEST_F(BackupsTest, ReadOnlyFolderFailsWithItsReason)
{
    QDir().mkpath(Folder());
    const QByteArray hash = FileHash(Live());
    {
        TReadOnlyFolder readOnly(Folder());
        if (!readOnly.Made())
            GTEST_SKIP() << "no way to make a read-only folder here";
        try {
            MakeBackup(Live(), FNow);
            FAIL() << "the folder takes no files";
        } catch (const EBackupError &e) {
            EXPECT_TRUE(e.Message().contains(Folder())) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains("нет прав")) << e.Message().toStdString();
        }
    }
    EXPECT_EQ(Entries(Folder()), QStringList());
    EXPECT_EQ(FileHash(Live()), hash);
}

TEST_F(BackupsTest, CopyOfWhatIsNoDatabaseFails)
{
    const QString text = FTemp.Folder() + "/text.mdb";
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    try {
        CopyDatabaseFile(text, FTemp.Folder() + "/copy.mdb");
        FAIL();
    } catch (const EBackupError &e) {
        EXPECT_TRUE(e.Message().contains("не является базой данных")) << e.Message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(FTemp.Folder() + "/copy.mdb"));
    EXPECT_THROW(MakeBackup(FTemp.Folder() + "/missing.mdb", FNow), EBackupError);
}

// ---- rotation -----------------------------------------------------------------

QVector<QDateTime> Daily(const QDate &from, const QDate &to, const QTime &time = QTime(9, 30))
{
    QVector<QDateTime> times;
    for (QDate d = from; d <= to; d = d.addDays(1))
        times.append(QDateTime(d, time));
    return times;
}

QStringList Kept(const QVector<QDateTime> &times, const QDateTime &now, const TBackupCounts &counts)
{
    const QVector<int> removed = BackupsToRemove(times, now, counts);
    QStringList kept;
    for (int i = 0; i < times.size(); ++i)
        if (!removed.contains(i))
            kept.append(times[i].toString(QStringLiteral("yyyy-MM-dd")));
    kept.sort();
    return kept;
}

TEST(BackupRotation, DailyCopiesOfMoreThanAYear)
{
    // Wednesday 15 May 2024. Kept: the seven days 9 to 15 May; the Sundays of
    // the eight weeks before the week of 6 to 12 May; the last day of each of
    // twelve months whose newest copy is not kept yet (March's is a Sunday).
    const QVector<QDateTime> times = Daily(QDate(2023, 1, 1), QDate(2024, 5, 15));
    const QStringList expected = {
        "2023-04-30", "2023-05-31", "2023-06-30", "2023-07-31", "2023-08-31", "2023-09-30", "2023-10-31",
        "2023-11-30", "2023-12-31", "2024-01-31", "2024-02-29", "2024-03-17", "2024-03-24", "2024-03-31",
        "2024-04-07", "2024-04-14", "2024-04-21", "2024-04-28", "2024-04-30", "2024-05-05", "2024-05-09",
        "2024-05-10", "2024-05-11", "2024-05-12", "2024-05-13", "2024-05-14", "2024-05-15"};
    EXPECT_EQ(Kept(times, At("2024-05-15 12:00:00"), TBackupCounts()), expected);
}

TEST(BackupRotation, Cases)
{
    struct TCase
    {
        const char *name;
        QVector<QDateTime> times;
        QDateTime now;
        TBackupCounts counts;
        QStringList kept;
    };
    const QDateTime now = At("2024-05-15 12:00:00");
    const QVector<TCase> cases = {
        {"several a day within the last seven days all stay",
         {At("2024-05-15 08:00:00"), At("2024-05-15 09:00:00"), At("2024-05-09 00:00:01"), At("2024-05-09 23:00:00")},
         now,
         {},
         {"2024-05-09", "2024-05-09", "2024-05-15", "2024-05-15"}},
        {"of one older week only the newest stays",
         {At("2024-05-06 10:00:00"), At("2024-05-07 10:00:00"), At("2024-05-08 10:00:00")},
         now,
         {},
         {"2024-05-08"}},
        {"after a long pause the old copies still stand for their weeks",
         Daily(QDate(2022, 1, 3), QDate(2022, 1, 23)) + QVector<QDateTime>{At("2024-05-15 08:00:00")},
         now,
         {},
         {"2022-01-09", "2022-01-16", "2022-01-23", "2024-05-15"}},
        {"counts of nothing keep the newest copy only",
         Daily(QDate(2024, 5, 1), QDate(2024, 5, 15)),
         now,
         {0, 0, 0},
         {"2024-05-15"}},
        {"two days and one week",
         Daily(QDate(2024, 4, 20), QDate(2024, 5, 15)),
         now,
         {2, 1, 0},
         {"2024-05-12", "2024-05-14", "2024-05-15"}},
        {"a copy from a clock set ahead is kept", {At("2024-06-01 10:00:00"), At("2024-05-15 10:00:00")}, now, {1, 0, 0},
         {"2024-05-15", "2024-06-01"}},
        {"no copies", {}, now, {}, {}},
    };
    for (const TCase &c : cases)
        EXPECT_EQ(Kept(c.times, c.now, c.counts), c.kept) << c.name;
}

TEST(BackupRotation, CountsComeFromTheBackupSection)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("tallyset.ini");
    const TBackupCounts defaults = ReadBackupCounts(ini);
    EXPECT_EQ(defaults.Days, 7);
    EXPECT_EQ(defaults.Weeks, 8);
    EXPECT_EQ(defaults.Months, 12);

    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[main]\nkeep_days=1\n[Backup]\nkeep_days=3\nkeep_weeks=-2\nkeep_months=много\n");
    f.close();
    const TBackupCounts counts = ReadBackupCounts(ini);
    EXPECT_EQ(counts.Days, 3);
    EXPECT_EQ(counts.Weeks, 8);
    EXPECT_EQ(counts.Months, 12);
}

TEST(BackupRotation, RemovesFilesAndStaleTemporaries)
{
    TTempDatabase db;
    const QDateTime now = At("2024-05-15 12:00:00");
    const QString folder = BackupsFolder(db.Path());
    for (int day = 0; day < 20; ++day)
        MakeBackup(db.Path(), now.addDays(-day));
    const QString stale = QDir(folder).filePath(".tallyset-copy.Old123");
    const QString fresh = QDir(folder).filePath(".tallyset-copy.New123");
    for (const QString &path : {stale, fresh}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QFile old(stale);
    ASSERT_TRUE(old.open(QIODevice::ReadWrite));
    ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
    old.close();

    const QStringList removed = RotateBackups(folder, now, {7, 1, 0});
    // 15 May is a Wednesday: 9 to 15 May stay, and 5 May for the week before.
    EXPECT_EQ(removed.size(), 12);
    QStringList names;
    for (const TBackupInfo &info : ListBackups(folder, false))
        names.append(QFileInfo(info.Path).fileName().mid(9, 10));
    EXPECT_EQ(names, QStringList({"2024-05-15", "2024-05-14", "2024-05-13", "2024-05-12", "2024-05-11", "2024-05-10",
                                  "2024-05-09", "2024-05-05"}));
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(fresh)) << "a copy in progress elsewhere is left alone";
}

TEST(BackupRotation, ABackupIsDueUntilOneIsMadeToday)
{
    TTempDatabase db;
    const QDateTime now = At("2024-05-15 12:00:00");
    EXPECT_TRUE(BackupDue(db.Path(), now));
    MakeBackup(db.Path(), now.addDays(-1));
    EXPECT_TRUE(BackupDue(db.Path(), now));
    MakeBackup(db.Path(), At("2024-05-15 00:00:01"));
    EXPECT_FALSE(BackupDue(db.Path(), now));
    EXPECT_TRUE(BackupDue(db.Path(), now.addDays(1)));
}

// ---- restore ------------------------------------------------------------------

TEST_F(BackupsTest, RestorePutsTheCopyInPlaceUnderARunningProgram)
{
    const QString backup = MakeBackup(Live(), FNow.addDays(-1));
    const QString restored = Fingerprint(backup);
    {
        auto writer = FTemp.OpenConnection();
        Fill(writer->Handle(), 500, 50000);
    }
    const QString current = Fingerprint(Live());
    ASSERT_NE(current, restored);

    // Another running program: its connection and its watch stay open throughout.
    auto running = FTemp.OpenConnection();
    TRestoreWatch watch(running->Handle());
    Fill(running->Handle(), 1, 60000);
    auto other = FTemp.OpenConnection();
    Fill(other->Handle(), 1, 60001);
    EXPECT_FALSE(watch.Restored()) << "ordinary writes are no restore";
    const QString beforeRestore = Fingerprint(Live());

    const QString safety = RestoreDatabase(backup, Live(), FNow);
    EXPECT_EQ(Fingerprint(Live()), restored);
    EXPECT_EQ(Fingerprint(safety), beforeRestore);
    EXPECT_EQ(Pragma(Live(), "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(Pragma(Live(), "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(ListBackups(Folder(), false).size(), 2);

    EXPECT_TRUE(watch.Restored());
    EXPECT_TRUE(watch.Restored()) << "stays noticed until accepted";
    EXPECT_EQ(running->Select("select count(*) from Expenses")->Rows.at(0).at(0).toLongLong(), 20000)
        << "the running program reads the restored file";
    watch.Accept();
    EXPECT_FALSE(watch.Restored());

    // A second restore of the same copy is noticed again.
    RestoreDatabase(backup, Live(), FNow);
    EXPECT_TRUE(watch.Restored());
    EXPECT_EQ(Fingerprint(Live()), restored);
}

TEST_F(BackupsTest, RestoreOfACopyWithAnotherPageSize)
{
    // A write-ahead log keeps its page size, so the copy is brought to the database's.
    const QString copy = FTemp.Folder() + "/big-pages.mdb";
    CopyDatabaseFile(Live(), copy);
    SetDatabasePageSize(copy, 16384);
    ASSERT_EQ(DatabasePageSize(copy), 16384);
    const QString restored = Fingerprint(copy);
    {
        auto writer = FTemp.OpenConnection();
        Exec(writer->Handle(), "DELETE FROM Expenses WHERE ID > 100");
    }
    RestoreDatabase(copy, Live(), FNow);
    EXPECT_EQ(Fingerprint(Live()), restored);
    EXPECT_EQ(DatabasePageSize(Live()), 4096);
    EXPECT_EQ(Pragma(Live(), "PRAGMA integrity_check"), "ok");
}

TEST_F(BackupsTest, RestoreRefusesBadCopiesAndTouchesNothing)
{
    const QString dir = FTemp.Folder();
    const QString good = dir + "/good.mdb";
    CopyDatabaseFile(Live(), good);

    const QString text = dir + "/text.mdb";
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Это не база данных\n");
    }
    const QString newer = dir + "/newer.mdb";
    CopyDatabaseFile(Live(), newer);
    ExecOn(newer, "PRAGMA user_version = 2");

    const QString foreign = dir + "/foreign.mdb";
    ExecOn(foreign, "CREATE TABLE Notes(Text TEXT)");

    // Pages in the middle of the file overwritten: the tables' b-trees are broken.
    const QString damaged = dir + "/damaged.mdb";
    CopyDatabaseFile(Live(), damaged);
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(f.size() / 2);
        f.write(QByteArray(4096 * 8, '\x5a'));
    }

    const struct
    {
        QString path;
        const char *says;
    } cases[] = {
        {text, "не является базой данных"},
        {newer, "более новой версией"},
        {foreign, "нет таблиц"},
        {damaged, "повреждён"},
        {dir + "/missing.mdb", "не найден"},
        {Live(), "и есть текущая база"},
    };

    const QByteArray hash = FileHash(Live());
    for (const auto &c : cases) {
        try {
            RestoreDatabase(c.path, Live(), FNow);
            ADD_FAILURE() << "restored " << c.path.toStdString();
        } catch (const EBackupError &e) {
            EXPECT_TRUE(e.Message().contains(QString::fromUtf8(c.says))) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains("не изменена")) << e.Message().toStdString();
        }
        EXPECT_EQ(FileHash(Live()), hash) << c.path.toStdString();
        EXPECT_FALSE(QFileInfo::exists(Folder())) << "no copy of the current file for a refused restore";
    }
    // Only the files of the cases are left (and the engine's side files of the
    // database, which reading it makes): no temporary copy behind.
    const QStringList left = Entries(dir).filter(QRegularExpression("^(?!tallyset\\.mdb-(wal|shm)$)"));
    EXPECT_EQ(left, QStringList({"damaged.mdb", "foreign.mdb", "good.mdb", "newer.mdb", "tallyset.mdb", "text.mdb"}));
}

TEST_F(BackupsTest, RestoreOverWhatIsNoDatabaseKeepsItAside)
{
    const QString backup = MakeBackup(Live(), FNow.addDays(-1));
    const QString restored = Fingerprint(backup);
    {
        QFile f(Live());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(10000, '\x01'));
    }
    const QByteArray damagedHash = FileHash(Live());
    const QString aside = RestoreDatabase(backup, Live(), FNow);
    EXPECT_EQ(Fingerprint(Live()), restored);
    EXPECT_EQ(QFileInfo(aside).fileName(), "damaged-tallyset-2024-05-15-120000.mdb");
    EXPECT_EQ(FileHash(aside), damagedHash);
    EXPECT_EQ(ListBackups(Folder(), false).size(), 1) << "the damaged file is no copy to restore";

    // And into a place where no file is.
    ASSERT_TRUE(QFile::remove(Live()));
    EXPECT_EQ(RestoreDatabase(backup, Live(), FNow), QString());
    EXPECT_EQ(Fingerprint(Live()), restored);
}

TEST_F(BackupsTest, DatabaseProblemsListsBrokenLinks)
{
    EXPECT_EQ(DatabaseProblems(Live()), QStringList());
    ExecOn(Live(), "PRAGMA foreign_keys = OFF; INSERT INTO Expenses(OperationDate, TypeID, CashTypeID) "
                   "VALUES('2024-01-01', 1, 99)");
    const QStringList problems = DatabaseProblems(Live());
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("Expenses")) << problems[0].toStdString();
    EXPECT_TRUE(problems[0].contains("CashTypes")) << problems[0].toStdString();
}

// ---- a kill at any moment -----------------------------------------------------

// Runs `work` in a child process and kills it with SIGKILL at the moment the
// work calls its argument. True when the child died there.
bool KillMidway(const std::function<void(const std::function<void()> &)> &work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        try {
            work([&] {
                const char c = 'k';
                if (write(fds[1], &c, 1) == 1)
                    for (;;)
                        pause();
            });
        } catch (...) {
        }
        _exit(0);
    }
    close(fds[1]);
    char c = 0;
    const bool reached = read(fds[0], &c, 1) == 1;
    if (reached)
        kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    close(fds[0]);
    return reached && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

TEST_F(BackupsTest, KillDuringABackupLeavesNoCopyListed)
{
    const QByteArray hash = FileHash(Live());
    // No connection may be open across the fork.
    ASSERT_TRUE(KillMidway([&](const std::function<void()> &here) {
        MakeBackup(Live(), FNow, [&](qint64 done, qint64 total) {
            if (done * 2 > total)
                here();
            return true;
        });
    }));
    EXPECT_TRUE(ListBackups(Folder()).isEmpty());
    EXPECT_EQ(FileHash(Live()), hash);
    EXPECT_EQ(Pragma(Live(), "PRAGMA integrity_check"), "ok");
    // The next copy is made as usual.
    EXPECT_EQ(Fingerprint(MakeBackup(Live(), FNow)), Fingerprint(Live()));
}

TEST_F(BackupsTest, KillDuringARestoreLeavesTheDatabaseAsItWas)
{
    const QString backup = MakeBackup(Live(), FNow.addDays(-1));
    {
        auto writer = FTemp.OpenConnection();
        Exec(writer->Handle(), "DELETE FROM Expenses WHERE ID % 2 = 0");
        Fill(writer->Handle(), 4000, 70000);
    }
    const QString current = Fingerprint(Live());
    ASSERT_NE(current, Fingerprint(backup));

    // Restore reports three stages in per mille: staging, the copy of the current file, writing.
    ASSERT_TRUE(KillMidway([&](const std::function<void()> &here) {
        RestoreDatabase(backup, Live(), FNow, [&](qint64 done, qint64 total) {
            if (done > total * 2 / 3 + 100 && done < total)
                here();
            return true;
        });
    }));
    EXPECT_EQ(Pragma(Live(), "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(Fingerprint(Live()), current);
    // Every listed copy is whole: the old one and the copy of the current file.
    const QVector<TBackupInfo> list = ListBackups(Folder(), false);
    ASSERT_EQ(list.size(), 2);
    for (const TBackupInfo &info : list)
        EXPECT_EQ(Pragma(info.Path, "PRAGMA integrity_check"), "ok") << info.Path.toStdString();
    EXPECT_EQ(Fingerprint(list[0].Path), current);

    // Once the killed program is gone the restore goes through.
    RestoreDatabase(backup, Live(), FNow);
    EXPECT_EQ(Fingerprint(Live()), Fingerprint(backup));
}

} // namespace
