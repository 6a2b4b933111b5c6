#include "app/Settings.h"
#include "platform/Paths.h"

#include "db/Constants.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QWidget>

ISettingsManagerPtr AppSettings;
QString AppDataPath;

namespace
{
const QString c_gridColumnKey = QStringLiteral("col_");

QString EncodeText(QString text)
{
    text.replace(QLatin1Char('\r'), QStringLiteral("#13"));
    text.replace(QLatin1Char('\n'), QStringLiteral("#10"));
    return text;
}

QString DecodeText(QString text)
{
    text.replace(QStringLiteral("#13"), QStringLiteral("\r"));
    text.replace(QStringLiteral("#10"), QStringLiteral("\n"));
    return text;
}

int WindowStateOrdinal(const QWidget *form)
{
    Qt::WindowStates state = form->windowState();
    if (state & Qt::WindowMinimized)
        return 1;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 0;
}

void SetWindowStateOrdinal(QWidget *form, int ordinal)
{
    Qt::WindowStates state = form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    switch (ordinal)
    {
    case 0:
        break;
    case 1:
        state |= Qt::WindowMinimized;
        break;
    case 2:
        state |= Qt::WindowMaximized;
        break;
    default:
        return; // no such state: the window keeps its own
    }
    if (state != form->windowState())
        form->setWindowState(state);
}
} // namespace

TAppSetting::TAppSetting(const QString &fileName) : FIniFileName(fileName), FEnabled(!fileName.isEmpty()) {}

ISettingsManagerPtr TAppSetting::Create(const QString &fileName) { return std::make_shared<TAppSetting>(fileName); }

void TAppSetting::SaveFormSetings(const QString &section, QWidget *form)
{
    if (!FEnabled || !form)
        return;
    int state = WindowStateOrdinal(form);
    TIniFile::TKeyValues values{{c_iniKeyWindowState, QString::number(state)}};
    if (state == 0)
    {
        QPoint position = form->frameGeometry().topLeft();
        values.append({c_iniKeyLeft, QString::number(position.x())});
        values.append({c_iniKeyTop, QString::number(position.y())});
        values.append({c_iniKeyWidth, QString::number(form->width())});
        values.append({c_iniKeyHeight, QString::number(form->height())});
    }
    TIniFile(FIniFileName).WriteValues(section, values);
}

void TAppSetting::LoadFormSettings(const QString &section, QWidget *form)
{
    if (!FEnabled || !form)
        return;
    TIniFile ini(FIniFileName);
    SetWindowStateOrdinal(form, ini.ReadInteger(section, c_iniKeyWindowState, WindowStateOrdinal(form)));
    if (WindowStateOrdinal(form) != 0)
        return;
    QPoint position = form->frameGeometry().topLeft();
    int left = ini.ReadInteger(section, c_iniKeyLeft, position.x());
    int top = ini.ReadInteger(section, c_iniKeyTop, position.y());
    form->move(left, top);
    int width = ini.ReadInteger(section, c_iniKeyWidth, form->width());
    int height = ini.ReadInteger(section, c_iniKeyHeight, form->height());
    // A size that no window can have is ignored.
    form->resize(width > 0 ? width : form->width(), height > 0 ? height : form->height());
}

void TAppSetting::SaveGridSettings(const QString &section, const IGridColumns &grid)
{
    if (!FEnabled || grid.ColumnCount() <= 0)
        return;
    TIniFile::TKeyValues values;
    for (int i = 0; i < grid.ColumnCount(); ++i)
        values.append({c_gridColumnKey + QString::number(i), QString::number(grid.ColumnWidth(i))});
    TIniFile(FIniFileName).WriteValues(section, values);
}

void TAppSetting::LoadGridSettings(const QString &section, IGridColumns &grid)
{
    if (!FEnabled)
        return;
    TIniFile ini(FIniFileName);
    for (int i = 0; i < grid.ColumnCount(); ++i)
        grid.SetColumnWidth(i, ini.ReadInteger(section, c_gridColumnKey + QString::number(i), grid.ColumnWidth(i)));
}

void TAppSetting::SaveDateTime(const QString &section, const QString &name, TDateTime value)
{
    if (FEnabled)
        TIniFile(FIniFileName).WriteString(section, name, DateTimeToStr(value));
}

TDateTime TAppSetting::LoadDateTime(const QString &section, const QString &name, TDateTime defaultValue)
{
    if (!FEnabled)
        return defaultValue;
    TDateTime value = 0;
    return TryStrToDateTime(TIniFile(FIniFileName).ReadString(section, name, QString()), value) ? value
                                                                                                 : defaultValue;
}

void TAppSetting::SaveBoolean(const QString &section, const QString &name, bool value)
{
    if (FEnabled)
        TIniFile(FIniFileName).WriteInteger(section, name, value ? 1 : 0);
}

bool TAppSetting::LoadBoolean(const QString &section, const QString &name)
{
    return FEnabled && TIniFile(FIniFileName).ReadInteger(section, name, 0) != 0;
}

void TAppSetting::SaveInteger(const QString &section, const QString &name, int value)
{
    if (FEnabled)
        TIniFile(FIniFileName).WriteInteger(section, name, value);
}

int TAppSetting::LoadInteger(const QString &section, const QString &name, int defaultValue)
{
    return FEnabled ? TIniFile(FIniFileName).ReadInteger(section, name, defaultValue) : defaultValue;
}

void TAppSetting::SaveText(const QString &section, const QString &name, const QString &value)
{
    if (FEnabled)
        TIniFile(FIniFileName).WriteString(section, name, EncodeText(value));
}

QString TAppSetting::LoadText(const QString &section, const QString &name, const QString &defaultValue)
{
    if (!FEnabled)
        return defaultValue;
    return DecodeText(TIniFile(FIniFileName).ReadString(section, name, defaultValue));
}

QString TAppSetting::GetUserAppDataPath()
{
    return UserAppDataPath();
}

void InitSettingsUnit()
{
    AppDataPath = TAppSetting::GetUserAppDataPath();
    QString folder = AppDataPath + c_pathIniFile;
    if (!AppDataPath.isEmpty() && QDir().mkpath(folder))
        AppSettings = TAppSetting::Create(folder + c_fileIniFile);
    else
        AppSettings = TAppSetting::Create(QString());
}

void FinalizeSettingsUnit()
{
    AppSettings.reset();
    AppDataPath.clear();
}
