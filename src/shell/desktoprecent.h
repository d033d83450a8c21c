// Tells the desktop which publications were used lately, in the shared list of
// recently used files that file choosers and launchers read.
#pragma once

#include <QDateTime>
#include <QString>

namespace vardeko {

// The per-user list: recently-used.xbel in the user's data folder.
QString desktopRecentListFile();

// Puts `path` last, as the newest, in the list `listFile` (made when missing) with
// the publication type and this program as the application that used it. A list
// that cannot be read as one is left as it is: false. Other programs' entries stay.
bool addDesktopRecentFile(const QString &path, const QString &listFile = desktopRecentListFile(),
                          const QDateTime &when = QDateTime::currentDateTimeUtc());

} // namespace vardeko
