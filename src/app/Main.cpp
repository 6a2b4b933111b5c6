#include "app/Main.h"

#include "app/About.h"
#include "app/JournalEditor.h"
#include "app/LibEditor.h"
#include "app/Settings.h"
#include "controls/DesignUtils.h"
#include "controls/ToolbarPictures.h"
#include "controls/ZarnLib.Components.ZarnImgButton.h"
#include "controls/ZarnLib.Components.ZarnImgContainer.h"
#include "db/DBEngine.Core.h"
#include "db/Schema.h"
#include "db/Utils.h"
#include "platform/DataSource.h"
#include "platform/Format.h"
#include "platform/widgets/ActionList.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Chart.h"
#include "platform/widgets/DBGridEh.h"
#include "platform/widgets/DateEdit.h"
#include "platform/widgets/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cerrno>

QPointer<TFMain> FMain;

namespace {

const QString c_Title = QStringLiteral("Tallyset 1.0");
const QString c_AmountFormat = QStringLiteral(",0.00");
const QString c_FooterFormat = QStringLiteral(",.00");

// Grid sections of the settings store, in the order the grids are restored and saved.
const QString c_secGridIncomes = QStringLiteral("gridIncomes");
const QString c_secGridExpenses = QStringLiteral("gridExpenses");
const QString c_secGridTransfers = QStringLiteral("gridTransfers");
const QString c_secGridReportMain = QStringLiteral("gridReportMain");
const QString c_secGridReportIncomes = QStringLiteral("gridReportIncomes");
const QString c_secGridReportExpenses = QStringLiteral("gridReportExpenses");

bool IsJournalPage(int page)
{
    return page >= jpIncomes && page <= jpTransfers;
}

// The images of the action list, 16 x 16: add, list types, cash types, delete, edit.
QList<QIcon> CommonImages()
{
    auto draw = [](auto paint) {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        paint(p);
        p.end();
        return QIcon(pixmap);
    };
    const QColor ink(0x34, 0x40, 0x5e);
    QList<QIcon> images;
    images << draw([&](QPainter &p) {
        p.setPen(QPen(QColor(0x3d, 0x8b, 0x2e), 1));
        p.setBrush(QColor(0x6c, 0xbf, 0x4a));
        QPainterPath plus;
        plus.addRect(6.5, 2.5, 3, 11);
        plus.addRect(2.5, 6.5, 11, 3);
        p.drawPath(plus.simplified());
    });
    images << draw([&](QPainter &p) {
        p.setPen(QPen(ink, 1));
        p.setBrush(QColor(0x4a, 0x78, 0xc8));
        p.drawRoundedRect(QRectF(3.5, 1.5, 10, 13), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 3.5, 6, 3));
        p.drawLine(QPointF(3.5, 12.5), QPointF(13.5, 12.5));
    });
    images << draw([&](QPainter &p) {
        p.setPen(QPen(ink, 1));
        p.setBrush(QColor(0xf0, 0xa8, 0x32));
        p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 2, 2);
        p.setBrush(QColor(0xfb, 0xd8, 0x8a));
        p.drawRect(QRectF(9.5, 7.5, 5, 3));
    });
    images << draw([&](QPainter &p) {
        p.setPen(QPen(QColor(0xd9, 0x4a, 0x38), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    });
    images << draw([&](QPainter &p) {
        p.setPen(QPen(ink, 1));
        p.setBrush(QColor(0xf0, 0xa8, 0x32));
        QPolygonF pencil;
        pencil << QPointF(11.5, 1.5) << QPointF(14.5, 4.5) << QPointF(5.5, 13.5) << QPointF(1.5, 14.5)
               << QPointF(2.5, 10.5);
        p.drawPolygon(pencil);
    });
    return images;
}

TDBGridEh *NewGrid(QWidget *parent, const QString &name)
{
    auto *grid = new TDBGridEh(parent);
    grid->setObjectName(name);
    return grid;
}

void AddAmountColumn(TDBGridEh *grid, const QString &field, const QString &title, int width, bool footer)
{
    TColumnEh *column = grid->AddColumn(field, title, width);
    column->SetDisplayFormat(c_AmountFormat);
    if (footer) {
        column->SetFooterValueType(TFooterValueType::fvtSum);
        column->SetFooterDisplayFormat(c_FooterFormat);
        column->SetFooterEndEllipsis(true);
    }
}

QWidget *NewPage(QWidget *parent, const QString &name)
{
    auto *page = new QWidget(parent);
    page->setObjectName(name);
    return page;
}

} // namespace

QString SortDirect(TSortMarker marker)
{
    switch (marker) {
    case TSortMarker::smDown:
        return QStringLiteral("DESC");
    case TSortMarker::smUp:
        return QStringLiteral("ASC");
    case TSortMarker::smNone:
        break;
    }
    return QString();
}

void ApplyProgramLook(QApplication &application)
{
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = application.style()->standardPalette();
    const QColor window(0xee, 0xf1, 0xf7);
    const QColor text(0x20, 0x20, 0x20);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, QColor(0xef, 0xf8, 0xe2));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0xe6, 0xea, 0xf2));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, QColor(0x5e, 0x9c, 0x3a));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(0xff, 0xfd, 0xe8));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Midlight, QColor(0xf4, 0xf6, 0xfa));
    palette.setColor(QPalette::Mid, QColor(0xb8, 0xc0, 0xd0));
    palette.setColor(QPalette::Dark, QColor(0x9a, 0xa4, 0xb8));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x90, 0x90, 0x90));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x90, 0x90, 0x90));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x90, 0x90, 0x90));
    application.setPalette(palette);
    application.setFont(ProgramFont());
}

QFont ProgramFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    return font;
}

// ---------------------------------------------------------------------------
// Construction

ISettingsManager &TFMain::Settings()
{
    static const ISettingsManagerPtr disabled = TAppSetting::Create(QString());
    return AppSettings ? *AppSettings : *disabled;
}

TFMain::TFMain(QWidget *parent) : QWidget(parent)
{
    JournalEditor = [](const ITallysetJournalPtr &journal, TEditorMode mode) { JournalRecordEditor(journal, mode); };
    LibEditor = [](const ITallysetLibPtr &lib) { LibEdit(lib); };
    BuildForm();
    try {
        FormCreate();
    } catch (...) {
        TApplication::HandleException();
    }
    // The keyboard starts in the grid of the page shown.
    if (TDBGridEh *grid = CurrentJournalGrid())
        grid->setFocus();
    else if (JournalPage() == jpReports)
        dbgReportMain->setFocus();
}

TFMain::~TFMain()
{
    FSmartDiagrammTimer.reset();
    // Children die after the model objects; nothing of theirs may call back.
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
    for (TDBGridEh *grid : {dbgIncomes, dbgExpenses, dbgTransfers, dbgReportMain, dbgIncomesReport, dbgExpensesReport}) {
        grid->OnDblClick = nullptr;
        grid->OnColEnter = nullptr;
        grid->OnSortMarkingChanged = nullptr;
        grid->OnKeyDown = nullptr;
    }
    if (FExpensesJournal && FExpensesJournal->GetQuery())
        disconnect(FExpensesJournal->GetQuery()->GetQuery()->GetData(), nullptr, this, nullptr);
    alMain->OnUpdate = nullptr;
}

void TFMain::BuildForm()
{
    setObjectName(QStringLiteral("FMain"));
    setWindowTitle(c_Title);
    setFont(ProgramFont());
    setWindowIcon(QIcon(ToolbarPictures::ProgramLogo(64)));
    resize(932, 517);

    FMessages = new TMessageMap(this);
    FMessages->SetHandler(c_msg_AppInit, [this](TMessageEvent &) { MsgInit(); });
    FMessages->SetHandler(c_msg_ActionControl, [this](TMessageEvent &m) { MsgActionControl(int(m.WParam)); });

    dsIncomes = new TDataSource(this);
    dsExpenses = new TDataSource(this);
    dsTransfers = new TDataSource(this);
    dsReportMain = new TDataSource(this);
    dsIncomesReport = new TDataSource(this);
    dsExpensesReport = new TDataSource(this);

    BuildActions();

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    ZarnImgContainer1 = new TZarnImgContainer(this);
    ZarnImgContainer1->setObjectName(QStringLiteral("ZarnImgContainer1"));
    ZarnImgContainer1->setFixedHeight(75);
    ZarnImgContainer1->SetImage(ToolbarPictures::TopStripTile());
    BuildTopBar(ZarnImgContainer1);
    root->addWidget(ZarnImgContainer1);

    sSplitter1 = new QSplitter(Qt::Horizontal, this);
    sSplitter1->setObjectName(QStringLiteral("sSplitter1"));
    sSplitter1->setHandleWidth(5);
    sSplitter1->setChildrenCollapsible(false);
    root->addWidget(sSplitter1, 1);

    sbFrameBar = new TFrameBar(sSplitter1);
    sbFrameBar->setObjectName(QStringLiteral("sbFrameBar"));
    sbFrameBar->SetColor(0xFFEEEB);
    sbFrameBar->setFrameShape(QFrame::NoFrame);
    sbFrameBar->setMinimumWidth(60);
    sbFrameBar->SetWidth(180);

    pcJournals = new QTabWidget(sSplitter1);
    pcJournals->setObjectName(QStringLiteral("pcJournals"));
    pcJournals->setDocumentMode(false);
    sSplitter1->addWidget(sbFrameBar);
    sSplitter1->addWidget(pcJournals);
    sSplitter1->setStretchFactor(0, 0);
    sSplitter1->setStretchFactor(1, 1);
    sSplitter1->handle(1)->setStyleSheet(
        QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #ffffff, stop:0.5 #f4f6fa, "
                       "stop:1 #c9d0de);"));

    tsIncomes = NewPage(pcJournals, QStringLiteral("tsIncomes"));
    tsExpenses = NewPage(pcJournals, QStringLiteral("tsExpenses"));
    tsTransfers = NewPage(pcJournals, QStringLiteral("tsTransfers"));
    tsReports = NewPage(pcJournals, QStringLiteral("tsReports"));
    tsDiagrams = NewPage(pcJournals, QStringLiteral("tsDiagrams"));
    pcJournals->addTab(tsIncomes, QStringLiteral("Доходы"));
    pcJournals->addTab(tsExpenses, QStringLiteral("Расходы"));
    pcJournals->addTab(tsTransfers, QStringLiteral("Переводы"));
    pcJournals->addTab(tsReports, QStringLiteral("Результаты"));
    pcJournals->addTab(tsDiagrams, QStringLiteral("Диаграммы"));
    connect(pcJournals, &QTabWidget::currentChanged, this, [this](int index) { pcJournalsChange(index); });

    BuildJournalGrids();
    BuildReportsPage();
    BuildDiagramsPage();

    sStatusBar1 = new QStatusBar(this);
    sStatusBar1->setObjectName(QStringLiteral("sStatusBar1"));
    sStatusBar1->setFixedHeight(19);
    root->addWidget(sStatusBar1);

    for (TDBGridEh *grid : {dbgIncomes, dbgExpenses, dbgTransfers, dbgReportMain, dbgIncomesReport, dbgExpensesReport})
        grid->OnSortMarkingChanged = [this](TDBGridEh &g) { GridSortMarkingChanged(g); };
    for (TDBGridEh *grid : {dbgIncomes, dbgExpenses, dbgTransfers}) {
        grid->OnDblClick = [this](TDBGridEh &) { acJournalEdit->Execute(); };
        // Enter edits and Delete deletes the current record, as the buttons do.
        grid->OnKeyDown = [this](TDBGridEh &, QKeyEvent &key) {
            if (key.modifiers() & ~Qt::KeypadModifier)
                return false;
            if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
                acJournalEdit->Execute();
                return true;
            }
            if (key.key() == Qt::Key_Delete) {
                acJournalDelete->Execute();
                return true;
            }
            return false;
        };
    }
    dbgExpenses->OnColEnter = [this](TDBGridEh &) { dbgExpensesColEnter(); };
}

void TFMain::BuildActions()
{
    alMain = new TActionList(this);
    alMain->setObjectName(QStringLiteral("alMain"));
    alMain->SetImages(CommonImages());
    auto add = [this](const char *name, const QString &caption, const QString &category, int image) {
        TAction *action = alMain->AddAction(caption);
        action->setObjectName(QLatin1String(name));
        action->SetCategory(category);
        action->SetImageIndex(image);
        return action;
    };
    const QString tallyset = QStringLiteral("Tallyset");
    const QString libs = QStringLiteral("Справочники");
    const QString journals = QStringLiteral("Журналы");
    acExit = add("acExit", QStringLiteral("Выход"), tallyset, -1);
    acExit->SetShortCut(QKeySequence(Qt::Key_F10));
    acLibIncomeTypes = add("acLibIncomeTypes", QStringLiteral("Виды доходов"), libs, 1);
    acLibExpenseTypes = add("acLibExpenseTypes", QStringLiteral("Виды расходов"), libs, 1);
    acLibCashTypes = add("acLibCashTypes", QStringLiteral("Виды денежных средств"), libs, 2);
    acJournalAdd = add("acJournalAdd", QStringLiteral("Добавить запись"), journals, 0);
    acJournalEdit = add("acJournalEdit", QStringLiteral("Редактировать  запись"), journals, 4);
    acJournalDelete = add("acJournalDelete", QStringLiteral("Удалить запись"), journals, 3);
    acJournalFilter = add("acJournalFilter", QStringLiteral("Фильтр"), QString(), -1);
    acJournalFilter->SetChecked(false);
    acRunCalc = add("acRunCalc", QStringLiteral("Калькулятор"), QString(), -1);

    alMain->OnUpdate = [this](TAction &) { UpdateMainActions(); };
    acExit->OnExecute = [this](TAction &) { close(); };
    acJournalAdd->OnExecute = [this](TAction &) { PostAction(c_msg_actn_JournalAdd); };
    acJournalEdit->OnExecute = [this](TAction &) { PostAction(c_msg_actn_JournalEdit); };
    acJournalDelete->OnExecute = [this](TAction &) { PostAction(c_msg_actn_JournalDelete); };
    acLibCashTypes->OnExecute = [this](TAction &) { PostAction(c_msg_actn_LibCashTypes); };
    acLibIncomeTypes->OnExecute = [this](TAction &) { PostAction(c_msg_actn_LibIncomeTypes); };
    acLibExpenseTypes->OnExecute = [this](TAction &) { PostAction(c_msg_actn_LibExpenseTypes); };
    acJournalFilter->OnExecute = [this](TAction &) { acJournalFilterExecute(); };
    acRunCalc->OnExecute = [this](TAction &) { RunCalculator(); };

    pmLibs = new QMenu(this);
    pmLibs->setObjectName(QStringLiteral("pmLibs"));
    pmLibs->addAction(acLibCashTypes);
    pmLibs->addAction(acLibIncomeTypes);
    pmLibs->addAction(acLibExpenseTypes);
}

void TFMain::BuildTopBar(QWidget *parent)
{
    ZarnImgContainer2 = new TZarnImgContainer(parent);
    ZarnImgContainer2->setObjectName(QStringLiteral("ZarnImgContainer2"));
    ZarnImgContainer2->setGeometry(0, 0, 537, 75);
    ZarnImgContainer2->SetImage(ToolbarPictures::StripBackground());

    auto button = [this](const char *name, const QString &hint) {
        auto *b = new TZarnImgButton(ZarnImgContainer2);
        const QString objectName = QLatin1String(name);
        b->setObjectName(objectName);
        b->setGeometry(ToolbarPictures::ButtonRect(objectName));
        b->SetPictures(ToolbarPictures::ButtonPictures(objectName));
        b->SetHint(hint);
        return b;
    };
    ZarnImgButton1 = button("ZarnImgButton1", QStringLiteral("Tallyset 1.0|О программе..."));
    ZarnImgButton1->setCursor(Qt::PointingHandCursor);
    zibLibs = button("zibLibs", QStringLiteral("Справочники|Нажмите для перехода к перечню справочников"));
    zibLibs->SetDropDownMenu(pmLibs);
    zibRecAdd = button("zibRecAdd", QStringLiteral("Добавление записи| Создаёт новую запись в открытом журнале"));
    zibRecEdit = button("zibRecEdit",
                        QStringLiteral("Редактирование записи|Позволяет изменить текущую запись в открытом журнале"));
    zibRecDelete = button("zibRecDelete", QStringLiteral("Удаление записи!|Удаляет текущую запись в открытом журнале"));
    zibFilter = button(
        "zibFilter",
        QStringLiteral("Умный фильтр|Поможет отобразить записи с таким же значением, как в текущей ячейке"));
    zibCalc = button("zibCalc", QStringLiteral("Внешний калькулятор|Для дополнительных расчётов"));

    connect(ZarnImgButton1, &TZarnImgButton::Click, this, [this] { TFAbout::Execute(this); });
    connect(zibRecAdd, &TZarnImgButton::Click, this, [this] { acJournalAdd->Execute(); });
    connect(zibRecEdit, &TZarnImgButton::Click, this, [this] { acJournalEdit->Execute(); });
    connect(zibRecDelete, &TZarnImgButton::Click, this, [this] { acJournalDelete->Execute(); });
    connect(zibFilter, &TZarnImgButton::Click, this, [this] { acJournalFilter->Execute(); });
    connect(zibCalc, &TZarnImgButton::Click, this, [this] { acRunCalc->Execute(); });

    deBDate = new TDateEdit(parent);
    deBDate->setObjectName(QStringLiteral("deBDate"));
    deBDate->setToolTip(BalloonHintHtml(QStringLiteral("Рабочий период|Начальная дата рабочего периода")));
    deEdate = new TDateEdit(parent);
    deEdate->setObjectName(QStringLiteral("deEdate"));
    deEdate->setToolTip(BalloonHintHtml(QStringLiteral("Рабочий период|Конечная дата рабочего периода")));
    // The designed 86 pixels, or what the font needs for a whole date.
    const int dateWidth = qMax(86, deBDate->sizeHint().width());
    deBDate->setGeometry(603, 10, dateWidth, 21);
    deEdate->setGeometry(deBDate->geometry().right() + 6, 10, dateWidth, 21);

    sLabel1 = new QLabel(QStringLiteral("период"), parent);
    sLabel1->setObjectName(QStringLiteral("sLabel1"));
    sLabel1->adjustSize();
    sLabel1->move(qMin(560, deBDate->x() - 5 - sLabel1->width()), deBDate->y() + (21 - sLabel1->height()) / 2);
    connect(deBDate, &TDateEdit::Changed, this, [this] { deBDateChange(); });
    connect(deEdate, &TDateEdit::Changed, this, [this] { deEDateChange(); });

    chbPlannedInclude = new QCheckBox(QStringLiteral("планируемые операции "), parent);
    chbPlannedInclude->setObjectName(QStringLiteral("chbPlannedInclude"));
    chbPlannedInclude->setLayoutDirection(Qt::RightToLeft);
    chbPlannedInclude->setToolTip(
        BalloonHintHtml(QStringLiteral("Планирование|Включите для отображения планируемых операций")));
    chbPlannedInclude->move(558, 34);
    chbPlannedInclude->resize(qMax(147, chbPlannedInclude->sizeHint().width()), 19);
    connect(chbPlannedInclude, &QCheckBox::toggled, this, [this] { chbPlannedIncludeClick(); });
}

void TFMain::BuildJournalGrids()
{
    auto place = [](QWidget *page, TDBGridEh *grid) {
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->addWidget(grid);
    };

    dbgIncomes = NewGrid(tsIncomes, QStringLiteral("dbgIncomes"));
    dbgIncomes->AddColumn(c_fldOperationDate, QStringLiteral("Дата"), 80);
    dbgIncomes->AddColumn(c_fldCashTypeName, QStringLiteral("Средства"), 100);
    dbgIncomes->AddColumn(c_fldTypeName, QStringLiteral("Вид дохода"), 150);
    TColumnEh *description = dbgIncomes->AddColumn(c_fldDescription, QStringLiteral("Описание"), 250);
    description->SetLayout(TTextLayout::tlCenter);
    description->SetWordWrap(true);
    AddAmountColumn(dbgIncomes, c_fldSumValue, QStringLiteral("Сумма"), 74, true);
    dbgIncomes->SetFooterRowCount(1);
    dbgIncomes->SetDataSource(dsIncomes);
    place(tsIncomes, dbgIncomes);

    dbgExpenses = NewGrid(tsExpenses, QStringLiteral("dbgExpenses"));
    dbgExpenses->AddColumn(c_fldOperationDate, QStringLiteral("Дата"), 80);
    dbgExpenses->AddColumn(c_fldCashTypeName, QStringLiteral("Средства"), 100);
    dbgExpenses->AddColumn(c_fldTypeName, QStringLiteral("Вид расхода"), 150);
    dbgExpenses->AddColumn(c_fldDescription, QStringLiteral("Описание"), 200);
    dbgExpenses->AddColumn(c_fldTags, QStringLiteral("Теги"), 90);
    AddAmountColumn(dbgExpenses, c_fldSumValue, QStringLiteral("Сумма"), 80, true);
    dbgExpenses->SetFooterRowCount(1);
    dbgExpenses->SetDataSource(dsExpenses);
    place(tsExpenses, dbgExpenses);

    dbgTransfers = NewGrid(tsTransfers, QStringLiteral("dbgTransfers"));
    dbgTransfers->AddColumn(c_fldOperationDate, QStringLiteral("Дата"), 80);
    dbgTransfers->AddColumn(c_fldSrcCashTypeName, QStringLiteral("Откуда"), 90);
    dbgTransfers->AddColumn(c_fldDstCashTypeName, QStringLiteral("Куда"), 90);
    dbgTransfers->AddColumn(c_fldDescription, QStringLiteral("Описание"), 200);
    AddAmountColumn(dbgTransfers, c_fldSumValue, QStringLiteral("Сумма"), 80, false);
    dbgTransfers->SetDataSource(dsTransfers);
    place(tsTransfers, dbgTransfers);
}

void TFMain::BuildReportsPage()
{
    auto *layout = new QVBoxLayout(tsReports);
    layout->setContentsMargins(2, 2, 2, 2);
    sSplitter4 = new QSplitter(Qt::Vertical, tsReports);
    sSplitter4->setObjectName(QStringLiteral("sSplitter4"));
    sSplitter4->setHandleWidth(6);
    sSplitter4->setChildrenCollapsible(false);
    layout->addWidget(sSplitter4);

    dbgReportMain = NewGrid(sSplitter4, QStringLiteral("dbgReportMain"));
    dbgReportMain->AddColumn(QStringLiteral("Name"), QStringLiteral("Средства"), 90);
    AddAmountColumn(dbgReportMain, QStringLiteral("startrem"), QStringLiteral("Было"), 70, true);
    AddAmountColumn(dbgReportMain, QStringLiteral("debet"), QStringLiteral("Доход"), 70, true);
    AddAmountColumn(dbgReportMain, QStringLiteral("transferdebet"), QStringLiteral("Зачислено"), 70, true);
    AddAmountColumn(dbgReportMain, QStringLiteral("transfercredit"), QStringLiteral("Списано"), 70, true);
    AddAmountColumn(dbgReportMain, QStringLiteral("credit"), QStringLiteral("Расход"), 70, true);
    AddAmountColumn(dbgReportMain, QStringLiteral("endrem"), QStringLiteral("Осталось"), 70, true);
    dbgReportMain->SetFooterRowCount(1);
    dbgReportMain->SetDataSource(dsReportMain);

    pnSecondReports = new QWidget(sSplitter4);
    pnSecondReports->setObjectName(QStringLiteral("pnSecondReports"));
    auto *second = new QHBoxLayout(pnSecondReports);
    second->setContentsMargins(0, 0, 0, 0);
    sSplitter3 = new QSplitter(Qt::Horizontal, pnSecondReports);
    sSplitter3->setObjectName(QStringLiteral("sSplitter3"));
    sSplitter3->setHandleWidth(6);
    sSplitter3->setChildrenCollapsible(false);
    second->addWidget(sSplitter3);

    dbgIncomesReport = NewGrid(sSplitter3, QStringLiteral("dbgIncomesReport"));
    dbgIncomesReport->AddColumn(QStringLiteral("Name"), QStringLiteral("Вид дохода"), 150);
    AddAmountColumn(dbgIncomesReport, QStringLiteral("sv"), QStringLiteral("Сумма"), 70, true);
    dbgIncomesReport->SetFooterRowCount(1);
    dbgIncomesReport->SetDataSource(dsIncomesReport);
    dbgExpensesReport = NewGrid(sSplitter3, QStringLiteral("dbgExpensesReport"));
    dbgExpensesReport->AddColumn(QStringLiteral("Name"), QStringLiteral("Вид расхода"), 150);
    AddAmountColumn(dbgExpensesReport, QStringLiteral("sv"), QStringLiteral("Сумма"), 70, true);
    dbgExpensesReport->SetFooterRowCount(1);
    dbgExpensesReport->SetDataSource(dsExpensesReport);
    sSplitter3->addWidget(dbgIncomesReport);
    sSplitter3->addWidget(dbgExpensesReport);
    sSplitter3->setStretchFactor(0, 0);
    sSplitter3->setStretchFactor(1, 1);

    sSplitter4->addWidget(dbgReportMain);
    sSplitter4->addWidget(pnSecondReports);
    sSplitter4->setStretchFactor(0, 1);
    sSplitter4->setStretchFactor(1, 0);
    sSplitter4->installEventFilter(this);
}

void TFMain::BuildDiagramsPage()
{
    auto *layout = new QVBoxLayout(tsDiagrams);
    layout->setContentsMargins(2, 2, 2, 2);
    sSplitter2 = new QSplitter(Qt::Horizontal, tsDiagrams);
    sSplitter2->setObjectName(QStringLiteral("sSplitter2"));
    sSplitter2->setHandleWidth(3);
    sSplitter2->setChildrenCollapsible(false);
    layout->addWidget(sSplitter2);

    auto *chartArea = new QWidget(sSplitter2);
    chartArea->setObjectName(QStringLiteral("pnChartArea"));
    auto *chartLayout = new QVBoxLayout(chartArea);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->setSpacing(0);

    pnParams = new QWidget(chartArea);
    pnParams->setObjectName(QStringLiteral("pnParams"));
    pnParams->setFixedHeight(33);
    pnParams->setAutoFillBackground(true);
    QPalette silver = pnParams->palette();
    silver.setColor(QPalette::Window, QColor(0xc0, 0xc0, 0xc0));
    pnParams->setPalette(silver);
    auto *params = new QHBoxLayout(pnParams);
    params->setContentsMargins(8, 4, 8, 4);
    lbParam1 = new QLabel(QStringLiteral("Вид расхода"), pnParams);
    lbParam1->setObjectName(QStringLiteral("lbParam1"));
    cbParam1 = new QComboBox(pnParams);
    cbParam1->setObjectName(QStringLiteral("cbParam1"));
    cbParam1->setEditable(false);
    cbParam1->setMinimumWidth(145);
    cbParam1->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    params->addWidget(lbParam1);
    params->addWidget(cbParam1);
    params->addStretch();
    pnParams->hide();
    connect(cbParam1, &QComboBox::activated, this, [this] { ExpensesCompareDiagramParam1Select(); });

    DiagramChart = new TChart(chartArea);
    DiagramChart->setObjectName(QStringLiteral("DiagramChart"));
    DiagramChart->SetLegendVisible(true);
    Series1 = DiagramChart->AddSeries(TSeriesKind::skPie, QStringLiteral("Series1"), false);
    Series2 = DiagramChart->AddSeries(TSeriesKind::skBar, QStringLiteral("Series2"), false);
    chartLayout->addWidget(pnParams);
    chartLayout->addWidget(DiagramChart, 1);

    lbReportsList = new QListWidget(sSplitter2);
    lbReportsList->setObjectName(QStringLiteral("lbReportsList"));
    lbReportsList->addItems({QStringLiteral("Доходы"), QStringLiteral("Расходы"), QStringLiteral("Расходы по тегам"),
                             QStringLiteral("Сравнение расходов")});
    lbReportsList->setCurrentRow(-1);
    // A click draws, also on the entry already selected; so does a move by keyboard.
    connect(lbReportsList, &QListWidget::itemClicked, this, [this] { lbReportsListClick(); });
    connect(lbReportsList, &QListWidget::currentRowChanged, this, [this] {
        if (!(QApplication::mouseButtons() & Qt::LeftButton) && lbReportsList->hasFocus())
            lbReportsListClick();
    });

    sSplitter2->addWidget(chartArea);
    sSplitter2->addWidget(lbReportsList);
    sSplitter2->setStretchFactor(0, 1);
    sSplitter2->setStretchFactor(1, 0);
    sSplitter2->setSizes({600, 121});
}

// ---------------------------------------------------------------------------
// Creation and close

void TFMain::FormCreate()
{
    FInitComplete = false;
    TDBGridEhDecorator::CreateForGrids(
        {dbgIncomes, dbgExpenses, dbgTransfers, dbgReportMain, dbgIncomesReport, dbgExpensesReport});
    FDB = TDBConnection::Create();

    FIncomeTypesLib = std::make_shared<TIncomeTypesLib>(FDB);
    FExpenseTypesLib = std::make_shared<TExpenseTypesLib>(FDB);
    FCashTypes = std::make_shared<TCashTypesLib>(FDB);
    FCashTypes_ = std::make_shared<TCashTypesLib>(FDB);
    FCashTypes->SetLibRefreshHandler([this](ITallysetLib &) { CashTypesChanged(); });

    FManager = TTallysetManager::Create(FDB);

    FIncomesJournal = CreateJournalAndBind(&TIncomesJournal::New, dsIncomes);
    FExpensesJournal = CreateJournalAndBind(&TExpensesJournal::New, dsExpenses);
    connect(FExpensesJournal->GetQuery()->GetQuery()->GetData(), &TDataSet::AfterScroll, this,
            [this] { ExpensesAfterScroll(); });
    FTransfersJournal = CreateJournalAndBind(&TTransfersJournal::New, dsTransfers);
    FIncomesJournal->SetLib(FCashTypes, FIncomeTypesLib);
    FExpensesJournal->SetLib(FCashTypes, FExpenseTypesLib);
    FTransfersJournal->SetLib(FCashTypes, FCashTypes);

    FRepMain = CreateReportAndBind(&TReportMain::New, dsReportMain);
    FRepIncomes = CreateReportAndBind(&TReportIncomes::New, dsIncomesReport);
    FRepExpenses = CreateReportAndBind(&TReportExpenses::New, dsExpensesReport);

    FDiagramManager = std::make_unique<TDiagramManager>(FDB, FManager);

    ISettingsManager &settings = Settings();
    settings.LoadFormSettings(c_iniMainForm, this);
    settings.LoadGridSettings(c_secGridIncomes, *dbgIncomes);
    settings.LoadGridSettings(c_secGridExpenses, *dbgExpenses);
    settings.LoadGridSettings(c_secGridTransfers, *dbgTransfers);
    settings.LoadGridSettings(c_secGridReportMain, *dbgReportMain);
    settings.LoadGridSettings(c_secGridReportIncomes, *dbgIncomesReport);
    settings.LoadGridSettings(c_secGridReportExpenses, *dbgExpensesReport);

    CreateSidePanel();
    CreateSmartDiagramTimer();

    const TDateTime today = Date();
    deBDate->SetDate(settings.LoadDateTime(c_iniMain, c_iniKeyBDate, StartOfTheMonth(today)));
    deEdate->SetDate(settings.LoadDateTime(c_iniMain, c_iniKeyEDate, EndOfTheMonth(today)));
    chbPlannedInclude->setChecked(settings.LoadBoolean(c_iniMain, c_iniKeyPlannedInclude));
    {
        const int page = settings.LoadInteger(c_iniMain, c_iniKeyActivePageIndex, 0);
        const QSignalBlocker blocker(pcJournals);
        if (page >= jpIncomes && page <= jpDiagrams)
            pcJournals->setCurrentIndex(page);
        else
            ShowNoPage();
    }
    FSecondReportsHeight = qMax(0, settings.LoadInteger(c_iniMain, c_iniKeyHeight, SecondReportsHeight()));
    FIncomesReportWidth = qMax(0, settings.LoadInteger(c_iniMain, c_iniKeyWidth, IncomesReportWidth()));
    if (sSplitter4->isVisible())
        ApplyReportsLayout();

    const QString databasePath = AppDataPath + c_pathIniFile + c_DBFile;
    OfferNewDatabase(databasePath);
    FDB->Connect(Format(c_dbConnectionString, {databasePath}));

    FCashTypes->Refresh();
    FillCashTypeFilter(FCashTypes->GetQuery()->GetData());

    FManager->SetBDate(deBDate->Date());
    FManager->SetEDate(deEdate->Date());
    FManager->SetPlannedInclude(chbPlannedInclude->isChecked());
    FManager->SetIDSet(SelectedCashTypes());
    FManager->Refresh();

    UpdateMainActions();
    JournalPageChange(JournalPage());
    PostMessage(this, c_msg_AppInit);
    FInitComplete = true;
}

void TFMain::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (FClosed)
        return;
    FClosed = true;
    FormClose();
}

void TFMain::FormClose()
{
    FreeSidePanelFrames();
    ISettingsManager &settings = Settings();
    settings.SaveFormSetings(c_iniMainForm, this);
    SaveSidePanel();
    settings.SaveGridSettings(c_secGridIncomes, *dbgIncomes);
    settings.SaveGridSettings(c_secGridExpenses, *dbgExpenses);
    settings.SaveGridSettings(c_secGridTransfers, *dbgTransfers);
    settings.SaveGridSettings(c_secGridReportMain, *dbgReportMain);
    settings.SaveGridSettings(c_secGridReportIncomes, *dbgIncomesReport);
    settings.SaveGridSettings(c_secGridReportExpenses, *dbgExpensesReport);
    SaveNotes();
    settings.SaveDateTime(c_iniMain, c_iniKeyBDate, deBDate->Date());
    settings.SaveDateTime(c_iniMain, c_iniKeyEDate, deEdate->Date());
    settings.SaveBoolean(c_iniMain, c_iniKeyPlannedInclude, chbPlannedInclude->isChecked());
    settings.SaveInteger(c_iniMain, c_iniKeyActivePageIndex, JournalPage());
    settings.SaveInteger(c_iniMain, c_iniKeyHeight, SecondReportsHeight());
    settings.SaveInteger(c_iniMain, c_iniKeyWidth, IncomesReportWidth());
}

void TFMain::OfferNewDatabase(const QString &path)
{
    const QFileInfo file(path);
    if (file.exists() || file.isSymLink())
        return;
    if (QuestionDlg(c_msgCreateDatabaseQuestion, {path}))
        CreateDatabaseFile(path);
}

ITallysetJournalPtr TFMain::CreateJournalAndBind(TJournalClass journalClass, TDataSource *dataSource)
{
    ITallysetJournalPtr journal = journalClass(FDB, FManager->AddQuery());
    dataSource->SetDataSet(journal->GetQuery()->GetQuery()->GetData());
    return journal;
}

ITallysetCustomReportPtr TFMain::CreateReportAndBind(TReportClass reportClass, TDataSource *dataSource)
{
    ITallysetCustomReportPtr report = reportClass(FDB, FManager->AddQuery());
    dataSource->SetDataSet(report->GetQuery()->GetQuery()->GetData());
    return report;
}

void TFMain::CashTypesChanged()
{
    FCashTypes_->Refresh();
    TDataSet *data = FCashTypes_->GetQuery()->GetData();
    if (data->Active())
        data->First();
    FillCashTypeFilter(data);
    // The refilled filter ticks every entry: the balances follow what it shows.
    FManager->SetIDSet(SelectedCashTypes());
    ReportsRefresh();
}

void TFMain::ReportsRefresh()
{
    FRepMain->Refresh();
    FRepIncomes->Refresh();
    FRepExpenses->Refresh();
}

// ---------------------------------------------------------------------------
// Reports page layout

int TFMain::SecondReportsHeight() const
{
    return FReportsLaidOut ? pnSecondReports->height() : FSecondReportsHeight;
}

int TFMain::IncomesReportWidth() const
{
    return FReportsLaidOut ? dbgIncomesReport->width() : FIncomesReportWidth;
}

void TFMain::ApplyReportsLayout()
{
    FReportsLaidOut = true;
    const int height = sSplitter4->height() - sSplitter4->handleWidth();
    const int bottom = qMin(FSecondReportsHeight, qMax(0, height - 20));
    sSplitter4->setSizes({height - bottom, bottom});
    const int width = sSplitter3->width() - sSplitter3->handleWidth();
    const int left = qMin(FIncomesReportWidth, qMax(0, width - 20));
    sSplitter3->setSizes({left, width - left});
}

bool TFMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == sSplitter4 && event->type() == QEvent::Show && !FReportsLaidOut)
        ApplyReportsLayout();
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Pages and actions

TFrameBar *TFMain::FrameBar() const
{
    return sbFrameBar;
}

TJournalPage TFMain::JournalPage() const
{
    const int index = pcJournals->currentIndex();
    if (FNoPage && pcJournals->widget(index) == FNoPage)
        return jpNone;
    return index >= jpIncomes && index <= jpDiagrams ? TJournalPage(index) : jpNone;
}

ITallysetJournalPtr TFMain::CurrentJournal() const
{
    switch (JournalPage()) {
    case jpIncomes:
        return FIncomesJournal;
    case jpExpenses:
        return FExpensesJournal;
    case jpTransfers:
        return FTransfersJournal;
    default:
        return nullptr;
    }
}

TDBGridEh *TFMain::CurrentJournalGrid() const
{
    switch (JournalPage()) {
    case jpIncomes:
        return dbgIncomes;
    case jpExpenses:
        return dbgExpenses;
    case jpTransfers:
        return dbgTransfers;
    default:
        return nullptr;
    }
}

IQueryPtr TFMain::GetGridQuery(const TDBGridEh *grid) const
{
    auto queryOf = [](const auto &owner) -> IQueryPtr {
        return owner && owner->GetQuery() ? owner->GetQuery()->GetQuery() : nullptr;
    };
    if (!grid)
        return nullptr;
    if (grid == dbgIncomes)
        return queryOf(FIncomesJournal);
    if (grid == dbgExpenses)
        return queryOf(FExpensesJournal);
    if (grid == dbgTransfers)
        return queryOf(FTransfersJournal);
    if (grid == dbgReportMain)
        return queryOf(FRepMain);
    if (grid == dbgIncomesReport)
        return queryOf(FRepIncomes);
    if (grid == dbgExpensesReport)
        return queryOf(FRepExpenses);
    return nullptr;
}

void TFMain::SetJournalPage(int page)
{
    pcJournals->setCurrentIndex(page);
}

void TFMain::pcJournalsChange(int index)
{
    if (FNoPage && pcJournals->widget(index) == FNoPage)
        return;
    LeaveNoPage();
    JournalPageChange(index);
}

void TFMain::ShowNoPage()
{
    if (!FNoPage) {
        FNoPage = new QWidget(pcJournals);
        FNoPage->setObjectName(QStringLiteral("tsNone"));
        const int index = pcJournals->addTab(FNoPage, QString());
        pcJournals->setTabEnabled(index, false);
        pcJournals->setTabVisible(index, false);
    }
    pcJournals->setCurrentWidget(FNoPage);
}

void TFMain::LeaveNoPage()
{
    if (!FNoPage || pcJournals->currentWidget() == FNoPage)
        return;
    QWidget *blank = FNoPage;
    FNoPage = nullptr;
    pcJournals->removeTab(pcJournals->indexOf(blank));
    blank->deleteLater();
}

QList<TAction *> TFMain::PageLinks(int page) const
{
    switch (page) {
    case jpIncomes:
        return {acJournalAdd, acLibIncomeTypes, acLibCashTypes};
    case jpExpenses:
        return {acJournalAdd, acLibExpenseTypes, acLibCashTypes};
    case jpTransfers:
        return {acJournalAdd, acLibCashTypes};
    default:
        return {};
    }
}

void TFMain::JournalPageChange(int page)
{
    if (IsJournalPage(page))
        acJournalAdd->SetCaption(c_intfLinksFrameLabel[page]);
    if (page == jpDiagrams) {
        if (lbReportsList->currentRow() < 0) {
            const QSignalBlocker blocker(lbReportsList);
            lbReportsList->setCurrentRow(0);
        }
        if (FDB && FDB->IsActive())
            lbReportsListClick();
    }
    SidePanelPageChange(page);
    UpdateMainActions();
}

void TFMain::UpdateMainActions()
{
    acJournalAdd->SetEnabled(IsJournalPage(JournalPage()));
    const ITallysetJournalPtr journal = CurrentJournal();
    const bool hasRecord = acJournalAdd->Enabled() && journal && journal->GetCurrentRecord().ID > 0;
    acJournalEdit->SetEnabled(hasRecord);
    acJournalDelete->SetEnabled(acJournalEdit->Enabled());
    // Each journal keeps its own filter: the action shows the current journal's and
    // can always clear it, also when it hides every row.
    const bool filtered = acJournalAdd->Enabled() && JournalFiltered(journal);
    acJournalFilter->SetEnabled(acJournalEdit->Enabled() || filtered);
    acJournalFilter->SetChecked(filtered);
    zibFilter->SetChecked(filtered);
    const std::pair<TZarnImgButton *, TAction *> buttons[] = {
        {zibRecAdd, acJournalAdd}, {zibRecEdit, acJournalEdit}, {zibRecDelete, acJournalDelete}, {zibFilter, acJournalFilter}};
    for (const auto &[button, action] : buttons) {
        button->setEnabled(action->Enabled());
        button->Invalidate();
    }
}

void TFMain::PostAction(int code)
{
    PostMessage(this, c_msg_ActionControl, code);
}

void TFMain::MsgActionControl(int code)
{
    switch (code) {
    case c_msg_actn_JournalAdd:
    case c_msg_actn_JournalEdit: {
        const ITallysetJournalPtr journal = CurrentJournal();
        if (!journal)
            return;
        // An edit asked for while the journal had a record, which is gone by now, has nothing to edit.
        if (code == c_msg_actn_JournalEdit && journal->GetCurrentRecord().ID <= 0)
            return;
        if (JournalEditor)
            JournalEditor(journal, code == c_msg_actn_JournalAdd ? emNew : emEdit);
        ReportsRefresh();
        break;
    }
    case c_msg_actn_JournalDelete: {
        const ITallysetJournalPtr journal = CurrentJournal();
        if (!journal || journal->GetCurrentRecord().ID <= 0)
            return;
        if (QuestionDlg(c_msgDeleteCurrentRecordQuestion)) {
            journal->DeleteCurrentRecord();
            ReportsRefresh();
        }
        break;
    }
    case c_msg_actn_LibCashTypes:
        if (LibEditor)
            LibEditor(FCashTypes);
        break;
    case c_msg_actn_LibIncomeTypes:
        if (LibEditor)
            LibEditor(FIncomeTypesLib);
        break;
    case c_msg_actn_LibExpenseTypes:
        if (LibEditor)
            LibEditor(FExpenseTypesLib);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Working period

void TFMain::deBDateChange()
{
    if (!FManager)
        return;
    FManager->SetBDate(deBDate->Date());
    // An incomplete or impossible begin date (day zero) leaves the end date alone.
    if (deBDate->HasDate() && deEdate->Date() < deBDate->Date())
        deEdate->SetDate(IncMonth(deBDate->Date(), 1) + 1);
}

void TFMain::deEDateChange()
{
    if (!FManager)
        return;
    FManager->SetEDate(deEdate->Date());
    if (deEdate->HasDate() && deBDate->Date() > deEdate->Date())
        deBDate->SetDate(IncMonth(deEdate->Date(), -1) - 1);
}

void TFMain::chbPlannedIncludeClick()
{
    if (FManager)
        FManager->SetPlannedInclude(chbPlannedInclude->isChecked());
}

// ---------------------------------------------------------------------------
// Filter, sorting, calculator

void TFMain::acJournalFilterExecute()
{
    if (FFilterProcess)
        return;
    FFilterProcess = true;
    struct TGuard
    {
        bool &Flag;
        ~TGuard() { Flag = false; }
    } guard{FFilterProcess};
    const ITallysetJournalPtr journal = CurrentJournal();
    TDBGridEh *grid = CurrentJournalGrid();
    // A press clears a filtered journal and filters an unfiltered one by the current cell.
    const bool filter = !JournalFiltered(journal);
    if (journal && grid && (!filter || grid->SelectedColumn()))
        journal->GetQuery()->SmartFilter(filter ? grid->SelectedColumn()->FieldName() : QString(), filter);
    acJournalFilter->SetChecked(JournalFiltered(journal));
    zibFilter->SetChecked(acJournalFilter->Checked());
}

bool TFMain::JournalFiltered(const ITallysetJournalPtr &journal)
{
    return journal && journal->GetQuery() && !journal->GetQuery()->GetQuery()->GetData()->Filter().isEmpty();
}

void TFMain::GridSortMarkingChanged(TDBGridEh &grid)
{
    QString sort;
    for (TColumnEh *column : grid.SortMarkedColumns()) {
        if (!sort.isEmpty())
            sort += QStringLiteral(", ");
        sort += column->FieldName() + QLatin1Char(' ') + SortDirect(column->SortMarker());
    }
    if (const IQueryPtr query = GetGridQuery(&grid))
        query->Sort(sort);
}

QStringList TFMain::CalculatorPrograms()
{
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
            QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")};
}

void TFMain::RunCalculator()
{
    for (const QString &program : CalculatorPrograms()) {
        const QString path = QStandardPaths::findExecutable(program);
        if (path.isEmpty())
            continue;
        QProcess process;
        process.setProgram(path);
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        if (!process.startDetached())
            throw Exception(QStringLiteral("%1: %2").arg(program, process.errorString()));
        return;
    }
    throw Exception(QStringLiteral("%1: %2").arg(CalculatorPrograms().join(QStringLiteral(", ")), qt_error_string(ENOENT)));
}

// ---------------------------------------------------------------------------
// Diagrams page

void TFMain::lbReportsListClick()
{
    const int index = lbReportsList->currentRow();
    pnParams->setVisible(index == 3);
    Series1->SetActive(index < 3);
    Series2->SetActive(index == 3);
    switch (index) {
    case 0:
        FDiagramManager->ShowIncomesChart(*Series1);
        break;
    case 1:
        FDiagramManager->ShowExpensesChart(*Series1);
        break;
    case 2:
        FDiagramManager->ShowExpensesByTagsChart(*Series1);
        break;
    case 3: {
        TStrings types;
        FExpenseTypesLib->ToStrings(types);
        cbParam1->clear();
        for (int i = 0; i < types.Count(); ++i)
            cbParam1->addItem(types[i], types.Objects(i));
        if (cbParam1->count() > 0)
            cbParam1->setCurrentIndex(0);
        ExpensesCompareDiagramParam1Select();
        break;
    }
    default:
        break;
    }
}

void TFMain::ExpensesCompareDiagramParam1Select()
{
    // Without an expense type there is nothing to compare.
    if (cbParam1->currentIndex() < 0) {
        Series2->Clear();
        return;
    }
    FDiagramManager->ShowExpensesCompareChart(*Series2, cbParam1->currentData().toInt(), chbPlannedInclude->isChecked());
}
