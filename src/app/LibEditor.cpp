#include "app/LibEditor.h"

#include "app/Settings.h"
#include "controls/DesignUtils.h"
#include "controls/ZarnLib.Components.ZarnImgButton.h"
#include "controls/ZarnLib.Components.ZarnImgContainer.h"
#include "db/Constants.h"
#include "db/Utils.h"
#include "platform/Dialogs.h"
#include "platform/Format.h"
#include "platform/widgets/ActionList.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/DBGridEh.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int c_barHeight = 25;

QPixmap StripPicture(int width)
{
    QPixmap pm(width, c_barHeight);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, c_barHeight);
    g.setColorAt(0, QColor(0xF4, 0xF7, 0xFB));
    g.setColorAt(1, QColor(0xD9, 0xE3, 0xEF));
    p.fillRect(pm.rect(), g);
    p.setPen(QColor(0xB5, 0xC4, 0xD6));
    p.drawLine(0, c_barHeight - 1, width, c_barHeight - 1);
    return pm;
}

// One state of a labelled button: a rounded face with the caption centred.
QPixmap ButtonPicture(int width, const QString &caption, const QColor &top, const QColor &bottom,
                      const QColor &textColor, int shift)
{
    QPixmap pm = StripPicture(width);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (top.isValid()) {
        QPainterPath path;
        path.addRoundedRect(QRectF(1.5, 1.5, width - 3, c_barHeight - 4), 4, 4);
        QLinearGradient g(0, 0, 0, c_barHeight);
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.fillPath(path, g);
        p.setPen(QColor(0x7A, 0x96, 0xB8));
        p.drawPath(path);
    }
    QFont f = QApplication::font();
    f.setPixelSize(12);
    while (f.pixelSize() > 8 && QFontMetrics(f).horizontalAdvance(caption) > width - 8)
        f.setPixelSize(f.pixelSize() - 1);
    p.setFont(f);
    p.setPen(textColor);
    p.drawText(QRect(shift, shift, width, c_barHeight - 1), Qt::AlignCenter, caption);
    return pm;
}

TButtonPictures LabelledPictures(int width, const QString &caption)
{
    TButtonPictures pics;
    pics.Normal = ButtonPicture(width, caption, QColor(), QColor(), QColor(0x1F, 0x3A, 0x5F), 0);
    pics.Over = ButtonPicture(width, caption, QColor(0xFF, 0xFF, 0xFF), QColor(0xCF, 0xE0, 0xF5),
                              QColor(0x10, 0x2A, 0x4C), 0);
    pics.Down = ButtonPicture(width, caption, QColor(0xBF, 0xD3, 0xEC), QColor(0xE6, 0xEE, 0xF8),
                              QColor(0x10, 0x2A, 0x4C), 1);
    pics.Disable = ButtonPicture(width, caption, QColor(), QColor(), QColor(0xA0, 0xA8, 0xB2), 0);
    return pics;
}

} // namespace

TFLibEditor::TFLibEditor(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FLibEditor"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(415, 360);

    alLibEditor = new TActionList(this);
    alLibEditor->setObjectName(QStringLiteral("alLibEditor"));
    alLibEditor->OnUpdate = [this](TAction &action) { alLibEditorUpdate(action); };

    dsLib = new TDataSource(this);
    dsLib->setObjectName(QStringLiteral("dsLib"));

    dbgLib = new TDBGridEh(this);
    dbgLib->setObjectName(QStringLiteral("dbgLib"));
    dbgLib->setFrameShape(QFrame::NoFrame);
    TColumnEh *column = dbgLib->AddColumn(c_fldName, QStringLiteral("Наименование"), 200);
    column->SetTitleEndEllipsis(true);
    column->SetTitleButton(true);
    dbgLib->SetDataSource(dsLib);

    acAddRecord = alLibEditor->AddAction(QStringLiteral("Добавить запись"));
    acAddRecord->setObjectName(QStringLiteral("acAddRecord"));
    acAddRecord->SetShortCut(QKeySequence(Qt::Key_Insert));
    acAddRecord->OnExecute = [this](TAction &) { Guarded(&TFLibEditor::acAddRecordExecute); };

    acEditRecord = alLibEditor->AddAction(QStringLiteral("Редактировать"));
    acEditRecord->setObjectName(QStringLiteral("acEditRecord"));
    acEditRecord->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    acEditRecord->OnExecute = [this](TAction &) { Guarded(&TFLibEditor::acEditRecordExecute); };

    acDeleteRecord = alLibEditor->AddAction(QStringLiteral("Удалить"));
    acDeleteRecord->setObjectName(QStringLiteral("acDeleteRecord"));
    acDeleteRecord->SetShortCut(QKeySequence(Qt::Key_Delete));
    acDeleteRecord->OnExecute = [this](TAction &) { Guarded(&TFLibEditor::acDeleteRecordExecute); };

    ZarnImgContainer1 = new TZarnImgContainer(this);
    ZarnImgContainer1->setObjectName(QStringLiteral("ZarnImgContainer1"));
    ZarnImgContainer1->SetImage(StripPicture(64));

    struct TButtonDef
    {
        TZarnImgButton **Button;
        const char *Name;
        int Left;
        int Width;
        TAction *Action;
        const char *Label;
    };
    const TButtonDef buttons[] = {
        {&btAdd, "btAdd", 0, 80, acAddRecord, "Добавить"},
        {&btEdit, "btEdit", 90, 105, acEditRecord, "Редактировать"},
        {&btDelete, "btDelete", 205, 75, acDeleteRecord, "Удалить"},
    };
    for (const TButtonDef &def : buttons) {
        auto *button = new TZarnImgButton(ZarnImgContainer1);
        button->setObjectName(QString::fromLatin1(def.Name));
        button->SetPictures(LabelledPictures(def.Width, QString::fromUtf8(def.Label)));
        button->move(def.Left, 0);
        TAction *action = def.Action;
        connect(button, &TCustomZarnImgButton::Click, this, [action] { action->Execute(); });
        *def.Button = button;
    }

    acExit = alLibEditor->AddAction(QStringLiteral("acExit"));
    acExit->setObjectName(QStringLiteral("acExit"));
    acExit->SetShortCut(QKeySequence(Qt::Key_Escape));
    acExit->OnExecute = [this](TAction &) { reject(); };

    dbgLib->OnDblClick = [this](TDBGridEh &) { acEditRecord->Execute(); };

    TDBGridEhDecorator::Create(dbgLib);
    dbgLib->SetReadOnly(true);
}

TFLibEditor::~TFLibEditor() = default;

QString TFLibEditor::SettingsSection() const
{
    return c_iniLibEditor + (FLib ? FLib->GetLibAlias() : QString());
}

void TFLibEditor::Initialize(const ITallysetLibPtr &lib)
{
    FLib = lib;
    IQueryPtr query = FLib->GetQuery();
    dsLib->SetDataSet(query ? query->GetData() : nullptr);
    if (AppSettings) {
        // Without a stored placement the window keeps its default, centred place.
        if (AppSettings->LoadInteger(SettingsSection(), c_iniKeyWindowState, -1) >= 0)
            AppSettings->LoadFormSettings(SettingsSection(), this);
        AppSettings->LoadGridSettings(c_iniGridLib, *dbgLib);
    }
    setWindowTitle(Format(c_intfLibEditorCaption, {FLib->GetLibName()}));
    FLib->Refresh();
    alLibEditor->UpdateActions();
}

bool TFLibEditor::IsEmpty() const
{
    TDataSet *data = dsLib->DataSet();
    return data == nullptr || data->IsEmpty();
}

void TFLibEditor::alLibEditorUpdate(TAction &action)
{
    if (&action != acEditRecord && &action != acDeleteRecord)
        return;
    const bool enabled = !IsEmpty();
    action.SetEnabled(enabled);
    TZarnImgButton *button = &action == acEditRecord ? btEdit : btDelete;
    button->setEnabled(enabled);
    button->Invalidate();
}

void TFLibEditor::acAddRecordExecute()
{
    TLibRecord rec = TLibRecord::Create(c_intfNewLibRecordDefaultName, -1);
    if (!DialogHook().InputQuery(c_intfNewLibRecordCaption, c_msgNewLibRecordText, rec.Name))
        return;
    if (rec.Name.trimmed().isEmpty()) {
        ShowInfo(c_msgEmptyLibRecordName);
        return;
    }
    FLib->AddLibRecord(rec);
}

void TFLibEditor::acEditRecordExecute()
{
    TLibRecord rec = FLib->GetCurrentRecord();
    if (rec.ID <= 0)
        return;
    if (!DialogHook().InputQuery(c_intfEditLibRecordCaption, c_msgEditLibRecordText, rec.Name))
        return;
    if (rec.Name.trimmed().isEmpty()) {
        ShowInfo(c_msgEmptyLibRecordName);
        return;
    }
    FLib->EditLibRecord(rec);
}

void TFLibEditor::acDeleteRecordExecute()
{
    const TLibRecord rec = FLib->GetCurrentRecord();
    if (rec.ID <= 0)
        return;
    if (!QuestionDlg(c_msgDeleteRecordQuestion, {rec.Name}))
        return;
    FLib->DeleteRecord(rec.ID);
}

void TFLibEditor::Guarded(void (TFLibEditor::*handler)())
{
    try {
        (this->*handler)();
    } catch (...) {
        TApplication::HandleException();
    }
    alLibEditor->UpdateActions();
}

void TFLibEditor::SaveSettings()
{
    if (FSaved || !FLib || !AppSettings)
        return;
    FSaved = true;
    try {
        AppSettings->SaveFormSetings(SettingsSection(), this);
        AppSettings->SaveGridSettings(c_iniGridLib, *dbgLib);
    } catch (...) {
        TApplication::HandleException();
    }
}

void TFLibEditor::done(int result)
{
    SaveSettings();
    QDialog::done(result);
}

void TFLibEditor::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    ZarnImgContainer1->setGeometry(0, 0, width(), c_barHeight);
    dbgLib->setGeometry(0, c_barHeight, width(), height() - c_barHeight);
}

void LibEdit(const ITallysetLibPtr &lib)
{
    TFLibEditor form(QApplication::activeWindow());
    form.Initialize(lib);
    form.exec();
}
