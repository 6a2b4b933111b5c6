#include "platform/Exception.h"
#include "platform/IniFile.h"

#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
class IniFileTest : public ::testing::Test
{
protected:
    QString Path(const QString &name = QStringLiteral("test.ini")) const { return FDir.filePath(name); }

    void WriteBytes(const QByteArray &data, const QString &name = QStringLiteral("test.ini")) const
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QByteArray ReadBytes(const QString &name = QStringLiteral("test.ini")) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // The error text of `write`, or "" when it raised nothing.
    template <typename F>
    static QString ErrorOf(F write)
    {
        try
        {
            write();
        }
        catch (const Exception &e)
        {
            return e.Message();
        }
        return QString();
    }

    QTemporaryDir FDir;
};

TEST_F(IniFileTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt)
{
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("main", "notes", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("main", "page_index", 7), 7);
    EXPECT_FALSE(ini.SectionExists("main"));
    EXPECT_TRUE(ini.ReadSections().isEmpty());
    EXPECT_FALSE(QFile::exists(Path()));

    ini.WriteString("main", "bdate", "01.05.2012");
    ini.WriteInteger("main", "page_index", 3);
    ini.WriteInteger("main_form", "Left", -20);
    EXPECT_EQ(ReadBytes(), "[main]\nbdate=01.05.2012\npage_index=3\n\n[main_form]\nLeft=-20\n");
    // Nothing but the file is left in the folder.
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"test.ini"});
}

TEST_F(IniFileTest, SectionsAndKeysIgnoreCase)
{
    TIniFile ini(Path());
    ini.WriteString("Main", "BDate", "a");
    ini.WriteString("MAIN", "bdate", "b");
    ini.WriteString("ГЛАВНАЯ", "Ключ", "в");
    EXPECT_EQ(ini.ReadString("main", "BDATE", ""), "b");
    EXPECT_EQ(ini.ReadString("главная", "КЛЮЧ", ""), "в");
    EXPECT_TRUE(ini.ValueExists("mAiN", "bDaTe"));
    EXPECT_FALSE(ini.ValueExists("main", "edate"));
    EXPECT_EQ(ini.ReadSections(), (QStringList{"Main", "ГЛАВНАЯ"}));
    EXPECT_EQ(ini.ReadSection("main"), QStringList{"bdate"});
}

TEST_F(IniFileTest, ValuesAreKeptWhole)
{
    TIniFile ini(Path());
    const QString longText(10000, QChar(0x0416)); // 10,000 Cyrillic letters
    const QString values[] = {"  leading and trailing  ", "a=b=c", "", "#13#10", "\"quoted\"", "; not a comment",
                              longText, "[not a section]"};
    int i = 0;
    for (const QString &value : values)
        ini.WriteString("s", QString("k%1").arg(i++), value);
    i = 0;
    for (const QString &value : values)
        EXPECT_EQ(ini.ReadString("s", QString("k%1").arg(i++), "default"), value);
    EXPECT_EQ(ini.ReadSections(), QStringList{"s"});
}

TEST_F(IniFileTest, IntegersReadAsDecimalOrHexElseDefault)
{
    WriteBytes("[s]\na=0x3\nb=abc\nc= 12 \nd=-5\ne=\nf=0x\ng=99999999999\n");
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("s", "a", -1), 3);
    EXPECT_EQ(ini.ReadInteger("s", "b", -1), -1);
    EXPECT_EQ(ini.ReadInteger("s", "c", -1), 12);
    EXPECT_EQ(ini.ReadInteger("s", "d", -1), -5);
    EXPECT_EQ(ini.ReadInteger("s", "e", -1), -1);
    EXPECT_EQ(ini.ReadInteger("s", "f", -1), -1);
    EXPECT_EQ(ini.ReadInteger("s", "g", -1), -1);
}

TEST_F(IniFileTest, WriteKeepsEverythingElseAsItWas)
{
    // Comments, a preamble, an unknown section, a line without "=", bytes that
    // are not UTF-8, blanks around "=", CR LF line ends.
    const QByteArray original = "; settings\r\n"
                                "preamble=1\r\n"
                                "[main]\r\n"
                                "  bdate = 01.05.2012\r\n"
                                "stray line\r\n"
                                "edate=31.05.2012\r\n"
                                "\r\n"
                                "[legacy]\r\n"
                                "name=\xcf\xf0\xe8\xe2\xe5\xf2\r\n"
                                "# note\r\n";
    WriteBytes(original);
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("main", "bdate", ""), " 01.05.2012");
    ini.WriteString("main", "edate", "30.06.2012");
    ini.WriteString("main", "planned", "1");
    ini.WriteString("new", "x", "y");
    EXPECT_EQ(ReadBytes(), QByteArray("; settings\r\n"
                                      "preamble=1\r\n"
                                      "[main]\r\n"
                                      "  bdate = 01.05.2012\r\n"
                                      "stray line\r\n"
                                      "edate=30.06.2012\r\n"
                                      "planned=1\r\n"
                                      "\r\n"
                                      "[legacy]\r\n"
                                      "name=\xcf\xf0\xe8\xe2\xe5\xf2\r\n"
                                      "# note\r\n"
                                      "\r\n"
                                      "[new]\r\n"
                                      "x=y\r\n"));
    // A key outside any section is no key of a section.
    EXPECT_FALSE(ini.ValueExists("", "preamble"));
    EXPECT_EQ(ini.ReadSection("main"), (QStringList{"bdate", "edate", "planned"}));
}

TEST_F(IniFileTest, Utf8WithBomAndFirstOfDuplicateSections)
{
    WriteBytes("\xEF\xBB\xBF[main]\nnotes=Привет\n[Main]\nnotes=second\nother=1\n");
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("main", "notes", ""), "Привет");
    EXPECT_EQ(ini.ReadSections(), QStringList{"main"});
    ini.WriteString("main", "notes", "Пока");
    EXPECT_EQ(ReadBytes(), QByteArray("\xEF\xBB\xBF[main]\nnotes=Пока\n[Main]\nnotes=second\nother=1\n"));
}

TEST_F(IniFileTest, WriteValuesWritesAGroupAtOnce)
{
    TIniFile ini(Path());
    ini.WriteValues("gridLib", {{"col_0", "120"}, {"col_1", "80"}});
    ini.WriteValues("gridLib", {{"col_1", "90"}, {"col_2", "10"}});
    EXPECT_EQ(ReadBytes(), "[gridLib]\ncol_0=120\ncol_1=90\ncol_2=10\n");
}

TEST_F(IniFileTest, LineBreaksAndBadNamesAreRefusedAndChangeNothing)
{
    TIniFile ini(Path());
    ini.WriteString("s", "a", "1");
    const QByteArray before = ReadBytes();
    EXPECT_THROW(ini.WriteString("s", "b", "two\nlines"), Exception);
    EXPECT_THROW(ini.WriteString("s", "b", "cr\rhere"), Exception);
    EXPECT_THROW(ini.WriteString("s", "x=y", "1"), Exception);
    EXPECT_THROW(ini.WriteString("s", "", "1"), Exception);
    EXPECT_THROW(ini.WriteString("bad]name", "k", "1"), Exception);
    EXPECT_THROW(ini.WriteString("s\n[t", "k", "1"), Exception);
    EXPECT_THROW(ini.WriteValues("s", {{"ok", "1"}, {"b", "x\ny"}}), Exception);
    EXPECT_EQ(ReadBytes(), before);
}

TEST_F(IniFileTest, FolderThatDoesNotExistRaisesUnableToWrite)
{
    const QString path = FDir.filePath("missing/test.ini");
    TIniFile ini(path);
    EXPECT_EQ(ErrorOf([&] { ini.WriteString("s", "k", "v"); }), "Unable to write to " + path);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(ini.ReadString("s", "k", "def"), "def");
}

TEST_F(IniFileTest, FullDiskLeavesTheOldFileIntact)
{
    TIniFile ini(Path());
    ini.WriteString("main", "notes", "old notes");
    ini.WriteString("main", "page_index", "2");
    const QByteArray before = ReadBytes();
    QString error;
    {
        TFileSizeLimit fullDisk(200);
        error = ErrorOf([&] {
            ini.WriteValues("main", {{"page_index", "4"}, {"notes", QString(5000, QLatin1Char('x'))}});
        });
    }
    EXPECT_EQ(error, "Unable to write to " + Path());
    EXPECT_EQ(ReadBytes(), before);
    EXPECT_EQ(ini.ReadString("main", "page_index", ""), "2");
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"test.ini"});
}

TEST_F(IniFileTest, ReadOnlyFileOrFolderRaisesAndKeepsTheFile)
{
    if (IgnoresFilePermissions())
        GTEST_SKIP() << "permission bits do not stop root";
    TIniFile ini(Path());
    ini.WriteString("s", "k", "old");
    const QByteArray before = ReadBytes();

    QFile::setPermissions(Path(), QFile::ReadOwner);
    EXPECT_EQ(ErrorOf([&] { ini.WriteString("s", "k", "new"); }), "Unable to write to " + Path());
    EXPECT_EQ(ReadBytes(), before);
    QFile::setPermissions(Path(), QFile::ReadOwner | QFile::WriteOwner);

    QFile::setPermissions(FDir.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(ErrorOf([&] { ini.WriteString("s", "k", "new"); }), "Unable to write to " + Path());
    QFile::setPermissions(FDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(ReadBytes(), before);

    QFile::setPermissions(Path(), QFile::WriteOwner); // unreadable: never replaced blindly
    EXPECT_EQ(ErrorOf([&] { ini.WriteString("s", "other", "x"); }), "Unable to write to " + Path());
    QFile::setPermissions(Path(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(ReadBytes(), before);
}
} // namespace
