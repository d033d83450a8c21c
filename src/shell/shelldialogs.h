// The questions, alerts and file choices the main window puts to the user.
#pragma once

#include <QString>

class QWidget;

namespace vardeko {

// Everything the shell asks the user goes through here, so that tests can answer.
class ShellDialogs
{
public:
    enum Answer { Yes, No, Cancel };

    virtual ~ShellDialogs() = default;
    virtual void alert(QWidget *parent, const QString &title, const QString &text) = 0;
    // Yes/No, or Yes/No/Cancel when `withCancel`.
    virtual Answer ask(QWidget *parent, const QString &title, const QString &text,
                       bool withCancel) = 0;
    // `filter` is in the "Name|*.EXT|Name|*.EXT" form; empty result: cancelled.
    virtual QString chooseOpenFile(QWidget *parent, const QString &title, const QString &filter,
                                   const QString &proposed, const QString &dir,
                                   bool nativeDialog) = 0;
    virtual QString chooseSaveFile(QWidget *parent, const QString &title, const QString &filter,
                                   const QString &proposed, const QString &dir,
                                   bool nativeDialog) = 0;
    // The "Error Report" window of a load that missed files.
    virtual void showReport(QWidget *parent, const QString &caption, const QString &text) = 0;

    // The way every file choice of the program goes: the filter also offers any file, the
    // dialog starts in the remembered folder `dir`, and a chosen file's folder is stored
    // back into `dir`.
    QString openFile(QWidget *parent, const QString &title, const QString &filter,
                     const QString &proposed, QString &dir, bool nativeDialog);
    QString saveFile(QWidget *parent, const QString &title, const QString &filter,
                     const QString &proposed, QString &dir, bool nativeDialog);
};

// Turns "Name|*.A;*.B|Other|*.*" into a Qt filter list, matching extensions in any case.
QString qtFileFilter(const QString &filter);

// Every file choice also offers any file: "|Any file (*.*)|*.*" is appended to a filter
// that does not end with it already.
QString withAnyFile(const QString &filter);

// The real dialogs.
class QtShellDialogs : public ShellDialogs
{
public:
    void alert(QWidget *parent, const QString &title, const QString &text) override;
    Answer ask(QWidget *parent, const QString &title, const QString &text,
               bool withCancel) override;
    QString chooseOpenFile(QWidget *parent, const QString &title, const QString &filter,
                           const QString &proposed, const QString &dir,
                           bool nativeDialog) override;
    QString chooseSaveFile(QWidget *parent, const QString &title, const QString &filter,
                           const QString &proposed, const QString &dir,
                           bool nativeDialog) override;
    void showReport(QWidget *parent, const QString &caption, const QString &text) override;
};

} // namespace vardeko
