#pragma once

#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Settings.Interfaces.h"

#include <QColor>
#include <QFlags>
#include <QFont>
#include <QPointer>
#include <QTableView>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class TDBGridEh;
class TDBGridEhModel;
class TDBGridEhHeader;
class TDBGridEhIndicator;
class TDBGridEhFooter;

enum TGridOption : unsigned {
    dgTitles = 1u << 0,              // title row shown
    dgIndicator = 1u << 1,           // row indicator column at the left
    dgColumnResize = 1u << 2,        // columns resized by dragging a title border
    dgColLines = 1u << 3,            // vertical lines between cells
    dgRowLines = 1u << 4,            // horizontal lines between cells
    dgTabs = 1u << 5,                // Tab and Shift+Tab move between columns
    dgRowSelect = 1u << 6,           // the whole current row is selected
    dgAlwaysShowSelection = 1u << 7, // selection drawn also without focus
    dgEditing = 1u << 8,             // layouts' flag; this grid never edits
    dgConfirmDelete = 1u << 9,       // layouts' flag; this grid never deletes rows
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

enum TGridOptionEh : unsigned {
    dghClearSelection = 1u << 0,           // layouts' flag; selection is single anyway
    dghAutoSortMarking = 1u << 1,          // a click on a title button cycles its sort marker
    dghMultiSortMarking = 1u << 2,         // Ctrl+click marks several columns
    dghRowHighlight = 1u << 3,             // the current row is drawn selected
    dghDblClickOptimizeColWidth = 1u << 4, // double click on a title border fits the column
    dghColumnResize = 1u << 5,             // columns can be resized (as dgColumnResize)
    dghIncSearch = 1u << 6,                // typing jumps to the next row starting with the text
};
Q_DECLARE_FLAGS(TGridOptionsEh, TGridOptionEh)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptionsEh)

enum TGridDrawStateFlag : unsigned {
    gdSelected = 1u << 0, // in the selection or in the highlighted current row
    gdFocused = 1u << 1,  // the current cell of a focused grid
};
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

enum class TSortMarker { smNone, smDown, smUp };
enum class TFooterValueType { fvtNone, fvtSum };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// Values a column takes for the properties it does not set itself.
struct TColumnDefValues
{
    bool TitleButton = false;
    bool EndEllipsis = false;
};

// One column of a grid: what it shows of which field and how.
// Owned by its grid; every setter repaints the grid.
class TColumnEh
{
public:
    TColumnEh(TDBGridEh *grid, QString fieldName);

    TDBGridEh *Grid() const { return FGrid; }
    int Index() const;

    const QString &FieldName() const { return FFieldName; }
    void SetFieldName(const QString &value);
    // The dataset's field of that name, nullptr when there is none (cells stay empty).
    TField *Field() const;

    const QString &Title() const { return FTitle; }
    void SetTitle(const QString &value);
    Qt::Alignment TitleAlignment() const { return FTitleAlignment; }
    void SetTitleAlignment(Qt::Alignment value);
    bool TitleEndEllipsis() const { return FTitleEndEllipsis; }
    void SetTitleEndEllipsis(bool value);
    // A title button reacts to clicks (sort marking); from ColumnDefValues unless set.
    bool TitleButton() const;
    void SetTitleButton(bool value);

    int Width() const { return FWidth; }
    void SetWidth(int value);

    // Number format of FormatFloat for numeric fields (",0.00"); empty: the plain number.
    const QString &DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const QString &value);
    // Horizontal alignment; without one, numbers go right and the rest left.
    Qt::Alignment Alignment() const;
    void SetAlignment(Qt::Alignment value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    // Cut text ends in an ellipsis; from ColumnDefValues unless set.
    bool EndEllipsis() const;
    void SetEndEllipsis(bool value);

    // Sort marker shown in the title; changing it updates the grid's marked list.
    TSortMarker SortMarker() const { return FSortMarker; }
    void SetSortMarker(TSortMarker value);

    TFooterValueType FooterValueType() const { return FFooterValueType; }
    void SetFooterValueType(TFooterValueType value);
    // Field summed by the footer; empty: the column's own field.
    const QString &FooterFieldName() const { return FFooterFieldName; }
    void SetFooterFieldName(const QString &value);
    // Format of the footer value; empty: the column's DisplayFormat.
    const QString &FooterDisplayFormat() const { return FFooterDisplayFormat; }
    void SetFooterDisplayFormat(const QString &value);
    bool FooterEndEllipsis() const { return FFooterEndEllipsis; }
    void SetFooterEndEllipsis(bool value);
    // The footer's text over the rows shown: empty without a footer value or a field.
    QString FooterText() const;

    // Text of a value of this column as the cells show it.
    QString DisplayText(const QVariant &value) const;

private:
    friend class TDBGridEh;
    void Changed(bool layout = false);

    TDBGridEh *FGrid;
    QString FFieldName;
    QString FTitle;
    Qt::Alignment FTitleAlignment = Qt::AlignLeft;
    bool FTitleEndEllipsis = false;
    std::optional<bool> FTitleButton;
    int FWidth = 64;
    QString FDisplayFormat;
    std::optional<Qt::Alignment> FAlignment;
    TTextLayout FLayout = TTextLayout::tlCenter;
    bool FWordWrap = false;
    std::optional<bool> FEndEllipsis;
    TSortMarker FSortMarker = TSortMarker::smNone;
    TFooterValueType FFooterValueType = TFooterValueType::fvtNone;
    QString FFooterFieldName;
    QString FFooterDisplayFormat;
    bool FFooterEndEllipsis = false;
};

// One cell being drawn, handed to the cell-drawing event. The handler may change
// BrushColor, FontColor and Font, paint on Painter inside Rect, and call
// TDBGridEh::DefaultDrawColumnCell to draw the text with those settings.
struct TGridDrawCell
{
    QPainter *Painter = nullptr;
    QRect Rect;
    int DataCol = 0;   // index of the column
    TColumnEh *Column = nullptr;
    int Row = 0;       // visible row of the dataset, from 0
    int RecNo = 0;     // Row + 1, the record number of the row being drawn
    TGridDrawState State;
    QColor BrushColor;
    QColor FontColor;
    QFont Font;
    // Value of a field (any letter case) in the row being drawn; invalid when
    // the dataset has no such field or the value is NULL.
    QVariant Value(const QString &fieldName) const;
    bool HasField(const QString &fieldName) const;

private:
    friend class TDBGridEh;
    friend class TDBGridEhDelegate;
    const TDBGridEh *FGrid = nullptr;
};

struct TGridLineColors
{
    QColor DarkColor;   // lines between data cells
    QColor BrightColor; // separators of title and footer cells
};

// A read-only data grid over the dataset of a data source. Its rows are the
// dataset's visible rows, read from memory only; a change of the rows resets
// the view. The current row is the dataset's current record both ways.
// Events are single handlers; an unset event is skipped.
class TDBGridEh : public QTableView, public IGridColumns
{
    Q_OBJECT
public:
    explicit TDBGridEh(QWidget *parent = nullptr);
    ~TDBGridEh() override;

    TDataSource *DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource *dataSource);
    // The dataset of the data source, nullptr when none.
    TDataSet *DataSet() const;

    // Columns.
    TColumnEh *AddColumn(const QString &fieldName, const QString &title = QString(), int width = 64);
    void ClearColumns();
    int ColumnCount() const override { return int(FColumns.size()); }
    TColumnEh *Columns(int index) const; // nullptr outside 0..ColumnCount()-1
    TColumnEh *FindColumn(const QString &fieldName) const;
    TColumnDefValues ColumnDefValues() const { return FColumnDefValues; }
    void SetColumnDefValues(const TColumnDefValues &values);

    // IGridColumns: widths by column position; positions outside the columns are ignored.
    int ColumnWidth(int index) const override;
    void SetColumnWidth(int index, int width) override;

    // Selected column: index (-1 without columns), its column and its dataset field.
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int index);
    TColumnEh *SelectedColumn() const { return Columns(FSelectedIndex); }
    TField *SelectedField() const;

    // Sort-marked columns in the order they were marked, each with its marker.
    // With dghAutoSortMarking a click on a title button cycles that column's
    // marker none -> down -> up -> none and drops the other markers; with
    // dghMultiSortMarking a Ctrl+click cycles it and keeps the others. The grid
    // shows the markers and raises OnSortMarkingChanged; it does not sort.
    QVector<TColumnEh *> SortMarkedColumns() const { return FSortMarked; }
    void ClearSortMarkers();

    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions options);
    TGridOptionsEh OptionsEh() const { return FOptionsEh; }
    void SetOptionsEh(TGridOptionsEh options);
    bool ReadOnly() const { return FReadOnly; }
    // The grid has no editor; ReadOnly is kept for the layouts that set it.
    void SetReadOnly(bool value) { FReadOnly = value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);

    // Footer row under the data rows (0 or 1 rows).
    int FooterRowCount() const { return FFooterRowCount; }
    void SetFooterRowCount(int count);

    // Colours; invalid colours mean the palette's.
    QColor Color() const { return FColor; }
    void SetColor(const QColor &value);
    QColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(const QColor &value);
    QColor EvenRowColor() const { return FEvenRowColor; }
    void SetEvenRowColor(const QColor &value);
    QColor OddRowColor() const { return FOddRowColor; }
    void SetOddRowColor(const QColor &value);
    QColor FocusedCellColor() const { return FFocusedCellColor; }
    void SetFocusedCellColor(const QColor &value);
    QColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(const QColor &value);
    QColor FooterColor() const { return FFooterColor; }
    void SetFooterColor(const QColor &value);
    QColor FooterFontColor() const { return FFooterFontColor; }
    void SetFooterFontColor(const QColor &value);
    QColor FontColor() const { return FFontColor; }
    void SetFontColor(const QColor &value);
    TGridLineColors GridLineColors() const { return FGridLineColors; }
    void SetGridLineColors(const TGridLineColors &value);
    QFont TitleFont() const { return FTitleFont; }
    void SetTitleFont(const QFont &font);
    QColor TitleFontColor() const { return FTitleFontColor; }
    void SetTitleFontColor(const QColor &value);

    // Vertical scroll bar: shown or hidden for good; as needed until set.
    bool VertScrollBarVisible() const;
    void SetVertScrollBarVisible(bool visible);

    // Rows of the grid in the sense of the layouts: the title row plus the data
    // rows on screen (the records, at most as many as fit fully, at least one).
    int RowCount() const;
    // Data rows that fit fully into the grid's present size.
    int VisibleRowCount() const;
    int DefaultRowHeight() const;
    void SetDefaultRowHeight(int height);

    // Draws the cell's text in cell.FontColor and cell.Font on cell.BrushColor.
    void DefaultDrawColumnCell(TGridDrawCell &cell) const;

    // Events.
    std::function<void(TDBGridEh &, TGridDrawCell &)> OnDrawColumnCell;
    std::function<void(TDBGridEh &)> OnDblClick;            // double click on a data row
    std::function<void(TDBGridEh &)> OnColEnter;            // the selected column changed
    std::function<void(TDBGridEh &)> OnSortMarkingChanged;  // the marked list or a marker changed
    std::function<void(TDBGridEh &, TColumnEh &)> OnTitleBtnClick;
    // Before the grid's own key handling; true consumes the key.
    std::function<bool(TDBGridEh &, QKeyEvent &)> OnKeyDown;

    // Internal: the sum shown by a column's footer (NaN when none).
    double FooterValue(int column) const;

Q_SIGNALS:
    void DataSourceChanged();
    // At the start of the destructor, while the grid is still whole.
    void Destroying();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyboardSearch(const QString &search) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    friend class TColumnEh;
    friend class TDBGridEhModel;
    friend class TDBGridEhDelegate;
    friend class TDBGridEhHeader;
    friend class TDBGridEhIndicator;
    friend class TDBGridEhFooter;

    void DataSetBindingChanged();
    void ResetRows();
    void SyncFromDataSet();
    void ColumnsChanged();
    void ColumnChanged(TColumnEh *column, bool layout);
    void ApplyColumnWidths();
    // A column's width on screen: its own width, widened to show its footer text whole.
    int ShownWidth(int column) const;
    void RecalcFooters();
    void TitleClicked(int column, Qt::KeyboardModifiers modifiers);
    void SortMarkerChanged(TColumnEh *column, TSortMarker marker);
    void ApplyOptions();
    int FooterHeight() const;
    int TitleHeight() const;
    void LayoutGeometry();
    void PaintCell(QPainter *painter, const QRect &rect, int row, int column);
    int FieldIndexOf(int column) const;

    QPointer<TDataSource> FDataSource;
    QPointer<TDataSet> FBoundDataSet;
    std::vector<QMetaObject::Connection> FSourceConnections;
    QMetaObject::Connection FDataSetDestroyed;
    TDBGridEhModel *FModel;
    TDBGridEhHeader *FHeader;
    TDBGridEhFooter *FFooter;
    std::vector<std::unique_ptr<TColumnEh>> FColumns;
    QVector<int> FFieldIndexes;    // per column, -1 when the field is missing
    QVector<double> FFooterValues; // per column, NaN without a sum
    QVector<TColumnEh *> FSortMarked;
    TColumnDefValues FColumnDefValues;
    int FSelectedIndex = -1;
    int FSyncing = 0;
    bool FPlacingFooter = false;
    bool FWideningColumns = false;
    bool FGeometryAgain = false;
    TGridOptions FOptions;
    TGridOptionsEh FOptionsEh;
    bool FReadOnly = false;
    bool FFlat = false;
    int FFooterRowCount = 0;
    int FRowHeight = 0;
    QColor FColor, FFixedColor, FEvenRowColor, FOddRowColor, FFocusedCellColor, FSelectionColor;
    QColor FFooterColor, FFooterFontColor, FFontColor, FTitleFontColor;
    TGridLineColors FGridLineColors;
    QFont FTitleFont;
};
