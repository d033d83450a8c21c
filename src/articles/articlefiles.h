// Article files apart from drawing: markers, link targets, plain text and copies.
#pragma once

#include "articlereader.h"
#include "filegatherer.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace vardeko {

// The line of the formatted file that holds the marker "^Mname^m" (name compared
// without regard to case, a leading ":" dropped), or -1.
int FindArticleMarker(const QString &formattedFile, const QString &name);

// Hands out the targets of an article's hyperlinks one after another (the text
// between "=" and "^l", lines joined when a target runs over several); empty targets
// are skipped.
class LinkTargetScan
{
public:
    explicit LinkTargetScan(ArticleLineReader &reader)
        : mReader(reader)
    {
    }
    bool NextLinkTarget(QString *target);

private:
    ArticleLineReader &mReader;
    QString mCarry;
};

// All link targets of an article file (none when it cannot be read).
QStringList articleLinkTargets(const QString &fileName);

// The files that an article's link actions name, with their kinds, for the gathering
// walk of the compiler, the archive and the file list.
std::vector<GatheredFile> articleLinkReferences(const QString &fileName);

// A line without its caret codes ("^^" stays as one caret), as searches read articles.
QString stripArticleCodes(const QString &line);

// A link action as it runs: the file names of its commands resolved against the
// publication's folder as stored actions are when a publication is read.
QString resolveLinkScript(const QString &script, const QString &publicationDir);

// A link action with every file name reduced to the bare file name.
QString bareLinkScript(const QString &script);

// Copies an article text, rewriting the actions inside its hyperlinks to bare file
// names; the copy gets the source's time stamp. Returns an I/O error code (10003 when
// source and destination are one file); a failed copy leaves no destination.
int copyArticleWithBareNames(const QString &source, const QString &destination);

} // namespace vardeko
