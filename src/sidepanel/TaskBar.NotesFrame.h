#pragma once

#include <QString>
#include <QWidget>

class QCalendarWidget;
class QFrame;
class QPlainTextEdit;
class QTabWidget;

// The side panel's notes pad: a notes tab and a calendar tab, with a grip along the
// bottom edge by which the user drags the height of the item the frame sits in.
// The notes text is loaded and saved by the main window.
class TFNotesFrame : public QWidget
{
    Q_OBJECT

public:
    explicit TFNotesFrame(QWidget *parent = nullptr);

    QCalendarWidget *sMonthCalendar1;
    // The grip: 4 pixels high, along the bottom, with the vertical sizing cursor.
    QFrame *pnResize;
    QTabWidget *sPageControl1;
    QWidget *tsNotes;
    QWidget *tsCalendar;
    QPlainTextEdit *mNotes;

    // The notes as plain text. Line breaks are "\n", or CR LF when the text last set
    // had CR LF line ends; a lone CR is read as a line break.
    QString Text() const;
    void SetText(const QString &value);

    // A left-button press on the grip, globalPos where it happened: in a frame bar
    // item the frame fills the item and the item's bottom edge follows the mouse until
    // the button is released (Escape puts the height back). Without a parent nothing
    // happens; other buttons do nothing.
    void pnResizeMouseDown(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The frame's minimumHeight: the tabs, three lines of notes and the grip, so a
    // dragged or restored item always shows the pad.
    void UpdateMinimumHeight();

    QString FLineBreak = QStringLiteral("\n");
};
