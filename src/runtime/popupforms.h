// The reader's message pop-ups: speech balloon, sticky note and pop-up picture.
#pragma once

#include "popupbase.h"

#include <QImage>

class QLabel;

namespace vardeko {

class TVardekoBalloon;
class TVardekoStickyNote;

// How a message pop-up is shown: normally its loop runs until it closes; a scripted run
// builds it and closes it at once.
enum class PopupRun { Modal, CloseAtOnce };

class TPopUpBalloonForm : public TPopUpPalette
{
    Q_OBJECT
public:
    explicit TPopUpBalloonForm(QWidget *parent = nullptr);
    TVardekoBalloon *TextBalloon;
    QLabel *Test; // measures the text
};

class TPopUpStickyNoteForm : public TPopUpPalette
{
    Q_OBJECT
public:
    explicit TPopUpStickyNoteForm(QWidget *parent = nullptr);
    TVardekoStickyNote *StickyNote;
    QLabel *Test;
};

class TPopUpImageForm : public TPopUpPalette
{
    Q_OBJECT
public:
    explicit TPopUpImageForm(QWidget *parent = nullptr);
    // Shows the picture with a page effect (0 for none) once the form is on screen.
    void setPicture(const QImage &picture, int effect, int speed, QPoint screenOrigin);
    void playEffect();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QImage mPicture;
    QImage mFrame;
    int mEffect = 0;
    int mSpeed = 0;
    QPoint mOrigin;
    bool mPlayed = false;
};

// The text's natural size in the pop-ups' font, lines broken at line breaks.
QSize measurePopupText(const QLabel &label, const QString &text);

// `screenPoint` (x or y -1: the mouse position). Returns the result.
int ShowBalloon(QPoint screenPoint, const QString &message, PopupRun run = PopupRun::Modal,
                TPopUpBalloonForm **shown = nullptr);
// `page` is the page's rectangle on the screen; left/top relative to it, -1 centres.
int ShowStickyNote(const QRect &page, int left, int top, int milliseconds, const QString &message,
                   PopupRun run = PopupRun::Modal);
// False when the picture cannot be loaded.
bool ShowPopupImage(const QRect &page, int left, int top, const QString &file, int effect, int speed,
                    int milliseconds, PopupRun run = PopupRun::Modal);

} // namespace vardeko
