#include "platform/widgets/Utils.ComboBox.h"

#include <QComboBox>
#include <QLineEdit>

void FillComboBox(QComboBox &combo, const TStrings &src)
{
    const QString typed = combo.isEditable() ? combo.currentText() : QString();
    combo.clear();
    for (int i = 0; i < src.Count(); ++i)
        combo.addItem(src[i], src.Objects(i));
    combo.setCurrentIndex(-1);
    if (combo.isEditable())
        combo.setEditText(typed);
}

int GetIDFromCombobox(const QComboBox &src, int defaultID)
{
    int index = src.currentIndex();
    if (src.isEditable()) {
        const QString text = src.currentText();
        if (index < 0 || src.itemText(index) != text)
            index = src.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    }
    if (index < 0)
        return defaultID;
    const int id = src.itemData(index, Qt::UserRole).toInt();
    return id == 0 ? defaultID : id;
}

bool SetIDForCombobox(QComboBox &src, int id)
{
    const int index = src.findData(id, Qt::UserRole);
    src.setCurrentIndex(index);
    if (index < 0 && src.isEditable())
        src.setEditText(QString());
    return index >= 0;
}
