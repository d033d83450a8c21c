// The "Align Object" dialog: horizontal and vertical alignment of the selection.
#include "aligndialog.h"

#include "editortexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vardeko {

TAlignForm::TAlignForm(int selectedCount, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(edtext::AlignCaption);
    auto *layout = new QVBoxLayout(this);
    auto *box = new QGroupBox(edtext::ChooseAlignment, this);
    auto *columns = new QHBoxLayout(box);
    auto column = [&](std::initializer_list<std::pair<QLatin1String, QRadioButton **>> buttons) {
        auto *col = new QVBoxLayout;
        auto *group = new QButtonGroup(this);
        for (const auto &[text, member] : buttons) {
            *member = new QRadioButton(text, box);
            group->addButton(*member);
            col->addWidget(*member);
        }
        columns->addLayout(col);
    };
    column({{edtext::AlignLeft, &LeftBtn}, {edtext::AlignCenter, &CenterBtn},
            {edtext::AlignRight, &RightBtn}, {edtext::AlignNoneH, &HNoneBtn}});
    column({{edtext::AlignTop, &TopBtn}, {edtext::AlignMiddle, &MiddleBtn},
            {edtext::AlignBottom, &BottomBtn}, {edtext::AlignNoneV, &VNoneBtn}});
    HNoneBtn->setChecked(true);
    VNoneBtn->setChecked(true);
    layout->addWidget(box);
    RelativeCheck = new QCheckBox(edtext::AlignRelative, this);
    RelativeCheck->setEnabled(selectedCount > 1);
    layout->addWidget(RelativeCheck);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

AlignChoice TAlignForm::choice() const
{
    AlignChoice c;
    c.horizontal = LeftBtn->isChecked() ? HAlign::Left
        : CenterBtn->isChecked()        ? HAlign::Center
        : RightBtn->isChecked()         ? HAlign::Right
                                        : HAlign::None;
    c.vertical = TopBtn->isChecked() ? VAlign::Top
        : MiddleBtn->isChecked()     ? VAlign::Middle
        : BottomBtn->isChecked()     ? VAlign::Bottom
                                     : VAlign::None;
    c.relative = RelativeCheck->isEnabled() && RelativeCheck->isChecked();
    return c;
}

} // namespace vardeko
