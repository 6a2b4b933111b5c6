#include "app/Settings.h"

#include "platform/DateTime.h"
#include "platform/IniFile.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <vector>

namespace
{
// Columns of a grid as a list of widths.
class TFakeGrid : public IGridColumns
{
public:
    explicit TFakeGrid(std::vector<int> widths) : FWidths(std::move(widths)) {}
    int ColumnCount() const override { return static_cast<int>(FWidths.size()); }
    int ColumnWidth(int index) const override { return FWidths.at(static_cast<size_t>(index)); }
    void SetColumnWidth(int index, int width) override { FWidths.at(static_cast<size_t>(index)) = width; }
    std::vector<int> FWidths;
};

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FSavedFormat = FormatSettings();
        FormatSettings() = TFormatSettings();
        FPath = FDir.filePath("tallyset.ini");
        FStore = std::make_unique<TAppSetting>(FPath);
    }
    void TearDown() override { FormatSettings() = FSavedFormat; }

    void WriteFile(const QByteArray &data) const
    {
        QFile file(FPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    QByteArray ReadFile() const
    {
        QFile file(FPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QString Raw(const QString &section, const QString &key) const
    {
        return TIniFile(FPath).ReadString(section, key, "<missing>");
    }

    QTemporaryDir FDir;
    QString FPath;
    std::unique_ptr<TAppSetting> FStore;
    TFormatSettings FSavedFormat;
};

TEST_F(SettingsTest, FirstRunLoadsDefaultsAndCreatesNoFile)
{
    EXPECT_EQ(FStore->LoadInteger("main", "page_index", 0), 0);
    EXPECT_FALSE(FStore->LoadBoolean("main", "planned"));
    EXPECT_EQ(FStore->LoadDateTime("main", "bdate", 40969), 40969);
    EXPECT_EQ(FStore->LoadText("main", "notes", ""), "");
    QWidget form;
    form.resize(640, 480);
    form.move(30, 40);
    FStore->LoadFormSettings("main_form", &form);
    EXPECT_EQ(form.size(), QSize(640, 480));
    EXPECT_EQ(form.pos(), QPoint(30, 40));
    EXPECT_EQ(form.windowState(), Qt::WindowNoState);
    TFakeGrid grid({100, 80});
    FStore->LoadGridSettings("gridIncomes", grid);
    EXPECT_EQ(grid.FWidths, (std::vector<int>{100, 80}));
    EXPECT_FALSE(QFile::exists(FPath));
}

struct TStoredCase
{
    const char *Stored;
    int Integer; // LoadInteger with default 7
    bool Boolean;
};

void PrintTo(const TStoredCase &c, std::ostream *os) { *os << '"' << c.Stored << '"'; }

class StoredIntegerCases : public SettingsTest, public ::testing::WithParamInterface<TStoredCase>
{
};

TEST_P(StoredIntegerCases, ReadAsIntegerAndBoolean)
{
    WriteFile(QByteArray("[main]\nvalue=") + GetParam().Stored + "\n");
    EXPECT_EQ(FStore->LoadInteger("main", "value", 7), GetParam().Integer);
    EXPECT_EQ(FStore->LoadBoolean("main", "value"), GetParam().Boolean);
}

INSTANTIATE_TEST_SUITE_P(Values, StoredIntegerCases,
                         ::testing::Values(TStoredCase{"1", 1, true}, TStoredCase{"0", 0, false},
                                           TStoredCase{"yes", 7, false}, TStoredCase{"0x3", 3, true},
                                           TStoredCase{"abc", 7, false}, TStoredCase{"-12", -12, true},
                                           TStoredCase{"", 7, false}, TStoredCase{"0x", 7, false},
                                           TStoredCase{"12abc", 7, false}, TStoredCase{"true", 7, false}));

TEST_F(SettingsTest, IntegersAndBooleansAreWrittenInDecimal)
{
    FStore->SaveInteger("main", "page_index", 3);
    FStore->SaveInteger("main", "Height", -197);
    FStore->SaveBoolean("main", "planned", true);
    FStore->SaveBoolean("main", "other", false);
    EXPECT_EQ(ReadFile(), "[main]\npage_index=3\nHeight=-197\nplanned=1\nother=0\n");
    EXPECT_EQ(FStore->LoadInteger("MAIN", "PAGE_INDEX", 0), 3);
    EXPECT_TRUE(FStore->LoadBoolean("main", "planned"));
    EXPECT_FALSE(FStore->LoadBoolean("main", "other"));
}

TEST_F(SettingsTest, DateTimesAreTheDateTextWithTimeOnlyWhenNotMidnight)
{
    TDateTime midnight = EncodeDate(2012, 5, 1);
    TDateTime evening = EncodeDate(2012, 5, 31) + EncodeTime(18, 30, 0, 0);
    FStore->SaveDateTime("main", "bdate", midnight);
    FStore->SaveDateTime("main", "edate", evening);
    EXPECT_EQ(Raw("main", "bdate"), "01.05.2012");
    EXPECT_EQ(Raw("main", "edate"), "31.05.2012 18:30:00");
    EXPECT_EQ(FStore->LoadDateTime("main", "bdate", 0), midnight);
    EXPECT_DOUBLE_EQ(FStore->LoadDateTime("main", "edate", 0), evening);

    WriteFile("[main]\nbad=31.02.2012\nempty=\nword=today\nshort=01.05.12\n");
    for (const char *key : {"bad", "empty", "word", "short", "missing"})
        EXPECT_EQ(FStore->LoadDateTime("main", key, 123), 123) << key;
}

TEST_F(SettingsTest, DateTimesFollowTheRegionalSettings)
{
    FormatSettings().ShortDateFormat = "MM/dd/yyyy";
    FStore->SaveDateTime("main", "bdate", EncodeDate(2012, 5, 1));
    EXPECT_EQ(Raw("main", "bdate"), "05/01/2012");
    EXPECT_EQ(FStore->LoadDateTime("main", "bdate", 0), EncodeDate(2012, 5, 1));
}

struct TTextCase
{
    const char *Name;
    QString Text;
    QString Stored;
};

void PrintTo(const TTextCase &c, std::ostream *os) { *os << c.Name; }

class TextCases : public SettingsTest, public ::testing::WithParamInterface<TTextCase>
{
};

TEST_P(TextCases, StoredOnOneLineAndReadBack)
{
    FStore->SaveText("main", "notes", GetParam().Text);
    EXPECT_EQ(Raw("main", "notes"), GetParam().Stored);
    EXPECT_EQ(FStore->LoadText("main", "notes", "default"), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextCases,
                         ::testing::Values(TTextCase{"crlf", "a\r\nb", "a#13#10b"}, TTextCase{"lf", "a\nb\n", "a#10b#10"},
                                           TTextCase{"cr", "a\rb", "a#13b"}, TTextCase{"empty", "", ""},
                                           TTextCase{"blanks_kept", "  x  ", "  x  "},
                                           TTextCase{"cyrillic", "Купить\r\nхлеб", "Купить#13#10хлеб"},
                                           TTextCase{"equals_and_brackets", "[a]=b;c", "[a]=b;c"}));

TEST_F(SettingsTest, LiteralHashCodesInTheFileBecomeLineBreaks)
{
    WriteFile("[main]\nnotes=x#13y#10z#1310\n");
    EXPECT_EQ(FStore->LoadText("main", "notes", ""), "x\ry\nz\r10");
    EXPECT_EQ(FStore->LoadText("main", "missing", "d#13#10e"), "d\r\ne");
}

TEST_F(SettingsTest, LongTextComesBackWhole)
{
    QString text;
    for (int i = 0; text.size() < 10000; ++i)
        text += QString("строка %1\r\n").arg(i);
    text.truncate(10000);
    FStore->SaveText("main", "notes", text);
    QString back = FStore->LoadText("main", "notes", "");
    EXPECT_EQ(back.size(), 10000);
    EXPECT_EQ(back, text);
}

TEST_F(SettingsTest, DisabledStoreTouchesNothing)
{
    QTemporaryDir cwd;
    QString savedCwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(cwd.path()));
    TAppSetting store{QString()};
    EXPECT_FALSE(store.Enabled());
    QWidget form;
    form.resize(300, 200);
    TFakeGrid grid({50, 60});
    store.SaveInteger("main", "page_index", 3);
    store.SaveBoolean("main", "planned", true);
    store.SaveDateTime("main", "bdate", 41000);
    store.SaveText("main", "notes", "x");
    store.SaveFormSetings("main_form", &form);
    store.SaveGridSettings("gridLib", grid);
    EXPECT_EQ(store.LoadInteger("main", "page_index", 5), 5);
    EXPECT_FALSE(store.LoadBoolean("main", "planned"));
    EXPECT_EQ(store.LoadDateTime("main", "bdate", 40000), 40000);
    EXPECT_EQ(store.LoadText("main", "notes", "d#13"), "d#13");
    form.setWindowState(Qt::WindowMaximized);
    store.LoadFormSettings("main_form", &form);
    EXPECT_EQ(form.windowState(), Qt::WindowMaximized);
    store.LoadGridSettings("gridLib", grid);
    EXPECT_EQ(grid.FWidths, (std::vector<int>{50, 60}));
    EXPECT_TRUE(QDir(cwd.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    QDir::setCurrent(savedCwd);
}

TEST_F(SettingsTest, NormalWindowRoundTrips)
{
    QWidget form;
    form.resize(640, 480);
    form.move(70, 90);
    form.show();
    FStore->SaveFormSetings("main_form", &form);
    EXPECT_EQ(Raw("main_form", "WindowState"), "0");
    EXPECT_EQ(Raw("main_form", "Left"), QString::number(form.frameGeometry().x()));
    EXPECT_EQ(Raw("main_form", "Top"), QString::number(form.frameGeometry().y()));
    EXPECT_EQ(Raw("main_form", "Width"), "640");
    EXPECT_EQ(Raw("main_form", "Height"), "480");

    QWidget next;
    next.resize(300, 200);
    FStore->LoadFormSettings("main_form", &next);
    EXPECT_EQ(next.windowState(), Qt::WindowNoState);
    EXPECT_EQ(next.size(), QSize(640, 480));
    next.show();
    EXPECT_EQ(next.frameGeometry().topLeft(), form.frameGeometry().topLeft());
    // Saving the restored window writes the same placement again.
    const QByteArray before = ReadFile();
    FStore->SaveFormSetings("main_form", &next);
    EXPECT_EQ(ReadFile(), before);
}

TEST_F(SettingsTest, MaximisedWindowKeepsTheStoredNormalPlacement)
{
    WriteFile("[main_form]\nWindowState=0\nLeft=11\nTop=22\nWidth=333\nHeight=244\n");
    QWidget form;
    form.resize(500, 400);
    form.showMaximized();
    FStore->SaveFormSetings("main_form", &form);
    EXPECT_EQ(ReadFile(), "[main_form]\nWindowState=2\nLeft=11\nTop=22\nWidth=333\nHeight=244\n");

    QWidget next;
    next.resize(300, 200);
    next.move(5, 6);
    FStore->LoadFormSettings("main_form", &next);
    EXPECT_TRUE(next.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(next.size(), QSize(300, 200)); // the stored placement is not read
    EXPECT_EQ(next.pos(), QPoint(5, 6));
}

TEST_F(SettingsTest, MinimisedWindowStoresOnlyItsState)
{
    QWidget form;
    form.resize(400, 300);
    form.show();
    form.setWindowState(Qt::WindowMinimized);
    FStore->SaveFormSetings("Tags", &form);
    EXPECT_EQ(ReadFile(), "[Tags]\nWindowState=1\n");
    QWidget next;
    FStore->LoadFormSettings("Tags", &next);
    EXPECT_TRUE(next.windowState() & Qt::WindowMinimized);
}

TEST_F(SettingsTest, WindowLoadKeepsCurrentValuesForMissingOrBadKeys)
{
    WriteFile("[lib_editor_CashTypes]\nLeft=15\nWidth=abc\nHeight=-3\nWindowState=7\n");
    QWidget form;
    form.resize(320, 240);
    form.move(1, 2);
    FStore->LoadFormSettings("lib_editor_CashTypes", &form);
    EXPECT_EQ(form.windowState(), Qt::WindowNoState);
    EXPECT_EQ(form.pos(), QPoint(15, 2));
    EXPECT_EQ(form.size(), QSize(320, 240));
}

TEST_F(SettingsTest, MaximisedWindowLoadsNormalFromFile)
{
    WriteFile("[main_form]\nWindowState=0\nLeft=11\nTop=22\nWidth=333\nHeight=244\n");
    QWidget form;
    form.setWindowState(Qt::WindowMaximized);
    FStore->LoadFormSettings("main_form", &form);
    EXPECT_EQ(form.windowState(), Qt::WindowNoState);
    EXPECT_EQ(form.size(), QSize(333, 244));
    EXPECT_EQ(form.pos(), QPoint(11, 22));
}

TEST_F(SettingsTest, GridKeysAreColumnPositions)
{
    TFakeGrid saved({120, 80, 60});
    FStore->SaveGridSettings("gridExpenses", saved);
    EXPECT_EQ(ReadFile(), "[gridExpenses]\ncol_0=120\ncol_1=80\ncol_2=60\n");

    TFakeGrid fewer({10, 20});
    FStore->LoadGridSettings("gridExpenses", fewer);
    EXPECT_EQ(fewer.FWidths, (std::vector<int>{120, 80}));

    TFakeGrid more({10, 20, 30, 40});
    FStore->LoadGridSettings("gridExpenses", more);
    EXPECT_EQ(more.FWidths, (std::vector<int>{120, 80, 60, 40}));

    WriteFile("[gridLib]\ncol_0=wide\ncol_1=0x20\n");
    TFakeGrid lib({99, 98});
    FStore->LoadGridSettings("gridLib", lib);
    EXPECT_EQ(lib.FWidths, (std::vector<int>{99, 32}));
}

TEST_F(SettingsTest, RefusedWriteRaisesAndChangesNothing)
{
    FStore->SaveText("main", "notes", "old");
    FStore->SaveInteger("main", "page_index", 2);
    const QByteArray before = ReadFile();
    QString error;
    {
        TFileSizeLimit fullDisk(64);
        try
        {
            FStore->SaveText("main", "notes", QString(10000, QLatin1Char('n')));
        }
        catch (const Exception &e)
        {
            error = e.Message();
        }
    }
    EXPECT_EQ(error, "Unable to write to " + FPath);
    EXPECT_EQ(ReadFile(), before);
    EXPECT_EQ(FStore->LoadText("main", "notes", ""), "old");
    EXPECT_EQ(FStore->LoadInteger("main", "page_index", 0), 2);

    // A folder that cannot take the file.
    const QString missing = FDir.filePath("gone/tallyset.ini");
    TAppSetting nowhere(missing);
    try
    {
        nowhere.SaveBoolean("main", "planned", true);
        ADD_FAILURE() << "no error";
    }
    catch (const Exception &e)
    {
        EXPECT_EQ(e.Message(), "Unable to write to " + missing);
    }
    TFakeGrid grid({1, 2});
    EXPECT_THROW(nowhere.SaveGridSettings("gridLib", grid), Exception);
    QWidget form;
    EXPECT_THROW(nowhere.SaveFormSetings("Tags", &form), Exception);
}

TEST_F(SettingsTest, ReadOnlyFileRaises)
{
    if (IgnoresFilePermissions())
        GTEST_SKIP() << "permission bits do not stop root";
    FStore->SaveInteger("main", "page_index", 2);
    const QByteArray before = ReadFile();
    QFile::setPermissions(FPath, QFile::ReadOwner);
    EXPECT_THROW(FStore->SaveInteger("main", "page_index", 4), Exception);
    QFile::setPermissions(FPath, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(ReadFile(), before);
}

// --- the application-data folder and the unit's globals

class AppDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FSavedXdg = qgetenv("XDG_DATA_HOME");
        FHadXdg = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        FSavedHome = qgetenv("HOME");
        FHadHome = qEnvironmentVariableIsSet("HOME");
    }
    void TearDown() override
    {
        FinalizeSettingsUnit();
        Restore("XDG_DATA_HOME", FHadXdg, FSavedXdg);
        Restore("HOME", FHadHome, FSavedHome);
    }
    static void Restore(const char *name, bool had, const QByteArray &value)
    {
        if (had)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    static void SetEnv(const char *name, const char *value)
    {
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    QByteArray FSavedXdg, FSavedHome;
    bool FHadXdg = false, FHadHome = false;
};

TEST_F(AppDataTest, PathFromTheEnvironment)
{
    struct
    {
        const char *Xdg, *Home, *Path;
    } cases[] = {{"/x/data", "/home/u", "/x/data/"},       {"/x/data/", "/home/u", "/x/data/"},
                 {"", "/home/u", "/home/u/.local/share/"}, {nullptr, "/home/u/", "/home/u//.local/share/"},
                 {"relative", "/h", "/h/.local/share/"},   {nullptr, nullptr, ""},
                 {"", "", ""},                             {"rel", "rel2", ""}};
    for (const auto &c : cases)
    {
        SetEnv("XDG_DATA_HOME", c.Xdg);
        SetEnv("HOME", c.Home);
        EXPECT_EQ(TAppSetting::GetUserAppDataPath(), QString(c.Path))
            << (c.Xdg ? c.Xdg : "unset") << " / " << (c.Home ? c.Home : "unset");
    }
}

TEST_F(AppDataTest, InitCreatesTheProgramFolderAndStoresThere)
{
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    InitSettingsUnit();
    EXPECT_EQ(AppDataPath, data.path() + "/");
    const QString folder = data.path() + "/Orvanta/Tallyset/";
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_FALSE(QDir(folder + "db").exists());
    auto *store = dynamic_cast<TAppSetting *>(AppSettings.get());
    ASSERT_NE(store, nullptr);
    EXPECT_TRUE(store->Enabled());
    EXPECT_EQ(store->IniFileName(), folder + "tallyset.ini");
    EXPECT_FALSE(QFile::exists(folder + "tallyset.ini"));
    AppSettings->SaveInteger("main", "page_index", 4);
    EXPECT_TRUE(QFile::exists(folder + "tallyset.ini"));

    FinalizeSettingsUnit();
    EXPECT_EQ(AppSettings, nullptr);
    EXPECT_TRUE(AppDataPath.isEmpty());
}

TEST_F(AppDataTest, FolderThatCannotBeMadeDisablesTheStore)
{
    QTemporaryDir data;
    QFile blocker(data.filePath("Orvanta")); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    InitSettingsUnit();
    EXPECT_EQ(AppDataPath, data.path() + "/");
    auto *store = dynamic_cast<TAppSetting *>(AppSettings.get());
    ASSERT_NE(store, nullptr);
    EXPECT_FALSE(store->Enabled());
    AppSettings->SaveInteger("main", "page_index", 4);
    EXPECT_EQ(AppSettings->LoadInteger("main", "page_index", 0), 0);
}

TEST_F(AppDataTest, NoDataFolderDisablesTheStore)
{
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("HOME");
    InitSettingsUnit();
    EXPECT_TRUE(AppDataPath.isEmpty());
    auto *store = dynamic_cast<TAppSetting *>(AppSettings.get());
    ASSERT_NE(store, nullptr);
    EXPECT_FALSE(store->Enabled());
    EXPECT_EQ(AppSettings->LoadDateTime("main", "bdate", 41000), 41000);
}
} // namespace
