// Book Setup: the publication-wide settings and the run-time message texts.
#include "booksetupform.h"

#include "childform.h"
#include "filecontents.h"
#include "ioerrors.h"
#include "pagedialogs.h"
#include "pagemanagement.h"
#include "palette.h"
#include "preferences.h"
#include "publication.h"
#include "shelldialogs.h"

#include <algorithm>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vardeko {

namespace {

// Scripts and message texts are held with "|" between lines.
QString shownLines(const QString &joined)
{
    return QString(joined).replace(QLatin1Char('|'), QLatin1Char('\n'));
}

QString joinedLines(const QString &shown)
{
    return QString(shown).replace(QLatin1Char('\n'), QLatin1Char('|'));
}

QPixmap iconPicture(const QString &file)
{
    QImageReader reader(file);
    const QImage image = reader.read();
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

} // namespace

TBookSetupForm::TBookSetupForm(TChildForm &child, Preferences &prefs, ShellDialogs &dialogs,
                               QWidget *parent)
    : QDialog(parent)
    , mChild(child)
    , mPrefs(prefs)
    , mDialogs(dialogs)
{
    setObjectName(QStringLiteral("BookSetupForm"));
    setWindowTitle(setuptext::Caption);
    auto *layout = new QVBoxLayout(this);
    mTabs = new QTabWidget(this);
    mTabs->addTab(createPublicationTab(), setuptext::PublicationTab);
    mTabs->addTab(createAccessTab(), setuptext::AccessTab);
    mTabs->addTab(createSizeTab(), setuptext::SizeTab);
    mTabs->addTab(createIdleTab(), setuptext::IdleTab);
    mTabs->addTab(createLanguageTab(), setuptext::LanguageTab);
    layout->addWidget(mTabs);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TBookSetupForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(mTabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (mTabs->widget(index) == mGrid->parentWidget()) {
            mGrid->setFocus();
            if (mGrid->currentRow() < 0)
                mGrid->setCurrentCell(0, 1);
        }
    });
    mTabs->setCurrentIndex(0);
    mTitle->setFocus();
}

QWidget *TBookSetupForm::createPublicationTab()
{
    const PublicationSettings &settings = mChild.publication().Settings;
    auto *tab = new QWidget(mTabs);
    auto *form = new QFormLayout(tab);
    mTitle = new QLineEdit(settings.Title, tab);
    mTitle->setObjectName(QStringLiteral("TitleEdit"));
    mAuthor = new QLineEdit(settings.Author, tab);
    mAuthor->setObjectName(QStringLiteral("AuthorEdit"));
    form->addRow(setuptext::Title, mTitle);
    form->addRow(setuptext::Author, mAuthor);
    auto *iconRow = new QHBoxLayout;
    mIconPicture = new QLabel(tab);
    mIconPicture->setObjectName(QStringLiteral("IconPicture"));
    mIconPicture->setFixedSize(36, 36);
    mIcon = settings.Icon;
    if (!mIcon.isEmpty())
        mIconPicture->setPixmap(iconPicture(mIcon));
    auto *load = new QPushButton(setuptext::LoadIcon, tab);
    load->setObjectName(QStringLiteral("LoadIconBtn"));
    connect(load, &QPushButton::clicked, this, &TBookSetupForm::loadIcon);
    iconRow->addWidget(mIconPicture);
    iconRow->addWidget(load);
    iconRow->addStretch();
    form->addRow(setuptext::Icon, iconRow);
    return tab;
}

QWidget *TBookSetupForm::createAccessTab()
{
    const PublicationSettings &settings = mChild.publication().Settings;
    auto *tab = new QWidget(mTabs);
    auto *layout = new QVBoxLayout(tab);
    auto check = [](QWidget *parent, QLatin1String text, const char *name, bool on) {
        auto *box = new QCheckBox(text, parent);
        box->setObjectName(QLatin1String(name));
        box->setChecked(on);
        return box;
    };
    auto *keyboard = new QGroupBox(setuptext::KeyboardControl, tab);
    auto *keys = new QVBoxLayout(keyboard);
    mAllowPages = check(keyboard, setuptext::AllowPages, "AllowPagesBox", settings.AllowPageUpDn);
    mAllowButtons = check(keyboard, setuptext::AllowButtons, "AllowButtonsBox", settings.TabButtons);
    mAllowWindows = check(keyboard, setuptext::AllowWindows, "AllowWindowsBox", settings.TabWindows);
    mAllowEsc = check(keyboard, setuptext::AllowEsc, "AllowEscBox", settings.AllowESC);
    for (QCheckBox *box : {mAllowPages, mAllowButtons, mAllowWindows, mAllowEsc})
        keys->addWidget(box);
    layout->addWidget(keyboard);
    auto *window = new QGroupBox(setuptext::WindowBehavior, tab);
    auto *windowLayout = new QVBoxLayout(window);
    mFullScreen = check(window, setuptext::FullScreen, "FullScreenBox", settings.FullScreen);
    mStayOnTop = check(window, setuptext::StayOnTop, "StayOnTopBox", settings.StayOnTop);
    mSizeable = check(window, setuptext::Sizeable, "SizeableBox", settings.Sizeable);
    for (QCheckBox *box : {mFullScreen, mStayOnTop, mSizeable})
        windowLayout->addWidget(box);
    layout->addWidget(window);
    auto *password = new QGroupBox(setuptext::Password, tab);
    auto *passwordLayout = new QHBoxLayout(password);
    mRequirePassword = check(password, setuptext::RequirePassword, "RequirePasswordBox",
                             !settings.Password.isEmpty());
    mPassword = new QLineEdit(settings.Password, password);
    mPassword->setObjectName(QStringLiteral("PasswordEdit"));
    passwordLayout->addWidget(mRequirePassword);
    passwordLayout->addWidget(mPassword);
    layout->addWidget(password);
    // Typing decides the box: checked exactly when a password is there.
    connect(mPassword, &QLineEdit::textEdited, this,
            [this](const QString &text) { mRequirePassword->setChecked(!text.isEmpty()); });
    layout->addStretch();
    return tab;
}

QWidget *TBookSetupForm::createSizeTab()
{
    const PublicationSettings &settings = mChild.publication().Settings;
    mSize = new ScreenSizeChooser(150, setuptext::ScreenSize, setuptext::NumberOfColors, mTabs);
    mSize->setValues(std::clamp(settings.ScreenWidth, 150, 2000),
                     std::clamp(settings.ScreenHeight, 150, 2000), settings.ScreenColors);
    return mSize;
}

QWidget *TBookSetupForm::createIdleTab()
{
    const PublicationSettings &settings = mChild.publication().Settings;
    auto *tab = new QWidget(mTabs);
    auto *layout = new QVBoxLayout(tab);
    auto *row = new QHBoxLayout;
    mIdle = new QCheckBox(setuptext::IdleFor, tab);
    mIdle->setObjectName(QStringLiteral("IdleBox"));
    mIdle->setChecked(settings.AutoReturn);
    mMinutes = new QSpinBox(tab);
    mMinutes->setObjectName(QStringLiteral("MinutesEdit"));
    mMinutes->setRange(0, 60);
    mMinutes->setValue(std::clamp(settings.ReturnTime, 0, 60));
    row->addWidget(mIdle);
    row->addWidget(mMinutes);
    row->addWidget(new QLabel(setuptext::IdleMinutes, tab));
    row->addStretch();
    layout->addLayout(row);
    mIdleAction = new QPlainTextEdit(shownLines(settings.ReturnAction), tab);
    mIdleAction->setObjectName(QStringLiteral("IdleActionMemo"));
    layout->addWidget(mIdleAction);
    return tab;
}

QWidget *TBookSetupForm::createLanguageTab()
{
    auto *tab = new QWidget(mTabs);
    auto *layout = new QVBoxLayout(tab);
    auto *note = new QLabel(setuptext::LanguageNote, tab);
    note->setWordWrap(true);
    layout->addWidget(note);
    mGrid = new QTableWidget(LanguageStringCount, 2, tab);
    mGrid->setObjectName(QStringLiteral("LanguageGrid"));
    mGrid->horizontalHeader()->setVisible(false);
    mGrid->verticalHeader()->setVisible(false);
    mGrid->horizontalHeader()->setStretchLastSection(true);
    for (int i = 0; i < LanguageStringCount; ++i) {
        auto *description = new QTableWidgetItem(QLatin1String(LanguageStrings[size_t(i)].description));
        description->setFlags(Qt::ItemIsEnabled);
        mGrid->setItem(i, 0, description);
        mGrid->setItem(i, 1, new QTableWidgetItem);
    }
    mGrid->resizeColumnToContents(0);
    layout->addWidget(mGrid, 1);
    LanguageTexts texts;
    const auto &stored = mChild.publication().Settings.Language;
    std::copy(stored.begin(), stored.end(), texts.begin());
    setGridTexts(texts);

    auto *buttons = new QHBoxLayout;
    auto button = [this, tab, buttons](QLatin1String text, const char *name, auto handler) {
        auto *b = new QPushButton(text, tab);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
    };
    button(setuptext::LoadLanguage, "LoadLanguageBtn", [this] { loadLanguage(); });
    button(setuptext::SaveLanguage, "SaveLanguageBtn", [this] { saveLanguage(); });
    button(setuptext::ResetEnglish, "ResetEnglishBtn",
           [this] { setGridTexts(englishLanguageTexts()); });
    mDefault = new QCheckBox(setuptext::Default, tab);
    mDefault->setObjectName(QStringLiteral("DefaultBox"));
    buttons->addWidget(mDefault);
    layout->addLayout(buttons);
    return tab;
}

LanguageTexts TBookSetupForm::gridTexts() const
{
    LanguageTexts texts;
    for (int i = 0; i < LanguageStringCount; ++i)
        texts[size_t(i)] = mGrid->item(i, 1)->text();
    return texts;
}

void TBookSetupForm::setGridTexts(const LanguageTexts &texts)
{
    for (int i = 0; i < LanguageStringCount; ++i)
        mGrid->item(i, 1)->setText(texts[size_t(i)]);
}

void TBookSetupForm::loadIcon()
{
    const QString file = mDialogs.openFile(this, setuptext::SelectIcon, setuptext::IconFilter,
                                                 mIcon, mPrefs.ImageDir, mPrefs.WindowsFileSelector);
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().compare(QLatin1String("ICO"), Qt::CaseInsensitive) != 0) {
        mDialogs.alert(this, pagemsg::AppTitle, setuptext::NotAnIcon);
        return;
    }
    const QPixmap picture = iconPicture(file);
    // A file that does not show as an icon is passed over.
    if (picture.isNull())
        return;
    mIconPicture->setPixmap(picture.scaled(mIconPicture->size(), Qt::KeepAspectRatio));
    mIcon = file;
}

void TBookSetupForm::loadLanguage()
{
    const QString file =
        mDialogs.openFile(this, setuptext::LoadLanguageTitle, setuptext::LanguageFilter,
                                QString(), mPrefs.LanguageDir, mPrefs.WindowsFileSelector);
    if (file.isEmpty())
        return;
    LanguageTexts texts = gridTexts();
    if (const int error = loadLanguageFile(file, &texts); error != 0) {
        mDialogs.alert(this, setuptext::LoadLanguageTitle, ioErrorMessage(error));
        return;
    }
    setGridTexts(texts);
}

void TBookSetupForm::saveLanguage()
{
    QString file =
        mDialogs.saveFile(this, setuptext::SaveLanguageTitle, setuptext::LanguageFilter,
                                QString(), mPrefs.LanguageDir, mPrefs.WindowsFileSelector);
    if (file.isEmpty())
        return;
    file = forceExtension(file, QLatin1String(LanguageFileExtension));
    if (QFileInfo::exists(file)
        && mDialogs.ask(this, setuptext::SaveLanguageTitle,
                        setuptext::ReplaceExisting + file + QLatin1Char('?'), false)
               != ShellDialogs::Yes)
        return;
    if (const int error = saveLanguageFile(file, gridTexts()); error != 0)
        mDialogs.alert(this, setuptext::SaveLanguageTitle, ioErrorMessage(error));
}

void TBookSetupForm::accept()
{
    Publication &pub = mChild.publication();
    PublicationSettings &settings = pub.Settings;
    settings.Title = mTitle->text();
    settings.Author = mAuthor->text();
    settings.Icon = mIcon;
    settings.AllowPageUpDn = mAllowPages->isChecked();
    settings.TabButtons = mAllowButtons->isChecked();
    settings.TabWindows = mAllowWindows->isChecked();
    settings.AllowESC = mAllowEsc->isChecked();
    settings.FullScreen = mFullScreen->isChecked();
    settings.StayOnTop = mStayOnTop->isChecked();
    settings.Sizeable = mSizeable->isChecked();
    // The password counts only while its box is checked.
    settings.Password = mRequirePassword->isChecked() ? mPassword->text() : QString();
    settings.AutoReturn = mIdle->isChecked();
    settings.ReturnTime = mMinutes->value();
    settings.ReturnAction = joinedLines(mIdleAction->toPlainText());

    const bool resized = mSize->screenWidth() != settings.ScreenWidth
                         || mSize->screenHeight() != settings.ScreenHeight;
    settings.ScreenWidth = mSize->screenWidth();
    settings.ScreenHeight = mSize->screenHeight();
    const bool recoloured = mSize->screenColors() != settings.ScreenColors;
    settings.ScreenColors = mSize->screenColors();

    LanguageTexts defaults;
    std::copy(mPrefs.Language.begin(), mPrefs.Language.end(), defaults.begin());
    storeLanguageTexts(pub, gridTexts(), mDefault->isChecked() ? &defaults : nullptr);
    if (mDefault->isChecked())
        std::copy(defaults.begin(), defaults.end(), mPrefs.Language.begin());

    if (recoloured && pub.currentPage())
        AppPalette::instance().SetPaletteForColors(settings.ScreenColors,
                                                   pub.currentPage()->PagePalette);
    if (resized || recoloured)
        mChild.publicationReloaded();
    mChild.updateCaption();
    pub.Modified = true;
    QDialog::accept();
}

} // namespace vardeko
