#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

// printf-style formatting with the program's semantics:
// %s text, %d integer, %f fixed with two decimals and FormatSettings' decimal
// separator, %% a percent sign. A wrong argument count or kind raises EConvertError.
QString Format(const QString &format, const QVariantList &args);

// Number display formats of the grids: "0.00", ",0.00", ",.00" and the like.
// "," asks for thousands separators, the digits after "." fix the decimals,
// a leading "0" before the point asks for a mandatory integer digit.
// Separators come from FormatSettings().
QString FormatFloat(const QString &format, double value);

// Shortest text that reads back as the same double, with FormatSettings' separator.
QString FloatToStr(double value);
// Reads a number written with FormatSettings' decimal separator (no thousands
// separators). False for anything else; "12,5" under "." is refused, never 125.
bool TryStrToFloat(const QString &text, double &value);
// Decimal, or hexadecimal with a "0x"/"0X" prefix for texts longer than two characters.
bool TryStrToInt(const QString &text, int &value);
