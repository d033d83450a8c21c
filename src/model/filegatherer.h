// The gathering walk: every file a publication uses, each once, with its kind.
#pragma once

#include "publication.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vardeko {

// Kinds of gathered files; the numbers tag menu items and compile list entries.
enum class GatheredKind : quint8 {
    Publication = 0,
    ArticleText = 1,
    Picture = 2,
    Sound = 3,
    VideoOrAnimation = 4, // FLI/FLC pictures and the video, animation and cartoon commands
    Font = 5,
    Other = 6, // programs and data files, never put inside a compiled program
    OtherMedia = 7,
};

struct GatheredFile
{
    QString name; // as the publication refers to it (a font: its name)
    GatheredKind kind = GatheredKind::Other;
    int width = 0; // display size of the object that uses it, for article texts
    int height = 0;
};

struct GatherOptions
{
    bool fonts = true;
    // The publication file itself and its icon (the file list report does; the compiler
    // and the archive add their own copy of the publication).
    bool publicationAndIcon = false;
    // The files an article text refers to, as the article engine reads them; skipped
    // when not set.
    std::function<std::vector<GatheredFile>(const QString &articleFile)> articleReferences;
};

// Collects distinct names (compared without regard to case) in the order found.
class FileGatherer
{
public:
    explicit FileGatherer(GatherOptions options = {});

    // False when the name was already there or is empty.
    bool add(const QString &name, GatheredKind kind, int width = 0, int height = 0);
    // An object's files and fonts, descending into groups; a button's action too.
    void addObject(const PageObject &object);
    // The same for the object alone.
    void addOwnFiles(const PageObject &object);
    // The files named by the commands of an action script.
    void addScript(const QString &script);
    // Wallpaper, page action and every object.
    void addPage(const Page &page);
    // Master page, then each page in order, then the idle actions.
    void addPublication(const Publication &pub);

    const std::vector<GatheredFile> &files() const { return mFiles; }
    std::vector<GatheredFile> takeFiles();

private:
    void addFont(const QString &font);

    GatherOptions mOptions;
    std::vector<GatheredFile> mFiles;
    QHash<QString, qsizetype> mIndex; // case-folded name -> position
};

// The kind a picture file has: FLI and FLC are animations.
GatheredKind pictureKind(const QString &name);

// The kind of file a script command's file parameter names, or Other for data files.
GatheredKind commandFileKind(int command);

// Every file the publication uses, in the order of the walk.
std::vector<GatheredFile> gatherPublicationFiles(const Publication &pub,
                                                 const GatherOptions &options = {});

} // namespace vardeko
