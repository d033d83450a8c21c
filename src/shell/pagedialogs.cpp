// The small page dialogs: Add Pages, Move, Rename, Set Grid and New Publication.
#include "pagedialogs.h"

#include "alertdialog.h"
#include "shelldialogs.h"

#include <algorithm>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vardeko {

namespace {

QDialogButtonBox *okCancel(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

constexpr int TitleLength = 35;

} // namespace

// ---------------------------------------------------------------- Add Pages

TPageAddForm::TPageAddForm(const Page &anchor, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(pagetext::AddPagesCaption);
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    auto *insert = new QLabel(pagetext::Insert, this);
    mCount = new QSpinBox(this);
    mCount->setObjectName(QStringLiteral("CountEdit"));
    mCount->setRange(0, 999);
    mCount->setValue(1);
    insert->setBuddy(mCount);
    mPagesLabel = new QLabel(this);
    mPagesLabel->setObjectName(QStringLiteral("PagesLabel"));
    row->addWidget(insert);
    row->addWidget(mCount);
    row->addWidget(mPagesLabel);
    row->addStretch();
    layout->addLayout(row);
    mAfter = new QRadioButton(addPagesPlaceCaption(InsertPlace::After, anchor), this);
    mAfter->setObjectName(QStringLiteral("AfterBtn"));
    mBefore = new QRadioButton(addPagesPlaceCaption(InsertPlace::Before, anchor), this);
    mBefore->setObjectName(QStringLiteral("BeforeBtn"));
    mAfter->setChecked(true);
    layout->addWidget(mAfter);
    layout->addWidget(mBefore);
    mButtons = okCancel(this);
    layout->addWidget(mButtons);
    connect(mCount, &QSpinBox::valueChanged, this, &TPageAddForm::countChanged);
    countChanged(mCount->value());
}

int TPageAddForm::count() const
{
    return mCount->value();
}

InsertPlace TPageAddForm::place() const
{
    return mBefore->isChecked() ? InsertPlace::Before : InsertPlace::After;
}

QPushButton *TPageAddForm::okButton() const
{
    return mButtons->button(QDialogButtonBox::Ok);
}

void TPageAddForm::countChanged(int count)
{
    mPagesLabel->setText(addPagesCountLabel(count));
    okButton()->setEnabled(count > 0);
}

// ---------------------------------------------------------------- Move

TPageMoveForm::TPageMoveForm(const Publication &pub, const Page &page, const QString &mascot,
                             QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(pagetext::MoveCaption);
    auto *layout = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(pagetext::MovePage, this));
    auto *thisPage = new QLabel(pagetext::ThisPage, this);
    auto *name = new QLineEdit(page.Title, this);
    name->setObjectName(QStringLiteral("PageNameEdit"));
    name->setReadOnly(true);
    thisPage->setBuddy(name);
    left->addWidget(thisPage);
    left->addWidget(name);
    auto *places = new QHBoxLayout;
    auto *before = new QRadioButton(pagetext::Before, this);
    mAfter = new QRadioButton(pagetext::After, this);
    mAfter->setObjectName(QStringLiteral("AfterBtn"));
    before->setChecked(true);
    places->addWidget(before);
    places->addWidget(mAfter);
    left->addLayout(places);
    mList = new QListWidget(this);
    mList->setObjectName(QStringLiteral("PageList"));
    for (int i = 0; i < pub.pageCount(); ++i) {
        mList->addItem(pub.page(i)->Title);
        if (pub.page(i) == &page)
            mList->setCurrentRow(i);
    }
    left->addWidget(mList, 1);
    left->addWidget(okCancel(this));
    layout->addLayout(left, 1);

    // The mascot speaks the hint from a balloon beside the list.
    auto *right = new QVBoxLayout;
    auto *balloon = new QLabel(pagetext::MoveBalloon, this);
    balloon->setObjectName(QStringLiteral("Balloon"));
    balloon->setWordWrap(true);
    balloon->setFixedWidth(180);
    balloon->setStyleSheet(QStringLiteral(
        "QLabel { background: #ffffe1; border: 1px solid black; border-radius: 10px; padding: 6px; }"));
    auto *mascotLabel = new QLabel(this);
    mascotLabel->setObjectName(QStringLiteral("Mascot"));
    mascotLabel->setPixmap(mascotPicture(mascot));
    mascotLabel->setAccessibleName(mascot);
    mascotLabel->setAlignment(Qt::AlignCenter);
    right->addWidget(balloon);
    right->addWidget(mascotLabel);
    right->addStretch();
    layout->addLayout(right);
}

QString TPageMoveForm::targetName() const
{
    const QListWidgetItem *item = mList->currentItem();
    return item ? item->text() : QString();
}

InsertPlace TPageMoveForm::place() const
{
    return mAfter->isChecked() ? InsertPlace::After : InsertPlace::Before;
}

// ---------------------------------------------------------------- Rename

TPageRenameForm::TPageRenameForm(Publication &pub, Page &page, ShellDialogs &dialogs,
                                 QWidget *parent)
    : QDialog(parent)
    , mPub(pub)
    , mPage(page)
    , mDialogs(dialogs)
{
    setWindowTitle(pagetext::RenameCaption);
    auto *layout = new QFormLayout(this);
    auto *current = new QLabel(page.Title, this);
    current->setObjectName(QStringLiteral("CurrentTitle"));
    layout->addRow(pagetext::CurrentTitle, current);
    mTitle = new QLineEdit(this);
    mTitle->setObjectName(QStringLiteral("NewTitleEdit"));
    mTitle->setMaxLength(TitleLength);
    layout->addRow(pagetext::NewTitle, mTitle);
    layout->addRow(okCancel(this));
    mTitle->setFocus();
}

void TPageRenameForm::accept()
{
    const QString title = mTitle->text();
    const RenameResult result = renamePage(mPub, &mPage, title);
    if (result == RenameResult::NameTaken) {
        mDialogs.alert(this, pagemsg::AppTitle, nameTakenMessage(title));
        mTitle->setFocus();
        mTitle->selectAll();
        return;
    }
    mRenamed = result == RenameResult::Renamed;
    QDialog::accept();
}

// ---------------------------------------------------------------- Set Grid

TSetGridForm::TSetGridForm(int gridX, int gridY, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(pagetext::SetGridCaption);
    auto *layout = new QFormLayout(this);
    auto spin = [this](int value, const char *name) {
        auto *box = new QSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(MinGridSpacing, MaxGridSpacing);
        box->setValue(clampGridSpacing(value));
        return box;
    };
    mX = spin(gridX, "HorizontalEdit");
    mY = spin(gridY, "VerticalEdit");
    layout->addRow(pagetext::Horizontal, mX);
    layout->addRow(pagetext::Vertical, mY);
    layout->addRow(okCancel(this));
}

int TSetGridForm::gridX() const
{
    return clampGridSpacing(mX->value());
}

int TSetGridForm::gridY() const
{
    return clampGridSpacing(mY->value());
}

// ---------------------------------------------------------------- screen size and colours

namespace {
constexpr QSize FixedSizes[] = {{320, 200}, {640, 480}, {800, 600}, {1024, 768}};
constexpr int ColorCounts[] = {16, 256, 16777216};
} // namespace

ScreenSizeChooser::ScreenSizeChooser(int minimum, const QString &sizeTitle,
                                     const QString &colorsTitle, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *sizeBox = new QGroupBox(sizeTitle, this);
    auto *sizeLayout = new QGridLayout(sizeBox);
    mSizes = new QButtonGroup(this);
    const QLatin1String sizeTexts[] = {pagetext::Size320, pagetext::Size640, pagetext::Size800,
                                       pagetext::Size1024, pagetext::CustomSize};
    for (int i = 0; i < 5; ++i) {
        auto *button = new QRadioButton(sizeTexts[i], sizeBox);
        mSizes->addButton(button, i);
        sizeLayout->addWidget(button, i, 0);
    }
    mWidth = new QSpinBox(sizeBox);
    mWidth->setObjectName(QStringLiteral("WidthEdit"));
    mHeight = new QSpinBox(sizeBox);
    mHeight->setObjectName(QStringLiteral("HeightEdit"));
    for (QSpinBox *box : {mWidth, mHeight})
        box->setRange(minimum, 2000);
    auto *custom = new QHBoxLayout;
    custom->addWidget(mWidth);
    custom->addWidget(new QLabel(QStringLiteral("x"), sizeBox));
    custom->addWidget(mHeight);
    sizeLayout->addLayout(custom, 4, 1);
    layout->addWidget(sizeBox);

    auto *colorBox = new QGroupBox(colorsTitle, this);
    auto *colorLayout = new QVBoxLayout(colorBox);
    mColors = new QButtonGroup(this);
    const QLatin1String colorTexts[] = {pagetext::Colors16, pagetext::Colors256,
                                        pagetext::ColorsMillion};
    for (int i = 0; i < 3; ++i) {
        auto *button = new QRadioButton(colorTexts[i], colorBox);
        mColors->addButton(button, i);
        colorLayout->addWidget(button);
    }
    layout->addWidget(colorBox);

    connect(mSizes, &QButtonGroup::idClicked, this, [this](int id) {
        if (id < 4) {
            mWidth->setValue(FixedSizes[id].width());
            mHeight->setValue(FixedSizes[id].height());
        }
    });
    for (QSpinBox *box : {mWidth, mHeight})
        connect(box, &QSpinBox::editingFinished, this, &ScreenSizeChooser::matchSizeButton);
}

void ScreenSizeChooser::setValues(int width, int height, int colors)
{
    mWidth->setValue(width);
    mHeight->setValue(height);
    matchSizeButton();
    const int colorId = colors == 16 ? 0 : colors == 256 ? 1 : 2;
    mColors->button(colorId)->setChecked(true);
}

void ScreenSizeChooser::matchSizeButton()
{
    const QSize size(mWidth->value(), mHeight->value());
    int id = 4;
    for (int i = 0; i < 4; ++i)
        if (FixedSizes[i] == size)
            id = i;
    mSizes->button(id)->setChecked(true);
}

int ScreenSizeChooser::screenWidth() const
{
    return mWidth->value();
}

int ScreenSizeChooser::screenHeight() const
{
    return mHeight->value();
}

int ScreenSizeChooser::screenColors() const
{
    return ColorCounts[std::max(0, mColors->checkedId())];
}

QRadioButton *ScreenSizeChooser::sizeButton(int index) const
{
    return qobject_cast<QRadioButton *>(mSizes->button(index));
}

QRadioButton *ScreenSizeChooser::colorButton(int index) const
{
    return qobject_cast<QRadioButton *>(mColors->button(index));
}

TNewPubForm::TNewPubForm(int width, int height, int colors, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(pagetext::NewPubCaption);
    auto *layout = new QVBoxLayout(this);
    // The remembered size for new publications may be as small as 25 pixels.
    mChooser = new ScreenSizeChooser(25, pagetext::SelectSize, pagetext::SelectColors, this);
    mChooser->setValues(width, height, colors);
    layout->addWidget(mChooser);
    layout->addWidget(okCancel(this));
}

} // namespace vardeko
