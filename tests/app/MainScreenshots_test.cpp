// Screenshots of the main window on a demo year, one per page and one per chart,
// saved under <build>/screenshots/ for a look by eye; the checks catch texts
// that do not fit their controls and pages left without content.
#include "app/Main.h"
#include "controls/ZarnLib.Components.ZarnImgButton.h"
#include "platform/widgets/Chart.h"
#include "platform/widgets/DBGridEh.h"
#include "platform/widgets/DateEdit.h"
#include "support/RecordingDialogHook.h"
#include "support/ui/MainWindowEnv.h"

#include "DemoData.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class MainScreenshots : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FSavedPalette = QApplication::palette();
        FSavedFont = QApplication::font();
        ApplyProgramLook(*qApp);
        QDir().mkpath(Folder());
    }
    void TearDown() override
    {
        Window.reset();
        QApplication::setPalette(FSavedPalette);
        QApplication::setFont(FSavedFont);
    }

    static QString Folder() { return QStringLiteral(TALLYSET_BINARY_DIR "/screenshots"); }

    QImage Save(const QString &name)
    {
        RunEventLoop(150);
        DiagramChartFlush();
        const QImage image = Window->grab().toImage();
        image.save(Folder() + QLatin1Char('/') + name + QStringLiteral(".png"));
        return image;
    }

    void DiagramChartFlush()
    {
        Window->DiagramChart->Flush();
        RunEventLoop(50);
    }

    TRecordedDialogs Dialogs;
    TMainWindowEnv Env;
    std::unique_ptr<TFMain> Window;

private:
    QPalette FSavedPalette;
    QFont FSavedFont;
};

// The number of distinct colours in a rectangle of the image: a page with
// content has far more than an empty one.
int ColourCount(const QImage &image, const QRect &rect)
{
    QSet<QRgb> colours;
    for (int y = rect.top(); y <= rect.bottom(); y += 2)
        for (int x = rect.left(); x <= rect.right(); x += 2)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

TEST_F(MainScreenshots, EveryPageOfADemoYear)
{
    DemoData::FillDemoYear(Env.Db(), QDate::currentDate());
    Window = Env.Open();
    Window->resize(1100, 640);

    // Texts of the top strip fit their controls.
    for (QWidget *w : std::initializer_list<QWidget *>{Window->sLabel1, Window->chbPlannedInclude, Window->deBDate,
                                                       Window->deEdate})
        EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();

    const struct
    {
        int Page;
        const char *Name;
    } pages[] = {{jpIncomes, "main_incomes"}, {jpExpenses, "main_expenses"}, {jpTransfers, "main_transfers"},
                 {jpReports, "main_reports"}, {jpDiagrams, "main_diagrams"}};
    for (const auto &page : pages) {
        Window->SetJournalPage(page.Page);
        const QImage image = Save(QString::fromLatin1(page.Name));
        // Every footer total fits its column whole.
        for (TDBGridEh *grid : Window->pcJournals->currentWidget()->findChildren<TDBGridEh *>()) {
            for (int i = 0; i < grid->ColumnCount(); ++i) {
                const QString total = grid->Columns(i)->FooterText();
                if (grid->FooterRowCount() > 0 && !total.isEmpty())
                    EXPECT_GE(grid->columnWidth(i), grid->fontMetrics().horizontalAdvance(total) + 7)
                        << page.Name << " " << grid->Columns(i)->Title().toStdString() << " " << total.toStdString();
            }
        }
        ASSERT_FALSE(image.isNull());
        const QWidget *shown = Window->pcJournals->currentWidget();
        const QRect area(shown->mapTo(Window.get(), QPoint(0, 0)), shown->size());
        EXPECT_GT(ColourCount(image, area), 20) << page.Name;
    }

    for (int row = 1; row < Window->lbReportsList->count(); ++row) {
        Window->lbReportsList->setCurrentRow(row);
        Window->lbReportsListClick();
        const QImage image = Save(QStringLiteral("main_diagram_%1").arg(row));
        EXPECT_FALSE(image.isNull());
        if (row == 3)
            EXPECT_GE(Window->cbParam1->width(), Window->cbParam1->sizeHint().width());
    }
    EXPECT_EQ(Dialogs->Count(), 0) << Dialogs->Texts().join(" | ").toStdString();
}

} // namespace
