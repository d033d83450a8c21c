// Measures full and partial repaints of a crowded page against one fill of the page.
#include "benchreport.h"
#include "imagecache.h"
#include "pagepainter.h"

#include <QDir>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

using namespace vardeko;

using vardeko::bench::reportFigure;

namespace {

const QString Ms = QStringLiteral("ms");

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Median milliseconds of processor time of `runs` calls; the machines are shared, so
// time spent waiting for a core is left out.
double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = threadCpuMs();
        work();
        times.push_back(threadCpuMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}


// 1,000 objects of every kind but articles, spread over the page.
void fillPage(Publication &pub, Page &page, const QString &pictureFile)
{
    QRandomGenerator random(1234);
    for (int i = 0; i < 1000; ++i) {
        static const int kinds[] = {RectangleKind, CircleKind, LineKind, TextKind, ButtonKind, PictureKind};
        const int kind = kinds[i % 6];
        ObjectPtr o = pub.createObject(kind);
        o->X1 = random.bounded(0, 960);
        o->Y1 = random.bounded(0, 720);
        o->X2 = o->X1 + random.bounded(10, 120);
        o->Y2 = o->Y1 + random.bounded(10, 80);
        o->LineWidth = random.bounded(0, 3);
        o->LineStyle = quint8(random.bounded(0, 5));
        o->FillPattern = quint8(random.bounded(0, 49));
        o->FillMode = quint8(random.bounded(0, 2));
        o->FillColor = rgbColor(random.bounded(256), random.bounded(256), random.bounded(256));
        o->LineOrigin = quint8(random.bounded(0, 2));
        if (TextData *t = o->text()) {
            t->Text = QStringLiteral("Title ^%1|second line").arg(i);
            t->Font = QStringLiteral("Arial");
            t->FontSize = 10;
        } else if (ButtonData *b = o->button()) {
            b->Style = quint8(i % 4);
            b->Text = QStringLiteral("Button %1").arg(i);
            b->Font = QStringLiteral("Arial");
            b->FontSize = 9;
        } else if (PictureData *p = o->picture()) {
            p->FileName = pictureFile;
            p->Scale = (i % 12) == 5;
            p->WindowFlags = (i % 3) ? VScrollBarOn : 0;
        }
        insertObject(page.Objects, std::move(o), nullptr);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(qRgb(40, 120, 200));
    const QString pictureFile = QDir(dir.path()).filePath(QStringLiteral("picture.bmp"));
    picture.save(pictureFile);

    Publication pub;
    pub.Settings.ScreenWidth = 1024;
    pub.Settings.ScreenHeight = 768;
    Page &page = *pub.currentPage();
    fillPage(pub, page, pictureFile);

    QImage surface(1024, 768, QImage::Format_RGB32);
    surface.setDotsPerMeterX(3780);
    surface.setDotsPerMeterY(3780);
    RenderOptions options;
    QPainter painter(&surface);
    paintPage(painter, pub, page, surface.rect(), options); // warm the image cache and fonts

    const double fill = medianMs(200, [&] { painter.fillRect(surface.rect(), Qt::white); });
    const double full = medianMs(30, [&] { paintPage(painter, pub, page, surface.rect(), options); });
    const QRect area(500, 380, 50, 50);
    const double partial = medianMs(200, [&] { paintPage(painter, pub, page, area, options); });
    painter.end();

    reportFigure(QStringLiteral("full repaint of 1024x768 page with 1000 objects"), full, Ms,
                 QStringLiteral("one fillRect of the page"), fill, 4);
    reportFigure(QStringLiteral("partial repaint of 50x50 area"), partial, Ms, QStringLiteral("one fillRect of the page"),
                 fill, 4);
    reportFigure(QStringLiteral("partial repaint of 50x50 area"), partial, Ms, QStringLiteral("full repaint"), full, 4);
    ImageCache::instance().FlushImages();
    return 0;
}
