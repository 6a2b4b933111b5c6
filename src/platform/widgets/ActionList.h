#pragma once

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class TActionList;

// An action of an action list. Buttons, links and grids run it with Execute();
// menus and shortcuts reach Execute() through QAction::triggered. Execute first
// updates the action (the list's OnUpdate, then the action's own) and runs
// OnExecute only if the action is then enabled, so a stale enabled state never
// lets a disabled action run. Checked changes only by the handler unless
// AutoCheck is set.
class TAction : public QAction
{
    Q_OBJECT
public:
    explicit TAction(TActionList *list, const QString &caption = QString());
    ~TAction() override;

    TActionList *ActionList() const { return FList; }

    QString Caption() const { return text(); }
    void SetCaption(const QString &value) { setText(value); }
    const QString &Category() const { return FCategory; }
    void SetCategory(const QString &value) { FCategory = value; }
    // Index into the list's images; -1 for none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    QKeySequence ShortCut() const { return shortcut(); }
    void SetShortCut(const QKeySequence &value) { setShortcut(value); }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString &value) { setToolTip(value); }
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool value) { setEnabled(value); }
    bool Visible() const { return isVisible(); }
    void SetVisible(bool value) { setVisible(value); }
    bool Checked() const { return isChecked(); }
    // Makes the action checkable.
    void SetChecked(bool value);
    bool AutoCheck() const { return FAutoCheck; }
    // Execute toggles Checked before the handler runs.
    void SetAutoCheck(bool value);

    std::function<void(TAction &)> OnExecute;
    std::function<void(TAction &)> OnUpdate;

    // Runs the update handlers; true when one was set.
    bool Update();
    // Update, then the execute handler if the action is enabled; true when it ran.
    bool Execute();

private:
    friend class TActionList;
    void Triggered();
    void ApplyImage();

    QPointer<TActionList> FList;
    QString FCategory;
    int FImageIndex = -1;
    bool FAutoCheck = false;
};

// Owns actions and updates them whenever the event loop is about to wait after
// it has handled something (input, timers, posted events; not mere repaints),
// and for one action just before it executes. With an owner widget, the
// actions are added to it so their shortcuts work in that window.
class TActionList : public QObject
{
    Q_OBJECT
public:
    explicit TActionList(QWidget *owner = nullptr);
    ~TActionList() override;

    TAction *AddAction(const QString &caption = QString());
    int ActionCount() const { return FActions.size(); }
    TAction *Actions(int index) const { return FActions.value(index); }

    const QList<QIcon> &Images() const { return FImages; }
    void SetImages(const QList<QIcon> &images);

    // Runs for every action of the list on each update.
    std::function<void(TAction &)> OnUpdate;

    // Updates every action now.
    void UpdateActions();
    // Updates the actions of every list now.
    static void UpdateAllLists();

private:
    friend class TAction;
    void Added(TAction *action);
    void Removed(TAction *action);

    QPointer<QWidget> FOwner;
    QList<TAction *> FActions;
    QList<QIcon> FImages;
};
