#pragma once

#include "platform/Exception.h"
#include "platform/Settings.Interfaces.h"

#include <QString>
#include <memory>

class EAppSettingsException : public Exception
{
public:
    using Exception::Exception;
};

// The store on one INI file. An empty file name makes a disabled store that
// never touches the file system: saves do nothing, loads give their defaults
// and leave windows and grids unchanged. Every operation of an enabled store
// reads or rewrites the file itself; a refused write raises
// Exception("Unable to write to <file>") and leaves the file as it was.
//
// Value formats: integers in decimal (read also as "0x" hex), booleans 1/0
// (any non-zero integer reads true), date-times as DateTimeToStr under
// FormatSettings, texts with CR as "#13" and LF as "#10". A window is
// "WindowState" (0 normal, 1 minimised, 2 maximised) and, for a normal window
// only, "Left", "Top" (outer position, as move() takes it), "Width", "Height"
// (the size resize() takes, so a save and a load round-trip whether or not the
// window manager's frame is known yet). A grid is "col_" + index, its widths.
class TAppSetting : public ISettingsManager
{
public:
    explicit TAppSetting(const QString &fileName);
    static ISettingsManagerPtr Create(const QString &fileName);

    void SaveFormSetings(const QString &section, QWidget *form) override;
    void LoadFormSettings(const QString &section, QWidget *form) override;
    void SaveGridSettings(const QString &section, const IGridColumns &grid) override;
    void LoadGridSettings(const QString &section, IGridColumns &grid) override;
    void SaveDateTime(const QString &section, const QString &name, TDateTime value) override;
    TDateTime LoadDateTime(const QString &section, const QString &name, TDateTime defaultValue) override;
    void SaveBoolean(const QString &section, const QString &name, bool value) override;
    bool LoadBoolean(const QString &section, const QString &name) override;
    void SaveInteger(const QString &section, const QString &name, int value) override;
    int LoadInteger(const QString &section, const QString &name, int defaultValue) override;
    void SaveText(const QString &section, const QString &name, const QString &value) override;
    QString LoadText(const QString &section, const QString &name, const QString &defaultValue) override;

    const QString &IniFileName() const { return FIniFileName; }
    bool Enabled() const { return FEnabled; }

    // The user's application-data folder: $XDG_DATA_HOME, else $HOME/.local/share,
    // with a trailing "/"; empty when neither is set to an absolute path.
    static QString GetUserAppDataPath();

private:
    QString FIniFileName;
    bool FEnabled;
};

// The one store of the process and the application-data folder (with a trailing
// "/", or empty). Set by InitSettingsUnit, cleared by FinalizeSettingsUnit.
extern ISettingsManagerPtr AppSettings;
extern QString AppDataPath;

// Start of the program, before any window: AppDataPath := GetUserAppDataPath();
// AppSettings works on AppDataPath + "Orvanta/Tallyset/tallyset.ini" when that
// folder exists or can be created, and is disabled otherwise. Raises nothing.
void InitSettingsUnit();
// End of the program: releases AppSettings and clears AppDataPath.
void FinalizeSettingsUnit();
