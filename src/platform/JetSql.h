#pragma once

#include <QString>

// Translates one statement of the Jet dialect the program writes into SQLite,
// in one pass over the text:
// - #m/d/yyyy# (also #yyyy-m-d#, optionally with a time "h:mm[:ss] [AM|PM]")
//   becomes 'yyyy-mm-dd', with ' HH:MM:SS' only when the time is not midnight;
// - a double-quoted text becomes a single-quoted literal (a doubled double
//   quote inside stands for one, a single quote inside is doubled);
// - DatePart("yyyy"|"q"|"m"|"d"|"h"|"n"|"s", x) becomes an integer taken from
//   the ISO text of x;
// - @@identity becomes last_insert_rowid(), the connection's last insert;
// - a parenthesised select that is a member of a compound select (union all)
//   becomes select * from (select ...), keeping its own order by.
// Everything else passes unchanged, character for character; single-quoted
// literals, [names] and comments are never touched.
// Raises EDatabaseError for a text holding a second statement after the first
// (trailing ";" alone are fine), for an invalid date literal (a placeholder
// like #bdate# left in the text included), an unsupported DatePart interval, an
// unterminated double-quoted text and PRAGMA case_sensitive_like.
QString TranslateJetSql(const QString &jetSql);
