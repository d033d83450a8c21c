// The button query dialog of AlertBox, MessageBox, Exit and run-time error reports.
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;

namespace vardeko {

class TQueryForm : public QDialog
{
    Q_OBJECT
public:
    // `buttons`: the captions; none gives a dialog without buttons.
    TQueryForm(const QString &title, const QString &message, const QStringList &buttons,
               QWidget *parent = nullptr);

    QLabel *Image1;
    QLabel *Prompt;
    QList<QPushButton *> Buttons;
    // The number of the button pressed, 0 when closed any other way.
    int chosen() const { return mChosen; }

private:
    int mChosen = 0;
};

// At most this many buttons; further captions are dropped.
inline constexpr int QueryMaxButtons = 50;

// Shows the dialog; 1 for the first button, 0 when closed without one. `captions` are
// separated by "|".
int QueryDialog(const QString &title, const QString &message, const QString &captions,
                QWidget *parent = nullptr);

} // namespace vardeko
