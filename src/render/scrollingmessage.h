// Scrolling-message files (".SCM" one moving line, ".CMS" lines moving up), shown by
// picture objects in place of a picture.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QList>
#include <QRect>
#include <QStringList>

class QPainter;

namespace vardeko {

struct ScrollingMessage
{
    bool upwards = false;   // ".CMS": messages move up one after the other
    QColor fontColor = QColor(255, 0, 0);
    int fontHeight = -13;   // negative: the characters' pixel height; positive: the cell's
    QString fontName = QStringLiteral("SYSTEM");
    int fontSize = 0;       // points when above 0 (it then wins over the height)
    QString fontStyle;      // four "0"/"1": bold, italic, underline, strike-out
    QColor background = QColor(128, 0, 0);
    int speed = 1;          // one pixel every speed + 1 ticks
    QStringList messages = {QStringLiteral(" Invallid message format ! ")};

    QFont font() const;
};

// Whether a stored picture name is a scrolling message.
bool isScrollingMessageFile(const QString &fileName);
// The ".SCM" tagged text and the ".CMS" lines.
ScrollingMessage parseScm(const QString &text);
ScrollingMessage parseCms(const QString &text);
// Reads a file by its extension; false when it cannot be read (nothing is shown then).
// Parsed files are kept until their modification time changes.
bool readScrollingMessage(const QString &path, ScrollingMessage *message);

// A colour value as stored (red in the low byte).
QColor storedColor(qint64 value);

// The boxes (page coordinates) of the picture objects on `page` and, when the page shows
// it, on `master` whose files are scrolling messages.
QList<QRect> scrollingMessageBoxes(const class Page &page, const Page *master);

// Paints the message as it stands after `tick` ticks of the message timer.
void paintScrollingMessage(QPainter &painter, const QRect &area, const ScrollingMessage &message, qint64 tick);

} // namespace vardeko
