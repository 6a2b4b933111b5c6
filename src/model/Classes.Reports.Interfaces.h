#pragma once

#include "model/Classes.Journals.Interfaces.h"

// A report: a journal with a fixed SQL text and no records of its own.
class ITallysetCustomReport : public virtual ITallysetCustomJournal
{
};
using ITallysetCustomReportPtr = std::shared_ptr<ITallysetCustomReport>;
