// Where the program finds the data it ships: help pages and the sample publication.
#include "datafolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vardeko {

namespace {

struct FolderPlaces
{
    const char *installed; // relative to share/vardeko
    const char *source;    // below the source tree's top
};

FolderPlaces placesOf(DataFolder folder)
{
    switch (folder) {
    case DataFolder::Help:
        return {"help", "src/shell/help"};
    case DataFolder::Icons:
        return {"../icons/hicolor", "data/icons/hicolor"};
    case DataFolder::Sample:
        break;
    }
    return {"sample", "examples/sample"};
}

bool isInside(const QString &dir, const QString &top)
{
    const QString d = QDir::cleanPath(dir) + QLatin1Char('/');
    const QString t = QDir::cleanPath(top) + QLatin1Char('/');
    return d.startsWith(t);
}

QString existingDir(const QString &path)
{
    return QFileInfo(path).isDir() ? QDir::cleanPath(path) : QString();
}

} // namespace

QString dataFolder(DataFolder folder)
{
    if (!QCoreApplication::instance())
        return QString();
    const FolderPlaces places = placesOf(folder);
    const QString programDir = QCoreApplication::applicationDirPath();
    if (isInside(programDir, QStringLiteral(VARDEKO_BUILD_DIR))) {
        const QString inSource = existingDir(QStringLiteral(VARDEKO_SOURCE_DIR "/")
                                             + QLatin1String(places.source));
        if (!inSource.isEmpty())
            return inSource;
    }
    return existingDir(programDir + QStringLiteral("/" VARDEKO_DATA_FROM_BIN "/")
                       + QLatin1String(places.installed));
}

QString samplePublication()
{
    const QString dir = dataFolder(DataFolder::Sample);
    if (dir.isEmpty())
        return QString();
    const QString file = QDir(dir).filePath(QStringLiteral("SAMPLE.PUB"));
    return QFileInfo(file).isFile() ? file : QString();
}

} // namespace vardeko
