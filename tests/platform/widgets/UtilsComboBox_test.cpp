#include "platform/widgets/Utils.ComboBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

TStringList Items()
{
    TStringList list;
    list.AddObject(QStringLiteral("Еда"), 7);
    list.AddObject(QStringLiteral("Без номера"), 0);
    list.AddObject(QStringLiteral("Транспорт"), 9);
    list.AddObject(QStringLiteral("Еда"), 11); // a second item of the same text
    return list;
}

class ComboBoxUtilsTest : public ::testing::TestWithParam<bool>
{
protected:
    ComboBoxUtilsTest()
    {
        FCombo.setEditable(GetParam());
        FillComboBox(FCombo, Items());
    }
    QComboBox FCombo;
};

TEST_P(ComboBoxUtilsTest, FillLeavesNothingSelected)
{
    EXPECT_EQ(FCombo.count(), 4);
    EXPECT_EQ(FCombo.currentIndex(), -1);
    EXPECT_EQ(FCombo.currentText(), QString());
    EXPECT_EQ(GetIDFromCombobox(FCombo, -1), -1);
    EXPECT_EQ(GetIDFromCombobox(FCombo, 42), 42);
}

TEST_P(ComboBoxUtilsTest, SelectedItemGivesItsIdentityAndZeroGivesTheDefault)
{
    FCombo.setCurrentIndex(2);
    EXPECT_EQ(GetIDFromCombobox(FCombo, -1), 9);
    FCombo.setCurrentIndex(1);
    EXPECT_EQ(GetIDFromCombobox(FCombo, -1), -1);
    FCombo.setCurrentIndex(3);
    EXPECT_EQ(GetIDFromCombobox(FCombo, -1), 11);
}

TEST_P(ComboBoxUtilsTest, SetSelectsTheFirstItemCarryingTheIdentityOrClears)
{
    EXPECT_TRUE(SetIDForCombobox(FCombo, 9));
    EXPECT_EQ(FCombo.currentText(), QStringLiteral("Транспорт"));
    EXPECT_TRUE(SetIDForCombobox(FCombo, 11));
    EXPECT_EQ(FCombo.currentIndex(), 3);
    EXPECT_FALSE(SetIDForCombobox(FCombo, 5));
    EXPECT_EQ(FCombo.currentIndex(), -1);
    EXPECT_EQ(FCombo.currentText(), QString());
    EXPECT_EQ(GetIDFromCombobox(FCombo, -1), -1);
}

INSTANTIATE_TEST_SUITE_P(PickOnlyAndEditable, ComboBoxUtilsTest, ::testing::Values(false, true));

// In an editable combo the typed text decides: a selection the user typed over
// no longer counts.
TEST(ComboBoxUtilsEditableTest, TypedTextOverridesAnEarlierSelection)
{
    QComboBox combo;
    combo.setEditable(true);
    FillComboBox(combo, Items());
    combo.setCurrentIndex(2);
    combo.lineEdit()->clear();
    QTest::keyClicks(combo.lineEdit(), QStringLiteral("Taxi"));
    EXPECT_EQ(combo.currentText(), QStringLiteral("Taxi"));
    EXPECT_EQ(GetIDFromCombobox(combo, -1), -1);
    // The exact text of an item finds that item, also without selecting it.
    combo.setEditText(QStringLiteral("Транспорт"));
    EXPECT_EQ(GetIDFromCombobox(combo, -1), 9);
    // A refill keeps the typed text.
    combo.setEditText(QStringLiteral("Новое"));
    FillComboBox(combo, Items());
    EXPECT_EQ(combo.currentText(), QStringLiteral("Новое"));
}

} // namespace
