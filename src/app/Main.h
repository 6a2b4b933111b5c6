#pragma once

#include "controls/Utils.Classes.TimeExecutor.h"
#include "db/Classes.TallysetManager.h"
#include "db/Constants.h"
#include "model/Classes.Diagrams.h"
#include "model/Classes.Journals.h"
#include "model/Classes.Reports.h"
#include "platform/widgets/DBGridEh.h"
#include "sidepanel/Classes.FrameBar.h"

#include <QFont>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QApplication;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QStatusBar;
class QTabWidget;
class TAction;
class TActionList;
class TChart;
class TDataSource;
class TDateEdit;
class TMessageEvent;
class TMessageMap;
class TQtChartSeries;
class TZarnImgButton;
class TZarnImgContainer;
class TFLinksFrame;
class TFSmartDiagramm;
class TFNotesFrame;
class TFCashTypeFilterFrame;

// The page index of the main window. A value outside jpIncomes..jpDiagrams
// (jpNone) means that no page is selected.
enum TJournalPage : int { jpNone = -1, jpIncomes = 0, jpExpenses = 1, jpTransfers = 2, jpReports = 3, jpDiagrams = 4 };

// Fusion with the program's colours and font, for the whole application.
void ApplyProgramLook(QApplication &application);
// The window font: Tahoma, else DejaVu Sans Condensed, 8 points; the designed
// widths of the window are meant for a font that narrow.
QFont ProgramFont();

// The text of a sort marker in a sort expression: "", "DESC" or "ASC".
QString SortDirect(TSortMarker marker);

// What the context chart of the side panel is asked to draw for the current
// expense and the column the user stands on.
struct TSmartDiagramRequest
{
    enum TKind { sdkNone, sdkExpensesDay, sdkCashRemainder, sdkExpensesByType, sdkExpensesByTags };
    TKind Kind = sdkNone;
    QString Name;      // cash type or expense type name
    int ID = -1;       // cash type, expense type or expense identity
    TDateTime Value = 0; // the expense's operation date
    TDateTime BDate = 0;
    TDateTime EDate = 0;
    bool PlannedInclude = false;
};

// The program's main window and the owner of every model object of a run.
// The constructor builds the window and runs the creation handler; an error
// there (in practice a database that cannot be opened) is shown by the
// application's error handler and the window opens in the state reached.
// Closing the window (the close box, F10) saves the user-interface state once.
class TFMain : public QWidget
{
    Q_OBJECT
public:
    explicit TFMain(QWidget *parent = nullptr);
    ~TFMain() override;

    // The record editor and the list editor the action-control message opens;
    // replaceable so that tests see the calls without the real dialogs.
    std::function<void(const ITallysetJournalPtr &, TEditorMode)> JournalEditor;
    std::function<void(const ITallysetLibPtr &)> LibEditor;

    TFrameBar *FrameBar() const;
    // The page shown, or jpNone when no page is selected.
    TJournalPage JournalPage() const;
    // The journal and grid of a journal page; nullptr on the other pages.
    ITallysetJournalPtr CurrentJournal() const;
    TDBGridEh *CurrentJournalGrid() const;
    // The query behind one of the six grids; nullptr for any other grid.
    IQueryPtr GetGridQuery(const TDBGridEh *grid) const;

    // Selects a page as the user does (the page-change handler runs).
    void SetJournalPage(int page);
    // The actions the links of the side panel show on a page, top to bottom.
    QList<TAction *> PageLinks(int page) const;
    // Brings the actions and the side panel in line with a page.
    void JournalPageChange(int page);
    // Enable rules of the journal actions and their buttons.
    void UpdateMainActions();
    // Re-runs the three reports of the reports page.
    void ReportsRefresh();

    // Handlers, public for the side panel and for tests.
    void MsgInit();
    void MsgActionControl(int code);
    void deBDateChange();
    void deEDateChange();
    void chbPlannedIncludeClick();
    // The smart filter of the current journal: clears it when the journal is
    // filtered, else filters it by the value of the current cell.
    void acJournalFilterExecute();
    // True when the journal's rows are narrowed by the smart filter.
    static bool JournalFiltered(const ITallysetJournalPtr &journal);
    void GridSortMarkingChanged(TDBGridEh &grid);
    void lbReportsListClick();
    void ExpensesCompareDiagramParam1Select();
    // Starts the first desktop calculator found on PATH; raises Exception with
    // the system's text when there is none or it cannot be started.
    void RunCalculator();
    static QStringList CalculatorPrograms();

    // Side panel (Main.SidePanel.cpp).
    void FrameHeightChange(QWidget *sender, int height);
    void CashTypeFilterChecked();
    void ExpensesAfterScroll();
    void dbgExpensesColEnter();
    void RefreshSmartDiagram();
    // What RefreshSmartDiagram draws for the current expense and column.
    TSmartDiagramRequest SmartDiagramRequest() const;
    // The cash types ticked in the filter, "1,3,7"; empty for all.
    QString SelectedCashTypes() const;

    bool InitComplete() const { return FInitComplete; }
    bool FilterProcess() const { return FFilterProcess; }
    // The notes text of the side panel.
    QString NotesText() const;

    // Model objects.
    IDBConnectionPtr FDB;
    ITallysetLibPtr FIncomeTypesLib;
    ITallysetLibPtr FExpenseTypesLib;
    ITallysetLibPtr FCashTypes;
    ITallysetLibPtr FCashTypes_;
    ITallysetManagerPtr FManager;
    ITallysetJournalPtr FIncomesJournal;
    ITallysetJournalPtr FExpensesJournal;
    ITallysetJournalPtr FTransfersJournal;
    ITallysetCustomReportPtr FRepMain;
    ITallysetCustomReportPtr FRepIncomes;
    ITallysetCustomReportPtr FRepExpenses;
    TFLinksFrame *FLinksFrame = nullptr;
    TFSmartDiagramm *FSmartDiagrammFrame = nullptr;
    TFNotesFrame *FNotesFrame = nullptr;
    TFCashTypeFilterFrame *FCashTypeFilterFrame = nullptr;
    std::unique_ptr<TDiagramManager> FDiagramManager;
    std::unique_ptr<TTimeExecutor> FSmartDiagrammTimer;

    // Components, named as in the window's layout.
    TZarnImgContainer *ZarnImgContainer1 = nullptr;
    TZarnImgContainer *ZarnImgContainer2 = nullptr;
    TZarnImgButton *ZarnImgButton1 = nullptr;
    TZarnImgButton *zibLibs = nullptr;
    TZarnImgButton *zibRecAdd = nullptr;
    TZarnImgButton *zibRecEdit = nullptr;
    TZarnImgButton *zibRecDelete = nullptr;
    TZarnImgButton *zibFilter = nullptr;
    TZarnImgButton *zibCalc = nullptr;
    QLabel *sLabel1 = nullptr;
    TDateEdit *deBDate = nullptr;
    TDateEdit *deEdate = nullptr;
    QCheckBox *chbPlannedInclude = nullptr;
    TFrameBar *sbFrameBar = nullptr;
    QSplitter *sSplitter1 = nullptr;
    QStatusBar *sStatusBar1 = nullptr;
    QTabWidget *pcJournals = nullptr;
    QWidget *tsIncomes = nullptr;
    QWidget *tsExpenses = nullptr;
    QWidget *tsTransfers = nullptr;
    QWidget *tsReports = nullptr;
    QWidget *tsDiagrams = nullptr;
    TDBGridEh *dbgIncomes = nullptr;
    TDBGridEh *dbgExpenses = nullptr;
    TDBGridEh *dbgTransfers = nullptr;
    TDBGridEh *dbgReportMain = nullptr;
    TDBGridEh *dbgIncomesReport = nullptr;
    TDBGridEh *dbgExpensesReport = nullptr;
    QSplitter *sSplitter4 = nullptr;
    QWidget *pnSecondReports = nullptr;
    QSplitter *sSplitter3 = nullptr;
    QSplitter *sSplitter2 = nullptr;
    TChart *DiagramChart = nullptr;
    TQtChartSeries *Series1 = nullptr;
    TQtChartSeries *Series2 = nullptr;
    QListWidget *lbReportsList = nullptr;
    QWidget *pnParams = nullptr;
    QLabel *lbParam1 = nullptr;
    QComboBox *cbParam1 = nullptr;
    TActionList *alMain = nullptr;
    TAction *acExit = nullptr;
    TAction *acLibIncomeTypes = nullptr;
    TAction *acLibExpenseTypes = nullptr;
    TAction *acLibCashTypes = nullptr;
    TAction *acJournalAdd = nullptr;
    TAction *acJournalEdit = nullptr;
    TAction *acJournalDelete = nullptr;
    TAction *acJournalFilter = nullptr;
    TAction *acRunCalc = nullptr;
    QMenu *pmLibs = nullptr;
    TDataSource *dsIncomes = nullptr;
    TDataSource *dsExpenses = nullptr;
    TDataSource *dsTransfers = nullptr;
    TDataSource *dsReportMain = nullptr;
    TDataSource *dsIncomesReport = nullptr;
    TDataSource *dsExpensesReport = nullptr;

    // Designed sizes of the reports page's lower panel and its incomes grid.
    static constexpr int c_SecondReportsHeight = 197;
    static constexpr int c_IncomesReportWidth = 329;
    // The lower panel's height and the incomes grid's width as the page has
    // them, or as restored while the page has not been laid out yet.
    int SecondReportsHeight() const;
    int IncomesReportWidth() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // AppSettings, or a disabled store when the program has none.
    static ISettingsManager &Settings();

    void BuildForm();
    void BuildTopBar(QWidget *parent);
    void BuildJournalGrids();
    void BuildReportsPage();
    void BuildDiagramsPage();
    void BuildActions();
    void FormCreate();
    void FormClose();

    ITallysetJournalPtr CreateJournalAndBind(TJournalClass journalClass, TDataSource *dataSource);
    ITallysetCustomReportPtr CreateReportAndBind(TReportClass reportClass, TDataSource *dataSource);
    // Without a file at `path`, asks whether to make an empty database there and
    // makes it on Yes (raises the creation's error). Never touches anything that is
    // already at the path, openable or not.
    void OfferNewDatabase(const QString &path);
    void CashTypesChanged();
    void PostAction(int code);
    void pcJournalsChange(int index);
    void ShowNoPage();
    void LeaveNoPage();
    void ApplyReportsLayout();

    // Side panel (Main.SidePanel.cpp): its frames and the chart's executor, the
    // cash-type filter's fill, freeing and saving on close, and each page's
    // items and links.
    void CreateSidePanel();
    void CreateSmartDiagramTimer();
    void FillCashTypeFilter(TDataSet *cashTypes);
    void FreeSidePanelFrames();
    void SaveSidePanel();
    void SaveNotes();
    void SidePanelPageChange(int page);
    void DrawSmartDiagram(const TSmartDiagramRequest &request);

    TMessageMap *FMessages = nullptr;
    QWidget *FNoPage = nullptr; // the blank page shown while no page is selected
    bool FInitComplete = false;
    bool FFilterProcess = false;
    bool FClosed = false;
    bool FReportsLaidOut = false;
    int FSecondReportsHeight = c_SecondReportsHeight;
    int FIncomesReportWidth = c_IncomesReportWidth;
    QString FNotesText; // the notes as loaded, kept while there is no notes frame
};

// The main window of the running program.
extern QPointer<TFMain> FMain;
