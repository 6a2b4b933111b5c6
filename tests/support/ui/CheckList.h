#pragma once

#include <QListWidget>
#include <QPoint>
#include <QStyle>
#include <QStyleOptionViewItem>

// The check box of a check-list entry, where a user clicks it.
inline QPoint CheckBoxCenter(QListWidget *list, int row)
{
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.rect = list->visualItemRect(list->item(row));
    option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = list->item(row)->text();
    return list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list).center();
}
