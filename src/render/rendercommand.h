// The headless page rasterizer behind "vardeko --render".
#pragma once

#include <QString>

#include <functional>

namespace vardeko {

struct RenderCommand
{
    QString publication; // FILE.PUB
    QString page;        // a page title (any case), or its number counted from 1
    QString output;      // PAGE.png
    bool runMode = false;
    // How "[Name]" references show; none: the program's variables, the rendered page's
    // title and number, and the clock.
    std::function<QString(const QString &)> expand;
};

// Reads the publication, paints the page surface as the publication window does in
// edit or run mode and writes it as PNG. Returns 0, or 1 with *message saying why.
int runRenderCommand(const RenderCommand &command, QString *message);

} // namespace vardeko
