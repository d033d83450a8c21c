// What files, page tabs and palette attributes dropped onto a page make of it.
#include "filedrops.h"

#include "commandtable.h"
#include "editcontroller.h"
#include "editgeometry.h"
#include "editortexts.h"
#include "imageloader.h"
#include "ioerrors.h"
#include "textmeasurer.h"
#include "toolpalette.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace vardeko {

bool extensionInList(const QString &path, QLatin1String list)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty())
        return false;
    const QString entry = QStringLiteral("*.") + suffix.toUpper() + QLatin1Char(';');
    return QString(list).contains(entry);
}

DropClass dropClassFor(const QString &path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("PUB"), Qt::CaseInsensitive) == 0)
        return DropClass::PublicationFile;
    if (extensionInList(path, edtext::DropImageClass))
        return DropClass::Image;
    if (extensionInList(path, edtext::DropMediaClass)) {
        if (extensionInList(path, edtext::DropAudioClass))
            return DropClass::Audio;
        if (extensionInList(path, edtext::DropVideoClass))
            return DropClass::Video;
        if (extensionInList(path, edtext::DropFlicClass))
            return DropClass::Flics;
        if (extensionInList(path, edtext::DropCartoonClass))
            return DropClass::Cartoons;
        return DropClass::Programs;
    }
    return DropClass::Other;
}

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

QString dropButtonAction(DropClass kind, const QString &path)
{
    // A dropped file makes the same line as choosing its command from the palette.
    switch (kind) {
    case DropClass::Audio:
        return defaultCommandLine(CmdPlaySoundFile, path);
    case DropClass::Video:
        return defaultCommandLine(CmdPlayVideoFile, path);
    case DropClass::Flics:
        return defaultCommandLine(CmdPlayFlicFile, path);
    case DropClass::Cartoons:
        return defaultCommandLine(CmdPlayCartoonFile, path);
    case DropClass::Programs:
        return defaultCommandLine(CmdDOSCommand, path);
    default:
        return QString();
    }
}

int dropFiles(EditController &controller, const QStringList &files, std::optional<QPoint> pagePoint)
{
    Publication &pub = controller.publication();
    EditHost &host = controller.host();
    const QPoint origin = pagePoint.value_or(QPoint(DropCascade, DropCascade));
    int made = 0;
    bool started = false;
    for (const QString &name : files) {
        const QString path = QFileInfo(name).absoluteFilePath();
        const DropClass kind = dropClassFor(path);
        if (kind == DropClass::PublicationFile) {
            host.openPublication(path);
            continue;
        }
        if (!controller.page())
            break;
        const ToolAttributes tools = host.toolAttributes();
        QSize size;
        if (kind == DropClass::Image) {
            size = ImageLoader::imageSize(path);
            // A header that names a size is not enough: the picture must decode.
            if (!size.isValid() || size.isEmpty() || !ImageLoader::load(path).ok()) {
                host.alert(controller.workArea().surface(), edtext::ErrorTitle,
                           quoted(path) + QStringLiteral("\n\n") + edtext::NotValidImage);
                continue;
            }
        }
        if (!started) {
            // Deselecting first makes the snapshot remember the selection as it was.
            controller.beginStep();
            selectAll(controller.page()->Objects, false);
            controller.repaint();
            started = true;
        }
        const int objectKind = kind == DropClass::Image ? PictureKind
            : kind == DropClass::Other                  ? ArticleKind
                                                        : ButtonKind;
        ObjectPtr object = pub.createObject(objectKind, tools);
        if (!object) {
            host.alert(controller.workArea().surface(), edtext::ErrorTitle,
                       ioErrorMessage(IoOutOfMemory));
            break;
        }
        const QPoint corner = origin + QPoint(DropCascade * made, DropCascade * made);
        QSize box;
        if (PictureData *picture = object->picture()) {
            picture->FileName = path;
            box = size + QSize(2 * object->LineWidth, 2 * object->LineWidth);
        } else if (ArticleData *article = object->article()) {
            article->FileName = path;
            box = QSize(250, 300);
        } else if (ButtonData *button = object->button()) {
            button->Style = PushButton;
            button->Text = QFileInfo(path).completeBaseName();
            button->Action = dropButtonAction(kind, path);
            const QSize text = QtTextMeasurer().measureText(button->Text, tools.Font,
                                                            tools.FontSize, tools.FontStyle);
            box = QSize(text.width() + 24, 34);
        }
        object->Selected = true;
        object->X1 = corner.x();
        object->Y1 = corner.y();
        object->X2 = corner.x() + box.width();
        object->Y2 = corner.y() + box.height();
        controller.addObject(std::move(object));
        ++made;
    }
    if (started)
        controller.commitStep(edtext::step::DropFiles);
    return made;
}

namespace {

QStringList localFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}

} // namespace

bool acceptsDrop(EditController &controller, const QMimeData *data, const QPoint &pagePoint)
{
    if (controller.isRunning() || !controller.page() || !data)
        return false;
    PaletteAttribute which;
    ToolAttributes values;
    if (readAttributeMimeData(data, &which, &values))
        return controller.attributeTargetAt(pagePoint) != nullptr;
    return !localFiles(data).isEmpty();
}

bool dropOnPage(EditController &controller, const QMimeData *data, const QPoint &pagePoint)
{
    if (!acceptsDrop(controller, data, pagePoint))
        return false;
    PaletteAttribute which;
    ToolAttributes values;
    if (readAttributeMimeData(data, &which, &values))
        return controller.dropPaletteAttribute(which, values, pagePoint);
    dropFiles(controller, localFiles(data), pagePoint);
    return true;
}

} // namespace vardeko
