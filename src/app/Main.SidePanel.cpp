// The main window's side panel: the frame bar with its four items, the frames
// in them, the cash-type filter and the deferred context chart. Each routine
// works without its frame: a missing frame is skipped, a missing filter
// selects every cash type, missing notes keep the text that was loaded.
#include "app/Main.h"

#include "platform/widgets/ActionList.h"
#include "platform/widgets/DBGridEh.h"
#include "platform/widgets/DateEdit.h"
#include "sidepanel/TaskBar.CashTypeFilterFrame.h"
#include "sidepanel/TaskBar.LinksFrame.h"
#include "sidepanel/TaskBar.NotesFrame.h"
#include "sidepanel/TaskBar.SmartDiagrammFrame.h"

#include <QCheckBox>

namespace {

const QString c_secFrameBar = QStringLiteral("FrameBar");
const QString c_keyNotes = QStringLiteral("notes");

// Items of the frame bar, in this order.
enum { fiLinks = 0, fiSmartDiagram = 1, fiCashTypeFilter = 2, fiNotes = 3 };

} // namespace

// Builds the four frames, gives the bar its look, adds the frames as its items
// in the order of fiLinks .. fiNotes and restores the bar's saved state.
void TFMain::CreateSidePanel()
{
    FNotesText = Settings().LoadText(c_iniMain, c_keyNotes, QString());
    // The panel's 180 pixels were laid out for Tahoma; its captions keep to them.
    sbFrameBar->setFont(NarrowPanelFont(sbFrameBar->font()));
    const THeightChangeEvent heightChange = [this](QWidget *sender, int height) { FrameHeightChange(sender, height); };

    FLinksFrame = new TFLinksFrame(this);
    FLinksFrame->SetImageList(alMain->Images());
    FLinksFrame->OnHeightChange = heightChange;
    FSmartDiagrammFrame = new TFSmartDiagramm(this);
    FSmartDiagrammFrame->Init(FDB);
    FNotesFrame = new TFNotesFrame(this);
    FNotesFrame->SetText(FNotesText);
    FCashTypeFilterFrame = new TFCashTypeFilterFrame(this);
    FCashTypeFilterFrame->OnChecked = [this](QWidget *) { CashTypeFilterChecked(); };
    FCashTypeFilterFrame->OnHeightChange = heightChange;

    sbFrameBar->SetGradientStartColor(0xE0E0E0);
    sbFrameBar->SetGradientEndColor(0xFFFFFF);
    sbFrameBar->SetGradientDirection(gdHorizontal);
    sbFrameBar->SetTitleHeight(18);
    sbFrameBar->SetTitleStyle(psGradient);
    sbFrameBar->SetTitleGradientStartColor(0x4CCD9E);
    sbFrameBar->SetTitleGradientEndColor(0xFFFFFF);
    sbFrameBar->SetTitleGradientDirection(gdVertical);

    sbFrameBar->AddItem(QStringLiteral("Общие задачи"), FLinksFrame);
    FLinksFrame->SetCanResize(true);
    sbFrameBar->AddItem(QStringLiteral("Диаграммы"), FSmartDiagrammFrame);
    sbFrameBar->AddItem(QStringLiteral("Фильтр по видам средств"), FCashTypeFilterFrame);
    sbFrameBar->AddItem(QStringLiteral("Дополнительно"), FNotesFrame);
    sbFrameBar->LoadSettings(Settings(), c_secFrameBar);
}

// The context chart is drawn 50 ms after the last request for it.
void TFMain::CreateSmartDiagramTimer()
{
    FSmartDiagrammTimer = std::make_unique<TTimeExecutor>(50, [this] { RefreshSmartDiagram(); });
}

// At start and after the cash types changed: the filter lists the rows of
// `cashTypes` from its current row on, all ticked.
void TFMain::FillCashTypeFilter(TDataSet *cashTypes)
{
    if (FCashTypeFilterFrame)
        FCashTypeFilterFrame->AddCashTypesFromQuery(cashTypes);
}

QString TFMain::SelectedCashTypes() const
{
    return FCashTypeFilterFrame ? FCashTypeFilterFrame->GetSelectedCashTypes() : QString();
}

void TFMain::CashTypeFilterChecked()
{
    FManager->SetIDSet(SelectedCashTypes());
}

void TFMain::FrameHeightChange(QWidget *sender, int height)
{
    sbFrameBar->FrameHeightChange(sender, height);
}

// Frees the links frame, the chart's executor and the chart frame, in this
// order, so no pending chart request runs on a freed frame.
void TFMain::FreeSidePanelFrames()
{
    delete FLinksFrame;
    FLinksFrame = nullptr;
    FSmartDiagrammTimer.reset();
    delete FSmartDiagrammFrame;
    FSmartDiagrammFrame = nullptr;
}

// Saves the bar's width and its items' states and heights.
void TFMain::SaveSidePanel()
{
    sbFrameBar->SaveSettings(Settings(), c_secFrameBar);
}

QString TFMain::NotesText() const
{
    return FNotesFrame ? FNotesFrame->Text() : FNotesText;
}

// Saves the notes: the frame's text while the frame exists.
void TFMain::SaveNotes()
{
    Settings().SaveText(c_iniMain, c_keyNotes, NotesText());
}

// Shows the side-panel items that belong to `page` and puts its links
// (PageLinks) in the links frame.
void TFMain::SidePanelPageChange(int page)
{
    if (FLinksFrame)
        FLinksFrame->ClearLinks();
    if (sbFrameBar->Count() > fiCashTypeFilter) {
        sbFrameBar->SetItemVisible(fiLinks, page >= jpIncomes && page <= jpTransfers);
        sbFrameBar->SetItemVisible(fiSmartDiagram, page == jpExpenses);
        sbFrameBar->SetItemVisible(fiCashTypeFilter, page == jpReports);
    }
    if (FLinksFrame)
        FLinksFrame->AddLinks(PageLinks(page));
}

void TFMain::MsgInit()
{
    if (FSmartDiagrammTimer)
        FSmartDiagrammTimer->ExecMethod();
}

void TFMain::ExpensesAfterScroll()
{
    if (FInitComplete && FSmartDiagrammTimer)
        FSmartDiagrammTimer->ExecMethod();
}

void TFMain::dbgExpensesColEnter()
{
    if (FInitComplete && FSmartDiagrammTimer)
        FSmartDiagrammTimer->ExecMethod();
}

TSmartDiagramRequest TFMain::SmartDiagramRequest() const
{
    TSmartDiagramRequest request;
    request.BDate = deBDate->Date();
    request.EDate = deEdate->Date();
    request.PlannedInclude = chbPlannedInclude->isChecked();
    const TColumnEh *column = dbgExpenses->SelectedColumn();
    if (!column)
        return request;
    TDataSet *data = dbgExpenses->DataSet();
    // An empty or closed journal reads as zero and empty values.
    const bool hasRow = data && data->Active() && !data->IsEmpty();
    auto field = [&](const QString &name) -> TField * { return hasRow ? data->FindField(name) : nullptr; };
    auto text = [&](const QString &name) { TField *f = field(name); return f ? f->AsString() : QString(); };
    auto integer = [&](const QString &name) { TField *f = field(name); return f ? f->AsInteger() : 0; };
    auto date = [&](const QString &name) { TField *f = field(name); return f ? f->AsDateTime() : TDateTime(0); };

    const QString name = column->FieldName();
    request.Value = date(c_fldOperationDate);
    if (name == c_fldOperationDate) {
        request.Kind = TSmartDiagramRequest::sdkExpensesDay;
    } else if (name == c_fldCashTypeName) {
        request.Kind = TSmartDiagramRequest::sdkCashRemainder;
        request.Name = text(c_fldCashTypeName);
        request.ID = integer(c_fldCashTypeID);
    } else if (name == c_fldTypeName || name == c_fldDescription) {
        request.Kind = TSmartDiagramRequest::sdkExpensesByType;
        request.Name = text(c_fldTypeName);
        request.ID = integer(c_fldTypeID);
    } else if (name == c_fldTags) {
        request.Kind = TSmartDiagramRequest::sdkExpensesByTags;
        request.ID = integer(c_fldID);
    }
    return request;
}

void TFMain::RefreshSmartDiagram()
{
    const TSmartDiagramRequest request = SmartDiagramRequest();
    if (request.Kind != TSmartDiagramRequest::sdkNone)
        DrawSmartDiagram(request);
}

// Hands the request to the context chart frame, which runs its one query.
void TFMain::DrawSmartDiagram(const TSmartDiagramRequest &request)
{
    if (!FSmartDiagrammFrame)
        return;
    const TSmartDiagramRequest &r = request;
    switch (r.Kind) {
    case TSmartDiagramRequest::sdkExpensesDay:
        FSmartDiagrammFrame->ShowExpensesDayDiagram(r.BDate, r.EDate, r.Value, r.PlannedInclude);
        break;
    case TSmartDiagramRequest::sdkCashRemainder:
        FSmartDiagrammFrame->ShowCashRemainderDiagram(r.Name, r.ID, r.BDate, r.EDate, r.Value, r.PlannedInclude);
        break;
    case TSmartDiagramRequest::sdkExpensesByType:
        FSmartDiagrammFrame->ShowExpensesByTypeDiagram(r.Name, r.ID, r.BDate, r.EDate, r.Value, r.PlannedInclude);
        break;
    case TSmartDiagramRequest::sdkExpensesByTags:
        FSmartDiagrammFrame->ShowExpensesByTagsDiagram(r.ID, r.BDate, r.EDate, r.Value, r.PlannedInclude);
        break;
    case TSmartDiagramRequest::sdkNone:
        break;
    }
}
