#pragma once

#include <QString>

// Kinds of journal and modes of the record editor.
enum TJournalKind { jkIncomes = 0, jkExpenses = 1, jkTransfers = 2 };
enum TEditorMode { emNew = 0, emEdit = 1 };

// Statement templates are one-line Jet SQL texts: %s, %d, %f are filled by
// Format (texts through QuotedProcess, dates through MSAccessDate), #name#
// placeholders by SetTextValues. Runs of blanks and trailing blanks are part
// of the texts.

// --- c_sql: connection and shared statements
inline const QString c_sqlGetNewIdentity = QStringLiteral(R"q(select @@identity)q");
inline const QString c_sqlDeleteRecordByID = QStringLiteral(R"q(delete from %s where ID = %d)q");

// --- c_sql: reference lists; %s takes the table name first
inline const QString c_sqlLibGetRecords = QStringLiteral(R"q(select * from %s order by Name)q");
inline const QString c_sqlLibGetRecordID = QStringLiteral(R"q(select id from %s where Name like "%s")q");
inline const QString c_sqlLibNewRecord = QStringLiteral(R"q(insert into %s(Name) values("%s"))q");
inline const QString c_sqlLibUpdateRecord = QStringLiteral(R"q(update %s set Name = "%s" where ID = %d)q");

// --- c_sql: journals; lists with #bdate#, #edate#, #planned#
inline const QString c_sqlJrIncomesGetRecords = QStringLiteral(R"q(select   o.ID as ID,  o.OperationDate as OperationDate,   o.TypeID as TypeID,   ot.Name as TypeName,   o.CashTypeID as CashTypeID,   ct.Name as CashTypeName,   o.Description as Description,   o.SumValue as SumValue,   o.Planned as Planned from   Incomes as o,   IncomeTypes as ot,   CashTypes as ct where   ot.id = o.TypeID   and ct.id = o.CashTypeID   and o.OperationDate >= #bdate#   and o.OperationDate <= #edate#   and o.Planned <= #planned# order by   o.OperationDate, o.ID)q");
inline const QString c_sqlJrExpensesGetRecords = QStringLiteral(R"q(select     o.ID as ID,     o.OperationDate as OperationDate,     o.TypeID as TypeID,     ot.Name as TypeName,     o.CashTypeID as CashTypeID,     ct.Name as CashTypeName,     o.Description as Description,     o.SumValue as SumValue,     o.Planned as Planned,     o.Tags from     Expenses as o,     ExpenseTypes as ot,     CashTypes as ct where     ot.id = o.TypeID and     ct.id = o.CashTypeID     and o.OperationDate >= #bdate#     and o.OperationDate <= #edate#     and o.Planned <= #planned# order by     o.OperationDate, o.ID)q");
inline const QString c_sqlJrTransfersGetRecords = QStringLiteral(R"q(select     o.ID as ID,     o.OperationDate as OperationDate,     o.SrcCashTypeID as SrcCashTypeID,     ot.Name as SrcCashTypeName,     o.DstCashTypeID as DstCashTypeID,     ct.Name as DstCashTypeName,     o.Description as Description,     o.SumValue as SumValue,     o.Planned as Planned from     Transfers as o,     CashTypes as ot,     CashTypes as ct where     ot.id = o.SrcCashTypeID and     ct.id = o.DstCashTypeID     and o.OperationDate >= #bdate#     and o.OperationDate <= #edate#     and o.Planned <= #planned# order by     o.OperationDate, o.ID)q");
// Inserts: two link identities, MSAccessDate(Date), Sum, Planned 0/1, QuotedProcess(Description).
inline const QString c_sqlJrIncomesNewRecord = QStringLiteral(R"q(insert into     Incomes(TypeID, CashTypeID, OperationDate, SumValue, Planned, Description) values     (%d, %d, %s, %f, %d, "%s"))q");
inline const QString c_sqlJrExpensesNewRecord = QStringLiteral(R"q(insert into   Expenses(TypeID, CashTypeID, OperationDate, SumValue, Planned, Description) values   (%d, %d, %s, %f, %d, "%s"))q");
inline const QString c_sqlJrTransfersNewRecord = QStringLiteral(R"q(insert into   Transfers(SrcCashTypeID, DstCashTypeID, OperationDate, SumValue, Planned, Description) values   (%d, %d, %s, %f, %d, "%s"))q");
// Updates: the insert arguments followed by the record identity.
inline const QString c_sqlJrIncomesUpdateRecord = QStringLiteral(R"q(update   Incomes set   TypeID = %d,  CashTypeID = %d,   OperationDate = %s,   SumValue = %f,   Planned = %d,   Description = "%s" where   ID = %d)q");
inline const QString c_sqlJrExpensesUpdateRecord = QStringLiteral(R"q(update   Expenses set   TypeID = %d,  CashTypeID = %d,   OperationDate = %s,   SumValue = %f,   Planned = %d,   Description = "%s" where   ID = %d)q");
inline const QString c_sqlJrTransfersUpdateRecord = QStringLiteral(R"q(update   Transfers set   SrcCashTypeID = %d,  DstCashTypeID = %d,   OperationDate = %s,   SumValue = %f,   Planned = %d,   Description = "%s" where   ID = %d)q");

// --- c_sql: expense tags
inline const QString c_sqlTagsGetRecords = QStringLiteral(R"q(select     tg.TagID as ID,     Tags.Name as Name from     (     select distinct         et.TagID as TagID     from         (         select             e.id as id         from             Expenses e         where             e.TypeID = %d         ) t         inner join ExpensesTags et on et.OwnerID = t.id     ) tg     left join Tags on Tags.ID = tg.TagID order by     Tags.Name )q");
inline const QString c_sqlTagsDeleteRecords = QStringLiteral(R"q(delete from ExpensesTags where OwnerID = %d)q");
inline const QString c_sqlTagsNewRecord = QStringLiteral(R"q(insert into ExpensesTags(OwnerID, TagID) values(%d, %d))q");
inline const QString c_sqlTagsUpdateRecord = QStringLiteral(R"q(update Expenses set Tags = "%s" where ID = %d)q");

// --- c_sql: reports; #bdate#, #edate#, #planned#, and #idset_condition# for the balances
inline const QString c_sqlRepMainReport = QStringLiteral(R"q(select     ct.Name,     r.* from     (     select         t1.ct_id,         SUM(IIF(od < #bdate#, sm, 0)) as startrem,         SUM(IIF((od between #bdate# and #edate#) and (t = 1), sm, 0)) as debet,         SUM(IIF((od between #bdate# and #edate#) and (t = 2), -sm, 0)) as credit,         SUM(IIF((od between #bdate# and #edate#) and (t = 3), sm, 0)) as transferdebet,         SUM(IIF((od between #bdate# and #edate#) and (t = 4), -sm, 0)) as transfercredit,         SUM(IIF(od <= #edate#, sm, 0)) as endrem     from         (select              1 as t,              OperationDate as od,              Planned as f,              CashTypeID as ct_id,              SumValue as sm          from              Incomes          where              OperationDate <= #edate#          union all          select              2 as t,              OperationDate as od,              Planned as f,              CashTypeID as ct_id,              - SumValue as sm          from              Expenses          where              OperationDate <= #edate#          union all          select              3 as t,              OperationDate as od,              Planned as f,              DstCashTypeID as ct_id,              SumValue as sm          from              Transfers          where              OperationDate <= #edate#          union all          select              4 as t,              OperationDate as od,              Planned as f,              SrcCashTypeID as ct_id,              - SumValue as sm          from              Transfers          where              OperationDate <= #edate#) t1     where         t1.f <= #planned#     group by         t1.ct_id     ) r     left join CashTypes ct on ct.ID = r.ct_id where     #idset_condition# order by     ct.Name )q");
inline const QString c_sqlRepIncomesReport = QStringLiteral(R"q(select     it.id,     it.Name,     i.fsv,     i.psv,     (i.fsv + i.psv) as sv from     (     select         TypeID,         SUM(IIF(Planned = 0, SumValue, 0)) as fsv,         SUM(IIF(Planned = 1, SumValue, 0)) as psv     from         Incomes     where         (OperationDate between #bdate# and #edate#)         and (Planned <= #planned#)     group by         TypeID     ) i     left join IncomeTypes it on it.id = i.TypeID order by     it.Name )q");
inline const QString c_sqlRepExpensesReport = QStringLiteral(R"q(select     it.id,     it.Name,     i.fsv,     i.psv,     (i.fsv + i.psv) as sv from     (     select         TypeID,         SUM(IIF(Planned = 0, SumValue, 0)) as fsv,         SUM(IIF(Planned = 1, SumValue, 0)) as psv     from         Expenses     where         (OperationDate between #bdate# and #edate#)         and (Planned <= #planned#)     group by         TypeID     ) i     left join ExpenseTypes it on it.id = i.TypeID order by     it.Name )q");
inline const QString c_sqlRepExpensesByTagsReport = QStringLiteral(R"q(select     it.id,     it.Name,     i.fsv,     i.psv,     (i.fsv + i.psv) as sv from     (     select         et.TagID,         SUM(IIF(e.Planned = 0, e.SumValue, 0)) as fsv,         SUM(IIF(e.Planned = 1, e.SumValue, 0)) as psv     from         Expenses e         left join ExpensesTags et on et.OwnerID = e.ID     where         (e.OperationDate between #bdate# and #edate#)         and (e.Planned <= #planned#)     group by         et.TagID     ) i     left join Tags it on it.id = i.TagID order by     5 )q");

// One expense kind month by month over all time: #type_id#, #planned#.
inline const QString c_sqlRepExpensesCompare = QStringLiteral(R"q(select     DatePart("yyyy", e.OperationDate) as y,     DatePart("m", e.OperationDate) as m,     sum(e.SumValue) as sv from     Expenses e where     e.TypeID = #type_id#     and (e.Planned <= #planned#) group by     DatePart("yyyy", e.OperationDate),     DatePart("m", e.OperationDate) order by     DatePart("yyyy", e.OperationDate),     DatePart("m", e.OperationDate) )q");

// --- c_sql: side-panel charts
// Expenses of one day (#cdate#), daily averages of the period and of all time.
inline const QString c_sqlRepExpensesDayStat = QStringLiteral(R"q(select     SUM(e.SumValue) as sv from     Expenses e where     (e.OperationDate = #cdate#)     and (e.Planned <= #planned#) union all select     avg(t.sv) as sv from     (     select         e.OperationDate,         SUM(e.SumValue) as sv     from         Expenses e     where         (e.OperationDate between #bdate# and #edate#)         and (e.Planned <= #planned#)     group by         e.OperationDate     ) t union all select     avg(t.sv) as sv from     (     select         e.OperationDate,         SUM(e.SumValue) as sv     from         Expenses e     where         e.Planned <= #planned#     group by         e.OperationDate     ) t )q");
// Balance of #CashTypeID# before #bdate#, then its net movement per day up to #edate#.
inline const QString c_sqlRepCashTypeRemainders = QStringLiteral(R"q(select     #bdate# as OperationDate,     SUM(sm.SumValue) as SumValue from     (     select         SUM(i.SumValue) as SumValue     from         Incomes i     where         i.CashTypeID = #CashTypeID#         and i.OperationDate < #bdate#         and i.Planned <= #planned#     union all     select         -SUM(e.SumValue) as SumValue     from         Expenses e     where         e.CashTypeID = #CashTypeID#         and e.OperationDate < #bdate#         and e.Planned <= #planned#     union all     select         SUM(t.SumValue) as SumValue     from         Transfers t     where         t.DstCashTypeID = #CashTypeID#         and t.OperationDate < #bdate#         and t.Planned <= #planned#     union all     select         -SUM(t.SumValue) as SumValue     from        Transfers t     where         t.SrcCashTypeID = #CashTypeID#         and t.OperationDate < #bdate#         and t.Planned <= #planned#     ) sm union all (select     m.OperationDate,     SUM(m.SumValue) as SumValue from     (     select         i.OperationDate as OperationDate,         Sum(i.SumValue) as SumValue     from         Incomes i     where         i.CashTypeID = #CashTypeID#         and i.OperationDate between #bdate# and #edate#         and i.Planned <= #planned#     group by         i.OperationDate     union all     select         e.OperationDate as OperationDate,         -Sum(e.SumValue) as SumValue     from         Expenses e     where         e.CashTypeID = #CashTypeID#         and e.OperationDate between #bdate# and #edate#         and e.Planned <= #planned#     group by         e.OperationDate     union all     select         t.OperationDate as OperationDate,         Sum(t.SumValue) as SumValue     from         Transfers t     where         t.DstCashTypeID = #CashTypeID#         and t.OperationDate between #bdate# and #edate#         and t.Planned <= #planned#     group by         t.OperationDate     union all     select         t.OperationDate as OperationDate,         -Sum(t.SumValue) as SumValue     from         Transfers t     where         t.SrcCashTypeID = #CashTypeID#         and t.OperationDate between #bdate# and #edate#         and t.Planned <= #planned#     group by         t.OperationDate     ) m group by     m.OperationDate order by     m.OperationDate ))q");
// Expenses of #type_id#: on #cdate#, in the period, average per month.
inline const QString c_sqlRepExpensesByType = QStringLiteral(R"q(select     sum(e.SumValue) as sv from     Expenses e where     e.OperationDate = #cdate#     and e.TypeID = #type_id#     and (e.Planned <= #planned#) union all (select     sum(e.SumValue) as sv from     Expenses e where     e.OperationDate between #bdate# and #edate#     and e.TypeID = #type_id#     and (e.Planned <= #planned#)) union all (select     avg(t.sv) as sv from     (     select         DatePart("m", e.OperationDate) as m,         DatePart("yyyy", e.OperationDate) as g,         sum(e.SumValue) as sv     from         Expenses e     where         e.TypeID = #type_id#     group by         DatePart("m", e.OperationDate),         DatePart("yyyy", e.OperationDate)     ) t ))q");
// Tags of expense #id# with the period sums of the expenses carrying them.
inline const QString c_sqlRepExpensesByTag = QStringLiteral(R"q(select     t.ID,     t.Name,     sum(e.SumValue) as sv from     (     select distinct         e.OwnerID,         e.TagID     from         ExpensesTags t         left join ExpensesTags e on e.TagID = t.TagID     where         t.OwnerID = #id#     ) et,     Expenses e,     Tags t where     e.ID = et.OwnerID     and t.ID = et.TagID     and e.OperationDate between #bdate# and #edate#     and (e.Planned <= #planned#) group by     t.ID,     t.Name )q");

// --- c_tb: table names
inline const QString c_tbIncomeTypes = QStringLiteral("IncomeTypes");
inline const QString c_tbExpenseTypes = QStringLiteral("ExpenseTypes");
inline const QString c_tbCashTypes = QStringLiteral("CashTypes");
inline const QString c_tbTags = QStringLiteral("Tags");
inline const QString c_tbJrIncomes = QStringLiteral("Incomes");
inline const QString c_tbJrExpenses = QStringLiteral("Expenses");
inline const QString c_tbJrTransfers = QStringLiteral("Transfers");

// --- c_fld: column names
inline const QString c_fldID = QStringLiteral("ID");
inline const QString c_fldName = QStringLiteral("Name");
inline const QString c_fldOperationDate = QStringLiteral("OperationDate");
inline const QString c_fldPlanned = QStringLiteral("Planned");
inline const QString c_fldCashTypeID = QStringLiteral("CashTypeID");
inline const QString c_fldCashTypeName = QStringLiteral("CashTypeName");
inline const QString c_fldSrcCashTypeID = QStringLiteral("SrcCashTypeID");
inline const QString c_fldSrcCashTypeName = QStringLiteral("SrcCashTypeName");
inline const QString c_fldDstCashTypeID = QStringLiteral("DstCashTypeID");
inline const QString c_fldDstCashTypeName = QStringLiteral("DstCashTypeName");
inline const QString c_fldTypeID = QStringLiteral("TypeID");
inline const QString c_fldTypeName = QStringLiteral("TypeName");
inline const QString c_fldDescription = QStringLiteral("Description");
inline const QString c_fldSumValue = QStringLiteral("SumValue");
inline const QString c_fldTags = QStringLiteral("Tags");

// --- c_name: display names of the reference lists
inline const QString c_nameLibIncomeTypes = QStringLiteral("Виды доходов");
inline const QString c_nameLibExpenseTypes = QStringLiteral("Виды расходов");
inline const QString c_nameLibCashTypes = QStringLiteral("Виды денежных средств");
inline const QString c_nameTags = QStringLiteral("Теги");

// --- c_msg: message texts
inline const QString c_msgRecordAlreadyExists = QStringLiteral(R"q(Такая запись уже существует)q");
inline const QString c_msgRecordAddedQuestion = QStringLiteral(R"q(Запись "%s" не найдена в справочнике! Добавить?)q");
// A list entry that journal records still use cannot be deleted.
inline const QString c_msgRecordInUse = QStringLiteral("Запись используется в журналах и не может быть удалена");
inline const QString c_msgDeleteCurrentRecordQuestion = QStringLiteral(R"q(Удалить текущую запись?)q");
inline const QString c_msgInvalidDate = QStringLiteral(R"q(Неверно указана дата)q");
inline const QString c_msgInvalidValue = QStringLiteral(R"q(Неверно задано значение "%s")q");
inline const QString c_msgInvalidOperationSum = QStringLiteral(R"q(Неверно задана сумма операции)q");
inline const QString c_msgOperationKindIsNeeded = QStringLiteral(R"q(Для отображения списка тегов необходимо определить вид операции.)q");
inline const QString c_msgNewLibRecordText = QStringLiteral(R"q(Укажите наименование для новой записи)q");
inline const QString c_msgEditLibRecordText = QStringLiteral(R"q(Укажите новое наименование для записи)q");
inline const QString c_msgDeleteRecordQuestion = QStringLiteral(R"q(Удалить запись "%s"?)q");
// Asked at start when the database file is missing; %s is its path.
inline const QString c_msgCreateDatabaseQuestion =
    QStringLiteral(R"q(Файл базы данных %s не найден. Создать новую пустую базу данных?)q");

// --- c_intf: user-interface texts
inline const QString c_intfLibEditorCaption = QStringLiteral(R"q(Справочник "%s")q");
inline const QString c_intfNewLibRecordCaption = QStringLiteral(R"q(Добавление записи)q");
inline const QString c_intfNewLibRecordDefaultName = QStringLiteral(R"q(Новая запись)q");
inline const QString c_intfEditLibRecordCaption = QStringLiteral(R"q(Изменение записи)q");

// Record editor texts per journal kind: tab caption and the two link labels.
struct TJournalEditorIntf
{
    QString Caption;
    QString Link1Name;
    QString Link2Name;
};
// Indexed by TJournalKind.
inline const TJournalEditorIntf c_intfJournalEditor[3] = {
    {QStringLiteral("Доход"), QStringLiteral("Вид средств"), QStringLiteral("Вид дохода")},
    {QStringLiteral("Расход"), QStringLiteral("Вид средств"), QStringLiteral("Расход")},
    {QStringLiteral("Перевод"), QStringLiteral("Откуда"), QStringLiteral("Куда")},
};
// Add captions of the side panel's links and of the add action; indexed by TJournalKind.
inline const QString c_intfLinksFrameLabel[3] = {
    QStringLiteral("Добавить доход"),
    QStringLiteral("Добавить расход"),
    QStringLiteral("Добавить перевод"),
};

// --- c_ini: settings sections and keys
inline const QString c_iniMain = QStringLiteral("main");
inline const QString c_iniMainForm = QStringLiteral("main_form");
inline const QString c_iniLibEditor = QStringLiteral("lib_editor_");
inline const QString c_iniKeyBDate = QStringLiteral("bdate");
inline const QString c_iniKeyEDate = QStringLiteral("edate");
inline const QString c_iniKeyPlannedInclude = QStringLiteral("planned");
inline const QString c_iniKeyActivePageIndex = QStringLiteral("page_index");
inline const QString c_iniKeyWindowState = QStringLiteral("WindowState");
inline const QString c_iniKeyLeft = QStringLiteral("Left");
inline const QString c_iniKeyTop = QStringLiteral("Top");
inline const QString c_iniKeyWidth = QStringLiteral("Width");
inline const QString c_iniKeyHeight = QStringLiteral("Height");
inline const QString c_iniBackup = QStringLiteral("Backup");
inline const QString c_iniKeyBackupDays = QStringLiteral("keep_days");
inline const QString c_iniKeyBackupWeeks = QStringLiteral("keep_weeks");
inline const QString c_iniKeyBackupMonths = QStringLiteral("keep_months");

// --- files: the program folder below AppDataPath, the settings file, the
// database file relative to the program folder, the connection string format
// (its one %s takes the full file path as plain text)
inline const QString c_pathIniFile = QStringLiteral("Orvanta/Tallyset/");
inline const QString c_fileIniFile = QStringLiteral("tallyset.ini");
inline const QString c_DBFile = QStringLiteral("db/tallyset.mdb");
inline const QString c_dirBackups = QStringLiteral("backups");
inline const QString c_dbConnectionString = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%s;Persist Security Info=False");

// --- c_msg_: window messages of the main window and action codes
constexpr int c_msg_AppInit = 0x401;        // start-up message (WM_USER + 1)
constexpr int c_msg_ActionControl = 0x402;  // action-control message; wParam is an action code
constexpr int c_msg_actn_JournalAdd = 25;
constexpr int c_msg_actn_JournalEdit = 26;
constexpr int c_msg_actn_JournalDelete = 27;
constexpr int c_msg_actn_LibCashTypes = 28;
constexpr int c_msg_actn_LibIncomeTypes = 29;
constexpr int c_msg_actn_LibExpenseTypes = 30;
