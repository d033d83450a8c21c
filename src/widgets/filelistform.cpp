// The drag-and-drop file selector.
#include "filelistform.h"

#include "widgettexts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QStyle>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace vardeko {

// --- FileListModel

FileListModel::FileListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

bool FileListModel::setDirectory(const QString &dir)
{
    const QFileInfo info(dir);
    if (dir.isEmpty() || !info.isDir() || !info.isReadable())
        return false;
    mDir = QDir::cleanPath(info.absoluteFilePath());
    refresh();
    return true;
}

void FileListModel::setPatterns(const QStringList &patterns)
{
    mPatterns = patterns;
    refresh();
}

void FileListModel::refresh()
{
    beginResetModel();
    mEntries.clear();
    if (!mDir.isEmpty()) {
        const QDir dir(mDir);
        const QDir::SortFlags order = QDir::Name | QDir::IgnoreCase;
        mEntries = dir.entryInfoList(QDir::AllDirs | QDir::NoDotAndDotDot, order);
        // Without QDir::CaseSensitive the patterns match in any case, as the
        // extensions of dropped files do.
        const QList<QFileInfo> files = dir.entryInfoList(mPatterns, QDir::Files, order);
        mEntries += files;
    }
    endResetModel();
}

QFileInfo FileListModel::fileInfo(const QModelIndex &index) const
{
    if (!index.isValid() || index.row() >= mEntries.size())
        return QFileInfo();
    return mEntries.at(index.row());
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mEntries.size());
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= mEntries.size())
        return QVariant();
    const QFileInfo &info = mEntries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return info.fileName();
    case Qt::ToolTipRole:
        return QDir::toNativeSeparators(info.absoluteFilePath());
    case Qt::DecorationRole: {
        static const QFileIconProvider icons;
        return icons.icon(info.isDir() ? QAbstractFileIconProvider::Folder
                                       : QAbstractFileIconProvider::File);
    }
    default:
        return QVariant();
    }
}

Qt::ItemFlags FileListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractListModel::flags(index);
    if (index.isValid() && index.row() < mEntries.size() && !mEntries.at(index.row()).isDir())
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QStringList FileListModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData *FileListModel::mimeData(const QModelIndexList &indexes) const
{
    QList<int> rows;
    for (const QModelIndex &index : indexes)
        if (index.isValid() && index.row() < mEntries.size() && !mEntries.at(index.row()).isDir())
            rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty())
        return nullptr;
    QList<QUrl> urls;
    for (int row : std::as_const(rows))
        urls.append(QUrl::fromLocalFile(mEntries.at(row).absoluteFilePath()));
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

Qt::DropActions FileListModel::supportedDragActions() const
{
    // A move would let the view remove the rows it dragged.
    return Qt::CopyAction;
}

// --- TFileInspectorForm

namespace {

QStringList patternsOf(const QString &type)
{
    // "Name|*.A;*.B;": every pattern but the catch-all.
    const QString list = type.section(QLatin1Char('|'), 1);
    QStringList patterns;
    for (const QString &p : list.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (p.trimmed() != QLatin1String("*.*") && p.trimmed() != QLatin1String("*"))
            patterns.append(p.trimmed());
    return patterns;
}

} // namespace

TFileInspectorForm::TFileInspectorForm(QWidget *parent)
    : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("FileInspectorForm"));
    setWindowTitle(QString(WidgetText::FileListCaption));
    mModel = new FileListModel(this);
    mWatcher = new QFileSystemWatcher(this);
    connect(mWatcher, &QFileSystemWatcher::directoryChanged, mModel, &FileListModel::refresh);

    mFolder = new QLineEdit(this);
    mFolder->setObjectName(QStringLiteral("FolderEdit"));
    mFolder->setToolTip(QString(WidgetText::FolderHint));
    connect(mFolder, &QLineEdit::returnPressed, this, &TFileInspectorForm::folderEntered);
    mUpBtn = new QToolButton(this);
    mUpBtn->setObjectName(QStringLiteral("UpBtn"));
    mUpBtn->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    mUpBtn->setToolTip(QString(WidgetText::UpHint));
    connect(mUpBtn, &QToolButton::clicked, this, &TFileInspectorForm::goUp);
    mBrowseBtn = new QToolButton(this);
    mBrowseBtn->setObjectName(QStringLiteral("BrowseBtn"));
    mBrowseBtn->setText(QStringLiteral("..."));
    mBrowseBtn->setToolTip(QString(WidgetText::BrowseHint));
    connect(mBrowseBtn, &QToolButton::clicked, this, &TFileInspectorForm::browse);
    mRollUpBtn = new QToolButton(this);
    mRollUpBtn->setObjectName(QStringLiteral("RollUpBtn"));
    mRollUpBtn->setToolTip(QString(WidgetText::RollUpHint));
    connect(mRollUpBtn, &QToolButton::clicked, this, [this] { setRolledUp(!mRolledUp); });

    auto *header = new QHBoxLayout;
    header->setSpacing(2);
    header->addWidget(mUpBtn);
    header->addWidget(mFolder, 1);
    header->addWidget(mBrowseBtn);
    header->addWidget(mRollUpBtn);

    mBody = new QWidget(this);
    mTypes = new QComboBox(mBody);
    mTypes->setObjectName(QStringLiteral("TypeCombo"));
    mTypes->setToolTip(QString(WidgetText::TypeHint));
    connect(mTypes, &QComboBox::currentIndexChanged, this, &TFileInspectorForm::setFileType);
    mList = new QListView(mBody);
    mList->setObjectName(QStringLiteral("FileList"));
    mList->setModel(mModel);
    mList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mList->setDragEnabled(true);
    mList->setDragDropMode(QAbstractItemView::DragOnly);
    mList->setDefaultDropAction(Qt::CopyAction);
    mList->setUniformItemSizes(true);
    mList->setToolTip(QString(WidgetText::DragHint));
    connect(mList, &QListView::activated, this, &TFileInspectorForm::activated);
    auto *body = new QVBoxLayout(mBody);
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(mTypes);
    body->addWidget(mList, 1);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addLayout(header);
    outer->addWidget(mBody, 1);
    setRolledUp(false);
    resize(200, 300);
}

void TFileInspectorForm::setFileTypes(const QStringList &types)
{
    const QSignalBlocker block(mTypes);
    mTypes->clear();
    for (const QString &type : types)
        mTypes->addItem(type.section(QLatin1Char('|'), 0, 0), type);
    mTypes->setCurrentIndex(types.isEmpty() ? -1 : 0);
    setFileType(mTypes->currentIndex());
}

void TFileInspectorForm::setFileType(int index)
{
    if (mTypes->currentIndex() != index) {
        mTypes->setCurrentIndex(index); // comes back here through the signal
        return;
    }
    mModel->setPatterns(index < 0 ? QStringList() : patternsOf(mTypes->itemData(index).toString()));
}

bool TFileInspectorForm::setDirectory(const QString &dir)
{
    const QString old = mModel->directory();
    if (!mModel->setDirectory(dir)) {
        mFolder->setText(QDir::toNativeSeparators(old));
        return false;
    }
    if (!old.isEmpty())
        mWatcher->removePath(old);
    mWatcher->addPath(mModel->directory());
    showDirectory();
    return true;
}

QString TFileInspectorForm::directory() const
{
    return mModel->directory();
}

QStringList TFileInspectorForm::selectedFiles() const
{
    QModelIndexList rows = mList->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QStringList files;
    for (const QModelIndex &index : std::as_const(rows)) {
        const QFileInfo info = mModel->fileInfo(index);
        if (info.isFile())
            files.append(info.absoluteFilePath());
    }
    return files;
}

void TFileInspectorForm::setRolledUp(bool rolledUp)
{
    if (rolledUp && !mRolledUp)
        mUnrolledHeight = height();
    mRolledUp = rolledUp;
    mBody->setVisible(!rolledUp);
    mRollUpBtn->setText(rolledUp ? QStringLiteral("\u25BC") : QStringLiteral("\u25B2"));
    if (rolledUp) {
        setFixedHeight(minimumSizeHint().height());
    } else {
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
        if (mUnrolledHeight > 0)
            resize(width(), mUnrolledHeight);
    }
}

QRect TFileInspectorForm::windowBounds() const
{
    return QRect(pos(), QSize(width(), mRolledUp ? mUnrolledHeight : height()));
}

void TFileInspectorForm::setWindowBounds(const QRect &bounds)
{
    move(bounds.topLeft());
    if (mRolledUp) {
        mUnrolledHeight = bounds.height();
        resize(bounds.width(), height());
    } else {
        resize(bounds.size());
    }
}

void TFileInspectorForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closedByUser();
}

void TFileInspectorForm::goUp()
{
    QDir dir(mModel->directory());
    if (dir.cdUp())
        setDirectory(dir.absolutePath());
}

void TFileInspectorForm::browse()
{
    const QString dir = QFileDialog::getExistingDirectory(
            this, QString(WidgetText::ChooseFolderTitle), mModel->directory());
    if (!dir.isEmpty())
        setDirectory(dir);
}

void TFileInspectorForm::folderEntered()
{
    const QString typed = QDir::fromNativeSeparators(mFolder->text().trimmed());
    if (!setDirectory(typed))
        QToolTip::showText(mFolder->mapToGlobal(QPoint(0, mFolder->height())),
                           QString(WidgetText::NoSuchFolder) + QStringLiteral(": ") + typed, mFolder);
}

void TFileInspectorForm::activated(const QModelIndex &index)
{
    const QFileInfo info = mModel->fileInfo(index);
    if (info.isDir())
        setDirectory(info.absoluteFilePath());
    else if (info.isFile())
        emit openRequested(info.absoluteFilePath());
}

void TFileInspectorForm::showDirectory()
{
    mFolder->setText(QDir::toNativeSeparators(mModel->directory()));
    mUpBtn->setEnabled(!QDir(mModel->directory()).isRoot());
}

} // namespace vardeko
