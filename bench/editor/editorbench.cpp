// Times the window's history: 10,000 undoable moves and their undo on a page of 1,000
// objects, and the memory the history takes beside the page's own.
#include "childform.h"
#include "editcontroller.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QUndoStack>

#include <cstdio>
#include <malloc.h>

using namespace vardeko;

namespace {

constexpr int Objects = 1000;
constexpr int Moves = 10000;

void figure(const char *name, double ours, const char *unit, const char *anchor, double anchorValue)
{
    std::printf("%s: %.1f %s; anchor %s: %.1f %s; ratio %.3f\n", name, ours, unit, anchor, anchorValue,
                unit, anchorValue > 0 ? ours / anchorValue : 0.0);
    std::fflush(stdout);
}

double heapBytes()
{
    return double(mallinfo2().uordblks);
}

// Every `every`th object is selected.
void select(Page &page, int every)
{
    for (size_t i = 0; i < page.Objects.size(); ++i)
        page.Objects[i]->Selected = i % size_t(every) == 0;
}

void run(int every, const char *label)
{
    const double empty = heapBytes();
    auto window = std::make_unique<TChildForm>(std::make_unique<Publication>());
    Publication &pub = window->publication();
    Page &page = *pub.currentPage();
    const double beforePage = heapBytes();
    for (int i = 0; i < Objects; ++i) {
        ObjectPtr o = pub.createObject(i % 2 ? RectangleKind : TextKind);
        o->X1 = (i * 7) % 600;
        o->Y1 = (i * 13) % 440;
        o->X2 = o->X1 + 30;
        o->Y2 = o->Y1 + 20;
        if (TextData *t = o->text())
            t->Text = QStringLiteral("Object %1").arg(i);
        page.Objects.push_back(std::move(o));
    }
    const double pageBytes = heapBytes() - beforePage;
    Q_UNUSED(empty);
    select(page, every);
    EditController &c = *window->controller();

    // The anchor: the same moves made straight on the objects, without a history.
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < Moves; ++i) {
        const int d = i % 2 ? -1 : 1;
        for (ObjectPtr &o : page.Objects)
            if (o->Selected)
                offsetObject(*o, d, d);
    }
    const double plain = double(t.nsecsElapsed()) / 1e6;

    const double beforeHistory = heapBytes();
    t.restart();
    for (int i = 0; i < Moves; ++i) {
        const int d = i % 2 ? -1 : 1;
        c.moveSelection(QPoint(d, d), false);
    }
    const double moves = double(t.nsecsElapsed()) / 1e6;
    const double historyBytes = heapBytes() - beforeHistory;
    if (c.undoStack()->count() != Moves)
        std::fprintf(stderr, "expected %d steps, got %d\n", Moves, c.undoStack()->count());

    t.restart();
    while (c.canUndo())
        c.undo();
    const double undos = double(t.nsecsElapsed()) / 1e6;

    char name[160];
    std::snprintf(name, sizeof name, "10,000 undoable moves, %s", label);
    figure(name, moves, "ms", "the same moves without history", plain);
    std::snprintf(name, sizeof name, "undo of the 10,000 moves, %s", label);
    figure(name, undos, "ms", "the same moves without history", plain);
    std::snprintf(name, sizeof name, "history of the 10,000 moves, %s", label);
    figure(name, historyBytes / 1024, "KiB", "the page's 1,000 objects", pageBytes / 1024);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    run(10, "every 10th object selected");
    run(1, "all 1,000 objects selected");
    run(2, "every other object selected");
    return 0;
}
