#pragma once

#include "platform/DataSource.h"
#include "platform/widgets/DBGridEh.h"

#include <QObject>
#include <QPointer>
#include <initializer_list>
#include <vector>

// Gives a data grid the program's look and behaviour: fixed options and
// colours, its own cell painting (alternating rows, green focus and selection,
// planned records in red) and a vertical scroll bar only when the rows do not
// fit. Every decorator belongs to one registry; it is released with its grid
// or by FreeInstances, whichever comes first, and a released decorator is
// never called by its grid again.
class TDBGridEhDecorator : public QObject
{
    Q_OBJECT
public:
    // Decorates each grid in order.
    static void CreateForGrids(std::initializer_list<TDBGridEh *> grids);
    // Decorates one grid; the registry owns the result.
    static TDBGridEhDecorator *Create(TDBGridEh *grid);
    // Releases every decorator (at program end).
    static void FreeInstances();
    static int InstanceCount();

    ~TDBGridEhDecorator() override;

    TDBGridEh *Grid() const { return FGrid; }

    // The grid's cell-drawing event.
    void GridDrawColumnCell(TDBGridEh &grid, TGridDrawCell &cell);
    // The data source's change and cursor events: the scroll bar rule.
    void GridDataChange();

protected:
    // The grid's resize: the scroll bar rule, then the grid's own handling.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TDBGridEhDecorator(TDBGridEh *grid);
    void BindDataSource();
    void GridDestroyed();

    QPointer<TDBGridEh> FGrid;
    QPointer<TDataSource> FDataSource;
    std::vector<QMetaObject::Connection> FSourceConnections;
};
