// The author's alert and yes/no dialogs: the mascot speaking from a balloon.
#include "alertdialog.h"

#include "popupgeometry.h"
#include "popupshapes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>

namespace vardeko {

namespace {

QString &mascotName()
{
    static QString name = QStringLiteral("KORRO");
    return name;
}

bool &alertShowing()
{
    static bool showing = false;
    return showing;
}

QString messageLines(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'|', u'\n');
    return text;
}

// Korro: a round orange fellow with big eyes. Beluno: a blue one with a hat.
QPixmap drawMascot(bool beluno)
{
    QPixmap pixmap(64, 80);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor body = beluno ? QColor(70, 120, 220) : QColor(245, 150, 40);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(body);
    p.drawEllipse(QRectF(6, 22, 52, 54));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(16, 36, 13, 15));
    p.drawEllipse(QRectF(35, 36, 13, 15));
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(21, 42, 5, 6));
    p.drawEllipse(QRectF(40, 42, 5, 6));
    p.setBrush(Qt::NoBrush);
    QPainterPath smile;
    smile.moveTo(22, 60);
    smile.quadTo(32, 68, 42, 60);
    p.drawPath(smile);
    if (beluno) {
        p.setBrush(QColor(40, 40, 40));
        p.drawRect(QRectF(18, 6, 28, 18));
        p.drawRect(QRectF(10, 22, 44, 4));
    } else {
        p.drawLine(QPointF(26, 24), QPointF(20, 8));
        p.drawLine(QPointF(38, 24), QPointF(44, 8));
        p.setBrush(QColor(250, 210, 60));
        p.drawEllipse(QPointF(20, 8), 4, 4);
        p.drawEllipse(QPointF(44, 8), 4, 4);
    }
    return pixmap;
}

int showAlertDialog(const QString &title, const QString &message, TAlertDialog::Buttons buttons,
                    QWidget *parent, TAlertDialog::Answer *answer)
{
    if (alertShowing())
        return -1;
    alertShowing() = true;
    TAlertDialog dialog(title, message, buttons, parent);
    // The default arrow while the dialog is up; the caller's cursor comes back after.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    dialog.exec();
    QGuiApplication::restoreOverrideCursor();
    alertShowing() = false;
    *answer = dialog.answer();
    return 0;
}

} // namespace

void setAlertMascot(const QString &name)
{
    mascotName() = name;
}

QString alertMascot()
{
    return mascotName();
}

QPixmap mascotPicture(const QString &name)
{
    return drawMascot(name.compare(QLatin1String("BELUNO"), Qt::CaseInsensitive) == 0);
}

TAlertDialog::TAlertDialog(const QString &title, const QString &message, Buttons buttons, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                              | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , mAnswer(buttons == Ok ? AnswerOk : buttons == YesNo ? AnswerNo : AnswerCancel)
{
    setObjectName(buttons == Ok ? QStringLiteral("AlertDialog") : QStringLiteral("AskUserDialog"));
    setWindowTitle(title);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(mascotPicture(alertMascot()));
    Prompt = new TVardekoBalloon(this);
    Prompt->setObjectName(QStringLiteral("Prompt"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    Prompt->setFont(font);
    Prompt->CornerSize = 14;
    Prompt->XOffset = 8;
    Prompt->YOffset = 8;
    Prompt->StemOffset = 8;
    Prompt->StemPos = TVardekoBalloon::StemLeft;
    Prompt->Caption = messageLines(message);

    QList<QPushButton *> row;
    auto add = [&](const QString &caption, const char *name, Answer answer) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        connect(button, &QPushButton::clicked, this, [this, answer] {
            mAnswer = answer;
            accept();
        });
        row.append(button);
        return button;
    };
    if (buttons == Ok) {
        OkButton = add(QStringLiteral("OK"), "OkButton", AnswerOk);
        OkButton->setDefault(true);
    } else {
        YesButton = add(QStringLiteral("Yes"), "YesButton", AnswerYes);
        NoButton = add(QStringLiteral("&No"), "NoButton", AnswerNo);
        if (buttons == YesNoCancel)
            CancelButton = add(QStringLiteral("Cancel"), "CancelButton", AnswerCancel);
        YesButton->setDefault(true);
    }

    const QFontMetrics metrics(font);
    const QSize text = metrics.boundingRect(QRect(0, 0, 4000, 4000), Qt::TextExpandTabs, Prompt->Caption).size();
    QSize button(75, 25);
    for (QPushButton *b : row)
        button = button.expandedTo(b->sizeHint());
    const MascotLayout layout = layoutMascotDialog(Image1->pixmap().size(), text, Prompt->XOffset,
                                                   Prompt->YOffset, Prompt->StemSize, button, int(row.size()));
    Image1->setGeometry(layout.mascot);
    Prompt->setGeometry(layout.balloon);
    for (int i = 0; i < row.size(); ++i)
        row[i]->setGeometry(layout.buttons[i]);
    setFixedSize(layout.client);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TAlertDialog::keyPressEvent(QKeyEvent *event)
{
    // Esc leaves the answer the dialog started with: No, or Cancel when there is one.
    QDialog::keyPressEvent(event);
}

void AlertDialog(const QString &title, const QString &message, QWidget *parent)
{
    TAlertDialog::Answer answer;
    if (showAlertDialog(title, message, TAlertDialog::Ok, parent, &answer) < 0)
        QMessageBox::warning(parent, title, messageLines(message));
}

YesNoAnswer AskYesNo(const QString &title, const QString &message, QWidget *parent)
{
    TAlertDialog::Answer answer;
    if (showAlertDialog(title, message, TAlertDialog::YesNo, parent, &answer) < 0)
        return QMessageBox::question(parent, title, messageLines(message)) == QMessageBox::Yes ? YesNoAnswer::Yes
                                                                                               : YesNoAnswer::No;
    return answer == TAlertDialog::AnswerYes ? YesNoAnswer::Yes : YesNoAnswer::No;
}

YesNoAnswer AskYesNoCancel(const QString &title, const QString &message, QWidget *parent)
{
    TAlertDialog::Answer answer;
    if (showAlertDialog(title, message, TAlertDialog::YesNoCancel, parent, &answer) < 0) {
        const auto button = QMessageBox::question(parent, title, messageLines(message),
                                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        return button == QMessageBox::Yes ? YesNoAnswer::Yes
               : button == QMessageBox::No ? YesNoAnswer::No
                                           : YesNoAnswer::Cancel;
    }
    return answer == TAlertDialog::AnswerYes  ? YesNoAnswer::Yes
           : answer == TAlertDialog::AnswerNo ? YesNoAnswer::No
                                              : YesNoAnswer::Cancel;
}

} // namespace vardeko
