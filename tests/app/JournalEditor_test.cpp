#include "EditorFixture.h"

#include "app/JournalEditor.h"
#include "app/Tags.h"
#include "db/Constants.h"
#include "platform/DataSource.h"
#include "platform/Format.h"
#include "platform/widgets/ActionList.h"
#include "platform/widgets/AmountEdit.h"
#include "platform/widgets/DBGridEh.h"
#include "platform/widgets/DateEdit.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <memory>

namespace
{

class JournalEditorTest : public TEditorTest
{
protected:
    JournalEditorTest()
    {
        FCard = AddName(QStringLiteral("CashTypes"), QStringLiteral("Карта"));
        FCash = AddName(QStringLiteral("CashTypes"), QStringLiteral("Наличные"));
        FSalary = AddName(QStringLiteral("IncomeTypes"), QStringLiteral("Зарплата"));
        FFood = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Еда"));
        FTransport = AddName(QStringLiteral("ExpenseTypes"), QStringLiteral("Транспорт"));
        OpenAll();
    }

    // The editor as the entry point prepares it, shown without a modal loop.
    std::unique_ptr<TFJournalEditor> Open(TJournalKind kind, TEditorMode mode)
    {
        auto editor = std::make_unique<TFJournalEditor>(Journal(kind));
        editor->Prepare(mode);
        editor->show();
        editor->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(editor.get()));
        return editor;
    }
    static void TypeDate(TFJournalEditor &e, const QString &digits)
    {
        e.deDate->setFocus();
        QTest::keyClick(e.deDate, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(e.deDate, Qt::Key_Delete);
        QTest::keyClick(e.deDate, Qt::Key_Home);
        QTest::keyClicks(e.deDate, digits);
    }
    static void Pick(QComboBox *combo, const QString &name)
    {
        combo->setFocus();
        combo->setCurrentIndex(combo->findText(name));
    }
    static void TypeLink2(TFJournalEditor &e, const QString &name)
    {
        RetypeText(e.cbLink2->lineEdit(), name);
    }
    // A form that passes every check: 15.12.2011, the first cash type, the
    // second list's first entry, amount 100.
    void FillValid(TFJournalEditor &e)
    {
        TypeDate(e, QStringLiteral("15122011"));
        Pick(e.cbLink1, QStringLiteral("Карта"));
        Pick(e.cbLink2, e.cbLink2->itemText(0));
        RetypeText(e.cSum, QStringLiteral("100"));
    }
    static void Press(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    int FCard = 0, FCash = 0, FSalary = 0, FFood = 0, FTransport = 0;
};

// --- captions and fields per kind

struct TKindCase
{
    TJournalKind Kind;
    const char *Tab;
    const char *Link1;
    const char *Link2;
    bool TagsEnabled;
    QStringList Link2Items;
};

class JournalEditorKindTest : public JournalEditorTest, public ::testing::WithParamInterface<TKindCase>
{
};

TEST_P(JournalEditorKindTest, CaptionsListsAndTagsFollowTheKind)
{
    const TKindCase c = GetParam();
    auto e = Open(c.Kind, emNew);
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Редактор"));
    EXPECT_EQ(e->pcEditor->tabText(0), QString::fromUtf8(c.Tab));
    EXPECT_EQ(e->lbLink1->text(), QString::fromUtf8(c.Link1));
    EXPECT_EQ(e->lbLink2->text(), QString::fromUtf8(c.Link2));
    EXPECT_EQ(e->ceTags->isEnabled(), c.TagsEnabled);
    EXPECT_EQ(e->lbTags->isEnabled(), c.TagsEnabled);
    EXPECT_EQ(e->ceTags->Button()->isEnabled(), c.TagsEnabled);
    EXPECT_TRUE(e->ceTags->isVisible());
    EXPECT_FALSE(e->cbLink1->isEditable());
    EXPECT_TRUE(e->cbLink2->isEditable());
    QStringList link1, link2;
    for (int i = 0; i < e->cbLink1->count(); ++i)
        link1 << e->cbLink1->itemText(i);
    for (int i = 0; i < e->cbLink2->count(); ++i)
        link2 << e->cbLink2->itemText(i);
    EXPECT_EQ(link1, (QStringList{QStringLiteral("Карта"), QStringLiteral("Наличные")}));
    EXPECT_EQ(link2, c.Link2Items);
    // A new record: today, nothing chosen, first focus on the first list.
    EXPECT_EQ(e->deDate->Date(), Date());
    EXPECT_EQ(e->cbLink1->currentIndex(), -1);
    EXPECT_EQ(e->cbLink2->currentText(), QString());
    EXPECT_EQ(e->focusWidget(), e->cbLink1);
    EXPECT_TRUE(e->sButton1->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, JournalEditorKindTest,
    ::testing::Values(
        TKindCase{jkIncomes, "Доход", "Вид средств", "Вид дохода", false, {QStringLiteral("Зарплата")}},
        TKindCase{jkExpenses, "Расход", "Вид средств", "Расход", true,
                  {QStringLiteral("Еда"), QStringLiteral("Транспорт")}},
        TKindCase{jkTransfers, "Перевод", "Откуда", "Куда", false,
                  {QStringLiteral("Карта"), QStringLiteral("Наличные")}}));

// --- the checks, in their order, with their messages and focus moves

struct TCheckCase
{
    const char *Name;
    TJournalKind Kind;
    // Spoils the valid form; may queue answers for questions.
    std::function<void(TFJournalEditor &, TRecordingDialogHook &)> Spoil;
    QString Message; // the message shown (for amounts: how it starts)
    QString Question; // the add question asked first, if any
    std::function<QWidget *(TFJournalEditor &)> Focus;
};

void PrintTo(const TCheckCase &c, std::ostream *os)
{
    *os << c.Name;
}

QWidget *DateField(TFJournalEditor &e) { return e.deDate; }
QWidget *Link1Field(TFJournalEditor &e) { return e.cbLink1; }
QWidget *Link2Field(TFJournalEditor &e) { return e.cbLink2; }
QWidget *SumField(TFJournalEditor &e) { return e.cSum; }

void TypeDigits(TFJournalEditor &e, const QString &digits)
{
    e.deDate->setFocus();
    QTest::keyClick(e.deDate, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(e.deDate, Qt::Key_Delete);
    QTest::keyClick(e.deDate, Qt::Key_Home);
    QTest::keyClicks(e.deDate, digits);
}

auto SumText(const char *text)
{
    return [text](TFJournalEditor &e, TRecordingDialogHook &) { RetypeText(e.cSum, QString::fromUtf8(text)); };
}

const QString c_invalidCash = Format(c_msgInvalidValue, {QStringLiteral("Вид средств")});
const QString c_invalidKind = Format(c_msgInvalidValue, {QStringLiteral("Расход")});

class JournalEditorCheckTest : public JournalEditorTest, public ::testing::WithParamInterface<TCheckCase>
{
};

TEST_P(JournalEditorCheckTest, FirstFailingCheckShowsItsMessageFocusesItsFieldAndSavesNothing)
{
    const TCheckCase c = GetParam();
    auto e = Open(c.Kind, emNew);
    FillValid(*e);
    c.Spoil(*e, FDialogs.Hook());
    const QString sumBefore = e->cSum->text();
    const QString link2Before = e->cbLink2->currentText();

    Press(e->sButton2);

    EXPECT_EQ(FDialogs->QuestionTexts(),
              c.Question.isEmpty() ? QStringList() : QStringList{Format(c_msgRecordAddedQuestion, {c.Question})});
    ASSERT_EQ(FDialogs->MessageTexts().size(), 1) << FDialogs->Texts().join("|").toStdString();
    EXPECT_TRUE(FDialogs->MessageTexts()[0].startsWith(c.Message)) << FDialogs->MessageTexts()[0].toStdString();
    EXPECT_EQ(e->focusWidget(), c.Focus(*e));
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(e->result(), 0);
    // The user's input stays as typed; nothing reached the database.
    EXPECT_EQ(e->cSum->text(), sumBefore);
    EXPECT_EQ(e->cbLink2->currentText(), link2Before);
    const QString table = Journal(c.Kind)->TableName();
    EXPECT_EQ(Count(table), 0);
    EXPECT_EQ(Count(QStringLiteral("ExpenseTypes")), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, JournalEditorCheckTest,
    ::testing::Values(
        TCheckCase{"FirstOf1900", jkIncomes,
                   [](TFJournalEditor &e, TRecordingDialogHook &) { TypeDigits(e, QStringLiteral("01011900")); },
                   c_msgInvalidDate, {}, DateField},
        TCheckCase{"Before1900", jkExpenses,
                   [](TFJournalEditor &e, TRecordingDialogHook &) { TypeDigits(e, QStringLiteral("31121899")); },
                   c_msgInvalidDate, {}, DateField},
        TCheckCase{"EmptyDate", jkExpenses, [](TFJournalEditor &e, TRecordingDialogHook &) { TypeDigits(e, {}); },
                   c_msgInvalidDate, {}, DateField},
        TCheckCase{"IncompleteDate", jkExpenses,
                   [](TFJournalEditor &e, TRecordingDialogHook &) { TypeDigits(e, QStringLiteral("1512")); },
                   c_msgInvalidDate, {}, DateField},
        TCheckCase{"ImpossibleDate", jkExpenses,
                   [](TFJournalEditor &e, TRecordingDialogHook &) { TypeDigits(e, QStringLiteral("31022012")); },
                   c_msgInvalidDate, {}, DateField},
        // A record dated after 9999 cannot be shown, so it cannot be saved either.
        TCheckCase{"DateBeyond9999", jkExpenses,
                   [](TFJournalEditor &e, TRecordingDialogHook &) {
                       TJournalRecord rec = e.GetRec();
                       rec.Date = TDateEdit::MaxDate() + 1;
                       e.SetRec(rec);
                       RetypeText(e.cSum, QStringLiteral("100"));
                   },
                   c_msgInvalidDate, {}, DateField},
        // The date is checked before everything else.
        TCheckCase{"DateBeforeCashType", jkExpenses,
                   [](TFJournalEditor &e, TRecordingDialogHook &) {
                       TypeDigits(e, {});
                       e.cbLink1->setCurrentIndex(-1);
                   },
                   c_msgInvalidDate, {}, DateField},
        TCheckCase{"NoCashType", jkExpenses,
                   [](TFJournalEditor &e, TRecordingDialogHook &) { e.cbLink1->setCurrentIndex(-1); }, c_invalidCash,
                   {}, Link1Field},
        TCheckCase{"NoSourceOfTransfer", jkTransfers,
                   [](TFJournalEditor &e, TRecordingDialogHook &) { e.cbLink1->setCurrentIndex(-1); },
                   Format(c_msgInvalidValue, {QStringLiteral("Откуда")}), {}, Link1Field},
        TCheckCase{"CashTypeBeforeKind", jkExpenses,
                   [](TFJournalEditor &e, TRecordingDialogHook &) {
                       e.cbLink1->setCurrentIndex(-1);
                       RetypeText(e.cbLink2->lineEdit(), QStringLiteral("Подарки"));
                   },
                   c_invalidCash, {}, Link1Field},
        TCheckCase{"BlankKind", jkExpenses,
                   [](TFJournalEditor &e, TRecordingDialogHook &) { RetypeText(e.cbLink2->lineEdit(), "   "); },
                   c_invalidKind, {}, Link2Field},
        TCheckCase{"TypedMissingKindAnsweredNo", jkExpenses,
                   [](TFJournalEditor &e, TRecordingDialogHook &h) {
                       RetypeText(e.cbLink2->lineEdit(), QStringLiteral("Подарки"));
                       h.AnswerNo();
                   },
                   c_invalidKind, QStringLiteral("Подарки"), Link2Field},
        TCheckCase{"KindBeforeAmount", jkExpenses,
                   [](TFJournalEditor &e, TRecordingDialogHook &) {
                       RetypeText(e.cbLink2->lineEdit(), QString());
                       RetypeText(e.cSum, QString());
                   },
                   c_invalidKind, {}, Link2Field},
        TCheckCase{"AmountZero", jkExpenses, SumText("0"), c_msgInvalidOperationSum, {}, SumField},
        TCheckCase{"AmountZeroWithCents", jkExpenses, SumText("0,00"), c_msgInvalidOperationSum, {}, SumField},
        TCheckCase{"AmountEmpty", jkExpenses, SumText(""), c_msgInvalidOperationSum, {}, SumField},
        TCheckCase{"AmountWithLetters", jkIncomes, SumText("12abc"), c_msgInvalidOperationSum, {}, SumField},
        TCheckCase{"AmountTwoSeparators", jkExpenses, SumText("1,2,3"), c_msgInvalidOperationSum, {}, SumField},
        TCheckCase{"AmountLeadingSeparator", jkExpenses, SumText(",5"), c_msgInvalidOperationSum, {}, SumField},
        TCheckCase{"AmountThreeDecimals", jkTransfers, SumText("1,234"), c_msgInvalidOperationSum, {}, SumField},
        TCheckCase{"AmountNegative", jkExpenses, SumText("-5"), c_msgInvalidOperationSum, {}, SumField},
        TCheckCase{"AmountExponent", jkExpenses, SumText("1e20"), c_msgInvalidOperationSum, {}, SumField},
        TCheckCase{"AmountOfTwentyOneDigits", jkExpenses, SumText("100000000000000000000"),
                   c_msgInvalidOperationSum, {}, SumField}),
    [](const ::testing::TestParamInfo<TCheckCase> &info) { return std::string(info.param.Name); });

TEST_F(JournalEditorTest, InvalidAmountTextSaysWhatIsWrong)
{
    auto e = Open(jkExpenses, emNew);
    FillValid(*e);
    RetypeText(e->cSum, QStringLiteral("1,234"));
    Press(e->sButton2);
    ASSERT_EQ(FDialogs->MessageTexts().size(), 1);
    EXPECT_EQ(FDialogs->MessageTexts()[0],
              c_msgInvalidOperationSum + QStringLiteral(".\n") + AmountParseMessage(TAmountParse::apTooManyDecimals));
}

TEST_F(JournalEditorTest, TypedMissingKindAnsweredYesIsAddedAndTheRecordSavedWithIt)
{
    auto e = Open(jkExpenses, emNew);
    FillValid(*e);
    RetypeText(e->cbLink2->lineEdit(), QStringLiteral("Подарки"));
    FDialogs->AnswerYes();

    Press(e->sButton2);

    // Asked once: the save finds the entry added by the check.
    EXPECT_EQ(FDialogs->Texts(), QStringList{Format(c_msgRecordAddedQuestion, {QStringLiteral("Подарки")})});
    const int gifts = FExpenseTypes->GetRecordID(QStringLiteral("Подарки"));
    ASSERT_GT(gifts, 0);
    EXPECT_EQ(Count(QStringLiteral("Expenses where TypeID = %1 and CashTypeID = %2").arg(gifts).arg(FCard)), 1);
    EXPECT_EQ(e->result(), int(QDialog::Accepted));
    EXPECT_FALSE(e->isVisible());
}

TEST_F(JournalEditorTest, TypedExistingKindInOtherLetterCaseIsTakenWithoutAQuestion)
{
    auto e = Open(jkExpenses, emNew);
    FillValid(*e);
    RetypeText(e->cbLink2->lineEdit(), QStringLiteral("ТРАНСПОРТ"));
    Press(e->sButton2);
    EXPECT_EQ(FDialogs->Count(), 0) << FDialogs->Texts().join("|").toStdString();
    EXPECT_EQ(Count(QStringLiteral("Expenses where TypeID = %1").arg(FTransport)), 1);
    EXPECT_EQ(Count(QStringLiteral("ExpenseTypes")), 2);
}

TEST_F(JournalEditorTest, SaveAndCloseWritesEveryFieldOfTheForm)
{
    auto e = Open(jkExpenses, emNew);
    TypeDate(*e, QStringLiteral("05032012"));
    Pick(e->cbLink1, QStringLiteral("Наличные"));
    TypeLink2(*e, QStringLiteral("Еда"));
    RetypeText(e->ceTags, QStringLiteral("молоко,хлеб"));
    RetypeText(e->cSum, QStringLiteral("12,5"));
    e->mDescription->setFocus();
    TypeText(e->mDescription, QStringLiteral("Обед \"у дома\""));
    QTest::mouseClick(e->chbPlanned, Qt::LeftButton, {}, QPoint(60, 14)); // on the wrapped caption
    EXPECT_TRUE(e->chbPlanned->isChecked());

    Press(e->sButton2);

    EXPECT_EQ(FDialogs->Count(), 0) << FDialogs->Texts().join("|").toStdString();
    ASSERT_EQ(Count(QStringLiteral("Expenses")), 1);
    EXPECT_EQ(Scalar(QStringLiteral("select OperationDate from Expenses")).toDouble(), D(2012, 3, 5));
    EXPECT_EQ(Scalar(QStringLiteral("select CashTypeID from Expenses")).toInt(), FCash);
    EXPECT_EQ(Scalar(QStringLiteral("select TypeID from Expenses")).toInt(), FFood);
    EXPECT_EQ(Scalar(QStringLiteral("select SumValue from Expenses")).toDouble(), 12.5);
    EXPECT_EQ(Scalar(QStringLiteral("select Planned from Expenses")).toInt(), 1);
    EXPECT_EQ(Scalar(QStringLiteral("select Description from Expenses")).toString(), QStringLiteral("Обед \"у дома\""));
    EXPECT_EQ(Scalar(QStringLiteral("select Tags from Expenses")).toString(), QStringLiteral("молоко,хлеб"));
    EXPECT_EQ(Count(QStringLiteral("ExpensesTags")), 2);
    EXPECT_EQ(e->result(), int(QDialog::Accepted));
}

TEST_F(JournalEditorTest, TransferBetweenTheSameCashTypePasses)
{
    auto e = Open(jkTransfers, emNew);
    FillValid(*e);
    Pick(e->cbLink2, QStringLiteral("Карта"));
    Press(e->sButton2);
    EXPECT_EQ(FDialogs->Count(), 0);
    EXPECT_EQ(Count(QStringLiteral("Transfers where SrcCashTypeID = %1 and DstCashTypeID = %1").arg(FCard)), 1);
}

TEST_F(JournalEditorTest, LongTextsAreSavedWhole)
{
    const QString description(10000, QChar(0x0436)); // "жжж…"
    const QString kind = QString(9999, QLatin1Char('k')) + QChar(0x044F);
    auto e = Open(jkExpenses, emNew);
    FillValid(*e);
    e->mDescription->setPlainText(description);
    e->cbLink2->setEditText(kind);
    FDialogs->AnswerYes();
    Press(e->sButton2);
    ASSERT_EQ(Count(QStringLiteral("Expenses")), 1);
    EXPECT_EQ(Scalar(QStringLiteral("select Description from Expenses")).toString(), description);
    EXPECT_EQ(Scalar(QStringLiteral("select t.Name from Expenses e, ExpenseTypes t where t.ID = e.TypeID")).toString(),
              kind);
}

// --- saving several records, Esc, edit mode

TEST_F(JournalEditorTest, SaveKeepsTheDateClearsTheRestAndAddsAnotherRecordNext)
{
    auto e = Open(jkExpenses, emNew);
    FillValid(*e);
    RetypeText(e->ceTags, QStringLiteral("хлеб"));
    e->mDescription->setPlainText(QStringLiteral("первый"));
    e->chbPlanned->setChecked(true);

    Press(e->sButton1);

    EXPECT_EQ(FDialogs->Count(), 0) << FDialogs->Texts().join("|").toStdString();
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(e->deDate->Date(), D(2011, 12, 15));
    EXPECT_EQ(e->cbLink1->currentIndex(), -1);
    EXPECT_EQ(e->cbLink2->currentText(), QString());
    EXPECT_EQ(e->ceTags->text(), QString());
    EXPECT_EQ(e->cSum->Value(), 0.0);
    EXPECT_EQ(e->mDescription->toPlainText(), QString());
    EXPECT_FALSE(e->chbPlanned->isChecked());
    EXPECT_EQ(e->GetRec().ID, -1);

    Pick(e->cbLink1, QStringLiteral("Наличные"));
    Pick(e->cbLink2, QStringLiteral("Транспорт"));
    RetypeText(e->cSum, QStringLiteral("7"));
    Press(e->sButton1);

    EXPECT_EQ(Column(QStringLiteral("select OperationDate || '/' || CashTypeID || '/' || SumValue as R from Expenses "
                                    "order by ID"),
                     QStringLiteral("R")),
              (QStringList{QStringLiteral("2011-12-15/%1/100.0").arg(FCard),
                           QStringLiteral("2011-12-15/%1/7.0").arg(FCash)}));
}

TEST_F(JournalEditorTest, EscAfterSaveKeepsTheSavedRecord)
{
    auto e = Open(jkIncomes, emNew);
    FillValid(*e);
    Press(e->sButton1);
    ASSERT_EQ(Count(QStringLiteral("Incomes")), 1);
    RetypeText(e->cSum, QStringLiteral("55"));
    e->activateWindow();
    QTest::keyClick(e->cSum, Qt::Key_Escape);
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(e->result(), int(QDialog::Rejected));
    EXPECT_EQ(Count(QStringLiteral("Incomes")), 1);
    EXPECT_EQ(Scalar(QStringLiteral("select SumValue from Incomes")).toDouble(), 100.0);
}

TEST_F(JournalEditorTest, EditModeHidesSaveAndWritesTheCurrentRecordBack)
{
    TJournalRecord first = TJournalRecord::Create(D(2011, 12, 1));
    first.Link1.ID = FCard;
    first.Link2.ID = FFood;
    first.Sum = 10;
    FExpenses->AddRecord(first);
    TJournalRecord second = first;
    second.Date = D(2011, 12, 2);
    second.Sum = 20;
    second.Tags = QStringLiteral("хлеб");
    second.Description = QStringLiteral("до");
    const int secondID = FExpenses->AddRecord(second).ID;
    TJournalRecord third = first;
    third.Date = D(2011, 12, 3);
    FExpenses->AddRecord(third);
    TDataSource source;
    TDBGridEh grid;
    source.SetDataSet(FExpenses->GetQuery()->GetQuery()->GetData());
    grid.SetDataSource(&source);
    grid.AddColumn(QStringLiteral("SumValue"));
    FExpenses->GetQuery()->GetQuery()->LocateByID(secondID);

    auto e = Open(jkExpenses, emEdit);
    EXPECT_FALSE(e->sButton1->isVisible());
    EXPECT_FALSE(e->acSave->isEnabled());
    EXPECT_TRUE(e->sButton2->isVisible());
    EXPECT_EQ(e->deDate->Date(), D(2011, 12, 2));
    EXPECT_EQ(e->cbLink2->currentText(), QStringLiteral("Еда"));
    EXPECT_EQ(e->ceTags->text(), QStringLiteral("хлеб"));
    EXPECT_EQ(e->cSum->text(), QStringLiteral("20"));
    EXPECT_EQ(e->mDescription->toPlainText(), QStringLiteral("до"));

    Pick(e->cbLink2, QStringLiteral("Транспорт"));
    // The saves above switched the process to "." as the decimal separator.
    RetypeText(e->cSum, QStringLiteral("25.75"));
    e->mDescription->setPlainText(QStringLiteral("после"));
    Press(e->sButton2);

    EXPECT_EQ(FDialogs->Count(), 0) << FDialogs->Texts().join("|").toStdString();
    EXPECT_EQ(Count(QStringLiteral("Expenses")), 3);
    EXPECT_EQ(Scalar(QStringLiteral("select TypeID || '/' || SumValue || '/' || Description from Expenses where ID = %1")
                         .arg(secondID))
                  .toString(),
              QStringLiteral("%1/25.75/после").arg(FTransport));
    EXPECT_EQ(FExpenses->GetCurrentRecord().ID, secondID);
    EXPECT_EQ(grid.currentIndex().row(), 1);
    EXPECT_EQ(e->result(), int(QDialog::Accepted));
}

TEST_F(JournalEditorTest, AFailingSaveIsShownAndTheDialogStaysOpenWithNothingWritten)
{
    ExecNative("create trigger no_expenses before insert on Expenses begin select raise(abort, 'нет места'); end;");
    auto e = Open(jkExpenses, emNew);
    FillValid(*e);
    RetypeText(e->ceTags, QStringLiteral("новый"));
    Press(e->sButton2);
    ASSERT_EQ(FDialogs->Count(), 1);
    EXPECT_EQ(FDialogs->Last().Type, TMsgDlgType::mtError);
    EXPECT_TRUE(FDialogs->Last().Text.contains(QStringLiteral("нет места"))) << FDialogs->Last().Text.toStdString();
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(e->cSum->text(), QStringLiteral("100"));
    EXPECT_EQ(Count(QStringLiteral("Expenses")), 0);
    EXPECT_EQ(Count(QStringLiteral("Tags")), 0);
}

TEST_F(JournalEditorTest, AmountReadsWithTheCurrentDecimalSeparator)
{
    auto e = Open(jkIncomes, emNew);
    FillValid(*e);
    RetypeText(e->cSum, QStringLiteral("12,5"));
    Press(e->sButton1);
    ASSERT_EQ(FDialogs->Count(), 0);
    // The first saved record switched the process to ".": "," no longer reads.
    EXPECT_EQ(FormatSettings().DecimalSeparator, QLatin1Char('.'));
    Pick(e->cbLink1, QStringLiteral("Карта"));
    Pick(e->cbLink2, QStringLiteral("Зарплата"));
    RetypeText(e->cSum, QStringLiteral("3,25"));
    Press(e->sButton1);
    EXPECT_EQ(FDialogs->MessageTexts().size(), 1);
    RetypeText(e->cSum, QStringLiteral("3.25"));
    Press(e->sButton1);
    EXPECT_EQ(Column(QStringLiteral("select SumValue from Incomes order by ID"), QStringLiteral("SumValue")),
              (QStringList{QStringLiteral("12.5"), QStringLiteral("3.25")}));
}

// --- tags

TEST_F(JournalEditorTest, TagButtonBeforeAKindIsChosenAsksForTheKind)
{
    auto e = Open(jkExpenses, emNew);
    QTest::mouseClick(e->ceTags->Button(), Qt::LeftButton);
    EXPECT_EQ(FDialogs->Texts(), QStringList{c_msgOperationKindIsNeeded});
    EXPECT_EQ(e->focusWidget(), e->cbLink2);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(JournalEditorTest, TagButtonWithATypedMissingKindAnsweredNoAsksForTheKind)
{
    auto e = Open(jkExpenses, emNew);
    TypeLink2(*e, QStringLiteral("Подарки"));
    FDialogs->AnswerNo();
    QTest::mouseClick(e->ceTags->Button(), Qt::LeftButton);
    EXPECT_EQ(FDialogs->Texts(), (QStringList{Format(c_msgRecordAddedQuestion, {QStringLiteral("Подарки")}),
                                              c_msgOperationKindIsNeeded}));
    EXPECT_EQ(Count(QStringLiteral("ExpenseTypes")), 2);
}

TEST_F(JournalEditorTest, TagsChosenInThePickerToggleInTheTagsText)
{
    TJournalRecord rec = TJournalRecord::Create(D(2011, 12, 1));
    rec.Link1.ID = FCard;
    rec.Link2.ID = FFood;
    rec.Sum = 1;
    rec.Tags = QStringLiteral("хлеб,молоко,сыр");
    FExpenses->AddRecord(rec);
    rec.Link2.ID = FTransport;
    rec.Tags = QStringLiteral("билет");
    FExpenses->AddRecord(rec);

    auto e = Open(jkExpenses, emNew);
    Pick(e->cbLink2, QStringLiteral("Еда"));
    RetypeText(e->ceTags, QStringLiteral("Сыр, вино"));

    QStringList shown;
    QStringList afterEach;
    WhenModal([&](QWidget *modal) {
        auto *picker = qobject_cast<TFTags *>(modal);
        if (picker == nullptr) {
            ADD_FAILURE() << "the tag picker did not open";
            modal->close();
            return;
        }
        for (int i = 0; i < picker->lbTags->count(); ++i)
            shown << picker->lbTags->item(i)->text();
        DoubleClickRow(picker->lbTags, 0); // молоко
        afterEach << e->ceTags->text();
        DoubleClickRow(picker->lbTags, 0); // молоко again
        afterEach << e->ceTags->text();
        DoubleClickRow(picker->lbTags, 1); // сыр, already in the text in other case
        afterEach << e->ceTags->text();
        QTest::keyClick(picker->lbTags, Qt::Key_Escape);
    });
    QTest::mouseClick(e->ceTags->Button(), Qt::LeftButton);

    EXPECT_EQ(shown, (QStringList{QStringLiteral("молоко"), QStringLiteral("сыр"), QStringLiteral("хлеб")}));
    EXPECT_EQ(afterEach, (QStringList{QStringLiteral("Сыр, вино,молоко"), QStringLiteral("Сыр, вино"),
                                      QStringLiteral(" вино")}));
    EXPECT_EQ(FDialogs->Count(), 0);
    EXPECT_TRUE(e->isVisible());
}

// Double-clicks a row of the picker by its name (the order is the list's).
void DoubleClickName(QListWidget *list, const QString &name)
{
    const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    DoubleClickRow(list, list->row(found.first()));
}

TEST_F(JournalEditorTest, PickedNamesWithBlanksCommasAndQuotesAreSavedAsOneTagEach)
{
    const QString holiday = QStringLiteral("отпуск море");
    const QString cafe = QStringLiteral("кафе, бар");
    const QString tea = QStringLiteral("чай \"с мятой\"");
    TJournalRecord rec = TJournalRecord::Create(D(2011, 12, 1));
    rec.Link1.ID = FCard;
    rec.Link2.ID = FFood;
    rec.Sum = 1;
    rec.Tags = QStringLiteral("\"отпуск море\",\"кафе, бар\",\"чай \"\"с мятой\"\"\",море");
    FExpenses->AddRecord(rec);

    auto e = Open(jkExpenses, emNew);
    Pick(e->cbLink1, QStringLiteral("Карта"));
    Pick(e->cbLink2, QStringLiteral("Еда"));
    RetypeText(e->cSum, QStringLiteral("5"));
    RetypeText(e->ceTags, QStringLiteral("кофе, море"));

    QStringList afterEach;
    WhenModal([&](QWidget *modal) {
        auto *picker = qobject_cast<TFTags *>(modal);
        if (picker == nullptr) {
            ADD_FAILURE() << "the tag picker did not open";
            modal->close();
            return;
        }
        for (const QString &name : {holiday, tea, tea, cafe, QStringLiteral("море")}) {
            DoubleClickName(picker->lbTags, name);
            afterEach << e->ceTags->text();
        }
        QTest::keyClick(picker->lbTags, Qt::Key_Escape);
    });
    QTest::mouseClick(e->ceTags->Button(), Qt::LeftButton);

    const QString text = QStringLiteral("кофе,\"отпуск море\",\"кафе, бар\"");
    EXPECT_EQ(afterEach, (QStringList{QStringLiteral("кофе, море,\"отпуск море\""),
                                      QStringLiteral("кофе, море,\"отпуск море\",\"чай \"\"с мятой\"\"\""),
                                      QStringLiteral("кофе, море,\"отпуск море\""),
                                      QStringLiteral("кофе, море,\"отпуск море\",\"кафе, бар\""), text}));
    Press(e->sButton2);
    EXPECT_EQ(FDialogs->Texts(), QStringList{});
    const int id = Scalar(QStringLiteral("select max(ID) from Expenses")).toInt();
    EXPECT_EQ(Scalar(QStringLiteral("select Tags from Expenses where ID = %1").arg(id)).toString(), text);
    EXPECT_EQ(Column(QStringLiteral("select t.Name as Name from ExpensesTags et inner join Tags t on t.ID = et.TagID "
                                    "where et.OwnerID = %1 order by et.rowid")
                         .arg(id)),
              (QStringList{QStringLiteral("кофе"), holiday, cafe}));
}

// TagsAdd on its own: a table of texts before and after one choice.
struct TTagsCase
{
    const char *Before;
    const char *Tag;
    const char *After;
};

class JournalEditorTagsAddTest : public JournalEditorTest, public ::testing::WithParamInterface<TTagsCase>
{
};

TEST_P(JournalEditorTagsAddTest, TogglesTheTag)
{
    const TTagsCase c = GetParam();
    TFJournalEditor e(FExpenses);
    e.ceTags->setText(QString::fromUtf8(c.Before));
    e.TagsAdd(QString::fromUtf8(c.Tag));
    EXPECT_EQ(e.ceTags->text(), QString::fromUtf8(c.After));
}

INSTANTIATE_TEST_SUITE_P(Texts, JournalEditorTagsAddTest,
                         ::testing::Values(TTagsCase{"", "еда", "еда"}, TTagsCase{"  ", "еда", "еда"},
                                           TTagsCase{"хлеб", "еда", "хлеб,еда"},
                                           TTagsCase{" хлеб ", "еда", "хлеб,еда"},
                                           TTagsCase{"хлеб,Еда", "еда", "хлеб"},
                                           TTagsCase{"еда", "ЕДА", ""},
                                           TTagsCase{"для дома,еда", "еда", "для дома"},
                                           TTagsCase{"для дома,еда", "для дома", "еда"},
                                           TTagsCase{"хлеб", "для дома", "хлеб,\"для дома\""},
                                           TTagsCase{"", "кафе, бар", "\"кафе, бар\""},
                                           TTagsCase{"", "чай \"с мятой\"", "\"чай \"\"с мятой\"\"\""},
                                           TTagsCase{"хлеб,\"Для дома\"", "для дома", "хлеб"},
                                           TTagsCase{"\"для дома\",хлеб", "хлеб", "\"для дома\""},
                                           TTagsCase{"хлеб, еда", "еда", "хлеб"},
                                           TTagsCase{"\" еда \",хлеб", "еда", "хлеб"}));

// --- the entry point

TEST_F(JournalEditorTest, EntryPointShowsTheDialogModallyOnTheCurrentRecord)
{
    TJournalRecord rec = TJournalRecord::Create(D(2011, 12, 1));
    rec.Link1.ID = FCash;
    rec.Link2.ID = FSalary;
    rec.Sum = 300;
    const int id = FIncomes->AddRecord(rec).ID;

    bool seen = false;
    WhenModal([&](QWidget *modal) {
        auto *e = qobject_cast<TFJournalEditor *>(modal);
        if (e == nullptr) {
            ADD_FAILURE() << "the record editor did not open";
            modal->close();
            return;
        }
        seen = true;
        EXPECT_EQ(e->cbLink1->currentText(), QStringLiteral("Наличные"));
        EXPECT_EQ(e->cSum->text(), QStringLiteral("300"));
        EXPECT_FALSE(e->sButton1->isVisible());
        RetypeText(e->cSum, QStringLiteral("301"));
        QTest::mouseClick(e->sButton2, Qt::LeftButton);
    });
    JournalRecordEditor(FIncomes, emEdit);
    EXPECT_TRUE(seen);
    EXPECT_EQ(Scalar(QStringLiteral("select SumValue from Incomes where ID = %1").arg(id)).toDouble(), 301.0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(JournalEditorTest, EntryPointClosedByTheCloseBoxSavesNothing)
{
    WhenModal([&](QWidget *modal) {
        auto *e = qobject_cast<TFJournalEditor *>(modal);
        if (e == nullptr) {
            ADD_FAILURE() << "the record editor did not open";
            modal->close();
            return;
        }
        EXPECT_EQ(e->deDate->Date(), Date());
        FillValid(*e);
        e->close();
    });
    JournalRecordEditor(FExpenses, emNew);
    EXPECT_EQ(Count(QStringLiteral("Expenses")), 0);
}

// --- screenshots

TEST_F(JournalEditorTest, Screenshots)
{
    const TJournalKind kinds[] = {jkIncomes, jkExpenses, jkTransfers};
    const char *names[] = {"journal_editor_income", "journal_editor_expense", "journal_editor_transfer"};
    for (int i = 0; i < 3; ++i) {
        auto e = Open(kinds[i], emNew);
        TypeDate(*e, QStringLiteral("15122011"));
        Pick(e->cbLink1, QStringLiteral("Наличные"));
        Pick(e->cbLink2, e->cbLink2->itemText(e->cbLink2->count() - 1));
        if (kinds[i] == jkExpenses)
            e->ceTags->setText(QStringLiteral("хлеб,молоко"));
        e->cSum->setText(QStringLiteral("1250,5"));
        e->mDescription->setPlainText(QStringLiteral("Описание операции в две строки,\nс кириллицей"));
        const QString path = SaveScreenshot(e.get(), QString::fromLatin1(names[i]));
        EXPECT_TRUE(QFileInfo::exists(path));
        // Every field lies inside the tab page and every label fits its text.
        for (QWidget *w : {static_cast<QWidget *>(e->deDate), static_cast<QWidget *>(e->chbPlanned),
                           static_cast<QWidget *>(e->cbLink1), static_cast<QWidget *>(e->cbLink2),
                           static_cast<QWidget *>(e->ceTags), static_cast<QWidget *>(e->cSum),
                           static_cast<QWidget *>(e->mDescription)})
            EXPECT_TRUE(e->tsEditor->rect().contains(w->geometry())) << w->objectName().toStdString();
        for (QLabel *l : {e->Label1, e->lbLink1, e->lbLink2, e->lbTags, e->Label5, e->Label6})
            EXPECT_LE(l->sizeHint().width(), l->width()) << l->text().toStdString();
        EXPECT_TRUE(e->rect().contains(e->sButton2->geometry()));
    }
    auto e = Open(jkExpenses, emEdit);
    SaveScreenshot(e.get(), QStringLiteral("journal_editor_expense_edit"));
}

} // namespace
