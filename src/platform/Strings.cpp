#include "platform/Strings.h"

namespace
{
const QChar c_quote = QLatin1Char('"');
const QChar c_comma = QLatin1Char(',');

// Separating blanks: codes 1..32, or 1..31 when spaces belong to items.
bool IsBlank(QChar c, bool spaceSeparates)
{
    char16_t code = c.unicode();
    return code >= 1 && code <= (spaceSeparates ? 32 : 31);
}

// Characters that make an item need double quotes when written.
bool NeedsQuotes(const QString &item, bool spaceSeparates)
{
    for (QChar c : item)
        if (c == c_quote || c == c_comma || IsBlank(c, spaceSeparates))
            return true;
    return false;
}
} // namespace

void TStrings::CheckIndex(int index) const
{
    if (index < 0 || index >= FItems.size())
        throw EStringListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

int TStrings::AddObject(const QString &text, int object)
{
    FItems.append({text, object});
    return FItems.size() - 1;
}

void TStrings::Insert(int index, const QString &text, int object)
{
    if (index < 0 || index > FItems.size())
        throw EStringListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    FItems.insert(index, {text, object});
}

void TStrings::Delete(int index)
{
    CheckIndex(index);
    FItems.remove(index);
}

bool TStrings::Same(const QString &a, const QString &b) const
{
    return a.compare(b, CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

int TStrings::IndexOf(const QString &text) const
{
    for (int i = 0; i < FItems.size(); ++i)
        if (Same(FItems.at(i).Text, text))
            return i;
    return -1;
}

int TStrings::IndexOfName(const QString &name) const
{
    for (int i = 0; i < FItems.size(); ++i)
    {
        const QString &text = FItems.at(i).Text;
        int eq = text.indexOf(QLatin1Char('='));
        if (eq >= 0 && Same(text.left(eq), name))
            return i;
    }
    return -1;
}

QString TStrings::Names(int index) const
{
    const QString &text = Item(index).Text;
    int eq = text.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : text.left(eq);
}

QString TStrings::ValueFromIndex(int index) const
{
    const QString &text = Item(index).Text;
    int eq = text.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : text.mid(eq + 1);
}

QString TStrings::Values(const QString &name) const
{
    int index = IndexOfName(name);
    return index < 0 ? QString() : ValueFromIndex(index);
}

void TStrings::SetValues(const QString &name, const QString &value)
{
    int index = IndexOfName(name);
    if (value.isEmpty())
    {
        if (index >= 0)
            FItems.remove(index);
        return;
    }
    QString pair = name + QLatin1Char('=') + value;
    if (index < 0)
        Add(pair);
    else
        FItems[index].Text = pair;
}

QString DelimitedItem(const QString &item, bool spaceSeparates)
{
    if (!NeedsQuotes(item, spaceSeparates))
        return item;
    QString quoted = item;
    quoted.replace(c_quote, QStringLiteral("\"\""));
    return c_quote + quoted + c_quote;
}

QVector<TDelimitedItem> ReadDelimitedItems(const QString &text, bool spaceSeparates)
{
    QVector<TDelimitedItem> items;
    const int n = text.size();
    int p = 0;
    auto skipBlanks = [&] {
        while (p < n && IsBlank(text.at(p), spaceSeparates))
            ++p;
    };
    skipBlanks();
    while (p < n)
    {
        TDelimitedItem item;
        if (text.at(p) == c_quote)
        {
            item.Quoted = true;
            ++p;
            while (p < n)
            {
                if (text.at(p) == c_quote)
                {
                    if (p + 1 < n && text.at(p + 1) == c_quote)
                    {
                        item.Text += c_quote;
                        p += 2;
                        continue;
                    }
                    ++p; // the closing quote
                    break;
                }
                item.Text += text.at(p++);
            }
        }
        else
        {
            int start = p;
            while (p < n && text.at(p) != c_comma && !IsBlank(text.at(p), spaceSeparates))
                ++p;
            item.Text = text.mid(start, p - start);
        }
        items.append(item);
        skipBlanks();
        if (p < n && text.at(p) == c_comma)
        {
            if (p == n - 1)
                items.append(TDelimitedItem());
            ++p;
            skipBlanks();
        }
    }
    return items;
}

QString TStrings::DelimitedText(bool spaceSeparates) const
{
    if (FItems.size() == 1 && FItems.first().Text.isEmpty())
        return QStringLiteral("\"\"");
    QString result;
    for (int i = 0; i < FItems.size(); ++i)
    {
        if (i > 0)
            result += c_comma;
        result += DelimitedItem(FItems.at(i).Text, spaceSeparates);
    }
    return result;
}

void TStrings::SetDelimitedText(const QString &text, bool spaceSeparates)
{
    Clear();
    for (const TDelimitedItem &item : ReadDelimitedItems(text, spaceSeparates))
        Add(item.Text);
}

QString TStrings::Text() const { return ToStringList().join(QLatin1Char('\n')); }

void TStrings::SetText(const QString &text)
{
    Clear();
    const int n = text.size();
    int start = 0;
    for (int p = 0; p < n; ++p)
    {
        QChar c = text.at(p);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        Add(text.mid(start, p - start));
        if (c == QLatin1Char('\r') && p + 1 < n && text.at(p + 1) == QLatin1Char('\n'))
            ++p;
        start = p + 1;
    }
    if (start < n)
        Add(text.mid(start));
}

QStringList TStrings::ToStringList() const
{
    QStringList list;
    list.reserve(FItems.size());
    for (const TItem &item : FItems)
        list.append(item.Text);
    return list;
}
