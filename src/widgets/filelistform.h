// The drag-and-drop file selector: a folder's files, several of which are dragged at once
// onto a page (they become objects there) or an image onto a page tab.
#pragma once

#include <QAbstractListModel>
#include <QFileInfo>
#include <QWidget>

class QComboBox;
class QFileSystemWatcher;
class QLineEdit;
class QListView;
class QToolButton;

namespace vardeko {

// A folder's sub-folders, then its files of the chosen type, each group by name in any
// case. Files drag as a list of local URLs in list order, whatever order they were
// selected in; folders do not drag.
class FileListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit FileListModel(QObject *parent = nullptr);

    // False, and nothing changes, when `dir` is not a readable folder.
    bool setDirectory(const QString &dir);
    QString directory() const { return mDir; }
    // Patterns such as "*.BMP", matched in any case; empty shows every file.
    void setPatterns(const QStringList &patterns);
    // Reads the folder again.
    void refresh();

    QFileInfo fileInfo(const QModelIndex &index) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    QString mDir;
    QStringList mPatterns;
    QList<QFileInfo> mEntries;
};

class TFileInspectorForm : public QWidget
{
    Q_OBJECT

public:
    explicit TFileInspectorForm(QWidget *parent = nullptr);

    // The type choices, each "Name|*.A;*.B;"; the first is chosen.
    void setFileTypes(const QStringList &types);
    void setFileType(int index);
    bool setDirectory(const QString &dir);
    QString directory() const;
    // The selected files with their full paths, in list order.
    QStringList selectedFiles() const;
    QListView *listView() const { return mList; }
    FileListModel *model() const { return mModel; }

    bool isRolledUp() const { return mRolledUp; }
    void setRolledUp(bool rolledUp);
    // Left and top of the frame, width and the height it has when unrolled.
    QRect windowBounds() const;
    void setWindowBounds(const QRect &bounds);

signals:
    // A file was opened with a double click or Enter.
    void openRequested(const QString &path);
    // The window was closed with its own close box.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void goUp();
    void browse();
    void folderEntered();
    void activated(const QModelIndex &index);
    void showDirectory();

    FileListModel *mModel = nullptr;
    QFileSystemWatcher *mWatcher = nullptr;
    QWidget *mBody = nullptr;
    QLineEdit *mFolder = nullptr;
    QToolButton *mUpBtn = nullptr;
    QToolButton *mBrowseBtn = nullptr;
    QToolButton *mRollUpBtn = nullptr;
    QComboBox *mTypes = nullptr;
    QListView *mList = nullptr;
    bool mRolledUp = false;
    int mUnrolledHeight = 0;
};

} // namespace vardeko
