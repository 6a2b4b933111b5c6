#pragma once

#include "platform/SqlEngine.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>
#include <vector>

class TDataSet;

// One column of a dataset; its values are those of the dataset's current row.
// A NULL reads as 0 or as the empty text.
class TField
{
public:
    TField(TDataSet *owner, int index, QString name, TFieldType type)
        : FOwner(owner), FIndex(index), FFieldName(std::move(name)), FDataType(type) {}
    const QString &FieldName() const { return FFieldName; }
    TFieldType DataType() const { return FDataType; }
    int Index() const { return FIndex; }
    bool IsNull() const;
    QVariant Value() const;
    int AsInteger() const;
    double AsFloat() const;
    TDateTime AsDateTime() const;
    // Plain text form: a date in the short date format (with the time when it
    // is not midnight), a number by FloatToStr, texts as stored.
    QString AsString() const;

private:
    TDataSet *FOwner;
    int FIndex;
    QString FFieldName;
    TFieldType FDataType;
};

// A fully fetched client-side rowset with a cursor over its visible rows
// (filtered and sorted). RecNo counts visible rows from 1; 0 when empty.
// Moving the cursor emits AfterScroll; replacing, sorting or filtering the rows
// emits DataChanged (views reset), then AfterScroll.
class TDataSet : public QObject
{
    Q_OBJECT
public:
    explicit TDataSet(QObject *parent = nullptr);
    ~TDataSet() override;

    // Takes a fetched result and opens on its first visible row; the sort is
    // cleared, the filter stays in force (a filter on a column the result lacks
    // raises EDatabaseError and the dataset stays closed). AfterScroll follows
    // only when there is a row to stand on. Fields keep their objects across a
    // reopen with the same columns.
    void Open(std::shared_ptr<TRowSet> rows);
    void Close();
    bool Active() const { return FActive; }

    int FieldCount() const { return int(FFields.size()); }
    TField *Fields(int index) const { return FFields.at(index).get(); }
    // Case-insensitive; nullptr when missing.
    TField *FindField(const QString &name) const;
    // Case-insensitive; raises EDatabaseError "Field 'X' not found" when missing.
    TField *FieldByName(const QString &name) const;

    // Cursor. Raising EDatabaseError "Dataset not open" when closed, except Eof/Bof/IsEmpty.
    // As in a classic dataset: First sets Bof, Last sets Eof; on an empty
    // dataset both are true.
    void First();
    void Next();  // past the last row: Eof true, the cursor stays on the last row
    void Prior(); // before the first row: Bof true, the cursor stays on the first row
    void Last();
    bool Eof() const;
    bool Bof() const;
    bool IsEmpty() const;
    int RecordCount() const; // visible rows
    int RecNo() const;
    // Moves to a visible row (1-based); out-of-range values are clamped to the
    // last or first row.
    void SetRecNo(int value);
    // Exact match of the field's value (numbers compared numerically, texts
    // exactly); moves and returns true, or stays and returns false.
    bool Locate(const QString &fieldName, const QVariant &value);

    // "F1 DESC, F2 ASC, F3" (ASC when omitted); empty: the order of the SQL.
    // Stable; texts compare Unicode case-insensitively. Keeps no position by itself.
    void SetSort(const QString &expression);
    QString Sort() const { return FSort; }
    // "Field = 'text'" (a doubled single quote inside stands for one); compares
    // the field's AsString exactly. Empty: all rows. Goes to the first visible row.
    void SetFilter(const QString &expression);
    QString Filter() const { return FFilter; }

    // For views: a value of a visible row without moving the cursor.
    QVariant ValueAt(int visibleRow, int fieldIndex) const;
    // A value of the current row, used by TField; an invalid QVariant (NULL)
    // when the dataset is closed or empty.
    const QVariant &CurrentValue(int fieldIndex) const;

Q_SIGNALS:
    void AfterScroll();
    void DataChanged();

private:
    struct TSortKey
    {
        int Field;
        bool Descending;
    };

    void Rebuild();   // recompute the visible row order from filter and sort
    void MoveTo(int visibleIndex, bool eof = false);
    void CheckActive() const;
    int FilterFieldFor(const QString &name) const;
    std::vector<int> VisibleRows(int filterField) const;
    void SortRows(std::vector<int> &rows, const std::vector<TSortKey> &keys) const;
    void Reset(); // DataChanged, then AfterScroll on the first visible row if any

    bool FActive = false;
    std::shared_ptr<TRowSet> FRows;
    std::vector<std::unique_ptr<TField>> FFields;
    std::vector<int> FVisible; // indexes into FRows->Rows
    int FCurrent = -1;         // index into FVisible, -1 when empty
    bool FEof = true;
    bool FBof = true;
    QString FSort;
    QString FFilter;
    std::vector<TSortKey> FSortKeys;
    QString FFilterFieldName; // parsed filter: "Field = 'value'"
    QString FFilterValue;
    int FFilterField = -1;    // index in the open fields, -1 without a filter
};
