#pragma once

#include "platform/DateTime.h"
#include "platform/Strings.h"

#include <QString>
#include <QVariantList>
#include <memory>

// Jet date literal "#m/d/yyyy#" of the calendar day of `d`; the time is dropped.
QString MSAccessDate(double d);
// `text` with every double quote doubled, for a double-quoted SQL literal.
QString QuotedProcess(const QString &text);
// Replaces, for each name=value pair of `values` in order, every "#name#"
// (letter case ignored) by the value; a value that is the one character with
// code 0 stands for the empty text. Unknown placeholders stay.
QString SetTextValues(const QString &text, const TStrings &values);

// A message with an OK button, captioned with the application title.
void ShowInfo(const QString &text);
void ShowInfo(const QString &text, const QVariantList &args);
// A Yes/No question, captioned with the application title; true for Yes.
bool QuestionDlg(const QString &askText);
bool QuestionDlg(const QString &askText, const QVariantList &args);

// Removes the first item equal to `deletedStr` (letter case and blanks around
// either ignored) from the comma text `src`, where spaces belong to the items;
// rewrites `src` from the remaining items and returns true. An item that stood
// in double quotes and holds a space keeps its quotes. False and `src`
// unchanged when absent.
bool DeleteFromStrList(const QString &deletedStr, QString &src);

// Walks the items of a comma text.
class IStringIterator
{
public:
    virtual ~IStringIterator() = default;
    // Advances; false when there is no further item.
    virtual bool Next() = 0;
    // The current item; the empty text unless the last Next returned true.
    virtual QString Current() = 0;
    // Back before the first item.
    virtual void Reset() = 0;
};
using IStringIteratorPtr = std::shared_ptr<IStringIterator>;

class TStringIterator : public IStringIterator
{
public:
    explicit TStringIterator(const QString &src);
    // An iterator over the items of `src` (commas and blanks separate, double
    // quotes group), positioned before the first item.
    static IStringIteratorPtr New(const QString &src);

    bool Next() override;
    QString Current() override;
    void Reset() override { FIndex = -1; }

private:
    TStringList FList;
    int FIndex = -1;
};
