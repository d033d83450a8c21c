// The mouse position window: the editor's read-out of where the cursor or the object
// being drawn, moved or sized stands on the page.
#pragma once

#include <QWidget>

class QLabel;

namespace vardeko {

class TMouseForm : public QWidget
{
    Q_OBJECT

public:
    explicit TMouseForm(QWidget *parent = nullptr);

    // A caption ("Mouse Position", "Object Position", "Object Size", "Select Area") and
    // its two numbers: a position for the first two, a width and height for the others.
    void showReadout(const QString &caption, int a, int b);
    QString caption() const;
    QString valuesText() const;

signals:
    // The window was closed with its own close box.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *mCaption = nullptr;
    QLabel *mFirstName = nullptr;
    QLabel *mFirst = nullptr;
    QLabel *mSecondName = nullptr;
    QLabel *mSecond = nullptr;
};

} // namespace vardeko
