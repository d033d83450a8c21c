// Pieces the object dialogs share: alignment buttons and the OK and Cancel row.
#pragma once

#include "objectdialogs.h"

#include <QDialogButtonBox>

class QLayout;

namespace vardeko {

AlignButtons makeAlignButtons(QWidget *parent, QLayout *layout);
// Adds "OK" (`OkBtn`) and "Cancel" (`CancelBtn`) wired to accept and reject.
QDialogButtonBox *addOkCancel(QDialog *dialog, QLayout *layout);

} // namespace vardeko
