#include "platform/widgets/DBGridEh.h"

#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/DateTime.h"
#include "platform/Exception.h"
#include "platform/Format.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <qdrawutil.h>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QtMath>
#include <cmath>
#include <limits>

namespace {

constexpr int c_CellPadding = 3;
constexpr int c_MarkerWidth = 14;

bool IsNumericType(TFieldType type)
{
    return type == TFieldType::Integer || type == TFieldType::Float;
}

bool IsNumericVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

QString FormatNumber(const QString &format, double value)
{
    if (format.isEmpty())
        return FloatToStr(value);
    try {
        return FormatFloat(format, value);
    } catch (const Exception &) {
        return FloatToStr(value);
    }
}

Qt::Alignment VerticalAlignment(TTextLayout layout)
{
    switch (layout) {
    case TTextLayout::tlTop:
        return Qt::AlignTop;
    case TTextLayout::tlBottom:
        return Qt::AlignBottom;
    default:
        return Qt::AlignVCenter;
    }
}

// One line of text inside rect: clipped, or cut with an ellipsis.
void DrawLine(QPainter *painter, const QRect &rect, Qt::Alignment alignment, QString text, bool ellipsis)
{
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    if (ellipsis)
        text = painter->fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    painter->drawText(rect, int(alignment) | Qt::TextSingleLine, text);
}

// Wrapped text: centred (or as aligned) when it fits, otherwise from the top,
// with the last visible line cut with an ellipsis when asked.
void DrawWrapped(QPainter *painter, const QRect &rect, Qt::Alignment horizontal, Qt::Alignment vertical,
                 const QString &text, bool ellipsis)
{
    const QFontMetrics fm = painter->fontMetrics();
    const int flags = int(horizontal) | Qt::TextWordWrap;
    const QRect needed = fm.boundingRect(QRect(0, 0, rect.width(), 100000), flags, text);
    if (needed.height() <= rect.height()) {
        painter->drawText(rect, flags | int(vertical), text);
        return;
    }
    QTextLayout layout(text, painter->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    const int lineHeight = fm.lineSpacing();
    const int fitting = qMax(1, rect.height() / lineHeight);
    QVector<QPair<int, int>> lines;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(rect.width());
        lines.append({line.textStart(), line.textLength()});
    }
    layout.endLayout();
    const int block = qMin(fitting, int(lines.size())) * lineHeight;
    int y = rect.top();
    if (vertical & Qt::AlignVCenter)
        y += (rect.height() - block) / 2;
    else if (vertical & Qt::AlignBottom)
        y += rect.height() - block;
    for (int i = 0; i < lines.size() && i < fitting; ++i) {
        const bool last = i == fitting - 1 && i < lines.size() - 1;
        QString part = last ? text.mid(lines[i].first) : text.mid(lines[i].first, lines[i].second);
        QRect lineRect(rect.left(), y, rect.width(), lineHeight);
        DrawLine(painter, lineRect, horizontal | Qt::AlignVCenter, part.trimmed(), last && ellipsis);
        y += lineHeight;
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Model: the dataset's visible rows, read from memory only.

class TDBGridEhModel : public QAbstractTableModel
{
public:
    explicit TDBGridEhModel(TDBGridEh *grid) : QAbstractTableModel(grid), FGrid(grid) {}

    // Rows and columns are counted at the end of a reset only, so the model
    // keeps its shape until the reset ends even when the grid's columns
    // changed before it began.
    void BeginReset() { beginResetModel(); }
    void EndReset(int rows)
    {
        FRowCount = rows;
        FColumnCount = FGrid->ColumnCount();
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : FRowCount;
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : FColumnCount;
    }

    // The value of a cell; invalid for a missing field or a row the dataset no longer has.
    QVariant CellValue(int row, int column) const
    {
        TDataSet *ds = FGrid->DataSet();
        const int field = FGrid->FieldIndexOf(column);
        if (!ds || !ds->Active() || field < 0 || row < 0 || row >= ds->RecordCount())
            return QVariant();
        return ds->ValueAt(row, field);
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= FRowCount)
            return QVariant();
        TColumnEh *column = FGrid->Columns(index.column());
        if (!column)
            return QVariant();
        switch (role) {
        case Qt::DisplayRole:
            return column->DisplayText(CellValue(index.row(), index.column()));
        case Qt::TextAlignmentRole:
            return int(column->Alignment() | VerticalAlignment(column->Layout()));
        default:
            return QVariant();
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return QVariant();
        TColumnEh *column = FGrid->Columns(section);
        return column ? QVariant(column->Title()) : QVariant();
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

private:
    TDBGridEh *FGrid;
    int FRowCount = 0;
    int FColumnCount = 0;
};

// ---------------------------------------------------------------------------
// Cells are painted by the grid itself, so the draw event sees every cell.

class TDBGridEhDelegate : public QStyledItemDelegate
{
public:
    explicit TDBGridEhDelegate(TDBGridEh *grid) : QStyledItemDelegate(grid), FGrid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        FGrid->PaintCell(painter, option.rect, index.row(), index.column());
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QString text = index.data(Qt::DisplayRole).toString();
        const int width = option.fontMetrics.horizontalAdvance(text) + 2 * c_CellPadding + 2;
        return QSize(width, FGrid->DefaultRowHeight());
    }

private:
    TDBGridEh *FGrid;
};

// ---------------------------------------------------------------------------
// Title row: column titles, title buttons and sort markers.

class TDBGridEhHeader : public QHeaderView
{
public:
    explicit TDBGridEhHeader(TDBGridEh *grid) : QHeaderView(Qt::Horizontal, grid), FGrid(grid)
    {
        setSectionsClickable(true);
        setHighlightSections(false);
        setSectionsMovable(false);
        setStretchLastSection(false);
        setMinimumSectionSize(8);
        setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        connect(this, &QHeaderView::sectionClicked, this,
                [this](int section) { FGrid->TitleClicked(section, FModifiers); });
    }

    QSize sizeHint() const override
    {
        return QSize(QHeaderView::sizeHint().width(), FGrid->TitleHeight());
    }

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override
    {
        TColumnEh *column = FGrid->Columns(logicalIndex);
        const QFontMetrics fm(FGrid->TitleFont());
        const int text = column ? fm.horizontalAdvance(column->Title()) : 0;
        const int marker = column && column->SortMarker() != TSortMarker::smNone ? c_MarkerWidth : 0;
        return QSize(text + marker + 2 * c_CellPadding + 2, FGrid->TitleHeight());
    }

    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        TColumnEh *column = FGrid->Columns(logicalIndex);
        if (!column || !rect.isValid())
            return;
        const bool pressed = FPressed == logicalIndex && column->TitleButton();
        QColor fill = FGrid->FFixedColor.isValid() ? FGrid->FFixedColor : palette().color(QPalette::Button);
        if (pressed)
            fill = fill.darker(112);
        painter->fillRect(rect, fill);
        if (FGrid->Flat()) {
            const QColor line = FGrid->FGridLineColors.BrightColor.isValid()
                                    ? FGrid->FGridLineColors.BrightColor
                                    : palette().color(QPalette::Mid);
            painter->setPen(line);
            painter->drawLine(rect.topRight(), rect.bottomRight());
            painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        } else {
            qDrawShadePanel(painter, rect, palette(), pressed, 1);
        }

        QRect textRect = rect.adjusted(c_CellPadding, 1, -c_CellPadding - 1, -1);
        if (pressed)
            textRect.translate(1, 1);
        const int markedCount = FGrid->FSortMarked.size();
        if (column->SortMarker() != TSortMarker::smNone) {
            QRect markerRect(textRect.right() - c_MarkerWidth + 2, textRect.top(), c_MarkerWidth - 2, textRect.height());
            textRect.setRight(markerRect.left() - 2);
            PaintMarker(painter, markerRect, column->SortMarker(),
                        markedCount > 1 ? FGrid->FSortMarked.indexOf(column) + 1 : 0);
        }
        painter->setFont(FGrid->TitleFont());
        painter->setPen(FGrid->FTitleFontColor.isValid() ? FGrid->FTitleFontColor
                                                           : palette().color(QPalette::ButtonText));
        DrawLine(painter, textRect, column->TitleAlignment() | Qt::AlignVCenter, column->Title(),
                 column->TitleEndEllipsis());
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        FModifiers = event->modifiers();
        const int section = logicalIndexAt(event->position().toPoint());
        FPressed = -1;
        if (section >= 0 && event->button() == Qt::LeftButton) {
            const int x = event->position().toPoint().x();
            const int left = sectionViewportPosition(section);
            const int right = left + sectionSize(section);
            const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
            if (x > left + grip && x < right - grip)
                FPressed = section;
        }
        QHeaderView::mousePressEvent(event);
        viewport()->update();
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        FModifiers = event->modifiers() | FModifiers;
        QHeaderView::mouseReleaseEvent(event);
        FPressed = -1;
        FModifiers = Qt::NoModifier;
        viewport()->update();
    }

private:
    static void PaintMarker(QPainter *painter, const QRect &rect, TSortMarker marker, int number)
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(64, 64, 64));
        const int w = 8;
        const int h = 4;
        const int cx = rect.left() + rect.width() / 2;
        const int cy = rect.top() + rect.height() / 2 - (number > 0 ? 3 : 0);
        QPolygon arrow;
        if (marker == TSortMarker::smDown)
            arrow << QPoint(cx - w / 2, cy - h / 2) << QPoint(cx + w / 2, cy - h / 2) << QPoint(cx, cy + h / 2 + 1);
        else
            arrow << QPoint(cx - w / 2, cy + h / 2 + 1) << QPoint(cx + w / 2, cy + h / 2 + 1) << QPoint(cx, cy - h / 2);
        painter->drawPolygon(arrow);
        if (number > 0) {
            QFont small = painter->font();
            small.setPixelSize(8);
            small.setUnderline(false);
            painter->setFont(small);
            painter->setPen(QColor(64, 64, 64));
            painter->drawText(QRect(rect.left(), cy + h, rect.width(), 10), Qt::AlignHCenter | Qt::AlignTop,
                              QString::number(number));
        }
        painter->restore();
    }

    TDBGridEh *FGrid;
    Qt::KeyboardModifiers FModifiers = Qt::NoModifier;
    int FPressed = -1;
};

// Row indicator: a marker at the current row.
class TDBGridEhIndicator : public QHeaderView
{
public:
    explicit TDBGridEhIndicator(TDBGridEh *grid) : QHeaderView(Qt::Vertical, grid), FGrid(grid)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
        setSectionResizeMode(QHeaderView::Fixed);
        setMinimumSectionSize(1);
    }
    QSize sizeHint() const override { return QSize(12, QHeaderView::sizeHint().height()); }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        painter->fillRect(rect, FGrid->FFixedColor.isValid() ? FGrid->FFixedColor : palette().color(QPalette::Button));
        painter->setPen(palette().color(QPalette::Mid));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        if (FGrid->currentIndex().isValid() && FGrid->currentIndex().row() == logicalIndex) {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing, true);
            painter->setPen(Qt::NoPen);
            painter->setBrush(palette().color(QPalette::ButtonText));
            const int cy = rect.center().y();
            const int cx = rect.left() + rect.width() / 2;
            painter->drawPolygon(QPolygon() << QPoint(cx - 2, cy - 4) << QPoint(cx + 3, cy) << QPoint(cx - 2, cy + 4));
            painter->restore();
        }
    }

private:
    TDBGridEh *FGrid;
};

// Footer row: one cell per column under the data rows, scrolled with them.
class TDBGridEhFooter : public QWidget
{
public:
    explicit TDBGridEhFooter(TDBGridEh *grid) : QWidget(grid), FGrid(grid)
    {
        setAttribute(Qt::WA_OpaquePaintEvent, true);
    }

    // Left edge of the data cells inside the footer.
    int FOffset = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QColor fill = FGrid->FFooterColor.isValid() ? FGrid->FFooterColor : palette().color(QPalette::Button);
        const QColor text = FGrid->FFooterFontColor.isValid() ? FGrid->FFooterFontColor
                                                              : palette().color(QPalette::ButtonText);
        const QColor line = FGrid->FGridLineColors.BrightColor.isValid() ? FGrid->FGridLineColors.BrightColor
                                                                         : palette().color(QPalette::Mid);
        painter.fillRect(rect(), fill);
        painter.setPen(line);
        painter.drawLine(0, 0, width() - 1, 0);
        painter.setFont(FGrid->font());
        for (int i = 0; i < FGrid->ColumnCount(); ++i) {
            const int x = FOffset + FGrid->columnViewportPosition(i);
            const int w = FGrid->columnWidth(i);
            if (w <= 0 || x > width() || x + w < FOffset)
                continue;
            QRect cell(x, 1, w, height() - 1);
            painter.setClipRect(QRect(FOffset, 0, width() - FOffset, height()));
            if (FGrid->Flat()) {
                painter.setPen(line);
                painter.drawLine(cell.topRight(), cell.bottomRight());
            } else {
                qDrawShadePanel(&painter, cell, palette(), false, 1);
            }
            TColumnEh *column = FGrid->Columns(i);
            painter.setPen(text);
            painter.setClipRect(cell.adjusted(0, 0, -1, 0).intersected(QRect(FOffset, 0, width() - FOffset, height())));
            DrawLine(&painter, cell.adjusted(c_CellPadding, 0, -c_CellPadding - 1, 0),
                     column->Alignment() | Qt::AlignVCenter, column->FooterText(), column->FooterEndEllipsis());
            painter.setClipping(false);
        }
    }

private:
    TDBGridEh *FGrid;
};

// ---------------------------------------------------------------------------
// TColumnEh

TColumnEh::TColumnEh(TDBGridEh *grid, QString fieldName) : FGrid(grid), FFieldName(std::move(fieldName)) {}

int TColumnEh::Index() const
{
    for (int i = 0; i < FGrid->ColumnCount(); ++i)
        if (FGrid->Columns(i) == this)
            return i;
    return -1;
}

void TColumnEh::Changed(bool layout)
{
    FGrid->ColumnChanged(this, layout);
}

void TColumnEh::SetFieldName(const QString &value)
{
    if (FFieldName == value)
        return;
    FFieldName = value;
    Changed(true);
}

TField *TColumnEh::Field() const
{
    TDataSet *ds = FGrid->DataSet();
    return ds && ds->Active() ? ds->FindField(FFieldName) : nullptr;
}

void TColumnEh::SetTitle(const QString &value)
{
    FTitle = value;
    Changed();
}

void TColumnEh::SetTitleAlignment(Qt::Alignment value)
{
    FTitleAlignment = value & Qt::AlignHorizontal_Mask;
    Changed();
}

void TColumnEh::SetTitleEndEllipsis(bool value)
{
    FTitleEndEllipsis = value;
    Changed();
}

bool TColumnEh::TitleButton() const
{
    return FTitleButton.value_or(FGrid->ColumnDefValues().TitleButton);
}

void TColumnEh::SetTitleButton(bool value)
{
    FTitleButton = value;
    Changed();
}

void TColumnEh::SetWidth(int value)
{
    FWidth = qMax(0, value);
    Changed(true);
}

void TColumnEh::SetDisplayFormat(const QString &value)
{
    FDisplayFormat = value;
    Changed();
}

Qt::Alignment TColumnEh::Alignment() const
{
    if (FAlignment)
        return *FAlignment;
    TField *field = Field();
    return field && IsNumericType(field->DataType()) ? Qt::AlignRight : Qt::AlignLeft;
}

void TColumnEh::SetAlignment(Qt::Alignment value)
{
    FAlignment = value & Qt::AlignHorizontal_Mask;
    Changed();
}

void TColumnEh::SetLayout(TTextLayout value)
{
    FLayout = value;
    Changed();
}

void TColumnEh::SetWordWrap(bool value)
{
    FWordWrap = value;
    Changed();
}

bool TColumnEh::EndEllipsis() const
{
    return FEndEllipsis.value_or(FGrid->ColumnDefValues().EndEllipsis);
}

void TColumnEh::SetEndEllipsis(bool value)
{
    FEndEllipsis = value;
    Changed();
}

void TColumnEh::SetSortMarker(TSortMarker value)
{
    if (FSortMarker == value)
        return;
    FGrid->SortMarkerChanged(this, value);
}

void TColumnEh::SetFooterValueType(TFooterValueType value)
{
    FFooterValueType = value;
    Changed(true);
}

void TColumnEh::SetFooterFieldName(const QString &value)
{
    FFooterFieldName = value;
    Changed(true);
}

void TColumnEh::SetFooterDisplayFormat(const QString &value)
{
    FFooterDisplayFormat = value;
    Changed();
}

void TColumnEh::SetFooterEndEllipsis(bool value)
{
    FFooterEndEllipsis = value;
    Changed();
}

QString TColumnEh::FooterText() const
{
    if (FFooterValueType == TFooterValueType::fvtNone)
        return QString();
    const double value = FGrid->FooterValue(Index());
    if (std::isnan(value))
        return QString();
    return FormatNumber(FFooterDisplayFormat.isEmpty() ? FDisplayFormat : FFooterDisplayFormat, value);
}

QString TColumnEh::DisplayText(const QVariant &value) const
{
    if (!value.isValid() || value.isNull())
        return QString();
    TField *field = Field();
    const TFieldType type = field ? field->DataType() : TFieldType::Unknown;
    if (type == TFieldType::DateTime)
        return DateTimeToStr(value.toDouble());
    if (IsNumericType(type) || (type == TFieldType::Unknown && IsNumericVariant(value))) {
        if (!FDisplayFormat.isEmpty())
            return FormatNumber(FDisplayFormat, value.toDouble());
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
            return FloatToStr(value.toDouble());
        return value.toString();
    }
    return value.toString();
}

// ---------------------------------------------------------------------------
// TGridDrawCell

bool TGridDrawCell::HasField(const QString &fieldName) const
{
    TDataSet *ds = FGrid ? FGrid->DataSet() : nullptr;
    return ds && ds->Active() && ds->FindField(fieldName);
}

QVariant TGridDrawCell::Value(const QString &fieldName) const
{
    TDataSet *ds = FGrid ? FGrid->DataSet() : nullptr;
    if (!ds || !ds->Active() || Row < 0 || Row >= ds->RecordCount())
        return QVariant();
    TField *field = ds->FindField(fieldName);
    return field ? ds->ValueAt(Row, field->Index()) : QVariant();
}

// ---------------------------------------------------------------------------
// TDBGridEh

TDBGridEh::TDBGridEh(QWidget *parent)
    : QTableView(parent),
      FModel(new TDBGridEhModel(this)),
      FHeader(new TDBGridEhHeader(this)),
      FFooter(new TDBGridEhFooter(this)),
      FOptions(dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs | dgConfirmDelete),
      FOptionsEh(dghClearSelection | dghDblClickOptimizeColWidth)
{
    setHorizontalHeader(FHeader);
    setVerticalHeader(new TDBGridEhIndicator(this));
    setModel(FModel);
    setItemDelegate(new TDBGridEhDelegate(this));
    setShowGrid(false);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    FTitleFont = font();
    FFooter->hide();

    disconnect(FHeader, SIGNAL(sectionHandleDoubleClicked(int)), this, SLOT(resizeColumnToContents(int)));
    connect(FHeader, &QHeaderView::sectionHandleDoubleClicked, this, [this](int section) {
        if ((FOptionsEh & dghDblClickOptimizeColWidth) && FHeader->sectionResizeMode(section) == QHeaderView::Interactive)
            resizeColumnToContents(section);
    });
    connect(FHeader, &QHeaderView::sectionResized, this, [this](int section, int, int newSize) {
        TColumnEh *column = Columns(section);
        if (column && !FWideningColumns) {
            column->FWidth = newSize;
            if (ShownWidth(section) > newSize)
                ApplyColumnWidths();
        }
        FFooter->update();
    });
    SetDefaultRowHeight(0);
    ApplyOptions();
}

TDBGridEh::~TDBGridEh()
{
    Q_EMIT Destroying();
    OnDrawColumnCell = nullptr;
    for (auto &c : FSourceConnections)
        disconnect(c);
    disconnect(FDataSetDestroyed);
}

void TDBGridEh::SetDataSource(TDataSource *dataSource)
{
    if (FDataSource == dataSource)
        return;
    for (auto &c : FSourceConnections)
        disconnect(c);
    FSourceConnections.clear();
    FDataSource = dataSource;
    if (dataSource) {
        FSourceConnections.push_back(connect(dataSource, &TDataSource::DataSetChanged, this, [this] {
            DataSetBindingChanged();
            ResetRows();
        }));
        FSourceConnections.push_back(connect(dataSource, &TDataSource::DataChange, this, [this] { ResetRows(); }));
        FSourceConnections.push_back(
            connect(dataSource, &TDataSource::CurrentChanged, this, [this] { SyncFromDataSet(); }));
        FSourceConnections.push_back(connect(dataSource, &QObject::destroyed, this, [this] {
            DataSetBindingChanged();
            ResetRows();
        }));
    }
    DataSetBindingChanged();
    ResetRows();
    Q_EMIT DataSourceChanged();
}

TDataSet *TDBGridEh::DataSet() const
{
    return FDataSource ? FDataSource->DataSet() : nullptr;
}

void TDBGridEh::DataSetBindingChanged()
{
    disconnect(FDataSetDestroyed);
    FBoundDataSet = DataSet();
    if (FBoundDataSet)
        FDataSetDestroyed = connect(FBoundDataSet, &QObject::destroyed, this, [this] { ResetRows(); });
}

int TDBGridEh::FieldIndexOf(int column) const
{
    return column >= 0 && column < FFieldIndexes.size() ? FFieldIndexes[column] : -1;
}

void TDBGridEh::ResetRows()
{
    TDataSet *ds = DataSet();
    const bool active = ds && ds->Active();
    FModel->BeginReset();
    FFieldIndexes.clear();
    for (const auto &column : FColumns) {
        TField *field = active ? ds->FindField(column->FieldName()) : nullptr;
        FFieldIndexes.append(field ? field->Index() : -1);
    }
    RecalcFooters();
    FModel->EndReset(active ? ds->RecordCount() : 0);
    ApplyColumnWidths();
    if (FSelectedIndex >= ColumnCount())
        FSelectedIndex = ColumnCount() - 1;
    if (FSelectedIndex < 0 && ColumnCount() > 0)
        FSelectedIndex = 0;
    SyncFromDataSet();
    FHeader->viewport()->update();
    FFooter->update();
    viewport()->update();
}

void TDBGridEh::RecalcFooters()
{
    FFooterValues.fill(std::numeric_limits<double>::quiet_NaN(), ColumnCount());
    TDataSet *ds = DataSet();
    if (!ds || !ds->Active())
        return;
    const int rows = ds->RecordCount();
    for (int i = 0; i < ColumnCount(); ++i) {
        TColumnEh *column = FColumns[i].get();
        if (column->FooterValueType() != TFooterValueType::fvtSum)
            continue;
        const QString name = column->FooterFieldName().isEmpty() ? column->FieldName() : column->FooterFieldName();
        TField *field = ds->FindField(name);
        if (!field)
            continue;
        double sum = 0;
        for (int r = 0; r < rows; ++r) {
            const QVariant v = ds->ValueAt(r, field->Index());
            if (v.isValid() && !v.isNull())
                sum += v.toDouble();
        }
        FFooterValues[i] = sum;
    }
}

double TDBGridEh::FooterValue(int column) const
{
    return column >= 0 && column < FFooterValues.size() ? FFooterValues[column]
                                                        : std::numeric_limits<double>::quiet_NaN();
}

void TDBGridEh::SyncFromDataSet()
{
    if (FSyncing)
        return;
    TDataSet *ds = DataSet();
    if (!ds || !ds->Active() || ds->RecordCount() == 0 || ColumnCount() == 0)
        return;
    const int row = ds->RecNo() - 1;
    const int column = qBound(0, FSelectedIndex, ColumnCount() - 1);
    if (row < 0 || row >= FModel->rowCount())
        return;
    const QModelIndex index = FModel->index(row, column);
    if (currentIndex() != index) {
        ++FSyncing;
        setCurrentIndex(index);
        --FSyncing;
    }
    scrollTo(index);
}

void TDBGridEh::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    viewport()->update();
    verticalHeader()->viewport()->update();
    if (!current.isValid())
        return;
    bool columnChanged = false;
    if (current.column() != FSelectedIndex) {
        FSelectedIndex = current.column();
        columnChanged = true;
    }
    if (!FSyncing) {
        TDataSet *ds = DataSet();
        if (ds && ds->Active() && ds->RecNo() != current.row() + 1) {
            ++FSyncing;
            struct Guard { int &n; ~Guard() { --n; } } guard{FSyncing};
            ds->SetRecNo(current.row() + 1);
        }
    }
    if (columnChanged && OnColEnter)
        OnColEnter(*this);
}

TColumnEh *TDBGridEh::AddColumn(const QString &fieldName, const QString &title, int width)
{
    auto column = std::make_unique<TColumnEh>(this, fieldName);
    column->FTitle = title.isEmpty() ? fieldName : title;
    column->FWidth = qMax(0, width);
    FColumns.push_back(std::move(column));
    ColumnsChanged();
    return FColumns.back().get();
}

void TDBGridEh::ClearColumns()
{
    const bool hadMarkers = !FSortMarked.isEmpty();
    FSortMarked.clear();
    FColumns.clear();
    FSelectedIndex = -1;
    ColumnsChanged();
    if (hadMarkers && OnSortMarkingChanged)
        OnSortMarkingChanged(*this);
}

TColumnEh *TDBGridEh::Columns(int index) const
{
    return index >= 0 && index < ColumnCount() ? FColumns[index].get() : nullptr;
}

TColumnEh *TDBGridEh::FindColumn(const QString &fieldName) const
{
    for (const auto &column : FColumns)
        if (column->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return column.get();
    return nullptr;
}

void TDBGridEh::SetColumnDefValues(const TColumnDefValues &values)
{
    FColumnDefValues = values;
    FHeader->viewport()->update();
    viewport()->update();
}

void TDBGridEh::ColumnsChanged()
{
    ResetRows();
}

void TDBGridEh::ColumnChanged(TColumnEh *column, bool layout)
{
    if (layout) {
        const int index = column->Index();
        TDataSet *ds = DataSet();
        if (index >= 0 && index < FFieldIndexes.size()) {
            TField *field = ds && ds->Active() ? ds->FindField(column->FieldName()) : nullptr;
            FFieldIndexes[index] = field ? field->Index() : -1;
        }
        RecalcFooters();
        ApplyColumnWidths();
    }
    FHeader->viewport()->update();
    FFooter->update();
    viewport()->update();
}

void TDBGridEh::ApplyColumnWidths()
{
    const bool outer = !FWideningColumns;
    FWideningColumns = true;
    for (int i = 0; i < ColumnCount() && i < FHeader->count(); ++i)
        if (FHeader->sectionSize(i) != ShownWidth(i))
            FHeader->resizeSection(i, ShownWidth(i));
    FWideningColumns = !outer;
}

int TDBGridEh::ShownWidth(int column) const
{
    const int width = FColumns[column]->FWidth;
    const QString text = FFooterRowCount > 0 && width > 0 ? FColumns[column]->FooterText() : QString();
    if (text.isEmpty())
        return width;
    const int needed = qCeil(QFontMetricsF(font()).horizontalAdvance(text)) + 2 * c_CellPadding + 1;
    return qMax(width, needed);
}

int TDBGridEh::ColumnWidth(int index) const
{
    TColumnEh *column = Columns(index);
    return column ? column->Width() : 0;
}

void TDBGridEh::SetColumnWidth(int index, int width)
{
    if (TColumnEh *column = Columns(index))
        column->SetWidth(width);
}

void TDBGridEh::SetSelectedIndex(int index)
{
    if (ColumnCount() == 0)
        return;
    index = qBound(0, index, ColumnCount() - 1);
    const QModelIndex current = currentIndex();
    if (current.isValid()) {
        if (current.column() != index)
            setCurrentIndex(FModel->index(current.row(), index));
        return;
    }
    if (index != FSelectedIndex) {
        FSelectedIndex = index;
        if (OnColEnter)
            OnColEnter(*this);
    }
}

TField *TDBGridEh::SelectedField() const
{
    TColumnEh *column = SelectedColumn();
    return column ? column->Field() : nullptr;
}

void TDBGridEh::SortMarkerChanged(TColumnEh *column, TSortMarker marker)
{
    column->FSortMarker = marker;
    const int at = FSortMarked.indexOf(column);
    if (marker == TSortMarker::smNone) {
        if (at >= 0)
            FSortMarked.remove(at);
    } else if (at < 0) {
        FSortMarked.append(column);
    }
    FHeader->viewport()->update();
    if (OnSortMarkingChanged)
        OnSortMarkingChanged(*this);
}

void TDBGridEh::ClearSortMarkers()
{
    if (FSortMarked.isEmpty())
        return;
    for (TColumnEh *column : FSortMarked)
        column->FSortMarker = TSortMarker::smNone;
    FSortMarked.clear();
    FHeader->viewport()->update();
    if (OnSortMarkingChanged)
        OnSortMarkingChanged(*this);
}

void TDBGridEh::TitleClicked(int section, Qt::KeyboardModifiers modifiers)
{
    TColumnEh *column = Columns(section);
    if (!column || !column->TitleButton())
        return;
    if (OnTitleBtnClick)
        OnTitleBtnClick(*this, *column);
    if (!(FOptionsEh & dghAutoSortMarking))
        return;
    // A plain click sorts by this column alone; Ctrl+click adds it to the others.
    // The marker cycles none -> down -> up -> none.
    TSortMarker next = TSortMarker::smDown;
    if (column->FSortMarker == TSortMarker::smDown)
        next = TSortMarker::smUp;
    else if (column->FSortMarker == TSortMarker::smUp)
        next = TSortMarker::smNone;
    const bool multi = (FOptionsEh & dghMultiSortMarking) && (modifiers & Qt::ControlModifier);
    if (!multi) {
        for (TColumnEh *other : FSortMarked)
            if (other != column)
                other->FSortMarker = TSortMarker::smNone;
        FSortMarked.removeIf([column](TColumnEh *c) { return c != column; });
    }
    SortMarkerChanged(column, next);
}

void TDBGridEh::SetOptions(TGridOptions options)
{
    FOptions = options;
    ApplyOptions();
}

void TDBGridEh::SetOptionsEh(TGridOptionsEh options)
{
    FOptionsEh = options;
    ApplyOptions();
}

void TDBGridEh::ApplyOptions()
{
    FHeader->setVisible(FOptions & dgTitles);
    verticalHeader()->setVisible(FOptions & dgIndicator);
    const bool resizable = (FOptions & dgColumnResize) || (FOptionsEh & dghColumnResize);
    FHeader->setSectionResizeMode(resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
    setTabKeyNavigation(FOptions & dgTabs);
    setSelectionBehavior((FOptions & dgRowSelect) ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    ApplyColumnWidths();
    updateGeometries();
    FHeader->viewport()->update();
    viewport()->update();
}

void TDBGridEh::SetFlat(bool value)
{
    FFlat = value;
    FHeader->viewport()->update();
    FFooter->update();
}

void TDBGridEh::SetFooterRowCount(int count)
{
    FFooterRowCount = qBound(0, count, 1);
    ApplyColumnWidths();
    updateGeometries();
    FFooter->update();
}

void TDBGridEh::SetColor(const QColor &value)
{
    FColor = value;
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Base, value.isValid() ? value : palette().color(QPalette::Base));
    viewport()->setPalette(p);
    viewport()->update();
}

void TDBGridEh::SetFixedColor(const QColor &value)
{
    FFixedColor = value;
    FHeader->viewport()->update();
    verticalHeader()->viewport()->update();
}

void TDBGridEh::SetEvenRowColor(const QColor &value)
{
    FEvenRowColor = value;
    viewport()->update();
}

void TDBGridEh::SetOddRowColor(const QColor &value)
{
    FOddRowColor = value;
    viewport()->update();
}

void TDBGridEh::SetFocusedCellColor(const QColor &value)
{
    FFocusedCellColor = value;
    viewport()->update();
}

void TDBGridEh::SetSelectionColor(const QColor &value)
{
    FSelectionColor = value;
    viewport()->update();
}

void TDBGridEh::SetFooterColor(const QColor &value)
{
    FFooterColor = value;
    FFooter->update();
}

void TDBGridEh::SetFooterFontColor(const QColor &value)
{
    FFooterFontColor = value;
    FFooter->update();
}

void TDBGridEh::SetFontColor(const QColor &value)
{
    FFontColor = value;
    viewport()->update();
}

void TDBGridEh::SetGridLineColors(const TGridLineColors &value)
{
    FGridLineColors = value;
    viewport()->update();
    FHeader->viewport()->update();
    FFooter->update();
}

void TDBGridEh::SetTitleFont(const QFont &font)
{
    FTitleFont = font;
    FHeader->setFont(font);
    updateGeometries();
    FHeader->viewport()->update();
}

void TDBGridEh::SetTitleFontColor(const QColor &value)
{
    FTitleFontColor = value;
    FHeader->viewport()->update();
}

bool TDBGridEh::VertScrollBarVisible() const
{
    switch (verticalScrollBarPolicy()) {
    case Qt::ScrollBarAlwaysOn:
        return true;
    case Qt::ScrollBarAlwaysOff:
        return false;
    default:
        return verticalScrollBar()->maximum() > verticalScrollBar()->minimum();
    }
}

void TDBGridEh::SetVertScrollBarVisible(bool visible)
{
    const Qt::ScrollBarPolicy policy = visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (verticalScrollBarPolicy() != policy)
        setVerticalScrollBarPolicy(policy);
}

int TDBGridEh::DefaultRowHeight() const
{
    return FRowHeight;
}

void TDBGridEh::SetDefaultRowHeight(int height)
{
    FRowHeight = height > 0 ? height : fontMetrics().height() + 5;
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(FRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    updateGeometries();
}

int TDBGridEh::TitleHeight() const
{
    return QFontMetrics(FTitleFont).height() + 8;
}

int TDBGridEh::FooterHeight() const
{
    return FFooterRowCount > 0 ? FRowHeight + 1 : 0;
}

int TDBGridEh::VisibleRowCount() const
{
    int height = contentsRect().height() - FooterHeight();
    if (FOptions & dgTitles)
        height -= TitleHeight();
    if (horizontalScrollBar()->isVisible())
        height -= horizontalScrollBar()->height();
    return FRowHeight > 0 ? qMax(0, height / FRowHeight) : 0;
}

int TDBGridEh::RowCount() const
{
    const int titles = (FOptions & dgTitles) ? 1 : 0;
    TDataSet *ds = DataSet();
    const int records = ds && ds->Active() ? ds->RecordCount() : 0;
    return titles + qMax(1, qMin(records, VisibleRowCount()));
}

// The base layout plus a bottom margin for the footer row. The scroll ranges
// are computed here because the base class resets the margins it does not know.
// A scroll bar shown or hidden by the new ranges resizes the viewport, which
// asks for the layout again: it is redone until it stays put.
void TDBGridEh::updateGeometries()
{
    if (FPlacingFooter) {
        FGeometryAgain = true;
        return;
    }
    FPlacingFooter = true;
    struct Guard { bool &b; ~Guard() { b = false; } } guard{FPlacingFooter};
    int passes = 0;
    do {
        FGeometryAgain = false;
        LayoutGeometry();
    } while (FGeometryAgain && ++passes < 4);
    QAbstractItemView::updateGeometries();
}

void TDBGridEh::LayoutGeometry()
{
    QHeaderView *vh = verticalHeader();
    int left = 0;
    if (!vh->isHidden())
        left = qMin(qMax(vh->minimumWidth(), vh->sizeHint().width()), vh->maximumWidth());
    int top = 0;
    if (!FHeader->isHidden())
        top = qMin(qMax(FHeader->minimumHeight(), FHeader->sizeHint().height()), FHeader->maximumHeight());
    const int bottom = ColumnCount() > 0 ? FooterHeight() : 0;
    setViewportMargins(left, top, 0, bottom);

    const QRect vg = viewport()->geometry();
    vh->setGeometry(vg.left() - left, vg.top(), left, vg.height());
    FHeader->setGeometry(vg.left(), vg.top() - top, vg.width(), top);
    if (vh->isHidden())
        QMetaObject::invokeMethod(vh, "updateGeometries");
    if (FHeader->isHidden())
        QMetaObject::invokeMethod(FHeader, "updateGeometries");
    // The corner button of the base class sits where both headers meet.
    for (QAbstractButton *corner : findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly)) {
        if (qstrcmp(corner->metaObject()->className(), "QTableCornerButton") != 0)
            continue;
        if (vh->isHidden() || FHeader->isHidden()) {
            corner->hide();
        } else {
            corner->setGeometry(vg.left() - left, vg.top() - top, left, top);
            corner->show();
        }
    }

    if (bottom > 0) {
        FFooter->FOffset = left;
        FFooter->setGeometry(vg.left() - left, vg.bottom() + 1, vg.width() + left, bottom);
        FFooter->show();
        FFooter->raise();
    } else {
        FFooter->hide();
    }

    QSize vsize = viewport()->size();
    const QSize max = maximumViewportSize();
    const int horizontalLength = FHeader->length();
    const int verticalLength = vh->length();
    if (max.width() >= horizontalLength && max.height() >= verticalLength)
        vsize = max;

    const int columnCount = FHeader->count();
    int columnsInViewport = 0;
    for (int width = 0, column = columnCount - 1; column >= 0; --column) {
        const int logical = FHeader->logicalIndex(column);
        if (!FHeader->isSectionHidden(logical)) {
            width += FHeader->sectionSize(logical);
            if (width > vsize.width())
                break;
            ++columnsInViewport;
        }
    }
    columnsInViewport = qMax(columnsInViewport, 1);
    if (horizontalScrollMode() == QAbstractItemView::ScrollPerItem) {
        const int visibleColumns = columnCount - FHeader->hiddenSectionCount();
        horizontalScrollBar()->setRange(0, visibleColumns - columnsInViewport);
        horizontalScrollBar()->setPageStep(columnsInViewport);
        if (columnsInViewport >= visibleColumns)
            FHeader->setOffset(0);
        horizontalScrollBar()->setSingleStep(1);
    } else {
        horizontalScrollBar()->setPageStep(vsize.width());
        horizontalScrollBar()->setRange(0, horizontalLength - vsize.width());
        horizontalScrollBar()->setSingleStep(qMax(vsize.width() / (columnsInViewport + 1), 2));
    }

    const int rowCount = vh->count();
    int rowsInViewport = 0;
    for (int height = 0, row = rowCount - 1; row >= 0; --row) {
        const int logical = vh->logicalIndex(row);
        if (!vh->isSectionHidden(logical)) {
            height += vh->sectionSize(logical);
            if (height > vsize.height())
                break;
            ++rowsInViewport;
        }
    }
    rowsInViewport = qMax(rowsInViewport, 1);
    if (verticalScrollMode() == QAbstractItemView::ScrollPerItem) {
        const int visibleRows = rowCount - vh->hiddenSectionCount();
        verticalScrollBar()->setRange(0, visibleRows - rowsInViewport);
        verticalScrollBar()->setPageStep(rowsInViewport);
        if (rowsInViewport >= visibleRows)
            vh->setOffset(0);
        verticalScrollBar()->setSingleStep(1);
    } else {
        verticalScrollBar()->setPageStep(vsize.height());
        verticalScrollBar()->setRange(0, verticalLength - vsize.height());
        verticalScrollBar()->setSingleStep(qMax(vsize.height() / (rowsInViewport + 1), 2));
    }
}

void TDBGridEh::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (dx != 0)
        FFooter->update();
}

void TDBGridEh::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    viewport()->update();
}

void TDBGridEh::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void TDBGridEh::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (index.isValid() && event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick(*this);
}

void TDBGridEh::keyPressEvent(QKeyEvent *event)
{
    if (OnKeyDown && OnKeyDown(*this, *event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TDBGridEh::keyboardSearch(const QString &search)
{
    if (FOptionsEh & dghIncSearch)
        QTableView::keyboardSearch(search);
}

void TDBGridEh::PaintCell(QPainter *painter, const QRect &rect, int row, int column)
{
    TColumnEh *col = Columns(column);
    if (!col)
        return;
    const QModelIndex current = currentIndex();
    const bool focused = hasFocus();
    const bool showSelection = focused || (FOptions & dgAlwaysShowSelection);
    const bool currentRow = current.isValid() && current.row() == row;
    const bool currentCell = currentRow && current.column() == column;

    TGridDrawCell cell;
    cell.FGrid = this;
    cell.Painter = painter;
    cell.Rect = rect.adjusted(0, 0, (FOptions & dgColLines) ? -1 : 0, (FOptions & dgRowLines) ? -1 : 0);
    cell.DataCol = column;
    cell.Column = col;
    cell.Row = row;
    cell.RecNo = row + 1;
    if (currentCell && focused)
        cell.State |= gdFocused;
    if ((currentCell && showSelection) || (currentRow && (FOptions & dgRowSelect) && showSelection) ||
        (currentRow && (FOptionsEh & dghRowHighlight)))
        cell.State |= gdSelected;

    const QPalette &pal = palette();
    const QColor base = FColor.isValid() ? FColor : pal.color(QPalette::Base);
    const QColor odd = FOddRowColor.isValid() ? FOddRowColor : base;
    const QColor even = FEvenRowColor.isValid() ? FEvenRowColor : base;
    cell.BrushColor = (cell.RecNo % 2 == 1) ? odd : even;
    cell.FontColor = FFontColor.isValid() ? FFontColor : pal.color(QPalette::Text);
    if (cell.State & gdFocused) {
        cell.BrushColor = FFocusedCellColor.isValid() ? FFocusedCellColor : pal.color(QPalette::Highlight);
        if (!FFocusedCellColor.isValid())
            cell.FontColor = pal.color(QPalette::HighlightedText);
    } else if (cell.State & gdSelected) {
        if (FSelectionColor.isValid()) {
            cell.BrushColor = FSelectionColor;
        } else {
            const QColor h = pal.color(QPalette::Highlight);
            cell.BrushColor = QColor((h.red() + base.red() * 2) / 3, (h.green() + base.green() * 2) / 3,
                                     (h.blue() + base.blue() * 2) / 3);
        }
    }
    cell.Font = font();

    painter->save();
    painter->setClipRect(cell.Rect);
    DefaultDrawColumnCell(cell);
    if (OnDrawColumnCell) {
        painter->save();
        OnDrawColumnCell(*this, cell);
        painter->restore();
    }
    painter->restore();

    const QColor line = FGridLineColors.DarkColor.isValid() ? FGridLineColors.DarkColor : pal.color(QPalette::Midlight);
    painter->save();
    painter->setPen(line);
    if (FOptions & dgColLines)
        painter->drawLine(rect.topRight(), rect.bottomRight());
    if (FOptions & dgRowLines)
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->restore();
}

void TDBGridEh::DefaultDrawColumnCell(TGridDrawCell &cell) const
{
    if (!cell.Painter || !cell.Column)
        return;
    QPainter *painter = cell.Painter;
    painter->fillRect(cell.Rect, cell.BrushColor);
    const QString text = cell.Column->DisplayText(FModel->CellValue(cell.Row, cell.DataCol));
    if (text.isEmpty())
        return;
    painter->setFont(cell.Font);
    painter->setPen(cell.FontColor);
    const QRect textRect = cell.Rect.adjusted(c_CellPadding, 0, -c_CellPadding, 0);
    const Qt::Alignment horizontal = cell.Column->Alignment();
    const Qt::Alignment vertical = VerticalAlignment(cell.Column->Layout());
    if (cell.Column->WordWrap())
        DrawWrapped(painter, textRect, horizontal, vertical, text, cell.Column->EndEllipsis());
    else
        DrawLine(painter, textRect, horizontal | vertical, text, cell.Column->EndEllipsis());
}
