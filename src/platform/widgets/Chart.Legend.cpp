#include "platform/widgets/Chart.Legend.h"

#include "platform/widgets/Chart.Look.h"

#include <QPainter>

#include <algorithm>

using namespace ChartLook;

TChartLegend::TChartLegend(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(false);
}

void TChartLegend::SetRows(QList<TChartLegendRow> rows)
{
    FRows = std::move(rows);
    updateGeometry();
    update();
}

int TChartLegend::RowHeight() const
{
    return fontMetrics().height() + 6;
}

int TChartLegend::ValueWidth() const
{
    int w = 0;
    for (const TChartLegendRow &r : FRows)
        w = std::max(w, fontMetrics().horizontalAdvance(r.Value));
    return w;
}

int TChartLegend::PreferredWidth() const
{
    int label = 0;
    for (const TChartLegendRow &r : FRows)
        label = std::max(label, fontMetrics().horizontalAdvance(r.Label));
    return c_pad + c_swatch + c_gap + label + c_gap * 2 + ValueWidth() + c_pad;
}

QSize TChartLegend::sizeHint() const
{
    return QSize(PreferredWidth(), int(FRows.size()) * RowHeight() + 2 * c_pad);
}

QSize TChartLegend::minimumSizeHint() const
{
    return QSize(0, sizeHint().height());
}

void TChartLegend::paintEvent(QPaintEvent *)
{
    if (FRows.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(c_border, 1));
    p.setBrush(QColor(255, 255, 255, 51));
    p.drawRoundedRect(frame, 6, 6);

    const QFontMetrics fm = fontMetrics();
    const int rowH = RowHeight();
    const int valueW = ValueWidth();
    const int valueX = width() - c_pad - valueW;
    const int labelX = c_pad + c_swatch + c_gap;
    const int labelW = std::max(0, valueX - c_gap * 2 - labelX);
    int y = c_pad;
    for (const TChartLegendRow &r : FRows) {
        const QRectF swatch(c_pad, y + (rowH - c_swatch) / 2.0, c_swatch, c_swatch);
        p.setPen(Qt::NoPen);
        p.setBrush(r.Color);
        p.drawRoundedRect(swatch, 2, 2);
        p.setPen(c_ink);
        p.drawText(QRect(labelX, y, labelW, rowH), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(r.Label, Qt::ElideRight, labelW));
        p.drawText(QRect(valueX, y, valueW, rowH), Qt::AlignRight | Qt::AlignVCenter, r.Value);
        y += rowH;
    }
}
