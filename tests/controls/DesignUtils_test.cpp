#include "controls/DesignUtils.h"

#include "platform/widgets/GridTestSupport.h"

#include <QScrollBar>
#include <QTest>

using namespace gridtest;

namespace {

const QColor c_White(255, 255, 255);
const QColor c_Even(239, 248, 226);
const QColor c_Focused(190, 222, 136);
const QColor c_Selected(211, 233, 175);

bool IsRed(QColor c)
{
    return c.red() > c.green() + 80 && c.red() > c.blue() + 80;
}

bool IsDarkGrey(QColor c)
{
    return c.red() < 110 && qAbs(c.red() - c.green()) < 12 && qAbs(c.red() - c.blue()) < 12;
}

class DesignUtils : public TGridFixture
{
protected:
    void SetUp() override
    {
        TGridFixture::SetUp();
        FBaseline = TDBGridEhDecorator::InstanceCount();
    }

    void TearDown() override
    {
        TGridFixture::TearDown();
        EXPECT_EQ(TDBGridEhDecorator::InstanceCount(), FBaseline) << "released with their grids";
    }

    QImage GrabRows() { return Grid->viewport()->grab().toImage(); }

    QColor Background(const QImage &image, int row, int column)
    {
        const QRect r = Grid->visualRect(Grid->model()->index(row, column));
        return image.pixelColor(r.left() + 1, r.top() + 1);
    }

    // Counts the red and the dark grey text pixels of a cell.
    QPair<int, int> TextPixels(const QImage &image, int row, int column)
    {
        const QRect r = Grid->visualRect(Grid->model()->index(row, column)).adjusted(1, 1, -2, -1);
        int red = 0, grey = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red += IsRed(c);
                grey += IsDarkGrey(c);
            }
        return {red, grey};
    }

    // Resizes the grid until exactly `rows` data rows fit.
    void FitRows(int rows)
    {
        for (int h = 40; h < 600; ++h) {
            Grid->resize(Grid->width(), h);
            if (Grid->VisibleRowCount() == rows)
                return;
        }
        FAIL() << "no height fits " << rows << " rows";
    }

    bool ScrollBarShown() const
    {
        return Grid->VertScrollBarVisible() && Grid->verticalScrollBar()->isVisible();
    }

private:
    int FBaseline = 0;
};

} // namespace

TEST_F(DesignUtils, DecorationReplacesTheLayoutsSettings)
{
    Grid->SetOptions(Grid->Options() | dgConfirmDelete | dgRowLines | dgIndicator | dgRowSelect);
    Grid->SetOptionsEh(dghIncSearch);
    Grid->SetReadOnly(false);
    Grid->SetColumnDefValues({false, false});
    QFont layoutFont(QStringLiteral("DejaVu Sans"));
    layoutFont.setPointSize(14);
    Grid->SetTitleFont(layoutFont);

    TDBGridEhDecorator *decorator = TDBGridEhDecorator::Create(Grid);
    EXPECT_EQ(decorator->Grid(), Grid);
    EXPECT_EQ(Grid->Options(), dgTitles | dgColumnResize | dgColLines | dgTabs);
    EXPECT_EQ(Grid->OptionsEh(), dghClearSelection | dghAutoSortMarking | dghMultiSortMarking | dghRowHighlight |
                                     dghDblClickOptimizeColWidth | dghColumnResize);
    EXPECT_TRUE(Grid->ReadOnly());
    EXPECT_TRUE(Grid->Flat());
    EXPECT_TRUE(Grid->ColumnDefValues().TitleButton);
    EXPECT_TRUE(Grid->ColumnDefValues().EndEllipsis);
    EXPECT_TRUE(Grid->Columns(0)->TitleButton());
    EXPECT_EQ(Grid->EvenRowColor(), c_Even);
    EXPECT_EQ(Grid->OddRowColor(), c_White);
    EXPECT_EQ(Grid->FixedColor(), QColor(189, 223, 135));
    EXPECT_EQ(Grid->FooterColor(), QColor(128, 128, 128));
    EXPECT_EQ(Grid->FooterFontColor(), c_White);
    EXPECT_EQ(Grid->GridLineColors().DarkColor, c_White);
    EXPECT_EQ(Grid->GridLineColors().BrightColor, c_White);
    EXPECT_EQ(Grid->TitleFont().pixelSize(), 11);
    EXPECT_TRUE(Grid->TitleFont().underline());
    EXPECT_EQ(Grid->TitleFont().family(), layoutFont.family()) << "the layout's font name stays";
    EXPECT_TRUE(Grid->verticalHeader()->isHidden()) << "no row indicator";
    EXPECT_EQ(Grid->selectionBehavior(), QAbstractItemView::SelectItems);
}

TEST_F(DesignUtils, DecoratedTitlesSortOnClick)
{
    TDBGridEhDecorator::Create(Grid);
    DataSet->Open(NumberedRows(3));
    ShowAndFocus();
    QHeaderView *header = Grid->horizontalHeader();
    const auto click = [&](int column, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, modifiers,
                          QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
    };
    click(0, Qt::NoModifier);
    click(3, Qt::ControlModifier);
    click(3, Qt::ControlModifier);
    EXPECT_EQ(SortText(*Grid), "OperationDate DESC, SumValue ASC");
}

TEST_F(DesignUtils, RowsAlternateFocusIsGreenAndPlannedRowsAreRed)
{
    TDBGridEhDecorator::Create(Grid);
    DataSet->Open(NumberedRows(4, 2)); // records 2 and 4 are planned
    ShowAndFocus();
    ASSERT_TRUE(Grid->hasFocus());
    DataSet->SetRecNo(3);
    Grid->SetSelectedIndex(1);
    QImage image = GrabRows();
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(Background(image, 0, column), c_White) << column;
        EXPECT_EQ(Background(image, 1, column), c_Even) << column;
        EXPECT_EQ(Background(image, 2, column), column == 1 ? c_Focused : c_Selected) << column;
        EXPECT_EQ(Background(image, 3, column), c_Even) << column;
        for (int row = 0; row < 4; ++row) {
            const QPair<int, int> text = TextPixels(image, row, column);
            if (row % 2 == 1) {
                EXPECT_GT(text.first, 5) << "planned record " << row + 1 << " is red in column " << column;
                EXPECT_EQ(text.second, 0) << row << "," << column;
            } else {
                EXPECT_EQ(text.first, 0) << row << "," << column;
                EXPECT_GT(text.second, 5) << row << "," << column;
            }
        }
    }

    DataSet->SetRecNo(2); // an even, planned row
    image = GrabRows();
    EXPECT_EQ(Background(image, 1, 1), c_Focused);
    EXPECT_EQ(Background(image, 1, 0), c_Selected);
    EXPECT_GT(TextPixels(image, 1, 1).first, 5);
    EXPECT_EQ(Background(image, 2, 1), c_White);
}

TEST_F(DesignUtils, ReportRowsWithoutPlannedFieldAreDarkGrey)
{
    auto rows = std::make_shared<TRowSet>();
    rows->ColumnNames = {"Name", "sv"};
    rows->ColumnTypes = {TFieldType::String, TFieldType::Float};
    rows->Rows = {{QString("Еда"), 1.0}, {QString("Дом"), 1.0}};
    Grid->ClearColumns();
    Grid->AddColumn("Name", QStringLiteral("Вид расхода"), 150);
    Grid->AddColumn("sv", QStringLiteral("Сумма"), 70);
    TDBGridEhDecorator::Create(Grid);
    DataSet->Open(rows);
    ShowAndFocus();
    const QImage image = GrabRows();
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column) {
            EXPECT_EQ(TextPixels(image, row, column).first, 0);
            EXPECT_GT(TextPixels(image, row, column).second, 3);
        }
}

TEST_F(DesignUtils, ScrollBarOnlyWhenTheRowsDoNotFit)
{
    TDBGridEhDecorator::Create(Grid);
    ShowAndFocus();
    FitRows(5);
    DataSet->Open(NumberedRows(5));
    QApplication::processEvents();
    EXPECT_EQ(Grid->RowCount(), 6);
    EXPECT_FALSE(ScrollBarShown()) << "record count equal to the row count minus one";

    DataSet->Open(NumberedRows(6));
    QApplication::processEvents();
    EXPECT_TRUE(ScrollBarShown()) << "one record more";

    DataSet->Open(NumberedRows(5));
    FitRows(4);
    QApplication::processEvents();
    EXPECT_TRUE(ScrollBarShown()) << "after a resize that leaves too little room";
    FitRows(7);
    QApplication::processEvents();
    EXPECT_FALSE(ScrollBarShown()) << "after a resize that makes room";

    DataSet->Open(NumberedRows(20));
    DataSet->Close();
    FitRows(6);
    EXPECT_FALSE(ScrollBarShown()) << "closed dataset";

    DataSet->Open(NumberedRows(20));
    Grid->SetDataSource(nullptr);
    FitRows(5);
    EXPECT_FALSE(Grid->VertScrollBarVisible()) << "no data source";
}

TEST_F(DesignUtils, DataSourceBoundAfterDecorationIsFollowed)
{
    Grid->SetDataSource(nullptr);
    TDBGridEhDecorator::Create(Grid);
    ShowAndFocus();
    FitRows(5);
    DataSet->Open(NumberedRows(8));
    Grid->SetDataSource(Source);
    QApplication::processEvents();
    EXPECT_TRUE(ScrollBarShown());
    DataSet->SetFilter("Description = 'Запись 2'");
    QApplication::processEvents();
    EXPECT_FALSE(ScrollBarShown());
}

TEST_F(DesignUtils, ReleasedDecoratorIsNeverCalledAgain)
{
    const int before = TDBGridEhDecorator::InstanceCount();
    TDBGridEhDecorator::Create(Grid);
    EXPECT_EQ(TDBGridEhDecorator::InstanceCount(), before + 1);
    DataSet->Open(NumberedRows(4, 2));
    ShowAndFocus();
    TDBGridEhDecorator::FreeInstances();
    EXPECT_EQ(TDBGridEhDecorator::InstanceCount(), 0);

    const QImage image = GrabRows();
    EXPECT_EQ(TextPixels(image, 1, 2).first, 0) << "no decorator paints planned rows red any more";
    Grid->SetVertScrollBarVisible(true);
    FitRows(8);
    DataSet->Open(NumberedRows(1));
    DataSet->SetRecNo(1);
    EXPECT_TRUE(Grid->VertScrollBarVisible()) << "no scroll bar rule any more";
}

TEST_F(DesignUtils, GridDestroyedFirstReleasesItsDecorator)
{
    const int before = TDBGridEhDecorator::InstanceCount();
    auto *second = new TDBGridEh(Window.get());
    second->SetDataSource(Source);
    TDBGridEhDecorator::CreateForGrids({Grid, second});
    EXPECT_EQ(TDBGridEhDecorator::InstanceCount(), before + 2);
    EXPECT_EQ(second->Options(), dgTitles | dgColumnResize | dgColLines | dgTabs);
    delete second;
    EXPECT_EQ(TDBGridEhDecorator::InstanceCount(), before + 1);
    DataSet->Open(NumberedRows(3)); // the data source still notifies
    DataSet->SetRecNo(2);
    EXPECT_EQ(Grid->currentIndex().row(), 1);
}

// The look of a decorated journal grid, saved for review under screenshots/.
TEST_F(DesignUtils, JournalGridScreenshot)
{
    Grid->Columns(2)->SetWordWrap(true);
    Grid->Columns(2)->SetLayout(TTextLayout::tlCenter);
    Grid->SetFooterRowCount(1);
    TDBGridEhDecorator::Create(Grid);
    DataSet->Open(JournalRows({
        {1, EncodeDate(2024, 3, 1), "Карта", "Продукты на неделю", 2350.4, 0},
        {2, EncodeDate(2024, 3, 2), "Наличные", "Кофе", 0.5, 0},
        {3, EncodeDate(2024, 3, 5), "Карта", "Коммунальные платежи за февраль, свет и вода", 5120, 1},
        {4, EncodeDate(2024, 3, 9), "Кредитная карта", "Подарок", 12999.99, 0},
        {5, EncodeDate(2024, 3, 12), "Наличные", "Такси", 430, 1},
    }));
    Grid->Columns(0)->SetSortMarker(TSortMarker::smDown);
    Grid->Columns(3)->SetSortMarker(TSortMarker::smUp);
    Window->resize(520, 220);
    Grid->setGeometry(0, 0, 520, 220);
    ShowAndFocus();
    DataSet->SetRecNo(2);
    Grid->SetSelectedIndex(2);
    QApplication::processEvents();
    ASSERT_EQ(Grid->Columns(3)->FooterText(), "20 900.89");

    const QString folder = QStringLiteral(TALLYSET_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    const QImage shot = Grid->grab().toImage();
    EXPECT_TRUE(shot.save(folder + "/journal-grid.png"));
    const QRect vg = Grid->viewport()->geometry();
    const QRect first = Grid->visualRect(Grid->model()->index(0, 0)).translated(vg.topLeft());
    EXPECT_EQ(shot.pixelColor(first.left() + 1, first.top() + 1), c_White) << "nothing covers the first row";
    // The footer cell of the sum column is grey with white text under its column.
    const int left = vg.left() + Grid->columnViewportPosition(3);
    const int y = vg.bottom() + 1 + Grid->DefaultRowHeight() / 2;
    EXPECT_EQ(shot.pixelColor(left + 2, y), QColor(128, 128, 128));
    int white = 0;
    for (int x = left; x < left + Grid->columnWidth(3) - 1; ++x)
        white += shot.pixelColor(x, y).lightness() > 200;
    EXPECT_GT(white, 3);
}
