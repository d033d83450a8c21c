// The headless page rasterizer behind "vardeko --render".
#include "rendercommand.h"

#include "articleobjects.h"
#include "imagecache.h"
#include "pagepainter.h"
#include "publicationfile.h"
#include "textexpansion.h"
#include "textmeasurer.h"

#include <QFileInfo>
#include <QImageWriter>

namespace vardeko {

namespace {

const Page *findPageBySpec(const Publication &pub, const QString &spec)
{
    if (const Page *byTitle = pub.findPage(spec))
        return byTitle;
    bool isNumber = false;
    const int number = spec.trimmed().toInt(&isNumber);
    if (isNumber && number >= 1 && number <= pub.pageCount())
        return pub.page(number - 1);
    return nullptr;
}

} // namespace

int runRenderCommand(const RenderCommand &command, QString *message)
{
    auto fail = [message](const QString &text) {
        if (message)
            *message = text;
        return 1;
    };
    Publication pub;
    static const QtTextMeasurer measurer;
    ReadOptions readOptions;
    readOptions.measurer = &measurer;
    const ReadResult read = readPublication(pub, command.publication, readOptions);
    if (!read.ok())
        return fail(loadErrorMessage(command.publication, read.error));
    const Page *page = findPageBySpec(pub, command.page);
    if (!page)
        return fail(QStringLiteral("No page titled or numbered \"%1\" in %2").arg(command.page, command.publication));

    RenderOptions options;
    options.displayMode = command.runMode ? 1 : 0;
    options.expand = command.expand;
    if (!options.expand)
        options.expand = [&pub, page](const QString &text) { return expandShownText(text, pub, page); };
    options.baseDir = QFileInfo(command.publication).absolutePath();
    ArticleObjects articles;
    articles.setBaseDir(options.baseDir);
    options.articles = &articles;
    options.scrollPosition = [&articles](const PageObject &o) { return articles.scrollPosition(o); };
    const QImage image = renderPage(pub, *page, options);
    ImageCache::instance().FlushImages();

    QImageWriter writer(command.output, "png");
    if (!writer.write(image))
        return fail(QStringLiteral("Cannot write %1: %2").arg(command.output, writer.errorString()));
    return 0;
}

} // namespace vardeko
