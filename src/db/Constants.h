#pragma once

#include <QString>

// Kinds of journal and modes of the record editor.
enum TJournalKind { jkIncomes = 0, jkExpenses = 1, jkTransfers = 2 };
enum TEditorMode { emNew = 0, emEdit = 1 };

// The named constants of the program follow (statements, tables, fields,
// names, messages, interface texts, settings keys, message codes).
