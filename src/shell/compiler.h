// The compiler: a publication and every file it uses written behind the run-time player
// as one stand-alone program or screen saver.
#pragma once

#include "filegatherer.h"
#include "publication.h"

#include <QString>

#include <vector>

namespace vardeko {

struct CompileEntry
{
    QString name;         // as the publication refers to it (a font: its name)
    QString preparedFile; // a file that already holds the content, or empty
    GatheredKind kind = GatheredKind::Other;
    bool excluded = false;
    quint64 offset = 0;
    quint64 size = 0;
    int width = 0; // display size of the object that uses the file
    int height = 0;
};

// The basic fonts that the default font option leaves out.
bool isBasicFont(const QString &name);

// Every file the publication uses, fonts and the files article links name included,
// in the order of the walk.
std::vector<CompileEntry> buildCompileList(const Publication &pub);

// Sets `excluded` by the publication's file and font options.
void markExclusions(std::vector<CompileEntry> &list, const PublicationSettings &settings);

// The complete file of the installed font of that family, or empty when none is
// installed under that name.
QString fontFileFor(const QString &family);

// Told how a compile goes; the progress window implements it.
class CompileProgress
{
public:
    virtual ~CompileProgress() = default;
    // "Converting:", "Adding:", "Compressing:" or "Copying:" and the file's name.
    virtual void step(const QString &label, const QString &file) { Q_UNUSED(label); Q_UNUSED(file); }
    // The bytes written so far, the player included.
    virtual void compiledSize(quint64 bytes) { Q_UNUSED(bytes); }
    // Per cent of the current file or conversion.
    virtual void position(int percent) { Q_UNUSED(percent); }
    // Called between blocks and entries: lets the interface run; true stops.
    virtual bool stopRequested() { return false; }
};

struct CompileResult
{
    int error = 0;     // an I/O error code; 0 on success
    QString file;      // the file being processed when it failed
    QString detail;    // a message of our own instead of the code's text
    bool stopped = false;
    quint64 total = 0; // size of the program written
    std::vector<CompileEntry> entries; // the list as written
    bool ok() const { return error == 0 && detail.isEmpty() && !stopped; }
    // "An error occurred during the compile." and the file and the error's text.
    QString message() const;
};

struct CompileJob
{
    QString output;    // the program to write (".SCR": a screen saver)
    QString player;    // the run-time player executable
    QString tempDir;   // where temporary files go
};

// Compiles `pub` with its stored settings. The program is written beside the output and
// renamed into place only when complete: a failed or stopped compile leaves what was
// there before.
CompileResult compilePublication(Publication &pub, const CompileJob &job, CompileProgress *progress = nullptr);

// The run-time player that ships beside the editor, or empty when it cannot be found.
QString findPlayer();

} // namespace vardeko
