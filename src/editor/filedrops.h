// What files, page tabs and palette attributes dropped onto a page make of it.
#pragma once

#include "publication.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <optional>

class QMimeData;

namespace vardeko {

class EditController;

// The classes of dropped files, by extension.
enum class DropClass { PublicationFile, Image, Audio, Video, Flics, Cartoons, Programs, Other };

// True when "*", the extension and ";" occur in a class list ("Images|*.BMP;*.GIF;").
bool extensionInList(const QString &path, QLatin1String list);
DropClass dropClassFor(const QString &path);

// The action of a button made for a dropped media file or program; empty for other classes.
QString dropButtonAction(DropClass kind, const QString &path);

// How far apart the objects of one drop lie, right and down.
inline constexpr int DropCascade = 8;

// Makes objects of dropped files at a page point (none: the drop came without a
// position, and (8, 8) is used). Publications open in their own windows. Returns the
// number of objects made.
int dropFiles(EditController &controller, const QStringList &files,
              std::optional<QPoint> pagePoint);


// Work-area drops: local files anywhere.
bool acceptsDrop(EditController &controller, const QMimeData *data, const QPoint &pagePoint);
bool dropOnPage(EditController &controller, const QMimeData *data, const QPoint &pagePoint);

} // namespace vardeko
