// The mouse position window.
#include "mouseform.h"

#include "widgettexts.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>

namespace vardeko {

TMouseForm::TMouseForm(QWidget *parent)
    : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("MouseForm"));
    setWindowTitle(QString(WidgetText::MouseCaption));
    mCaption = new QLabel(this);
    mCaption->setObjectName(QStringLiteral("CaptionLabel"));
    QFont bold = mCaption->font();
    bold.setBold(true);
    mCaption->setFont(bold);

    // Fixed-width digits keep the numbers from jittering while the mouse moves.
    const QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mFirstName = new QLabel(this);
    mSecondName = new QLabel(this);
    mFirst = new QLabel(this);
    mSecond = new QLabel(this);
    for (QLabel *value : {mFirst, mSecond}) {
        value->setFont(digits);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("-00000")));
    }
    mFirst->setObjectName(QStringLiteral("FirstValue"));
    mSecond->setObjectName(QStringLiteral("SecondValue"));

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(mCaption, 0, 0, 1, 2);
    layout->addWidget(mFirstName, 1, 0);
    layout->addWidget(mFirst, 1, 1);
    layout->addWidget(mSecondName, 2, 0);
    layout->addWidget(mSecond, 2, 1);
    showReadout(QString(WidgetText::MouseCaption), 0, 0);
    setFixedSize(sizeHint().expandedTo(QSize(140, 0)));
}

void TMouseForm::showReadout(const QString &caption, int a, int b)
{
    const bool isSize = caption == WidgetText::ObjectSizeCaption
            || caption == WidgetText::SelectAreaCaption;
    mCaption->setText(caption);
    mFirstName->setText(QString(isSize ? WidgetText::WidthLabel : WidgetText::XLabel));
    mSecondName->setText(QString(isSize ? WidgetText::HeightLabel : WidgetText::YLabel));
    mFirst->setText(QString::number(a));
    mSecond->setText(QString::number(b));
}

QString TMouseForm::caption() const
{
    return mCaption->text();
}

QString TMouseForm::valuesText() const
{
    return mFirst->text() + QLatin1Char(',') + mSecond->text();
}

void TMouseForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closedByUser();
}

} // namespace vardeko
