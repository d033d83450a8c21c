// The pop-up base window: frameless, never activated, closed by a click anywhere, Esc,
// Enter or its display timer.
#pragma once

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace vardeko {

class TPopUpPalette : public QWidget
{
    Q_OBJECT
public:
    enum Result { Open = 0, Accepted = 1, Dismissed = 2 };

    explicit TPopUpPalette(QWidget *parent = nullptr);
    ~TPopUpPalette() override;

    // Drawn in the button-face colour with a raised border; message pop-ups clear it.
    bool DrawFrame = true;
    // Milliseconds after which the pop-up closes by itself; 0 for never.
    int DisplayTime = 0;
    int result() const { return mResult; }
    void setResult(int result);

    // Places the pop-up at `screenPos` (kept on the screen), shows it without activating
    // it and runs its loop until it closes; gives the result.
    int ShowPopup(QPoint screenPos);

    // Whether any pop-up's loop runs.
    static bool isAnyOpen();
    // Closes every open pop-up as dismissed.
    static void dismissAll();
    // The main window's stop button: a click on it while a pop-up is up still reaches it.
    static void setStopButton(QWidget *button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool isMine(QObject *object) const;
    void replayStopClick();

    int mResult = Open;
    QTimer mDisplayTimer;
    QEventLoop *mLoop = nullptr;
    bool mStopClicked = false;
};

} // namespace vardeko
