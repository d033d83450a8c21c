// The compiled program's window: where the page sits, and the screen saver ending on
// the reader's input and on nothing else.
#include "playerwindow.h"
#include "publication.h"
#include "runpage.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

using namespace vardeko;

namespace {

std::unique_ptr<Publication> smallBook()
{
    auto pub = std::make_unique<Publication>();
    pub->clearPages();
    pub->setCurrentPage(pub->appendPage(pub->createPage(QStringLiteral("One"))));
    pub->Settings.ScreenWidth = 320;
    pub->Settings.ScreenHeight = 200;
    return pub;
}

enum Input { KeyInput, Click, Wheel, SmallMove, LongMove, KeyToField };
const QPoint Rest(100, 100);

void send(QWidget &target, Input input)
{
    switch (input) {
    case KeyInput:
    case KeyToField: {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&target, &key);
        break;
    }
    case Click: {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(Rest), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&target, &press);
        break;
    }
    case Wheel: {
        QWheelEvent wheel(QPointF(5, 5), QPointF(Rest), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&target, &wheel);
        break;
    }
    case SmallMove:
    case LongMove: {
        const QPoint to = Rest + (input == SmallMove ? QPoint(3, 2) : QPoint(40, 30));
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(to), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &move);
        break;
    }
    }
}

} // namespace

class TestPlayerWindow : public QObject
{
    Q_OBJECT

private slots:
    void pageOrigin_data()
    {
        QTest::addColumn<QSize>("area");
        QTest::addColumn<bool>("centred");
        QTest::addColumn<QPoint>("origin");
        QTest::newRow("window") << QSize(800, 600) << false << QPoint(0, 0);
        QTest::newRow("full screen") << QSize(800, 600) << true << QPoint(240, 200);
        QTest::newRow("screen smaller than the page") << QSize(300, 150) << true << QPoint(0, 0);
        QTest::newRow("odd spare pixels") << QSize(325, 203) << true << QPoint(2, 1);
    }

    void pageOrigin()
    {
        QFETCH(QSize, area);
        QFETCH(bool, centred);
        QFETCH(QPoint, origin);
        QCOMPARE(runPageOrigin(area, QSize(320, 200), centred), origin);
    }

    void screenSaverEndsOnInput_data()
    {
        QTest::addColumn<bool>("screenSaver");
        QTest::addColumn<int>("input");
        QTest::addColumn<bool>("ends");
        QTest::newRow("a key") << true << int(KeyInput) << true;
        QTest::newRow("a key to a field of the page") << true << int(KeyToField) << true;
        QTest::newRow("a click") << true << int(Click) << true;
        QTest::newRow("the wheel") << true << int(Wheel) << true;
        QTest::newRow("the mouse settling") << true << int(SmallMove) << false;
        QTest::newRow("the mouse moved") << true << int(LongMove) << true;
        QTest::newRow("a program's window takes keys") << false << int(KeyInput) << false;
        QTest::newRow("a program's window takes clicks") << false << int(Click) << false;
    }

    void screenSaverEndsOnInput()
    {
        QFETCH(bool, screenSaver);
        QFETCH(int, input);
        QFETCH(bool, ends);
        QCursor::setPos(Rest);
        PlayerWindow window(smallBook(), screenSaver);
        QLineEdit *field = new QLineEdit(&window);
        QSignalSpy seen(&window, &PlayerWindow::inputSeen);
        window.show();
        window.enterRunLayout(false);
        if (screenSaver) {
            // It covers the whole screen, whatever the publication's page size.
            QCOMPARE(window.geometry(), window.screen()->geometry());
        }
        send(input == KeyToField ? static_cast<QWidget &>(*field) : static_cast<QWidget &>(window), Input(input));
        QCOMPARE(seen.count(), ends ? 1 : 0);
        // Input after the first ends nothing twice.
        send(window, Click);
        QCOMPARE(seen.count(), ends || (screenSaver && input == SmallMove) ? 1 : 0);
    }
};

QTEST_MAIN(TestPlayerWindow)

#include "tst_playerwindow.moc"
