#include "platform/widgets/AmountEdit.h"

#include "platform/DateTime.h"

#include <QAction>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

constexpr double c_calcLimit = 1e15;

QChar Sep()
{
    return FormatSettings().DecimalSeparator;
}

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Fixed notation without trailing zeros, '.' as the point.
QString PlainNumber(double value, int decimals)
{
    QString s = QString::number(value, 'f', decimals);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

QIcon CalculatorIcon(const QPalette &palette)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette.color(QPalette::Text);
    p.setPen(QPen(ink, 1));
    p.setBrush(palette.color(QPalette::Base));
    p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1.5, 1.5);
    p.fillRect(QRectF(4, 3, 8, 3), QColor(0x4E, 0x79, 0xA7));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawRect(QRectF(4.2 + col * 2.7, 7.3 + row * 2.3, 1.5, 1.4));
    return QIcon(pixmap);
}

} // namespace

TAmountParse ParseAmount(const QString &text, double &value)
{
    const QString s = text.trimmed();
    if (s.isEmpty()) {
        value = 0;
        return TAmountParse::apEmpty;
    }
    const QChar sep = Sep();
    if (s.at(0) == QLatin1Char('-') || s.at(0) == QChar(0x2212))
        return TAmountParse::apNegative;
    int seps = 0, intDigits = 0, fracDigits = 0;
    for (QChar c : s) {
        if (c == sep) {
            ++seps;
        } else if (IsAsciiDigit(c)) {
            (seps ? fracDigits : intDigits)++;
        } else {
            return TAmountParse::apBadChar;
        }
    }
    if (seps > 1)
        return TAmountParse::apTwoSeparators;
    if (intDigits == 0)
        return TAmountParse::apNoIntDigits;
    if (seps == 1 && fracDigits == 0)
        return TAmountParse::apNoFracDigits;
    if (fracDigits > c_amountDecimals)
        return TAmountParse::apTooManyDecimals;
    QString plain = s;
    plain.replace(sep, QLatin1Char('.'));
    int lead = 0;
    while (lead < plain.size() - 1 && plain.at(lead) == QLatin1Char('0') && IsAsciiDigit(plain.at(lead + 1)))
        ++lead;
    if (intDigits - lead > c_amountIntDigits)
        return TAmountParse::apTooLarge;
    // Only ASCII digits and one '.' are left: the C conversion cannot misread it.
    bool ok = false;
    const double v = plain.toDouble(&ok);
    if (!ok)
        return TAmountParse::apBadChar;
    value = v;
    return TAmountParse::apOk;
}

QString AmountParseMessage(TAmountParse result)
{
    const QString sep = Sep();
    switch (result) {
    case TAmountParse::apOk:
    case TAmountParse::apEmpty:
        return {};
    case TAmountParse::apBadChar:
        return QStringLiteral("Сумма записывается цифрами, дробная часть отделяется знаком «%1»").arg(sep);
    case TAmountParse::apNegative:
        return QStringLiteral("Сумма не может быть отрицательной");
    case TAmountParse::apTwoSeparators:
        return QStringLiteral("В сумме больше одного знака «%1»").arg(sep);
    case TAmountParse::apNoIntDigits:
        return QStringLiteral("Перед знаком «%1» нужна хотя бы одна цифра").arg(sep);
    case TAmountParse::apNoFracDigits:
        return QStringLiteral("После знака «%1» нужна хотя бы одна цифра").arg(sep);
    case TAmountParse::apTooManyDecimals:
        return QStringLiteral("После знака «%1» допускается не больше двух цифр").arg(sep);
    case TAmountParse::apTooLarge:
        return QStringLiteral("Сумма слишком велика: не больше %1 цифр до знака «%2»")
            .arg(c_amountIntDigits)
            .arg(sep);
    }
    return {};
}

QString AmountToStr(double value)
{
    if (!std::isfinite(value))
        return {};
    QString s = PlainNumber(value, c_amountDecimals);
    s.replace(QLatin1Char('.'), Sep());
    return s;
}

// ---- TCalculator

void TCalculator::Clear()
{
    FAcc = 0;
    FOp = QChar();
    FEntry.clear();
    FEntering = false;
    FError = false;
}

void TCalculator::SetValue(double value)
{
    Clear();
    if (std::isfinite(value) && std::fabs(value) < c_calcLimit)
        FAcc = value;
}

void TCalculator::Digit(int digit)
{
    if (digit < 0 || digit > 9)
        return;
    if (FError)
        Clear();
    if (!FEntering) {
        FEntry.clear();
        FEntering = true;
    }
    if (FEntry == QLatin1String("0"))
        FEntry.clear();
    if (FEntry.size() >= 15)
        return;
    FEntry += QChar(QLatin1Char('0').unicode() + digit);
}

void TCalculator::Separator()
{
    if (FError)
        Clear();
    if (!FEntering) {
        FEntry = QStringLiteral("0");
        FEntering = true;
    }
    if (FEntry.isEmpty())
        FEntry = QStringLiteral("0");
    if (!FEntry.contains(QLatin1Char('.')))
        FEntry += QLatin1Char('.');
}

void TCalculator::Backspace()
{
    if (FError || !FEntering)
        return;
    FEntry.chop(1);
}

double TCalculator::Value() const
{
    if (FError)
        return 0;
    if (FEntering)
        return FEntry.isEmpty() ? 0 : FEntry.toDouble();
    return FAcc;
}

bool TCalculator::Apply(double operand)
{
    double r = FAcc;
    switch (FOp.unicode()) {
    case '+': r = FAcc + operand; break;
    case '-': r = FAcc - operand; break;
    case '*': r = FAcc * operand; break;
    case '/':
        if (operand == 0) {
            FError = true;
            return false;
        }
        r = FAcc / operand;
        break;
    default: r = operand; break;
    }
    if (!std::isfinite(r) || std::fabs(r) >= c_calcLimit) {
        FError = true;
        return false;
    }
    FAcc = r;
    return true;
}

void TCalculator::Operator(QChar op)
{
    if (FError)
        return;
    if (op != QLatin1Char('+') && op != QLatin1Char('-') && op != QLatin1Char('*') && op != QLatin1Char('/'))
        return;
    if (FEntering) {
        if (!Apply(Value()))
            return;
        FEntering = false;
    }
    FOp = op;
}

void TCalculator::Equals()
{
    if (FError)
        return;
    if (FEntering || FOp.isNull())
        Apply(Value());
    else
        Apply(FAcc); // "5 + =" gives 10, as on a pocket calculator
    FOp = QChar();
    FEntering = false;
}

QString TCalculator::Display() const
{
    if (FError)
        return QStringLiteral("Ошибка");
    QString s;
    if (FEntering)
        s = FEntry.isEmpty() ? QStringLiteral("0") : FEntry;
    else
        s = PlainNumber(FAcc, 10);
    s.replace(QLatin1Char('.'), Sep());
    return s;
}

// ---- TCalculatorPopup

TCalculatorPopup::TCalculatorPopup(QWidget *parent)
    : QFrame(parent, Qt::Popup)
{
    setFrameShape(QFrame::StyledPanel);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(4);

    FDisplay = new QLabel(this);
    FDisplay->setObjectName(QStringLiteral("display"));
    FDisplay->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FDisplay->setFrameShape(QFrame::StyledPanel);
    FDisplay->setMinimumHeight(28);
    FDisplay->setAutoFillBackground(true);
    FDisplay->setBackgroundRole(QPalette::Base);
    QFont big = FDisplay->font();
    big.setPointSizeF(big.pointSizeF() * 1.25);
    FDisplay->setFont(big);
    FDisplay->setContentsMargins(4, 0, 4, 0);
    grid->addWidget(FDisplay, 0, 0, 1, 4);

    struct TKey
    {
        const char *Name;
        QString Caption;
        QString Key;
        int Row, Col, ColSpan;
    };
    const TKey keys[] = {
        {"btnClear", QStringLiteral("C"), QStringLiteral("C"), 1, 0, 1},
        {"btnBack", QStringLiteral("←"), QStringLiteral("back"), 1, 1, 1},
        {"btnDiv", QStringLiteral("÷"), QStringLiteral("/"), 1, 2, 1},
        {"btnMul", QStringLiteral("×"), QStringLiteral("*"), 1, 3, 1},
        {"btn7", QStringLiteral("7"), QStringLiteral("7"), 2, 0, 1},
        {"btn8", QStringLiteral("8"), QStringLiteral("8"), 2, 1, 1},
        {"btn9", QStringLiteral("9"), QStringLiteral("9"), 2, 2, 1},
        {"btnSub", QStringLiteral("−"), QStringLiteral("-"), 2, 3, 1},
        {"btn4", QStringLiteral("4"), QStringLiteral("4"), 3, 0, 1},
        {"btn5", QStringLiteral("5"), QStringLiteral("5"), 3, 1, 1},
        {"btn6", QStringLiteral("6"), QStringLiteral("6"), 3, 2, 1},
        {"btnAdd", QStringLiteral("+"), QStringLiteral("+"), 3, 3, 1},
        {"btn1", QStringLiteral("1"), QStringLiteral("1"), 4, 0, 1},
        {"btn2", QStringLiteral("2"), QStringLiteral("2"), 4, 1, 1},
        {"btn3", QStringLiteral("3"), QStringLiteral("3"), 4, 2, 1},
        {"btnEquals", QStringLiteral("="), QStringLiteral("="), 4, 3, 1},
        {"btn0", QStringLiteral("0"), QStringLiteral("0"), 5, 0, 2},
        {"btnSep", QString(Sep()), QStringLiteral("sep"), 5, 2, 1},
    };
    for (const TKey &k : keys) {
        auto *b = new QPushButton(k.Caption, this);
        b->setObjectName(QLatin1String(k.Name));
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        b->setAutoDefault(false);
        const QString key = k.Key;
        connect(b, &QPushButton::clicked, this, [this, key] { Press(key); });
        grid->addWidget(b, k.Row, k.Col, 1, k.ColSpan);
    }
    // "=" spans the last two rows on the right.
    if (auto *eq = findChild<QPushButton *>(QStringLiteral("btnEquals"))) {
        grid->removeWidget(eq);
        grid->addWidget(eq, 4, 3, 2, 1);
    }
    FDisplay->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    const int key = std::max(40, fontMetrics().height() * 2 + 4);
    setFixedSize(4 * key + 3 * grid->spacing() + 12, FDisplay->minimumHeight() + 5 * (key * 3 / 4) + 5 * grid->spacing() + 12);
    Refresh();
}

void TCalculatorPopup::Start(double value)
{
    FCalc.SetValue(value);
    Refresh();
}

QString TCalculatorPopup::DisplayText() const
{
    return FDisplay->text();
}

void TCalculatorPopup::Refresh()
{
    FDisplay->setText(FCalc.Display());
}

void TCalculatorPopup::Press(const QString &key)
{
    if (key.size() == 1 && IsAsciiDigit(key.at(0)))
        FCalc.Digit(key.at(0).unicode() - '0');
    else if (key == QLatin1String("sep"))
        FCalc.Separator();
    else if (key == QLatin1String("back"))
        FCalc.Backspace();
    else if (key == QLatin1String("C"))
        FCalc.Clear();
    else if (key == QLatin1String("=")) {
        FCalc.Equals();
        Refresh();
        if (!FCalc.Error()) {
            const double v = FCalc.Value();
            close();
            Q_EMIT Result(v);
        }
        return;
    } else if (key.size() == 1)
        FCalc.Operator(key.at(0));
    Refresh();
}

void TCalculatorPopup::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    switch (event->key()) {
    case Qt::Key_Escape: close(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: Press(QStringLiteral("=")); return;
    case Qt::Key_Backspace: Press(QStringLiteral("back")); return;
    case Qt::Key_Delete: Press(QStringLiteral("C")); return;
    default: break;
    }
    if (text.size() == 1) {
        const QChar c = text.at(0);
        if (IsAsciiDigit(c)) {
            Press(text);
            return;
        }
        if (c == QLatin1Char('.') || c == QLatin1Char(',') || c == Sep()) {
            Press(QStringLiteral("sep"));
            return;
        }
        if (QStringLiteral("+-*/=").contains(c)) {
            Press(text);
            return;
        }
        if (c == QLatin1Char('c') || c == QLatin1Char('C')) {
            Press(QStringLiteral("C"));
            return;
        }
    }
    QFrame::keyPressEvent(event);
}

// ---- TAmountEdit

TAmountEdit::TAmountEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FNormalPalette = palette();
    QAction *drop = addAction(CalculatorIcon(palette()), QLineEdit::TrailingPosition);
    drop->setObjectName(QStringLiteral("acCalculator"));
    drop->setToolTip(QStringLiteral("Калькулятор (Alt+Вниз)"));
    connect(drop, &QAction::triggered, this, &TAmountEdit::ShowCalculator);
    connect(this, &QLineEdit::textChanged, this, &TAmountEdit::TextChanged);
}

TAmountParse TAmountEdit::Check() const
{
    double v = 0;
    return ParseAmount(text(), v);
}

bool TAmountEdit::IsValid() const
{
    const TAmountParse r = Check();
    return r == TAmountParse::apOk || r == TAmountParse::apEmpty;
}

QString TAmountEdit::ErrorText() const
{
    return AmountParseMessage(Check());
}

double TAmountEdit::Value() const
{
    double v = 0;
    const TAmountParse r = ParseAmount(text(), v);
    return r == TAmountParse::apOk ? v : 0.0;
}

void TAmountEdit::SetValue(double value)
{
    setText(AmountToStr(value));
}

void TAmountEdit::TextChanged()
{
    UpdateMark();
    if (text() == FLastText)
        return;
    FLastText = text();
    Q_EMIT Changed();
}

void TAmountEdit::UpdateMark()
{
    const bool bad = !IsValid();
    if (bad == FMarked) {
        if (bad)
            setToolTip(ErrorText());
        return;
    }
    FMarked = bad;
    if (bad) {
        QPalette p = FNormalPalette;
        p.setColor(QPalette::Base, QColor(0xFF, 0xE4, 0xE1));
        setPalette(p);
        setToolTip(ErrorText());
    } else {
        setPalette(FNormalPalette);
        setToolTip(QString());
    }
}

void TAmountEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F4
        || (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))) {
        ShowCalculator();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

TCalculatorPopup *TAmountEdit::Calculator() const
{
    return FPopup && FPopup->isVisible() ? FPopup.data() : nullptr;
}

void TAmountEdit::ShowCalculator()
{
    if (isReadOnly() || !isEnabled())
        return;
    // A fresh popup each time: its separator button follows the current separator.
    if (FPopup)
        FPopup->deleteLater();
    auto *popup = new TCalculatorPopup(this);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    connect(popup, &TCalculatorPopup::Result, this, [this](double v) {
        SetValue(v);
        setFocus(Qt::PopupFocusReason);
        selectAll();
    });
    FPopup = popup;
    popup->Start(Value());
    popup->adjustSize();
    QPoint at = mapToGlobal(QPoint(width() - popup->sizeHint().width(), height()));
    if (const QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        const QSize size = popup->sizeHint();
        if (at.y() + size.height() > area.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - size.width())));
    }
    popup->move(at);
    popup->show();
    popup->setFocus(Qt::PopupFocusReason);
}
