#include "platform/widgets/DBGridEh.h"

#include "platform/widgets/GridTestSupport.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <utility>

using namespace gridtest;

namespace {

// Point in the viewport at the middle of a cell.
QPoint CellCenter(TDBGridEh *grid, int row, int column)
{
    return grid->visualRect(grid->model()->index(row, column)).center();
}

} // namespace

// --- Cell texts ------------------------------------------------------------

struct TDisplayCase
{
    const char *Name;
    TFieldType Type;
    QVariant Value;
    QString Format;
    QString Expected;
};

class DBGridEhDisplayText : public TGridFixture, public ::testing::WithParamInterface<TDisplayCase>
{
};

TEST_P(DBGridEhDisplayText, ShowsTheValueAsFormatted)
{
    const TDisplayCase &c = GetParam();
    auto rows = std::make_shared<TRowSet>();
    rows->ColumnNames = {"V"};
    rows->ColumnTypes = {c.Type};
    rows->Rows = {{c.Value}};
    Grid->ClearColumns();
    Grid->AddColumn("V")->SetDisplayFormat(c.Format);
    DataSet->Open(rows);
    ASSERT_EQ(Grid->model()->rowCount(), 1);
    EXPECT_EQ(Cell(0, 0), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DBGridEhDisplayText,
    ::testing::Values(
        TDisplayCase{"PlainFloat", TFieldType::Float, 1234.5, "", "1234.5"},
        TDisplayCase{"GroupedTwoDecimals", TFieldType::Float, 1234567.5, ",0.00", "1 234 567.50"},
        TDisplayCase{"BelowOneKeepsZero", TFieldType::Float, 0.5, ",0.00", "0.50"},
        TDisplayCase{"Negative", TFieldType::Float, -1500.0, ",0.00", "-1 500.00"},
        TDisplayCase{"Integer", TFieldType::Integer, qlonglong(42), "", "42"},
        TDisplayCase{"IntegerWithFormat", TFieldType::Integer, qlonglong(1500), ",0.00", "1 500.00"},
        TDisplayCase{"Date", TFieldType::DateTime, EncodeDate(2012, 1, 5), "", "05.01.2012"},
        TDisplayCase{"DateAndTime", TFieldType::DateTime, EncodeDate(2012, 1, 5) + EncodeTime(18, 30, 0, 0), "",
                     "05.01.2012 18:30:00"},
        TDisplayCase{"Text", TFieldType::String, QString("Еда и «напитки»"), ",0.00", "Еда и «напитки»"},
        TDisplayCase{"NullNumber", TFieldType::Float, QVariant(), ",0.00", ""},
        TDisplayCase{"NullText", TFieldType::String, QVariant(), "", ""}),
    [](const ::testing::TestParamInfo<TDisplayCase> &info) { return std::string(info.param.Name); });

using DBGridEhAlignment = TGridFixture;

TEST_F(DBGridEhAlignment, NumbersAlignRightAndTextsLeft)
{
    DataSet->Open(NumberedRows(1));
    const auto alignment = [this](int column) {
        return Qt::Alignment(Grid->model()->data(Grid->model()->index(0, column), Qt::TextAlignmentRole).toInt()) &
               Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(alignment(1), Qt::AlignLeft);
    EXPECT_EQ(alignment(3), Qt::AlignRight);
    Grid->Columns(1)->SetAlignment(Qt::AlignHCenter);
    EXPECT_EQ(alignment(1), Qt::AlignHCenter);
}

// --- Rows follow the dataset ------------------------------------------------

using DBGridEhRows = TGridFixture;

TEST_F(DBGridEhRows, ReopenAndCloseResetTheModel)
{
    QSignalSpy resets(Grid->model(), &QAbstractItemModel::modelReset);
    DataSet->Open(NumberedRows(3));
    EXPECT_EQ(Grid->model()->rowCount(), 3);
    EXPECT_EQ(Grid->model()->columnCount(), 4);
    EXPECT_EQ(Cell(2, 2), "Запись 3");
    EXPECT_EQ(Cell(2, 3), "300.00");
    const int afterFirst = resets.count();
    EXPECT_GE(afterFirst, 1);

    DataSet->Open(NumberedRows(7));
    EXPECT_GT(resets.count(), afterFirst);
    EXPECT_EQ(Grid->model()->rowCount(), 7);
    EXPECT_EQ(Cell(6, 2), "Запись 7");

    DataSet->SetFilter("Description = 'Запись 5'");
    EXPECT_EQ(Grid->model()->rowCount(), 1);
    EXPECT_EQ(Cell(0, 2), "Запись 5");

    DataSet->Close();
    EXPECT_EQ(Grid->model()->rowCount(), 0);
    EXPECT_EQ(Cell(0, 2), "");
}

TEST_F(DBGridEhRows, ColumnOfAMissingFieldShowsEmptyCells)
{
    TColumnEh *missing = Grid->AddColumn("Tags", QStringLiteral("Теги"), 90);
    missing->SetFooterValueType(TFooterValueType::fvtSum);
    DataSet->Open(NumberedRows(3));
    ASSERT_EQ(Grid->model()->columnCount(), 5);
    EXPECT_EQ(missing->Field(), nullptr);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(Cell(row, 4), "");
    EXPECT_EQ(missing->FooterText(), "");
    EXPECT_EQ(Cell(1, 2), "Запись 2");
    ShowAndFocus();
    Grid->SetSelectedIndex(4);
    EXPECT_EQ(Grid->SelectedField(), nullptr);
    EXPECT_FALSE(Grid->grab().isNull());
}

TEST_F(DBGridEhRows, DestroyedDataSetLeavesAnEmptyGrid)
{
    DataSet->Open(NumberedRows(4));
    ShowAndFocus();
    delete DataSet;
    DataSet = nullptr;
    EXPECT_EQ(Grid->model()->rowCount(), 0);
    EXPECT_EQ(Grid->DataSet(), nullptr);
    EXPECT_FALSE(Grid->grab().isNull());
    QTest::keyClick(Grid, Qt::Key_Down);
}

// --- The Qt model keeps its contract -----------------------------------------

// The grid's model under QAbstractItemModelTester, which reports through the
// "qt.modeltest" logging category; a reset must also find the model unchanged
// when it begins, since views may still read the old shape then.
class DBGridEhModelContract : public TGridFixture
{
protected:
    void SetUp() override
    {
        TGridFixture::SetUp();
        Failures().clear();
        s_Previous = qInstallMessageHandler(&Collect);
        QAbstractItemModel *model = Grid->model();
        Tester = std::make_unique<QAbstractItemModelTester>(model,
                                                            QAbstractItemModelTester::FailureReportingMode::Warning);
        FShape = Shape();
        QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, Window.get(), [this] {
            if (Shape() != FShape)
                Failures() << QStringLiteral("the model changed from %1x%2 to %3x%4 before its reset began")
                                  .arg(FShape.first).arg(FShape.second).arg(Shape().first).arg(Shape().second);
        });
        QObject::connect(model, &QAbstractItemModel::modelReset, Window.get(), [this] { FShape = Shape(); });
    }

    void TearDown() override
    {
        Tester.reset();
        qInstallMessageHandler(s_Previous);
        TGridFixture::TearDown();
    }

    // Rows shown are the dataset's visible rows, none without an open dataset.
    void ExpectRowsOfTheDataSet(const char *step)
    {
        const int expected = DataSet && DataSet->Active() ? DataSet->RecordCount() : 0;
        EXPECT_EQ(Grid->model()->rowCount(), expected) << step;
        EXPECT_EQ(Grid->model()->columnCount(), Grid->ColumnCount()) << step;
        EXPECT_FALSE(Grid->grab().isNull()) << step;
    }

    static QStringList &Failures()
    {
        static QStringList failures;
        return failures;
    }

    std::unique_ptr<QAbstractItemModelTester> Tester;

private:
    std::pair<int, int> Shape() const { return {Grid->model()->rowCount(), Grid->model()->columnCount()}; }

    static void Collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (context.category && QLatin1String(context.category) == QLatin1String("qt.modeltest"))
            Failures() << message;
        else if (s_Previous)
            s_Previous(type, context, message);
    }

    std::pair<int, int> FShape;
    static inline QtMessageHandler s_Previous = nullptr;
};

TEST_F(DBGridEhModelContract, OpenReopenSortFilterScrollAndColumns)
{
    QAbstractItemModel *model = Grid->model();
    DataSet->Open(NumberedRows(3));
    ShowAndFocus();
    ExpectRowsOfTheDataSet("open");

    DataSet->Open(NumberedRows(60));
    ExpectRowsOfTheDataSet("reopen");
    EXPECT_EQ(Cell(59, 2), "Запись 60");

    DataSet->SetSort("SumValue DESC");
    ExpectRowsOfTheDataSet("sort");
    EXPECT_EQ(Cell(0, 3), "6 000.00");
    Grid->Columns(3)->SetSortMarker(TSortMarker::smDown);

    DataSet->SetFilter("Description = 'Запись 5'");
    ExpectRowsOfTheDataSet("filter");
    EXPECT_EQ(Cell(0, 2), "Запись 5");
    DataSet->SetFilter("");
    ExpectRowsOfTheDataSet("filter off");

    DataSet->Last();
    EXPECT_EQ(Grid->currentIndex().row(), 59);
    QTest::keyClick(Grid, Qt::Key_PageUp);
    Grid->verticalScrollBar()->setValue(Grid->verticalScrollBar()->maximum() / 2);
    QTest::keyClick(Grid, Qt::Key_Down);
    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, CellCenter(Grid, Grid->rowAt(10), 1));
    ExpectRowsOfTheDataSet("scroll");
    EXPECT_EQ(Grid->currentIndex().row() + 1, DataSet->RecNo());

    Grid->AddColumn("ID", QStringLiteral("Номер"), 40);
    ExpectRowsOfTheDataSet("column added");
    EXPECT_EQ(model->columnCount(), 5);
    Grid->ClearColumns();
    ExpectRowsOfTheDataSet("columns cleared");
    Grid->AddColumn("Description");
    ExpectRowsOfTheDataSet("column added to an empty grid");

    DataSet->Open(NumberedRows(0));
    ExpectRowsOfTheDataSet("empty");
    DataSet->Close();
    ExpectRowsOfTheDataSet("closed");
    DataSet->Open(NumberedRows(2));
    delete DataSet;
    DataSet = nullptr;
    ExpectRowsOfTheDataSet("dataset gone");
    Grid->SetDataSource(nullptr);
    ExpectRowsOfTheDataSet("unbound");

    EXPECT_TRUE(Failures().isEmpty()) << Failures().join('\n').toStdString();
}

// --- Footer ----------------------------------------------------------------

using DBGridEhFooter = TGridFixture;

TEST_F(DBGridEhFooter, SumsTheRowsShown)
{
    TColumnEh *sum = Grid->Columns(3);
    EXPECT_EQ(sum->FooterText(), "") << "closed dataset";

    DataSet->Open(JournalRows({{1, EncodeDate(2024, 3, 1), "Карта", "a", 0.25, 0},
                               {2, EncodeDate(2024, 3, 2), "Наличные", "b", 0.2, 0}}));
    EXPECT_EQ(sum->FooterText(), ".45") << "no leading zero below one";

    DataSet->Open(JournalRows({{1, EncodeDate(2024, 3, 1), "Карта", "a", 1000.5, 0},
                               {2, EncodeDate(2024, 3, 2), "Наличные", "b", 234, 0},
                               {3, EncodeDate(2024, 3, 3), "Карта", "c", 5000, 1}}));
    EXPECT_EQ(sum->FooterText(), "6 234.50");

    DataSet->SetFilter("CashTypeName = 'Карта'");
    EXPECT_EQ(sum->FooterText(), "6 000.50");

    sum->SetFooterDisplayFormat("");
    EXPECT_EQ(sum->FooterText(), "6 000.50") << "falls back to the column's format";

    DataSet->SetFilter("CashTypeName = 'Нет такого'");
    EXPECT_EQ(sum->FooterText(), "0.00");

    EXPECT_EQ(Grid->Columns(2)->FooterText(), "") << "a column without a footer value";
}

TEST_F(DBGridEhFooter, SumsAnotherFieldWhenAsked)
{
    TColumnEh *ids = Grid->Columns(2);
    ids->SetFooterValueType(TFooterValueType::fvtSum);
    ids->SetFooterFieldName("ID");
    DataSet->Open(NumberedRows(4));
    EXPECT_EQ(ids->FooterText(), "10");
}

// Scans the footer row of a grab for text pixels (white on black here).
class DBGridEhFooterPaint : public TGridFixture
{
protected:
    void SetUp() override
    {
        TGridFixture::SetUp();
        Grid->SetFooterRowCount(1);
        Grid->SetFooterColor(Qt::black);
        Grid->SetFooterFontColor(Qt::white);
        Grid->SetFlat(true);
        Grid->SetGridLineColors({QColor(Qt::black), QColor(Qt::black)});
    }

    // Leftmost and rightmost x of footer text in grid coordinates, -1 without any.
    QPair<int, int> FooterTextSpan()
    {
        const QImage image = Grid->grab().toImage();
        const QRect vg = Grid->viewport()->geometry();
        int left = -1;
        int right = -1;
        for (int y = vg.bottom() + 2; y < vg.bottom() + Grid->DefaultRowHeight(); ++y)
            for (int x = vg.left(); x <= vg.right(); ++x)
                if (qGray(image.pixel(x, y)) > 160) {
                    left = left < 0 ? x : qMin(left, x);
                    right = qMax(right, x);
                }
        return {left, right};
    }
};

TEST_F(DBGridEhFooterPaint, FollowsColumnWidths)
{
    DataSet->Open(NumberedRows(6));
    ShowAndFocus();
    ASSERT_EQ(Grid->Columns(3)->FooterText(), "2 100.00");

    const QRect vg = Grid->viewport()->geometry();
    const int columnRight = vg.left() + Grid->columnViewportPosition(3) + Grid->columnWidth(3);
    const int first = FooterTextSpan().second;
    EXPECT_LT(first, columnRight) << "right-aligned inside its column";
    EXPECT_GT(first, columnRight - 10);

    Grid->SetColumnWidth(3, 140);
    QApplication::processEvents();
    EXPECT_EQ(FooterTextSpan().second, first + 60);

    Grid->SetColumnWidth(0, 40);
    QApplication::processEvents();
    EXPECT_EQ(FooterTextSpan().second, first + 20);
}

TEST_F(DBGridEhFooterPaint, FollowsHorizontalScroll)
{
    Grid->Columns(3)->SetFooterValueType(TFooterValueType::fvtNone);
    TColumnEh *cash = Grid->Columns(1);
    cash->SetFooterValueType(TFooterValueType::fvtSum);
    cash->SetFooterFieldName("SumValue");
    Grid->SetColumnWidth(2, 450);
    DataSet->Open(NumberedRows(6));
    ShowAndFocus();
    ASSERT_GT(Grid->horizontalScrollBar()->maximum(), 20);
    const QPair<int, int> before = FooterTextSpan();
    ASSERT_GT(before.first, 0);
    Grid->horizontalScrollBar()->setValue(30);
    QApplication::processEvents();
    const int scrolled = Grid->horizontalScrollBar()->value();
    const QPair<int, int> after = FooterTextSpan();
    EXPECT_EQ(after.first, before.first - scrolled) << before.first << ".." << before.second;
    EXPECT_EQ(after.second, before.second - scrolled) << after.first << ".." << after.second;
}

// A total wider than its column widens the column on screen, never below the column's
// own width, which stays what the settings keep.
TEST_F(DBGridEhFooterPaint, ATotalIsNeverCut)
{
    Grid->SetColumnWidth(3, 40);
    DataSet->Open(JournalRows({{1, EncodeDate(2024, 3, 1), "Карта", "a", 1234567.5, 0},
                               {2, EncodeDate(2024, 3, 2), "Наличные", "b", 2345678.25, 0}}));
    ShowAndFocus();
    TColumnEh *sum = Grid->Columns(3);
    ASSERT_EQ(sum->FooterText(), "3 580 245.75");
    const int text = Grid->fontMetrics().horizontalAdvance(sum->FooterText());
    const auto expectWhole = [&](const char *when) {
        EXPECT_GE(Grid->columnWidth(3), text + 7) << when;
        const QPair<int, int> span = FooterTextSpan();
        EXPECT_GE(span.second - span.first + 1, text - 4) << when << ": the painted total is cut";
    };
    expectWhole("opened");
    EXPECT_EQ(Grid->ColumnWidth(3), 40);

    // Dragging the column's border narrower than the total leaves it wide enough.
    QHeaderView *header = Grid->horizontalHeader();
    const int border = header->sectionViewportPosition(3) + header->sectionSize(3) - 1;
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(border, y));
    QTest::mouseMove(header->viewport(), QPoint(border - 30, y));
    QTest::mouseMove(header->viewport(), QPoint(border - 60, y));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(border - 60, y));
    QApplication::processEvents();
    expectWhole("dragged narrower");

    // A smaller total gives the column back its own width; a wider own width stays.
    DataSet->Open(JournalRows({{1, EncodeDate(2024, 3, 1), "Карта", "a", 5, 0}}));
    Grid->SetColumnWidth(3, 50);
    EXPECT_EQ(Grid->columnWidth(3), 50);
    Grid->SetColumnWidth(3, 160);
    DataSet->Open(JournalRows({{1, EncodeDate(2024, 3, 1), "Карта", "a", 1234567.5, 0},
                               {2, EncodeDate(2024, 3, 2), "Наличные", "b", 2345678.25, 0}}));
    EXPECT_EQ(Grid->columnWidth(3), 160);

    // Without a footer row there is nothing to fit.
    Grid->SetColumnWidth(3, 40);
    Grid->SetFooterRowCount(0);
    EXPECT_EQ(Grid->columnWidth(3), 40);
    Grid->SetFooterRowCount(1);
    expectWhole("footer shown again");
}

TEST_F(DBGridEhFooterPaint, NoFooterRowWithoutFooterRowCount)
{
    Grid->SetFooterRowCount(0);
    DataSet->Open(NumberedRows(3));
    ShowAndFocus();
    const int withoutFooter = Grid->viewport()->height();
    Grid->SetFooterRowCount(1);
    QApplication::processEvents();
    EXPECT_EQ(Grid->viewport()->height(), withoutFooter - Grid->DefaultRowHeight() - 1);
    Grid->SetFooterRowCount(0);
    QApplication::processEvents();
    EXPECT_EQ(Grid->viewport()->height(), withoutFooter);
}

TEST_F(DBGridEhFooterPaint, LastRowReachableAboveTheFooter)
{
    DataSet->Open(NumberedRows(40));
    ShowAndFocus();
    DataSet->Last();
    QApplication::processEvents();
    const QRect last = Grid->visualRect(Grid->model()->index(39, 0));
    EXPECT_LE(last.bottom(), Grid->viewport()->height()) << "the last row is not hidden under the footer";
    EXPECT_GE(last.top(), 0);
}

// --- Sort markers ----------------------------------------------------------

struct TSortCase
{
    const char *Name;
    // Clicks: 'D' the date title, 'S' the sum title; '^' before a letter holds Ctrl.
    const char *Clicks;
    bool Multi;
    QString Expected;
    int Events;
};

class TSortFixture : public TGridFixture
{
protected:
    void ClickTitle(int column, Qt::KeyboardModifiers modifiers)
    {
        QHeaderView *header = Grid->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, modifiers, at);
    }
};

class DBGridEhSortMarking : public TSortFixture, public ::testing::WithParamInterface<TSortCase>
{
};

using DBGridEhSortButtons = TSortFixture;

TEST_P(DBGridEhSortMarking, ClicksMarkColumnsInMarkingOrder)
{
    const TSortCase &c = GetParam();
    Grid->SetColumnDefValues({true, false});
    Grid->SetOptionsEh(dghAutoSortMarking | (c.Multi ? TGridOptionsEh(dghMultiSortMarking) : TGridOptionsEh()));
    DataSet->Open(NumberedRows(3));
    ShowAndFocus();
    int events = 0;
    QString seenInEvent;
    Grid->OnSortMarkingChanged = [&](TDBGridEh &grid) {
        ++events;
        seenInEvent = SortText(grid);
    };
    Qt::KeyboardModifiers modifiers;
    for (const char *p = c.Clicks; *p; ++p) {
        if (*p == '^') {
            modifiers = Qt::ControlModifier;
            continue;
        }
        ClickTitle(*p == 'D' ? 0 : 3, modifiers);
        modifiers = Qt::NoModifier;
    }
    EXPECT_EQ(SortText(*Grid), c.Expected);
    EXPECT_EQ(events, c.Events);
    EXPECT_EQ(seenInEvent, c.Expected) << "the event sees the final list";
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, DBGridEhSortMarking,
    ::testing::Values(TSortCase{"OneClickDescending", "D", true, "OperationDate DESC", 1},
                      TSortCase{"SecondClickAscending", "DD", true, "OperationDate ASC", 2},
                      TSortCase{"ThirdClickRemoves", "DDD", true, "", 3},
                      TSortCase{"CtrlAddsInMarkingOrder", "D^S^S", true, "OperationDate DESC, SumValue ASC", 3},
                      TSortCase{"OrderIsMarkingOrder", "^S^D", true, "SumValue DESC, OperationDate DESC", 2},
                      TSortCase{"PlainClickKeepsOnlyThatColumn", "D^SS", true, "SumValue ASC", 3},
                      TSortCase{"CtrlRemovesOneOfSeveral", "D^S^S^S", true, "OperationDate DESC", 4},
                      TSortCase{"CtrlIgnoredWithoutMultiMarking", "D^S", false, "SumValue DESC", 2}),
    [](const ::testing::TestParamInfo<TSortCase> &info) { return std::string(info.param.Name); });

TEST_F(DBGridEhSortButtons, TitlesThatAreNoButtonsDoNotMark)
{
    Grid->SetOptionsEh(dghAutoSortMarking | dghMultiSortMarking);
    Grid->Columns(3)->SetTitleButton(true);
    DataSet->Open(NumberedRows(3));
    ShowAndFocus();
    int events = 0;
    int titleClicks = 0;
    Grid->OnSortMarkingChanged = [&](TDBGridEh &) { ++events; };
    Grid->OnTitleBtnClick = [&](TDBGridEh &, TColumnEh &) { ++titleClicks; };
    ClickTitle(0, Qt::NoModifier);
    EXPECT_EQ(SortText(*Grid), "");
    EXPECT_EQ(events, 0);
    EXPECT_EQ(titleClicks, 0);

    Grid->SetOptionsEh(TGridOptionsEh());
    ClickTitle(3, Qt::NoModifier);
    EXPECT_EQ(titleClicks, 1) << "a title button still reports its click";
    EXPECT_EQ(SortText(*Grid), "") << "but marks nothing without automatic marking";
    EXPECT_EQ(events, 0);
}

TEST_F(DBGridEhSortButtons, MarkersSetInCodeKeepTheListAndClearAll)
{
    int events = 0;
    Grid->OnSortMarkingChanged = [&](TDBGridEh &) { ++events; };
    Grid->Columns(3)->SetSortMarker(TSortMarker::smUp);
    Grid->Columns(0)->SetSortMarker(TSortMarker::smDown);
    EXPECT_EQ(SortText(*Grid), "SumValue ASC, OperationDate DESC");
    Grid->Columns(3)->SetSortMarker(TSortMarker::smDown);
    EXPECT_EQ(SortText(*Grid), "SumValue DESC, OperationDate DESC") << "a changed marker keeps its place";
    Grid->ClearSortMarkers();
    EXPECT_EQ(SortText(*Grid), "");
    EXPECT_EQ(Grid->Columns(3)->SortMarker(), TSortMarker::smNone);
    EXPECT_EQ(events, 4);
    Grid->ClearSortMarkers();
    EXPECT_EQ(events, 4) << "nothing to clear, no event";
}

// --- Current row and column --------------------------------------------------

using DBGridEhCursor = TGridFixture;

TEST_F(DBGridEhCursor, CurrentRowIsTheDataSetsBothWays)
{
    DataSet->Open(NumberedRows(10));
    ShowAndFocus();
    EXPECT_EQ(Grid->currentIndex().row(), 0);

    DataSet->SetRecNo(4);
    EXPECT_EQ(Grid->currentIndex().row(), 3);
    DataSet->Last();
    EXPECT_EQ(Grid->currentIndex().row(), 9);

    QSignalSpy scrolls(DataSet, &TDataSet::AfterScroll);
    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, CellCenter(Grid, 5, 1));
    EXPECT_EQ(DataSet->RecNo(), 6);
    EXPECT_EQ(scrolls.count(), 1);
    EXPECT_EQ(DataSet->FieldByName("Description")->AsString(), "Запись 6");

    QTest::keyClick(Grid, Qt::Key_Down);
    EXPECT_EQ(DataSet->RecNo(), 7);
    QTest::keyClick(Grid, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(DataSet->RecNo(), 1);

    DataSet->Open(NumberedRows(5));
    EXPECT_EQ(DataSet->RecNo(), 1);
    EXPECT_EQ(Grid->currentIndex().row(), 0);
}

TEST_F(DBGridEhCursor, SelectedColumnAndColEnter)
{
    DataSet->Open(NumberedRows(5));
    ShowAndFocus();
    int enters = 0;
    Grid->OnColEnter = [&](TDBGridEh &) { ++enters; };
    EXPECT_EQ(Grid->SelectedIndex(), 0);

    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, CellCenter(Grid, 2, 2));
    EXPECT_EQ(Grid->SelectedIndex(), 2);
    EXPECT_EQ(enters, 1);
    ASSERT_NE(Grid->SelectedField(), nullptr);
    EXPECT_EQ(Grid->SelectedField()->FieldName(), "Description");
    EXPECT_EQ(Grid->SelectedColumn(), Grid->Columns(2));

    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, CellCenter(Grid, 4, 2));
    EXPECT_EQ(enters, 1) << "a row change in the same column is no column enter";

    Grid->SetSelectedIndex(3);
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(DataSet->RecNo(), 5) << "changing the column keeps the row";

    DataSet->Open(NumberedRows(3));
    EXPECT_EQ(Grid->SelectedIndex(), 3) << "a reopen keeps the column";
    EXPECT_EQ(Grid->currentIndex().column(), 3);
}

TEST_F(DBGridEhCursor, DoubleClickOnARowRaisesDblClick)
{
    DataSet->Open(NumberedRows(3));
    ShowAndFocus();
    int clicks = 0;
    Grid->OnDblClick = [&](TDBGridEh &) { ++clicks; };
    QTest::mouseDClick(Grid->viewport(), Qt::LeftButton, {}, CellCenter(Grid, 1, 1));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(DataSet->RecNo(), 2);
    QTest::mouseDClick(Grid->viewport(), Qt::LeftButton, {}, QPoint(20, Grid->viewport()->height() - 5));
    EXPECT_EQ(clicks, 1) << "below the rows";
}

// An empty, a closed and an unbound grid take clicks and keys without effect.
TEST_F(DBGridEhCursor, EmptyGridIgnoresDoubleClicksAndKeys)
{
    ShowAndFocus();
    int clicks = 0;
    Grid->OnDblClick = [&](TDBGridEh &) { ++clicks; };
    const auto poke = [&] {
        QTest::mouseDClick(Grid->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home, Qt::Key_Return,
                            Qt::Key_Tab, Qt::Key_Right, Qt::Key_Delete, Qt::Key_A})
            QTest::keyClick(Grid, key);
        EXPECT_FALSE(Grid->grab().isNull());
    };
    poke(); // closed
    DataSet->Open(NumberedRows(0));
    poke(); // open, no rows
    EXPECT_EQ(DataSet->RecNo(), 0);
    Grid->SetDataSource(nullptr);
    poke(); // unbound
    EXPECT_EQ(clicks, 0);
}

// --- Drawing event -----------------------------------------------------------

TEST_F(DBGridEhCursor, DrawEventSeesEveryCellWithItsState)
{
    Grid->SetOptionsEh(dghRowHighlight);
    DataSet->Open(NumberedRows(4, 2));
    ShowAndFocus();
    DataSet->SetRecNo(3);
    Grid->SetSelectedIndex(1);
    struct TSeen
    {
        int RecNo, Col;
        TGridDrawState State;
        int Planned;
    };
    QVector<TSeen> seen;
    Grid->OnDrawColumnCell = [&](TDBGridEh &, TGridDrawCell &cell) {
        seen.append({cell.RecNo, cell.DataCol, cell.State, cell.Value("PLANNED").toInt()});
    };
    Grid->viewport()->grab();
    ASSERT_EQ(seen.size(), 16);
    for (const TSeen &s : seen) {
        const bool currentRow = s.RecNo == 3;
        EXPECT_EQ(bool(s.State & gdFocused), currentRow && s.Col == 1) << s.RecNo << "," << s.Col;
        EXPECT_EQ(bool(s.State & gdSelected), currentRow) << s.RecNo << "," << s.Col;
        EXPECT_EQ(s.Planned, s.RecNo % 2 == 0 ? 1 : 0);
    }
}

// --- Widths, options -----------------------------------------------------------

using DBGridEhLayout = TGridFixture;

TEST_F(DBGridEhLayout, ColumnWidthsThroughIGridColumns)
{
    IGridColumns &columns = *Grid;
    EXPECT_EQ(columns.ColumnCount(), 4);
    EXPECT_EQ(columns.ColumnWidth(2), 200);
    columns.SetColumnWidth(2, 123);
    EXPECT_EQ(columns.ColumnWidth(2), 123);
    EXPECT_EQ(Grid->horizontalHeader()->sectionSize(2), 123);

    DataSet->Open(NumberedRows(3));
    DataSet->Open(NumberedRows(5));
    EXPECT_EQ(Grid->horizontalHeader()->sectionSize(2), 123) << "a reopen keeps the widths";

    Grid->horizontalHeader()->resizeSection(1, 77);
    EXPECT_EQ(columns.ColumnWidth(1), 77) << "a resize by the user is the column's width";

    columns.SetColumnWidth(9, 50);
    columns.SetColumnWidth(-1, 50);
    EXPECT_EQ(columns.ColumnWidth(9), 0);
    EXPECT_EQ(columns.ColumnCount(), 4);
}

TEST_F(DBGridEhLayout, OptionsShapeTheView)
{
    Grid->SetOptions(dgTitles | dgColLines);
    Grid->SetOptionsEh(TGridOptionsEh());
    EXPECT_FALSE(Grid->horizontalHeader()->isHidden());
    EXPECT_TRUE(Grid->verticalHeader()->isHidden());
    EXPECT_EQ(Grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_FALSE(Grid->tabKeyNavigation());
    EXPECT_EQ(Grid->selectionBehavior(), QAbstractItemView::SelectItems);

    Grid->SetOptions(dgIndicator | dgRowSelect | dgTabs);
    Grid->SetOptionsEh(dghColumnResize);
    EXPECT_TRUE(Grid->horizontalHeader()->isHidden());
    EXPECT_FALSE(Grid->verticalHeader()->isHidden());
    EXPECT_EQ(Grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_TRUE(Grid->tabKeyNavigation());
    EXPECT_EQ(Grid->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(DBGridEhLayout, IncrementalSearchOnlyWhenAsked)
{
    DataSet->Open(NumberedRows(6));
    ShowAndFocus();
    Grid->SetSelectedIndex(2);
    QAbstractItemView *view = Grid;
    view->keyboardSearch(QStringLiteral("Запись 4"));
    EXPECT_EQ(DataSet->RecNo(), 1);
    Grid->SetOptionsEh(dghIncSearch);
    view->keyboardSearch(QStringLiteral("Запись 4"));
    EXPECT_EQ(DataSet->RecNo(), 4);
}

TEST_F(DBGridEhLayout, DoubleClickOnTitleBorderFitsTheColumn)
{
    DataSet->Open(NumberedRows(3));
    ShowAndFocus();
    QHeaderView *header = Grid->horizontalHeader();
    const auto doubleClickBorder = [&](int column) {
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) - 1, header->height() / 2);
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, at);
    };
    Grid->SetOptionsEh(dghClearSelection);
    Grid->SetColumnWidth(2, 20);
    doubleClickBorder(2);
    EXPECT_EQ(Grid->ColumnWidth(2), 20) << "without the option";

    Grid->SetOptionsEh(dghDblClickOptimizeColWidth);
    doubleClickBorder(2);
    const int fitted = Grid->ColumnWidth(2);
    EXPECT_GT(fitted, Grid->fontMetrics().horizontalAdvance(QStringLiteral("Запись 3")));
    EXPECT_LT(fitted, 150);
}

TEST_F(DBGridEhLayout, RowCountCountsTitleAndFittingRows)
{
    ShowAndFocus();
    const int fit = Grid->VisibleRowCount();
    ASSERT_GT(fit, 3);
    EXPECT_EQ(Grid->RowCount(), 2) << "title and one empty row when closed";
    DataSet->Open(NumberedRows(3));
    EXPECT_EQ(Grid->RowCount(), 4);
    DataSet->Open(NumberedRows(fit + 5));
    EXPECT_EQ(Grid->RowCount(), fit + 1);
    Grid->SetOptions(Grid->Options() & ~TGridOptions(dgTitles));
    EXPECT_GE(Grid->VisibleRowCount(), fit);
    EXPECT_EQ(Grid->RowCount(), Grid->VisibleRowCount());
}
