// The pop-up base window: frameless, never activated, closed by a click anywhere, Esc,
// Enter or its display timer.
#include "popupbase.h"

#include "popupgeometry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace vardeko {

namespace {

QList<TPopUpPalette *> &openPopups()
{
    static QList<TPopUpPalette *> list;
    return list;
}

QPointer<QWidget> &stopButton()
{
    static QPointer<QWidget> button;
    return button;
}

} // namespace

TPopUpPalette::TPopUpPalette(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMinimumSize(25, 25);
    mDisplayTimer.setSingleShot(true);
    connect(&mDisplayTimer, &QTimer::timeout, this, [this] { setResult(Dismissed); });
}

TPopUpPalette::~TPopUpPalette()
{
    openPopups().removeAll(this);
}

void TPopUpPalette::setResult(int result)
{
    if (mResult != Open)
        return;
    mResult = result;
    if (mLoop)
        mLoop->quit();
}

bool TPopUpPalette::isAnyOpen()
{
    return !openPopups().isEmpty();
}

void TPopUpPalette::dismissAll()
{
    for (TPopUpPalette *popup : openPopups())
        popup->setResult(Dismissed);
}

void TPopUpPalette::setStopButton(QWidget *button)
{
    stopButton() = button;
}

int TPopUpPalette::ShowPopup(QPoint screenPos)
{
    // A result set before showing (a scripted run) closes the pop-up at once.
    const QScreen *screen = QGuiApplication::screenAt(screenPos);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(QPoint(), size());
    move(keepOnScreen(screenPos, size(), area));
    show();
    raise();
    qApp->installEventFilter(this);
    openPopups().append(this);
    // Only a change counts: a run without a window manager may never have been active.
    const QMetaObject::Connection inactive = connect(qApp, &QGuiApplication::applicationStateChanged, this,
                                                     [this](Qt::ApplicationState state) {
                                                         if (state != Qt::ApplicationActive)
                                                             setResult(Dismissed);
                                                     });
    const QMetaObject::Connection ending =
            connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { setResult(Dismissed); });
    if (DisplayTime > 0)
        mDisplayTimer.start(DisplayTime);
    if (mResult == Open) {
        QEventLoop loop;
        mLoop = &loop;
        loop.exec();
        mLoop = nullptr;
    }
    disconnect(inactive);
    disconnect(ending);
    mDisplayTimer.stop();
    openPopups().removeAll(this);
    qApp->removeEventFilter(this);
    hide();
    if (mStopClicked) {
        mStopClicked = false;
        replayStopClick();
    }
    return mResult;
}

bool TPopUpPalette::isMine(QObject *object) const
{
    if (auto *widget = qobject_cast<QWidget *>(object))
        return widget->window() == this;
    if (auto *window = qobject_cast<QWindow *>(object))
        return window == windowHandle();
    return false;
}

// The stop button still works while a pop-up is up: its click is replayed to it
// (down, a short pause, up) once the pop-up has closed.
void TPopUpPalette::replayStopClick()
{
    auto *button = qobject_cast<QAbstractButton *>(stopButton().data());
    if (!button || !button->isVisible())
        return;
    button->setDown(true);
    QElapsedTimer pause;
    pause.start();
    while (!pause.hasExpired(150))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    button->setDown(false);
    button->click();
}

bool TPopUpPalette::eventFilter(QObject *watched, QEvent *event)
{
    if (mResult != Open || isMine(watched))
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Pause)
            return false;
        if (key->key() == Qt::Key_Escape)
            setResult(Dismissed);
        else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            setResult(Accepted);
        else if (qobject_cast<QWidget *>(watched))
            // Other keys go to the pop-up instead of the page (once, at the widget).
            QCoreApplication::sendEvent(this, event);
        return true;
    }
    case QEvent::KeyRelease:
        return static_cast<QKeyEvent *>(event)->key() != Qt::Key_Pause;
    case QEvent::MouseMove:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        // A release alone closes nothing: it may end the click that opened the pop-up.
        if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::NonClientAreaMouseButtonRelease)
            return true;
        if (event->type() == QEvent::MouseButtonPress && stopButton() && watched == stopButton().data()
            && stopButton()->isVisible())
            mStopClicked = true;
        setResult(Dismissed);
        return true;
    }
    default:
        return false;
    }
}

void TPopUpPalette::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        setResult(Accepted);
}

void TPopUpPalette::paintEvent(QPaintEvent *)
{
    if (!DrawFrame)
        return;
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
    painter.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    painter.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
}

} // namespace vardeko
