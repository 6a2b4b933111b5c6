#include "db/Utils.h"

#include "platform/Dialogs.h"
#include "platform/Format.h"

#include <algorithm>

QString MSAccessDate(double d)
{
    int year = 0, month = 0, day = 0;
    DecodeDate(d, year, month, day);
    return QStringLiteral("#%1/%2/%3#").arg(month).arg(day).arg(year);
}

QString QuotedProcess(const QString &text)
{
    QString result = text;
    result.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return result;
}

QString SetTextValues(const QString &text, const TStrings &values)
{
    static const QString nulText(QChar(0));
    QString result = text;
    for (int i = 0; i < values.Count(); ++i) {
        const QString name = values.Names(i);
        if (name.isEmpty())
            continue;
        QString value = values.ValueFromIndex(i);
        if (value == nulText)
            value.clear();
        result.replace(QLatin1Char('#') + name + QLatin1Char('#'), value, Qt::CaseInsensitive);
    }
    return result;
}

void ShowInfo(const QString &text)
{
    DialogHook().ShowMessage(ApplicationTitle(), text, TMsgDlgType::mtInformation);
}

void ShowInfo(const QString &text, const QVariantList &args)
{
    ShowInfo(Format(text, args));
}

bool QuestionDlg(const QString &askText)
{
    return DialogHook().Question(ApplicationTitle(), askText);
}

bool QuestionDlg(const QString &askText, const QVariantList &args)
{
    return QuestionDlg(Format(askText, args));
}

bool DeleteFromStrList(const QString &deletedStr, QString &src)
{
    QVector<TDelimitedItem> items = ReadDelimitedItems(src, false);
    const QString wanted = deletedStr.trimmed();
    const auto found = std::find_if(items.begin(), items.end(), [&](const TDelimitedItem &item) {
        return item.Text.trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
    });
    if (found == items.end())
        return false;
    items.erase(found);
    if (items.size() == 1 && items.first().Text.isEmpty()) {
        src = QStringLiteral("\"\"");
        return true;
    }
    QStringList written;
    // A double-quoted item keeps its quotes when it holds a blank, so the tag
    // reading (where blanks separate) still sees it as one item.
    for (const TDelimitedItem &item : items)
        written << DelimitedItem(item.Text, item.Quoted);
    src = written.join(QLatin1Char(','));
    return true;
}

TStringIterator::TStringIterator(const QString &src)
{
    FList.SetDelimitedText(src, true);
}

IStringIteratorPtr TStringIterator::New(const QString &src)
{
    return std::make_shared<TStringIterator>(src);
}

bool TStringIterator::Next()
{
    if (FIndex < FList.Count())
        ++FIndex;
    return FIndex < FList.Count();
}

QString TStringIterator::Current()
{
    if (FIndex < 0 || FIndex >= FList.Count())
        return QString();
    return FList[FIndex];
}
