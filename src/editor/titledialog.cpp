// "Title Attributes": the text, special codes and alignment of a Text object.
#include "objectdialogs.h"

#include "actionmemo.h"
#include "dialogbuttons.h"
#include "dialogtexts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vardeko {

void AlignButtons::set(quint8 align) const
{
    if (align == AlignCenterValue)
        CenterBtn->setChecked(true);
    else if (align == AlignRightValue)
        RightBtn->setChecked(true);
    else
        LeftBtn->setChecked(true);
}

quint8 AlignButtons::value() const
{
    if (CenterBtn->isChecked())
        return AlignCenterValue;
    if (RightBtn->isChecked())
        return AlignRightValue;
    return AlignLeftValue;
}

AlignButtons makeAlignButtons(QWidget *parent, QLayout *layout)
{
    AlignButtons b;
    b.LeftBtn = new QRadioButton(QString(DialogText::AlignLeft), parent);
    b.LeftBtn->setObjectName(QStringLiteral("LeftBtn"));
    b.CenterBtn = new QRadioButton(QString(DialogText::AlignCenter), parent);
    b.CenterBtn->setObjectName(QStringLiteral("CenterBtn"));
    b.RightBtn = new QRadioButton(QString(DialogText::AlignRight), parent);
    b.RightBtn->setObjectName(QStringLiteral("RightBtn"));
    layout->addWidget(b.LeftBtn);
    layout->addWidget(b.CenterBtn);
    layout->addWidget(b.RightBtn);
    return b;
}

QDialogButtonBox *addOkCancel(QDialog *dialog, QLayout *layout)
{
    auto *box = new QDialogButtonBox(dialog);
    QPushButton *ok = box->addButton(QString(DialogText::Ok), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    QPushButton *cancel = box->addButton(QString(DialogText::Cancel), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(box);
    return box;
}

TitleAttributesDialog::TitleAttributesDialog(TextData &title, QWidget *parent)
    : QDialog(parent)
    , mData(title)
{
    setWindowTitle(QString(DialogText::TitleCaption));
    TextMemo = new QPlainTextEdit(this);
    TextMemo->setObjectName(QStringLiteral("TextMemo"));
    TextMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab moves on to the next control, as in every other dialog; a tab
    // character has no place in a one-font title.
    TextMemo->setTabChangesFocus(true);
    // The memo shows the text in the object's own font.
    QFont font(title.Font.isEmpty() ? TextMemo->font().family() : title.Font);
    if (title.FontSize > 0)
        font.setPointSize(title.FontSize);
    font.setBold(title.FontStyle & FontBold);
    font.setItalic(title.FontStyle & FontItalic);
    font.setUnderline(title.FontStyle & FontUnderline);
    font.setStrikeOut(title.FontStyle & FontStrikeOut);
    TextMemo->setFont(font);
    TextMemo->setPlainText(memoText(title.Text));

    SpecialBtn = new QPushButton(QString(DialogText::InsertSpecialCode), this);
    SpecialBtn->setObjectName(QStringLiteral("SpecialBtn"));
    SpecialBtn->setAutoDefault(false);
    auto *menu = new QMenu(SpecialBtn);
    menu->setObjectName(QStringLiteral("SpecialMenu"));
    for (const DialogText::SpecialCode &special : DialogText::SpecialCodes) {
        const QString code(special.code);
        menu->addAction(QString(special.item), this, [this, code] { insertSpecialCode(code); });
    }
    SpecialBtn->setMenu(menu);

    auto *alignBox = new QGroupBox(QString(DialogText::Alignment), this);
    auto *alignLayout = new QHBoxLayout(alignBox);
    mAlign = makeAlignButtons(alignBox, alignLayout);
    mAlign.set(title.Align);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TextMemo, 1);
    auto *row = new QHBoxLayout;
    row->addWidget(alignBox);
    row->addStretch();
    row->addWidget(SpecialBtn, 0, Qt::AlignBottom);
    layout->addLayout(row);
    addOkCancel(this, layout);
    resize(420, 260);
    TextMemo->setFocus();
}

void TitleAttributesDialog::insertSpecialCode(const QString &code)
{
    TextMemo->textCursor().insertText(code);
    TextMemo->setFocus();
}

void TitleAttributesDialog::accept()
{
    // Blanks, tabs and empty lines alone would make an invisible object:
    // such a text counts as empty, which removes (or never creates) it.
    const QString text = TextMemo->toPlainText();
    mData.Text = text.trimmed().isEmpty() ? QString() : joinMemoLines(text);
    mData.Align = mAlign.value();
    QDialog::accept();
}

} // namespace vardeko
