#pragma once

#include "platform/DateTime.h"

#include <QLineEdit>
#include <QPointer>

class QCalendarWidget;

// A masked line edit for one day in FormatSettings().ShortDateFormat, e.g.
// "__.__.____" for "dd.MM.yyyy" or "__/__/____" for "MM/dd/yyyy": two digits
// for day and month, four for the year, in the format's order, with its separators.
//
// Day zero (0.0, 30 December 1899) stands for "no date": an empty, incomplete or
// impossible text ("31.02.2012") reads as day zero, and so does a year before
// 1900, since the program knows no days before 1 January 1900. SetDate writes the
// empty text for day zero and for every value outside 1 January 1900 to
// 31 December 9999 (also NaN and infinities); no value is ever clamped to a
// neighbouring day.
class TDateEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TDateEdit(QWidget *parent = nullptr);
    ~TDateEdit() override;

    // The day shown (no time of day), or 0.0 as described above.
    TDateTime Date() const;
    // Shows the day of `value` (its time of day is dropped). Changed() is emitted
    // only when the text changes.
    void SetDate(TDateTime value);
    // True when the text is a whole, possible date of 1900 to 9999.
    bool HasDate() const;

    // Rebuilds the mask from the current FormatSettings(); the day shown is kept.
    void ApplyFormatSettings();
    // The input mask in use, e.g. "99.99.9999;_".
    QString Mask() const { return inputMask(); }

    // Drops down the calendar (Alt+Down, F4, or the button at the right, which shows only
    // while the edit is wide enough for the whole date and the button); a picked day
    // goes into the edit.
    void ShowCalendar();
    bool CalendarButtonShown() const;

    // Room for the whole date and the button; at least the whole date.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The open calendar, or nullptr.
    QCalendarWidget *Calendar() const;

    // Earliest and latest days the edit accepts.
    static TDateTime MinDate();
    static TDateTime MaxDate();

Q_SIGNALS:
    // The text changed, by the user, the calendar or SetDate.
    void Changed();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    enum TField { fDay, fMonth, fYear };
    struct TFieldPos
    {
        TField Field;
        int Pos;
        int Len;
    };

    void BuildLayout();
    QString TextOf(TDateTime value) const;
    bool ReadDate(QDate &date) const;
    bool IsBlank() const;
    void TextChanged(const QString &text);
    int TextRoom() const;

    QAction *FDrop = nullptr;
    QList<TFieldPos> FFields; // in display order
    QString FLastText;
    QPointer<QWidget> FPopup;
    QPointer<QCalendarWidget> FCalendar;
};
