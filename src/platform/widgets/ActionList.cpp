#include "platform/widgets/ActionList.h"

#include "platform/widgets/Application.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {

// Runs the updates of every action list when the event loop is about to wait,
// provided something other than painting happened since the last run.
class TIdleUpdater : public QObject
{
public:
    // nullptr without an application object.
    static TIdleUpdater *Instance()
    {
        static QPointer<TIdleUpdater> instance;
        if (!instance && QCoreApplication::instance())
            instance = new TIdleUpdater();
        return instance;
    }

    void Register(TActionList *list) { FLists.append(list); }
    void Unregister(TActionList *list) { FLists.removeAll(list); }
    const QList<QPointer<TActionList>> &Lists() const { return FLists; }

    bool Updating() const { return FUpdating; }
    void SetUpdating(bool value) { FUpdating = value; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!FUpdating) {
            switch (event->type()) {
            case QEvent::Paint:
            case QEvent::UpdateRequest:
            case QEvent::UpdateLater:
                break;
            default:
                FDirty = true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TIdleUpdater() : QObject(QCoreApplication::instance())
    {
        QCoreApplication::instance()->installEventFilter(this);
        if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
            connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { Idle(); });
    }

    void Idle()
    {
        if (!FDirty || FUpdating)
            return;
        FDirty = false;
        try {
            TActionList::UpdateAllLists();
        } catch (...) {
            TApplication::HandleException();
        }
    }

    QList<QPointer<TActionList>> FLists;
    bool FDirty = true;
    bool FUpdating = false;
};

// Events caused by an update do not ask for another update.
struct TUpdatingGuard
{
    QPointer<TIdleUpdater> Updater;
    bool Previous = false;
    explicit TUpdatingGuard(TIdleUpdater *updater) : Updater(updater)
    {
        if (Updater) {
            Previous = Updater->Updating();
            Updater->SetUpdating(true);
        }
    }
    ~TUpdatingGuard()
    {
        if (Updater)
            Updater->SetUpdating(Previous);
    }
};

} // namespace

// ---------------------------------------------------------------------------
// TAction

TAction::TAction(TActionList *list, const QString &caption) : QAction(caption, list), FList(list)
{
    connect(this, &QAction::triggered, this, [this] { Triggered(); });
    if (list)
        list->Added(this);
}

TAction::~TAction()
{
    if (FList)
        FList->Removed(this);
}

void TAction::SetImageIndex(int value)
{
    FImageIndex = value;
    ApplyImage();
}

void TAction::ApplyImage()
{
    if (FList && FImageIndex >= 0 && FImageIndex < FList->Images().size())
        setIcon(FList->Images().at(FImageIndex));
    else
        setIcon(QIcon());
}

void TAction::SetChecked(bool value)
{
    setCheckable(true);
    setChecked(value);
}

void TAction::SetAutoCheck(bool value)
{
    FAutoCheck = value;
    if (value)
        setCheckable(true);
}

bool TAction::Update()
{
    TUpdatingGuard guard(TIdleUpdater::Instance());
    bool handled = false;
    if (FList && FList->OnUpdate) {
        FList->OnUpdate(*this);
        handled = true;
    }
    if (OnUpdate) {
        OnUpdate(*this);
        handled = true;
    }
    return handled;
}

bool TAction::Execute()
{
    Update();
    if (!isEnabled())
        return false;
    if (FAutoCheck)
        SetChecked(!isChecked());
    if (!OnExecute)
        return false;
    OnExecute(*this);
    return true;
}

void TAction::Triggered()
{
    // QAction toggles a checkable action before triggered; Execute decides instead.
    if (isCheckable())
        setChecked(!isChecked());
    Execute();
}

// ---------------------------------------------------------------------------
// TActionList

TActionList::TActionList(QWidget *owner) : QObject(owner), FOwner(owner)
{
    if (TIdleUpdater *updater = TIdleUpdater::Instance())
        updater->Register(this);
}

TActionList::~TActionList()
{
    if (TIdleUpdater *updater = TIdleUpdater::Instance())
        updater->Unregister(this);
    for (TAction *action : FActions)
        action->FList = nullptr;
}

TAction *TActionList::AddAction(const QString &caption)
{
    return new TAction(this, caption);
}

void TActionList::Added(TAction *action)
{
    FActions.append(action);
    if (FOwner)
        FOwner->addAction(action);
}

void TActionList::Removed(TAction *action)
{
    FActions.removeAll(action);
}

void TActionList::SetImages(const QList<QIcon> &images)
{
    FImages = images;
    for (TAction *action : FActions)
        action->ApplyImage();
}

void TActionList::UpdateActions()
{
    QList<QPointer<TAction>> actions;
    for (TAction *action : FActions)
        actions.append(action);
    for (const QPointer<TAction> &action : actions)
        if (action)
            action->Update();
}

void TActionList::UpdateAllLists()
{
    TIdleUpdater *updater = TIdleUpdater::Instance();
    if (!updater)
        return;
    const QList<QPointer<TActionList>> lists = updater->Lists();
    for (const QPointer<TActionList> &list : lists)
        if (list)
            list->UpdateActions();
}
