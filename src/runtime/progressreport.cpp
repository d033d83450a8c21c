// The progress window of long operations: a gauge, a prompt and a cancel button.
#include "progressreport.h"

#include "alertdialog.h"
#include "programtitle.h"
#include "publication.h"
#include "querydialog.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vardeko {

namespace {

const char AbortTitle[] = "Abort";
const char AbortQuestion[] = "Do you want to cancel this function?";

} // namespace

TProgressReport::TProgressReport(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("ProgressReport"));
    setWindowTitle(QStringLiteral("Progress"));
    auto *layout = new QVBoxLayout(this);
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("ProgressPanel"));
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    ProgressBar = new QProgressBar(panel);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setTextVisible(false);
    panelLayout->addWidget(ProgressBar);
    layout->addWidget(panel);
    Prompt = new QLabel(this);
    Prompt->setObjectName(QStringLiteral("Prompt"));
    Prompt->setMinimumWidth(300);
    layout->addWidget(Prompt);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    layout->addWidget(CancelBtn, 0, Qt::AlignHCenter);
    connect(CancelBtn, &QPushButton::clicked, this, &TProgressReport::cancelPressed);
    confirm = [this](const QString &title, const QString &question, const QStringList &buttons) {
        if (mPublicationTexts)
            return QueryDialog(title, question, buttons.join(u'|'), this) == 1;
        return AskYesNo(title, question, this) == YesNoAnswer::Yes;
    };
}

void TProgressReport::Open(int maximum, const Publication *publication)
{
    setWindowTitle(QLatin1String(ProgramTitle));
    ProgressBar->setRange(0, std::max(0, maximum));
    ProgressBar->setValue(0);
    Prompt->clear();
    mCancelled = false;
    mPublicationTexts = publication != nullptr;
    if (publication) {
        const auto &texts = publication->Settings.Language;
        CancelBtn->setText(texts[1]);
        mYes = texts[2];
        mNo = texts[3];
        mQuestion = texts[18];
    } else {
        CancelBtn->setText(QStringLiteral("Cancel"));
        mQuestion = QLatin1String(AbortQuestion);
    }
    CancelBtn->setFixedWidth(CancelBtn->fontMetrics().horizontalAdvance(CancelBtn->text().remove(u'&')) + 16);
}

void TProgressReport::Update(const QString *prompt, int steps)
{
    show();
    if (prompt)
        Prompt->setText(*prompt);
    ProgressBar->setValue(std::min(ProgressBar->maximum(), ProgressBar->value() + std::max(0, steps)));
    QCoreApplication::processEvents();
}

void TProgressReport::setPosition(int position)
{
    show();
    ProgressBar->setValue(std::clamp(position, 0, ProgressBar->maximum()));
    QCoreApplication::processEvents();
}

void TProgressReport::cancelPressed()
{
    const QString title = mPublicationTexts ? windowTitle() : QLatin1String(AbortTitle);
    if (confirm(title, mQuestion, mPublicationTexts ? QStringList{mYes, mNo} : QStringList()))
        mCancelled = true;
}

void TProgressReport::Close()
{
    mCancelled = false;
    hide();
}

} // namespace vardeko
