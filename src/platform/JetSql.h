#pragma once

#include <QString>

// Translates one statement of the Jet dialect the program writes into SQLite:
// #m/d/yyyy# date literals become 'yyyy-mm-dd'; double-quoted texts become
// single-quoted literals (a doubled double quote inside stands for one);
// DatePart("yyyy"|"m", x) becomes an integer year or month; select @@identity
// becomes the connection's last insert identity; a parenthesised select that is
// a member of union all becomes select * from (...). Everything else passes
// unchanged, character for character, also inside literals.
// A text holding a second statement after the first raises EDatabaseError.
QString TranslateJetSql(const QString &jetSql);
