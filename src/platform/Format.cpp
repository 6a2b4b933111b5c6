#include "platform/Format.h"

#include "platform/DateTime.h"
#include "platform/Exception.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace
{
// The decimal digits of |value| rounded half away from zero to `decimals` places,
// starting from the shortest text that reads back as the same double (so 2.675
// rounds to 2.68 as written, not as stored). `integerDigits` and `fractionDigits`
// receive the parts; the result tells whether any digit is non-zero.
bool RoundedDigits(double value, int decimals, std::string &integerDigits, std::string &fractionDigits)
{
    char buffer[64];
    auto res = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
    std::string text(buffer, res.ptr);
    // text: d[.ddd]e[+-]xx
    std::size_t ePos = text.find('e');
    std::string mantissa = text.substr(0, ePos);
    int exponent = std::stoi(text.substr(ePos + 1));
    std::string digits;
    for (char c : mantissa)
        if (c != '.')
            digits += c;
    // digits represent d.ddd * 10^exponent; the point sits after (exponent + 1) digits.
    int pointPos = exponent + 1;
    if (pointPos <= 0)
    {
        digits = std::string(static_cast<std::size_t>(-pointPos + 1), '0') + digits;
        pointPos = 1;
    }
    if (static_cast<int>(digits.size()) < pointPos + decimals + 1)
        digits.append(static_cast<std::size_t>(pointPos + decimals + 1 - static_cast<int>(digits.size())), '0');
    bool roundUp = digits[static_cast<std::size_t>(pointPos + decimals)] >= '5';
    digits.resize(static_cast<std::size_t>(pointPos + decimals));
    if (roundUp)
    {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i)
        {
            if (digits[static_cast<std::size_t>(i)] == '9')
                digits[static_cast<std::size_t>(i)] = '0';
            else
            {
                ++digits[static_cast<std::size_t>(i)];
                break;
            }
        }
        if (i < 0)
        {
            digits = '1' + digits;
            ++pointPos;
        }
    }
    integerDigits = digits.substr(0, static_cast<std::size_t>(pointPos));
    fractionDigits = digits.substr(static_cast<std::size_t>(pointPos));
    std::size_t firstNonZero = integerDigits.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        integerDigits.assign(1, '0');
    else
        integerDigits = integerDigits.substr(firstNonZero);
    return digits.find_first_not_of('0') != std::string::npos;
}

QString GroupThousands(const QString &digits, QChar separator)
{
    QString result;
    int n = digits.size();
    for (int i = 0; i < n; ++i)
    {
        if (i > 0 && (n - i) % 3 == 0)
            result += separator;
        result += digits.at(i);
    }
    return result;
}

// Fixed-point text with `decimals` places, FormatSettings' separator, no grouping.
QString FixedText(double value, int decimals)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    std::string intPart, fracPart;
    bool nonZero = RoundedDigits(value, decimals, intPart, fracPart);
    QString result;
    if (value < 0 && nonZero)
        result += QLatin1Char('-');
    result += QString::fromStdString(intPart);
    if (decimals > 0)
        result += FormatSettings().DecimalSeparator + QString::fromStdString(fracPart);
    return result;
}

QString TypeName(const QVariant &value)
{
    return value.isValid() ? QString::fromLatin1(value.typeName()) : QStringLiteral("nothing");
}

bool IsIntegerType(int typeId)
{
    switch (typeId)
    {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool IsFloatType(int typeId) { return typeId == QMetaType::Double || typeId == QMetaType::Float; }

bool IsTextType(int typeId)
{
    return typeId == QMetaType::QString || typeId == QMetaType::QChar || typeId == QMetaType::QByteArray;
}
} // namespace

QString Format(const QString &format, const QVariantList &args)
{
    QString result;
    result.reserve(format.size() + 16 * args.size());
    int argIndex = 0;
    auto nextArg = [&](QChar kind) -> const QVariant & {
        if (argIndex >= args.size())
            throw EConvertError(QStringLiteral("Format \"%1\": no argument for %%2 (%3 given)")
                                    .arg(format, QString(kind))
                                    .arg(args.size()));
        return args.at(argIndex++);
    };
    for (int i = 0; i < format.size(); ++i)
    {
        QChar c = format.at(i);
        if (c != QLatin1Char('%'))
        {
            result += c;
            continue;
        }
        if (i + 1 >= format.size())
            throw EConvertError(QStringLiteral("Format \"%1\": a lone %% at the end").arg(format));
        QChar kind = format.at(++i);
        switch (kind.unicode())
        {
        case '%':
            result += QLatin1Char('%');
            break;
        case 's':
        case 'S': {
            const QVariant &arg = nextArg(kind);
            if (!IsTextType(arg.typeId()))
                throw EConvertError(QStringLiteral("Format \"%1\": %s needs a text, argument %2 is %3")
                                        .arg(format)
                                        .arg(argIndex)
                                        .arg(TypeName(arg)));
            result += arg.toString();
            break;
        }
        case 'd':
        case 'D': {
            const QVariant &arg = nextArg(kind);
            if (!IsIntegerType(arg.typeId()))
                throw EConvertError(QStringLiteral("Format \"%1\": %d needs an integer, argument %2 is %3")
                                        .arg(format)
                                        .arg(argIndex)
                                        .arg(TypeName(arg)));
            if (arg.typeId() == QMetaType::ULongLong || arg.typeId() == QMetaType::ULong)
                result += QString::number(arg.toULongLong());
            else
                result += QString::number(arg.toLongLong());
            break;
        }
        case 'f':
        case 'F': {
            const QVariant &arg = nextArg(kind);
            if (!IsFloatType(arg.typeId()))
                throw EConvertError(QStringLiteral("Format \"%1\": %f needs a floating-point number, argument %2 is %3")
                                        .arg(format)
                                        .arg(argIndex)
                                        .arg(TypeName(arg)));
            result += FixedText(arg.toDouble(), 2);
            break;
        }
        default:
            throw EConvertError(
                QStringLiteral("Format \"%1\": unknown conversion %%2").arg(format, QString(kind)));
        }
    }
    if (argIndex != args.size())
        throw EConvertError(QStringLiteral("Format \"%1\": %2 arguments given, %3 used")
                                .arg(format)
                                .arg(args.size())
                                .arg(argIndex));
    return result;
}

QString FormatFloat(const QString &format, double value)
{
    if (format.isEmpty())
        return FloatToStr(value);
    // [prefix] number pattern of "#0,." [suffix]
    int start = 0;
    auto isPattern = [](QChar c) {
        return c == QLatin1Char('#') || c == QLatin1Char('0') || c == QLatin1Char(',') || c == QLatin1Char('.');
    };
    while (start < format.size() && !isPattern(format.at(start)))
        ++start;
    int end = start;
    while (end < format.size() && isPattern(format.at(end)))
        ++end;
    QString prefix = format.left(start);
    QString pattern = format.mid(start, end - start);
    QString suffix = format.mid(end);

    int point = pattern.indexOf(QLatin1Char('.'));
    QString integerPattern = point < 0 ? pattern : pattern.left(point);
    QString fractionPattern = point < 0 ? QString() : pattern.mid(point + 1);
    bool grouping = integerPattern.contains(QLatin1Char(','));
    int minIntegerDigits = integerPattern.count(QLatin1Char('0'));
    int minDecimals = fractionPattern.count(QLatin1Char('0'));
    int maxDecimals = minDecimals + fractionPattern.count(QLatin1Char('#'));

    if (std::isnan(value) || std::isinf(value))
        return prefix + FixedText(value, 0) + suffix;

    std::string intPart, fracPart;
    bool nonZero = RoundedDigits(value, maxDecimals, intPart, fracPart);
    while (static_cast<int>(fracPart.size()) > minDecimals && !fracPart.empty() && fracPart.back() == '0')
        fracPart.pop_back();
    QString integerText = intPart == "0" ? QString() : QString::fromStdString(intPart);
    while (integerText.size() < minIntegerDigits)
        integerText.prepend(QLatin1Char('0'));
    if (grouping)
        integerText = GroupThousands(integerText, FormatSettings().ThousandSeparator);

    QString result = prefix;
    if (value < 0 && nonZero)
        result += QLatin1Char('-');
    result += integerText;
    if (!fracPart.empty())
        result += FormatSettings().DecimalSeparator + QString::fromStdString(fracPart);
    if (integerText.isEmpty() && fracPart.empty())
        result += QLatin1Char('0');
    return result + suffix;
}

QString FloatToStr(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string text(buffer, res.ptr);
    std::size_t ePos = text.find('e');
    int exponent = std::stoi(text.substr(ePos + 1));
    QString result;
    if (exponent >= -5 && exponent < 15)
    {
        res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
        result = QString::fromLatin1(buffer, static_cast<int>(res.ptr - buffer));
    }
    else
    {
        // Mantissa and exponent: "1.5E20", "1E-7".
        std::string mantissa = text.substr(0, ePos);
        result = QString::fromStdString(mantissa) + QLatin1Char('E') + QString::number(exponent);
    }
    result.replace(QLatin1Char('.'), FormatSettings().DecimalSeparator);
    return result;
}

bool TryStrToFloat(const QString &text, double &value)
{
    QString t = text.trimmed();
    QChar separator = FormatSettings().DecimalSeparator;
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(t.size()));
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
    {
        negative = t.at(i) == QLatin1Char('-');
        ++i;
    }
    int mantissaDigits = 0;
    while (i < t.size() && t.at(i).unicode() >= '0' && t.at(i).unicode() <= '9')
    {
        ascii += static_cast<char>(t.at(i++).unicode());
        ++mantissaDigits;
    }
    if (i < t.size() && t.at(i) == separator)
    {
        ascii += '.';
        ++i;
        while (i < t.size() && t.at(i).unicode() >= '0' && t.at(i).unicode() <= '9')
        {
            ascii += static_cast<char>(t.at(i++).unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < t.size() && (t.at(i) == QLatin1Char('e') || t.at(i) == QLatin1Char('E')))
    {
        ascii += 'e';
        ++i;
        if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
            ascii += static_cast<char>(t.at(i++).unicode());
        int exponentDigits = 0;
        while (i < t.size() && t.at(i).unicode() >= '0' && t.at(i).unicode() <= '9')
        {
            ascii += static_cast<char>(t.at(i++).unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    if (i != t.size())
        return false;
    double parsed = 0;
    auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), parsed);
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size() || !std::isfinite(parsed))
        return false;
    value = negative ? -parsed : parsed;
    return true;
}

bool TryStrToInt(const QString &text, int &value)
{
    QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
    {
        negative = t.at(i) == QLatin1Char('-');
        ++i;
    }
    QString body = t.mid(i);
    int base = 10;
    if (body.size() > 2 && body.at(0) == QLatin1Char('0') &&
        (body.at(1) == QLatin1Char('x') || body.at(1) == QLatin1Char('X')))
    {
        base = 16;
        body = body.mid(2);
    }
    if (body.isEmpty())
        return false;
    qint64 magnitude = 0;
    for (QChar c : body)
    {
        int digit = -1;
        char16_t u = c.unicode();
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (base == 16 && u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (base == 16 && u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        if (digit < 0)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > static_cast<qint64>(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    qint64 signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int>::max() || signedValue < std::numeric_limits<int>::min())
        return false;
    value = static_cast<int>(signedValue);
    return true;
}
