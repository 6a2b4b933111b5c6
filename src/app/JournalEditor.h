#pragma once

#include "db/Constants.h"
#include "model/Classes.Journals.Interfaces.h"

// Shows the record editor modally for `journal` in `mode` and returns when it
// is closed. The caller refreshes the reports afterwards in every case.
void JournalRecordEditor(const ITallysetJournalPtr &journal, TEditorMode mode);
