#pragma once

#include "platform/Format.h"

#include <QColor>
#include <QString>

// The colours and number texts the chart's parts share.
namespace ChartLook {

inline const QColor c_ink(0x33, 0x3B, 0x45);
inline const QColor c_border(0xB8, 0xBF, 0xC8);

// An amount as legends, marks and tips show it: two decimals, thousands separated.
inline QString AmountText(double value)
{
    return FormatFloat(QStringLiteral(",0.00"), value);
}

} // namespace ChartLook
