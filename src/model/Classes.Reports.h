#pragma once

#include "model/Classes.Journals.Common.h"
#include "model/Classes.Reports.Interfaces.h"

#include <memory>

class TTallysetCustomReport;

// Creates a report on `db`, adopting `q` (may be empty) as its query.
using TReportClass = std::shared_ptr<TTallysetCustomReport> (*)(IDBConnectionPtr db, IParametricQueryPtr q);

// A read-only table the database computes for the working period: a journal
// whose query carries one fixed text, set at construction; nothing is opened.
class TTallysetCustomReport : public TTallysetCustomJournal, public ITallysetCustomReport
{
public:
    TTallysetCustomReport(IDBConnectionPtr db, IParametricQueryPtr q) : TTallysetCustomJournal(std::move(db), std::move(q)) {}
};

// Balances per cash type: Name, ct_id, startrem, debet, credit, transferdebet,
// transfercredit, endrem.
class TReportMain : public TTallysetCustomReport
{
public:
    TReportMain(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
    static std::shared_ptr<TTallysetCustomReport> New(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
};

// Incomes per income type: id, Name, fsv, psv, sv.
class TReportIncomes : public TTallysetCustomReport
{
public:
    TReportIncomes(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
    static std::shared_ptr<TTallysetCustomReport> New(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
};

// Expenses per expense type: id, Name, fsv, psv, sv.
class TReportExpenses : public TTallysetCustomReport
{
public:
    TReportExpenses(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
    static std::shared_ptr<TTallysetCustomReport> New(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
};

// Expenses per tag, ordered by sv: id, Name, fsv, psv, sv. Untagged expenses
// form one row with empty id and name; a multi-tagged one counts for each tag.
class TReportExpensesByTags : public TTallysetCustomReport
{
public:
    TReportExpensesByTags(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
    static std::shared_ptr<TTallysetCustomReport> New(IDBConnectionPtr db, IParametricQueryPtr q = nullptr);
};
