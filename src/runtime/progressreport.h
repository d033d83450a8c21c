// The progress window of long operations: a gauge, a prompt and a cancel button.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vardeko {

class Publication;

class TProgressReport : public QDialog
{
    Q_OBJECT
public:
    explicit TProgressReport(QWidget *parent = nullptr);

    QProgressBar *ProgressBar;
    QLabel *Prompt;
    QPushButton *CancelBtn;

    // Starts a job of `maximum` steps. With a publication, its language texts caption the
    // button and ask the confirming question; without, the author's texts do.
    void Open(int maximum, const Publication *publication = nullptr);
    // Shows the window, replaces the prompt when `prompt` is given, adds `steps` (never
    // beyond the maximum) and lets pending events run once.
    void Update(const QString *prompt = nullptr, int steps = 1);
    void setPosition(int position);
    // Set once the reader confirmed cancelling; the running job tests it.
    bool cancelled() const { return mCancelled; }
    void Close();

    // How the confirming question is asked; replaceable so that tests can answer it.
    std::function<bool(const QString &title, const QString &question, const QStringList &buttons)> confirm;

private:
    void cancelPressed();

    bool mCancelled = false;
    bool mPublicationTexts = false;
    QString mYes, mNo, mQuestion;
};

} // namespace vardeko
