#pragma once

#include "model/Classes.Libs.Interfaces.h"

#include <QDialog>

class TAction;
class TActionList;
class TDBGridEh;
class TDataSource;
class TZarnImgButton;
class TZarnImgContainer;

inline const QString c_iniGridLib = QStringLiteral("gridLib");
// An entry needs a name that is not blank.
inline const QString c_msgEmptyLibRecordName = QStringLiteral("Укажите непустое наименование записи");

// The list editor: one reference list in a read-only grid; entries are added,
// renamed and deleted through input boxes and written to the database at once.
// Window placement is kept per list ("lib_editor_" + alias), column widths in
// "gridLib". Errors of the list are shown through the dialog hook; the window
// stays open.
class TFLibEditor : public QDialog
{
    Q_OBJECT
public:
    explicit TFLibEditor(QWidget *parent = nullptr);
    ~TFLibEditor() override;

    // Binds the grid to the list's view, loads the settings, sets the caption
    // and refreshes the view.
    void Initialize(const ITallysetLibPtr &lib);
    const ITallysetLibPtr &Lib() const { return FLib; }
    // The settings section of the window.
    QString SettingsSection() const;

    TActionList *alLibEditor = nullptr;
    TDBGridEh *dbgLib = nullptr;
    TDataSource *dsLib = nullptr;
    TAction *acAddRecord = nullptr;
    TAction *acEditRecord = nullptr;
    TAction *acDeleteRecord = nullptr;
    TZarnImgContainer *ZarnImgContainer1 = nullptr;
    TZarnImgButton *btAdd = nullptr;
    TZarnImgButton *btEdit = nullptr;
    TZarnImgButton *btDelete = nullptr;
    TAction *acExit = nullptr;

    void acAddRecordExecute();
    void acEditRecordExecute();
    void acDeleteRecordExecute();
    void alLibEditorUpdate(TAction &action);
    // True when the list's view has no dataset or no rows.
    bool IsEmpty() const;

protected:
    void done(int result) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Runs a handler; an error is shown and the window stays open.
    void Guarded(void (TFLibEditor::*handler)());
    void SaveSettings();

    ITallysetLibPtr FLib;
    bool FSaved = false;
};

// Shows the list editor modally for `lib`; returns when it is closed.
void LibEdit(const ITallysetLibPtr &lib);
