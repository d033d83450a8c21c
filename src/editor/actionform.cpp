// "Define ... Action": the parameter dialog that builds or edits one script line.
#include "actionform.h"

#include "actionfields.h"
#include "actiontester.h"
#include "actiontexts.h"
#include "commandtable.h"
#include "positiondialog.h"
#include "scriptvalues.h"

#include <QApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdlib>

namespace vardeko {

using namespace ActionText;

namespace {

// Tests that run only while the mouse button is held on Test.
bool testWhileHeld(int command)
{
    return command == CmdBalloon || command == CmdPlayTone;
}

} // namespace

TDefineActionForm::TDefineActionForm(int command, const QStringList &params,
                                     const ActionContext &context, QWidget *parent)
    : QDialog(parent), mCommand(command), mContext(context)
{
    setObjectName(QStringLiteral("DefineActionForm"));
    setWindowTitle(CaptionPrefix + commandName(command) + CaptionSuffix);
    auto *outer = new QHBoxLayout(this);
    mColumn = new QVBoxLayout;
    outer->addLayout(mColumn, 1);

    mFields = makeActionFields(command, context, this, [this] { openPosition(); });
    for (const auto &f : mFields)
        mColumn->addWidget(f->widget());
    if (command == CmdDelay) {
        DelayLabel = new QLabel(QString(TestingDelay), this);
        DelayBar = new QProgressBar(this);
        DelayBar->setObjectName(QStringLiteral("DelayBar"));
        DelayLabel->hide();
        DelayBar->hide();
        mColumn->addWidget(DelayLabel);
        mColumn->addWidget(DelayBar);
        mDelayTimer = new QTimer(this);
        mDelayTimer->setInterval(20);
        connect(mDelayTimer, &QTimer::timeout, this, &TDefineActionForm::runDelayTest);
    }
    // The description panel: the command's name and what it does.
    auto *desc = new QLabel(QStringLiteral("<b>%1</b><br>%2")
                                    .arg(commandName(command).toHtmlEscaped(),
                                         QString::fromLatin1(ActionDescriptions[size_t(command)]).toHtmlEscaped()),
                            this);
    desc->setObjectName(QStringLiteral("DescPanel"));
    desc->setWordWrap(true);
    desc->setFrameShape(QFrame::StyledPanel);
    desc->setMargin(6);
    mColumn->addWidget(desc);
    mColumn->addStretch();

    auto *buttons = new QVBoxLayout;
    TestBtn = new QPushButton(QString(Test), this);
    TestBtn->setObjectName(QStringLiteral("TestBtn"));
    TestBtn->setAutoDefault(false);
    OkBtn = new QPushButton(QString(Ok), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QString(Cancel), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);
    HelpBtn = new QPushButton(QString(Help), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    HelpBtn->setAutoDefault(false);
    // No help pages are shipped for the action editor yet.
    HelpBtn->setEnabled(false);
    for (QPushButton *b : {TestBtn, OkBtn, CancelBtn, HelpBtn})
        buttons->addWidget(b);
    buttons->addStretch();
    outer->addLayout(buttons);

    const bool testable = command == CmdDelay || (context.tester && context.tester->canTest(command));
    TestBtn->setEnabled(testable);
    if (!testable)
        TestBtn->setToolTip(QString(TestUnavailable));
    if (testWhileHeld(command)) {
        connect(TestBtn, &QPushButton::pressed, this, &TDefineActionForm::testPressed);
        connect(TestBtn, &QPushButton::released, this, &TDefineActionForm::testReleased);
        mHoldTimer = new QTimer(this);
        mHoldTimer->setInterval(150);
        connect(mHoldTimer, &QTimer::timeout, this, [this] {
            if (TestBtn->isDown() && mContext.tester)
                mContext.tester->test(this, mCommand, parameters());
        });
    } else {
        connect(TestBtn, &QPushButton::clicked, this, &TDefineActionForm::testClicked);
    }
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    setParameters(params);
    setMinimumWidth(520);
}

TDefineActionForm::~TDefineActionForm() = default;

QStringList TDefineActionForm::parameters() const
{
    QStringList p = scriptParameters(QString::fromLatin1(scriptCommand(mCommand).Template));
    while (p.size() < ActionCommands[size_t(mCommand)].ParamCount)
        p.append(QString());
    // Values the fields do not show stay as they came.
    for (int i = 0; i < p.size() && i < mLoaded.size(); ++i)
        p[i] = mLoaded.at(i);
    for (const auto &f : mFields)
        f->store(p);
    return p;
}

QString TDefineActionForm::line() const
{
    return buildCommandLine(mCommand, parameters());
}

ActionField *TDefineActionForm::field(int index) const
{
    return index >= 0 && index < int(mFields.size()) ? mFields[size_t(index)].get() : nullptr;
}

void TDefineActionForm::setParameters(const QStringList &params)
{
    mLoaded = params;
    for (const auto &f : mFields)
        f->load(params);
}

void TDefineActionForm::done(int result)
{
    stopDelayTest();
    if (mContext.tester)
        mContext.tester->endAllTests();
    QDialog::done(result);
}

void TDefineActionForm::testPressed()
{
    if (!mContext.tester)
        return;
    mContext.tester->test(this, mCommand, parameters());
    if (mCommand == CmdPlayTone)
        mHoldTimer->start();
}

void TDefineActionForm::testReleased()
{
    if (mHoldTimer)
        mHoldTimer->stop();
    if (mCommand == CmdBalloon && mContext.tester)
        mContext.tester->endAllTests();
}

void TDefineActionForm::testClicked()
{
    if (mCommand == CmdDelay) {
        // Pressing Test again cancels the count-down.
        if (mDelayTimer->isActive()) {
            stopDelayTest();
            return;
        }
        mDelayLength = std::abs(integerValue(parameters().value(0)));
        mDelayStart = QDateTime::currentMSecsSinceEpoch();
        DelayBar->setRange(0, qMax(1, mDelayLength));
        DelayBar->setValue(mDelayLength);
        DelayBar->show();
        DelayLabel->show();
        mDelayTimer->start();
        return;
    }
    if (mContext.tester)
        mContext.tester->test(this, mCommand, parameters());
}

void TDefineActionForm::runDelayTest()
{
    const qint64 gone = QDateTime::currentMSecsSinceEpoch() - mDelayStart;
    DelayBar->setValue(int(qMax<qint64>(0, mDelayLength - gone)));
    if (gone >= mDelayLength) {
        stopDelayTest();
        QApplication::beep();
    }
}

void TDefineActionForm::stopDelayTest()
{
    if (!mDelayTimer)
        return;
    mDelayTimer->stop();
    DelayBar->hide();
    DelayLabel->hide();
}

void TDefineActionForm::openPosition()
{
    positionFromActionForm(*this);
}

} // namespace vardeko
