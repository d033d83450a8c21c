// "Article Attributes" and "Image Attributes": the file and the window options.
#include "objectdialogs.h"

#include "dialogbuttons.h"
#include "dialoghost.h"
#include "dialogtexts.h"
#include "filenames.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vardeko {

// Where a browse for a stored file name starts: the file's folder when it names one that
// exists, else the folder last used.
QString browseStartDir(const QString &stored, const QString &publicationDir,
                       const QString &lastUsed)
{
    if (stored.trimmed().isEmpty())
        return lastUsed;
    const QString found = locateFile(stored.trimmed(), publicationDir);
    if (!found.isEmpty())
        return QFileInfo(found).absolutePath();
    return lastUsed;
}

WindowAttributesDialog::WindowAttributesDialog(ArticleData &article, const QString &publicationDir,
                                               QWidget *parent)
    : QDialog(parent)
    , mArticle(&article)
    , mPublicationDir(publicationDir)
{
    build(QString(DialogText::ArticleCaption), true);
    FName->setText(article.FileName);
    WordWrapBtn->setChecked(article.WordWrap);
    loadScrollBars(article.WindowFlags, article.VScrollPos, article.HScrollPos);
    updateEnabling();
}

WindowAttributesDialog::WindowAttributesDialog(PictureData &picture, const QString &publicationDir,
                                               QWidget *parent)
    : QDialog(parent)
    , mPicture(&picture)
    , mPublicationDir(publicationDir)
{
    build(QString(DialogText::ImageCaption), false);
    FName->setText(picture.FileName);
    SizeToFitBtn->setChecked(picture.Scale);
    Aspectbtn->setChecked(picture.AspectRatio);
    loadScrollBars(picture.WindowFlags, picture.VScrollPos, picture.HScrollPos);
    updateEnabling();
}

void WindowAttributesDialog::build(const QString &caption, bool isArticle)
{
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);

    auto *fileRow = new QHBoxLayout;
    FName = new QLineEdit(this);
    FName->setObjectName(QStringLiteral("FName"));
    auto *fileLabel = new QLabel(QString(DialogText::FileLabel), this);
    fileLabel->setBuddy(FName);
    BrowseBtn = new QPushButton(QString(DialogText::Browse), this);
    BrowseBtn->setObjectName(QStringLiteral("BrowseBtn"));
    BrowseBtn->setAutoDefault(false);
    connect(BrowseBtn, &QPushButton::clicked, this, &WindowAttributesDialog::browse);
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(FName, 1);
    fileRow->addWidget(BrowseBtn);
    layout->addLayout(fileRow);

    if (isArticle) {
        WordWrapBtn = new QCheckBox(QString(DialogText::WordWrap), this);
        WordWrapBtn->setObjectName(QStringLiteral("WordWrapBtn"));
        layout->addWidget(WordWrapBtn);
    } else {
        SizeToFitBtn = new QCheckBox(QString(DialogText::SizeToFit), this);
        SizeToFitBtn->setObjectName(QStringLiteral("SizeToFitBtn"));
        Aspectbtn = new QCheckBox(QString(DialogText::AspectRatio), this);
        Aspectbtn->setObjectName(QStringLiteral("Aspectbtn"));
        layout->addWidget(SizeToFitBtn);
        auto *aspectRow = new QHBoxLayout;
        aspectRow->addSpacing(20);
        aspectRow->addWidget(Aspectbtn);
        layout->addLayout(aspectRow);
        connect(SizeToFitBtn, &QCheckBox::toggled, this, &WindowAttributesDialog::updateEnabling);
    }

    auto *scrollBox = new QGroupBox(QString(DialogText::ScrollBars), this);
    auto *grid = new QGridLayout(scrollBox);
    mScroll.VertScrollBtn = new QCheckBox(QString(DialogText::VertScroll), scrollBox);
    mScroll.VertScrollBtn->setObjectName(QStringLiteral("VertScrollBtn"));
    mScroll.HorzScrollBtn = new QCheckBox(QString(DialogText::HorzScroll), scrollBox);
    mScroll.HorzScrollBtn->setObjectName(QStringLiteral("HorzScrollBtn"));
    // Each pair is its own exclusive group: they sit in separate widgets.
    auto *vSide = new QWidget(scrollBox);
    auto *vLayout = new QHBoxLayout(vSide);
    vLayout->setContentsMargins(20, 0, 0, 0);
    mScroll.LeftBtn = new QRadioButton(QString(DialogText::ScrollLeft), vSide);
    mScroll.LeftBtn->setObjectName(QStringLiteral("LeftBtn"));
    mScroll.RightBtn = new QRadioButton(QString(DialogText::ScrollRight), vSide);
    mScroll.RightBtn->setObjectName(QStringLiteral("RightBtn"));
    vLayout->addWidget(mScroll.LeftBtn);
    vLayout->addWidget(mScroll.RightBtn);
    auto *hSide = new QWidget(scrollBox);
    auto *hLayout = new QHBoxLayout(hSide);
    hLayout->setContentsMargins(20, 0, 0, 0);
    mScroll.TopBtn = new QRadioButton(QString(DialogText::ScrollTop), hSide);
    mScroll.TopBtn->setObjectName(QStringLiteral("TopBtn"));
    mScroll.BottomBtn = new QRadioButton(QString(DialogText::ScrollBottom), hSide);
    mScroll.BottomBtn->setObjectName(QStringLiteral("BottomBtn"));
    hLayout->addWidget(mScroll.TopBtn);
    hLayout->addWidget(mScroll.BottomBtn);
    grid->addWidget(mScroll.VertScrollBtn, 0, 0);
    grid->addWidget(vSide, 1, 0);
    grid->addWidget(mScroll.HorzScrollBtn, 0, 1);
    grid->addWidget(hSide, 1, 1);
    layout->addWidget(scrollBox);
    connect(mScroll.VertScrollBtn, &QCheckBox::toggled, this,
            &WindowAttributesDialog::updateEnabling);
    connect(mScroll.HorzScrollBtn, &QCheckBox::toggled, this,
            &WindowAttributesDialog::updateEnabling);

    addOkCancel(this, layout);
    FName->setFocus();
}

void WindowAttributesDialog::loadScrollBars(quint8 flags, quint8 vpos, quint8 hpos)
{
    mScroll.VertScrollBtn->setChecked(flags & VScrollBarOn);
    mScroll.HorzScrollBtn->setChecked(flags & HScrollBarOn);
    (vpos == 1 ? mScroll.LeftBtn : mScroll.RightBtn)->setChecked(true);
    (hpos == 8 ? mScroll.TopBtn : mScroll.BottomBtn)->setChecked(true);
}

void WindowAttributesDialog::storeScrollBars(quint8 &flags, quint8 &vpos, quint8 &hpos) const
{
    // Only the two scroll bar bits belong to this dialog.
    flags = quint8(flags & ~(VScrollBarOn | HScrollBarOn));
    if (mScroll.VertScrollBtn->isChecked())
        flags |= VScrollBarOn;
    if (mScroll.HorzScrollBtn->isChecked())
        flags |= HScrollBarOn;
    vpos = mScroll.LeftBtn->isChecked() ? 1 : 4;
    hpos = mScroll.TopBtn->isChecked() ? 8 : 1;
}

void WindowAttributesDialog::updateEnabling()
{
    if (Aspectbtn)
        Aspectbtn->setEnabled(SizeToFitBtn->isChecked());
    mScroll.LeftBtn->setEnabled(mScroll.VertScrollBtn->isChecked());
    mScroll.RightBtn->setEnabled(mScroll.VertScrollBtn->isChecked());
    mScroll.TopBtn->setEnabled(mScroll.HorzScrollBtn->isChecked());
    mScroll.BottomBtn->setEnabled(mScroll.HorzScrollBtn->isChecked());
}

void WindowAttributesDialog::browse()
{
    DialogHost &host = dialogHost();
    const DialogFolder folder = mArticle ? DialogFolder::Articles : DialogFolder::Images;
    const QString start = browseStartDir(FName->text(), mPublicationDir, host.folder(folder));
    const QString chosen = mArticle ? host.openFileName(this, QString(DialogText::SelectArticle),
                                                        start, QString(DialogText::ArticleFilter))
                                    : host.openFileName(this, QString(DialogText::SelectImage),
                                                        start, QString(DialogText::ImageFilter));
    if (chosen.isEmpty())
        return;
    FName->setText(chosen);
    if (mPicture)
        host.setFolder(DialogFolder::Images, QFileInfo(chosen).absolutePath());
}

void WindowAttributesDialog::accept()
{
    if (mArticle) {
        mArticle->FileName = FName->text().trimmed();
        mArticle->WordWrap = WordWrapBtn->isChecked();
        storeScrollBars(mArticle->WindowFlags, mArticle->VScrollPos, mArticle->HScrollPos);
        mArticle->ReformatNeeded = true;
    } else {
        mPicture->FileName = FName->text().trimmed();
        mPicture->Scale = SizeToFitBtn->isChecked();
        mPicture->AspectRatio = SizeToFitBtn->isChecked() && Aspectbtn->isChecked();
        storeScrollBars(mPicture->WindowFlags, mPicture->VScrollPos, mPicture->HScrollPos);
    }
    QDialog::accept();
}

} // namespace vardeko
