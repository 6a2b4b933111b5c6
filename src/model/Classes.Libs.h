#pragma once

#include "model/Classes.Libs.Interfaces.h"

// A reference list over one table (ID, Name): a view ordered by name, lookups
// by name, add/rename/delete with a duplicate check, combo fills.
// Lookups and fills use throw-away queries and leave the view alone.
class TCommonLib : public ITallysetLib
{
public:
    explicit TCommonLib(IDBConnectionPtr db);

    IQueryPtr GetQuery() override;
    // Reopens the view, staying on the entry it showed (else the first row).
    void Refresh() override;
    // The view's current entry; ID -1 and an empty name when closed or empty.
    TLibRecord GetCurrentRecord() override;
    // Adds the entry unless one of that name exists (then shows a message);
    // libRecord.ID becomes the new or the existing identity, and the view moves there.
    void AddLibRecord(TLibRecord &libRecord) override;
    // The entry of that name; a missing one is offered for adding. ID -1 on No.
    TLibRecord ConfirmAdd(const QString &name) override;
    // Renames libRecord.ID unless another entry has the name (then shows a message).
    void EditLibRecord(const TLibRecord &libRecord) override;
    // Deletes the entry. An entry still used by journal records is refused by the
    // database: raises Exception(c_msgRecordInUse), nothing is deleted or notified.
    void DeleteRecord(int id) override;
    // Names in name order, each with its ID attached; dst is cleared first.
    void ToStrings(TStrings &dst) override;
    QString GetLibAlias() override;
    // The ID of the entry named exactly `name` (letter case aside), or -1.
    int GetRecordID(const QString &name) override;
    void SetLibRefreshHandler(TLibRefreshHadler handler) override;

    // `name` as a pattern of the engine's like that matches only itself
    // (letter case aside): "%", "_" and "[" are put in brackets.
    static QString EscapeLikePattern(const QString &name);

protected:
    void NotifyRefresh();

    IDBConnectionPtr FDB;
    IQueryPtr FQuery;
    QString FTableName;
    TLibRefreshHadler FLibRefreshHandler;
};

class TIncomeTypesLib : public TCommonLib
{
public:
    explicit TIncomeTypesLib(IDBConnectionPtr db);
    QString GetLibName() override;
};

class TExpenseTypesLib : public TCommonLib
{
public:
    explicit TExpenseTypesLib(IDBConnectionPtr db);
    QString GetLibName() override;
};

class TCashTypesLib : public TCommonLib
{
public:
    explicit TCashTypesLib(IDBConnectionPtr db);
    QString GetLibName() override;
};

class TTagsLib : public TCommonLib
{
public:
    explicit TTagsLib(IDBConnectionPtr db);
    QString GetLibName() override;
};
