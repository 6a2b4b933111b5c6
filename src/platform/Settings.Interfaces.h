#pragma once

#include "platform/DateTime.h"

#include <QString>
#include <memory>

class QWidget;

// What the store needs of a grid: its columns' widths by position.
class IGridColumns
{
public:
    virtual ~IGridColumns() = default;
    virtual int ColumnCount() const = 0;
    virtual int ColumnWidth(int index) const = 0;
    virtual void SetColumnWidth(int index, int width) = 0;
};

// The settings store: one INI file, opened and closed by every operation.
class ISettingsManager
{
public:
    virtual ~ISettingsManager() = default;
    virtual void SaveFormSetings(const QString &section, QWidget *form) = 0;
    virtual void LoadFormSettings(const QString &section, QWidget *form) = 0;
    virtual void SaveGridSettings(const QString &section, const IGridColumns &grid) = 0;
    virtual void LoadGridSettings(const QString &section, IGridColumns &grid) = 0;
    virtual void SaveDateTime(const QString &section, const QString &name, TDateTime value) = 0;
    virtual TDateTime LoadDateTime(const QString &section, const QString &name, TDateTime defaultValue) = 0;
    virtual void SaveBoolean(const QString &section, const QString &name, bool value) = 0;
    virtual bool LoadBoolean(const QString &section, const QString &name) = 0;
    virtual void SaveInteger(const QString &section, const QString &name, int value) = 0;
    virtual int LoadInteger(const QString &section, const QString &name, int defaultValue) = 0;
    virtual void SaveText(const QString &section, const QString &name, const QString &value) = 0;
    virtual QString LoadText(const QString &section, const QString &name, const QString &defaultValue) = 0;
};
using ISettingsManagerPtr = std::shared_ptr<ISettingsManager>;

// An object that keeps its own state in a section of its choosing.
class ISettingsStoreable
{
public:
    virtual ~ISettingsStoreable() = default;
    virtual void LoadSettings(ISettingsManager &settingsManager, const QString &section) = 0;
    virtual void SaveSettings(ISettingsManager &settingsManager, const QString &section) = 0;
};
