// Every #include under src/ keeps the layer order: a file includes only files
// of its own layer or of a layer before it, and the core layers (platform core,
// db, model, exchange) include from Qt only headers that QtCore installs.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace
{

enum class TFault { Upward, QtBeyondCore, OutsideOrder, Unresolved };

struct TIncludeFault
{
    TFault kind;
    std::string text; // "file:line: what"
};

struct TScan
{
    int files = 0;
    int includes = 0;
    std::vector<TIncludeFault> faults;
};

constexpr int c_OutsideOrder = -1;
constexpr int c_LastCoreLayer = 3; // exchange

// The rank of a file in the order platform (core) → db → model → exchange →
// platform/widgets → controls → sidepanel → app, by its path below src/.
int LayerOf(const fs::path &relative)
{
    std::vector<std::string> parts;
    for (const fs::path &part : relative)
        parts.push_back(part.string());
    if (parts.size() < 2)
        return c_OutsideOrder;
    if (parts[0] == "platform") {
        if (parts.size() == 2)
            return 0;
        return parts.size() == 3 && parts[1] == "widgets" ? 4 : c_OutsideOrder;
    }
    static const std::map<std::string, int> c_Layers = {
        {"db", 1}, {"model", 2}, {"exchange", 3}, {"controls", 5}, {"sidepanel", 6}, {"app", 7}};
    const auto it = c_Layers.find(parts[0]);
    return it != c_Layers.end() && parts.size() == 2 ? it->second : c_OutsideOrder;
}

// The Qt module that installs `name` under `qtHeaders`, QtCore first; empty for
// a header of no Qt module (the standard library, SQLite).
std::string QtModuleOf(const std::string &name, const fs::path &qtHeaders)
{
    const auto slash = name.find('/');
    if (slash != std::string::npos) {
        const std::string module = name.substr(0, slash);
        if (module.rfind("Qt", 0) == 0 && fs::is_directory(qtHeaders / module))
            return module;
    }
    if (fs::is_regular_file(qtHeaders / "QtCore" / name))
        return "QtCore";
    for (const fs::directory_entry &entry : fs::directory_iterator(qtHeaders)) {
        const std::string module = entry.path().filename().string();
        if (entry.is_directory() && module.rfind("Qt", 0) == 0 && fs::is_regular_file(entry.path() / name))
            return module;
    }
    return {};
}

// Reads every source file under `src` and reports each include that breaks the
// order. A quoted include is looked up beside the file, then below `src`, as
// the compiler does; one found nowhere below `src` is a fault, so a typo or an
// include from outside cannot slip past.
TScan CheckIncludes(const fs::path &src, const fs::path &qtHeaders)
{
    static const std::regex c_Include(R"(^\s*#\s*include\s*([<"])([^">]+)[">])");
    const fs::path root = fs::canonical(src);
    TScan scan;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(root)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        ++scan.files;
        const fs::path relative = entry.path().lexically_relative(root);
        const int layer = LayerOf(relative);
        const std::string where = "src/" + relative.generic_string();
        if (layer == c_OutsideOrder) {
            scan.faults.push_back({TFault::OutsideOrder, where + ": folder outside the layer order"});
            continue;
        }
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (!std::regex_search(line, match, c_Include))
                continue;
            ++scan.includes;
            const std::string name = match[2];
            const std::string at = where + ":" + std::to_string(number) + ": " + match[0].str() + ": ";
            if (match[1] == "<") {
                const std::string module = QtModuleOf(name, qtHeaders);
                if (layer <= c_LastCoreLayer && !module.empty() && module != "QtCore")
                    scan.faults.push_back({TFault::QtBeyondCore, at + module + " header in a core folder"});
                continue;
            }
            fs::path target;
            for (const fs::path &base : {entry.path().parent_path(), root}) {
                if (fs::is_regular_file(base / name)) {
                    target = fs::canonical(base / name);
                    break;
                }
            }
            const fs::path targetRelative = target.lexically_relative(root);
            if (target.empty() || targetRelative.empty() || *targetRelative.begin() == "..") {
                scan.faults.push_back({TFault::Unresolved, at + "not found below src/"});
                continue;
            }
            const int targetLayer = LayerOf(targetRelative);
            if (targetLayer > layer || targetLayer == c_OutsideOrder)
                scan.faults.push_back({TFault::Upward, at + "points up the layer order"});
        }
    }
    return scan;
}

std::string Describe(const std::vector<TIncludeFault> &faults)
{
    std::string text;
    for (const TIncludeFault &fault : faults)
        text += fault.text + "\n";
    return text;
}

TEST(IncludeOrder, SourceTreeKeepsTheOrder)
{
    const TScan scan = CheckIncludes(fs::path(TALLYSET_SOURCE_DIR) / "src", TALLYSET_QT_HEADERS);
    ASSERT_GT(scan.files, 0);
    ASSERT_GT(scan.includes, 0);
    EXPECT_TRUE(scan.faults.empty()) << Describe(scan.faults);
}

struct TPlanted
{
    const char *file;    // below src/
    const char *include; // the planted line
    bool faulty;
    TFault kind;
};

void PrintTo(const TPlanted &planted, std::ostream *out)
{
    *out << planted.file << " " << planted.include;
}

class PlantedInclude : public testing::TestWithParam<TPlanted>
{
protected:
    void SetUp() override
    {
        Root = fs::temp_directory_path() / ("include-order-" + std::to_string(::getpid()));
        fs::remove_all(Root);
        for (const char *file : {"platform/Core.h", "db/Db.h", "model/Model.h", "exchange/Import.h",
                                 "platform/widgets/Grid.h", "controls/Button.h", "sidepanel/Panel.h",
                                 "app/Main.h"})
            Write(file, "#pragma once\n");
    }
    void TearDown() override { fs::remove_all(Root); }

    void Write(const fs::path &file, const std::string &text)
    {
        fs::create_directories((Root / "src" / file).parent_path());
        std::ofstream(Root / "src" / file) << text;
    }

    fs::path Root;
};

TEST_P(PlantedInclude, IsJudgedByTheOrder)
{
    const TPlanted &planted = GetParam();
    Write(planted.file, std::string("#pragma once\n\n#include \"platform/Core.h\"\n") + planted.include + "\n");

    const TScan scan = CheckIncludes(Root / "src", TALLYSET_QT_HEADERS);

    if (!planted.faulty) {
        EXPECT_TRUE(scan.faults.empty()) << Describe(scan.faults);
        return;
    }
    ASSERT_EQ(scan.faults.size(), 1u) << Describe(scan.faults);
    EXPECT_EQ(scan.faults[0].kind, planted.kind) << scan.faults[0].text;
    EXPECT_NE(scan.faults[0].text.find(std::string("src/") + planted.file), std::string::npos)
        << scan.faults[0].text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlantedInclude,
    testing::Values(
        // Upward includes, quoted.
        TPlanted{"platform/widgets/X.h", "#include \"app/Main.h\"", true, TFault::Upward},
        TPlanted{"sidepanel/X.h", "#include \"app/Main.h\"", true, TFault::Upward},
        TPlanted{"platform/X.cpp", "#include \"platform/widgets/Grid.h\"", true, TFault::Upward},
        TPlanted{"platform/X.cpp", "#include \"db/Db.h\"", true, TFault::Upward},
        TPlanted{"model/X.h", "#include \"exchange/Import.h\"", true, TFault::Upward},
        TPlanted{"exchange/X.cpp", "#include \"platform/widgets/Grid.h\"", true, TFault::Upward},
        TPlanted{"controls/X.cpp", "  #  include \"sidepanel/Panel.h\"", true, TFault::Upward},
        TPlanted{"model/X.cpp", "#include \"../app/Main.h\"", true, TFault::Upward},
        // Widget-family Qt headers in core folders.
        TPlanted{"db/X.cpp", "#include <QComboBox>", true, TFault::QtBeyondCore},
        TPlanted{"model/X.h", "#include <QColor>", true, TFault::QtBeyondCore},
        TPlanted{"platform/X.h", "#include <QtWidgets/QWidget>", true, TFault::QtBeyondCore},
        TPlanted{"exchange/X.cpp", "#include <QChart>", true, TFault::QtBeyondCore},
        TPlanted{"db/X.cpp", "#include <qdrawutil.h>", true, TFault::QtBeyondCore},
        // Files the order does not place, and includes found nowhere.
        TPlanted{"platform/extra/X.h", "", true, TFault::OutsideOrder},
        TPlanted{"tools/X.cpp", "", true, TFault::OutsideOrder},
        TPlanted{"db/X.cpp", "#include \"db/Missing.h\"", true, TFault::Unresolved},
        // Allowed: down the order, the same layer, beside the file, QtCore and non-Qt headers.
        TPlanted{"app/X.cpp", "#include \"db/Db.h\"", false, {}},
        TPlanted{"app/X.cpp", "#include \"sidepanel/Panel.h\"", false, {}},
        TPlanted{"platform/widgets/X.cpp", "#include \"exchange/Import.h\"", false, {}},
        TPlanted{"model/X.cpp", "#include \"model/Model.h\"", false, {}},
        TPlanted{"db/X.cpp", "#include \"Db.h\"", false, {}},
        TPlanted{"db/X.cpp", "#include <QString>", false, {}},
        TPlanted{"model/X.cpp", "#include <QtCore/QDate>", false, {}},
        TPlanted{"platform/X.cpp", "#include <sqlite3.h>", false, {}},
        TPlanted{"exchange/X.cpp", "#include <vector>", false, {}},
        TPlanted{"controls/X.cpp", "#include <QWidget>", false, {}},
        TPlanted{"platform/widgets/X.cpp", "#include <QtCharts/QChart>", false, {}}),
    [](const testing::TestParamInfo<TPlanted> &info) {
        std::string name = std::string(info.param.file) + "_" + info.param.include;
        for (char &c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

} // namespace
