// A run host without windows: prints every request a script makes, one line each.
#pragma once

#include "runhost.h"

#include <QList>
#include <QTextStream>

#include <functional>
#include <utility>

namespace vardeko {

class ScriptRunner;

// A field of a printed request: line breaks written as "\n", tabs as blanks.
QString consoleEscaped(QString text);

// Each request prints its command word and the parameters it received, separated by
// tabs, with line breaks written as "\n". Menus and query boxes take their answers
// from a list, 0 when it is used up.
class ConsoleHost : public RunHost
{
public:
    ConsoleHost(QTextStream &out, QList<int> answers);

    void setRunner(ScriptRunner *runner) { mRunner = runner; }
    // Answers MCICommand strings: the error code and the return text. Each command
    // then also prints "MCI", the command, the code and the return text.
    using MciHandler = std::function<std::pair<int, QString>(const QString &)>;
    void setMciHandler(MciHandler handler) { mMciHandler = std::move(handler); }
    void setScreen(int width, int height, int colors);

    void processPendingEvents() override;
    void showAlert(const QString &title, const QString &text) override;
    void alertBox(const QString &title, const QString &message) override;
    int messageBox(const QString &title, const QString &message, const QStringList &buttons) override;
    bool confirmExit(const QString &title, const QString &message) override;
    void leaveRunMode() override;
    void balloon(const QString &message) override;
    void stickyNote(int x, int y, const QString &message, int milliseconds) override;
    bool popupImage(int x, int y, const QString &file, int milliseconds, int effect, int speed) override;
    int popupMenu(int x, int y, const QStringList &items, bool storesChoice) override;
    void delay(int milliseconds) override;
    bool gotoPage(const QString &name) override;
    void movePage(PageMove move) override;
    void find(const QString &scope) override;
    void playSoundFile(const QString &file, int mode) override;
    void playVideoFile(int x, int y, int width, int height, const QString &file, int mode) override;
    void playFlicFile(int x, int y, int width, int height, const QString &file, int times, int mode) override;
    void playCartoonFile(int x1, int y1, int x2, int y2, const QString &file, int times, int speed,
                         int mode) override;
    void playTone(int hertz) override;
    void stopMedia(const QString &what) override;
    int mciCommand(const QString &command) override;
    void imageWindow(const QString &title, int x, int y, const QString &file) override;
    void textWindow(const QString &title, int x, int y, const QString &file) override;
    void closeWindow(const QString &name) override;
    void setFont(const QString &name, int points, int style) override;
    void printTextFile(const QString &header, const QString &footer, const QString &file, bool dataFile) override;
    void printImageFile(const QString &file, int percent) override;
    void printPage(const QString &name) override;
    void runProgram(const QString &program, const QString &parameters) override;
    void internetLink(const QString &address) override;
    QString programDirectory() const override;

    QString currentPageTitle() const override { return QString(); }
    QString currentPageNumber() const override { return QString(); }
    QString publicationAuthor() const override { return QString(); }
    int publicationColors() const override { return 0; }
    QString publicationDir() const override { return QString(); }
    int pageWidth() const override { return 0; }
    int pageHeight() const override { return 0; }
    QString publicationTitle() const override { return QString(); }
    int screenColors() const override { return mScreenColors; }
    int screenWidth() const override { return mScreenWidth; }
    int screenHeight() const override { return mScreenHeight; }
    QString tempDir() const override;

private:
    void print(const QString &word, const QStringList &fields);
    int nextAnswer();

    QTextStream &mOut;
    QList<int> mAnswers;
    qsizetype mNextAnswer = 0;
    ScriptRunner *mRunner = nullptr;
    int mScreenWidth = 0;
    int mScreenHeight = 0;
    int mScreenColors = 0;
    MciHandler mMciHandler;
};

// Runs `script` with no publication and prints the requests, then the variables
// (newest first, NAME = "value"). Returns the process exit code.
int runScriptOnConsole(const QString &script, const QList<int> &answers, QTextStream &out,
                       ConsoleHost *configured = nullptr);

} // namespace vardeko
