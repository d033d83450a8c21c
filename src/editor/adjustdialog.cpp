// "Adjust Object": places one object, or moves a selection, by numbers.
#include "objectdialogs.h"

#include "dialogbuttons.h"
#include "dialogtexts.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vardeko {

namespace {

// Wide enough that no stored box is clipped by merely opening the dialog.
constexpr int CoordinateLimit = 999999;

QSpinBox *coordinateBox(const char *name, int minimum, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(minimum, CoordinateLimit);
    return box;
}

QRect grown(const QRect &r)
{
    return r.adjusted(-4, -4, 4, 4);
}

} // namespace

AdjustObjectDialog::AdjustObjectDialog(Publication &pub, Page *page, PageObject *object,
                                       QWidget *parent)
    : QDialog(parent)
    , mPub(pub)
    , mPage(page)
    , mObject(object)
{
    bool several = false;
    if (!mObject && mPage) {
        const int count = countSelected(mPage->Objects);
        if (count == 1)
            mObject = firstSelected(mPage->Objects);
        several = count > 1;
    }
    if (mObject) {
        mStart = QRect(mObject->X1, mObject->Y1, mObject->X2 - mObject->X1,
                       mObject->Y2 - mObject->Y1);
    } else if (mPage) {
        QRect box;
        selectionBox(mPage->Objects, &box);
        mStart = box;
    }
    const bool group = mObject && mObject->isGroup();
    if (several)
        setWindowTitle(DialogText::AdjustCaption + DialogText::AdjustPluralSuffix);
    else if (group)
        setWindowTitle(QString(DialogText::AdjustGroupCaption));
    else
        setWindowTitle(QString(DialogText::AdjustCaption));

    XEdit = coordinateBox("XEdit", -CoordinateLimit, this);
    YEdit = coordinateBox("YEdit", -CoordinateLimit, this);
    WEdit = coordinateBox("WEdit", 0, this);
    HEdit = coordinateBox("HEdit", 0, this);
    XEdit->setValue(mStart.x());
    YEdit->setValue(mStart.y());
    WEdit->setValue(qMax(0, mStart.width()));
    HEdit->setValue(qMax(0, mStart.height()));
    // Sizes are changed from what the fields show.
    mStart.setSize(QSize(WEdit->value(), HEdit->value()));

    auto *form = new QFormLayout;
    auto addRow = [&](QLatin1String caption, const char *name, QSpinBox *box) {
        auto *label = new QLabel(QString(caption), this);
        label->setObjectName(QLatin1String(name));
        label->setBuddy(box);
        form->addRow(label, box);
        return label;
    };
    addRow(DialogText::LeftLabel, "XLabel", XEdit);
    addRow(DialogText::TopLabel, "YLabel", YEdit);
    QLabel *wLabel = addRow(DialogText::WidthLabel, "WLabel", WEdit);
    QLabel *hLabel = addRow(DialogText::HeightLabel, "HLabel", HEdit);
    // A group or a selection is moved, never sized.
    const bool sizable = !several && !group;
    for (QWidget *w : {static_cast<QWidget *>(WEdit), static_cast<QWidget *>(HEdit),
                       static_cast<QWidget *>(wLabel), static_cast<QWidget *>(hLabel)})
        w->setEnabled(sizable);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    QDialogButtonBox *buttons = addOkCancel(this, layout);
    QPushButton *applyBtn
            = buttons->addButton(QString(DialogText::Apply), QDialogButtonBox::ApplyRole);
    applyBtn->setObjectName(QStringLiteral("ApplyBtn"));
    connect(applyBtn, &QPushButton::clicked, this, &AdjustObjectDialog::apply);
    XEdit->setFocus();
    XEdit->selectAll();
}

QRect AdjustObjectDialog::currentBox() const
{
    if (mObject)
        return mObject->box();
    QRect box;
    if (mPage)
        selectionBox(mPage->Objects, &box);
    return box;
}

void AdjustObjectDialog::apply()
{
    // Typed but not yet committed digits count.
    for (QSpinBox *box : {XEdit, YEdit, WEdit, HEdit})
        box->interpretText();
    const bool sizable = mObject && !mObject->isGroup();
    const int dx = XEdit->value() - mStart.x();
    const int dy = YEdit->value() - mStart.y();
    const int dw = sizable ? WEdit->value() - mStart.width() : 0;
    const int dh = sizable ? HEdit->value() - mStart.height() : 0;
    if (dx == 0 && dy == 0 && dw == 0 && dh == 0)
        return;
    const QRect before = currentBox();
    if (mObject) {
        if (dw != 0 || dh != 0)
            resizeEdges(*mObject, 0, 0, dw, dh);
        offsetObject(*mObject, dx, dy);
    } else if (mPage) {
        for (const ObjectPtr &o : mPage->Objects) {
            if (o->Selected)
                offsetObject(*o, dx, dy);
        }
    }
    mStart = QRect(mStart.x() + dx, mStart.y() + dy, mStart.width() + dw, mStart.height() + dh);
    mChanged = true;
    mPub.Modified = true;
    emit applied(grown(before), grown(currentBox()));
}

void AdjustObjectDialog::accept()
{
    apply();
    QDialog::accept();
}

} // namespace vardeko
