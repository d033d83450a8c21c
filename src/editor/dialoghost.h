// The file choices, questions and remembered folders of the object dialogs.
#pragma once

#include <QString>

class QWidget;

namespace vardeko {

// The remembered folders, kept by the main window as the preferences TextDir, ImageDir,
// ActionDir, DOSDir, VideoDir and AudioDir.
enum class DialogFolder { Articles, Images, Scripts, Programs, Animations, Sounds };

// Everything an object dialog asks outside itself. Filters are written as the dialogs
// name them: description and pattern list pairs separated by "|" ("Text|*.TXT;*.DOC").
class DialogHost
{
public:
    virtual ~DialogHost();
    // An empty result means the author cancelled.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &dir,
                                 const QString &filter)
            = 0;
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &dir,
                                 const QString &filter)
            = 0;
    // A Yes/No question; true for Yes.
    virtual bool confirm(QWidget *parent, const QString &title, const QString &text) = 0;
    virtual void alert(QWidget *parent, const QString &title, const QString &text) = 0;
    // The folders last used, as the main window's preferences keep them.
    virtual QString folder(DialogFolder which) const = 0;
    virtual void setFolder(DialogFolder which, const QString &dir) = 0;
};

// Asks with the system's file dialogs and message boxes and keeps the folders itself.
class StandardDialogHost : public DialogHost
{
public:
    QString openFileName(QWidget *parent, const QString &title, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &dir,
                         const QString &filter) override;
    bool confirm(QWidget *parent, const QString &title, const QString &text) override;
    void alert(QWidget *parent, const QString &title, const QString &text) override;
    QString folder(DialogFolder which) const override;
    void setFolder(DialogFolder which, const QString &dir) override;

private:
    QString mFolders[6];
};

// The host the dialogs use; a standard one unless another was set.
DialogHost &dialogHost();
// Sets the host (not owned); null goes back to the standard one.
void setDialogHost(DialogHost *host);

// "Text|*.TXT;*.DOC" as a file dialog filter: "Text (*.TXT *.DOC *.txt *.doc)".
QString fileDialogFilter(const QString &filter);

} // namespace vardeko
