// The tool bar's pictures: our own art, with a greyed look for disabled commands.
#include "toolicons.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// Resources of a static library are registered by hand, outside any namespace.
static void registerToolArt()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(toolicons);
        return true;
    }();
    (void)registered;
}

namespace vardeko {

namespace {

struct CommandArt
{
    const char *command;
    const char *art;
};

constexpr CommandArt Art[] = {
    {"New1", "new"},
    {"Open1", "open"},
    {"Save1", "save"},
    {"Undo1", "undo"},
    {"Cut1", "cut"},
    {"Copy1", "copy"},
    {"Paste1", "paste"},
    {"Delete1", "delete"},
    {"EditObject1", "editobject"},
    {"BringToFront1", "bringtofront"},
    {"SendToBack1", "sendtoback"},
    {"Align1", "align"},
    {"AddPage1", "addpage"},
    {"PageAttributes1", "pageattributes"},
    {"Run1", "run"},
    {"Stop", "stop"},
    {"Exit1", "exit"},
    {"FirstPageBtn", "firstpage"},
    {"PrevPageBtn", "prevpage"},
    {"MasterPageBtn", "masterpage"},
    {"NextPageBtn", "nextpage"},
    {"LastPageBtn", "lastpage"},
};

// Sizes drawn ahead, so the tool bar never scales a picture.
constexpr int Sizes[] = {16, 20, 24, 32, 48, 64};

QImage render(QSvgRenderer &art, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    art.render(&painter, QRectF(0, 0, size, size));
    return image;
}

} // namespace

QImage disabledLook(const QImage &picture)
{
    QImage grey = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb c = line[x];
            // Lightened grey at a third of the strength: plainly not available.
            const int g = 128 + qGray(c) / 2;
            line[x] = qRgba(g, g, g, qAlpha(c) * 2 / 5);
        }
    }
    return grey;
}

QIcon commandIcon(const QString &command)
{
    registerToolArt();
    for (const CommandArt &entry : Art) {
        if (command != QLatin1String(entry.command))
            continue;
        QSvgRenderer art(QStringLiteral(":/toolicons/%1.svg").arg(QLatin1String(entry.art)));
        if (!art.isValid())
            return {};
        QIcon icon;
        for (int size : Sizes) {
            const QImage picture = render(art, size);
            icon.addPixmap(QPixmap::fromImage(picture), QIcon::Normal);
            icon.addPixmap(QPixmap::fromImage(disabledLook(picture)), QIcon::Disabled);
        }
        return icon;
    }
    return {};
}

} // namespace vardeko
