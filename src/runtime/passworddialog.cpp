// The password asked for before a protected publication leaves run mode.
#include "passworddialog.h"

#include "runproviders.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vardeko {

LockIcon::LockIcon(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("LockImage"));
    setFixedSize(sizeHint());
}

void LockIcon::setOpen(bool open)
{
    if (mOpen == open)
        return;
    mOpen = open;
    update();
}

void LockIcon::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(0, Lift + 2);
    // The shackle: lifted and turned aside when open.
    QPen shackle(QColor(96, 96, 96), 5);
    p.setPen(shackle);
    p.setBrush(Qt::NoBrush);
    const qreal lift = mOpen ? Lift : 0;
    QPainterPath arc;
    arc.moveTo(10, 24 - lift);
    arc.lineTo(10, 14 - lift);
    arc.arcTo(QRectF(10, 2 - lift, 20, 24), 180, -180);
    arc.lineTo(30, mOpen ? 10 - lift : 24);
    p.drawPath(arc);
    // The body.
    p.setPen(QPen(QColor(120, 80, 0), 1));
    p.setBrush(QColor(220, 170, 40));
    p.drawRoundedRect(QRectF(3, 22, 34, 24), 3, 3);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(20, 32), 3, 3);
    p.drawRect(QRectF(19, 33, 2, 7));
}

TPasswordDialog::TPasswordDialog(const RunContext &run, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TPasswordDialog"));
    setWindowTitle(run.language(L_PWORDTITLE));
    mLock = new LockIcon(this);
    QString message = run.language(L_PWORDMSG);
    message.replace(u'|', u'\n');
    MessageLabel = new QLabel(message, this);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    PasswordEdit = new QLineEdit(this);
    PasswordEdit->setObjectName(QStringLiteral("PasswordEdit"));
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PasswordEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    PromptLabel = new QLabel(run.language(L_PWORDPROMPT), this);
    PromptLabel->setBuddy(PasswordEdit);
    OkBtn = new QPushButton(run.language(L_OK), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    OkBtn->setEnabled(false);
    CancelBtn = new QPushButton(run.language(L_CANCEL), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto *top = new QHBoxLayout;
    top->addWidget(mLock, 0, Qt::AlignTop);
    top->addWidget(MessageLabel, 1);
    auto *entry = new QHBoxLayout;
    entry->addWidget(PromptLabel);
    entry->addWidget(PasswordEdit, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(entry);
    layout->addLayout(buttons);

    PasswordEdit->setFocus(Qt::OtherFocusReason);
    connect(PasswordEdit, &QLineEdit::textChanged, this,
            [this](const QString &text) { OkBtn->setEnabled(!text.isEmpty()); });
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

QString TPasswordDialog::typed() const
{
    return PasswordEdit->text();
}

void TPasswordDialog::accept()
{
    if (mOpening)
        return;
    mCorrect = typed().compare(mExpected, Qt::CaseInsensitive) == 0;
    if (!mCorrect) {
        QDialog::accept();
        return;
    }
    // The open lock shows for a moment before the dialog goes.
    mOpening = true;
    mLock->setOpen(true);
    QTimer::singleShot(400, this, [this] { QDialog::accept(); });
}

PasswordResult askForPassword(RunContext &run, const QString &password)
{
    TPasswordDialog dialog(run, run.pageWidget() ? run.pageWidget()->window() : nullptr);
    dialog.setExpected(password);
    if (dialog.exec() != QDialog::Accepted)
        return PasswordResult::Cancelled;
    return dialog.isCorrect() ? PasswordResult::Correct : PasswordResult::Wrong;
}

} // namespace vardeko
