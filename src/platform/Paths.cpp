#include "platform/Paths.h"

#include <QDir>

QString UserAppDataPath()
{
    QString path = qEnvironmentVariable("XDG_DATA_HOME");
    if (path.isEmpty()) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty())
            return QString();
        path = home + QStringLiteral("/.local/share");
    }
    path = QDir::fromNativeSeparators(path);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}
