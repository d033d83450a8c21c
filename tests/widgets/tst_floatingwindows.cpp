// Tests of the drag-and-drop file selector and the mouse position window.
#include "filelistform.h"
#include "mouseform.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace vardeko;

namespace {

void touch(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qWarning("cannot write %s", qPrintable(path));
}

QStringList names(const FileListModel &model)
{
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row)
        shown.append(model.index(row).data().toString());
    return shown;
}

} // namespace

class TestFloatingWindows : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;

    QString path(const char *name) const { return mDir.filePath(QLatin1String(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        QDir(mDir.path()).mkdir(QStringLiteral("sounds"));
        for (const char *name : {"b.txt", "A.BMP", "c.pcx", "Song.MID", "d.Gif", "intro.pub"})
            touch(path(name));
    }

    void listShowsFoldersFirstThenFilesOfTheType()
    {
        FileListModel model;
        QVERIFY(model.setDirectory(mDir.path()));
        QCOMPARE(names(model), QStringList({"sounds", "A.BMP", "b.txt", "c.pcx", "d.Gif",
                                            "intro.pub", "Song.MID"}));
        // Extensions match in any case.
        model.setPatterns({"*.BMP", "*.GIF", "*.PCX"});
        QCOMPARE(names(model), QStringList({"sounds", "A.BMP", "c.pcx", "d.Gif"}));
        // A new file shows after a refresh; a folder that is not there changes nothing.
        touch(path("e.bmp"));
        model.refresh();
        QCOMPARE(names(model).last(), "e.bmp");
        QVERIFY(!model.setDirectory(path("missing")));
        QVERIFY(!model.setDirectory(path("b.txt")));
        QCOMPARE(model.directory(), QDir::cleanPath(mDir.path()));
        QFile::remove(path("e.bmp"));
    }

    void dragCarriesFilesInListOrder()
    {
        FileListModel model;
        QVERIFY(model.setDirectory(mDir.path()));
        // Selected last row first, with a folder among them.
        const QModelIndexList picked{model.index(5), model.index(0), model.index(2), model.index(5)};
        std::unique_ptr<QMimeData> data(model.mimeData(picked));
        QVERIFY(data);
        QList<QUrl> expected{QUrl::fromLocalFile(path("b.txt")), QUrl::fromLocalFile(path("intro.pub"))};
        QCOMPARE(data->urls(), expected);
        QVERIFY(!(model.flags(model.index(0)) & Qt::ItemIsDragEnabled));
        QVERIFY(model.flags(model.index(1)) & Qt::ItemIsDragEnabled);
        // A copy only: a move would let the view take the rows out.
        QCOMPARE(model.supportedDragActions(), Qt::CopyAction);
        QVERIFY(!model.mimeData({model.index(0)}));
    }

    void formSelectsSeveralAndNavigates()
    {
        TFileInspectorForm form;
        form.setFileTypes({"All Files|*.*", "Images|*.BMP;*.GIF;*.PCX;", "Audio|*.WAV;*.MID;"});
        QVERIFY(form.setDirectory(mDir.path()));
        QCOMPARE(form.windowTitle(), "File List");
        form.setFileType(2);
        QCOMPARE(names(*form.model()), QStringList({"sounds", "Song.MID"}));
        form.setFileType(1);
        QCOMPARE(form.model()->rowCount(), 4);
        QItemSelectionModel *selection = form.listView()->selectionModel();
        selection->select(form.model()->index(3), QItemSelectionModel::Select);
        selection->select(form.model()->index(1), QItemSelectionModel::Select);
        QCOMPARE(form.selectedFiles(), QStringList({path("A.BMP"), path("d.Gif")}));

        // A folder opens on activation; a file asks to be opened.
        QSignalSpy opened(&form, &TFileInspectorForm::openRequested);
        emit form.listView()->activated(form.model()->index(2));
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.first().first().toString(), path("c.pcx"));
        emit form.listView()->activated(form.model()->index(0));
        QCOMPARE(form.directory(), QDir::cleanPath(path("sounds")));
        // Typing a folder that is not there keeps the one shown.
        auto *folder = form.findChild<QLineEdit *>("FolderEdit");
        QVERIFY(folder);
        folder->setText(path("nowhere"));
        QTest::keyClick(folder, Qt::Key_Return);
        QCOMPARE(form.directory(), QDir::cleanPath(path("sounds")));
        QCOMPARE(QDir::fromNativeSeparators(folder->text()), QDir::cleanPath(path("sounds")));
    }

    void rollingUpKeepsTheUnrolledBounds()
    {
        TFileInspectorForm form;
        form.setWindowBounds(QRect(40, 50, 220, 310));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.setRolledUp(true);
        QVERIFY(form.height() < 310);
        QCOMPARE(form.windowBounds().size(), QSize(220, 310));
        form.setRolledUp(false);
        QCOMPARE(form.height(), 310);
        // Restored rolled up, it unrolls to the stored height.
        TFileInspectorForm rolled;
        rolled.setRolledUp(true);
        rolled.setWindowBounds(QRect(0, 0, 200, 280));
        QCOMPARE(rolled.windowBounds().height(), 280);
        rolled.setRolledUp(false);
        QCOMPARE(rolled.height(), 280);
    }

    void mouseWindowNamesItsNumbers()
    {
        TMouseForm form;
        form.showReadout("Object Size", 120, 45);
        QCOMPARE(form.caption(), "Object Size");
        QCOMPARE(form.valuesText(), "120,45");
        const auto labels = form.findChildren<QLabel *>();
        auto hasText = [&](const char *text) {
            return std::any_of(labels.begin(), labels.end(),
                               [&](QLabel *l) { return l->text() == QLatin1String(text); });
        };
        QVERIFY(hasText("Width:") && hasText("Height:"));
        form.showReadout("Mouse Position", -3, 7);
        QVERIFY(hasText("X:") && hasText("Y:"));
        QVERIFY(!hasText("Width:"));
        QCOMPARE(form.valuesText(), "-3,7");
    }
};

QTEST_MAIN(TestFloatingWindows)
#include "tst_floatingwindows.moc"
