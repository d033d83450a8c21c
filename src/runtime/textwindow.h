// The floating text and image windows that TextWindow and ImageWindow open.
#pragma once

#include "articledraw.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <list>
#include <memory>

class QScrollBar;
class QSizeGrip;

namespace vardeko {

class TFloatingWindowForm;

// What a floating window needs from the running publication.
struct FloatingWindowHost
{
    // Runs a link's target as a script; empty when the window is a preview.
    std::function<void(const QString &script)> runScript;
    // The article font (the run-mode text font).
    ArticleFont font;
    // Where formatted files are made.
    QString tempDir;
};

// One open window: a text window shows an article unwrapped with scroll bars; an
// image window shows a picture at its own size.
class TFloatingWindowForm : public QWidget
{
    Q_OBJECT

public:
    enum Kind { ImageWindow = 0, TextWindow = 1 };

    TFloatingWindowForm(Kind kind, const FloatingWindowHost &host, QWidget *parent = nullptr);
    ~TFloatingWindowForm() override;

    Kind kind() const { return mKind; }
    // Lays a text file out (false when it cannot be) or loads a picture.
    bool loadText(const QString &file);
    bool loadImage(const QString &file);
    // The client size the contents ask for, within the screen's limits.
    QSize wantedClientSize(const QSize &screen) const;

    const QString &formattedFile() const { return mFormatted; }
    int lineCount() const { return mLines; }
    int lineHeight() const { return mLineHeight; }
    QScrollBar *verticalBar() const { return mVBar; }
    QScrollBar *horizontalBar() const { return mHBar; }
    QWidget *paintBox() const { return mPaintBox; }
    const HyperLinkList &links() const { return mLinks; }
    // The display line (from 0) a search found, drawn inverted; -1 for none.
    void setFoundLine(int line);
    int foundLine() const { return mFoundLine; }
    // Where the found line shows in the paint box; empty when it is scrolled away.
    QRect foundLineRect() const;
    // The window forgets its list record (the list is closing it).
    void detach() { mDetached = true; }

signals:
    // Closed by the user: the list drops its record.
    void closedByUser(TFloatingWindowForm *window);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutText();
    void paintBoxPaint(QPaintEvent *event);
    void scrollAction(int action);
    void scrolled();

    Kind mKind;
    FloatingWindowHost mHost;
    std::unique_ptr<ArticleCanvas> mCanvas;
    QWidget *mPaintBox = nullptr;
    QScrollBar *mVBar = nullptr;
    QScrollBar *mHBar = nullptr;
    QSizeGrip *mSizeBox = nullptr;
    QString mFormatted;
    QImage mImage;
    int mRecordLength = 0;
    int mHPos = 0; // last drawn, pixels
    int mVPos = 0; // last drawn, lines
    int mLineHeight = 1;
    int mWidest = 0;
    int mLines = 0;
    int mFoundLine = -1;
    bool mHasText = false;
    bool mDetached = false;
    bool mStripScroll = false;
    HyperLinkList mLinks;
};

// The open windows, newest first, keyed by the file name without its directory.
class FloatingWindowList : public QObject
{
    Q_OBJECT

public:
    FloatingWindowList() = default;
    ~FloatingWindowList() override;

    // Opens a window for the file, or brings back the one already showing it. Left and
    // top are screen pixels, -1 centres on the screen.
    TFloatingWindowForm *OpenFloatingWindow(const QString &caption, const QString &file, int left,
                                            int top, TFloatingWindowForm::Kind kind,
                                            const FloatingWindowHost &host);
    bool CloseFloatingWindow(const QString &file);
    void CloseAllFloatingWindows();
    TFloatingWindowForm *FindFloatingWindow(const QString &file) const;
    int count() const { return int(mRecords.size()); }

private:
    struct Record
    {
        QString key; // the file name upper-cased
        QPointer<TFloatingWindowForm> window;
    };
    void closeRecord(std::list<Record>::iterator it);

    std::list<Record> mRecords;
};

} // namespace vardeko
