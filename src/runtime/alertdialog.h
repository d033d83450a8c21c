// The author's alert and yes/no dialogs: the mascot speaking from a balloon.
#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;

namespace vardeko {

class TVardekoBalloon;

class TAlertDialog : public QDialog
{
    Q_OBJECT
public:
    enum Buttons { Ok, YesNo, YesNoCancel, ContinueCancel };
    TAlertDialog(const QString &title, const QString &message, Buttons buttons, QWidget *parent = nullptr);

    QLabel *Image1;
    TVardekoBalloon *Prompt;
    QPushButton *OkButton = nullptr;
    QPushButton *YesButton = nullptr;
    QPushButton *NoButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *ContinueButton = nullptr;

    enum Answer { AnswerOk, AnswerYes, AnswerNo, AnswerCancel, AnswerContinue };
    Answer answer() const { return mAnswer; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Answer mAnswer;
};

// The size the mascot dialogs show the mascot at.
inline constexpr QSize MascotSize(64, 80);
// The mascot's picture: "KORRO" or "BELUNO" (the preference); others show Korro.
// Drawn from the mascot's art at `size` (the dialogs' size when none is given).
QPixmap mascotPicture(const QString &name, QSize size = {});
// The mascot the dialogs show (the preference, set by the main window).
void setAlertMascot(const QString &name);
QString alertMascot();

// An alert with an OK button. Asked for while one is showing, the system's message box
// shows the message instead.
void AlertDialog(const QString &title, const QString &message, QWidget *parent = nullptr);

enum class YesNoAnswer { Yes, No, Cancel };
// Esc means No in AskYesNo, Cancel in AskYesNoCancel.
YesNoAnswer AskYesNo(const QString &title, const QString &message, QWidget *parent = nullptr);
YesNoAnswer AskYesNoCancel(const QString &title, const QString &message, QWidget *parent = nullptr);
// The mascot asks the reader to do something first: true for "Continue", false for
// "Cancel" or Esc.
bool AskContinue(const QString &title, const QString &message, QWidget *parent = nullptr);

} // namespace vardeko
