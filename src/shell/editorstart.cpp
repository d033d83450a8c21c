// Starts the editor's window: palette, single instance, main window, files.
#include "editorstart.h"

#include "mainform.h"
#include "palette.h"
#include "shellmessages.h"
#include "singleinstance.h"

#include <QApplication>
#include <QTimer>

namespace vardeko {

int runEditor(const QStringList &files)
{
    AppPalette::instance().InitPalettes();

    SingleInstance instance(SingleInstance::defaultName());
    if (instance.activateRunning())
        return 0;
    // Started twice at the same moment: the loser still edits, without the hand-over.
    instance.listen();

    QApplication::setApplicationDisplayName(msg::AppTitle);
    TMainForm form;
    QObject::connect(&instance, &SingleInstance::activationRequested, &form,
                     &TMainForm::bringToFront);
    form.show();
    QTimer::singleShot(0, &form, [&form, files] { form.openStartupFiles(files); });
    const int code = QApplication::exec();
    AppPalette::instance().FreePalettes();
    return code;
}

} // namespace vardeko
