#pragma once

#include "platform/Exception.h"

#include <QString>
#include <QStringList>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;

// A copy, check or restore that was refused or failed; the message names the
// file and the reason in words for the user.
class EBackupError : public Exception
{
public:
    using Exception::Exception;
};

// The progress callback asked to stop; everything begun was undone.
class EBackupCancelled : public EBackupError
{
public:
    using EBackupError::EBackupError;
};

// Called between the steps of a long copy with the work done and the work in
// all (pages, or per mille of a restore); returning false cancels the copy.
using TCopyProgress = std::function<bool(qint64 done, qint64 total)>;

// The tables every database of the program holds.
extern const QStringList c_dbProgramTables;
// The table of restores written into a file each time a copy is put in its
// place (ID, RestoredAt, Source); its last row is the file's restore mark.
extern const QString c_tbRestores;

// A consistent copy of a database file, made with SQLite's online backup API
// and kept under a hidden temporary name in the destination folder until
// Publish gives it its name. The object removes an unpublished copy.
class TDatabaseCopy
{
public:
    // Copies `source` into a new temporary file in `folder` (created when
    // missing). The source is opened read-only and read as one snapshot, so
    // other programs may go on writing to it meanwhile; it is never written.
    // The copy is a self-contained database with a rollback journal, synced to
    // disk. Raises EBackupError with the reason (source missing or not a
    // database, a write refused: full disk, read-only folder) and
    // EBackupCancelled when `progress` says stop; nothing is left behind then.
    TDatabaseCopy(const QString &source, const QString &folder, const TCopyProgress &progress = {});
    ~TDatabaseCopy();
    TDatabaseCopy(const TDatabaseCopy &) = delete;
    TDatabaseCopy &operator=(const TDatabaseCopy &) = delete;

    // Where the copy is while it is not published.
    QString TemporaryPath() const { return FTemporary; }
    // Renames the copy to `path`, a name in the same folder, unless a file of
    // that name exists: false then, and the copy stays temporary. The folder
    // entry is synced, so the name survives a crash. Raises EBackupError when
    // the rename fails otherwise.
    bool Publish(const QString &path);
    // Renames the copy to `path` in one step, replacing a file of that name.
    void PublishOver(const QString &path);

private:
    QString FTemporary;
    bool FPublished = false;
};

// Renames `from` to `to` unless a file named `to` exists (false then). Raises
// EBackupError when the rename fails otherwise.
bool RenameNoReplace(const QString &from, const QString &to);

// Makes the copy of `source` under the new name `destination`; raises
// EBackupError when `destination` exists (it is never overwritten) or the copy
// fails, and leaves nothing under that name then.
void CopyDatabaseFile(const QString &source, const QString &destination, const TCopyProgress &progress = {});

// What is found at a database's place.
enum class TDatabaseFileState { dsMissing, dsNotADatabase, dsDatabase };
TDatabaseFileState ProbeDatabaseFile(const QString &path);

// The problems `pragma integrity_check` (`quick_check` when `quick`) and
// `pragma foreign_key_check` report on the file, opened read-only; empty when
// the file is whole. Raises EBackupError when it is not a database.
QStringList DatabaseProblems(const QString &path, bool quick = false);

// The program's tables that the file lacks (read-only). Raises EBackupError
// when it is not a database.
QStringList MissingProgramTables(const QString &path);

// The schema version the file names in `PRAGMA user_version`; a file made
// before versions were written (0) is version 1.
int DatabaseSchemaVersion(sqlite3 *db);
int DatabaseSchemaVersion(const QString &path);

// Raises EBackupError unless the file can be put in the program's database
// place: an SQLite database that passes integrity_check, holds the program's
// tables and names a schema version not newer than c_SchemaVersion. The
// message names the file as `displayName` (the path when empty).
void CheckRestoreCandidate(const QString &path, const QString &displayName = QString());

// Rows of the three journals in the file, opened read-only. Raises
// EBackupError when the file cannot be read as the program's database.
qint64 CountOperations(const QString &path);

// Writes the contents of the database `source` into the existing database
// `live` through the online backup API. That is one write transaction on
// `live`: a crash or a kill at any moment leaves it either as it was or
// wholly replaced, never half, and connections other programs hold on it stay
// valid and read the new contents at their next statement (a write-ahead log
// stays one). Waits up to ten seconds for a write another program has begun.
// Raises EBackupError on failure and EBackupCancelled on cancel; `live` is
// unchanged then.
void ReplaceDatabaseContents(const QString &live, const QString &source, const TCopyProgress &progress = {});

// Gives the database `path` the page size `pageSize` (a rewrite of the file;
// for a private copy only).
void SetDatabasePageSize(const QString &path, int pageSize);
int DatabasePageSize(const QString &path);

// The file's restore mark: the ID and time of its last restore, empty when the
// file was never restored into. A mark differs from every earlier one.
QString RestoreMark(sqlite3 *db);
// ID of the file's last restore, 0 when none.
qint64 LastRestoreID(const QString &path);
// Adds a restore row to the database `path` (a copy about to be put in place)
// with an ID above both its own and `previousID`, the live file's last one.
void AddRestoreMark(const QString &path, qint64 previousID, const QString &source, const QString &restoredAt);

// Notices that the file under a connection was restored by another connection
// (another running program, or a restore this program made with its own
// connections). Made on an open connection, it takes the file's restore mark
// as seen. Restored() costs one `PRAGMA data_version` while no other connection
// has committed, and reads the mark only after one did. For a check no restore
// can slip past, call it inside the write transaction, after it has begun.
// The watch must be destroyed before its connection is closed.
class TRestoreWatch
{
public:
    explicit TRestoreWatch(sqlite3 *db);
    ~TRestoreWatch();
    TRestoreWatch(const TRestoreWatch &) = delete;
    TRestoreWatch &operator=(const TRestoreWatch &) = delete;

    // Whether the mark differs from the one seen. Raises EDatabaseError when
    // the connection fails.
    bool Restored();
    // The file's current mark becomes the one seen.
    void Accept();

private:
    qint64 DataVersion();

    sqlite3 *FDb;
    sqlite3_stmt *FDataVersion = nullptr;
    qint64 FVersion = 0;
    QString FMark;    // the mark seen
    QString FCurrent; // the mark read at the last change of the data version
};
