#pragma once

#include "model/Classes.Journals.Interfaces.h"

// The base of every period-dependent list, journals and reports alike: the
// connection and one parametric query. Constructing opens nothing.
class TTallysetCustomJournal : public virtual ITallysetCustomJournal
{
public:
    // Uses `q` when given, otherwise a parametric query of its own on `db`
    // that no period manager knows.
    TTallysetCustomJournal(IDBConnectionPtr db, IParametricQueryPtr q);

    IParametricQueryPtr GetQuery() override;
    void Refresh() override;
    // Set "bdate", "edate" and "planned" on this object's query only.
    void SetBDate(double value) override;
    void SetEDate(double value) override;
    void SetIncludePlanned(bool value) override;

protected:
    IDBConnectionPtr FDB;
    IParametricQueryPtr FQuery;
};
