// The text printer: margins, header and footer codes, tabs, wrapping and page breaks.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPrinter;

namespace vardeko {

// The options of a text print job, shared by the preferences, the dialog and the printer.
struct PrintOptions
{
    QString title;  // "&F", the job's name (upper case) and the progress text
    QString header; // empty: no header
    QString footer = QStringLiteral("Page &p");
    // Margins in `unit`; a printer made without preferences uses 0.75 each.
    double leftMargin = 0.75;
    double topMargin = 0.75;
    double rightMargin = 0.75;
    double bottomMargin = 0.75;
    int unit = 0; // 0 inches, 1 centimetres
    bool wrapLines = true;
    bool printSelected = false;
    int copies = 1; // 1 to 999
    int tabSize = 8; // average character widths
};

inline constexpr double CentimetresPerInch = 2.54;
inline constexpr double InchesPerCentimetre = 0.3937;

// The header and footer codes: "&&" gives "&", "&F" the title, "&P" the page number,
// "&D" the date and "&T" the time, matched in any case. One pass from left to right, so
// text put in for a code is never read as codes again.
QString substituteHeaderCodes(const QString &text, const QString &title, int page, const QString &date,
                              const QString &time);

// Where x goes at a tab: the next stop of `width` counted from the page's left edge.
int nextTabStop(int x, int width);

// Lays out lines of text on a printer page by page. Calling order: BeginDoc, any number
// of PrintLine (and NewPage), EndDoc. Positions are in device pixels.
class TZunPrinter
{
public:
    // `device` is usually a QPrinter; any paged device (a PDF writer) will do.
    explicit TZunPrinter(QPagedPaintDevice *device, const PrintOptions &options = {});
    ~TZunPrinter();
    TZunPrinter(const TZunPrinter &) = delete;
    TZunPrinter &operator=(const TZunPrinter &) = delete;

    PrintOptions &options() { return mOptions; }
    const PrintOptions &options() const { return mOptions; }

    // "&P" prints the page number plus this.
    int pageNumberOffset = 0;
    // A form feed in a line starts a new page.
    bool formFeeds = true;
    // Header and footer without bold, italic and underline.
    bool regularHeaderFooter = false;

    // Starts the job (named by the title in upper case); false when the device cannot
    // be painted on.
    bool BeginDoc();
    // One line of text; tabs, form feeds and line feeds inside it are obeyed.
    void PrintLine(const QString &line);
    // Ends the current page (its footer) and starts the next.
    void NewPage();
    // The footer of the last page; ends the job.
    void EndDoc();
    bool isPrinting() const { return mPainter.isActive(); }

    // The printer font (points on the device); the layout follows its line height.
    void setFont(const QFont &font);
    QFont font() const { return mFont; }
    // The painter of the job, for callers that draw pages themselves (between BeginDoc
    // and EndDoc). Call preparePage() first so the page is started and headed.
    QPainter &painter() { return mPainter; }
    void preparePage();

    // The page number of the current page, from 1.
    int pageNumber() const { return mPage; }
    // The number of pages the device has been given so far.
    int pagesStarted() const { return mPagesStarted; }
    // The text area of the page in device pixels.
    QRect textArea() const { return QRect(QPoint(mLeft, mTop), QPoint(mRight - 1, mBottom - 1)); }
    int lineHeight() const { return mLineHeight; }
    int dpiX() const { return mDpiX; }
    int dpiY() const { return mDpiY; }
    QSize pageSize() const { return mPageSize; }
    QString dateText() const { return mDate; }
    QString timeText() const { return mTime; }

    // Starts the numbering again at page 1 on a new sheet (the next copy of a text).
    void restartNumbering();

private:
    void layoutPage();
    void printHeader();
    void printFooter();
    void drawBand(const QString &text, int y);
    void ensurePage();
    void drawRun(const QString &run, bool last);
    void newLine();
    int widthOf(QStringView text) const;
    qsizetype fittingLength(QStringView text, int available) const;

    QPagedPaintDevice *mDevice;
    PrintOptions mOptions;
    QPainter mPainter;
    QFont mFont;
    std::unique_ptr<QFontMetrics> mMetrics;
    int mDpiX = 96, mDpiY = 96;
    QSize mPageSize;
    int mLineHeight = 1; // the font's text height
    int mMaxCharWidth = 1;
    QString mDate, mTime;

    // The layout state.
    int mLeft = 0, mTop = 0, mRight = 0, mBottom = 0;
    int mX = 0, mY = 0;
    int mTallest = 0; // the tallest text drawn on the current line
    int mLinesOnPage = 0;
    int mPage = 1;
    int mPagesStarted = 0;
    // A page break is taken when something is next drawn, so a job never ends on an
    // empty sheet.
    bool mPagePending = false;
    bool mHeaderDone = false;
};

} // namespace vardeko
