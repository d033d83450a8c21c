// The button query dialog of AlertBox, MessageBox, Exit and run-time error reports.
#include "querydialog.h"

#include "popupgeometry.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace vardeko {

namespace {

QString messageLines(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'|', u'\n');
    return text;
}

} // namespace

TQueryForm::TQueryForm(const QString &title, const QString &message, const QStringList &buttons,
                       QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                              | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("QueryForm"));
    setWindowTitle(title);
    const QStringList captions = buttons.mid(0, QueryMaxButtons);
    // The question icon when there is a choice to make, else the exclamation.
    const QStyle::StandardPixmap icon =
            captions.size() > 1 ? QStyle::SP_MessageBoxQuestion : QStyle::SP_MessageBoxWarning;
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(icon).pixmap(32, 32));
    Prompt = new QLabel(messageLines(message), this);
    Prompt->setObjectName(QStringLiteral("Prompt"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    Prompt->setFont(font);
    Prompt->setTextFormat(Qt::PlainText);

    QList<int> widths;
    for (const QString &caption : captions) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QStringLiteral("Button%1").arg(Buttons.size() + 1));
        widths.append(button->fontMetrics().horizontalAdvance(button->text().remove(u'&')));
        const int number = int(Buttons.size()) + 1;
        connect(button, &QPushButton::clicked, this, [this, number] {
            mChosen = number;
            accept();
        });
        Buttons.append(button);
    }
    if (!Buttons.isEmpty())
        Buttons.first()->setDefault(true);

    const QueryLayout layout = layoutQuery(QSize(32, 32), Prompt->sizeHint(), widths);
    Image1->setGeometry(layout.icon);
    Prompt->setGeometry(layout.message);
    for (int i = 0; i < Buttons.size(); ++i)
        Buttons[i]->setGeometry(layout.buttons[i]);
    setFixedSize(layout.client);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

int QueryDialog(const QString &title, const QString &message, const QString &captions, QWidget *parent)
{
    TQueryForm form(title, message, captions.isEmpty() ? QStringList() : captions.split(u'|'), parent);
    form.exec();
    return form.chosen();
}

} // namespace vardeko
