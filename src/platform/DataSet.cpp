#include "platform/DataSet.h"

#include "platform/DateTime.h"
#include "platform/Exception.h"
#include "platform/Format.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace
{

const QVariant kNull;

bool IsIntegral(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool IsNumeric(int typeId)
{
    return IsIntegral(typeId) || typeId == QMetaType::Double || typeId == QMetaType::Float;
}

// 'yyyy-mm-dd' or 'yyyy-mm-dd hh:mm:ss', as the engine stores days.
bool IsoToDateTime(const QString &text, TDateTime &result)
{
    if (text.size() == 10) {
        const QDate d = QDate::fromString(text, Qt::ISODate);
        if (!d.isValid())
            return false;
        result = FromQDate(d);
        return true;
    }
    if (text.size() >= 19) {
        QString iso = text;
        if (iso.at(10) == QLatin1Char(' '))
            iso[10] = QLatin1Char('T');
        const QDateTime dt = QDateTime::fromString(iso, Qt::ISODate);
        if (!dt.isValid())
            return false;
        result = FromQDateTime(dt);
        return true;
    }
    return false;
}

QString CellText(const QVariant &v, TFieldType type)
{
    if (v.isNull())
        return QString();
    const int t = v.typeId();
    if (t == QMetaType::QString)
        return v.toString();
    if (type == TFieldType::DateTime && IsNumeric(t))
        return DateTimeToStr(v.toDouble());
    if (IsIntegral(t))
        return QString::number(v.toLongLong());
    if (t == QMetaType::Double || t == QMetaType::Float)
        return FloatToStr(v.toDouble());
    return v.toString();
}

// Sort key of one cell: NULLs first, then numbers, then texts (case-folded).
struct TKey
{
    int Class = 0; // 0 NULL, 1 number, 2 text
    double Number = 0;
    QString Text;
};

TKey MakeKey(const QVariant &v)
{
    TKey k;
    if (v.isNull())
        return k;
    const int t = v.typeId();
    if (IsNumeric(t)) {
        k.Class = 1;
        k.Number = v.toDouble();
    } else {
        k.Class = 2;
        k.Text = v.toString().toCaseFolded();
    }
    return k;
}

int CompareKeys(const TKey &a, const TKey &b)
{
    if (a.Class != b.Class)
        return a.Class < b.Class ? -1 : 1;
    if (a.Class == 1)
        return a.Number < b.Number ? -1 : (a.Number > b.Number ? 1 : 0);
    if (a.Class == 2)
        return a.Text.compare(b.Text, Qt::CaseSensitive);
    return 0;
}

QString Unbracket(QString name)
{
    name = name.trimmed();
    if (name.size() >= 2 && name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
        name = name.mid(1, name.size() - 2).trimmed();
    return name;
}

// "Field = 'text'" with '' standing for one quote; the value may also be
// written without quotes (a number). False for anything else.
bool ParseFilter(const QString &expression, QString &field, QString &value)
{
    const qsizetype eq = expression.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    field = Unbracket(expression.left(eq));
    if (field.isEmpty())
        return false;
    const QString rest = expression.mid(eq + 1).trimmed();
    if (rest.startsWith(QLatin1Char('\''))) {
        value.clear();
        qsizetype i = 1;
        for (; i < rest.size(); ++i) {
            if (rest.at(i) == QLatin1Char('\'')) {
                if (i + 1 < rest.size() && rest.at(i + 1) == QLatin1Char('\'')) {
                    value.append(QLatin1Char('\''));
                    ++i;
                    continue;
                }
                break;
            }
            value.append(rest.at(i));
        }
        return i == rest.size() - 1;
    }
    if (rest.isEmpty() || rest.contains(QLatin1Char(' ')) || rest.contains(QLatin1Char('\'')))
        return false;
    value = rest;
    return true;
}

bool ValuesEqual(const QVariant &cell, const QVariant &value)
{
    if (cell.isNull() || value.isNull())
        return cell.isNull() && value.isNull();
    const int ct = cell.typeId();
    int vt = value.typeId();
    QVariant v = value;
    if (vt == QMetaType::QDate) {
        v = FromQDate(value.toDate());
        vt = QMetaType::Double;
    } else if (vt == QMetaType::QDateTime) {
        v = FromQDateTime(value.toDateTime());
        vt = QMetaType::Double;
    }
    if (IsNumeric(ct) && IsNumeric(vt)) {
        if (IsIntegral(ct) && IsIntegral(vt))
            return cell.toLongLong() == v.toLongLong();
        return cell.toDouble() == v.toDouble();
    }
    if (ct == QMetaType::QString && vt == QMetaType::QString)
        return cell.toString() == v.toString();
    // A number against a text: equal when the text is that number.
    bool ok = false;
    if (IsNumeric(ct)) {
        const double d = v.toString().trimmed().toDouble(&ok);
        return ok && d == cell.toDouble();
    }
    if (IsNumeric(vt)) {
        const double d = cell.toString().trimmed().toDouble(&ok);
        return ok && d == v.toDouble();
    }
    return cell == v;
}

} // namespace

// ---- TField ------------------------------------------------------------------

bool TField::IsNull() const
{
    return FOwner->CurrentValue(FIndex).isNull();
}

QVariant TField::Value() const
{
    return FOwner->CurrentValue(FIndex);
}

int TField::AsInteger() const
{
    const QVariant &v = FOwner->CurrentValue(FIndex);
    if (v.isNull())
        return 0;
    const int t = v.typeId();
    if (IsIntegral(t))
        return int(v.toLongLong());
    if (IsNumeric(t))
        return int(std::nearbyint(v.toDouble())); // half to even, as a classic dataset rounds
    int result = 0;
    if (!TryStrToInt(v.toString().trimmed(), result))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
    return result;
}

double TField::AsFloat() const
{
    const QVariant &v = FOwner->CurrentValue(FIndex);
    if (v.isNull())
        return 0;
    if (IsNumeric(v.typeId()))
        return v.toDouble();
    double result = 0;
    if (!TryStrToFloat(v.toString().trimmed(), result))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
    return result;
}

TDateTime TField::AsDateTime() const
{
    const QVariant &v = FOwner->CurrentValue(FIndex);
    if (v.isNull())
        return 0;
    const int t = v.typeId();
    if (IsNumeric(t))
        return v.toDouble();
    if (t == QMetaType::QDate)
        return FromQDate(v.toDate());
    if (t == QMetaType::QDateTime)
        return FromQDateTime(v.toDateTime());
    const QString text = v.toString().trimmed();
    TDateTime result = 0;
    if (IsoToDateTime(text, result) || TryStrToDateTime(text, result))
        return result;
    throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(v.toString()));
}

QString TField::AsString() const
{
    return CellText(FOwner->CurrentValue(FIndex), FDataType);
}

// ---- TDataSet ------------------------------------------------------------------

TDataSet::TDataSet(QObject *parent) : QObject(parent) {}

TDataSet::~TDataSet() = default;

void TDataSet::CheckActive() const
{
    if (!FActive)
        throw EDatabaseError(QStringLiteral("Dataset not open"));
}

void TDataSet::Open(std::shared_ptr<TRowSet> rows)
{
    if (!rows)
        rows = std::make_shared<TRowSet>();
    const int columns = int(rows->ColumnNames.size());
    bool sameFields = int(FFields.size()) == columns;
    for (int c = 0; sameFields && c < columns; ++c)
        sameFields = FFields[size_t(c)]->FieldName() == rows->ColumnNames.at(c) &&
                     FFields[size_t(c)]->DataType() == rows->ColumnTypes.value(c, TFieldType::Unknown);

    FActive = false;
    FCurrent = -1;
    FEof = FBof = true;
    FVisible.clear();
    FSort.clear();
    FSortKeys.clear();
    if (!sameFields) {
        FFields.clear();
        for (int c = 0; c < columns; ++c)
            FFields.push_back(std::make_unique<TField>(this, c, rows->ColumnNames.at(c),
                                                       rows->ColumnTypes.value(c, TFieldType::Unknown)));
    }
    FRows = std::move(rows);

    int filterField = -1;
    try {
        filterField = FilterFieldFor(FFilterFieldName);
    } catch (...) {
        FRows.reset();
        Q_EMIT DataChanged();
        throw;
    }
    FFilterField = filterField;
    FActive = true;
    Rebuild();
    Reset();
}

void TDataSet::Close()
{
    const bool was = FActive;
    FActive = false;
    FRows.reset();
    FVisible.clear();
    FCurrent = -1;
    FEof = FBof = true;
    FFilterField = -1;
    if (was)
        Q_EMIT DataChanged();
}

TField *TDataSet::FindField(const QString &name) const
{
    for (const auto &f : FFields)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

TField *TDataSet::FieldByName(const QString &name) const
{
    TField *f = FindField(name);
    if (!f)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return f;
}

void TDataSet::MoveTo(int visibleIndex, bool eof)
{
    FCurrent = visibleIndex;
    FBof = false;
    FEof = eof;
    Q_EMIT AfterScroll();
}

void TDataSet::Reset()
{
    FCurrent = FVisible.empty() ? -1 : 0;
    FBof = true;
    FEof = FVisible.empty();
    Q_EMIT DataChanged();
    if (FCurrent >= 0)
        Q_EMIT AfterScroll();
}

void TDataSet::First()
{
    CheckActive();
    if (FVisible.empty()) {
        FBof = FEof = true;
        return;
    }
    FCurrent = 0;
    FBof = true;
    FEof = false;
    Q_EMIT AfterScroll();
}

void TDataSet::Next()
{
    CheckActive();
    if (FVisible.empty()) {
        FBof = FEof = true;
        return;
    }
    if (FCurrent + 1 < int(FVisible.size())) {
        MoveTo(FCurrent + 1);
    } else {
        FBof = false;
        FEof = true;
    }
}

void TDataSet::Prior()
{
    CheckActive();
    if (FVisible.empty()) {
        FBof = FEof = true;
        return;
    }
    if (FCurrent > 0) {
        MoveTo(FCurrent - 1);
    } else {
        FBof = true;
        FEof = false;
    }
}

void TDataSet::Last()
{
    CheckActive();
    if (FVisible.empty()) {
        FBof = FEof = true;
        return;
    }
    FCurrent = int(FVisible.size()) - 1;
    FBof = false;
    FEof = true;
    Q_EMIT AfterScroll();
}

bool TDataSet::Eof() const
{
    return !FActive || FEof;
}

bool TDataSet::Bof() const
{
    return !FActive || FBof;
}

bool TDataSet::IsEmpty() const
{
    return !FActive || FVisible.empty();
}

int TDataSet::RecordCount() const
{
    CheckActive();
    return int(FVisible.size());
}

int TDataSet::RecNo() const
{
    CheckActive();
    return FCurrent + 1;
}

void TDataSet::SetRecNo(int value)
{
    CheckActive();
    if (FVisible.empty())
        return;
    const int index = std::clamp(value, 1, int(FVisible.size())) - 1;
    if (index != FCurrent)
        MoveTo(index);
}

bool TDataSet::Locate(const QString &fieldName, const QVariant &value)
{
    CheckActive();
    const int field = FieldByName(fieldName)->Index();
    for (size_t i = 0; i < FVisible.size(); ++i) {
        const QVector<QVariant> &row = FRows->Rows.at(FVisible[i]);
        if (field < row.size() && ValuesEqual(row.at(field), value)) {
            MoveTo(int(i));
            return true;
        }
    }
    return false;
}

void TDataSet::SetSort(const QString &expression)
{
    CheckActive();
    std::vector<TSortKey> keys;
    const QString text = expression.trimmed();
    if (!text.isEmpty()) {
        for (const QString &part : text.split(QLatin1Char(','))) {
            QString item = part.trimmed();
            bool descending = false;
            const qsizetype blank = item.lastIndexOf(QLatin1Char(' '));
            if (blank > 0) {
                const QString word = item.mid(blank + 1);
                if (word.compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0) {
                    descending = true;
                    item = item.left(blank);
                } else if (word.compare(QLatin1String("ASC"), Qt::CaseInsensitive) == 0) {
                    item = item.left(blank);
                }
            }
            item = Unbracket(item);
            if (item.isEmpty())
                throw EDatabaseError(QStringLiteral("Invalid sort expression: %1").arg(expression));
            keys.push_back({FieldByName(item)->Index(), descending});
        }
    }
    FSort = expression;
    FSortKeys = std::move(keys);
    Rebuild();
    Reset();
}

int TDataSet::FilterFieldFor(const QString &name) const
{
    if (name.isEmpty())
        return -1;
    return FieldByName(name)->Index();
}

void TDataSet::SetFilter(const QString &expression)
{
    const QString text = expression.trimmed();
    if (text.isEmpty() && FFilter.isEmpty())
        return;
    QString field, value;
    if (!text.isEmpty() && !ParseFilter(text, field, value))
        throw EDatabaseError(QStringLiteral("Invalid filter expression: %1").arg(expression));
    int filterField = -1;
    if (FActive)
        filterField = FilterFieldFor(field);
    FFilter = text.isEmpty() ? QString() : expression;
    FFilterFieldName = field;
    FFilterValue = value;
    if (!FActive)
        return;
    FFilterField = filterField;
    Rebuild();
    Reset();
}

std::vector<int> TDataSet::VisibleRows(int filterField) const
{
    std::vector<int> rows;
    const QVector<QVector<QVariant>> &all = FRows->Rows;
    if (filterField < 0) {
        rows.resize(size_t(all.size()));
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i] = int(i);
        return rows;
    }
    const TFieldType type = FFields.at(size_t(filterField))->DataType();
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QVector<QVariant> &row = all.at(i);
        if (filterField < row.size() && CellText(row.at(filterField), type) == FFilterValue)
            rows.push_back(int(i));
    }
    return rows;
}

void TDataSet::SortRows(std::vector<int> &rows, const std::vector<TSortKey> &keys) const
{
    if (keys.empty() || rows.size() < 2)
        return;
    // Keys are made once per visible row and sort key, then compared.
    const size_t n = rows.size();
    std::vector<std::vector<TKey>> made(keys.size());
    for (size_t k = 0; k < keys.size(); ++k) {
        made[k].resize(n);
        for (size_t i = 0; i < n; ++i) {
            const QVector<QVariant> &row = FRows->Rows.at(rows[i]);
            if (keys[k].Field < row.size())
                made[k][i] = MakeKey(row.at(keys[k].Field));
        }
    }
    std::vector<int> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (size_t k = 0; k < keys.size(); ++k) {
            const int c = CompareKeys(made[k][size_t(a)], made[k][size_t(b)]);
            if (c != 0)
                return keys[k].Descending ? c > 0 : c < 0;
        }
        return false;
    });
    std::vector<int> sorted(n);
    for (size_t i = 0; i < n; ++i)
        sorted[i] = rows[size_t(order[i])];
    rows.swap(sorted);
}

void TDataSet::Rebuild()
{
    std::vector<int> rows = VisibleRows(FFilterField);
    SortRows(rows, FSortKeys);
    FVisible.swap(rows);
}

QVariant TDataSet::ValueAt(int visibleRow, int fieldIndex) const
{
    if (!FActive || visibleRow < 0 || visibleRow >= int(FVisible.size()))
        return QVariant();
    const QVector<QVariant> &row = FRows->Rows.at(FVisible[size_t(visibleRow)]);
    return fieldIndex >= 0 && fieldIndex < row.size() ? row.at(fieldIndex) : QVariant();
}

const QVariant &TDataSet::CurrentValue(int fieldIndex) const
{
    if (!FActive || FCurrent < 0 || FCurrent >= int(FVisible.size()))
        return kNull;
    const QVector<QVariant> &row = FRows->Rows.at(FVisible[size_t(FCurrent)]);
    return fieldIndex >= 0 && fieldIndex < row.size() ? row.at(fieldIndex) : kNull;
}
