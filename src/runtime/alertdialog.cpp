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
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>

// Resources of a static library are registered by hand, outside any namespace.
static void registerMascotArt()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(mascots);
        return true;
    }();
    (void)registered;
}

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

QPixmap mascotPicture(const QString &name, QSize size)
{
    registerMascotArt();
    const bool beluno = name.compare(QLatin1String("BELUNO"), Qt::CaseInsensitive) == 0;
    QSvgRenderer art(beluno ? QStringLiteral(":/mascots/BELUNO.svg") : QStringLiteral(":/mascots/KORRO.svg"));
    if (!size.isValid())
        size = MascotSize;
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // The picture keeps its proportions, centred in the size asked for.
    const QSizeF drawn = QSizeF(art.defaultSize()).scaled(QSizeF(size), Qt::KeepAspectRatio);
    art.render(&painter, QRectF(QPointF((size.width() - drawn.width()) / 2, (size.height() - drawn.height()) / 2),
                                drawn));
    return pixmap;
}

TAlertDialog::TAlertDialog(const QString &title, const QString &message, Buttons buttons, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                              | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , mAnswer(buttons == Ok ? AnswerOk : buttons == YesNo ? AnswerNo : AnswerCancel)
{
    setObjectName(buttons == Ok               ? QStringLiteral("AlertDialog")
                  : buttons == ContinueCancel ? QStringLiteral("SwapDiskForm")
                                              : QStringLiteral("AskUserDialog"));
    setWindowTitle(title);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(mascotPicture(alertMascot()));
    Image1->setFixedSize(MascotSize);
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
    } else if (buttons == ContinueCancel) {
        ContinueButton = add(QStringLiteral("Continue"), "ContinueButton", AnswerContinue);
        CancelButton = add(QStringLiteral("Cancel"), "CancelButton", AnswerCancel);
        ContinueButton->setDefault(true);
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
    const MascotLayout layout = layoutMascotDialog(MascotSize, text, Prompt->XOffset,
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

bool AskContinue(const QString &title, const QString &message, QWidget *parent)
{
    TAlertDialog::Answer answer;
    if (showAlertDialog(title, message, TAlertDialog::ContinueCancel, parent, &answer) < 0)
        return QMessageBox::question(parent, title, messageLines(message), QMessageBox::Ok | QMessageBox::Cancel)
               == QMessageBox::Ok;
    return answer == TAlertDialog::AnswerContinue;
}

} // namespace vardeko
