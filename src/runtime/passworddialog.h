// The password asked for before a protected publication leaves run mode.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vardeko {

class RunContext;

// A padlock drawn closed or open.
class LockIcon : public QWidget
{
    Q_OBJECT
public:
    explicit LockIcon(QWidget *parent = nullptr);
    void setOpen(bool open);
    bool isOpen() const { return mOpen; }
    // Room above the closed shackle for the open one, which is lifted.
    static constexpr int Lift = 8;
    QSize sizeHint() const override { return QSize(40, 50 + Lift); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool mOpen = false;
};

class TPasswordDialog : public QDialog
{
    Q_OBJECT
public:
    // Caption, instructions, prompt and button captions from the publication's language
    // strings; "|" in the instructions breaks the line.
    TPasswordDialog(const RunContext &run, QWidget *parent = nullptr);

    QString typed() const;
    LockIcon *lock() const { return mLock; }
    QLineEdit *edit() const { return PasswordEdit; }
    void setExpected(const QString &password) { mExpected = password; }
    bool isCorrect() const { return mCorrect; }
    void accept() override;

private:
    QLabel *MessageLabel = nullptr;
    QLabel *PromptLabel = nullptr;
    QLineEdit *PasswordEdit = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    LockIcon *mLock = nullptr;
    QString mExpected;
    bool mCorrect = false;
    bool mOpening = false;
};

enum class PasswordResult { Cancelled, Correct, Wrong };

// Shows the dialog; a correct password (any case) shows the open lock for 400 ms.
PasswordResult askForPassword(RunContext &run, const QString &password);

} // namespace vardeko
