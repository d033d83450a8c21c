// The Preferences dialog: general settings, outside editors and the action editor's look.
#include "preferencesdialog.h"

#include "alertdialog.h"
#include "helpviewer.h"
#include "shellmessages.h"
#include "shelldialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vardeko {

namespace {
// The mascots beside their radio buttons, a little smaller than in the dialogs.
constexpr QSize MascotPreviewSize(48, 60);
} // namespace

namespace {

ColorRef colorRefOf(const QColor &c)
{
    return rgbColor(c.red(), c.green(), c.blue());
}

QColor colorOf(ColorRef c)
{
    return QColor(colorRed(c), colorGreen(c), colorBlue(c));
}

QIcon swatch(const QColor &color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

// A sample of what the action editor shows.
const char SampleScript[] = "GotoPage \"Contents\"\n"
                            "PlaySoundFile \"CHIME.WAV\" Normal\n"
                            "SetVar Score 10";

} // namespace

QStringList editorColorNames()
{
    return {QStringLiteral("Black"),  QStringLiteral("Maroon"), QStringLiteral("Green"),
            QStringLiteral("Olive"),  QStringLiteral("Navy"),   QStringLiteral("Purple"),
            QStringLiteral("Teal"),   QStringLiteral("Gray"),   QStringLiteral("Silver"),
            QStringLiteral("Red"),    QStringLiteral("Lime"),   QStringLiteral("Blue"),
            QStringLiteral("Fuchsia"), QStringLiteral("Aqua"),  QStringLiteral("Yellow"),
            QStringLiteral("White"),  QStringLiteral("Window"), QStringLiteral("WindowText")};
}

QColor editorColor(const QString &name)
{
    static const QHash<QString, QRgb> standard = {
        {QStringLiteral("Black"), 0x000000},  {QStringLiteral("Maroon"), 0x800000},
        {QStringLiteral("Green"), 0x008000},  {QStringLiteral("Olive"), 0x808000},
        {QStringLiteral("Navy"), 0x000080},   {QStringLiteral("Purple"), 0x800080},
        {QStringLiteral("Teal"), 0x008080},   {QStringLiteral("Gray"), 0x808080},
        {QStringLiteral("Silver"), 0xC0C0C0}, {QStringLiteral("Red"), 0xFF0000},
        {QStringLiteral("Lime"), 0x00FF00},   {QStringLiteral("Blue"), 0x0000FF},
        {QStringLiteral("Fuchsia"), 0xFF00FF}, {QStringLiteral("Aqua"), 0x00FFFF},
        {QStringLiteral("Yellow"), 0xFFFF00}, {QStringLiteral("White"), 0xFFFFFF},
    };
    if (auto it = standard.constFind(name); it != standard.constEnd())
        return QColor(*it);
    if (name == QLatin1String("Window"))
        return QGuiApplication::palette().color(QPalette::Base);
    if (name == QLatin1String("WindowText"))
        return QGuiApplication::palette().color(QPalette::Text);
    return QColor(Qt::white);
}

QString editorColorName(ColorRef color)
{
    for (const QString &name : editorColorNames())
        if (colorRefOf(editorColor(name)) == (color & 0xFFFFFF))
            return name;
    return QString();
}

TSetPreferencesForm::TSetPreferencesForm(const Preferences &prefs, QWidget *parent)
    : QDialog(parent)
    , mValues(prefs)
{
    setObjectName(QStringLiteral("SetPreferencesForm"));
    setWindowTitle(QStringLiteral("Preferences"));
    auto *layout = new QVBoxLayout(this);
    auto *tabs = new QTabWidget(this);
    tabs->addTab(createGeneralTab(), QStringLiteral("General Settings"));
    tabs->addTab(createUtilitiesTab(), QStringLiteral("Utilities"));
    tabs->addTab(createEditorTab(), QStringLiteral("Action Editor"));
    layout->addWidget(tabs);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel
                                             | QDialogButtonBox::Help,
                                         this);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { showHelpTopic(this, PreferencesHelpTopic); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    updatePreview();
}

QWidget *TSetPreferencesForm::createGeneralTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    mUndo = new QCheckBox(QStringLiteral("&Undo On"), page);
    mUndo->setObjectName(QStringLiteral("UndoCheck"));
    mUndo->setChecked(mValues.Undo);
    mBackup = new QCheckBox(QStringLiteral("Create &Backup Files"), page);
    mBackup->setObjectName(QStringLiteral("BackupCheck"));
    mBackup->setChecked(mValues.CreateBackupFiles);
    mAutoUpdate = new QCheckBox(
        QStringLiteral("&Automatically Update Text and Image files Modified by other Programs"), page);
    mAutoUpdate->setObjectName(QStringLiteral("AutoUpdateCheck"));
    mAutoUpdate->setChecked(mValues.AutoUpdate);
    layout->addWidget(mUndo);
    layout->addWidget(mBackup);
    layout->addWidget(mAutoUpdate);

    auto *style = new QGroupBox(QStringLiteral("File Open and Save Dialog Box Style:"), page);
    auto *styleLayout = new QVBoxLayout(style);
    mWindowsStyle = new QRadioButton(QStringLiteral("&Windows Style"), style);
    mSarquelStyle = new QRadioButton(
        QStringLiteral("&Sarquel Style (allows previewing of text, image and media files)"), style);
    mWindowsStyle->setObjectName(QStringLiteral("WindowsStyleRadio"));
    mSarquelStyle->setObjectName(QStringLiteral("SarquelStyleRadio"));
    (mValues.WindowsFileSelector ? mWindowsStyle : mSarquelStyle)->setChecked(true);
    styleLayout->addWidget(mWindowsStyle);
    styleLayout->addWidget(mSarquelStyle);
    layout->addWidget(style);

    auto *mascot =
        new QGroupBox(QStringLiteral("Vardeko Mascot (does not appear in compiled publications):"), page);
    auto *mascotLayout = new QHBoxLayout(mascot);
    mBeluno = new QRadioButton(QStringLiteral("&Beluno"), mascot);
    mKorro = new QRadioButton(QStringLiteral("&Korro"), mascot);
    mBeluno->setObjectName(QStringLiteral("BelunoRadio"));
    mKorro->setObjectName(QStringLiteral("KorroRadio"));
    (mValues.Mascot.compare(QLatin1String("BELUNO"), Qt::CaseInsensitive) == 0 ? mBeluno : mKorro)
        ->setChecked(true);
    // A click on a mascot's picture chooses it too.
    for (auto [radio, name] : {std::pair{mBeluno, "BELUNO"}, std::pair{mKorro, "KORRO"}}) {
        auto *picture = new QToolButton(mascot);
        picture->setObjectName(QLatin1String(name) + QLatin1String("Picture"));
        picture->setToolTip(radio->text().remove(u'&'));
        picture->setIcon(QIcon(mascotPicture(QLatin1String(name), MascotPreviewSize)));
        picture->setIconSize(MascotPreviewSize);
        picture->setAutoRaise(true);
        QRadioButton *target = radio;
        connect(picture, &QToolButton::clicked, target, [target] { target->setChecked(true); });
        mascotLayout->addWidget(picture);
        mascotLayout->addWidget(radio);
    }
    layout->addWidget(mascot);
    layout->addStretch(1);
    return page;
}

QWidget *TSetPreferencesForm::createUtilitiesTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    mAssociated = new QRadioButton(
        QStringLiteral("Use the File's &Associated Application from the Windows Registry"), page);
    mSpecified = new QRadioButton(QStringLiteral("Use the Appropriate Editor Specified Below:"), page);
    mAssociated->setObjectName(QStringLiteral("AssociatedRadio"));
    mSpecified->setObjectName(QStringLiteral("SpecifiedRadio"));
    (mValues.UtilsInRegistry ? mAssociated : mSpecified)->setChecked(true);
    layout->addWidget(mAssociated);
    layout->addWidget(mSpecified);

    auto *form = new QFormLayout;
    auto addEditor = [&](const QString &label, const QString &value, const char *name) {
        auto *row = new QHBoxLayout;
        auto *edit = new QLineEdit(value, page);
        edit->setObjectName(QLatin1String(name));
        auto *browseButton = new QPushButton(QStringLiteral("Browse..."), page);
        connect(browseButton, &QPushButton::clicked, this, [this, edit] { browse(edit); });
        row->addWidget(edit, 1);
        row->addWidget(browseButton);
        auto *text = new QLabel(label, page);
        text->setBuddy(edit);
        form->addRow(text, row);
        return edit;
    };
    mTextEditor = addEditor(QStringLiteral("&Text Editor:"), mValues.TextEditor, "TextEditorEdit");
    mImageEditor = addEditor(QStringLiteral("&Image Editor:"), mValues.ImageEditor, "ImageEditorEdit");
    mSoundEditor = addEditor(QStringLiteral("&Sound Editor:"), mValues.SoundEditor, "SoundEditorEdit");
    mVideoEditor = addEditor(QStringLiteral("&Video Editor:"), mValues.VideoEditor, "VideoEditorEdit");
    layout->addLayout(form);
    layout->addStretch(1);
    return page;
}

QWidget *TSetPreferencesForm::createEditorTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    auto colorList = [&](ColorRef value, const char *name) {
        auto *combo = new QComboBox(page);
        combo->setObjectName(QLatin1String(name));
        for (const QString &entry : editorColorNames())
            combo->addItem(swatch(editorColor(entry)), entry);
        const QString current = editorColorName(value);
        if (current.isEmpty()) {
            // A colour that is in no list entry stays as it is until one is chosen.
            combo->insertItem(0, swatch(colorOf(value)), QStringLiteral("Custom"));
            combo->setCurrentIndex(0);
        } else {
            combo->setCurrentText(current);
        }
        connect(combo, &QComboBox::currentIndexChanged, this, &TSetPreferencesForm::updatePreview);
        return combo;
    };
    mBackground = colorList(mValues.EditorBkndColor, "BackgroundCombo");
    mTextColor = colorList(mValues.EditorTextColor, "TextColorCombo");
    auto *bgLabel = new QLabel(QStringLiteral("&Background Color:"), page);
    bgLabel->setBuddy(mBackground);
    auto *fgLabel = new QLabel(QStringLiteral("&Text Color:"), page);
    fgLabel->setBuddy(mTextColor);
    form->addRow(bgLabel, mBackground);
    form->addRow(fgLabel, mTextColor);
    layout->addLayout(form);
    auto *fontButton = new QPushButton(QStringLiteral("Set &Font..."), page);
    connect(fontButton, &QPushButton::clicked, this, &TSetPreferencesForm::chooseFont);
    layout->addWidget(fontButton, 0, Qt::AlignLeft);
    mPreview = new QPlainTextEdit(QLatin1String(SampleScript), page);
    mPreview->setObjectName(QStringLiteral("PreviewMemo"));
    mPreview->setReadOnly(true);
    layout->addWidget(mPreview, 1);

    mFont = QFont(mValues.EditorFontName, mValues.EditorFontSize);
    mFont.setBold(mValues.EditorFontStyle & 1);
    mFont.setItalic(mValues.EditorFontStyle & 2);
    mFont.setUnderline(mValues.EditorFontStyle & 4);
    mFont.setStrikeOut(mValues.EditorFontStyle & 8);
    return page;
}

void TSetPreferencesForm::browse(QLineEdit *edit)
{
    const QFileInfo current(edit->text());
    const QString dir = !edit->text().isEmpty() && current.absoluteDir().exists()
        && edit->text().contains(QLatin1Char('/'))
        ? current.absolutePath()
        : mValues.DOSDir;
    const QString chosen = QFileDialog::getOpenFileName(
        this, msg::SelectProgram, dir,
        qtFileFilter(msg::ProgramFilter + QLatin1Char('|') + msg::AnyFileFilter));
    if (!chosen.isEmpty())
        edit->setText(chosen);
}

void TSetPreferencesForm::chooseFont()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, mFont, this);
    if (ok) {
        mFont = font;
        updatePreview();
    }
}

void TSetPreferencesForm::updatePreview()
{
    if (!mPreview)
        return;
    auto colorFrom = [](QComboBox *combo, ColorRef stored) {
        return combo->currentText() == QLatin1String("Custom") ? colorOf(stored)
                                                               : editorColor(combo->currentText());
    };
    QPalette pal = mPreview->palette();
    pal.setColor(QPalette::Base, colorFrom(mBackground, mValues.EditorBkndColor));
    pal.setColor(QPalette::Text, colorFrom(mTextColor, mValues.EditorTextColor));
    mPreview->setPalette(pal);
    mPreview->setFont(mFont);
}

void TSetPreferencesForm::store(Preferences &prefs) const
{
    prefs.Undo = mUndo->isChecked();
    prefs.CreateBackupFiles = mBackup->isChecked();
    prefs.AutoUpdate = mAutoUpdate->isChecked();
    prefs.WindowsFileSelector = mWindowsStyle->isChecked();
    prefs.Mascot = mBeluno->isChecked() ? QStringLiteral("BELUNO") : QStringLiteral("KORRO");
    prefs.UtilsInRegistry = mAssociated->isChecked();
    prefs.TextEditor = mTextEditor->text();
    prefs.ImageEditor = mImageEditor->text();
    prefs.SoundEditor = mSoundEditor->text();
    prefs.VideoEditor = mVideoEditor->text();
    if (mBackground->currentText() != QLatin1String("Custom"))
        prefs.EditorBkndColor = colorRefOf(editorColor(mBackground->currentText()));
    if (mTextColor->currentText() != QLatin1String("Custom"))
        prefs.EditorTextColor = colorRefOf(editorColor(mTextColor->currentText()));
    prefs.EditorFontName = mFont.family();
    prefs.EditorFontSize = mFont.pointSize() > 0 ? mFont.pointSize() : prefs.EditorFontSize;
    prefs.EditorFontStyle = (mFont.bold() ? 1 : 0) | (mFont.italic() ? 2 : 0)
        | (mFont.underline() ? 4 : 0) | (mFont.strikeOut() ? 8 : 0);
}

} // namespace vardeko
