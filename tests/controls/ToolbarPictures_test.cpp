#include "controls/ToolbarPictures.h"
#include "controls/ZarnLib.Components.ZarnImgButton.h"
#include "controls/ZarnLib.Components.ZarnImgContainer.h"
#include "platform/Exception.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

struct TStats
{
    double Lightness = 0; // mean over the pixels that differ from the background
    double Saturation = 0;
    int Changed = 0;
};

// Statistics of the pixels where a picture differs from the strip under it.
TStats GlyphStats(const QPixmap &picture, const QImage &background)
{
    const QImage image = picture.toImage().convertToFormat(QImage::Format_RGB32);
    TStats stats;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == background.pixel(x, y))
                continue;
            const QColor c = image.pixelColor(x, y);
            stats.Lightness += c.lightnessF();
            stats.Saturation += c.hsvSaturationF();
            ++stats.Changed;
        }
    if (stats.Changed > 0) {
        stats.Lightness /= stats.Changed;
        stats.Saturation /= stats.Changed;
    }
    return stats;
}

QImage Rgb(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

bool OnLibStrip(const QString &name)
{
    return ToolbarPictures::LibEditorButtonNames().contains(name);
}

// What the strip under a button shows at the button's place.
QImage BackgroundOf(const QString &name)
{
    const QRect place = ToolbarPictures::ButtonRect(name);
    if (!OnLibStrip(name))
        return Rgb(ToolbarPictures::StripBackground()).copy(place);
    TZarnImgContainer strip;
    strip.resize(place.right() + 1, place.bottom() + 1);
    strip.SetImage(ToolbarPictures::LibEditorTile());
    return Rgb(strip.grab()).copy(place);
}

class ToolbarButtonPicturesTest : public ::testing::TestWithParam<const char *>
{
};

TEST_P(ToolbarButtonPicturesTest, FourDistinctPicturesOfTheButtonsSize)
{
    const QString name = QString::fromLatin1(GetParam());
    const QRect place = ToolbarPictures::ButtonRect(name);
    const TButtonPictures pictures = ToolbarPictures::ButtonPictures(name);
    for (const QPixmap *picture : {&pictures.Normal, &pictures.Over, &pictures.Down, &pictures.Disable}) {
        EXPECT_FALSE(picture->isNull());
        EXPECT_EQ(picture->size(), place.size());
        EXPECT_FALSE(picture->hasAlphaChannel());
    }
    EXPECT_NE(Rgb(pictures.Normal), Rgb(pictures.Over));
    EXPECT_NE(Rgb(pictures.Normal), Rgb(pictures.Down));
    EXPECT_NE(Rgb(pictures.Over), Rgb(pictures.Down));
    EXPECT_NE(Rgb(pictures.Normal), Rgb(pictures.Disable));
}

TEST_P(ToolbarButtonPicturesTest, StatesReadAsHoverPressedDisabled)
{
    const QString name = QString::fromLatin1(GetParam());
    const QRect place = ToolbarPictures::ButtonRect(name);
    const QImage background = BackgroundOf(name);
    const TButtonPictures pictures = ToolbarPictures::ButtonPictures(name);
    const TStats normal = GlyphStats(pictures.Normal, background);
    const TStats over = GlyphStats(pictures.Over, background);
    const TStats down = GlyphStats(pictures.Down, background);
    const TStats disable = GlyphStats(pictures.Disable, background);
    EXPECT_GT(normal.Changed, place.width() * place.height() / 8) << "the glyph is too small to read";
    EXPECT_GT(over.Lightness, normal.Lightness);
    EXPECT_LT(down.Lightness, over.Lightness);
    EXPECT_LT(disable.Saturation, normal.Saturation / 3);
}

TEST_P(ToolbarButtonPicturesTest, RestingPicturesJoinTheStripSeamlessly)
{
    const QString name = QString::fromLatin1(GetParam());
    const QImage background = BackgroundOf(name);
    const TButtonPictures pictures = ToolbarPictures::ButtonPictures(name);
    for (const QPixmap *picture : {&pictures.Normal, &pictures.Disable}) {
        const QImage image = Rgb(*picture);
        int seams = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x : {0, image.width() - 1})
                seams += image.pixel(x, y) != background.pixel(x, y);
        for (int x = 0; x < image.width(); ++x)
            for (int y : {0, image.height() - 1})
                seams += image.pixel(x, y) != background.pixel(x, y);
        EXPECT_EQ(seams, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Buttons, ToolbarButtonPicturesTest,
                         ::testing::Values("ZarnImgButton1", "zibLibs", "zibRecAdd", "zibRecEdit", "zibRecDelete",
                                           "zibFilter", "zibCalc", "btAdd", "btEdit", "btDelete"));

TEST(ToolbarPictures, NamesAndPlacesOfTheMainWindowButtons)
{
    EXPECT_EQ(ToolbarPictures::ButtonNames(),
              QStringList({"ZarnImgButton1", "zibLibs", "zibRecAdd", "zibRecEdit", "zibRecDelete", "zibFilter", "zibCalc"}));
    EXPECT_EQ(ToolbarPictures::ButtonRect("ZarnImgButton1"), QRect(7, 0, 83, 75));
    EXPECT_EQ(ToolbarPictures::ButtonRect("zibLibs"), QRect(100, 27, 60, 45));
    EXPECT_EQ(ToolbarPictures::ButtonRect("zibCalc"), QRect(475, 27, 60, 45));
    EXPECT_EQ(ToolbarPictures::LibEditorButtonNames(), QStringList({"btAdd", "btEdit", "btDelete"}));
    EXPECT_EQ(ToolbarPictures::ButtonRect("btEdit"), QRect(90, 0, 105, 25));
    EXPECT_EQ(ToolbarPictures::LibEditorTile().size(), QSize(24, 25));
    EXPECT_THROW(ToolbarPictures::ButtonPictures("zibNothing"), Exception);
    EXPECT_THROW(ToolbarPictures::ButtonRect(""), Exception);
}

TEST(ToolbarPictures, TileMatchesTheStripAndTilesWithoutSeam)
{
    const QImage strip = Rgb(ToolbarPictures::StripBackground());
    const QImage tile = Rgb(ToolbarPictures::TopStripTile());
    EXPECT_EQ(strip.size(), QSize(585, 75));
    EXPECT_EQ(tile.size(), QSize(101, 75));
    for (int y = 0; y < 75; ++y) {
        EXPECT_EQ(tile.pixel(0, y), tile.pixel(100, y)) << "row " << y;
        EXPECT_EQ(tile.pixel(0, y), strip.pixel(536, y)) << "row " << y;
    }
}

TEST(ToolbarPictures, LogoOfAnySide)
{
    for (int side : {16, 48, 128}) {
        const QImage logo = ToolbarPictures::ProgramLogo(side).toImage();
        EXPECT_EQ(logo.size(), QSize(side, side));
        EXPECT_EQ(qAlpha(logo.pixel(0, 0)), 0) << "rounded corner";
        EXPECT_EQ(qAlpha(logo.pixel(side / 2, side / 2 + side / 8)), 255);
    }
    const QIcon icon = ToolbarPictures::ProgramIcon();
    EXPECT_EQ(icon.availableSizes().size(), 8);
    EXPECT_EQ(icon.pixmap(48, 48).size(), QSize(48, 48));
}

// The main window's top strip built from the pictures, as a user sees it.
struct TToolbar
{
    TToolbar()
    {
        Top.resize(932, 75);
        Top.SetImage(ToolbarPictures::TopStripTile());
        Buttons = new TZarnImgContainer(&Top);
        Buttons->setGeometry(0, 0, 537, 75);
        Buttons->SetImage(ToolbarPictures::StripBackground());
        for (const QString &name : ToolbarPictures::ButtonNames()) {
            auto *button = new TZarnImgButton(Buttons);
            button->setObjectName(name);
            button->move(ToolbarPictures::ButtonRect(name).topLeft());
            button->SetPictures(ToolbarPictures::ButtonPictures(name));
            ByName[name] = button;
        }
        // The period controls on the tiled part, as the main window places them.
        QFont font = Top.font();
        font.setPixelSize(11);
        Top.setFont(font);
        auto *label = new QLabel(QStringLiteral("период"), &Top);
        label->move(560, 13);
        auto *begin = new QDateEdit(QDate(2024, 3, 1), &Top);
        begin->setGeometry(603, 10, 86, 21);
        auto *end = new QDateEdit(QDate(2024, 3, 31), &Top);
        end->setGeometry(694, 10, 86, 21);
        begin->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        end->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        auto *planned = new QCheckBox(QStringLiteral("планируемые операции "), &Top);
        planned->setLayoutDirection(Qt::RightToLeft);
        planned->setGeometry(558, 34, 147, 19);
    }

    TZarnImgContainer Top;
    TZarnImgContainer *Buttons;
    std::map<QString, TZarnImgButton *> ByName;
};

TEST(ToolbarPictures, StripOfAllButtonsInAllStates)
{
    TToolbar toolbar;
    struct TRow
    {
        const char *Label;
        std::function<void(TZarnImgButton &)> Set;
    };
    const std::vector<TRow> rows = {
        {"normal", [](TZarnImgButton &b) { b.SetState(bsUp); }},
        {"hover", [](TZarnImgButton &b) { b.SetState(bsOver); }},
        {"pressed", [](TZarnImgButton &b) { b.SetState(bsDown); }},
        {"disabled", [](TZarnImgButton &b) { b.setEnabled(false); }},
        {"filter checked", [](TZarnImgButton &b) {
             if (b.objectName() == "zibFilter")
                 b.SetChecked(true);
         }},
    };
    QImage sheet(932, int(rows.size()) * 75, QImage::Format_RGB32);
    QPainter painter(&sheet);
    for (size_t i = 0; i < rows.size(); ++i) {
        for (auto &[name, button] : toolbar.ByName) {
            button->setEnabled(true);
            button->SetChecked(false);
            button->SetState(bsUp);
            rows[i].Set(*button);
        }
        const QImage shown = toolbar.Top.grab().toImage();
        painter.drawImage(0, int(i) * 75, shown);
        painter.setPen(QColor(0x34, 0x40, 0x5e));
        painter.drawText(QRect(820, int(i) * 75, 100, 75), Qt::AlignCenter, QString::fromLatin1(rows[i].Label));

        // Each button shows exactly its picture for the state at its place.
        for (auto &[name, button] : toolbar.ByName) {
            const TButtonPictures pictures = ToolbarPictures::ButtonPictures(name);
            const QPixmap &expected = !button->isEnabled()             ? pictures.Disable
                                      : button->State() == bsOver      ? pictures.Over
                                      : button->State() == bsDown      ? pictures.Down
                                      : button->Checked()              ? pictures.Over
                                                                       : pictures.Normal;
            EXPECT_EQ(shown.copy(ToolbarPictures::ButtonRect(name)).convertToFormat(QImage::Format_RGB32), Rgb(expected))
                << name.toStdString() << " " << rows[i].Label;
        }
    }
    painter.end();
    const QString folder = QStringLiteral(TALLYSET_BINARY_DIR "/screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(sheet.save(folder + "/toolbar-states.png"));
    QImage zoomed = sheet.scaled(sheet.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    EXPECT_TRUE(zoomed.copy(0, 0, 1200, zoomed.height()).save(folder + "/toolbar-states-x2.png"));
}

TEST(ToolbarPictures, ListEditorStripInAllStates)
{
    TZarnImgContainer strip;
    strip.resize(415, 25);
    strip.SetImage(ToolbarPictures::LibEditorTile());
    std::map<QString, TZarnImgButton *> buttons;
    for (const QString &name : ToolbarPictures::LibEditorButtonNames()) {
        auto *button = new TZarnImgButton(&strip);
        button->move(ToolbarPictures::ButtonRect(name).topLeft());
        button->SetPictures(ToolbarPictures::ButtonPictures(name));
        buttons[name] = button;
    }
    const TButtonState states[] = {bsUp, bsOver, bsDown, bsUp};
    QImage sheet(415, 4 * 25, QImage::Format_RGB32);
    QPainter painter(&sheet);
    for (int row = 0; row < 4; ++row) {
        for (auto &[name, button] : buttons) {
            button->setEnabled(row != 3);
            button->SetState(states[row]);
        }
        const QImage shown = strip.grab().toImage();
        painter.drawImage(0, row * 25, shown);
        for (auto &[name, button] : buttons) {
            const TButtonPictures pictures = ToolbarPictures::ButtonPictures(name);
            const QPixmap &expected = row == 3 ? pictures.Disable : row == 1 ? pictures.Over : row == 2 ? pictures.Down : pictures.Normal;
            EXPECT_EQ(shown.copy(ToolbarPictures::ButtonRect(name)).convertToFormat(QImage::Format_RGB32), Rgb(expected))
                << name.toStdString() << " row " << row;
        }
    }
    painter.end();
    const QString folder = QStringLiteral(TALLYSET_BINARY_DIR "/screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(sheet.scaled(sheet.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                    .save(folder + "/lib-editor-states-x2.png"));
}

} // namespace
