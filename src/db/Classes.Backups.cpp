#include "db/Classes.Backups.h"

#include "db/Constants.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <optional>
#include <unistd.h>

namespace
{

const QString kNameFormat = QStringLiteral("'tallyset-'yyyy-MM-dd-HHmmss'.mdb'");
const QRegularExpression kNamePattern(QStringLiteral("^tallyset-\\d{4}-\\d{2}-\\d{2}-\\d{6}\\.mdb$"));
// Left by a copy that a crash or a kill interrupted (see TDatabaseCopy).
const QRegularExpression kTemporaryPattern(QStringLiteral("^\\.tallyset-copy\\.[A-Za-z0-9]{6}(-journal|-wal|-shm)?$"));
const int kMaxNameTries = 1000;

int ReadCount(const TIniFile &ini, const QString &key, int defaultValue)
{
    const int value = ini.ReadInteger(c_iniBackup, key, defaultValue);
    return value < 0 ? defaultValue : value;
}

qint64 WeekKey(const QDate &date)
{
    int year = 0;
    const int week = date.weekNumber(&year);
    return qint64(year) * 100 + week;
}

qint64 MonthKey(const QDate &date)
{
    return qint64(date.year()) * 12 + date.month();
}

void RemoveStaleTemporaries(const QString &folder)
{
    const QDateTime before = QDateTime::currentDateTime().addDays(-1);
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &file : files)
        if (kTemporaryPattern.match(file.fileName()).hasMatch() && file.lastModified() < before)
            QFile::remove(file.absoluteFilePath());
}

// Scales one stage's progress into its share of a restore's per mille.
TCopyProgress Stage(const TCopyProgress &progress, int index, int count)
{
    if (!progress)
        return {};
    return [progress, index, count](qint64 done, qint64 total) {
        const qint64 part = total > 0 ? done * 1000 / total : 1000;
        return progress(qint64(index) * 1000 + part, qint64(count) * 1000);
    };
}

// Keeps a file that is no database, with the side files of its engine, in
// the backups folder as "damaged-tallyset-…mdb" and returns that path. The
// file itself stays in place (a hard link, or a copy), so its place is never
// empty; the side files are moved, so none is left for the file that replaces it.
QString KeepAside(const QString &databasePath, const QString &folder, const QDateTime &now)
{
    if (!QDir().mkpath(folder))
        throw EBackupError(QStringLiteral("Не удаётся создать папку %1.").arg(folder));
    for (int k = 0; k < kMaxNameTries; ++k) {
        const QString aside = QDir(folder).filePath(QStringLiteral("damaged-") + BackupFileName(now.addSecs(k)));
        if (::link(QFile::encodeName(databasePath).constData(), QFile::encodeName(aside).constData()) != 0) {
            if (errno == EEXIST)
                continue;
            if (!QFile::copy(databasePath, aside))
                throw EBackupError(QStringLiteral("Не удалось сохранить файл %1 в папке %2.").arg(databasePath, folder));
        }
        for (const char *suffix : {"-wal", "-shm", "-journal"})
            if (QFileInfo::exists(databasePath + QLatin1String(suffix)))
                RenameNoReplace(databasePath + QLatin1String(suffix), aside + QLatin1String(suffix));
        return aside;
    }
    throw EBackupError(QStringLiteral("В папке %1 нет свободного имени для файла.").arg(folder));
}

} // namespace

TBackupCounts ReadBackupCounts(const QString &iniFileName)
{
    TBackupCounts counts;
    if (iniFileName.isEmpty())
        return counts;
    const TIniFile ini(iniFileName);
    counts.Days = ReadCount(ini, c_iniKeyBackupDays, counts.Days);
    counts.Weeks = ReadCount(ini, c_iniKeyBackupWeeks, counts.Weeks);
    counts.Months = ReadCount(ini, c_iniKeyBackupMonths, counts.Months);
    return counts;
}

QString BackupsFolder(const QString &databasePath)
{
    return QFileInfo(databasePath).absoluteDir().filePath(c_dirBackups);
}

QString BackupFileName(const QDateTime &time)
{
    return time.toString(kNameFormat);
}

QDateTime BackupFileTime(const QString &fileName)
{
    if (!kNamePattern.match(fileName).hasMatch())
        return QDateTime();
    return QDateTime::fromString(fileName, kNameFormat);
}

QVector<TBackupInfo> ListBackups(const QString &folder, bool countOperations)
{
    QVector<TBackupInfo> list;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files);
    for (const QFileInfo &file : files) {
        const QDateTime time = BackupFileTime(file.fileName());
        if (!time.isValid())
            continue;
        TBackupInfo info;
        info.Path = file.absoluteFilePath();
        info.Time = time;
        info.Size = file.size();
        if (countOperations) {
            try {
                info.Operations = CountOperations(info.Path);
            } catch (const EBackupError &) {
                info.Operations = -1;
            }
        }
        list.append(info);
    }
    std::sort(list.begin(), list.end(), [](const TBackupInfo &a, const TBackupInfo &b) {
        return a.Time != b.Time ? a.Time > b.Time : a.Path > b.Path;
    });
    return list;
}

bool BackupDue(const QVector<QDateTime> &times, const QDate &today)
{
    return std::none_of(times.begin(), times.end(), [&](const QDateTime &t) { return t.date() == today; });
}

bool BackupDue(const QString &databasePath, const QDateTime &now)
{
    QVector<QDateTime> times;
    for (const TBackupInfo &info : ListBackups(BackupsFolder(databasePath), false))
        times.append(info.Time);
    return BackupDue(times, now.date());
}

QVector<int> BackupsToRemove(const QVector<QDateTime> &times, const QDateTime &now, const TBackupCounts &counts)
{
    QVector<int> order(times.size());
    for (int i = 0; i < times.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return times[a] > times[b]; });

    const QDate today = now.date();
    QSet<int> kept;
    for (int i : order)
        if (times[i].date().daysTo(today) < counts.Days)
            kept.insert(i);

    // The newest copy of each period, for the `count` most recent periods
    // whose newest copy is not kept already.
    const auto keepNewestPer = [&](qint64 (*key)(const QDate &), int count) {
        int taken = 0;
        std::optional<qint64> last;
        for (int i : order) {
            if (taken >= count)
                break;
            const qint64 k = key(times[i].date());
            if (last && *last == k)
                continue;
            last = k;
            if (!kept.contains(i)) {
                kept.insert(i);
                ++taken;
            }
        }
    };
    keepNewestPer(WeekKey, counts.Weeks);
    keepNewestPer(MonthKey, counts.Months);
    if (!order.isEmpty())
        kept.insert(order.first());

    QVector<int> removed;
    for (int i : order)
        if (!kept.contains(i))
            removed.append(i);
    return removed;
}

QStringList RotateBackups(const QString &folder, const QDateTime &now, const TBackupCounts &counts)
{
    RemoveStaleTemporaries(folder);
    const QVector<TBackupInfo> list = ListBackups(folder, false);
    QVector<QDateTime> times;
    for (const TBackupInfo &info : list)
        times.append(info.Time);
    QStringList removed;
    for (int i : BackupsToRemove(times, now, counts))
        if (QFile::remove(list[i].Path))
            removed.append(list[i].Path);
    return removed;
}

QString MakeBackup(const QString &databasePath, const QDateTime &now, const TCopyProgress &progress)
{
    const QString folder = BackupsFolder(databasePath);
    TDatabaseCopy copy(databasePath, folder, progress);
    for (int k = 0; k < kMaxNameTries; ++k) {
        const QString path = QDir(folder).filePath(BackupFileName(now.addSecs(k)));
        if (copy.Publish(path))
            return path;
    }
    throw EBackupError(QStringLiteral("В папке %1 нет свободного имени для копии.").arg(folder));
}

QString RestoreDatabase(const QString &backupPath, const QString &databasePath, const QDateTime &now,
                        const TCopyProgress &progress)
{
    const QString untouched = QStringLiteral(" Текущая база данных не изменена.");
    const QFileInfo backupInfo(backupPath);
    if (!backupInfo.isFile())
        throw EBackupError(QStringLiteral("Файл %1 не найден.").arg(backupPath) + untouched);
    const QFileInfo liveInfo(databasePath);
    if (liveInfo.exists() && backupInfo.canonicalFilePath() == liveInfo.canonicalFilePath())
        throw EBackupError(QStringLiteral("Файл %1 и есть текущая база данных.").arg(backupPath) + untouched);

    const QString databaseFolder = liveInfo.absolutePath();
    const QString folder = BackupsFolder(databasePath);
    RemoveStaleTemporaries(databaseFolder);
    TDatabaseFileState state;
    try {
        state = ProbeDatabaseFile(databasePath);
    } catch (const EBackupError &e) {
        throw EBackupError(e.Message() + untouched);
    }

    // The copy is checked and marked in a private snapshot, so what goes in is what was checked.
    std::optional<TDatabaseCopy> staged;
    try {
        staged.emplace(backupPath, databaseFolder, Stage(progress, 0, 3));
    } catch (const EBackupCancelled &) {
        throw;
    } catch (const EBackupError &e) {
        // A file that cannot be copied is mostly one that is no database: say which.
        try {
            CheckRestoreCandidate(backupPath);
        } catch (const EBackupError &refusal) {
            throw EBackupError(refusal.Message() + untouched);
        }
        throw EBackupError(e.Message() + untouched);
    }
    const QString stagedPath = staged->TemporaryPath();
    try {
        CheckRestoreCandidate(stagedPath, backupPath);
        if (state == TDatabaseFileState::dsDatabase) {
            const int pageSize = DatabasePageSize(databasePath);
            if (DatabasePageSize(stagedPath) != pageSize)
                SetDatabasePageSize(stagedPath, pageSize);
        }
        AddRestoreMark(stagedPath, state == TDatabaseFileState::dsDatabase ? LastRestoreID(databasePath) : 0,
                       backupInfo.fileName(), now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
    } catch (const EBackupError &e) {
        throw EBackupError(e.Message() + untouched);
    }

    QString safety;
    switch (state) {
    case TDatabaseFileState::dsDatabase:
        try {
            safety = MakeBackup(databasePath, now, Stage(progress, 1, 3));
        } catch (const EBackupCancelled &) {
            throw;
        } catch (const EBackupError &e) {
            throw EBackupError(QStringLiteral("Копия текущей базы данных не сделана, поэтому восстановление отменено. ") +
                               e.Message() + untouched);
        }
        try {
            ReplaceDatabaseContents(databasePath, stagedPath, Stage(progress, 2, 3));
        } catch (const EBackupCancelled &) {
            throw;
        } catch (const EBackupError &e) {
            throw EBackupError(e.Message() + untouched);
        }
        break;
    case TDatabaseFileState::dsNotADatabase:
        safety = KeepAside(databasePath, folder, now);
        staged->PublishOver(databasePath);
        break;
    case TDatabaseFileState::dsMissing:
        if (!staged->Publish(databasePath))
            throw EBackupError(QStringLiteral("На месте базы данных %1 появился другой файл.").arg(databasePath) +
                               untouched);
        break;
    }
    return safety;
}
