// The gathering walk: every file a publication uses, each once, with its kind.
#include "filegatherer.h"

#include "actioncommands.h"
#include "filecommands.h"

namespace vardeko {

FileGatherer::FileGatherer(GatherOptions options)
    : mOptions(std::move(options))
{
}

bool FileGatherer::add(const QString &name, GatheredKind kind, int width, int height)
{
    if (name.trimmed().isEmpty())
        return false;
    const QString key = name.toCaseFolded();
    if (mIndex.contains(key))
        return false;
    mIndex.insert(key, qsizetype(mFiles.size()));
    mFiles.push_back(GatheredFile {name, kind, width, height});
    if (kind == GatheredKind::ArticleText && mOptions.articleReferences) {
        for (const GatheredFile &ref : mOptions.articleReferences(name))
            add(ref.name, ref.kind, ref.width, ref.height);
    }
    return true;
}

void FileGatherer::addFont(const QString &font)
{
    if (mOptions.fonts)
        add(font, GatheredKind::Font);
}

void FileGatherer::addObject(const PageObject &top)
{
    addOwnFiles(top);
    forEachObject(top.Members, [this](const PageObject &member) { addOwnFiles(member); });
}

void FileGatherer::addOwnFiles(const PageObject &object)
{
    const int width = object.X2 - object.X1;
    const int height = object.Y2 - object.Y1;
    if (const ArticleData *a = object.article()) {
        add(a->FileName, GatheredKind::ArticleText, width, height);
        addFont(a->Font);
    } else if (const ButtonData *b = object.button()) {
        add(b->UpImage, pictureKind(b->UpImage));
        add(b->DownImage, pictureKind(b->DownImage));
        addFont(b->Font);
        addScript(b->Action);
    } else if (const PictureData *p = object.picture()) {
        add(p->FileName, pictureKind(p->FileName));
    } else if (const TextData *t = object.text()) {
        addFont(t->Font);
    }
}

void FileGatherer::addScript(const QString &script)
{
    if (script.isEmpty())
        return;
    for (const QString &line : splitScriptLines(script)) {
        const RecognizedCommand command = recognizeCommand(line);
        if (command.number == 0)
            continue;
        // Closing a window or stopping a medium names a file already opened elsewhere.
        if (command.number == CmdCloseWindow || command.number == CmdStopMedia)
            continue;
        const FileCommandRule *rule = fileCommandRule(command.number);
        if (!rule || rule->fileParam == 0)
            continue;
        const QStringList params = scriptParameters(line);
        if (params.size() < rule->fileParam)
            continue;
        const QString &name = params.at(rule->fileParam - 1);
        if (!fileParamNamesFile(command.number, name))
            continue;
        GatheredKind kind = commandFileKind(command.number);
        if (kind == GatheredKind::Picture)
            kind = pictureKind(name);
        add(name, kind);
    }
}

void FileGatherer::addPage(const Page &page)
{
    if (page.PageStyle == 1)
        add(page.PageWallPaper, pictureKind(page.PageWallPaper));
    addScript(page.PageAction);
    for (const ObjectPtr &object : page.Objects)
        addObject(*object);
}

void FileGatherer::addPublication(const Publication &pub)
{
    if (mOptions.publicationAndIcon)
        add(pub.FileName, GatheredKind::Publication);
    addPage(*pub.masterPage());
    for (int i = 0; i < pub.pageCount(); ++i)
        addPage(*pub.page(i));
    addScript(pub.Settings.ReturnAction);
    if (mOptions.publicationAndIcon)
        add(pub.Settings.Icon, GatheredKind::Picture);
}

std::vector<GatheredFile> FileGatherer::takeFiles()
{
    mIndex.clear();
    return std::move(mFiles);
}

GatheredKind pictureKind(const QString &name)
{
    if (name.endsWith(QLatin1String(".FLI"), Qt::CaseInsensitive)
        || name.endsWith(QLatin1String(".FLC"), Qt::CaseInsensitive))
        return GatheredKind::VideoOrAnimation;
    return GatheredKind::Picture;
}

GatheredKind commandFileKind(int command)
{
    switch (command) {
    case CmdTextWindow:
    case CmdPrintTextFile:
        return GatheredKind::ArticleText;
    case CmdImageWindow:
    case CmdPopupImage:
    case CmdPrintImageFile:
        return GatheredKind::Picture;
    case CmdPlaySoundFile:
        return GatheredKind::Sound;
    case CmdPlayVideoFile:
    case CmdPlayFlicFile:
    case CmdPlayCartoonFile:
        return GatheredKind::VideoOrAnimation;
    default:
        return GatheredKind::Other;
    }
}

std::vector<GatheredFile> gatherPublicationFiles(const Publication &pub,
                                                 const GatherOptions &options)
{
    FileGatherer gatherer(options);
    gatherer.addPublication(pub);
    return gatherer.takeFiles();
}

} // namespace vardeko
