#pragma once

#include "platform/Strings.h"

class QComboBox;

// Combo boxes whose items carry identities as item data (Qt::UserRole).

// Fills `combo` with the items of `src`, each carrying its attached integer;
// the selection is cleared.
void FillComboBox(QComboBox &combo, const TStrings &src);
// The identity of the selected item; `defaultID` when nothing is selected or
// the item carries 0. In an editable combo the selection counts only while the
// edit text is that item's text; otherwise the item with exactly the typed text
// is taken, if there is one.
int GetIDFromCombobox(const QComboBox &src, int defaultID);
// Selects the first item carrying `id` and returns true; clears the selection
// (and an editable combo's text) and returns false when there is none.
bool SetIDForCombobox(QComboBox &src, int id);
