#include "platform/widgets/DateEdit.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QChar c_blank = QLatin1Char('_');
const QString c_maskMeta = QStringLiteral("AaNnXx90DdHhBb#><!;[]{}\\");
const QDate c_dayZero(1899, 12, 30);
const QDate c_minDate(1900, 1, 1);
const QDate c_maxDate(9999, 12, 31);

struct TToken
{
    QChar Letter; // 'd', 'M', 'y', or null for a literal
    QString Literal;
};

bool UsableLiteral(QChar c)
{
    return !c.isDigit() && c != c_blank && !c.isLetter() && c != QLatin1Char('\'');
}

// Splits a Qt date format into day, month and year fields and the literals between.
// Empty when the format does not name each field exactly once.
QList<TToken> Tokenize(const QString &format)
{
    QList<TToken> tokens;
    int days = 0, months = 0, years = 0;
    for (int i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            int j = i;
            while (j < format.size() && format.at(j) == c)
                ++j;
            if (c == QLatin1Char('d')) {
                if (j - i > 2) // "ddd" is a day name
                    return {};
                ++days;
            } else if (c == QLatin1Char('M')) {
                if (j - i > 2)
                    return {};
                ++months;
            } else {
                ++years;
            }
            tokens.append({c, QString()});
            i = j;
            continue;
        }
        if (!UsableLiteral(c))
            return {};
        if (tokens.isEmpty() || !tokens.last().Letter.isNull())
            tokens.append({QChar(), QString()});
        tokens.last().Literal += c;
        ++i;
    }
    if (days != 1 || months != 1 || years != 1)
        return {};
    return tokens;
}

QList<TToken> DateTokens()
{
    QList<TToken> tokens = Tokenize(FormatSettings().ShortDateFormat);
    if (!tokens.isEmpty())
        return tokens;
    QChar sep = FormatSettings().DateSeparator;
    if (!UsableLiteral(sep) || sep.isSpace())
        sep = QLatin1Char('.');
    return {{QLatin1Char('d'), {}}, {{}, QString(sep)}, {QLatin1Char('M'), {}},
            {{}, QString(sep)}, {QLatin1Char('y'), {}}};
}

QIcon CalendarIcon(const QPalette &palette)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette.color(QPalette::Text);
    p.setPen(QPen(ink, 1));
    p.setBrush(palette.color(QPalette::Base));
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 12), 1.5, 1.5);
    p.fillRect(QRectF(2, 3, 12, 3), QColor(0x4E, 0x79, 0xA7));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawRect(QRectF(3.5 + col * 2.5, 7.5 + row * 2.2, 1.3, 1.3));
    return QIcon(pixmap);
}

} // namespace

TDateEdit::TDateEdit(QWidget *parent)
    : QLineEdit(parent)
{
    BuildLayout();
    FDrop = addAction(CalendarIcon(palette()), QLineEdit::TrailingPosition);
    FDrop->setObjectName(QStringLiteral("acCalendar"));
    FDrop->setToolTip(QStringLiteral("Календарь (Alt+Вниз)"));
    connect(FDrop, &QAction::triggered, this, &TDateEdit::ShowCalendar);
    FLastText = displayText();
    connect(this, &QLineEdit::textChanged, this, &TDateEdit::TextChanged);
}

TDateEdit::~TDateEdit() = default;

namespace {
constexpr int c_frameRoom = 10;  // frame and text margins of a line edit
constexpr int c_buttonRoom = 24; // a trailing action's icon with its margins
} // namespace

int TDateEdit::TextRoom() const
{
    QString digits = displayText();
    for (QChar &c : digits)
        if (c == c_blank)
            c = QLatin1Char('0');
    return fontMetrics().horizontalAdvance(digits) + c_frameRoom;
}

QSize TDateEdit::sizeHint() const
{
    return QSize(TextRoom() + c_buttonRoom, QLineEdit::sizeHint().height());
}

QSize TDateEdit::minimumSizeHint() const
{
    return QSize(TextRoom(), QLineEdit::minimumSizeHint().height());
}

bool TDateEdit::CalendarButtonShown() const
{
    return FDrop->isVisible();
}

void TDateEdit::resizeEvent(QResizeEvent *event)
{
    FDrop->setVisible(width() >= TextRoom() + c_buttonRoom);
    QLineEdit::resizeEvent(event);
}

TDateTime TDateEdit::MinDate()
{
    return c_dayZero.daysTo(c_minDate);
}

TDateTime TDateEdit::MaxDate()
{
    return c_dayZero.daysTo(c_maxDate);
}

void TDateEdit::BuildLayout()
{
    FFields.clear();
    QString mask;
    int pos = 0;
    for (const TToken &t : DateTokens()) {
        if (t.Letter.isNull()) {
            for (QChar c : t.Literal) {
                if (c_maskMeta.contains(c))
                    mask += QLatin1Char('\\');
                mask += c;
            }
            pos += int(t.Literal.size());
            continue;
        }
        const TField field = t.Letter == QLatin1Char('d') ? fDay
                             : t.Letter == QLatin1Char('M') ? fMonth
                                                            : fYear;
        const int len = field == fYear ? 4 : 2;
        FFields.append({field, pos, len});
        mask += QString(len, QLatin1Char('9'));
        pos += len;
    }
    setInputMask(mask + QLatin1Char(';') + c_blank);
    setMaxLength(pos);
}

void TDateEdit::ApplyFormatSettings()
{
    QDate date;
    const bool had = ReadDate(date);
    const QSignalBlocker block(this);
    BuildLayout();
    setText(had ? TextOf(c_dayZero.daysTo(date)) : QString());
    FLastText = displayText();
}

QString TDateEdit::TextOf(TDateTime value) const
{
    if (!std::isfinite(value) || value < MinDate() || value >= MaxDate() + 1)
        return QString();
    const QDate date = c_dayZero.addDays(qint64(std::floor(value)));
    QString text = displayText();
    for (const TFieldPos &f : FFields) {
        const int number = f.Field == fDay ? date.day() : f.Field == fMonth ? date.month() : date.year();
        text.replace(f.Pos, f.Len, QStringLiteral("%1").arg(number, f.Len, 10, QLatin1Char('0')));
    }
    return text;
}

bool TDateEdit::ReadDate(QDate &date) const
{
    const QString text = displayText();
    int day = 0, month = 0, year = 0;
    for (const TFieldPos &f : FFields) {
        if (f.Pos + f.Len > text.size())
            return false;
        int number = 0;
        for (int i = f.Pos; i < f.Pos + f.Len; ++i) {
            const QChar c = text.at(i);
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
            number = number * 10 + (c.unicode() - '0');
        }
        (f.Field == fDay ? day : f.Field == fMonth ? month : year) = number;
    }
    date = QDate(year, month, day);
    return date.isValid() && date >= c_minDate && date <= c_maxDate;
}

bool TDateEdit::IsBlank() const
{
    for (QChar c : displayText())
        if (c.isDigit())
            return false;
    return true;
}

TDateTime TDateEdit::Date() const
{
    QDate date;
    return ReadDate(date) ? TDateTime(c_dayZero.daysTo(date)) : 0.0;
}

bool TDateEdit::HasDate() const
{
    QDate date;
    return ReadDate(date);
}

void TDateEdit::SetDate(TDateTime value)
{
    setText(TextOf(value));
}

void TDateEdit::TextChanged(const QString &)
{
    const QString shown = displayText();
    if (shown == FLastText)
        return;
    FLastText = shown;
    Q_EMIT Changed();
}

void TDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F4
        || (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))) {
        ShowCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDateEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    if (IsBlank())
        setCursorPosition(0);
}

void TDateEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (IsBlank())
        QTimer::singleShot(0, this, [this] {
            if (IsBlank())
                setCursorPosition(0);
        });
}

QCalendarWidget *TDateEdit::Calendar() const
{
    return FPopup && FPopup->isVisible() ? FCalendar.data() : nullptr;
}

void TDateEdit::ShowCalendar()
{
    if (isReadOnly() || !isEnabled())
        return;
    if (!FPopup) {
        auto *popup = new QFrame(this, Qt::Popup);
        popup->setFrameShape(QFrame::StyledPanel);
        auto *layout = new QVBoxLayout(popup);
        layout->setContentsMargins(1, 1, 1, 1);
        auto *calendar = new QCalendarWidget(popup);
        calendar->setObjectName(QStringLiteral("calendar"));
        calendar->setMinimumDate(c_minDate);
        calendar->setMaximumDate(c_maxDate);
        calendar->setGridVisible(false);
        calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        layout->addWidget(calendar);
        connect(calendar, &QCalendarWidget::clicked, this, [this, popup](QDate day) {
            popup->hide();
            SetDate(c_dayZero.daysTo(day));
            setFocus(Qt::PopupFocusReason);
        });
        connect(calendar, &QCalendarWidget::activated, calendar, &QCalendarWidget::clicked);
        FPopup = popup;
        FCalendar = calendar;
    }
    QDate date;
    FCalendar->setSelectedDate(ReadDate(date) ? date : QDate::currentDate());
    FPopup->adjustSize();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        const QSize size = FPopup->sizeHint();
        if (at.y() + size.height() > area.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - size.width())));
    }
    FPopup->move(at);
    FPopup->show();
    FCalendar->setFocus(Qt::PopupFocusReason);
}
