// The "Align Object" dialog: horizontal and vertical alignment of the selection.
#pragma once

#include "edithost.h"

#include <QDialog>

class QCheckBox;
class QRadioButton;

namespace vardeko {

class TAlignForm : public QDialog
{
    Q_OBJECT
public:
    // "Relative to Other Selected Objects" is offered when more than one is selected.
    TAlignForm(int selectedCount, QWidget *parent = nullptr);

    AlignChoice choice() const;

    QRadioButton *LeftBtn = nullptr;
    QRadioButton *CenterBtn = nullptr;
    QRadioButton *RightBtn = nullptr;
    QRadioButton *HNoneBtn = nullptr;
    QRadioButton *TopBtn = nullptr;
    QRadioButton *MiddleBtn = nullptr;
    QRadioButton *BottomBtn = nullptr;
    QRadioButton *VNoneBtn = nullptr;
    QCheckBox *RelativeCheck = nullptr;
};

} // namespace vardeko
