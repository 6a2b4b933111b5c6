#include "platform/Paths.h"

#include <QDir>

QString UserAppDataPath()
{
    // Relative values are ignored, as the XDG base directory rules ask.
    QString path = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(path)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home))
            return QString();
        path = home + QStringLiteral("/.local/share");
    }
    path = QDir::fromNativeSeparators(path);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}
