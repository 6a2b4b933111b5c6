#include "controls/ZarnLib.Components.ZarnImgButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QColor kNormal(10, 20, 200);
const QColor kOver(20, 200, 20);
const QColor kDown(200, 20, 20);
const QColor kDisable(128, 128, 128);

QPixmap Solid(const QColor &colour, QSize size = QSize(60, 45))
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

// The colour the button paints at its centre.
QColor Shown(QWidget &button)
{
    const QImage image = button.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

class ZarnImgButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The pointer starts away from the button.
        QCursor::setPos(QPoint(700, 500));
        QCoreApplication::processEvents();
        FWindow = std::make_unique<QWidget>();
        FWindow->setGeometry(0, 0, 300, 200);
        FButton = new TZarnImgButton(FWindow.get());
        FButton->setGeometry(50, 50, 60, 45);
        FButton->SetPictures({Solid(kNormal), Solid(kOver), Solid(kDown), Solid(kDisable)});
        FWindow->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
        ASSERT_EQ(FButton->State(), bsUp);
    }

    void TearDown() override { FWindow.reset(); }

    void Enter()
    {
        QEnterEvent enter(QPointF(5, 5), QPointF(55, 55), FButton->mapToGlobal(QPointF(5, 5)));
        QCoreApplication::sendEvent(FButton, &enter);
    }

    void Leave()
    {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(FButton, &leave);
    }

    std::unique_ptr<QWidget> FWindow;
    TZarnImgButton *FButton = nullptr;
};

TEST_F(ZarnImgButtonTest, HoverShowsOverPictureAndLeaveRestores)
{
    EXPECT_EQ(FButton->State(), bsUp);
    EXPECT_EQ(Shown(*FButton), kNormal);

    QTest::mouseMove(FButton, QPoint(30, 20));
    EXPECT_EQ(FButton->State(), bsOver);
    EXPECT_EQ(Shown(*FButton), kOver);

    Leave();
    EXPECT_EQ(FButton->State(), bsUp);
    EXPECT_EQ(Shown(*FButton), kNormal);

    Enter();
    EXPECT_EQ(FButton->State(), bsOver);
}

TEST_F(ZarnImgButtonTest, ClickOnlyOnReleaseInside)
{
    QSignalSpy clicks(FButton, &TCustomZarnImgButton::Click);
    QTest::mousePress(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(FButton->State(), bsDown);
    EXPECT_EQ(Shown(*FButton), kDown);
    EXPECT_EQ(clicks.count(), 0);

    QTest::mouseRelease(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(clicks.count(), 1);
    // Resting picture although the pointer is still over the button.
    EXPECT_EQ(FButton->State(), bsUp);
    EXPECT_EQ(Shown(*FButton), kNormal);
}

TEST_F(ZarnImgButtonTest, ReleaseOutsideRestsWithoutClick)
{
    QSignalSpy clicks(FButton, &TCustomZarnImgButton::Click);
    QTest::mousePress(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    // Dragging out keeps the button pressed.
    QTest::mouseMove(FButton, QPoint(120, 90));
    EXPECT_EQ(FButton->State(), bsDown);
    EXPECT_EQ(Shown(*FButton), kDown);

    QTest::mouseRelease(FButton, Qt::LeftButton, {}, QPoint(120, 90));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(FButton->State(), bsUp);
    EXPECT_EQ(Shown(*FButton), kNormal);
}

TEST_F(ZarnImgButtonTest, DoubleClickRaisesOneClick)
{
    QSignalSpy clicks(FButton, &TCustomZarnImgButton::Click);
    // Qt's order: press, release, press, double click, release.
    QTest::mouseClick(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    QTest::mousePress(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    QTest::mouseDClick(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    QTest::mouseRelease(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(FButton->State(), bsUp);
}

TEST_F(ZarnImgButtonTest, RightButtonChangesNothing)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Пункт"));
    FButton->SetDropDownMenu(&menu);
    FButton->SetAutoCheck(true);
    QSignalSpy clicks(FButton, &TCustomZarnImgButton::Click);
    bool popupSeen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QApplication::activePopupWidget()) {
            popupSeen = true;
            QApplication::activePopupWidget()->close();
        }
    });
    watch.start(10);

    QTest::mousePress(FButton, Qt::RightButton, {}, QPoint(30, 20));
    EXPECT_EQ(FButton->State(), bsUp);
    QTest::mouseRelease(FButton, Qt::RightButton, {}, QPoint(30, 20));
    QTest::qWait(30);
    EXPECT_EQ(FButton->State(), bsUp);
    QTest::mouseMove(FButton, QPoint(30, 20));
    QTest::mousePress(FButton, Qt::RightButton, {}, QPoint(30, 20));
    QTest::mouseRelease(FButton, Qt::RightButton, {}, QPoint(30, 20));
    QTest::qWait(30);

    EXPECT_EQ(FButton->State(), bsOver);
    EXPECT_FALSE(FButton->Checked());
    EXPECT_FALSE(popupSeen);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(ZarnImgButtonTest, PressWithoutPressedPictureKeepsHoverPicture)
{
    FButton->SetImgDown(QPixmap());
    QTest::mouseMove(FButton, QPoint(30, 20));
    QTest::mousePress(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(FButton->State(), bsDown);
    EXPECT_EQ(Shown(*FButton), kOver);
}

TEST_F(ZarnImgButtonTest, DisabledShowsDisabledPictureAndIgnoresInput)
{
    QSignalSpy clicks(FButton, &TCustomZarnImgButton::Click);
    FButton->setEnabled(false);
    EXPECT_EQ(Shown(*FButton), kDisable);

    QTest::mouseMove(FButton, QPoint(30, 20));
    QTest::mousePress(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(FButton->State(), bsUp);
    QTest::mouseRelease(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    Enter();
    EXPECT_EQ(FButton->State(), bsUp);
    EXPECT_EQ(clicks.count(), 0);

    // Whatever the state, the disabled picture.
    FButton->SetState(bsDown);
    EXPECT_EQ(Shown(*FButton), kDisable);
    FButton->SetChecked(true);
    FButton->SetState(bsUp);
    EXPECT_EQ(Shown(*FButton), kDisable);

    FButton->setEnabled(true);
    EXPECT_EQ(Shown(*FButton), kOver); // checked, at rest
}

TEST_F(ZarnImgButtonTest, DisabledWithoutDisabledPictureIsDrawnByState)
{
    FButton->SetImgDisable(QPixmap());
    FButton->setEnabled(false);
    EXPECT_EQ(Shown(*FButton), kNormal);
    FButton->SetState(bsOver);
    EXPECT_EQ(Shown(*FButton), kOver);
    FButton->SetState(bsDown);
    EXPECT_EQ(Shown(*FButton), kDown);
}

TEST_F(ZarnImgButtonTest, CheckedRestsWithHoverPicture)
{
    FButton->SetChecked(true);
    EXPECT_EQ(Shown(*FButton), kOver);
    QTest::mouseMove(FButton, QPoint(30, 20));
    EXPECT_EQ(Shown(*FButton), kOver);
    Leave();
    EXPECT_EQ(Shown(*FButton), kOver);
    // A checked button's press shows the pressed picture and leaves Checked alone.
    QTest::mousePress(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(Shown(*FButton), kDown);
    QTest::mouseRelease(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_TRUE(FButton->Checked());

    FButton->SetChecked(false);
    EXPECT_EQ(Shown(*FButton), kNormal);
}

TEST_F(ZarnImgButtonTest, AutoCheckTogglesOnLeftPress)
{
    FButton->SetAutoCheck(true);
    QTest::mouseClick(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_TRUE(FButton->Checked());
    EXPECT_EQ(Shown(*FButton), kOver);
    QTest::mouseClick(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_FALSE(FButton->Checked());

    FButton->SetChecked(true);
    FButton->SetAutoCheck(false);
    EXPECT_FALSE(FButton->Checked());
    QTest::mouseClick(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_FALSE(FButton->Checked());
}

TEST_F(ZarnImgButtonTest, DropDownMenuPopsUpUnderTheButton)
{
    QMenu menu;
    QAction *item = menu.addAction(QStringLiteral("Виды доходов"));
    QSignalSpy triggered(item, &QAction::triggered);
    QSignalSpy clicks(FButton, &TCustomZarnImgButton::Click);
    FButton->SetDropDownMenu(&menu);
    EXPECT_EQ(FButton->DropDownMenu(), &menu);

    QWidget *popup = nullptr;
    QPoint popupAt;
    TButtonState stateWhileOpen = bsUp;
    QTimer::singleShot(0, [&] {
        popup = QApplication::activePopupWidget();
        if (popup) {
            popupAt = popup->pos();
            stateWhileOpen = FButton->State();
            item->trigger();
            popup->close();
        }
    });
    QTest::mousePress(FButton, Qt::LeftButton, {}, QPoint(30, 20));

    EXPECT_EQ(popup, &menu);
    EXPECT_EQ(popupAt, FButton->mapToGlobal(QPoint(0, FButton->height())));
    EXPECT_EQ(stateWhileOpen, bsDown);
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_EQ(FButton->State(), bsUp);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(ZarnImgButtonTest, PressOutsideTheOpenMenuClosesItAndTheButtonRests)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Виды расходов"));
    FButton->SetDropDownMenu(&menu);
    int shown = 0;
    QObject::connect(&menu, &QMenu::aboutToShow, [&] { ++shown; });
    const QPoint onButton = FButton->mapToGlobal(QPoint(30, 20));
    QTimer::singleShot(0, [&] {
        // The second press arrives like a real one: at the open popup.
        QWindow *popup = menu.windowHandle();
        ASSERT_NE(popup, nullptr);
        QTest::mousePress(popup, Qt::LeftButton, {}, popup->mapFromGlobal(onButton));
        QTest::mouseRelease(popup, Qt::LeftButton, {}, popup->mapFromGlobal(onButton));
    });
    QTimer::singleShot(1000, [] {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    });
    QTest::mousePress(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    QTest::qWait(50);

    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(FButton->State(), bsUp);
}

TEST_F(ZarnImgButtonTest, DeletedMenuIsForgotten)
{
    auto menu = std::make_unique<QMenu>();
    FButton->SetDropDownMenu(menu.get());
    menu.reset();
    EXPECT_EQ(FButton->DropDownMenu(), nullptr);
    QSignalSpy clicks(FButton, &TCustomZarnImgButton::Click);
    QTest::mouseClick(FButton, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ZarnImgButtonTest, TakesTheSizeOfItsPicture)
{
    FButton->SetImgNormal(Solid(kNormal, QSize(83, 75)));
    EXPECT_EQ(FButton->size(), QSize(83, 75));
    // Only the picture on screen decides.
    FButton->SetImgOver(Solid(kOver, QSize(20, 20)));
    EXPECT_EQ(FButton->size(), QSize(83, 75));
    FButton->SetState(bsOver);
    EXPECT_EQ(FButton->size(), QSize(20, 20));
    EXPECT_EQ(FButton->sizeHint(), QSize(20, 20));
}

TEST(ZarnImgButtonPaint, WithoutPicturesPaintsWhite)
{
    QWidget window;
    TZarnImgButton button(&window);
    button.setGeometry(0, 0, 40, 30);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(Shown(button), QColor(Qt::white));
    button.SetState(bsOver);
    EXPECT_EQ(Shown(button), QColor(Qt::white));
    EXPECT_EQ(button.size(), QSize(40, 30));
}

TEST(ZarnImgButtonPaint, PictureDrawnWholeAtTopLeft)
{
    QPixmap picture(30, 20);
    picture.fill(kNormal);
    {
        QPainter p(&picture);
        p.fillRect(0, 0, 1, 1, kDown);
        p.fillRect(29, 19, 1, 1, kOver);
    }
    TZarnImgButton button;
    button.SetImgNormal(picture);
    const QImage shown = button.grab().toImage();
    EXPECT_EQ(shown.size(), QSize(30, 20));
    EXPECT_EQ(shown.pixelColor(0, 0), kDown);
    EXPECT_EQ(shown.pixelColor(29, 19), kOver);
}

struct THintCase
{
    const char *Hint;
    const char *Html;
};

class BalloonHintTest : public ::testing::TestWithParam<THintCase>
{
};

TEST_P(BalloonHintTest, TitleBoldTextBelow)
{
    EXPECT_EQ(BalloonHintHtml(QString::fromUtf8(GetParam().Hint)), QString::fromUtf8(GetParam().Html));
}

INSTANTIATE_TEST_SUITE_P(
    Hints, BalloonHintTest,
    ::testing::Values(
        THintCase{"Справочники|Нажмите для перехода к перечню справочников",
                  "<qt><b>Справочники</b><br/>Нажмите для перехода к перечню справочников</qt>"},
        THintCase{"Добавление записи| Создаёт новую запись", "<qt><b>Добавление записи</b><br/>Создаёт новую запись</qt>"},
        THintCase{"Tallyset 1.0|О программе...", "<qt><b>Tallyset 1.0</b><br/>О программе...</qt>"},
        THintCase{"a|b|c", "<qt><b>a</b><br/>b|c</qt>"},
        THintCase{"Только текст", "<qt>Только текст</qt>"},
        THintCase{"Заголовок|", "<qt><b>Заголовок</b></qt>"},
        THintCase{"<i>&|x < y", "<qt><b>&lt;i&gt;&amp;</b><br/>x &lt; y</qt>"},
        THintCase{"", ""}));

TEST_F(ZarnImgButtonTest, HintShowsAsBalloonTooltip)
{
    FButton->SetHint(QStringLiteral("Умный фильтр|Поможет отобразить записи"));
    EXPECT_EQ(FButton->Hint(), QStringLiteral("Умный фильтр|Поможет отобразить записи"));
    QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), FButton->mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(FButton, &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("<qt><b>Умный фильтр</b><br/>Поможет отобразить записи</qt>"));
    QToolTip::hideText();
}

} // namespace
