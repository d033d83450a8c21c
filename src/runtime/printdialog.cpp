// The dialog that fixes the options of a text print job.
#include "printdialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vardeko {

namespace {

// Lets only some characters through (and editing keys); anything else beeps.
class KeyFilter : public QObject
{
public:
    KeyFilter(QObject *parent, bool allowPoint)
        : QObject(parent)
        , mAllowPoint(allowPoint)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        // Keys without text (arrows, Tab, Enter) and backspace are editing, not input.
        if (text.isEmpty() || key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Tab
            || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape
            || (key->modifiers() & Qt::ControlModifier))
            return false;
        for (const QChar c : text) {
            if (!(c.isDigit() || (mAllowPoint && c == u'.'))) {
                QApplication::beep();
                return true;
            }
        }
        return false;
    }

private:
    bool mAllowPoint;
};

QLineEdit *numberEdit(QWidget *parent, const char *name, bool allowPoint, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    edit->installEventFilter(new KeyFilter(edit, allowPoint));
    return edit;
}

} // namespace

QString marginText(double value)
{
    return QString::asprintf("%2.2f", value);
}

double marginValue(const QString &text)
{
    QString compact = text;
    compact.remove(u' ');
    bool ok = false;
    const double value = compact.toDouble(&ok);
    return ok ? value : 0.0;
}

int copiesValue(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        return 1;
    return std::clamp(value, 1, 999);
}

TZunPrintDialog::TZunPrintDialog(const PrintOptions &options, bool hasSelection, const QString &printerName,
                                 QWidget *parent)
    : QDialog(parent)
    , mOptions(options)
    , mShownUnit(options.unit == 1 ? 1 : 0)
{
    setObjectName(QStringLiteral("ZunPrintDialog"));
    setWindowTitle(QStringLiteral("Print"));

    auto *whatBox = new QGroupBox(QStringLiteral("Print What"), this);
    auto *whatLayout = new QHBoxLayout(whatBox);
    PrintWhat = new QLabel(whatBox);
    PrintWhat->setObjectName(QStringLiteral("PrintWhat"));
    SetupBtn = new QPushButton(QStringLiteral("Se&tup..."), whatBox);
    SetupBtn->setObjectName(QStringLiteral("SetupBtn"));
    whatLayout->addWidget(PrintWhat, 1);
    whatLayout->addWidget(SetupBtn);

    auto *marginBox = new QGroupBox(QStringLiteral("Margins"), this);
    auto *marginForm = new QFormLayout;
    LeftEdit = numberEdit(marginBox, "LeftEdit", true, 5);
    TopEdit = numberEdit(marginBox, "TopEdit", true, 5);
    RightEdit = numberEdit(marginBox, "RightEdit", true, 5);
    BottomEdit = numberEdit(marginBox, "BottomEdit", true, 5);
    marginForm->addRow(QStringLiteral("&Left:"), LeftEdit);
    marginForm->addRow(QStringLiteral("&Top:"), TopEdit);
    marginForm->addRow(QStringLiteral("&Right:"), RightEdit);
    marginForm->addRow(QStringLiteral("&Bottom:"), BottomEdit);
    InchesBtn = new QRadioButton(QStringLiteral("&Inches"), marginBox);
    InchesBtn->setObjectName(QStringLiteral("InchesBtn"));
    CentimetersBtn = new QRadioButton(QStringLiteral("C&entimeters"), marginBox);
    CentimetersBtn->setObjectName(QStringLiteral("CentimetersBtn"));
    auto *unitLayout = new QVBoxLayout;
    unitLayout->addWidget(InchesBtn);
    unitLayout->addWidget(CentimetersBtn);
    unitLayout->addStretch();
    auto *marginLayout = new QHBoxLayout(marginBox);
    marginLayout->addLayout(marginForm);
    marginLayout->addLayout(unitLayout);

    auto *headerBox = new QGroupBox(QStringLiteral("Header/Footer"), this);
    auto *headerForm = new QFormLayout(headerBox);
    HeaderEdit = new QLineEdit(options.header, headerBox);
    HeaderEdit->setObjectName(QStringLiteral("HeaderEdit"));
    FooterEdit = new QLineEdit(options.footer, headerBox);
    FooterEdit->setObjectName(QStringLiteral("FooterEdit"));
    headerForm->addRow(QStringLiteral("&Header:"), HeaderEdit);
    headerForm->addRow(QStringLiteral("&Footer:"), FooterEdit);

    auto *optionBox = new QGroupBox(QStringLiteral("Options"), this);
    auto *optionLayout = new QVBoxLayout(optionBox);
    auto *copiesForm = new QFormLayout;
    CopiesEdit = numberEdit(optionBox, "CopiesEdit", false, 3);
    CopiesEdit->setText(QString::number(std::clamp(options.copies, 1, 999)));
    copiesForm->addRow(QStringLiteral("&Copies:"), CopiesEdit);
    optionLayout->addLayout(copiesForm);
    WrapBox = new QCheckBox(QStringLiteral("&Wrap Lines"), optionBox);
    WrapBox->setObjectName(QStringLiteral("WrapBox"));
    WrapBox->setChecked(options.wrapLines);
    SelectedBox = new QCheckBox(QStringLiteral("Print &Selected Text"), optionBox);
    SelectedBox->setObjectName(QStringLiteral("SelectedBox"));
    SelectedBox->setEnabled(hasSelection);
    SelectedBox->setChecked(hasSelection && options.printSelected);
    optionLayout->addWidget(WrapBox);
    optionLayout->addWidget(SelectedBox);

    auto *buttons = new QDialogButtonBox(this);
    PrintBtn = buttons->addButton(QStringLiteral("Print"), QDialogButtonBox::AcceptRole);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    PrintBtn->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    // Help topics come with the help viewer of the main window; the button is not offered here.
    QPushButton *help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    help->setEnabled(false);

    auto *columns = new QHBoxLayout;
    columns->addWidget(marginBox);
    auto *right = new QVBoxLayout;
    right->addWidget(headerBox);
    right->addWidget(optionBox);
    columns->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(whatBox);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    LeftEdit->setText(marginText(options.leftMargin));
    TopEdit->setText(marginText(options.topMargin));
    RightEdit->setText(marginText(options.rightMargin));
    BottomEdit->setText(marginText(options.bottomMargin));
    (mShownUnit == 1 ? CentimetersBtn : InchesBtn)->setChecked(true);
    showPrinter(printerName);

    connect(InchesBtn, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            unitChanged(0);
    });
    connect(CentimetersBtn, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            unitChanged(1);
    });
    connect(SetupBtn, &QPushButton::clicked, this, [this] {
        if (setup) {
            const QString name = setup();
            if (!name.isEmpty())
                showPrinter(name);
        }
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        store();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TZunPrintDialog::showPrinter(const QString &printerName)
{
    PrintWhat->setText(u'"' + mOptions.title + QLatin1String("\" to ") + printerName);
}

void TZunPrintDialog::unitChanged(int unit)
{
    if (unit == mShownUnit)
        return;
    const double factor = unit == 0 ? InchesPerCentimetre : CentimetresPerInch;
    for (QLineEdit *edit : {LeftEdit, TopEdit, RightEdit, BottomEdit})
        edit->setText(marginText(marginValue(edit->text()) * factor));
    mShownUnit = unit;
}

void TZunPrintDialog::store()
{
    mOptions.leftMargin = marginValue(LeftEdit->text());
    mOptions.topMargin = marginValue(TopEdit->text());
    mOptions.rightMargin = marginValue(RightEdit->text());
    mOptions.bottomMargin = marginValue(BottomEdit->text());
    mOptions.header = HeaderEdit->text();
    mOptions.footer = FooterEdit->text();
    mOptions.printSelected = SelectedBox->isEnabled() && SelectedBox->isChecked();
    mOptions.wrapLines = WrapBox->isChecked();
    mOptions.copies = copiesValue(CopiesEdit->text());
    mOptions.unit = mShownUnit;
}

} // namespace vardeko
