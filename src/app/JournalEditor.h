#pragma once

#include "db/Constants.h"
#include "model/Classes.Journals.Interfaces.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class TAction;
class TActionList;
class TAmountEdit;
class TDateEdit;

// A check box whose caption wraps onto further lines within its width.
class TWrapCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;
    QSize sizeHint() const override;
    // The width that fits the caption's longest word beside the box.
    int MinimumWrapWidth() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    QRect TextRect() const;
};

// A line edit with a button at its right end.
class TButtonEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TButtonEdit(QWidget *parent = nullptr);
    QToolButton *Button() const { return FButton; }

Q_SIGNALS:
    void ButtonClick();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QToolButton *FButton;
};

// The record editor of one journal: captions and active fields by the
// journal's kind, checks in a fixed order with one message each, a typed
// missing name of the second list offered for adding, tags toggled from a
// picker. New mode saves any number of records; edit mode saves once.
class TFJournalEditor : public QDialog
{
    Q_OBJECT
public:
    TFJournalEditor(const ITallysetJournalPtr &journal, QWidget *parent = nullptr);
    ~TFJournalEditor() override;

    // Sets the mode and the record as the entry point does: today's empty
    // record for emNew, the journal's current record for emEdit.
    void Prepare(TEditorMode mode);
    void SetKind(TJournalKind kind);
    void SetMode(TEditorMode mode);
    TEditorMode Mode() const { return _mode; }
    // Refills both list fields from the journal's lists (selection cleared).
    void FillLinks();
    void SetRec(const TJournalRecord &value);
    // The form as a record; a typed missing name of the second list is offered
    // for adding (an existing one is found without a question).
    TJournalRecord GetRec();
    // Checks date, first link, second link and amount in that order; the first
    // failure shows its message, focuses its field and gives false.
    bool CheckForm();
    void SaveRecord();
    bool CheckAndSave();
    // The identity of list field 0 or 1, -1 for none; with addAllow a typed
    // name missing from the list is offered for adding.
    int _getLinkID(int index, bool addAllow);
    // Toggles `tag` in the tags text: removed when present, else appended as
    // one comma-text item (in double quotes when it needs them).
    void TagsAdd(const QString &tag);

    void acSaveExecute();
    void acSaveAndCloseExecute();
    void acCloseExecute();
    void ceTagsButtonClick();

    TDateEdit *deDate = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lbLink1 = nullptr;
    QLabel *lbLink2 = nullptr;
    TButtonEdit *ceTags = nullptr;
    QLabel *lbTags = nullptr;
    TAmountEdit *cSum = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    TActionList *alJournalRecEditor = nullptr;
    TAction *acSave = nullptr;
    TAction *acSaveAndClose = nullptr;
    QTabWidget *pcEditor = nullptr;
    QWidget *tsEditor = nullptr;
    TWrapCheckBox *chbPlanned = nullptr;
    QComboBox *cbLink1 = nullptr;
    QComboBox *cbLink2 = nullptr;
    QPlainTextEdit *mDescription = nullptr;
    QPushButton *sButton1 = nullptr;
    QPushButton *sButton2 = nullptr;
    TAction *acClose = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QComboBox *LinkCombo(int index) const;
    void LayoutControls();
    // Runs a handler; an error is shown and the dialog stays open.
    void Guarded(void (TFJournalEditor::*handler)());

    ITallysetJournalPtr _journal;
    TEditorMode _mode = TEditorMode::emNew;
    int FID = -1;
};

// Shows the record editor modally for `journal` in `mode` and returns when it
// is closed. The caller refreshes the reports afterwards in every case.
void JournalRecordEditor(const ITallysetJournalPtr &journal, TEditorMode mode);
