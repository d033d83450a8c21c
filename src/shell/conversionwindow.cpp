// The small window shown while an older DOS-format publication is converted.
#include "conversionwindow.h"

#include "shellmessages.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace vardeko {

namespace {

// Three frames: an arrow moving from the old format to the new one.
const char *const kFrames[3] = {"DOS  >      Windows", "DOS    >    Windows",
                                "DOS      >  Windows"};

} // namespace

ConversionWindow::ConversionWindow(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , mAnimation(new QLabel)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(msg::ConvertingDos));
    mAnimation->setAlignment(Qt::AlignCenter);
    mAnimation->setText(QLatin1String(kFrames[0]));
    layout->addWidget(mAnimation);
    layout->addWidget(new QLabel(msg::PleaseWait));
    setWindowModality(Qt::ApplicationModal);
}

void ConversionWindow::advance()
{
    mFrame = (mFrame + 1) % 3;
    mAnimation->setText(QLatin1String(kFrames[mFrame]));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace vardeko
