#include "EditorFixture.h"

#include "app/Tags.h"

#include <QListWidget>

namespace
{

class TagsTest : public TEditorTest
{
protected:
    static TStringList Names(const QStringList &names)
    {
        TStringList list;
        for (const QString &n : names)
            list.Add(n);
        return list;
    }
    // Opens the picker through ShowTags and runs `inside` on it while it is up.
    QStringList Run(const QStringList &names, std::function<void(TFTags &)> inside)
    {
        QStringList chosen;
        bool opened = false;
        WhenModal([&](QWidget *modal) {
            auto *picker = qobject_cast<TFTags *>(modal);
            if (picker == nullptr) {
                ADD_FAILURE() << "the tag picker did not open";
                modal->close();
                return;
            }
            opened = true;
            picker->activateWindow();
            inside(*picker);
            if (picker->isVisible()) {
                ADD_FAILURE() << "the picker is still open";
                picker->reject();
            }
        });
        ShowTags(Names(names), [&chosen](const QString &tag) { chosen << tag; });
        EXPECT_TRUE(opened);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        return chosen;
    }
    static QStringList Items(TFTags &t)
    {
        QStringList items;
        for (int i = 0; i < t.lbTags->count(); ++i)
            items << t.lbTags->item(i)->text();
        return items;
    }
};

TEST_F(TagsTest, DoubleClicksHandNamesBackWhileThePickerStaysOpenUntilEsc)
{
    QStringList items;
    int selectedAtStart = -2;
    QString title;
    const QStringList chosen =
        Run({QStringLiteral("хлеб"), QStringLiteral("молоко"), QStringLiteral("для дома")}, [&](TFTags &t) {
            items = Items(t);
            selectedAtStart = t.lbTags->currentRow();
            title = t.windowTitle();
            DoubleClickRow(t.lbTags, 2);
            DoubleClickRow(t.lbTags, 2);
            DoubleClickRow(t.lbTags, 0);
            // Enter and a plain click choose nothing and keep the picker open.
            QTest::keyClick(t.lbTags, Qt::Key_Return);
            QTest::mouseClick(t.lbTags->viewport(), Qt::LeftButton, {},
                              t.lbTags->visualRect(t.lbTags->model()->index(1, 0)).center());
            EXPECT_TRUE(t.isVisible());
            QTest::keyClick(t.lbTags, Qt::Key_Escape);
        });
    EXPECT_EQ(items, (QStringList{QStringLiteral("хлеб"), QStringLiteral("молоко"), QStringLiteral("для дома")}));
    EXPECT_EQ(selectedAtStart, 0);
    EXPECT_EQ(title, QStringLiteral("Выбор тэгов"));
    EXPECT_EQ(chosen, (QStringList{QStringLiteral("для дома"), QStringLiteral("для дома"), QStringLiteral("хлеб")}));
}

TEST_F(TagsTest, EmptyPickerSelectsNothingAndADoubleClickDoesNothing)
{
    int selected = -2;
    const QStringList chosen = Run({}, [&](TFTags &t) {
        selected = t.lbTags->currentRow();
        QTest::mouseDClick(t.lbTags->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        t.lbTagsDblClick();
        t.close();
    });
    EXPECT_EQ(selected, -1);
    EXPECT_EQ(chosen, QStringList());
}

TEST_F(TagsTest, WithoutAHandlerADoubleClickIsHarmless)
{
    TFTags t;
    t.SetTags(Names({QStringLiteral("хлеб")}));
    t.show();
    DoubleClickRow(t.lbTags, 0);
    EXPECT_TRUE(t.isVisible());
}

TEST_F(TagsTest, PlacementIsKeptInTheTagsSection)
{
    Run({QStringLiteral("хлеб")}, [](TFTags &t) {
        EXPECT_EQ(t.size(), QSize(259, 277));
        t.resize(300, 320);
        t.close();
    });
    EXPECT_EQ(Ini(QStringLiteral("Tags"), QStringLiteral("Width")), QStringLiteral("300"));
    EXPECT_EQ(Ini(QStringLiteral("Tags"), QStringLiteral("Height")), QStringLiteral("320"));
    TFTags again;
    EXPECT_EQ(again.size(), QSize(300, 320));
}

TEST_F(TagsTest, Screenshot)
{
    TFTags t;
    t.SetTags(Names({QStringLiteral("хлеб"), QStringLiteral("молоко"), QStringLiteral("для дома"),
                     QStringLiteral("подарки к празднику"), QStringLiteral("Quick \"brown\" fox")}));
    t.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t));
    EXPECT_LT(t.windowOpacity(), 1.0);
    EXPECT_TRUE(t.lbTags->font().underline());
    EXPECT_EQ(t.lbTags->geometry(), t.rect());
    EXPECT_GE(t.lbTags->visualRect(t.lbTags->model()->index(0, 0)).height(), 12);
    EXPECT_TRUE(QFileInfo::exists(SaveScreenshot(&t, QStringLiteral("tag_picker"))));
}

} // namespace
