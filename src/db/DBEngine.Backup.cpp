#include "db/DBEngine.Backup.h"

#include "db/Constants.h"
#include "db/Schema.h"
#include "platform/SqlEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sqlite3.h>
#include <unistd.h>

const QStringList c_dbProgramTables = {c_tbIncomeTypes, c_tbExpenseTypes, c_tbCashTypes, c_tbTags,
                                       c_tbJrIncomes,   c_tbJrExpenses,   c_tbJrTransfers, QStringLiteral("ExpensesTags")};
const QString c_tbRestores = QStringLiteral("Restores");

namespace
{

const int kBusyWaitMs = 10000;
const int kPagesPerStep = 256;
const QString kTemporaryPrefix = QStringLiteral(".tallyset-copy.");

// Words for a failed system call; the common failures of a copy in Russian.
QString SystemReason(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("на диске нет места");
    case EFBIG:
        return QStringLiteral("файл превысил допустимый размер");
    case EDQUOT:
        return QStringLiteral("превышена дисковая квота");
    case EROFS:
        return QStringLiteral("папка доступна только для чтения");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет прав доступа");
    case ENOENT:
        return QStringLiteral("файл или папка не найдены");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

// Words for an engine result code; `db` gives the system error behind an I/O failure.
QString EngineReason(sqlite3 *db, int rc, int systemError = 0)
{
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
        return QStringLiteral("файл не является базой данных");
    case SQLITE_CORRUPT:
        return QStringLiteral("файл повреждён");
    case SQLITE_FULL:
        return QStringLiteral("на диске нет места");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("база данных занята другой программой");
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY: {
        int error = db ? sqlite3_system_errno(db) : 0;
        if (error == 0)
            error = systemError;
        if (error != 0)
            return SystemReason(error);
        break;
    }
    default:
        break;
    }
    return QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

// A connection of this unit's own, closed with the object.
class TDb
{
public:
    TDb(const QString &path, bool writable)
    {
        const QByteArray name = QFile::encodeName(path);
        const int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
        const int rc = sqlite3_open_v2(name.constData(), &FDb, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString reason = EngineReason(FDb, rc, errno);
            sqlite3_close_v2(FDb);
            throw EBackupError(reason);
        }
        sqlite3_extended_result_codes(FDb, 1);
        sqlite3_busy_timeout(FDb, kBusyWaitMs);
        // Files of older schemas name the program's collation; a VACUUM or a
        // check of an index on it needs it registered.
        try {
            TSqlConnection::RegisterFunctions(FDb);
        } catch (const EDatabaseError &e) {
            sqlite3_close_v2(FDb);
            throw EBackupError(e.Message());
        }
    }
    ~TDb() { sqlite3_close_v2(FDb); }
    TDb(const TDb &) = delete;
    TDb &operator=(const TDb &) = delete;

    sqlite3 *Handle() const { return FDb; }
    // Closes now and reports a failure of the last writes.
    void Close()
    {
        const int rc = sqlite3_close(FDb);
        if (rc != SQLITE_OK) {
            const QString reason = EngineReason(FDb, rc);
            sqlite3_close_v2(FDb);
            FDb = nullptr;
            throw EBackupError(reason);
        }
        FDb = nullptr;
    }

private:
    sqlite3 *FDb = nullptr;
};

class TStmt
{
public:
    TStmt(sqlite3 *db, const char *sql) : FDb(db)
    {
        const int rc = sqlite3_prepare_v2(db, sql, -1, &FStmt, nullptr);
        if (rc != SQLITE_OK)
            throw EBackupError(EngineReason(db, rc));
    }
    ~TStmt() { sqlite3_finalize(FStmt); }
    TStmt(const TStmt &) = delete;
    TStmt &operator=(const TStmt &) = delete;

    bool Step()
    {
        const int rc = sqlite3_step(FStmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw EBackupError(EngineReason(FDb, rc));
        return false;
    }
    qint64 Int(int column) const { return sqlite3_column_int64(FStmt, column); }
    QString Text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(FStmt, column)),
                                 sqlite3_column_bytes(FStmt, column));
    }
    void Bind(int index, qint64 value) { sqlite3_bind_int64(FStmt, index, value); }
    void Bind(int index, const QString &value)
    {
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(FStmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }

private:
    sqlite3 *FDb;
    sqlite3_stmt *FStmt = nullptr;
};

void Exec(sqlite3 *db, const char *sql)
{
    TStmt stmt(db, sql);
    while (stmt.Step()) {
    }
}

qint64 ScalarInt(sqlite3 *db, const char *sql)
{
    TStmt stmt(db, sql);
    return stmt.Step() ? stmt.Int(0) : 0;
}

QString ScalarText(sqlite3 *db, const char *sql)
{
    TStmt stmt(db, sql);
    return stmt.Step() ? stmt.Text(0) : QString();
}

bool HasTable(sqlite3 *db, const QString &table)
{
    TStmt stmt(db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    stmt.Bind(1, table);
    return stmt.Step();
}

// Opens a read transaction that the steps of a backup share, so the copy is
// one snapshot even when other connections commit between the steps.
void BeginSnapshot(sqlite3 *db)
{
    Exec(db, "BEGIN");
    ScalarInt(db, "SELECT count(*) FROM sqlite_schema");
}

void SyncPath(const QString &path, bool directory)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | (directory ? O_DIRECTORY : 0));
    if (fd < 0)
        throw EBackupError(SystemReason(errno));
    const int rc = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (rc != 0 && !(directory && error == EINVAL))
        throw EBackupError(SystemReason(error));
}

// Makes a rename in the folder of `path` durable. A failure is not reported:
// the file is whole under its name, only the entry may wait for the system's flush.
void SyncFolderOf(const QString &path)
{
    try {
        SyncPath(QFileInfo(path).absolutePath(), true);
    } catch (const EBackupError &) {
    }
}

void RemoveWithSideFiles(const QString &path)
{
    QFile::remove(path);
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

// Copies every page of `src` into `dst` in steps, waiting while either side
// is busy; the destination stays in one write transaction until done.
void RunBackup(sqlite3 *dst, sqlite3 *src, const TCopyProgress &progress)
{
    sqlite3_backup *backup = sqlite3_backup_init(dst, "main", src, "main");
    if (!backup)
        throw EBackupError(EngineReason(dst, sqlite3_extended_errcode(dst)));
    QElapsedTimer waited;
    int rc;
    int systemError = 0;
    for (;;) {
        rc = sqlite3_backup_step(backup, kPagesPerStep);
        if (rc == SQLITE_OK || rc == SQLITE_DONE) {
            waited.invalidate();
            if (progress) {
                const qint64 total = sqlite3_backup_pagecount(backup);
                if (!progress(total - sqlite3_backup_remaining(backup), total)) {
                    sqlite3_backup_finish(backup);
                    throw EBackupCancelled(QStringLiteral("Копирование отменено."));
                }
            }
            if (rc == SQLITE_DONE)
                break;
            continue;
        }
        systemError = errno;
        const int primary = rc & 0xff;
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
            if (!waited.isValid())
                waited.start();
            if (waited.elapsed() < kBusyWaitMs) {
                QThread::msleep(20);
                continue;
            }
        }
        break;
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        const int dstError = sqlite3_system_errno(dst);
        throw EBackupError(EngineReason(dstError ? dst : src, rc, systemError));
    }
    if (finished != SQLITE_OK)
        throw EBackupError(EngineReason(dst, finished));
}

QString ProblemsText(const QStringList &problems)
{
    const int shown = 5;
    QStringList head = problems.mid(0, shown);
    QString text = head.join(QStringLiteral("; "));
    if (problems.size() > shown)
        text += QStringLiteral(" (и ещё %1)").arg(problems.size() - shown);
    return text;
}

QStringList IntegrityProblems(sqlite3 *db, bool quick)
{
    QStringList problems;
    try {
        TStmt stmt(db, quick ? "PRAGMA quick_check" : "PRAGMA integrity_check");
        while (stmt.Step()) {
            const QString line = stmt.Text(0);
            if (line != QLatin1String("ok"))
                problems << line;
        }
    } catch (const EBackupError &) {
        // The check itself stops on damage it cannot walk past.
        problems << QString::fromUtf8(sqlite3_errmsg(db));
    }
    return problems;
}

QStringList ForeignKeyProblems(sqlite3 *db)
{
    QStringList problems;
    TStmt stmt(db, "PRAGMA foreign_key_check");
    while (stmt.Step())
        problems << QStringLiteral("таблица %1, запись %2: нет связанной записи в таблице %3")
                        .arg(stmt.Text(0), QString::number(stmt.Int(1)), stmt.Text(2));
    return problems;
}

// Opens `path` read-only and reads its schema: the connection, or null with
// the engine's primary result code and the reason.
std::unique_ptr<TDb> TryOpen(const QString &path, int &rc, QString &reason)
{
    std::unique_ptr<TDb> db;
    try {
        db = std::make_unique<TDb>(path, false);
        ScalarInt(db->Handle(), "SELECT count(*) FROM sqlite_schema");
        return db;
    } catch (const EBackupError &e) {
        rc = db ? sqlite3_extended_errcode(db->Handle()) & 0xff : SQLITE_CANTOPEN;
        reason = e.Message();
        return nullptr;
    }
}

// Opens `path` read-only and proves it is an SQLite database; raises
// EBackupError naming the file as `name` (the path when empty) otherwise.
std::unique_ptr<TDb> OpenExisting(const QString &path, const QString &name = QString())
{
    const QString shown = name.isEmpty() ? path : name;
    const QFileInfo info(path);
    if (!info.exists())
        throw EBackupError(QStringLiteral("Файл %1 не найден.").arg(shown));
    if (!info.isFile())
        throw EBackupError(QStringLiteral("%1 не является файлом.").arg(shown));
    int rc = SQLITE_OK;
    QString reason;
    std::unique_ptr<TDb> db = TryOpen(path, rc, reason);
    if (!db && rc == SQLITE_NOTADB)
        throw EBackupError(QStringLiteral("Файл %1 не является базой данных.").arg(shown));
    if (!db)
        throw EBackupError(QStringLiteral("Файл %1 не удаётся прочитать: %2.").arg(shown, reason));
    return db;
}

QStringList MissingTables(sqlite3 *db)
{
    QStringList missing;
    for (const QString &table : c_dbProgramTables)
        if (!HasTable(db, table))
            missing << table;
    return missing;
}

} // namespace

// ---- TDatabaseCopy ----------------------------------------------------------

TDatabaseCopy::TDatabaseCopy(const QString &source, const QString &folder, const TCopyProgress &progress)
{
    const auto failure = [&](const QString &reason) {
        return EBackupError(QStringLiteral("Не удалось сделать копию базы данных %1: %2.").arg(source, reason));
    };
    if (!QFileInfo(source).isFile())
        throw EBackupError(QStringLiteral("Файл базы данных %1 не найден.").arg(source));
    errno = 0;
    if (!QDir().mkpath(folder))
        throw failure(QStringLiteral("не удаётся создать папку %1 (%2)").arg(folder, SystemReason(errno)));
    QByteArray pattern = QFile::encodeName(QDir(folder).filePath(kTemporaryPrefix + QStringLiteral("XXXXXX")));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw failure(QStringLiteral("в папке %1 нельзя создать файл (%2)").arg(folder, SystemReason(errno)));
    ::close(fd);
    FTemporary = QFile::decodeName(pattern);

    try {
        {
            TDb src(source, false);
            BeginSnapshot(src.Handle());
            TDb dst(FTemporary, true);
            RunBackup(dst.Handle(), src.Handle(), progress);
            // The copied header keeps the source's write-ahead log mode; a
            // rollback journal makes the copy one file that opens anywhere.
            ScalarInt(dst.Handle(), "SELECT count(*) FROM sqlite_schema");
            if (ScalarText(dst.Handle(), "PRAGMA journal_mode = DELETE") != QLatin1String("delete"))
                throw EBackupError(QStringLiteral("не удалось перевести копию в обычный режим журнала"));
            dst.Close();
        }
        SyncPath(FTemporary, false);
    } catch (const EBackupCancelled &) {
        RemoveWithSideFiles(FTemporary);
        throw;
    } catch (const EBackupError &e) {
        RemoveWithSideFiles(FTemporary);
        throw failure(e.Message());
    }
}

TDatabaseCopy::~TDatabaseCopy()
{
    if (!FPublished && !FTemporary.isEmpty())
        RemoveWithSideFiles(FTemporary);
}

bool RenameNoReplace(const QString &fromPath, const QString &toPath)
{
    const QByteArray from = QFile::encodeName(fromPath);
    const QByteArray to = QFile::encodeName(toPath);
    int rc = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without no-replace renames: a hard link fails on an existing name too.
        rc = ::link(from.constData(), to.constData());
        if (rc == 0) {
            ::unlink(from.constData());
        } else if (errno == EPERM || errno == EOPNOTSUPP) {
            if (QFileInfo::exists(toPath))
                return false;
            rc = ::rename(from.constData(), to.constData());
        }
    }
    if (rc != 0) {
        if (errno == EEXIST)
            return false;
        throw EBackupError(QStringLiteral("Не удалось переименовать %1 в %2: %3.").arg(fromPath, toPath, SystemReason(errno)));
    }
    return true;
}

bool TDatabaseCopy::Publish(const QString &path)
{
    if (!RenameNoReplace(FTemporary, path))
        return false;
    FPublished = true;
    SyncFolderOf(path);
    return true;
}

void TDatabaseCopy::PublishOver(const QString &path)
{
    if (::rename(QFile::encodeName(FTemporary).constData(), QFile::encodeName(path).constData()) != 0)
        throw EBackupError(QStringLiteral("Не удалось переименовать %1 в %2: %3.").arg(FTemporary, path, SystemReason(errno)));
    FPublished = true;
    SyncFolderOf(path);
}

void CopyDatabaseFile(const QString &source, const QString &destination, const TCopyProgress &progress)
{
    if (QFileInfo::exists(destination))
        throw EBackupError(QStringLiteral("Файл %1 уже существует; он не перезаписывается.").arg(destination));
    TDatabaseCopy copy(source, QFileInfo(destination).absolutePath(), progress);
    if (!copy.Publish(destination))
        throw EBackupError(QStringLiteral("Файл %1 уже существует; он не перезаписывается.").arg(destination));
}

// ---- checks -----------------------------------------------------------------

TDatabaseFileState ProbeDatabaseFile(const QString &path)
{
    if (!QFileInfo::exists(path))
        return TDatabaseFileState::dsMissing;
    if (!QFileInfo(path).isFile())
        throw EBackupError(QStringLiteral("%1 не является файлом.").arg(path));
    int rc = SQLITE_OK;
    QString reason;
    if (TryOpen(path, rc, reason))
        return TDatabaseFileState::dsDatabase;
    if (rc == SQLITE_NOTADB)
        return TDatabaseFileState::dsNotADatabase;
    throw EBackupError(QStringLiteral("Файл %1 не удаётся прочитать: %2.").arg(path, reason));
}

QStringList DatabaseProblems(const QString &path, bool quick)
{
    auto db = OpenExisting(path);
    QStringList problems = IntegrityProblems(db->Handle(), quick);
    if (problems.isEmpty())
        problems << ForeignKeyProblems(db->Handle());
    return problems;
}

QStringList MissingProgramTables(const QString &path)
{
    return MissingTables(OpenExisting(path)->Handle());
}

int DatabaseSchemaVersion(sqlite3 *db)
{
    const qint64 version = ScalarInt(db, "PRAGMA user_version");
    return version == 0 ? 1 : int(version);
}

int DatabaseSchemaVersion(const QString &path)
{
    return DatabaseSchemaVersion(OpenExisting(path)->Handle());
}

void CheckRestoreCandidate(const QString &path, const QString &displayName)
{
    const QString name = displayName.isEmpty() ? path : displayName;
    const std::unique_ptr<TDb> db = OpenExisting(path, name);
    const QStringList missing = MissingTables(db->Handle());
    if (!missing.isEmpty())
        throw EBackupError(QStringLiteral("Файл %1 не является базой данных Tallyset: в нём нет таблиц %2.")
                               .arg(name, missing.join(QStringLiteral(", "))));
    const int version = DatabaseSchemaVersion(db->Handle());
    if (version > c_SchemaVersion)
        throw EBackupError(QStringLiteral("Файл %1 сделан более новой версией Tallyset (версия базы %2, "
                                          "эта программа знает версии до %3). Обновите программу.")
                               .arg(name)
                               .arg(version)
                               .arg(c_SchemaVersion));
    const QStringList problems = IntegrityProblems(db->Handle(), false);
    if (!problems.isEmpty())
        throw EBackupError(QStringLiteral("Файл %1 повреждён: %2.").arg(name, ProblemsText(problems)));
}

qint64 CountOperations(const QString &path)
{
    auto db = OpenExisting(path);
    const QStringList missing = MissingTables(db->Handle());
    if (!missing.isEmpty())
        throw EBackupError(QStringLiteral("Файл %1 не является базой данных Tallyset.").arg(path));
    return ScalarInt(db->Handle(), "SELECT (SELECT count(*) FROM Incomes) + (SELECT count(*) FROM Expenses)"
                                   " + (SELECT count(*) FROM Transfers)");
}

// ---- putting a copy in place ------------------------------------------------

void ReplaceDatabaseContents(const QString &live, const QString &source, const TCopyProgress &progress)
{
    if (!QFileInfo(live).isFile())
        throw EBackupError(QStringLiteral("Файл базы данных %1 не найден.").arg(live));
    try {
        TDb src(source, false);
        BeginSnapshot(src.Handle());
        TDb dst(live, true);
        // A database with a write-ahead log cannot change its page size.
        const qint64 srcPage = ScalarInt(src.Handle(), "PRAGMA page_size");
        if (ScalarText(dst.Handle(), "PRAGMA journal_mode") == QLatin1String("wal") &&
            ScalarInt(dst.Handle(), "PRAGMA page_size") != srcPage)
            throw EBackupError(QStringLiteral("размер страницы копии (%1) не совпадает с размером страницы базы").arg(srcPage));
        RunBackup(dst.Handle(), src.Handle(), progress);
        dst.Close();
    } catch (const EBackupCancelled &) {
        throw;
    } catch (const EBackupError &e) {
        throw EBackupError(QStringLiteral("Не удалось записать копию в базу данных %1: %2.").arg(live, e.Message()));
    }
}

int DatabasePageSize(const QString &path)
{
    return int(ScalarInt(OpenExisting(path)->Handle(), "PRAGMA page_size"));
}

void SetDatabasePageSize(const QString &path, int pageSize)
{
    TDb db(path, true);
    Exec(db.Handle(), QByteArray("PRAGMA page_size = ").append(QByteArray::number(pageSize)).constData());
    Exec(db.Handle(), "VACUUM");
    db.Close();
}

// ---- restore marks ----------------------------------------------------------

QString RestoreMark(sqlite3 *db)
{
    try {
        if (!HasTable(db, c_tbRestores))
            return QString();
        TStmt stmt(db, "SELECT ID, RestoredAt FROM Restores ORDER BY ID DESC LIMIT 1");
        return stmt.Step() ? QString::number(stmt.Int(0)) + QLatin1Char(' ') + stmt.Text(1) : QString();
    } catch (const EBackupError &e) {
        throw EDatabaseError(e.Message());
    }
}

qint64 LastRestoreID(const QString &path)
{
    auto db = OpenExisting(path);
    if (!HasTable(db->Handle(), c_tbRestores))
        return 0;
    return ScalarInt(db->Handle(), "SELECT coalesce(max(ID), 0) FROM Restores");
}

void AddRestoreMark(const QString &path, qint64 previousID, const QString &source, const QString &restoredAt)
{
    TDb db(path, true);
    sqlite3 *h = db.Handle();
    Exec(h, "BEGIN IMMEDIATE");
    try {
        Exec(h, "CREATE TABLE IF NOT EXISTS Restores (\n"
                "  ID INTEGER PRIMARY KEY,\n"
                "  RestoredAt TEXT NOT NULL,\n"
                "  Source TEXT NOT NULL\n"
                ")");
        const qint64 id = std::max(ScalarInt(h, "SELECT coalesce(max(ID), 0) FROM Restores"), previousID) + 1;
        TStmt insert(h, "INSERT INTO Restores(ID, RestoredAt, Source) VALUES(?1, ?2, ?3)");
        insert.Bind(1, id);
        insert.Bind(2, restoredAt);
        insert.Bind(3, source);
        insert.Step();
        Exec(h, "COMMIT");
    } catch (...) {
        sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    db.Close();
}

// ---- TRestoreWatch ----------------------------------------------------------

TRestoreWatch::TRestoreWatch(sqlite3 *db) : FDb(db)
{
    if (sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &FDataVersion, nullptr) != SQLITE_OK)
        throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
    FVersion = DataVersion();
    FMark = RestoreMark(db);
    FCurrent = FMark;
}

TRestoreWatch::~TRestoreWatch()
{
    sqlite3_finalize(FDataVersion);
}

qint64 TRestoreWatch::DataVersion()
{
    sqlite3_reset(FDataVersion);
    if (sqlite3_step(FDataVersion) != SQLITE_ROW) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(FDb));
        sqlite3_reset(FDataVersion);
        throw EDatabaseError(text);
    }
    const qint64 version = sqlite3_column_int64(FDataVersion, 0);
    sqlite3_reset(FDataVersion);
    return version;
}

bool TRestoreWatch::Restored()
{
    const qint64 version = DataVersion();
    if (version != FVersion) {
        FCurrent = RestoreMark(FDb);
        FVersion = version;
    }
    return FCurrent != FMark;
}

void TRestoreWatch::Accept()
{
    FVersion = DataVersion();
    FCurrent = RestoreMark(FDb);
    FMark = FCurrent;
}
