#pragma once

#include <QFrame>
#include <QLineEdit>
#include <QPointer>

class QLabel;

// Reading of an amount text, strictly: optional blanks around, one or more digits,
// then optionally FormatSettings().DecimalSeparator and one or two digits. Nothing
// else is a number here: no sign, exponent, thousands separator, other separator,
// leading or trailing separator. At most c_amountIntDigits digits before the separator.
enum class TAmountParse {
    apOk,
    apEmpty,          // blank text; reads as 0
    apBadChar,        // a character that is neither a digit nor the separator
    apNegative,       // a leading minus sign
    apTwoSeparators,
    apNoIntDigits,    // ",5"
    apNoFracDigits,   // "5,"
    apTooManyDecimals,
    apTooLarge,
};

constexpr int c_amountIntDigits = 12;
constexpr int c_amountDecimals = 2;

// apOk or apEmpty set `value` (0 for apEmpty); any other result leaves it unchanged.
TAmountParse ParseAmount(const QString &text, double &value);
// The user's message for a result other than apOk and apEmpty (empty text for those).
QString AmountParseMessage(TAmountParse result);
// `value` rounded to cents with FormatSettings().DecimalSeparator, without trailing
// zeros: "12,5", "12", "0,05", "-3". Empty for NaN and infinities.
QString AmountToStr(double value);

// The pocket-calculator logic behind the drop-down: digits and a separator build the
// entry, an operator applies the pending one left to right, "=" finishes.
// Division by zero and results of 1e15 or more put it into the error state, which the
// next digit or Clear leaves.
class TCalculator
{
public:
    void Clear();
    void SetValue(double value);
    void Digit(int digit);
    void Separator();
    void Backspace();
    // '+', '-', '*' or '/'.
    void Operator(QChar op);
    void Equals();

    bool Error() const { return FError; }
    // The number on the display (the entry being typed, else the last result).
    double Value() const;
    // Display text with FormatSettings().DecimalSeparator, "Ошибка" in the error state.
    QString Display() const;

private:
    bool Apply(double operand);

    double FAcc = 0;
    QChar FOp;
    QString FEntry; // digits with '.' as the point while typing
    bool FEntering = false;
    bool FError = false;
};

// The drop-down of TAmountEdit: a display and buttons 0-9, separator, + - * /, =, C
// and backspace (object names "btn0".."btn9", "btnSep", "btnAdd", "btnSub", "btnMul",
// "btnDiv", "btnEquals", "btnClear", "btnBack"). "=" or Enter emits Result and closes;
// Escape closes without a result. Keys: digits, "." and ",", + - * /, Backspace, Delete.
class TCalculatorPopup : public QFrame
{
    Q_OBJECT
public:
    explicit TCalculatorPopup(QWidget *parent = nullptr);
    void Start(double value);
    const TCalculator &Engine() const { return FCalc; }
    QString DisplayText() const;

Q_SIGNALS:
    void Result(double value);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Press(const QString &key);
    void Refresh();

    TCalculator FCalc;
    QLabel *FDisplay = nullptr;
};

// A line edit for an amount under FormatSettings().DecimalSeparator, read with
// ParseAmount at the moment of asking, with a drop-down calculator (button,
// Alt+Down or F4). A text that does not read is kept as typed, marked, and
// reported through IsValid(); it is never turned into another number.
class TAmountEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TAmountEdit(QWidget *parent = nullptr);

    // The amount shown; 0 for an empty or invalid text.
    double Value() const;
    // Writes AmountToStr(value). Changed() is emitted only when the text changes.
    void SetValue(double value);
    // False when the text does not read as an amount (an empty text is valid, 0).
    bool IsValid() const;
    TAmountParse Check() const;
    // Why the text does not read; empty when it does.
    QString ErrorText() const;

    void ShowCalculator();
    // The open calculator, or nullptr.
    TCalculatorPopup *Calculator() const;

Q_SIGNALS:
    void Changed();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void TextChanged();
    void UpdateMark();

    QString FLastText;
    QPointer<TCalculatorPopup> FPopup;
    QPalette FNormalPalette;
    bool FMarked = false;
};

using TCalcEdit = TAmountEdit;
