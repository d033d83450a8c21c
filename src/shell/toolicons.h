// The tool bar's pictures: our own art, with a greyed look for disabled commands.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace vardeko {

// The picture of the command named `command` ("New1", "Cut1", "FirstPageBtn", and
// "Stop" for Run while running); a null icon for a command without one.
QIcon commandIcon(const QString &command);

// The disabled look of a picture: grey and faint, so that it cannot pass for enabled.
QImage disabledLook(const QImage &picture);

} // namespace vardeko
