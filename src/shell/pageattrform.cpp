// The page attributes dialog with its palette editor, and the Copy to All Pages choice.
#include "pageattrform.h"

#include "actionmemo.h"
#include "filecontents.h"
#include "helpviewer.h"
#include "ioerrors.h"
#include "pageeffects.h"
#include "pagecommands.h"
#include "paletteediting.h"
#include "palettefile.h"
#include "preferences.h"
#include "shelldialogs.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace vardeko {

namespace {

QColor toQColor(ColorRef color)
{
    const auto c = quint32(color);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

QColor toQColor(const PaletteEntry &entry)
{
    return QColor(entry.red, entry.green, entry.blue);
}

PaletteTable currentTable(const Page &page)
{
    return AppPalette::instance().GetAppPaletteTable().value_or(page.PagePalette);
}

} // namespace

bool paletteDisplay()
{
    return ScreenColorCount() == 256;
}

// ---------------------------------------------------------------- Copy to All Pages

TCopyToAllForm::TCopyToAllForm(bool paletteShown, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(pagemsg::CopyAttributesTitle);
    auto *layout = new QVBoxLayout(this);
    auto *group = new QGroupBox(attrtext::ItemsToCopy, this);
    auto *boxes = new QVBoxLayout(group);
    mBackground = new QCheckBox(attrtext::CopyBackground, group);
    mEffect = new QCheckBox(attrtext::CopyEffect, group);
    mAction = new QCheckBox(attrtext::CopyAction, group);
    mPalette = new QCheckBox(attrtext::CopyPalette, group);
    for (QCheckBox *box : {mBackground, mEffect, mAction, mPalette})
        boxes->addWidget(box);
    mPalette->setVisible(paletteShown);
    layout->addWidget(group);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

unsigned TCopyToAllForm::items() const
{
    unsigned items = 0;
    if (mBackground->isChecked())
        items |= CopyBackground;
    if (mEffect->isChecked())
        items |= CopyDisplayEffect;
    if (mAction->isChecked())
        items |= CopyActionScript;
    // A hidden Palette box cannot have been chosen.
    if (!mPalette->isHidden() && mPalette->isChecked())
        items |= CopyPalette;
    return items;
}

QCheckBox *TCopyToAllForm::box(CopyToAllItem item) const
{
    switch (item) {
    case CopyBackground:
        return mBackground;
    case CopyDisplayEffect:
        return mEffect;
    case CopyActionScript:
        return mAction;
    case CopyPalette:
        return mPalette;
    }
    return nullptr;
}

// ---------------------------------------------------------------- palette grid

PaletteGrid::PaletteGrid(QWidget *parent)
    : QWidget(parent)
    , mTable(defaultPaletteTable())
{
    setObjectName(QStringLiteral("PaletteGrid"));
    const int side = PaletteGridCells * PaletteCellPixels + 1;
    setFixedSize(side, side);
    mTimer = new QTimer(this);
    mTimer->setInterval(500);
    connect(mTimer, &QTimer::timeout, this, [this] {
        mBlink = !mBlink;
        update();
    });
}

void PaletteGrid::setTable(const PaletteTable &table)
{
    mTable = table;
    update();
}

void PaletteGrid::select(int number)
{
    mSelected = std::clamp(number, 0, PaletteGridCells * PaletteGridCells - 1);
    update();
    emit cellSelected(mSelected);
}

void PaletteGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (int number = 0; number < int(mTable.size()); ++number) {
        const QPoint origin = paletteCellOrigin(number);
        painter.fillRect(QRect(origin, QSize(PaletteCellPixels, PaletteCellPixels)),
                         toQColor(mTable[size_t(number)]));
        painter.setPen(Qt::black);
        painter.drawRect(QRect(origin, QSize(PaletteCellPixels, PaletteCellPixels)));
    }
    // The selected cell's outline alternates between two colours.
    painter.setPen(QPen(mBlink ? Qt::white : Qt::black, 2));
    painter.drawRect(QRect(paletteCellOrigin(mSelected), QSize(PaletteCellPixels, PaletteCellPixels)));
}

void PaletteGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    mPressed = paletteCellAt(event->position().toPoint());
    select(mPressed);
}

void PaletteGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || mPressed < 0)
        return;
    const int from = mPressed;
    mPressed = -1;
    const int to = paletteCellAt(event->position().toPoint());
    if (to != from)
        emit colorDragged(from, to);
}

void PaletteGrid::showEvent(QShowEvent *)
{
    mTimer->start();
}

void PaletteGrid::hideEvent(QHideEvent *)
{
    mTimer->stop();
}

// ---------------------------------------------------------------- the dialog

TPageAttrForm::TPageAttrForm(Publication &pub, Page &page, bool masterPage, Preferences &prefs,
                             ShellDialogs &dialogs, QWidget *parent)
    : QDialog(parent)
    , mPub(pub)
    , mPage(page)
    , mMaster(masterPage)
    , mPrefs(prefs)
    , mDialogs(dialogs)
    , mPaletteShown(paletteDisplay())
{
    setObjectName(QStringLiteral("PageAttrForm"));
    const QString caption = attrtext::Caption;
    setWindowTitle(masterPage ? caption + attrtext::MasterSuffix : caption);
    auto *layout = new QVBoxLayout(this);
    mTabs = new QTabWidget(this);
    layout->addWidget(mTabs);
    if (!mMaster) {
        mTabs->addTab(createGeneralTab(), attrtext::GeneralTab);
        mTabs->addTab(createActionTab(), attrtext::ActionTab);
    }
    if (mPaletteShown)
        mTabs->addTab(createPaletteTab(), attrtext::PaletteTab);

    auto *bottom = new QHBoxLayout;
    mCopyToAll = new QCheckBox(attrtext::CopyToAll, this);
    mCopyToAll->setObjectName(QStringLiteral("CopyToAllBox"));
    bottom->addWidget(mCopyToAll);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *help = buttons->addButton(attrtext::HelpButton, QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("HelpBtn"));
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { showHelpTopic(this, PageAttributesHelpTopic); });
    connect(buttons, &QDialogButtonBox::accepted, this, &TPageAttrForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TPageAttrForm::reject);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
    if (mTitle)
        mTitle->setFocus();
}

QWidget *TPageAttrForm::createGeneralTab()
{
    const PageAttributes attributes = pageAttributes(mPage);
    auto *tab = new QWidget(mTabs);
    auto *layout = new QVBoxLayout(tab);
    auto *titleRow = new QFormLayout;
    mTitle = new QLineEdit(attributes.title, tab);
    mTitle->setObjectName(QStringLiteral("TitleEdit"));
    mTitle->setMaxLength(MaxGeneratedTitle);
    titleRow->addRow(attrtext::PageTitle, mTitle);
    layout->addLayout(titleRow);

    auto *background = new QGroupBox(attrtext::Background, tab);
    auto *grid = new QGridLayout(background);
    mSolid = new QRadioButton(attrtext::SolidColor, background);
    mSolid->setObjectName(QStringLiteral("SolidBtn"));
    mColorBox = new QLabel(background);
    mColorBox->setObjectName(QStringLiteral("ColorBox"));
    mColorBox->setFixedSize(40, 20);
    auto *colorButton = new QToolButton(background);
    colorButton->setObjectName(QStringLiteral("ColorBtn"));
    colorButton->setArrowType(Qt::DownArrow);
    mWallpaperChoice = new QRadioButton(attrtext::Wallpaper, background);
    mWallpaperChoice->setObjectName(QStringLiteral("WallpaperBtn"));
    mWallpaper = new QLineEdit(attributes.wallpaper, background);
    mWallpaper->setObjectName(QStringLiteral("WallpaperEdit"));
    auto *browse = new QToolButton(background);
    browse->setObjectName(QStringLiteral("BrowseBtn"));
    browse->setText(QStringLiteral("..."));
    mShowMaster = new QCheckBox(attrtext::ShowMaster, background);
    mShowMaster->setObjectName(QStringLiteral("ShowMasterBox"));
    mShowMaster->setChecked(attributes.showMaster);
    grid->addWidget(mSolid, 0, 0);
    grid->addWidget(mColorBox, 0, 1);
    grid->addWidget(colorButton, 0, 2);
    grid->addWidget(mWallpaperChoice, 1, 0);
    grid->addWidget(mWallpaper, 1, 1);
    grid->addWidget(browse, 1, 2);
    grid->addWidget(mShowMaster, 2, 0, 1, 3);
    layout->addWidget(background);
    (attributes.wallpaperChosen ? mWallpaperChoice : mSolid)->setChecked(true);
    showColor(attributes.color);
    connect(colorButton, &QToolButton::clicked, this, &TPageAttrForm::chooseColor);
    connect(browse, &QToolButton::clicked, this, [this] { chooseWallpaper(); });
    connect(mWallpaper, &QLineEdit::textEdited, this, [this] { mWallpaperChoice->setChecked(true); });

    auto *effects = new QGroupBox(attrtext::SpecialEffects, tab);
    auto *form = new QFormLayout(effects);
    mEffect = new QComboBox(effects);
    mEffect->setObjectName(QStringLiteral("EffectList"));
    for (int effect = 0; !effectName(effect).isEmpty(); ++effect)
        mEffect->addItem(effectName(effect));
    mEffect->setCurrentIndex(std::min<int>(attributes.effect, mEffect->count() - 1));
    form->addRow(attrtext::DisplayEffect, mEffect);
    auto *speedRow = new QHBoxLayout;
    mSpeed = new QSlider(Qt::Horizontal, effects);
    mSpeed->setObjectName(QStringLiteral("SpeedBar"));
    mSpeed->setRange(0, 10);
    mSpeed->setValue(attributes.speed);
    speedRow->addWidget(new QLabel(attrtext::Fast, effects));
    speedRow->addWidget(mSpeed);
    speedRow->addWidget(new QLabel(attrtext::Slow, effects));
    form->addRow(attrtext::Speed, speedRow);
    layout->addWidget(effects);
    layout->addStretch();
    return tab;
}

QWidget *TPageAttrForm::createActionTab()
{
    auto *tab = new QWidget(mTabs);
    auto *layout = new QVBoxLayout(tab);
    // The memo with its caret read-out, clipboard and file buttons.
    mActionPanel = new ActionMemoPanel(tab);
    mAction = mActionPanel->memo();
    mActionPanel->setScript(mPage.PageAction);
    mActionPanel->setPublication(&mPub, mPub.FileName.isEmpty() ? QString() : QFileInfo(mPub.FileName).absolutePath());
    QFont font(mPrefs.EditorFontName, mPrefs.EditorFontSize);
    font.setBold(mPrefs.EditorFontStyle & 1);
    font.setItalic(mPrefs.EditorFontStyle & 2);
    font.setUnderline(mPrefs.EditorFontStyle & 4);
    font.setStrikeOut(mPrefs.EditorFontStyle & 8);
    mAction->setFont(font);
    QPalette colors = mAction->palette();
    colors.setColor(QPalette::Base, toQColor(mPrefs.EditorBkndColor));
    colors.setColor(QPalette::Text, toQColor(mPrefs.EditorTextColor));
    mAction->setPalette(colors);
    layout->addWidget(mActionPanel);
    return tab;
}

QWidget *TPageAttrForm::createPaletteTab()
{
    auto *tab = new QWidget(mTabs);
    auto *layout = new QHBoxLayout(tab);
    mGrid = new PaletteGrid(tab);
    mGrid->setTable(currentTable(mPage));
    layout->addWidget(mGrid, 0, Qt::AlignTop);

    auto *right = new QGridLayout;
    const QLatin1String names[] = {attrtext::Red, attrtext::Green, attrtext::Blue};
    for (int i = 0; i < 3; ++i) {
        mBars[i] = new QScrollBar(Qt::Horizontal, tab);
        mBars[i]->setObjectName(QStringLiteral("ColorBar%1").arg(i));
        mBars[i]->setRange(0, 255);
        mBarValues[i] = new QLabel(QStringLiteral("0"), tab);
        auto *label = new QLabel(names[i], tab);
        label->setBuddy(mBars[i]);
        right->addWidget(label, i, 0);
        right->addWidget(mBars[i], i, 1);
        right->addWidget(mBarValues[i], i, 2);
        connect(mBars[i], &QScrollBar::valueChanged, this, &TPageAttrForm::barMoved);
        connect(mBars[i], &QScrollBar::sliderReleased, this, &TPageAttrForm::barReleased);
        // Clicks on the arrows and the trough change the colour at once.
        connect(mBars[i], &QScrollBar::actionTriggered, this, [this] {
            QTimer::singleShot(0, this, [this] { barReleased(); });
        });
    }
    mBrightness = new QScrollBar(Qt::Horizontal, tab);
    mBrightness->setObjectName(QStringLiteral("BrightnessBar"));
    mBrightness->setRange(0, 255);
    mBrightnessValue = new QLabel(QStringLiteral("0"), tab);
    auto *brightness = new QLabel(attrtext::Brightness, tab);
    brightness->setBuddy(mBrightness);
    right->addWidget(brightness, 3, 0);
    right->addWidget(mBrightness, 3, 1);
    right->addWidget(mBrightnessValue, 3, 2);
    connect(mBrightness, &QScrollBar::valueChanged, this, &TPageAttrForm::brightnessMoved);
    connect(mBrightness, &QScrollBar::sliderReleased, this, &TPageAttrForm::barReleased);
    right->addWidget(new QLabel(attrtext::ColorNumber, tab), 4, 0);
    mNumber = new QLabel(tab);
    mNumber->setObjectName(QStringLiteral("ColorNumber"));
    right->addWidget(mNumber, 4, 1);
    mSample = new QLabel(tab);
    mSample->setObjectName(QStringLiteral("Sample"));
    mSample->setFixedSize(60, 30);
    mSample->setAutoFillBackground(true);
    right->addWidget(mSample, 5, 1);

    auto button = [this, tab](QLatin1String text, const char *name, auto handler) {
        auto *b = new QPushButton(text, tab);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    right->addWidget(button(attrtext::ResetPalette, "ResetPaletteBtn",
                            [this] { applyTable(mPage.PagePalette); }),
                     6, 0);
    right->addWidget(button(attrtext::ResetColor, "ResetColorBtn",
                            [this] {
                                PaletteTable table = currentTable(mPage);
                                const auto n = size_t(mGrid->selected());
                                table[n] = mPage.PagePalette[n];
                                applyTable(table);
                            }),
                     6, 1);
    right->addWidget(button(attrtext::LoadPalette, "LoadPaletteBtn", [this] { loadPalette(); }), 7, 0);
    right->addWidget(button(attrtext::SavePalette, "SavePaletteBtn", [this] { savePalette(); }), 7, 1);
    layout->addLayout(right, 1);

    connect(mGrid, &PaletteGrid::cellSelected, this, &TPageAttrForm::cellSelected);
    connect(mGrid, &PaletteGrid::colorDragged, this, &TPageAttrForm::colorDragged);
    cellSelected(mGrid->selected());
    return tab;
}

void TPageAttrForm::setColor(ColorRef color)
{
    showColor(color);
    // Choosing a colour selects Solid Color.
    if (mSolid)
        mSolid->setChecked(true);
}

void TPageAttrForm::showColor(ColorRef color)
{
    mColor = color;
    if (mColorBox)
        mColorBox->setStyleSheet(QStringLiteral("background: %1; border: 1px solid black;")
                                     .arg(toQColor(color).name()));
}

void TPageAttrForm::chooseColor()
{
    const QColor chosen = QColorDialog::getColor(toQColor(mColor), this);
    if (chosen.isValid())
        setColor(rgbColor(chosen.red(), chosen.green(), chosen.blue()));
}

void TPageAttrForm::chooseWallpaper()
{
    const QString file = mDialogs.openFile(this, attrtext::SelectImage, attrtext::ImageFilter,
                                                 mWallpaper->text(), mPrefs.ImageDir,
                                                 mPrefs.WindowsFileSelector);
    if (file.isEmpty())
        return;
    mWallpaper->setText(file);
    mWallpaperChoice->setChecked(true);
}

void TPageAttrForm::cellSelected(int number)
{
    const PaletteTable table = currentTable(mPage);
    const PaletteEntry &entry = table[size_t(number)];
    mLoadingBars = true;
    mBars[0]->setValue(entry.red);
    mBars[1]->setValue(entry.green);
    mBars[2]->setValue(entry.blue);
    mLastBrightness = paletteBrightness(entry);
    mBrightness->setValue(mLastBrightness);
    mBrightnessValue->setNum(mLastBrightness);
    mLoadingBars = false;
    mNumber->setNum(number);
    barMoved();
}

void TPageAttrForm::barMoved()
{
    for (int i = 0; i < 3; ++i)
        mBarValues[i]->setNum(mBars[i]->value());
    QPalette colors = mSample->palette();
    colors.setColor(QPalette::Window,
                    QColor(mBars[0]->value(), mBars[1]->value(), mBars[2]->value()));
    mSample->setPalette(colors);
}

void TPageAttrForm::barReleased()
{
    if (mLoadingBars)
        return;
    PaletteTable table = currentTable(mPage);
    PaletteEntry &entry = table[size_t(mGrid->selected())];
    entry.red = quint8(mBars[0]->value());
    entry.green = quint8(mBars[1]->value());
    entry.blue = quint8(mBars[2]->value());
    applyTable(table);
}

void TPageAttrForm::brightnessMoved(int value)
{
    mBrightnessValue->setNum(value);
    if (mLoadingBars)
        return;
    const int delta = value - mLastBrightness;
    mLastBrightness = value;
    PaletteEntry entry;
    entry.red = quint8(mBars[0]->value());
    entry.green = quint8(mBars[1]->value());
    entry.blue = quint8(mBars[2]->value());
    const PaletteEntry shifted = shiftBrightness(entry, delta);
    mLoadingBars = true;
    mBars[0]->setValue(shifted.red);
    mBars[1]->setValue(shifted.green);
    mBars[2]->setValue(shifted.blue);
    mLoadingBars = false;
    barMoved();
}

void TPageAttrForm::colorDragged(int from, int to)
{
    PaletteTable table = currentTable(mPage);
    if (!movePaletteColor(table, from, to))
        return;
    applyTable(table);
    mGrid->select(to);
}

void TPageAttrForm::applyTable(const PaletteTable &table)
{
    AppPalette::instance().SetPaletteForColors(256, table);
    mGrid->setTable(table);
    cellSelected(mGrid->selected());
    // Every window shows the edited palette at once.
    for (QWidget *window : QApplication::topLevelWidgets())
        window->update();
}

void TPageAttrForm::loadPalette()
{
    const QString file = mDialogs.openFile(this, palettemsg::LoadTitle, palettemsg::LoadFilter,
                                                 QString(), mPrefs.PaletteDir,
                                                 mPrefs.WindowsFileSelector);
    if (file.isEmpty())
        return;
    PaletteTable table = currentTable(mPage);
    if (LoadPaletteFile(file, table, false) != 0) {
        mDialogs.alert(this, palettemsg::LoadTitle, paletteLoadFailedMessage(file));
        return;
    }
    applyTable(table);
}

void TPageAttrForm::savePalette()
{
    QString file = mDialogs.saveFile(this, palettemsg::SaveTitle, palettemsg::SaveFilter,
                                           QString(), mPrefs.PaletteDir, mPrefs.WindowsFileSelector);
    if (file.isEmpty())
        return;
    file = forceExtension(file, palettemsg::Extension);
    if (QFileInfo::exists(file)
        && mDialogs.ask(this, palettemsg::SaveTitle, attrtext::ReplaceExisting + file + QLatin1Char('?'),
                        false)
               != ShellDialogs::Yes)
        return;
    if (const int error = SavePaletteFile(file, currentTable(mPage)); error != 0)
        mDialogs.alert(this, palettemsg::SaveTitle, ioErrorMessage(error));
}

void TPageAttrForm::accept()
{
    if (!mMaster) {
        PageAttributes attributes;
        attributes.title = mTitle->text();
        attributes.color = mColor;
        attributes.wallpaperChosen = mWallpaperChoice->isChecked();
        attributes.wallpaper = mWallpaper->text();
        attributes.showMaster = mShowMaster->isChecked();
        attributes.effect = quint8(std::max(0, mEffect->currentIndex()));
        attributes.speed = quint8(mSpeed->value());
        attributes.action = mActionPanel->script();
        const RenameResult result = applyPageAttributes(mPub, mPage, attributes);
        if (result == RenameResult::NameTaken) {
            mDialogs.alert(this, pagemsg::AppTitle, nameTakenMessage(attributes.title));
            mTabs->setCurrentIndex(0);
            mTitle->setFocus();
            mTitle->selectAll();
            return;
        }
    }
    if (mPaletteShown)
        mPage.PagePalette = currentTable(mPage);
    mPub.Modified = true;

    if (mCopyToAll->isChecked()) {
        if (mMaster) {
            if (mDialogs.ask(this, pagemsg::CopyAttributesTitle, pagemsg::CopyPaletteQuestion, false)
                == ShellDialogs::Yes)
                copyToAllPages(mPub, mPage, CopyPalette);
        } else {
            TCopyToAllForm copy(mPaletteShown, this);
            if (PageCommands::runDialog(copy))
                copyToAllPages(mPub, mPage, copy.items());
        }
    }
    QDialog::accept();
}

void TPageAttrForm::reject()
{
    // Cancel puts the page's own palette back.
    if (mPaletteShown && !AppPalette::instance().IsAppPalette(mPage.PagePalette))
        AppPalette::instance().SetPaletteForColors(256, mPage.PagePalette);
    QDialog::reject();
}

} // namespace vardeko
