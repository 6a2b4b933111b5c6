#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

// printf-style formatting with the program's semantics:
// %s text, %d integer, %f fixed with two decimals and FormatSettings' decimal
// separator, %% a percent sign. A wrong argument count or kind raises EConvertError.
// %d takes the integer types and bool (0 or 1); %f takes double or float only,
// rounds half away from zero as the number is written (2.675 gives 2.68), never
// groups thousands and never writes "-0.00".
QString Format(const QString &format, const QVariantList &args);

// Number display formats of the grids: "0.00", ",0.00", ",.00" and the like.
// "," asks for thousands separators, the digits after "." fix the decimals,
// a leading "0" before the point asks for a mandatory integer digit.
// Separators come from FormatSettings().
QString FormatFloat(const QString &format, double value);

// Shortest text that reads back as the same double, with FormatSettings' separator;
// plain digits for magnitudes from 1E-5 up to below 1E15, else mantissa and
// exponent ("1E20", "-2.5E-7").
QString FloatToStr(double value);
// Reads a number written with FormatSettings' decimal separator (no thousands
// separators). False for anything else; "12,5" under "." is refused, never 125.
// Blanks around the number are ignored; an exponent ("1e20", "1.5E-3") is
// accepted, so every FloatToStr text reads back; infinities, NaN and numbers
// beyond the double range are refused. `value` changes only on success.
bool TryStrToFloat(const QString &text, double &value);
// Decimal, or hexadecimal with a "0x"/"0X" prefix for texts longer than two characters,
// with an optional sign and blanks around. False outside the int range.
bool TryStrToInt(const QString &text, int &value);
