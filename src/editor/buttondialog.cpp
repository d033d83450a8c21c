// "Button Attributes": general settings, style and action of a Button.
#include "objectdialogs.h"

#include "actionmemo.h"
#include "dialogbuttons.h"
#include "dialoghost.h"
#include "dialogtexts.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vardeko {

QString browseStartDir(const QString &stored, const QString &publicationDir,
                       const QString &lastUsed);

namespace {

QIcon styleIcon(int style)
{
    QPixmap pixmap(40, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    switch (style) {
    case PushButton:
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(2, 4, 35, 15);
        p.setPen(Qt::white);
        p.drawLine(3, 5, 36, 5);
        break;
    case EntryField:
        p.setBrush(Qt::white);
        p.drawRect(2, 6, 35, 11);
        p.drawLine(6, 9, 6, 14);
        break;
    case CheckBox:
        p.setBrush(Qt::white);
        p.drawRect(12, 5, 13, 13);
        p.drawLine(15, 11, 18, 15);
        p.drawLine(18, 15, 23, 7);
        break;
    default:
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::white);
        p.drawEllipse(12, 5, 13, 13);
        p.setBrush(Qt::black);
        p.drawEllipse(16, 9, 5, 5);
        break;
    }
    return QIcon(pixmap);
}

} // namespace

ButtonAttributesDialog::ButtonAttributesDialog(ButtonData &button, const QString &publicationDir,
                                               QWidget *parent)
    : QDialog(parent)
    , mData(button)
    , mPublicationDir(publicationDir)
{
    setWindowTitle(QString(DialogText::ButtonCaption));
    auto *layout = new QVBoxLayout(this);
    mTabs = new QTabWidget(this);
    mTabs->setObjectName(QStringLiteral("PageControl"));
    layout->addWidget(mTabs, 1);

    // --- General Settings
    auto *general = new QWidget(mTabs);
    general->setObjectName(QStringLiteral("GeneralTab"));
    auto *generalLayout = new QVBoxLayout(general);
    ButtonText = new QPlainTextEdit(general);
    ButtonText->setObjectName(QStringLiteral("ButtonText"));
    ButtonText->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *textLabel = new QLabel(QString(DialogText::ButtonTextLabel), general);
    textLabel->setBuddy(ButtonText);
    generalLayout->addWidget(textLabel);
    generalLayout->addWidget(ButtonText, 1);
    auto *keyRow = new QHBoxLayout;
    ShortCutKey = new QKeySequenceEdit(general);
    ShortCutKey->setObjectName(QStringLiteral("ShortCutKey"));
    auto *keyLabel = new QLabel(QString(DialogText::ShortCutLabel), general);
    keyLabel->setBuddy(ShortCutKey);
    keyRow->addWidget(keyLabel);
    keyRow->addWidget(ShortCutKey, 1);
    generalLayout->addLayout(keyRow);
    // A hot key is one key with its shifts; anything that cannot be stored is refused
    // at once, so the field never shows what OK would not keep.
    connect(ShortCutKey, &QKeySequenceEdit::keySequenceChanged, this,
            [this](const QKeySequence &sequence) {
                if (sequence.isEmpty())
                    return;
                const quint16 key = hotKeyFromKeySequence(sequence);
                const QKeySequence kept = key ? keySequenceFromHotKey(key) : QKeySequence();
                if (kept != sequence)
                    ShortCutKey->setKeySequence(kept);
            });
    auto *alignBox = new QGroupBox(QString(DialogText::Alignment), general);
    auto *alignLayout = new QHBoxLayout(alignBox);
    mAlign = makeAlignButtons(alignBox, alignLayout);
    mPlacementBox = new QGroupBox(QString(DialogText::TextPlacement), general);
    auto *placementLayout = new QHBoxLayout(mPlacementBox);
    NextToBtn = new QRadioButton(QString(DialogText::NextTo), mPlacementBox);
    NextToBtn->setObjectName(QStringLiteral("NextToBtn"));
    OnTopBtn = new QRadioButton(QString(DialogText::OnTop), mPlacementBox);
    OnTopBtn->setObjectName(QStringLiteral("OnTopBtn"));
    placementLayout->addWidget(NextToBtn);
    placementLayout->addWidget(OnTopBtn);
    generalLayout->addWidget(alignBox);
    generalLayout->addWidget(mPlacementBox);
    mTabs->addTab(general, QString(DialogText::GeneralTab));

    // --- Button Style
    auto *styleTab = new QWidget(mTabs);
    styleTab->setObjectName(QStringLiteral("StyleTab"));
    auto *styleLayout = new QHBoxLayout(styleTab);
    auto *styleGrid = new QGridLayout;
    for (int s = 0; s < 4; ++s) {
        StylePics[s] = new QToolButton(styleTab);
        StylePics[s]->setObjectName(QStringLiteral("StylePic%1").arg(s + 1));
        StylePics[s]->setIcon(styleIcon(s));
        StylePics[s]->setIconSize(QSize(40, 24));
        StylePics[s]->setAutoRaise(true);
        StyleBtns[s] = new QRadioButton(QString(DialogText::StyleNames[s]), styleTab);
        StyleBtns[s]->setObjectName(QStringLiteral("Style%1").arg(s + 1));
        styleGrid->addWidget(StylePics[s], s, 0);
        styleGrid->addWidget(StyleBtns[s], s, 1);
        connect(StylePics[s], &QToolButton::clicked, this, [this, s] { setStyle(s); });
        connect(StyleBtns[s], &QRadioButton::toggled, this,
                &ButtonAttributesDialog::updateStyleControls);
    }
    styleGrid->setRowStretch(4, 1);
    styleLayout->addLayout(styleGrid);

    auto *options = new QVBoxLayout;
    mVarNameRow = new QWidget(styleTab);
    auto *varLayout = new QHBoxLayout(mVarNameRow);
    varLayout->setContentsMargins(0, 0, 0, 0);
    VarNameBox = new QLineEdit(mVarNameRow);
    VarNameBox->setObjectName(QStringLiteral("VarNameBox"));
    auto *varLabel = new QLabel(QString(DialogText::VarNameLabel), mVarNameRow);
    varLabel->setBuddy(VarNameBox);
    varLayout->addWidget(varLabel);
    varLayout->addWidget(VarNameBox, 1);
    mTextLenRow = new QWidget(styleTab);
    auto *lenLayout = new QHBoxLayout(mTextLenRow);
    lenLayout->setContentsMargins(0, 0, 0, 0);
    TextLenBox = new QSpinBox(mTextLenRow);
    TextLenBox->setObjectName(QStringLiteral("TextLenBox"));
    TextLenBox->setRange(0, 32767);
    auto *lenLabel = new QLabel(QString(DialogText::MaxLenLabel), mTextLenRow);
    lenLabel->setBuddy(TextLenBox);
    lenLayout->addWidget(lenLabel);
    lenLayout->addWidget(TextLenBox);
    lenLayout->addStretch();
    mStateBox = new QGroupBox(QString(DialogText::InitialState), styleTab);
    auto *stateLayout = new QVBoxLayout(mStateBox);
    DownBtn = new QRadioButton(QString(DialogText::Down), mStateBox);
    DownBtn->setObjectName(QStringLiteral("DownBtn"));
    UpBtn = new QRadioButton(QString(DialogText::Up), mStateBox);
    UpBtn->setObjectName(QStringLiteral("UpBtn"));
    stateLayout->addWidget(DownBtn);
    stateLayout->addWidget(UpBtn);

    mImageBox = new QWidget(styleTab);
    auto *imageLayout = new QGridLayout(mImageBox);
    imageLayout->setContentsMargins(0, 0, 0, 0);
    UpName = new QLineEdit(mImageBox);
    UpName->setObjectName(QStringLiteral("UpName"));
    DownName = new QLineEdit(mImageBox);
    DownName->setObjectName(QStringLiteral("DownName"));
    auto *upBrowse = new QPushButton(QString(DialogText::Browse), mImageBox);
    upBrowse->setObjectName(QStringLiteral("UpBrowseBtn"));
    upBrowse->setAutoDefault(false);
    auto *downBrowse = new QPushButton(QString(DialogText::Browse), mImageBox);
    downBrowse->setObjectName(QStringLiteral("DownBrowseBtn"));
    downBrowse->setAutoDefault(false);
    auto *upLabel = new QLabel(QString(DialogText::UpImageLabel), mImageBox);
    upLabel->setBuddy(UpName);
    auto *downLabel = new QLabel(QString(DialogText::DownImageLabel), mImageBox);
    downLabel->setBuddy(DownName);
    imageLayout->addWidget(upLabel, 0, 0);
    imageLayout->addWidget(UpName, 0, 1);
    imageLayout->addWidget(upBrowse, 0, 2);
    imageLayout->addWidget(downLabel, 1, 0);
    imageLayout->addWidget(DownName, 1, 1);
    imageLayout->addWidget(downBrowse, 1, 2);
    auto *opacity = new QWidget(mImageBox);
    auto *opacityLayout = new QHBoxLayout(opacity);
    opacityLayout->setContentsMargins(0, 0, 0, 0);
    OpaqueBtn = new QRadioButton(QString(DialogText::Opaque), opacity);
    OpaqueBtn->setObjectName(QStringLiteral("OpaqueBtn"));
    TransBtn = new QRadioButton(QString(DialogText::Transparent), opacity);
    TransBtn->setObjectName(QStringLiteral("TransBtn"));
    opacityLayout->addWidget(OpaqueBtn);
    opacityLayout->addWidget(TransBtn);
    imageLayout->addWidget(opacity, 2, 1, 1, 2);
    connect(upBrowse, &QPushButton::clicked, this, [this] { browseImage(UpName); });
    connect(downBrowse, &QPushButton::clicked, this, [this] { browseImage(DownName); });
    connect(UpName, &QLineEdit::textChanged, this, &ButtonAttributesDialog::updateStyleControls);
    connect(DownName, &QLineEdit::textChanged, this, &ButtonAttributesDialog::updateStyleControls);

    options->addWidget(mVarNameRow);
    options->addWidget(mTextLenRow);
    options->addWidget(mStateBox);
    options->addWidget(mImageBox);
    options->addStretch();
    styleLayout->addLayout(options, 1);
    mTabs->addTab(styleTab, QString(DialogText::StyleTab));

    // --- Button Action
    mActionPanel = new ActionMemoPanel(mTabs);
    mActionPanel->setObjectName(QStringLiteral("ActionTab"));
    mTabs->addTab(mActionPanel, QString(DialogText::ActionTab));

    addOkCancel(this, layout);

    // Load the fields.
    ButtonText->setPlainText(memoText(button.Text));
    ShortCutKey->setKeySequence(keySequenceFromHotKey(button.Key));
    mAlign.set(button.Align);
    (button.OverlayText ? OnTopBtn : NextToBtn)->setChecked(true);
    VarNameBox->setText(button.VarName);
    TextLenBox->setValue(qBound(0, button.MaxLen, 32767));
    (button.InitState == 1 ? DownBtn : UpBtn)->setChecked(true);
    UpName->setText(button.UpImage);
    DownName->setText(button.DownImage);
    (button.TransImages ? TransBtn : OpaqueBtn)->setChecked(true);
    mActionPanel->setScript(button.Action);
    setStyle(button.Style <= RadioButton ? int(button.Style) : int(PushButton));
    updateStyleControls();

    mTabs->setCurrentIndex(0);
    resize(520, 380);
    ButtonText->setFocus();
}

int ButtonAttributesDialog::style() const
{
    for (int s = 0; s < 4; ++s) {
        if (StyleBtns[s]->isChecked())
            return s;
    }
    return PushButton;
}

void ButtonAttributesDialog::setStyle(int style)
{
    if (style >= 0 && style < 4)
        StyleBtns[style]->setChecked(true);
}

void ButtonAttributesDialog::updateStyleControls()
{
    const int s = style();
    mVarNameRow->setVisible(s != PushButton);
    mTextLenRow->setVisible(s == EntryField);
    mStateBox->setVisible(s == CheckBox || s == RadioButton);
    mImageBox->setVisible(s == PushButton);
    const bool alignable = s != EntryField;
    mAlign.LeftBtn->setEnabled(alignable);
    mAlign.CenterBtn->setEnabled(alignable);
    mAlign.RightBtn->setEnabled(alignable);
    mPlacementBox->setVisible(
            s == PushButton
            && !(UpName->text().trimmed().isEmpty() && DownName->text().trimmed().isEmpty()));
}

void ButtonAttributesDialog::browseImage(QLineEdit *field)
{
    DialogHost &host = dialogHost();
    const QString chosen = host.openFileName(
            this, QString(DialogText::SelectImage),
            browseStartDir(field->text(), mPublicationDir, host.folder(DialogFolder::Images)),
            QString(DialogText::ButtonImageFilter));
    if (chosen.isEmpty())
        return;
    field->setText(chosen);
    host.setFolder(DialogFolder::Images, QFileInfo(chosen).absolutePath());
}

void ButtonAttributesDialog::accept()
{
    const int s = style();
    mData.Text = joinMemoLines(ButtonText->toPlainText());
    mData.Action = mActionPanel->script();
    mData.Align = mAlign.value();
    mData.Key = hotKeyFromKeySequence(ShortCutKey->keySequence());
    mData.UpImage = UpName->text().trimmed();
    mData.DownImage = DownName->text().trimmed();
    mData.TransImages = TransBtn->isChecked();
    mData.OverlayText = OnTopBtn->isChecked();
    mData.Style = quint8(s);
    mData.VarName = VarNameBox->text().trimmed();
    mData.MaxLen = TextLenBox->value();
    mData.InitState = (DownBtn->isChecked() && (s == CheckBox || s == RadioButton)) ? 1 : 0;
    mData.State = mData.InitState;
    QDialog::accept();
}

} // namespace vardeko
