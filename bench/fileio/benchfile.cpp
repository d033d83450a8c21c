// Times loading and saving the largest publication the model allows.
#include "benchreport.h"
#include "publicationfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

using namespace vardeko;

using vardeko::bench::reportFigure;

namespace {

constexpr int Rounds = 5;

// The best of several rounds, in milliseconds: the least disturbed measurement.
double best(const std::function<void()> &work)
{
    double fastest = 1e300;
    for (int i = 0; i < Rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e6);
    }
    return fastest;
}


// 9,999 pages and 32,000 objects of every kind, groups included.
void build(Publication &pub)
{
    pub.Settings.Title = QStringLiteral("Benchmark");
    pub.firstPage()->Title = QStringLiteral("Page 1");
    for (int i = 2; i <= MaxPages; ++i)
        pub.appendPage(pub.createPage(QStringLiteral("Page %1").arg(i)));
    static const int kinds[] = {ArticleKind, ButtonKind, PictureKind, RectangleKind,
                                CircleKind,  LineKind,   TextKind,    GroupKind};
    int n = 0;
    while (pub.objectCount() < MaxObjects - 2) {
        Page &page = *pub.page(n % MaxPages);
        const int kind = kinds[n % 8];
        ObjectPtr o = pub.createObject(kind);
        o->X1 = n % 600;
        o->Y1 = n % 400;
        o->X2 = o->X1 + 40;
        o->Y2 = o->Y1 + 30;
        if (ArticleData *a = o->article())
            a->FileName = QStringLiteral("C:\\TEXT\\ARTICLE%1.TXT").arg(n);
        if (ButtonData *b = o->button()) {
            b->Text = QStringLiteral("Button %1").arg(n);
            b->Action = QStringLiteral("PlaySoundFile \"C:\\SND\\S%1.WAV\" \"NORMAL\"|GotoPage \"Page %2\"")
                                .arg(n)
                                .arg(n % MaxPages + 1);
        }
        if (PictureData *p = o->picture())
            p->FileName = QStringLiteral("C:\\IMG\\P%1.BMP").arg(n);
        if (TextData *t = o->text())
            t->Text = QStringLiteral("Title %1|second line").arg(n);
        if (o->isGroup()) {
            for (int m = 0; m < 2; ++m) {
                ObjectPtr member = pub.createObject(RectangleKind);
                member->X2 = member->Y2 = 10;
                o->Members.push_back(std::move(member));
            }
        }
        page.Objects.push_back(std::move(o));
        ++n;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BIG.PUB"));
    {
        Publication pub;
        build(pub);
        if (writePublication(pub, path, WriteMode::Save) != 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("publication: %d pages, %d objects, %lld bytes\n", pub.pageCount(),
                    pub.objectCount(), QFile(path).size());
    }

    // Reading: the whole reader against reading the bytes and splitting their lines.
    const double load = best([&] {
        Publication pub;
        if (!readPublication(pub, path).ok())
            std::abort();
    });
    qsizetype lines = 0;
    const double split = best([&] {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            std::abort();
        const QByteArray bytes = f.readAll();
        lines = bytes.split('\n').size();
    });
    reportFigure("load 9999 pages / 32000 objects", load, "ms", "read and split lines", split, 1);

    // Writing: a full save (text, temporary file, rename) against writing the same bytes.
    Publication pub;
    if (!readPublication(pub, path).ok())
        return 1;
    const QString savePath = dir.filePath(QStringLiteral("SAVED.PUB"));
    const double save = best([&] {
        if (writePublication(pub, savePath, WriteMode::Save) != 0)
            std::abort();
    });
    const double text = best([&] {
        if (publicationBytes(pub, WriteMode::Save).isEmpty())
            std::abort();
    });
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray bytes = f.readAll();
    const QByteArray rawPath = QFile::encodeName(dir.filePath(QStringLiteral("RAW.PUB")));
    const double raw = best([&] {
        const int fd = ::open(rawPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
            std::abort();
        ::fsync(fd);
        ::close(fd);
    });
    reportFigure("save 9999 pages / 32000 objects", save, "ms", "write the same bytes", raw, 1);
    reportFigure("save, file contents only", text, "ms", "write the same bytes", raw, 1);
    std::printf("lines: %lld\n", static_cast<long long>(lines));
    return 0;
}
