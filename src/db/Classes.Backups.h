#pragma once

#include "db/DBEngine.Backup.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// How many copies rotation keeps: every copy of the last `Days` calendar days
// (today included); of the older ones the newest of each calendar week for the
// `Weeks` most recent weeks not covered yet, then the newest of each calendar
// month for the `Months` most recent months not covered yet.
struct TBackupCounts
{
    int Days = 7;
    int Weeks = 8;
    int Months = 12;
};

// The counts in the INI section "Backup" of `iniFileName`; a missing,
// unreadable or negative value gives its default. An empty name gives the defaults.
TBackupCounts ReadBackupCounts(const QString &iniFileName);

// One copy in a backups folder.
struct TBackupInfo
{
    QString Path;
    QDateTime Time;        // from the file name, local time
    qint64 Size = 0;       // bytes
    qint64 Operations = -1; // rows of the three journals; -1 when not counted or unreadable
};

// The folder "backups" beside the database file.
QString BackupsFolder(const QString &databasePath);
// "tallyset-YYYY-MM-DD-HHMMSS.mdb" for `time`.
QString BackupFileName(const QDateTime &time);
// The time a backup's file name gives; invalid for any other name.
QDateTime BackupFileTime(const QString &fileName);

// The copies in `folder`, newest first; files of other names (temporary ones
// among them) are not copies. With `countOperations` each copy is opened
// read-only to count its operations. A missing folder has no copies.
QVector<TBackupInfo> ListBackups(const QString &folder, bool countOperations = true);

// Whether no copy in `times` was made on `today`.
bool BackupDue(const QVector<QDateTime> &times, const QDate &today);
// Whether the backups folder of `databasePath` holds no copy of `now`'s day.
bool BackupDue(const QString &databasePath, const QDateTime &now);

// Indexes into `times` of the copies rotation removes at `now` (see
// TBackupCounts), newest first. The newest copy is always kept.
QVector<int> BackupsToRemove(const QVector<QDateTime> &times, const QDateTime &now, const TBackupCounts &counts);

// Removes the copies in `folder` that rotation does not keep, and temporary
// files that a crash left behind more than a day ago; returns the removed paths.
QStringList RotateBackups(const QString &folder, const QDateTime &now, const TBackupCounts &counts);

// Makes a consistent copy of the database in its backups folder (created when
// missing) named after `now`, a second later for each name already taken, and
// returns its path. Rotation is not applied. Never writes to the database;
// raises EBackupError with the reason when the copy fails, leaving no copy.
QString MakeBackup(const QString &databasePath, const QDateTime &now, const TCopyProgress &progress = {});

// Puts the copy `backupPath` in the place of the database `databasePath`:
// checks the copy (CheckRestoreCandidate) and refuses one that is not the
// program's database, is damaged or of a newer schema; backs up the current
// file into its backups folder (or, when it is no database at all, moves it
// there as "damaged-tallyset-…mdb"); then writes the copy into the database
// through ReplaceDatabaseContents, so a kill at any moment leaves the file
// whole, and a running program on it sees a new restore mark (TRestoreWatch).
// Returns the path of the copy of the current file (empty when there was no
// file). Raises EBackupError with a message for the user, the database
// untouched; EBackupCancelled on cancel. Rotation is not applied.
QString RestoreDatabase(const QString &backupPath, const QString &databasePath, const QDateTime &now,
                        const TCopyProgress &progress = {});
