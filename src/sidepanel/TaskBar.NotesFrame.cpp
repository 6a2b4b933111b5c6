#include "sidepanel/TaskBar.NotesFrame.h"

#include "sidepanel/Classes.FrameBar.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QProxyStyle>
#include <QTabBar>
#include <QVBoxLayout>
#include <QtMath>

namespace {

// Tabs with less room beside their captions, so both fit the narrow panel.
class TCompactTabStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 10;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

TFNotesFrame::TFNotesFrame(QWidget *parent)
    : QWidget(parent)
{
    resize(223, 208);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    sPageControl1 = new QTabWidget(this);
    auto *tabStyle = new TCompactTabStyle;
    tabStyle->setParent(sPageControl1);
    sPageControl1->tabBar()->setStyle(tabStyle);
    tsNotes = new QWidget;
    tsCalendar = new QWidget;
    sPageControl1->addTab(tsNotes, QStringLiteral("Заметки"));
    sPageControl1->addTab(tsCalendar, QStringLiteral("Календарь"));

    mNotes = new QPlainTextEdit(tsNotes);
    mNotes->setFrameShape(QFrame::NoFrame);
    QPalette notesPalette = mNotes->palette();
    notesPalette.setColor(QPalette::Base, QColor(255, 255, 230));
    mNotes->setPalette(notesPalette);
    auto *notesLayout = new QVBoxLayout(tsNotes);
    notesLayout->setContentsMargins(0, 0, 0, 0);
    notesLayout->addWidget(mNotes);

    sMonthCalendar1 = new QCalendarWidget(tsCalendar);
    sMonthCalendar1->setGridVisible(false);
    sMonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    QPalette calendarPalette = sMonthCalendar1->palette();
    calendarPalette.setColor(QPalette::Base, Qt::white);
    calendarPalette.setColor(QPalette::Window, Qt::white);
    sMonthCalendar1->setPalette(calendarPalette);
    auto *calendarLayout = new QVBoxLayout(tsCalendar);
    calendarLayout->setContentsMargins(3, 3, 3, 3);
    calendarLayout->addWidget(sMonthCalendar1);
    tsCalendar->setAutoFillBackground(true);
    QPalette pagePalette = tsCalendar->palette();
    pagePalette.setColor(QPalette::Window, Qt::white);
    tsCalendar->setPalette(pagePalette);

    pnResize = new QFrame(this);
    pnResize->setFixedHeight(4);
    pnResize->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnResize->setLineWidth(1);
    pnResize->setCursor(Qt::SizeVerCursor);
    pnResize->installEventFilter(this);

    layout->addWidget(sPageControl1, 1);
    layout->addWidget(pnResize);
    sPageControl1->setCurrentWidget(tsNotes);
    // The calendar may be cut; only the notes page sets the least height of the tabs.
    tsCalendar->setMinimumHeight(1);
    UpdateMinimumHeight();
}

void TFNotesFrame::UpdateMinimumHeight()
{
    const int lines = 3 * mNotes->fontMetrics().lineSpacing();
    const int margins = 2 * qCeil(mNotes->document()->documentMargin()) + 2 * mNotes->frameWidth();
    mNotes->setMinimumHeight(lines + margins);
    setMinimumHeight(sPageControl1->minimumSizeHint().height() + pnResize->height());
}

void TFNotesFrame::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        UpdateMinimumHeight();
}

QString TFNotesFrame::Text() const
{
    QString text = mNotes->toPlainText();
    if (FLineBreak != QLatin1String("\n"))
        text.replace(QLatin1Char('\n'), FLineBreak);
    return text;
}

void TFNotesFrame::SetText(const QString &value)
{
    // A text written with CR LF line ends (as by a Windows program) keeps them; lone
    // CRs read as line breaks too.
    FLineBreak = value.contains(QLatin1String("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text = value;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    mNotes->setPlainText(text);
}

void TFNotesFrame::pnResizeMouseDown(const QPoint &globalPos)
{
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    auto *item = qobject_cast<TFrameBarItem *>(parent);
    if (!item)
        return;
    item->SetFrameAlign(alClient);
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    item->StartSizing(globalPos);
}

bool TFNotesFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == pnResize && event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (press->button() == Qt::LeftButton)
            pnResizeMouseDown(press->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
