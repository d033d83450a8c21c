// The reader's message pop-ups: speech balloon, sticky note and pop-up picture.
#include "popupforms.h"

#include "imagecache.h"
#include "popupgeometry.h"
#include "popupshapes.h"
#include "transition.h"
#include "transitionplayer.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>

namespace vardeko {

namespace {

QFont popupFont()
{
    QFont font(QStringLiteral("System"));
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

QRect screenFor(QPoint point)
{
    const QScreen *screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 640, 480);
}

// Scripts write "|" for a line break; the runner hands them over as carriage returns.
QString lines(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'|', u'\n');
    return text;
}

QLabel *measuringLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QStringLiteral("Test"));
    label->setFont(popupFont());
    label->hide();
    return label;
}

} // namespace

QSize measurePopupText(const QLabel &label, const QString &text)
{
    const QFontMetrics metrics(label.font());
    const QRect r = metrics.boundingRect(QRect(0, 0, 4000, 4000), Qt::TextExpandTabs, text.isEmpty() ? QStringLiteral(" ") : text);
    return r.size();
}

TPopUpBalloonForm::TPopUpBalloonForm(QWidget *parent) : TPopUpPalette(parent)
{
    setWindowTitle(QStringLiteral("PopUpBalloon"));
    DrawFrame = false;
    setFont(popupFont());
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    TextBalloon = new TVardekoBalloon(this);
    TextBalloon->setObjectName(QStringLiteral("TextBalloon"));
    TextBalloon->Alignment = Qt::AlignHCenter;
    TextBalloon->XOffset = BalloonMargin;
    TextBalloon->YOffset = BalloonMargin;
    TextBalloon->StemPos = TVardekoBalloon::StemBottom;
    TextBalloon->StemSize = BalloonStemSize;
    TextBalloon->StemOffset = 0;
    TextBalloon->setAttribute(Qt::WA_TransparentForMouseEvents);
    Test = measuringLabel(this);
}

TPopUpStickyNoteForm::TPopUpStickyNoteForm(QWidget *parent) : TPopUpPalette(parent)
{
    setWindowTitle(QStringLiteral("PopUpStickyNote"));
    DrawFrame = false;
    setFont(popupFont());
    StickyNote = new TVardekoStickyNote(this);
    StickyNote->setObjectName(QStringLiteral("StickyNote"));
    StickyNote->BackgroundColor = QColor(0xFF, 0xFF, 0x80);
    StickyNote->XOffset = StickyMargin;
    StickyNote->YOffset = StickyMargin;
    StickyNote->ShadowSize = StickyShadow;
    StickyNote->setAttribute(Qt::WA_TransparentForMouseEvents);
    Test = measuringLabel(this);
}

TPopUpImageForm::TPopUpImageForm(QWidget *parent) : TPopUpPalette(parent)
{
    setWindowTitle(QStringLiteral("PopUpImage"));
    DrawFrame = false;
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPopUpImageForm::setPicture(const QImage &picture, int effect, int speed, QPoint screenOrigin)
{
    mPicture = toTransitionFormat(picture);
    mEffect = effect;
    mSpeed = speed;
    mOrigin = screenOrigin;
    // The paint box is white until the effect has brought the picture in.
    mFrame = QImage(mPicture.size(), QImage::Format_ARGB32);
    mFrame.fill(Qt::white);
    if (effect <= 0 || effect > LastEffect)
        mFrame = mPicture;
    setFixedSize(mPicture.size().expandedTo(QSize(1, 1)));
}

void TPopUpImageForm::showEvent(QShowEvent *event)
{
    TPopUpPalette::showEvent(event);
    if (!mPlayed && mEffect > 0 && mEffect <= LastEffect)
        QMetaObject::invokeMethod(this, &TPopUpImageForm::playEffect, Qt::QueuedConnection);
}

void TPopUpImageForm::playEffect()
{
    if (mPlayed)
        return;
    mPlayed = true;
    const QList<TransitionStep> steps = transitionSteps(mEffect, mSpeed, mPicture.size(), mOrigin);
    playTransition(steps, [this](const TransitionStep &step) {
        if (result() != Open)
            return;
        applyTransitionStep(mFrame, mPicture, step, mOrigin);
        update();
    });
    mFrame = mPicture;
    update();
}

void TPopUpImageForm::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(event->rect(), mFrame, event->rect());
}

int ShowBalloon(QPoint screenPoint, const QString &message, PopupRun run, TPopUpBalloonForm **shown)
{
    TPopUpBalloonForm form;
    const QString text = lines(message);
    const QSize client = balloonClientSize(measurePopupText(*form.Test, text));
    QPoint point = screenPoint;
    if (point.x() == -1 || point.y() == -1) {
        const QPoint mouse = QCursor::pos();
        if (point.x() == -1)
            point.setX(mouse.x());
        if (point.y() == -1)
            point.setY(mouse.y());
    }
    const BalloonPlacement place = placeBalloon(point, client, screenFor(point));
    form.resize(client);
    form.TextBalloon->setGeometry(QRect(QPoint(), client));
    form.TextBalloon->Caption = text;
    form.TextBalloon->StemPos = place.stemAtTop ? TVardekoBalloon::StemTop : TVardekoBalloon::StemBottom;
    form.TextBalloon->StemOffset = place.stemOffset;
    form.setMask(form.TextBalloon->shapeRegion());
    if (shown)
        *shown = &form;
    if (run == PopupRun::CloseAtOnce)
        form.setResult(TPopUpPalette::Dismissed);
    const int result = form.ShowPopup(place.topLeft);
    if (shown)
        *shown = nullptr;
    return result;
}

int ShowStickyNote(const QRect &page, int left, int top, int milliseconds, const QString &message, PopupRun run)
{
    TPopUpStickyNoteForm form;
    const QString text = lines(message);
    const QSize client = stickyNoteClientSize(measurePopupText(*form.Test, text));
    form.resize(client);
    form.StickyNote->setGeometry(QRect(QPoint(), client));
    form.StickyNote->Caption = text;
    form.setMask(form.StickyNote->shapeRegion());
    form.DisplayTime = std::max(0, milliseconds);
    const QPoint at = placeInPage(page, left, top, client, screenFor(page.center()));
    if (run == PopupRun::CloseAtOnce)
        form.setResult(TPopUpPalette::Dismissed);
    return form.ShowPopup(at);
}

bool ShowPopupImage(const QRect &page, int left, int top, const QString &file, int effect, int speed,
                    int milliseconds, PopupRun run)
{
    const CachedImage *entry = ImageCache::instance().GetImage(file, nullptr, false);
    if (!entry || entry->image.isNull())
        return false;
    TPopUpImageForm form;
    const QSize client = entry->image.size();
    const QPoint at = placeInPage(page, left, top, client, screenFor(page.center()));
    // The masks are tiled from the paint box's own corner.
    form.setPicture(entry->image, effect, speed, QPoint());
    form.DisplayTime = std::max(0, milliseconds);
    if (run == PopupRun::CloseAtOnce)
        form.setResult(TPopUpPalette::Dismissed);
    form.ShowPopup(at);
    return true;
}

} // namespace vardeko
