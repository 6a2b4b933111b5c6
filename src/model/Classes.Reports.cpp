#include "model/Classes.Reports.h"

#include "db/Constants.h"

TReportMain::TReportMain(IDBConnectionPtr db, IParametricQueryPtr q) : TTallysetCustomReport(std::move(db), std::move(q))
{
    FQuery->SetSQL(c_sqlRepMainReport);
}

std::shared_ptr<TTallysetCustomReport> TReportMain::New(IDBConnectionPtr db, IParametricQueryPtr q)
{
    return std::make_shared<TReportMain>(std::move(db), std::move(q));
}

TReportIncomes::TReportIncomes(IDBConnectionPtr db, IParametricQueryPtr q) : TTallysetCustomReport(std::move(db), std::move(q))
{
    FQuery->SetSQL(c_sqlRepIncomesReport);
}

std::shared_ptr<TTallysetCustomReport> TReportIncomes::New(IDBConnectionPtr db, IParametricQueryPtr q)
{
    return std::make_shared<TReportIncomes>(std::move(db), std::move(q));
}

TReportExpenses::TReportExpenses(IDBConnectionPtr db, IParametricQueryPtr q) : TTallysetCustomReport(std::move(db), std::move(q))
{
    FQuery->SetSQL(c_sqlRepExpensesReport);
}

std::shared_ptr<TTallysetCustomReport> TReportExpenses::New(IDBConnectionPtr db, IParametricQueryPtr q)
{
    return std::make_shared<TReportExpenses>(std::move(db), std::move(q));
}

TReportExpensesByTags::TReportExpensesByTags(IDBConnectionPtr db, IParametricQueryPtr q)
    : TTallysetCustomReport(std::move(db), std::move(q))
{
    FQuery->SetSQL(c_sqlRepExpensesByTagsReport);
}

std::shared_ptr<TTallysetCustomReport> TReportExpensesByTags::New(IDBConnectionPtr db, IParametricQueryPtr q)
{
    return std::make_shared<TReportExpensesByTags>(std::move(db), std::move(q));
}
