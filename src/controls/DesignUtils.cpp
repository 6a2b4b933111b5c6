#include "controls/DesignUtils.h"

#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/widgets/DBGridEh.h"

#include <QEvent>
#include <QList>
#include <QPainter>

namespace {

// Owns every decorator until its grid goes or the program ends.
struct TDecoratorRegistry
{
    QList<TDBGridEhDecorator *> Items;
    ~TDecoratorRegistry()
    {
        const QList<TDBGridEhDecorator *> items = Items;
        qDeleteAll(items);
    }
};

TDecoratorRegistry &Registry()
{
    static TDecoratorRegistry registry;
    return registry;
}

const QColor c_clEvenRow(239, 248, 226);
const QColor c_clOddRow(255, 255, 255);
const QColor c_clFixed(189, 223, 135);
const QColor c_clFooter(128, 128, 128);
const QColor c_clFooterFont(255, 255, 255);
const QColor c_clFocusedCell(190, 222, 136);
const QColor c_clSelectedCell(211, 233, 175);
const QColor c_clPlannedFont(255, 0, 0);
const QColor c_clFont(32, 32, 32);
const QColor c_clGridLines(255, 255, 255);

} // namespace

void TDBGridEhDecorator::CreateForGrids(std::initializer_list<TDBGridEh *> grids)
{
    for (TDBGridEh *grid : grids)
        Create(grid);
}

TDBGridEhDecorator *TDBGridEhDecorator::Create(TDBGridEh *grid)
{
    return new TDBGridEhDecorator(grid);
}

void TDBGridEhDecorator::FreeInstances()
{
    const QList<TDBGridEhDecorator *> items = Registry().Items;
    qDeleteAll(items);
}

int TDBGridEhDecorator::InstanceCount()
{
    return Registry().Items.size();
}

TDBGridEhDecorator::TDBGridEhDecorator(TDBGridEh *grid) : FGrid(grid)
{
    Registry().Items.append(this);
    if (!grid)
        return;
    grid->installEventFilter(this);
    QPointer<TDBGridEhDecorator> self(this);
    grid->OnDrawColumnCell = [self](TDBGridEh &g, TGridDrawCell &cell) {
        if (self)
            self->GridDrawColumnCell(g, cell);
    };

    grid->SetFlat(true);
    TColumnDefValues defaults = grid->ColumnDefValues();
    defaults.TitleButton = true;
    defaults.EndEllipsis = true;
    grid->SetColumnDefValues(defaults);
    grid->SetEvenRowColor(c_clEvenRow);
    grid->SetOddRowColor(c_clOddRow);
    grid->SetFixedColor(c_clFixed);
    grid->SetFooterColor(c_clFooter);
    grid->SetFooterFontColor(c_clFooterFont);
    grid->SetOptions(dgTitles | dgColumnResize | dgColLines | dgTabs);
    grid->SetOptionsEh(dghClearSelection | dghAutoSortMarking | dghMultiSortMarking | dghRowHighlight |
                       dghDblClickOptimizeColWidth | dghColumnResize);
    grid->SetReadOnly(true);
    QFont title = grid->TitleFont();
    title.setPixelSize(11);
    title.setUnderline(true);
    grid->SetTitleFont(title);
    grid->SetGridLineColors({c_clGridLines, c_clGridLines});

    connect(grid, &TDBGridEh::Destroying, this, [this] { GridDestroyed(); });
    connect(grid, &TDBGridEh::DataSourceChanged, this, [this] { BindDataSource(); });
    BindDataSource();
}

TDBGridEhDecorator::~TDBGridEhDecorator()
{
    Registry().Items.removeOne(this);
    for (auto &c : FSourceConnections)
        disconnect(c);
    if (FGrid) {
        FGrid->removeEventFilter(this);
        disconnect(FGrid, nullptr, this, nullptr);
    }
}

void TDBGridEhDecorator::GridDestroyed()
{
    FGrid = nullptr;
    delete this;
}

void TDBGridEhDecorator::BindDataSource()
{
    for (auto &c : FSourceConnections)
        disconnect(c);
    FSourceConnections.clear();
    FDataSource = FGrid ? FGrid->DataSource() : nullptr;
    if (!FDataSource)
        return;
    FSourceConnections.push_back(connect(FDataSource, &TDataSource::DataChange, this, [this] { GridDataChange(); }));
    FSourceConnections.push_back(
        connect(FDataSource, &TDataSource::CurrentChanged, this, [this] { GridDataChange(); }));
    FSourceConnections.push_back(
        connect(FDataSource, &TDataSource::DataSetChanged, this, [this] { GridDataChange(); }));
    GridDataChange();
}

void TDBGridEhDecorator::GridDrawColumnCell(TDBGridEh &grid, TGridDrawCell &cell)
{
    cell.BrushColor = (cell.RecNo % 2 == 1) ? grid.OddRowColor() : grid.EvenRowColor();
    if (cell.State & gdFocused)
        cell.BrushColor = c_clFocusedCell;
    else if (cell.State & gdSelected)
        cell.BrushColor = c_clSelectedCell;
    cell.Painter->fillRect(cell.Rect, cell.BrushColor);
    const bool planned = cell.HasField(QStringLiteral("planned")) && cell.Value(QStringLiteral("planned")).toInt() == 1;
    cell.FontColor = planned ? c_clPlannedFont : c_clFont;
    grid.DefaultDrawColumnCell(cell);
}

void TDBGridEhDecorator::GridDataChange()
{
    if (!FGrid)
        return;
    TDataSource *source = FGrid->DataSource();
    TDataSet *ds = source ? source->DataSet() : nullptr;
    const bool visible = ds && ds->Active() && ds->RecordCount() > FGrid->RowCount() - 1;
    FGrid->SetVertScrollBarVisible(visible);
}

bool TDBGridEhDecorator::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FGrid && event->type() == QEvent::Resize)
        GridDataChange();
    return QObject::eventFilter(watched, event);
}
