#include "platform/IniFile.h"

#include "platform/Exception.h"
#include "platform/Format.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace
{
// One line of the file. Lines the store does not rewrite keep their bytes, so
// comments, unknown sections and text in other encodings survive a write.
struct TIniLine
{
    enum class TKind { Other, Section, Key };
    TKind Kind = TKind::Other;
    QByteArray Raw;
    QString Name;  // section name or key
    QString Value; // key lines only
};

TIniLine ParseLine(const QByteArray &raw)
{
    TIniLine line;
    line.Raw = raw;
    QString text = QString::fromUtf8(raw);
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return line;
    if (trimmed.startsWith(QLatin1Char('[')))
    {
        int close = trimmed.indexOf(QLatin1Char(']'));
        if (close > 0)
        {
            line.Kind = TIniLine::TKind::Section;
            line.Name = trimmed.mid(1, close - 1).trimmed();
        }
        return line;
    }
    int eq = text.indexOf(QLatin1Char('='));
    if (eq < 0)
        return line;
    line.Kind = TIniLine::TKind::Key;
    line.Name = text.left(eq).trimmed();
    line.Value = text.mid(eq + 1); // kept whole: leading and trailing blanks belong to the value
    return line;
}

bool SameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

class TIniDocument
{
public:
    // Reads `fileName`; a missing file is an empty document. False when the file
    // exists but cannot be read.
    bool Load(const QString &fileName)
    {
        FLines.clear();
        QFile file(fileName);
        if (!file.exists())
            return true;
        if (!file.open(QIODevice::ReadOnly))
            return false;
        QByteArray data = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return false;
        if (data.startsWith("\xEF\xBB\xBF"))
        {
            FBom = true;
            data.remove(0, 3);
        }
        int firstLf = data.indexOf('\n');
        if (firstLf > 0 && data.at(firstLf - 1) == '\r')
            FEol = "\r\n";
        QList<QByteArray> lines = data.split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast(); // the final line break
        for (QByteArray &raw : lines)
        {
            if (raw.endsWith('\r'))
                raw.chop(1);
            FLines.append(ParseLine(raw));
        }
        return true;
    }

    QByteArray Serialize() const
    {
        QByteArray data;
        if (FBom)
            data += "\xEF\xBB\xBF";
        for (const TIniLine &line : FLines)
            data += line.Raw + FEol;
        return data;
    }

    // Index of the first line "[section]", or -1.
    int FindSection(const QString &section) const
    {
        for (int i = 0; i < FLines.size(); ++i)
            if (FLines.at(i).Kind == TIniLine::TKind::Section && SameName(FLines.at(i).Name, section))
                return i;
        return -1;
    }

    // One past the last line of the section that starts at `sectionLine`.
    int SectionEnd(int sectionLine) const
    {
        int i = sectionLine + 1;
        while (i < FLines.size() && FLines.at(i).Kind != TIniLine::TKind::Section)
            ++i;
        return i;
    }

    const TIniLine *FindKey(const QString &section, const QString &key) const
    {
        int start = FindSection(section);
        if (start < 0)
            return nullptr;
        for (int i = start + 1, end = SectionEnd(start); i < end; ++i)
            if (FLines.at(i).Kind == TIniLine::TKind::Key && SameName(FLines.at(i).Name, key))
                return &FLines.at(i);
        return nullptr;
    }

    QStringList Sections() const
    {
        QStringList names;
        for (const TIniLine &line : FLines)
            if (line.Kind == TIniLine::TKind::Section && FindName(names, line.Name) < 0)
                names.append(line.Name);
        return names;
    }

    QStringList Keys(const QString &section) const
    {
        QStringList keys;
        int start = FindSection(section);
        if (start < 0)
            return keys;
        for (int i = start + 1, end = SectionEnd(start); i < end; ++i)
            if (FLines.at(i).Kind == TIniLine::TKind::Key && FindName(keys, FLines.at(i).Name) < 0)
                keys.append(FLines.at(i).Name);
        return keys;
    }

    void Set(const QString &section, const QString &key, const QString &value)
    {
        TIniLine line;
        line.Kind = TIniLine::TKind::Key;
        line.Name = key;
        line.Value = value;
        line.Raw = (key + QLatin1Char('=') + value).toUtf8();

        int start = FindSection(section);
        if (start < 0)
        {
            if (!FLines.isEmpty() && !FLines.last().Raw.trimmed().isEmpty())
                FLines.append(ParseLine(QByteArray()));
            TIniLine header;
            header.Kind = TIniLine::TKind::Section;
            header.Name = section;
            header.Raw = (QLatin1Char('[') + section + QLatin1Char(']')).toUtf8();
            FLines.append(header);
            FLines.append(line);
            return;
        }
        int end = SectionEnd(start);
        for (int i = start + 1; i < end; ++i)
            if (FLines.at(i).Kind == TIniLine::TKind::Key && SameName(FLines.at(i).Name, key))
            {
                FLines[i] = line;
                return;
            }
        // After the section's last non-blank line, before the blank lines that part it from the next.
        int insertAt = end;
        while (insertAt > start + 1 && FLines.at(insertAt - 1).Raw.trimmed().isEmpty())
            --insertAt;
        FLines.insert(insertAt, line);
    }

private:
    static int FindName(const QStringList &names, const QString &name)
    {
        for (int i = 0; i < names.size(); ++i)
            if (SameName(names.at(i), name))
                return i;
        return -1;
    }

    QVector<TIniLine> FLines;
    QByteArray FEol = "\n";
    bool FBom = false;
};

TIniDocument LoadForReading(const QString &fileName)
{
    TIniDocument document;
    if (!document.Load(fileName))
        document = TIniDocument(); // an unreadable file reads as an empty one
    return document;
}

bool HasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

void CheckWritable(const QString &section, const QString &key, const QString &value)
{
    if (HasLineBreak(section) || section.contains(QLatin1Char(']')))
        throw Exception(QStringLiteral("Invalid INI section name \"%1\"").arg(section));
    if (HasLineBreak(key) || key.contains(QLatin1Char('=')) || key.trimmed() != key || key.isEmpty() ||
        key.startsWith(QLatin1Char(';')) || key.startsWith(QLatin1Char('#')) || key.startsWith(QLatin1Char('[')))
        throw Exception(QStringLiteral("Invalid INI key \"%1\"").arg(key));
    if (HasLineBreak(value))
        throw Exception(QStringLiteral("INI value of \"%1\" holds a line break").arg(key));
}
} // namespace

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    TIniDocument document = LoadForReading(FFileName);
    const TIniLine *line = document.FindKey(section, key);
    return line ? line->Value : defaultValue;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    int value = 0;
    return TryStrToInt(ReadString(section, key, QString()), value) ? value : defaultValue;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return LoadForReading(FFileName).FindKey(section, key) != nullptr;
}

bool TIniFile::SectionExists(const QString &section) const
{
    return LoadForReading(FFileName).FindSection(section) >= 0;
}

QStringList TIniFile::ReadSections() const { return LoadForReading(FFileName).Sections(); }

QStringList TIniFile::ReadSection(const QString &section) const
{
    return LoadForReading(FFileName).Keys(section);
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    WriteValues(section, {{key, value}});
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteValues(const QString &section, const TKeyValues &values)
{
    for (const auto &pair : values)
        CheckWritable(section, pair.first, pair.second);
    const Exception failure(QStringLiteral("Unable to write to %1").arg(FFileName));
    if (FFileName.isEmpty())
        throw failure;
    // A file that exists but cannot be read or is write-protected is never replaced.
    QFileInfo info(FFileName);
    if (info.exists() && !info.isWritable())
        throw failure;
    TIniDocument document;
    if (!document.Load(FFileName))
        throw failure;
    for (const auto &pair : values)
        document.Set(section, pair.first, pair.second);

    QSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly))
        throw failure;
    QByteArray data = document.Serialize();
    // A short write (full disk, file size limit) can pass write() and commit()
    // unreported, so the size on disk is checked before the rename.
    if (file.write(data) != data.size() || !file.flush() || file.size() != data.size())
    {
        file.cancelWriting();
        throw failure;
    }
    if (!file.commit())
        throw failure;
}
