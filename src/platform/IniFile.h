#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// INI file with case-insensitive sections and keys. Every call reads the file
// (UTF-8); every write rewrites the whole file into a temporary file beside it
// and renames it over the old one, so a crash never leaves half a file.
// A failed write raises Exception("Unable to write to <file>") and leaves the
// old file as it was.
class TIniFile
{
public:
    using TKeyValues = QVector<QPair<QString, QString>>;

    explicit TIniFile(QString fileName) : FFileName(std::move(fileName)) {}
    const QString &FileName() const { return FFileName; }

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    bool ValueExists(const QString &section, const QString &key) const;
    bool SectionExists(const QString &section) const;
    QStringList ReadSections() const;
    QStringList ReadSection(const QString &section) const; // keys in file order

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    // Several keys of one section in one atomic rewrite.
    void WriteValues(const QString &section, const TKeyValues &values);

private:
    QString FFileName;
};
