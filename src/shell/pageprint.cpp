// File > Print Page... and the text print options kept with the preferences.
#include "pageprint.h"

#include "alertdialog.h"
#include "preferences.h"
#include "printjobs.h"
#include "programtitle.h"

#include <QApplication>
#include <QPrinter>

namespace vardeko {

void loadPrintOptions(const Preferences &prefs)
{
    PrintOptions &o = storedPrintOptions();
    o.header = prefs.Header;
    o.footer = prefs.Footer;
    o.leftMargin = prefs.LeftMargin;
    o.topMargin = prefs.TopMargin;
    o.rightMargin = prefs.RightMargin;
    o.bottomMargin = prefs.BottomMargin;
    o.unit = prefs.UnitOfMeasure == 1 ? 1 : 0;
    o.wrapLines = prefs.WrapLines;
}

void storePrintOptions(Preferences &prefs)
{
    const PrintOptions &o = storedPrintOptions();
    prefs.Header = o.header;
    prefs.Footer = o.footer;
    prefs.LeftMargin = o.leftMargin;
    prefs.TopMargin = o.topMargin;
    prefs.RightMargin = o.rightMargin;
    prefs.BottomMargin = o.bottomMargin;
    prefs.UnitOfMeasure = o.unit;
    prefs.WrapLines = o.wrapLines;
}

void PrintCurrentPage(const Publication &pub, QWidget *parent)
{
    const Page *page = pub.currentPage();
    if (!page || !PrinterSetup(parent))
        return;
    QString error;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const QImage picture = pagePicture(pub, *page);
        printPicture(currentPrinter(), picture, PagePrintPercent, page->Title, &error);
        QApplication::restoreOverrideCursor();
    }
    if (!error.isEmpty())
        AlertDialog(QLatin1String(ProgramTitle), error, parent);
}

} // namespace vardeko
