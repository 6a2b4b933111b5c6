#pragma once

#include "platform/Exception.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Raised for an index outside the list.
class EStringListError : public Exception
{
public:
    using Exception::Exception;
};

// A list of texts, each with an attached integer, also used as name=value pairs.
// Comparisons of items and names follow CaseSensitive (false by default).
// An index outside 0..Count()-1 raises EStringListError.
class TStrings
{
public:
    TStrings() = default;

    int Count() const { return FItems.size(); }
    const QString &operator[](int index) const { return Item(index).Text; }
    QString Strings(int index) const { return Item(index).Text; }
    void SetStrings(int index, const QString &value) { Item(index).Text = value; }
    int Objects(int index) const { return Item(index).Object; }
    void SetObjects(int index, int value) { Item(index).Object = value; }

    int Add(const QString &text) { return AddObject(text, 0); }
    int AddObject(const QString &text, int object);
    // index 0..Count().
    void Insert(int index, const QString &text, int object = 0);
    void Delete(int index);
    void Clear() { FItems.clear(); }

    int IndexOf(const QString &text) const;

    // name=value pairs: the name is the part before the first "=".
    int IndexOfName(const QString &name) const;
    QString Names(int index) const;
    QString ValueFromIndex(int index) const;
    QString Values(const QString &name) const;
    // Replaces the value of `name` in place or appends the pair; an empty value
    // removes the pair.
    void SetValues(const QString &name, const QString &value);

    // Comma text: read and written by the rules the program fixes for tag lists:
    // blanks (codes 1..32) and commas separate, double quotes group, a doubled
    // double quote stands for one, a trailing comma gives an empty last item.
    QString CommaText() const { return DelimitedText(true); }
    void SetCommaText(const QString &text) { SetDelimitedText(text, true); }
    // spaceSeparates false: only commas and codes 1..31 separate, and spaces
    // never cause quoting when written.
    QString DelimitedText(bool spaceSeparates) const;
    void SetDelimitedText(const QString &text, bool spaceSeparates);

    // Lines joined by "\n" / split at line breaks (CR LF, CR or LF); a line break
    // at the very end makes no empty last line.
    QString Text() const;
    void SetText(const QString &text);

    QStringList ToStringList() const;

    bool CaseSensitive = false;

private:
    struct TItem
    {
        QString Text;
        int Object = 0;
    };
    bool Same(const QString &a, const QString &b) const;
    void CheckIndex(int index) const;
    const TItem &Item(int index) const { CheckIndex(index); return FItems[index]; }
    TItem &Item(int index) { CheckIndex(index); return FItems[index]; }
    QVector<TItem> FItems;
};

using TStringList = TStrings;

// One item of a comma text and whether it stood between double quotes.
struct TDelimitedItem
{
    QString Text;
    bool Quoted = false;
};
// The items of `text` by the comma-text rules of TStrings::SetDelimitedText.
QVector<TDelimitedItem> ReadDelimitedItems(const QString &text, bool spaceSeparates);
// `item` as a comma text writes it: between double quotes, inner ones doubled,
// when it holds a double quote, a comma or a separating blank.
QString DelimitedItem(const QString &item, bool spaceSeparates);
