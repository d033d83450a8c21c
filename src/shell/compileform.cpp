// Book > Compile and Book > Archive: the "Compile Book" settings dialog, the archive
// dialogs, and the progress of both.
#include "compileform.h"

#include "alertdialog.h"
#include "archive.h"
#include "childform.h"
#include "compiler.h"
#include "helpviewer.h"
#include "ioerrors.h"
#include "mainform.h"
#include "pagepainter.h"
#include "progressreport.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vardeko {

namespace {

const char CompileTitle[] = "Compile Book";

QColor toColor(ColorRef c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

QString withExtension(const QString &name, const QString &extension)
{
    const QFileInfo info(name);
    const QString dir = name.left(name.size() - info.fileName().size());
    return dir + info.completeBaseName() + extension;
}

// Paints the setup preview through its owner.
class PreviewBox : public QWidget
{
public:
    PreviewBox(std::function<void(QWidget *)> paint, QWidget *parent)
        : QWidget(parent)
        , mPaint(std::move(paint))
    {
        setMinimumSize(160, 100);
    }

protected:
    void paintEvent(QPaintEvent *) override { mPaint(this); }

private:
    std::function<void(QWidget *)> mPaint;
};

QPushButton *browseButton(QWidget *parent)
{
    auto *b = new QPushButton(QStringLiteral("..."), parent);
    b->setFixedWidth(32);
    return b;
}

QWidget *row(QWidget *parent, QWidget *edit, QWidget *button)
{
    auto *w = new QWidget(parent);
    auto *l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(edit);
    if (button)
        l->addWidget(button);
    return w;
}

} // namespace

QColor previewRowColor(ColorRef start, ColorRef end, int row, int height)
{
    if (height <= 0)
        return toColor(start);
    auto channel = [&](int shift) {
        const int from = (start >> shift) & 0xFF;
        const int to = (end >> shift) & 0xFF;
        return std::clamp(from + (to - from) * row / height, 0, 255);
    };
    return QColor(channel(0), channel(8), channel(16));
}

TCompileForm::TCompileForm(Publication &pub, const QStringList &fonts, const QString &pubDir, QWidget *parent)
    : QDialog(parent)
    , mPub(pub)
{
    setObjectName(QStringLiteral("CompileForm"));
    setWindowTitle(QLatin1String(CompileTitle));
    ask = [this](const QString &title, const QString &question) {
        return AskYesNo(title, question, this) == YesNoAnswer::Yes;
    };
    tell = [this](const QString &title, const QString &message) { AlertDialog(title, message, this); };
    auto *layout = new QVBoxLayout(this);
    PageControl = new QTabWidget(this);
    layout->addWidget(PageControl);

    // General Settings
    auto *general = new QWidget;
    auto *g = new QVBoxLayout(general);
    auto *nameLabel = new QLabel(QStringLiteral("&Compile to:"), general);
    NameEdit = new QLineEdit(general);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    nameLabel->setBuddy(NameEdit);
    auto *nameBrowse = browseButton(general);
    g->addWidget(nameLabel);
    g->addWidget(row(general, NameEdit, nameBrowse));
    auto *typeBox = new QGroupBox(QStringLiteral("Type of Compiled Publication to Create:"), general);
    auto *t = new QVBoxLayout(typeBox);
    AppBtn = new QRadioButton(QStringLiteral("&Application (EXE)"), typeBox);
    ScrBtn = new QRadioButton(QStringLiteral("&Screen Saver (SCR)"), typeBox);
    t->addWidget(AppBtn);
    t->addWidget(ScrBtn);
    g->addWidget(typeBox);
    SetupBox = new QCheckBox(QStringLiteral("Create Setup Program and Installation Disk(s)"), general);
    // Building a setup program is not part of this program: the settings are kept only.
    SetupBox->setEnabled(false);
    g->addWidget(SetupBox);
    g->addStretch();
    PageControl->addTab(general, QStringLiteral("General Settings"));

    // Files
    auto *files = new QWidget;
    auto *f = new QVBoxLayout(files);
    AllFilesBtn = new QRadioButton(QStringLiteral("Compile &All Files Inside the Publication (Produces single EXE)"), files);
    OnlyFilesBtn = new QRadioButton(
            QStringLiteral("Compile &Only Files that do NOT need to be Extracted (Best for CD-ROMs)"), files);
    f->addWidget(AllFilesBtn);
    f->addWidget(OnlyFilesBtn);
    CopyPanel = new QWidget(files);
    auto *c = new QVBoxLayout(CopyPanel);
    CopyBox = new QCheckBox(QStringLiteral("&Copy External Files to this Directory:"), CopyPanel);
    ExternalEdit = new QLineEdit(CopyPanel);
    auto *externalBrowse = browseButton(CopyPanel);
    c->addWidget(CopyBox);
    c->addWidget(row(CopyPanel, ExternalEdit, externalBrowse));
    f->addWidget(CopyPanel);
    f->addStretch();
    PageControl->addTab(files, QStringLiteral("Files"));

    // Fonts
    auto *fontsTab = new QWidget;
    auto *fo = new QVBoxLayout(fontsTab);
    FontsOutsideBtn = new QRadioButton(
            QStringLiteral("Include &Only Fonts not part of Basic Windows Installation (Recommended)"), fontsTab);
    NoFontsBtn = new QRadioButton(
            QStringLiteral("&Don't Include Any Fonts (Substitute with fonts available on viewer's computer)"), fontsTab);
    AllFontsBtn = new QRadioButton(
            QStringLiteral("Include &All Fonts (All fonts will be embedded in compiled program)"), fontsTab);
    SelectedFontsBtn = new QRadioButton(QStringLiteral("Include &Selected Fonts:"), fontsTab);
    FontList = new QListWidget(fontsTab);
    for (QWidget *w : {static_cast<QWidget *>(FontsOutsideBtn), static_cast<QWidget *>(NoFontsBtn),
                       static_cast<QWidget *>(AllFontsBtn), static_cast<QWidget *>(SelectedFontsBtn),
                       static_cast<QWidget *>(FontList)})
        fo->addWidget(w);
    const QStringList chosen = pub.Settings.FontsToCompile.toUpper().split(u'|', Qt::SkipEmptyParts);
    for (const QString &font : fonts) {
        if (font.compare(QLatin1String("SYSTEM"), Qt::CaseInsensitive) == 0)
            continue;
        auto *item = new QListWidgetItem(font, FontList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(chosen.contains(font.toUpper()) ? Qt::Checked : Qt::Unchecked);
    }
    PageControl->addTab(fontsTab, QStringLiteral("Fonts"));

    // Extracted Files
    auto *extracted = new QWidget;
    auto *e = new QVBoxLayout(extracted);
    ProgramDirBtn = new QRadioButton(
            QStringLiteral("&Same Directory as Compiled Publication (Recommended - Except for CD-ROMs)"), extracted);
    WindowsDirBtn = new QRadioButton(QStringLiteral("&Windows Directory"), extracted);
    TempDirBtn = new QRadioButton(QStringLiteral("Windows &Temporary Directory (Recommended for CD-ROMs)"), extracted);
    CustomDirBtn = new QRadioButton(QStringLiteral("&Custom Directory:"), extracted);
    CustomEdit = new QLineEdit(extracted);
    RemoveBox = new QCheckBox(QStringLiteral("&Remove Extracted Files when Publication Terminates"), extracted);
    for (QWidget *w : {static_cast<QWidget *>(ProgramDirBtn), static_cast<QWidget *>(WindowsDirBtn),
                       static_cast<QWidget *>(TempDirBtn), static_cast<QWidget *>(CustomDirBtn),
                       static_cast<QWidget *>(CustomEdit), static_cast<QWidget *>(RemoveBox)})
        e->addWidget(w);
    e->addStretch();
    PageControl->addTab(extracted, QStringLiteral("Extracted Files"));

    // Setup / Installation
    auto *setup = new QWidget;
    auto *s = new QFormLayout(setup);
    BuildDirEdit = new QLineEdit(setup);
    auto *buildBrowse = browseButton(setup);
    s->addRow(QStringLiteral("&Build Directory:"), row(setup, BuildDirEdit, buildBrowse));
    MediaCombo = new QComboBox(setup);
    MediaCombo->addItems({QStringLiteral("3.5\" 720 Kb"), QStringLiteral("3.5\" 1.44 Mb"), QStringLiteral("5.25\" 1.2Mb"),
                          QStringLiteral("CD-ROM"), QStringLiteral("DVD"), QStringLiteral("Large Media"),
                          QStringLiteral("Downloadable")});
    s->addRow(QStringLiteral("&Media Type:"), MediaCombo);
    StartColorBtn = new QPushButton(setup);
    EndColorBtn = new QPushButton(setup);
    TextColorBtn = new QPushButton(setup);
    auto *colors = new QWidget(setup);
    auto *cl = new QHBoxLayout(colors);
    cl->setContentsMargins(0, 0, 0, 0);
    cl->addWidget(StartColorBtn);
    cl->addWidget(EndColorBtn);
    s->addRow(QStringLiteral("Background Color:"), colors);
    s->addRow(QStringLiteral("Text Color:"), TextColorBtn);
    InstDirEdit = new QLineEdit(setup);
    InstDirEdit->setMaxLength(255);
    s->addRow(QStringLiteral("Suggested &Installation Directory:"), InstDirEdit);
    ProgGrpEdit = new QLineEdit(setup);
    ProgGrpEdit->setMaxLength(255);
    s->addRow(QStringLiteral("&Suggested Program Folder (blank to skip):"), ProgGrpEdit);
    TitleEdit = new QLineEdit(setup);
    TitleEdit->setMaxLength(50);
    s->addRow(QStringLiteral("Setup &Title:"), TitleEdit);
    Preview = new PreviewBox([this](QWidget *w) { paintPreview(w); }, setup);
    s->addRow(Preview);
    PageControl->addTab(setup, QStringLiteral("Setup / Installation"));

    auto *buttons = new QHBoxLayout;
    CompileBtn = new QPushButton(QStringLiteral("Compile"), this);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    HelpBtn = new QPushButton(QStringLiteral("&Help"), this);
    DefaultsBtn = new QPushButton(QStringLiteral("De&faults"), this);
    DefaultsBtn->setToolTip(QStringLiteral("Restore the default compiler settings"));
    CompileBtn->setDefault(true);
    buttons->addWidget(DefaultsBtn);
    buttons->addStretch();
    buttons->addWidget(CompileBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(HelpBtn);
    layout->addLayout(buttons);

    connect(CompileBtn, &QPushButton::clicked, this, &TCompileForm::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TCompileForm::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [this] { showHelpTopic(this, CompileHelpTopic); });
    connect(DefaultsBtn, &QPushButton::clicked, this, [this] {
        if (ask(QLatin1String(CompileTitle),
                QStringLiteral("Do you really want to restore the\rdefault compiler settings?")))
            restoreDefaults();
    });
    connect(NameEdit, &QLineEdit::textEdited, this, &TCompileForm::nameEdited);
    connect(AppBtn, &QRadioButton::clicked, this, [this] { typeChosen(false); });
    connect(ScrBtn, &QRadioButton::clicked, this, [this] { typeChosen(true); });
    connect(FontList, &QListWidget::itemClicked, this, [this] { SelectedFontsBtn->setChecked(true); });
    connect(FontList, &QListWidget::itemChanged, this, [this] { SelectedFontsBtn->setChecked(true); });
    connect(CustomEdit, &QLineEdit::textEdited, this, [this] { CustomDirBtn->setChecked(true); });
    connect(ExternalEdit, &QLineEdit::textChanged, this,
            [this](const QString &text) { CopyBox->setChecked(!text.trimmed().isEmpty()); });
    connect(OnlyFilesBtn, &QRadioButton::toggled, this, &TCompileForm::updateCopyPanel);
    connect(SetupBox, &QCheckBox::toggled, this, &TCompileForm::updateCopyPanel);
    connect(TitleEdit, &QLineEdit::textChanged, Preview, qOverload<>(&QWidget::update));
    const auto pickColor = [this](int index) {
        const QColor chosenColor = QColorDialog::getColor(toColor(mColors[index]), this);
        if (!chosenColor.isValid())
            return;
        mColors[index] = ColorRef(chosenColor.red() | chosenColor.green() << 8 | chosenColor.blue() << 16);
        Preview->update();
    };
    connect(StartColorBtn, &QPushButton::clicked, this, [pickColor] { pickColor(0); });
    connect(EndColorBtn, &QPushButton::clicked, this, [pickColor] { pickColor(1); });
    connect(TextColorBtn, &QPushButton::clicked, this, [pickColor] { pickColor(2); });
    connect(nameBrowse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Select a Program"), NameEdit->text(),
                                                          QStringLiteral("Compiler Output (*.EXE *.SCR *.exe *.scr)"));
        if (!file.isEmpty()) {
            NameEdit->setText(file);
            nameEdited(file);
        }
    });
    auto pickDir = [this](QLineEdit *edit) {
        const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Select a Directory"), edit->text());
        if (!dir.isEmpty())
            edit->setText(dir);
    };
    connect(externalBrowse, &QPushButton::clicked, this, [pickDir, this] { pickDir(ExternalEdit); });
    connect(buildBrowse, &QPushButton::clicked, this, [pickDir, this] { pickDir(BuildDirEdit); });

    load();
    if (NameEdit->text().isEmpty()) {
        const QString proposed = pub.FileName.isEmpty()
                                         ? QDir(pubDir).filePath(QStringLiteral("Untitled.EXE"))
                                         : withExtension(pub.FileName, QStringLiteral(".EXE"));
        NameEdit->setText(proposed);
        nameEdited(proposed);
    }
}

void TCompileForm::load()
{
    const PublicationSettings &s = mPub.Settings;
    NameEdit->setText(s.CompiledName);
    const bool scr = s.CompiledName.endsWith(QLatin1String(".SCR"), Qt::CaseInsensitive);
    (scr ? ScrBtn : AppBtn)->setChecked(true);
    (s.FilesIncluded == 4 ? OnlyFilesBtn : AllFilesBtn)->setChecked(true);
    ExternalEdit->setText(s.ExternalPath);
    CopyBox->setChecked(s.CopyExternalFiles && !s.ExternalPath.isEmpty());
    QRadioButton *fonts[] = {NoFontsBtn, AllFontsBtn, FontsOutsideBtn, SelectedFontsBtn};
    fonts[s.FontsIncluded <= 3 ? s.FontsIncluded : 2]->setChecked(true);
    switch (s.ExtractOp & 0x0F) {
    case 2: WindowsDirBtn->setChecked(true); break;
    case 4: TempDirBtn->setChecked(true); break;
    case 8: CustomDirBtn->setChecked(true); break;
    default: ProgramDirBtn->setChecked(true); break;
    }
    CustomEdit->setText(s.ExtractDir);
    RemoveBox->setChecked(s.ExtractOp & 128);
    BuildDirEdit->setText(s.SETUPBUILDDIR);
    MediaCombo->setCurrentIndex(std::clamp(int(s.SETUPMEDIA), 0, MediaCombo->count() - 1));
    InstDirEdit->setText(s.SETUPINSTDIR);
    ProgGrpEdit->setText(s.SETUPPROGGRP);
    TitleEdit->setText(s.SETUPTITLE);
    for (int i = 0; i < 3; ++i)
        mColors[i] = ColorRef(s.SETUPCOLORS[size_t(i)]);
    updateCopyPanel();
}

void TCompileForm::store()
{
    PublicationSettings &s = mPub.Settings;
    s.CompiledName = outputName();
    s.FilesIncluded = OnlyFilesBtn->isChecked() ? 4 : 1;
    s.ExternalPath = ExternalEdit->text().trimmed();
    s.CopyExternalFiles = CopyBox->isChecked() && !s.ExternalPath.isEmpty() && !SetupBox->isChecked();
    s.FontsIncluded = NoFontsBtn->isChecked() ? 0 : AllFontsBtn->isChecked() ? 1 : SelectedFontsBtn->isChecked() ? 3 : 2;
    QString chosen = QStringLiteral("|");
    for (int i = 0; i < FontList->count(); ++i) {
        if (FontList->item(i)->checkState() == Qt::Checked)
            chosen += FontList->item(i)->text().toUpper() + QLatin1Char('|');
    }
    s.FontsToCompile = chosen;
    quint8 op = 1;
    if (WindowsDirBtn->isChecked())
        op = 2;
    else if (TempDirBtn->isChecked())
        op = 4;
    else if (CustomDirBtn->isChecked() && !CustomEdit->text().trimmed().isEmpty())
        op = 8;
    s.ExtractOp = quint8(op | (RemoveBox->isChecked() ? 128 : 0));
    s.ExtractDir = CustomEdit->text().trimmed();
    s.SETUPBUILDDIR = BuildDirEdit->text();
    s.SETUPMEDIA = quint8(std::clamp(MediaCombo->currentIndex(), 0, MediaCombo->count() - 1));
    s.SETUPINSTDIR = InstDirEdit->text();
    s.SETUPPROGGRP = ProgGrpEdit->text();
    s.SETUPTITLE = TitleEdit->text();
    for (int i = 0; i < 3; ++i)
        s.SETUPCOLORS[size_t(i)] = int(mColors[i]);
    mPub.Modified = true;
}

QString TCompileForm::outputName() const
{
    const QString name = NameEdit->text().trimmed();
    return name.isEmpty() ? name : withExtension(name, ScrBtn->isChecked() ? QStringLiteral(".SCR") : QStringLiteral(".EXE"));
}

void TCompileForm::typeChosen(bool screenSaver)
{
    const QString name = NameEdit->text().trimmed();
    if (!name.isEmpty())
        NameEdit->setText(withExtension(name, screenSaver ? QStringLiteral(".SCR") : QStringLiteral(".EXE")));
}

void TCompileForm::nameEdited(const QString &text)
{
    (text.trimmed().endsWith(QLatin1String(".SCR"), Qt::CaseInsensitive) ? ScrBtn : AppBtn)->setChecked(true);
}

void TCompileForm::updateCopyPanel()
{
    CopyPanel->setVisible(OnlyFilesBtn->isChecked() && !SetupBox->isChecked());
}

void TCompileForm::restoreDefaults()
{
    AppBtn->setChecked(true);
    typeChosen(false);
    AllFilesBtn->setChecked(true);
    FontsOutsideBtn->setChecked(true);
    ProgramDirBtn->setChecked(true);
    RemoveBox->setChecked(true);
}

void TCompileForm::paintPreview(QWidget *preview)
{
    QPainter painter(preview);
    const int height = preview->height();
    for (int y = 0; y < std::max(1, height); ++y)
        painter.fillRect(QRect(0, y, preview->width(), 1), previewRowColor(mColors[0], mColors[1], y, height));
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSize(14);
    painter.setFont(font);
    const QRect text = preview->rect().adjusted(8, 8, 0, 0);
    painter.setPen(Qt::black);
    painter.drawText(text.translated(2, 2), Qt::AlignLeft | Qt::AlignTop, TitleEdit->text());
    painter.setPen(toColor(mColors[2]));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, TitleEdit->text());
}

void TCompileForm::accept()
{
    if (NameEdit->text().trimmed().isEmpty()) {
        tell(QStringLiteral("Compile"), QStringLiteral("In order to compile your publication, you must\r"
                                                       "enter a destination directory and file name in\r"
                                                       "the Compile To: field."));
        PageControl->setCurrentIndex(0);
        NameEdit->setFocus();
        return;
    }
    NameEdit->setText(outputName());
    store();
    QDialog::accept();
}

// --- the compile

namespace {

QString grouped(quint64 bytes)
{
    QString digits = QString::number(bytes);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits + QStringLiteral(" bytes");
}

class CompileWindow : public CompileProgress
{
public:
    CompileWindow(QWidget *parent, const QString &destination)
        : mReport(parent)
        , mDestination(QFileInfo(destination).fileName())
    {
        mReport.Open(100);
        mReport.setWindowTitle(QStringLiteral("Compiling..."));
        mReport.CancelBtn->setText(QStringLiteral("Stop"));
        mReport.confirm = [this](const QString &, const QString &, const QStringList &) {
            return AskYesNo(QStringLiteral("Abort"), QStringLiteral("Do you want to stop compiling?"), &mReport)
                   == YesNoAnswer::Yes;
        };
        show();
    }
    ~CompileWindow() override { mReport.Close(); }
    void step(const QString &label, const QString &file) override
    {
        mLabel = label;
        mFile = file;
        show();
    }
    void compiledSize(quint64 bytes) override
    {
        mSize = bytes;
        if (mTimer.elapsed() > 100)
            show();
    }
    void position(int percent) override { mReport.ProgressBar->setValue(percent); }
    bool stopRequested() override
    {
        QCoreApplication::processEvents();
        return mReport.cancelled();
    }

private:
    void show()
    {
        mTimer.restart();
        const QString text = QStringLiteral("Destination: ") + mDestination + u'\n' + mLabel + u' ' + mFile
                             + QStringLiteral("\nCompiled Size: ") + grouped(mSize);
        mReport.Update(&text, 0);
    }
    TProgressReport mReport;
    QString mDestination, mLabel, mFile;
    quint64 mSize = 0;
    QElapsedTimer mTimer;
};

} // namespace

void compileActivePublication(TMainForm &form)
{
    TChildForm *child = form.activeChild();
    if (!child || !child->isEditing())
        return;
    Publication &pub = child->publication();
    QStringList fonts;
    for (const CompileEntry &e : buildCompileList(pub)) {
        if (e.kind == GatheredKind::Font)
            fonts << e.name;
    }
    TCompileForm dialog(pub, fonts, form.preferences().PubDir, &form);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString output = pub.Settings.CompiledName;
    if (QFileInfo::exists(output)
        && AskYesNo(QStringLiteral("Compile"), QStringLiteral("Replace existing: ") + output + u'?', &form)
                   != YesNoAnswer::Yes)
        return;
    child->updateCaption();
    CompileJob job;
    job.output = output;
    job.player = findPlayer();
    job.tempDir = form.preferences().TempDir;
    CompileResult result;
    {
        form.setEnabled(false);
        CompileWindow window(&form, output);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        result = compilePublication(pub, job, &window);
        QApplication::restoreOverrideCursor();
        form.setEnabled(true);
    }
    if (!result.ok() && !result.stopped)
        AlertDialog(QStringLiteral("Compile"), result.message(), &form);
}

// --- the archive

namespace {

class ArchiveWindow : public ArchiveProgress
{
public:
    explicit ArchiveWindow(QWidget *parent)
        : mParent(parent)
        , mReport(parent)
    {
        mReport.Open(0);
        mReport.setWindowTitle(QStringLiteral("Archiving..."));
        mReport.CancelBtn->setText(QStringLiteral("Stop"));
        mReport.confirm = [](const QString &, const QString &, const QStringList &) { return true; };
    }
    ~ArchiveWindow() override { mReport.Close(); }
    void step(const QString &label, const QString &file) override
    {
        mLabel = label;
        if (!file.isEmpty())
            mFile = file;
        show();
    }
    void filesRemaining(int count) override
    {
        mLeft = count;
        show();
    }
    bool replaceExisting() override
    {
        return AskYesNo(QStringLiteral("Archive"), QStringLiteral("Replace existing files with same names?"), mParent)
               == YesNoAnswer::Yes;
    }
    bool stopRequested() override
    {
        QCoreApplication::processEvents();
        return mReport.cancelled();
    }
    void complete()
    {
        const QString text = QStringLiteral("Archive Complete");
        mReport.CancelBtn->setText(QStringLiteral("Done"));
        mReport.Update(&text, 0);
        mReport.exec();
    }

private:
    void show()
    {
        const QString text = mLabel + u' ' + mFile + QStringLiteral("\nFiles Remaining: ") + QString::number(mLeft);
        mReport.Update(&text, 0);
    }
    QWidget *mParent;
    TProgressReport mReport;
    QString mLabel, mFile;
    int mLeft = 0;
};

// Asks for the next diskette with the mascot's balloon.
class DiskettePrompt : public SystemArchiveMedia
{
public:
    explicit DiskettePrompt(QWidget *parent)
        : mParent(parent)
    {
    }
    bool nextDisk(const QString &drive) override
    {
        return AskContinue(QStringLiteral("Disk Change"),
                           QStringLiteral("This diskette is full! Please insert a new formatted diskette into drive ")
                                   + drive + QStringLiteral(" and click continue."),
                           mParent);
    }

private:
    QWidget *mParent;
};

} // namespace

void archiveActivePublication(TMainForm &form)
{
    TChildForm *child = form.activeChild();
    if (!child || !child->isEditing())
        return;
    QDialog dialog(&form);
    dialog.setObjectName(QStringLiteral("ArchiveForm"));
    dialog.setWindowTitle(QStringLiteral("Archive Publication"));
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(
            QStringLiteral("&This option copies all files used by this publication to the location specified below:"),
            &dialog));
    auto *dirEdit = new QLineEdit(form.preferences().ArchiveDir, &dialog);
    auto *browse = browseButton(&dialog);
    layout->addWidget(row(&dialog, dirEdit, browse));
    auto *buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    QPushButton *help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(help, &QPushButton::clicked, &dialog, [&dialog] { showHelpTopic(&dialog, CompileHelpTopic); });
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&dialog, dirEdit] {
        const QString dir = QFileDialog::getExistingDirectory(&dialog, QStringLiteral("Select a Destination Directory"),
                                                              dirEdit->text());
        if (!dir.isEmpty())
            dirEdit->setText(dir);
    });
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString dir = dirEdit->text().trimmed();
    form.preferences().ArchiveDir = dir;
    const bool existed = QFileInfo(dir).isDir();
    if (!existed) {
        if (AskYesNo(QStringLiteral("Archive"),
                     u'"' + dir + QStringLiteral("\"\r\rThis directory does not exist. Do you want\rto create it?"),
                     &form)
            != YesNoAnswer::Yes)
            return;
        if (dir.size() > 2 && !QDir().mkpath(dir)) {
            AlertDialog(QStringLiteral("Archive"), ioErrorMessage(IoPathNotFound), &form);
            return;
        }
    }
    DiskettePrompt media(&form);
    ArchiveResult result;
    {
        form.setEnabled(false);
        ArchiveWindow window(&form);
        result = archivePublication(child->publication(), dir, existed, form.preferences().TempDir, media, &window);
        form.setEnabled(true);
        if (result.ok())
            window.complete();
    }
    if (!result.message.isEmpty())
        AlertDialog(QStringLiteral("Archive"), result.message, &form);
}

} // namespace vardeko
