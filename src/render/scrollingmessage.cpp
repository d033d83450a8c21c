// Scrolling-message files (".SCM" one moving line, ".CMS" lines moving up), shown by
// picture objects in place of a picture.
#include "scrollingmessage.h"

#include "pagepainter.h"
#include "publication.h"
#include "textcodec.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vardeko {

namespace {

const char *const ScmTags[] = {"/fc|", "/fh|", "/fn|", "/fs|", "/ft|", "/bc|", "/sp|", "/sm|"};
const char EndTag[] = "/eo|";

bool toNumber(const QString &text, qint64 *value)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (ok)
        *value = v;
    return ok;
}

void setStyle(ScrollingMessage &m, const QString &style)
{
    m.fontStyle = style.trimmed().left(4);
}

} // namespace

QColor storedColor(qint64 value)
{
    const quint32 v = quint32(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

QFont ScrollingMessage::font() const
{
    QFont f(fontName);
    if (fontSize > 0)
        f.setPointSize(fontSize);
    else
        f.setPixelSize(std::max(1, std::abs(fontHeight)));
    auto on = [this](int i) { return fontStyle.size() > i && fontStyle.at(i) == u'1'; };
    f.setBold(on(0));
    f.setItalic(on(1));
    f.setUnderline(on(2));
    f.setStrikeOut(on(3));
    return f;
}

bool isScrollingMessageFile(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".SCM"), Qt::CaseInsensitive)
           || fileName.endsWith(QLatin1String(".CMS"), Qt::CaseInsensitive);
}

// Each value runs from its tag to the next tag found after it (the message to the end
// tag); a value without a tag after it is not taken.
ScrollingMessage parseScm(const QString &text)
{
    ScrollingMessage m;
    auto valueOf = [&](const char *tag, QString *value) {
        const qsizetype at = text.indexOf(QLatin1String(tag), 0, Qt::CaseInsensitive);
        if (at < 0)
            return false;
        const qsizetype from = at + 4;
        qsizetype to = -1;
        if (std::strcmp(tag, "/sm|") == 0) {
            to = text.indexOf(QLatin1String(EndTag), from, Qt::CaseInsensitive);
        } else {
            for (const char *other : ScmTags) {
                const qsizetype next = text.indexOf(QLatin1String(other), from, Qt::CaseInsensitive);
                if (next >= 0 && (to < 0 || next < to))
                    to = next;
            }
            const qsizetype end = text.indexOf(QLatin1String(EndTag), from, Qt::CaseInsensitive);
            if (end >= 0 && (to < 0 || end < to))
                to = end;
        }
        if (to < 0)
            return false;
        *value = text.mid(from, to - from);
        return true;
    };
    QString v;
    qint64 n = 0;
    if (valueOf("/fc|", &v) && toNumber(v, &n))
        m.fontColor = storedColor(n);
    if (valueOf("/fh|", &v) && toNumber(v, &n))
        m.fontHeight = int(std::clamp<qint64>(n, -1000, 1000));
    if (valueOf("/fn|", &v) && !v.trimmed().isEmpty())
        m.fontName = v.trimmed();
    if (valueOf("/fs|", &v) && toNumber(v, &n))
        m.fontSize = int(std::clamp<qint64>(n, 0, 1000));
    if (valueOf("/ft|", &v))
        setStyle(m, v);
    if (valueOf("/bc|", &v) && toNumber(v, &n))
        m.background = storedColor(n);
    if (valueOf("/sp|", &v) && toNumber(v, &n))
        m.speed = int(std::clamp<qint64>(n, 0, 10000));
    if (valueOf("/sm|", &v))
        m.messages = QStringList{v};
    return m;
}

ScrollingMessage parseCms(const QString &text)
{
    ScrollingMessage m;
    m.upwards = true;
    QStringList lines = text.split(u'\n');
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    qint64 n = 0;
    auto line = [&](int i) { return i < lines.size() ? lines.at(i) : QString(); };
    if (toNumber(line(0), &n))
        m.fontColor = storedColor(n);
    if (toNumber(line(1), &n))
        m.fontHeight = int(std::clamp<qint64>(n, -1000, 1000));
    if (!line(2).trimmed().isEmpty())
        m.fontName = line(2).trimmed();
    if (toNumber(line(3), &n))
        m.fontSize = int(std::clamp<qint64>(n, 0, 1000));
    setStyle(m, line(4));
    if (toNumber(line(5), &n))
        m.background = storedColor(n);
    if (toNumber(line(6), &n))
        m.speed = int(std::clamp<qint64>(n, 0, 10000));
    QStringList messages = lines.mid(7);
    while (!messages.isEmpty() && messages.last().isEmpty())
        messages.removeLast();
    if (!messages.isEmpty())
        m.messages = messages;
    return m;
}

bool readScrollingMessage(const QString &path, ScrollingMessage *message)
{
    struct Entry
    {
        QDateTime stamp;
        ScrollingMessage message;
    };
    static QHash<QString, Entry> cache;
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    const auto found = cache.constFind(path);
    if (found != cache.constEnd() && found->stamp == info.lastModified()) {
        *message = found->message;
        return true;
    }
    QFile file(path);
    // These files are a few lines; a huge one is not a message.
    if (file.size() > 1 << 20 || !file.open(QIODevice::ReadOnly))
        return false;
    const QString text = decodeFileText(file.readAll());
    *message = path.endsWith(QLatin1String(".CMS"), Qt::CaseInsensitive) ? parseCms(text) : parseScm(text);
    if (cache.size() > 64)
        cache.clear();
    cache.insert(path, {info.lastModified(), *message});
    return true;
}

QList<QRect> scrollingMessageBoxes(const Page &page, const Page *master)
{
    QList<QRect> boxes;
    // Groups nest; an explicit stack walks them without deep recursion.
    std::vector<const ObjectList *> stacks{&page.Objects};
    if (master && master != &page && page.ShowMaster)
        stacks.push_back(&master->Objects);
    while (!stacks.empty()) {
        const ObjectList *stack = stacks.back();
        stacks.pop_back();
        for (const auto &object : *stack) {
            if (object->isGroup())
                stacks.push_back(&object->Members);
            else if (const PictureData *picture = object->picture();
                     picture && isScrollingMessageFile(picture->FileName))
                boxes.append(paintedBounds(*object));
        }
    }
    return boxes;
}

void paintScrollingMessage(QPainter &painter, const QRect &area, const ScrollingMessage &message, qint64 tick)
{
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    painter.fillRect(area, message.background);
    painter.setFont(message.font());
    painter.setPen(message.fontColor);
    const QFontMetrics metrics(painter.font());
    const qint64 moved = std::max<qint64>(0, tick) / (qint64(message.speed) + 1);
    if (!message.upwards) {
        // One line enters at the right edge and leaves at the left, vertically centred.
        const QString &text = message.messages.first();
        const int width = metrics.horizontalAdvance(text);
        const qint64 cycle = qint64(area.width()) + width;
        const int x = area.left() + area.width() - int(cycle > 0 ? moved % cycle : 0);
        const int y = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
        painter.drawText(x, y, text);
    } else {
        // Each message rises from the bottom edge until it has left the top; then the next.
        const int lineHeight = metrics.height();
        const qint64 cycle = qint64(area.height()) + lineHeight;
        const qint64 turn = cycle > 0 ? moved / cycle : 0;
        const QString &text = message.messages.at(int(turn % message.messages.size()));
        const int y = area.top() + area.height() - int(cycle > 0 ? moved % cycle : 0);
        const int x = area.left() + (area.width() - metrics.horizontalAdvance(text)) / 2;
        painter.drawText(x, y + metrics.ascent(), text);
    }
    painter.restore();
}

} // namespace vardeko
