#include "app/JournalEditor.h"

#include "app/Tags.h"
#include "db/Utils.h"
#include "platform/DateTime.h"
#include "platform/Format.h"
#include "platform/widgets/ActionList.h"
#include "platform/widgets/AmountEdit.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/DateEdit.h"
#include "platform/widgets/Utils.ComboBox.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTabWidget>
#include <QToolButton>

namespace {

// Field geometry on the tab, at 96 dots per inch.
constexpr int c_labelLeft = 3;
constexpr int c_fieldLeft = 92;
constexpr int c_rowStep = 27;
constexpr int c_fieldHeight = 23;
constexpr int c_fieldRightMargin = 3;

} // namespace

// --- TWrapCheckBox

QRect TWrapCheckBox::TextRect() const
{
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, &opt, this);
    const int spacing = style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &opt, this);
    return rect().adjusted(indicator + spacing, 0, 0, 0);
}

QSize TWrapCheckBox::sizeHint() const
{
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, &opt, this);
    const int spacing = style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &opt, this);
    const QSize text = fontMetrics().size(0, this->text());
    return QSize(indicator + spacing + text.width(), qMax(indicator, text.height()));
}

void TWrapCheckBox::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const QString caption = opt.text;
    opt.text.clear();
    const int indicatorHeight = style()->pixelMetric(QStyle::PM_IndicatorHeight, &opt, this);
    const int indicatorWidth = style()->pixelMetric(QStyle::PM_IndicatorWidth, &opt, this);
    opt.rect = QRect(0, (height() - indicatorHeight) / 2, indicatorWidth, indicatorHeight);
    p.drawPrimitive(QStyle::PE_IndicatorCheckBox, opt);
    const QRect textRect = TextRect();
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, caption);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = fontMetrics().boundingRect(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, caption);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

int TWrapCheckBox::MinimumWrapWidth() const
{
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, &opt, this);
    const int spacing = style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &opt, this);
    int word = 0;
    for (const QString &w : text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        word = qMax(word, fontMetrics().horizontalAdvance(w));
    return indicator + spacing + word + 2;
}

bool TWrapCheckBox::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

// --- TButtonEdit

TButtonEdit::TButtonEdit(QWidget *parent) : QLineEdit(parent), FButton(new QToolButton(this))
{
    FButton->setObjectName(QStringLiteral("button"));
    FButton->setText(QStringLiteral("…"));
    FButton->setCursor(Qt::ArrowCursor);
    FButton->setFocusPolicy(Qt::NoFocus);
    FButton->setAutoRaise(true);
    connect(FButton, &QToolButton::clicked, this, &TButtonEdit::ButtonClick);
}

void TButtonEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    const int side = height() - 4;
    FButton->setGeometry(width() - side - 2, 2, side, side);
    setTextMargins(0, 0, side + 2, 0);
}

void TButtonEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        FButton->setEnabled(isEnabled());
}

// --- TFJournalEditor

TFJournalEditor::TFJournalEditor(const ITallysetJournalPtr &journal, QWidget *parent)
    : QDialog(parent), _journal(journal)
{
    setObjectName(QStringLiteral("FJournalEditor"));
    setWindowTitle(QStringLiteral("Редактор"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(342, 296);
    setMinimumSize(342, 296);

    alJournalRecEditor = new TActionList(this);
    alJournalRecEditor->setObjectName(QStringLiteral("alJournalRecEditor"));
    acSave = alJournalRecEditor->AddAction(QStringLiteral("Сохранить"));
    acSave->setObjectName(QStringLiteral("acSave"));
    acSave->OnExecute = [this](TAction &) { Guarded(&TFJournalEditor::acSaveExecute); };
    acSaveAndClose = alJournalRecEditor->AddAction(QStringLiteral("Сохранить и закрыть"));
    acSaveAndClose->setObjectName(QStringLiteral("acSaveAndClose"));
    acSaveAndClose->OnExecute = [this](TAction &) { Guarded(&TFJournalEditor::acSaveAndCloseExecute); };
    acClose = alJournalRecEditor->AddAction(QStringLiteral("acClose"));
    acClose->setObjectName(QStringLiteral("acClose"));
    acClose->SetShortCut(QKeySequence(Qt::Key_Escape));
    acClose->OnExecute = [this](TAction &) { acCloseExecute(); };

    pcEditor = new QTabWidget(this);
    pcEditor->setObjectName(QStringLiteral("pcEditor"));
    tsEditor = new QWidget;
    tsEditor->setObjectName(QStringLiteral("tsEditor"));
    pcEditor->addTab(tsEditor, QString());

    auto label = [this](const char *name, const QString &caption) {
        auto *l = new QLabel(caption, tsEditor);
        l->setObjectName(QString::fromLatin1(name));
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return l;
    };
    Label1 = label("Label1", QStringLiteral("Дата"));
    lbLink1 = label("lbLink1", QString());
    lbLink2 = label("lbLink2", QString());
    lbTags = label("lbTags", QStringLiteral("Теги"));
    Label5 = label("Label5", QStringLiteral("Сумма"));
    Label6 = label("Label6", QStringLiteral("Описание"));

    deDate = new TDateEdit(tsEditor);
    deDate->setObjectName(QStringLiteral("deDate"));
    Label1->setBuddy(deDate);

    chbPlanned = new TWrapCheckBox(QStringLiteral("Планируемая операция"), tsEditor);
    chbPlanned->setObjectName(QStringLiteral("chbPlanned"));

    cbLink1 = new QComboBox(tsEditor);
    cbLink1->setObjectName(QStringLiteral("cbLink1"));
    cbLink1->setEditable(false);
    lbLink1->setBuddy(cbLink1);

    cbLink2 = new QComboBox(tsEditor);
    cbLink2->setObjectName(QStringLiteral("cbLink2"));
    cbLink2->setEditable(true);
    cbLink2->setInsertPolicy(QComboBox::NoInsert);
    lbLink2->setBuddy(cbLink2);

    ceTags = new TButtonEdit(tsEditor);
    ceTags->setObjectName(QStringLiteral("ceTags"));
    lbTags->setBuddy(ceTags);
    connect(ceTags, &TButtonEdit::ButtonClick, this, [this] { Guarded(&TFJournalEditor::ceTagsButtonClick); });

    cSum = new TAmountEdit(tsEditor);
    cSum->setObjectName(QStringLiteral("cSum"));
    Label5->setBuddy(cSum);

    mDescription = new QPlainTextEdit(tsEditor);
    mDescription->setObjectName(QStringLiteral("mDescription"));
    mDescription->setTabChangesFocus(true);
    Label6->setBuddy(mDescription);

    auto button = [this](const char *name, TAction *action) {
        auto *b = new QPushButton(action->Caption(), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, action, [action] { action->Execute(); });
        auto sync = [b, action] {
            b->setText(action->Caption());
            b->setEnabled(action->isEnabled());
            b->setVisible(action->isVisible());
        };
        connect(action, &QAction::changed, b, sync);
        connect(action, &QAction::enabledChanged, b, sync);
        connect(action, &QAction::visibleChanged, b, sync);
        return b;
    };
    sButton1 = button("sButton1", acSave);
    sButton2 = button("sButton2", acSaveAndClose);

    setTabOrder(deDate, cbLink1);
    setTabOrder(cbLink1, cbLink2);
    setTabOrder(cbLink2, ceTags);
    setTabOrder(ceTags, cSum);
    setTabOrder(cSum, mDescription);
    setTabOrder(mDescription, chbPlanned);
    setTabOrder(chbPlanned, sButton1);
    setTabOrder(sButton1, sButton2);

    LayoutControls();
    if (_journal) {
        SetKind(_journal->GetKind());
        FillLinks();
    }
}

TFJournalEditor::~TFJournalEditor() = default;

QComboBox *TFJournalEditor::LinkCombo(int index) const
{
    return index == 0 ? cbLink1 : cbLink2;
}

void TFJournalEditor::LayoutControls()
{
    const int margin = 5;
    const QSize client = size();
    pcEditor->setGeometry(margin, margin, client.width() - 2 * margin, 256 + client.height() - 296);
    // Buttons keep their layout widths unless the font needs more.
    const int save2Width = qMax(128, sButton2->sizeHint().width());
    const int save1Width = qMax(75, sButton1->sizeHint().width());
    sButton2->setGeometry(client.width() - margin - save2Width, client.height() - 30, save2Width, 25);
    sButton1->setGeometry(sButton2->x() - 6 - save1Width, client.height() - 30, save1Width, 25);

    // The tab page's size as the page control gives it.
    QSize page = tsEditor->size();
    if (!tsEditor->isVisible() || page.width() < 100) {
        pcEditor->ensurePolished();
        const QRect contents = pcEditor->contentsRect();
        const int tabBar = pcEditor->tabBar()->sizeHint().height();
        page = QSize(contents.width() - 4, contents.height() - tabBar - 4);
    }
    const int fieldWidth = page.width() - c_fieldLeft - c_fieldRightMargin;
    QLabel *labels[] = {Label1, lbLink1, lbLink2, lbTags, Label5, Label6};
    for (int i = 0; i < 6; ++i)
        labels[i]->setGeometry(c_labelLeft, 3 + i * c_rowStep, c_fieldLeft - c_labelLeft - 2, c_fieldHeight);
    deDate->setGeometry(c_fieldLeft, 3, 91, c_fieldHeight);
    const int plannedWidth = qMax(102, chbPlanned->MinimumWrapWidth());
    chbPlanned->setGeometry(page.width() - 11 - plannedWidth, 0, plannedWidth, 28);
    QWidget *fields[] = {cbLink1, cbLink2, ceTags, cSum};
    for (int i = 0; i < 4; ++i)
        fields[i]->setGeometry(c_fieldLeft, 3 + (i + 1) * c_rowStep, fieldWidth, c_fieldHeight);
    const int memoTop = 3 + 5 * c_rowStep;
    mDescription->setGeometry(c_fieldLeft, memoTop, fieldWidth, qMax(c_fieldHeight, page.height() - memoTop - 4));
}

void TFJournalEditor::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    LayoutControls();
}

void TFJournalEditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    LayoutControls();
    cbLink1->setFocus(Qt::OtherFocusReason);
}

void TFJournalEditor::Prepare(TEditorMode mode)
{
    SetMode(mode);
    if (mode == emNew)
        SetRec(TJournalRecord::Create(Now()));
    else
        SetRec(_journal->GetCurrentRecord());
}

void TFJournalEditor::SetKind(TJournalKind kind)
{
    const bool tags = kind == jkExpenses;
    lbTags->setEnabled(tags);
    ceTags->setEnabled(tags);
    const TJournalEditorIntf &intf = c_intfJournalEditor[kind];
    pcEditor->setTabText(0, intf.Caption);
    lbLink1->setText(intf.Link1Name);
    lbLink2->setText(intf.Link2Name);
    cbLink1->setEditable(false);
    cbLink2->setEditable(true);
}

void TFJournalEditor::SetMode(TEditorMode mode)
{
    _mode = mode;
    acSave->SetEnabled(mode == emNew);
    acSave->SetVisible(mode == emNew);
}

void TFJournalEditor::FillLinks()
{
    for (int i = 0; i < 2; ++i) {
        TStringList items;
        if (ITallysetLibPtr lib = _journal->GetLib(i))
            lib->ToStrings(items);
        FillComboBox(*LinkCombo(i), items);
    }
}

void TFJournalEditor::SetRec(const TJournalRecord &value)
{
    FID = value.ID;
    deDate->SetDate(value.Date);
    chbPlanned->setChecked(value.Planned);
    SetIDForCombobox(*cbLink1, value.Link1.ID);
    SetIDForCombobox(*cbLink2, value.Link2.ID);
    mDescription->setPlainText(value.Description);
    ceTags->setText(value.Tags);
    if (value.Sum == 0)
        cSum->clear();
    else
        cSum->SetValue(value.Sum);
}

TJournalRecord TFJournalEditor::GetRec()
{
    TJournalRecord rec;
    rec.ID = FID;
    rec.Date = deDate->Date();
    rec.Planned = chbPlanned->isChecked();
    rec.Link1.ID = _getLinkID(0, false);
    rec.Link2.ID = _getLinkID(1, true);
    rec.Description = mDescription->toPlainText();
    rec.Tags = ceTags->text();
    rec.Sum = cSum->Value();
    return rec;
}

int TFJournalEditor::_getLinkID(int index, bool addAllow)
{
    QComboBox *combo = LinkCombo(index);
    int result = GetIDFromCombobox(*combo, -1);
    const QString typed = combo->currentText();
    ITallysetLibPtr lib = _journal->GetLib(index);
    if (result == -1 && addAllow && lib && !typed.trimmed().isEmpty()) {
        result = lib->ConfirmAdd(typed).ID;
        if (result > 0) {
            TStringList items;
            lib->ToStrings(items);
            FillComboBox(*combo, items);
            combo->setEditText(typed);
        }
    }
    return result;
}

bool TFJournalEditor::CheckForm()
{
    if (!(deDate->Date() > EncodeDate(1900, 1, 1))) {
        ShowInfo(c_msgInvalidDate);
        deDate->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (cbLink1->currentText().trimmed().isEmpty() || _getLinkID(0, false) <= 0) {
        ShowInfo(c_msgInvalidValue, {lbLink1->text()});
        cbLink1->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (cbLink2->currentText().trimmed().isEmpty() || _getLinkID(1, true) <= 0) {
        ShowInfo(c_msgInvalidValue, {lbLink2->text()});
        cbLink2->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (!cSum->IsValid()) {
        ShowInfo(c_msgInvalidOperationSum + QStringLiteral(".\n") + cSum->ErrorText());
        cSum->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (!(cSum->Value() > 0)) {
        ShowInfo(c_msgInvalidOperationSum);
        cSum->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

void TFJournalEditor::SaveRecord()
{
    const TJournalRecord rec = GetRec();
    if (_mode == emNew)
        _journal->AddRecord(rec);
    else
        _journal->UpdateRecord(rec);
}

bool TFJournalEditor::CheckAndSave()
{
    const bool ok = CheckForm();
    if (ok)
        SaveRecord();
    return ok;
}

void TFJournalEditor::acSaveExecute()
{
    if (_mode != emNew || !CheckAndSave())
        return;
    SetRec(TJournalRecord::Create(deDate->Date()));
    cbLink1->setFocus(Qt::OtherFocusReason);
}

void TFJournalEditor::acSaveAndCloseExecute()
{
    if (CheckAndSave())
        accept();
}

void TFJournalEditor::acCloseExecute()
{
    reject();
}

void TFJournalEditor::ceTagsButtonClick()
{
    const int typeID = _getLinkID(1, true);
    if (typeID < 1) {
        ShowInfo(c_msgOperationKindIsNeeded);
        cbLink2->setFocus(Qt::OtherFocusReason);
        return;
    }
    TStringList tags;
    _journal->GetTagsManager()->GetTagsByType(typeID, tags);
    ShowTags(tags, [this](const QString &tag) { TagsAdd(tag); });
}

void TFJournalEditor::TagsAdd(const QString &tag)
{
    QString s = ceTags->text().trimmed();
    if (DeleteFromStrList(tag, s)) {
        ceTags->setText(s);
        return;
    }
    if (!s.isEmpty())
        s += QLatin1Char(',');
    // Quoted when it holds a blank, a comma or a double quote: one name, one tag.
    s += DelimitedItem(tag, true);
    ceTags->setText(s);
}

void TFJournalEditor::Guarded(void (TFJournalEditor::*handler)())
{
    try {
        (this->*handler)();
    } catch (...) {
        TApplication::HandleException();
    }
}

void JournalRecordEditor(const ITallysetJournalPtr &journal, TEditorMode mode)
{
    TFJournalEditor form(journal, QApplication::activeWindow());
    form.Prepare(mode);
    form.exec();
}
